// Node listing: the nodes an export is made of.
#pragma once

#include "plugin/host/host_interface.h"
#include "scene/export_context.h"

// Lists every node of the host's tree that passes the test `criteria`
// (NodeCriteria bits; the Save command asks for selected nodes with a
// material) in depth-first pre-order into context.nodes, replacing the
// list before. Nodes named "Root" or "Scene Root" are never listed; their
// children are visited. Returns 0, with no list and the failure recorded,
// when memory runs out.
int EnumerateNodes(ExportContext& context, HostInterface* hostInterface, int criteria);
