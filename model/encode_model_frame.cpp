#include "model/frame_encoding.h"
#include "plugin/export_utility.h"

int ExportUtility::EncodeModelFrame(TimeValue time, float scale, const char* name,
                                    Md2FrameHeader* header, Md2Vertex* out) {
  FreeFrameBuffers();
  // The frame's own counts: vertexCount and faceCount keep describing the
  // mesh sampled at time 0, which the file's tables were made from.
  std::int32_t frameVertexCount = 0;
  std::int32_t frameFaceCount = 0;
  if (!context.SampleMesh(0, context.nodeCount, &frameVertices, &frameFaces, &frameVertexCount,
                          &frameFaceCount, time))
    return 0;
  if (frameVertexCount != vertexCount || frameVertexCount < 1) {
    context.RecordErrorFormat("Scene Error",
                              "Frame \"%.15s\" (time %d) has %d vertices; the model has %d", name,
                              static_cast<int>(time), frameVertexCount, vertexCount);
    return 0;
  }
  if (!EncodeFramePositions(frameVertices, frameVertexCount, scale, name, header, out)) {
    context.RecordErrorFormat("Scene Error",
                              "Frame \"%.15s\" (time %d) has a position that is not finite at "
                              "scale %g",
                              name, static_cast<int>(time), static_cast<double>(scale));
    return 0;
  }
  return 1;
}

void ExportUtility::FreeFrameBuffers() {
  delete[] frameVertices;
  frameVertices = nullptr;
  delete[] frameFaces;
  frameFaces = nullptr;
}
