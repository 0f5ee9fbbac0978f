// How a glTF file's animation keys are interpolated. The importer reads the
// keys of every channel but not whether they blend or hold (a sampler's
// "STEP" interpolation), so that part of the file is read here.
#pragma once

#include <cstddef>
#include <filesystem>
#include <string>
#include <vector>

#include "standalone/import/animation_clip.h"

namespace vexo {

// One channel whose keys hold: in animation `animation` (the file's order,
// which is the importer's clip order), the part `part` of the node that the
// importer names `node`.
struct HeldChannel {
  std::size_t animation = 0;
  std::string node;
  AnimatedPart part = AnimatedPart::kTranslation;
};

// The held channels of a .gltf or .glb file; none for other files, and none
// when the file's JSON cannot be read (the importer has read the rest).
std::vector<HeldChannel> ReadGltfHeldChannels(const std::filesystem::path& file);

// The same from the JSON text of a glTF file.
std::vector<HeldChannel> HeldChannelsOfGltfJson(const std::string& json);

}  // namespace vexo
