#include "standalone/import/texture_transform.h"

#include <assimp/material.h>

#include <cmath>

namespace vexo {

void TextureTransform::Apply(float& u, float& v) const {
  // glTF's texture space has v down; the importer turned it up.
  const float c = std::cos(rotation), s = std::sin(rotation);
  const float x = u, y = 1.0f - v;
  const float tu = c * scale[0] * x + s * scale[1] * y + offset[0];
  const float tv = -s * scale[0] * x + c * scale[1] * y + offset[1];
  u = tu;
  v = 1.0f - tv;
}

std::optional<TextureTransform> ReadTextureTransform(const aiMaterial& material) {
  aiUVTransform stored;
  bool found = false;
  for (aiTextureType type : {aiTextureType_BASE_COLOR, aiTextureType_DIFFUSE}) {
    if (!found) found = material.Get(AI_MATKEY_UVTRANSFORM(type, 0), stored) == aiReturn_SUCCESS;
  }
  if (!found) return std::nullopt;
  // The importer stores the rotation negated and folds the turn about the
  // picture's top-left corner and the flip of v into the translation;
  // undone here to give the file's own values.
  TextureTransform transform;
  transform.rotation = -stored.mRotation;
  transform.scale[0] = stored.mScaling.x;
  transform.scale[1] = stored.mScaling.y;
  const float c = std::cos(transform.rotation), s = std::sin(transform.rotation);
  transform.offset[0] = stored.mTranslation.x - 0.5f * transform.scale[0] * (1 - c + s);
  transform.offset[1] = -(stored.mTranslation.y - 0.5f * transform.scale[1] * (s + c - 1) - 1 +
                          transform.scale[1]);
  const bool identity = transform.rotation == 0 && transform.scale[0] == 1 &&
                        transform.scale[1] == 1 && std::fabs(transform.offset[0]) < 1e-7f &&
                        std::fabs(transform.offset[1]) < 1e-7f;
  if (identity) return std::nullopt;
  return transform;
}

}  // namespace vexo
