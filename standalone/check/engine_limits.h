// How much of a model each engine's loader and renderer take: the one
// place that states these numbers, for the check and for fitting a mesh.
#pragma once

#include <cstdint>

#include "standalone/check/engines.h"

namespace vexo::check {

// The game's layout limits (qcommon/qfiles.h).
inline constexpr int kGameMaxVertices = 2048;   // MAX_VERTS
inline constexpr int kGameMaxTriangles = 4096;  // MAX_TRIANGLES
inline constexpr int kGameMaxFrames = 512;      // MAX_FRAMES
inline constexpr int kGameMaxSkins = 32;        // MAX_MD2SKINS
inline constexpr int kGameMaxSkinHeight = 480;  // MAX_LBM_HEIGHT
// The software renderer's array of transformed vertices (ref_soft).
inline constexpr int kSoftMaxVertices = 2000;
// Q2PRO's own limits (src/refresh/models.c).
inline constexpr int kQ2proMaxTriangles = 6144;  // TESS_MAX_INDICES / 3
inline constexpr int kQ2proMaxFrames = 1024;
inline constexpr int kQ2proMaxSkinSize = 8192;
// The block an alias model is built in: Hunk_Begin (0x200000) in
// ref_gl/gl_model.c and ref_soft/r_model.c; the loader takes ofs_end bytes
// of it, rounded up to 32.
inline constexpr std::int64_t kModelBlock = 0x200000;
inline constexpr std::int64_t ModelBlockBytes(std::int64_t ofsEnd) { return (ofsEnd + 31) & ~std::int64_t(31); }

// What one engine draws and loads; 0 where it sets no limit of its own.
struct EngineLimits {
  int vertices = 0;
  int triangles = 0;
  std::int64_t modelBlock = 0;
};

constexpr EngineLimits LimitsOf(Engine engine) {
  switch (engine) {
    case Engine::kIdGl: return {kGameMaxVertices, kGameMaxTriangles, kModelBlock};
    case Engine::kIdSoft: return {kSoftMaxVertices, kGameMaxTriangles, kModelBlock};
    case Engine::kYamagi: return {kGameMaxVertices, 0, 0};
    case Engine::kQ2pro: return {kGameMaxVertices, kQ2proMaxTriangles, 0};
    case Engine::kKmq2: return {kGameMaxVertices, kGameMaxTriangles, 0};
    case Engine::kThreeJs: break;
  }
  return {};
}

// The limits that hold for every engine of the set: the smallest of each.
constexpr EngineLimits LimitsOf(EngineSet engines) {
  EngineLimits all;
  auto tighter = [](auto have, auto limit) { return limit > 0 && (have == 0 || limit < have) ? limit : have; };
  for (int i = 0; i < kEngineCount; ++i) {
    if (!engines.Has(Engine(i))) continue;
    const EngineLimits one = LimitsOf(Engine(i));
    all.vertices = tighter(all.vertices, one.vertices);
    all.triangles = tighter(all.triangles, one.triangles);
    all.modelBlock = tighter(all.modelBlock, one.modelBlock);
  }
  return all;
}

}  // namespace vexo::check
