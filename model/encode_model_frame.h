// One model frame from the frame source: sampled, checked and encoded.
#pragma once

#include <cstdint>

#include "errors/error_record.h"
#include "model/frame_source.h"
#include "model/md2_format.h"

// Takes the frame at host time `time` from the source and encodes its
// positions (EncodeFramePositions) as the frame named `name`: `vertices`
// receives vertexCount entries. Returns 0, with the failure recorded, when
// the source has no frame, the frame has another vertex count than the
// model, or a scaled position is not finite.
int EncodeModelFrame(FrameSource& source, TimeValue time, float scale, const char* name,
                     std::int32_t vertexCount, Md2FrameHeader* header, Md2Vertex* vertices,
                     ErrorRecord& errors);
