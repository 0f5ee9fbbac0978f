// glTF's texture transform (KHR_texture_transform): an offset, a rotation
// and a scale of a material's texture coordinates. The importer keeps it in
// the material but leaves the coordinates as they are (and its own step
// that would apply it turns and scales the wrong way), so it is applied
// here, while the meshes are welded.
#pragma once

#include <optional>

struct aiMaterial;

namespace vexo {

struct TextureTransform {
  float offset[2] = {0, 0};
  float rotation = 0;  // radians
  float scale[2] = {1, 1};

  // Coordinates as the importer gives them (v up) to the transformed ones.
  void Apply(float& u, float& v) const;
};

// The transform of a glTF material's base colour texture; none when it has
// none or it does nothing.
std::optional<TextureTransform> ReadTextureTransform(const aiMaterial& material);

}  // namespace vexo
