// The model-file step of an export: chosen frames written into the model
// file, which is created first when there is none.
#pragma once

#include <cstdint>
#include <string>

#include "errors/error_record.h"
#include "model/frame_source.h"
#include "model/model_input.h"

// Writes model frames startFrame..endFrame (inclusive; none when start >
// end) into `path`, frame k from host frame firstFrame + k - startFrame; a
// missing file is first created with every frame (CreateModelFile). An
// existing file must have the input's triangle, vertex and frame counts,
// hold its frames and be writable. The frames go into a copy of the file
// that replaces it only once complete, so after any failure the file is
// as it was (and a file this call created is removed again). Returns 0
// with the failure recorded.
int SaveModelFrames(const std::string& path, const ModelInput& input, std::int32_t startFrame,
                    std::int32_t endFrame, std::uint32_t firstFrame, float scale,
                    FrameSource& frames, ErrorRecord& errors);
