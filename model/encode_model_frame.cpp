#include "model/encode_model_frame.h"

#include "model/frame_encoding.h"

int EncodeModelFrame(FrameSource& source, TimeValue time, float scale, const char* name,
                     std::int32_t vertexCount, Md2FrameHeader* header, Md2Vertex* vertices,
                     ErrorRecord& errors) {
  const SampledVertex* frame = nullptr;
  std::int32_t frameVertexCount = 0;
  if (!source.SampleFrame(time, &frame, &frameVertexCount)) return 0;
  if (frameVertexCount != vertexCount || frameVertexCount < 1) {
    errors.RecordErrorFormat(kFrameVertexCount.caption, kFrameVertexCount.text, name,
                             static_cast<int>(time), frameVertexCount, vertexCount);
    return 0;
  }
  if (!EncodeFramePositions(frame, frameVertexCount, scale, name, header, vertices)) {
    errors.RecordErrorFormat(kFramePositionNotFinite.caption, kFramePositionNotFinite.text, name,
                             static_cast<int>(time), static_cast<double>(scale));
    return 0;
  }
  return 1;
}
