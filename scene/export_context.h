// The node list of an export and its first-error record: node listing
// fills the list; mesh sampling and texture collection read it and record
// their failures beside it.
#pragma once

#include <cstdint>

#include "errors/error_record.h"
#include "plugin/host/scene_objects.h"

// Bits of the node test of EnumerateNodes.
enum NodeCriteria : int {
  kNodeHasMaterial = 4,
  kNodeIsSelected = 8,
};

class ExportContext : public ErrorRecord {
 public:
  ExportContext();
  ~ExportContext();  // frees the node list
  ExportContext(const ExportContext&) = delete;
  ExportContext& operator=(const ExportContext&) = delete;

  SceneNode** nodes;  // null before the first listing and after a failed one
  std::int32_t nodeCount;
};
