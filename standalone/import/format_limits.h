// The most a model file can hold, and the one check of an import against
// it, made before any picture is prepared and before the plug-in runs.
#pragma once

#include <cstddef>
#include <string>

#include "standalone/check/engine_limits.h"
#include "standalone/import/scene_model.h"

namespace vexo {

// An MD2 file counts vertices and texture coordinates in 16 bits: at most
// 65536 vertices, and 3 x 21845 texture coordinates.
inline constexpr int kFormatMaxVertices = 65536;
inline constexpr int kFormatMaxTriangles = 21845;
// What the game draws (standalone/check/engine_limits.h states each
// engine's limits).
using check::kGameMaxTriangles;
using check::kGameMaxVertices;

// Why a model of these counts cannot be written, naming the counts and the
// limit; empty when it can.
std::string FormatLimitProblem(std::size_t vertices, std::size_t triangles);

// The meshes the plug-in will export, counted together against the limits:
// over them, an export stops with an ImportError naming the counts and the
// limits; scene info (exporting false) lists the same text as a problem.
void CheckFormatLimits(SceneModel& model, bool exporting);

}  // namespace vexo
