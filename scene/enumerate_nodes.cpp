#include "scene/enumerate_nodes.h"

#include <cstdint>
#include <cstring>
#include <new>

namespace {

enum class VisitMode { kCounting, kStoring };

// Where a walk records the nodes that pass the test.
struct VisitResult {
  std::int64_t count = 0;       // nodes that passed
  SceneNode** store = nullptr;  // storing walk: room for capacity entries
  std::int64_t capacity = 0;
};

bool IsSceneRootName(const char* name) {
  return name && (std::strcmp(name, "Root") == 0 || std::strcmp(name, "Scene Root") == 0);
}

bool PassesTest(SceneNode* node, int criteria) {
  if (IsSceneRootName(node->Name())) return false;
  const bool hasMaterial = node->Material() != nullptr;
  const bool selected = node->IsSelected() != 0;
  return (!(criteria & kNodeHasMaterial) || hasMaterial) &&
         (!(criteria & kNodeIsSelected) || selected);
}

void TestNode(SceneNode* node, int criteria, VisitMode mode, VisitResult& result) {
  if (!PassesTest(node, criteria)) return;
  if (mode == VisitMode::kStoring) {
    // The storing walk never holds more than the counting walk found; a
    // host whose tree grew in between loses the extra nodes, not memory.
    if (result.count >= result.capacity) return;
    result.store[result.count] = node;
  }
  ++result.count;
}

// One level of the walk: a node and the next of its children to visit.
struct VisitFrame {
  SceneNode* node;
  int nextChild;
  int childCount;
};

// Walks the tree under node in pre-order (a node before its children,
// children in index order) and tests every node. The pending levels live on
// the heap, so the depth of the tree is limited by memory, not by the
// stack. Null children are skipped. Returns 0 when the walk's own memory
// runs out.
int VisitNode(SceneNode* node, int criteria, VisitMode mode, VisitResult& result) {
  if (!node) return 1;
  std::int64_t capacity = 64;
  VisitFrame* frames = new (std::nothrow) VisitFrame[capacity];
  if (!frames) return 0;
  std::int64_t depth = 0;

  SceneNode* next = node;
  for (;;) {
    if (next) {
      const int childCount = next->ChildCount();
      TestNode(next, criteria, mode, result);
      if (depth == capacity) {
        auto* grown = new (std::nothrow) VisitFrame[capacity * 2];
        if (!grown) {
          delete[] frames;
          return 0;
        }
        std::memcpy(grown, frames, sizeof(VisitFrame) * capacity);
        delete[] frames;
        frames = grown;
        capacity *= 2;
      }
      frames[depth++] = VisitFrame{next, 0, childCount};
    }
    // Find the next child of the deepest level that has one left.
    next = nullptr;
    while (depth > 0 && frames[depth - 1].nextChild >= frames[depth - 1].childCount) --depth;
    if (depth == 0) break;
    VisitFrame& top = frames[depth - 1];
    next = top.node->Child(top.nextChild++);
  }
  delete[] frames;
  return 1;
}

}  // namespace

int EnumerateNodes(ExportContext& context, HostInterface* hostInterface, int criteria) {
  SceneNode* top = hostInterface ? hostInterface->TopNode() : nullptr;

  context.nodeCount = 0;
  VisitResult counted;
  const int walked = VisitNode(top, criteria, VisitMode::kCounting, counted);

  delete[] context.nodes;
  context.nodes = nullptr;

  if (walked && counted.count <= INT32_MAX) {
    context.nodes = new (std::nothrow) SceneNode*[static_cast<std::size_t>(counted.count)];
  }
  if (!context.nodes) {
    context.RecordError(kNodeListNoMemory);
    return 0;
  }

  VisitResult stored;
  stored.store = context.nodes;
  stored.capacity = counted.count;
  if (!VisitNode(top, criteria, VisitMode::kStoring, stored)) {
    delete[] context.nodes;
    context.nodes = nullptr;
    context.RecordError(kNodeListNoMemory);
    return 0;
  }
  context.nodeCount = static_cast<std::int32_t>(stored.count);
  return 1;
}
