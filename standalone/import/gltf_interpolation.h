// How a glTF file's animation keys are interpolated. The importer reads the
// keys of every channel but neither whether they hold (a sampler's "STEP")
// nor the tangents of a "CUBICSPLINE" sampler, so those samplers are read
// here from the file's JSON and buffers.
#pragma once

#include <array>
#include <cstddef>
#include <filesystem>
#include <string>
#include <vector>

#include "standalone/import/animation_clip.h"

namespace vexo {

// A channel of a .gltf or .glb file whose keys do not blend linearly: in
// animation `animation` (the file's order, which is the importer's clip
// order), the part `part` of the node that the importer names `node`.
struct GltfChannelKeys {
  std::size_t animation = 0;
  std::string node;
  AnimatedPart part = AnimatedPart::kTranslation;
  bool step = false;  // otherwise a cubic spline
  // Key times in seconds, and for a cubic spline each key's in- and
  // out-tangent (3 or 4 components used), per second.
  std::vector<double> times;
  std::vector<std::array<double, 4>> inTangents;
  std::vector<std::array<double, 4>> outTangents;
};

// The step and cubic-spline channels of a .gltf or .glb file; none for
// other files, and none when the file's JSON cannot be read (the importer
// has read the rest). A channel whose data cannot be read is left out.
// Buffer files are read only when they are regular files inside the glTF
// file's folder (anywhere with filesOutsideFolder), and only as far as the
// buffer's byteLength; a buffer left unread for that is named in `notes`.
std::vector<GltfChannelKeys> ReadGltfChannelKeys(const std::filesystem::path& file,
                                                 bool filesOutsideFolder = false,
                                                 std::vector<std::string>* notes = nullptr);

}  // namespace vexo
