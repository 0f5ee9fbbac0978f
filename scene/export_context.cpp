#include "scene/export_context.h"

ExportContext::ExportContext() : nodes(nullptr), nodeCount(0) {}

ExportContext::~ExportContext() {
  delete[] nodes;
  nodes = nullptr;
  nodeCount = 0;
}
