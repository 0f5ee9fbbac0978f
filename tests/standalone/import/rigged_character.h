// Generated rigged characters for tests and benchmarks: a textured body, a
// round column of rings, skinned to a chain of bones that sway in one clip
// ("sway", a key a frame at 30 frames a second), written as glTF.
//
//   vexo::testing::CharacterShape shape;
//   shape.bones = 5;
//   shape.materials = 2;       // the rings alternate between two textures
//   shape.morphPart = true;    // and a "Face" whose morph target the clip drives
//   vexo::testing::WriteRiggedCharacter(folder, "knight", shape);  // knight.gltf
#pragma once

#include <filesystem>
#include <string>

namespace vexo::testing {

struct CharacterShape {
  int around = 8;   // vertices round a ring (one more in the file: the UV seam)
  int rings = 6;
  float height = 4;
  int bones = 2;      // at least 2, evenly up the body
  int materials = 1;  // 1, or 2: bands of rings alternate between two materials
  int bandRings = 1;  // rings a band
  bool morphPart = false;
  int frames = 10;    // keys of the clip
  int textureSize = 32;
  bool jpegTextures = false;  // JPEG instead of PNG, with detail in them
};

// Writes folder/name.gltf and its textures (name_skin0.png or .jpg, ...).
void WriteRiggedCharacter(const std::filesystem::path& folder, const std::string& name,
                          const CharacterShape& shape);

// The body's vertex count once the seam is welded.
inline int BodyVertexCount(const CharacterShape& shape) { return shape.around * shape.rings; }

}  // namespace vexo::testing
