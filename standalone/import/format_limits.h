// The most a model file can hold, and the check made before the plug-in
// runs. (A later step may simplify a mesh over the limits instead.)
#pragma once

#include <cstddef>
#include <string>

namespace vexo {

// An MD2 file counts vertices and texture coordinates in 16 bits: at most
// 65536 vertices, and 3 x 21845 texture coordinates.
inline constexpr int kFormatMaxVertices = 65536;
inline constexpr int kFormatMaxTriangles = 21845;
// What the game draws.
inline constexpr int kGameMaxVertices = 2048;
inline constexpr int kGameMaxTriangles = 4096;

// Why a model of these counts cannot be written, naming the counts and the
// limit; empty when it can.
std::string FormatLimitProblem(std::size_t vertices, std::size_t triangles);

}  // namespace vexo
