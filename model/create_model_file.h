// A new model file: every frame of the frame list, from the frame source.
#pragma once

#include <string>

#include "errors/error_record.h"
#include "model/frame_source.h"
#include "model/model_input.h"

// Writes `path` (the name as it stands; the caller names it) whole or not
// at all: header, texture coordinates, triangles, one frame per frame name
// (frame k from host frame k, scaled by `scale`), GL commands and the
// trailer. Returns 0, with no file written and the failure recorded, when
// the mesh does not fit the format, a face has no placed texture in the
// skin, a frame cannot be had or encoded, or the file cannot be written.
int CreateModelFile(const std::string& path, const ModelInput& input, float scale,
                    FrameSource& frames, ErrorRecord& errors);
