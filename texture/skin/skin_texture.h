// One distinct bitmap of an export: its picture, the texture-coordinate
// range its faces use, and its place and size in the skin.
#pragma once

#include <cstdint>

#include "scene/sampled_mesh.h"
#include "texture/picture/bitmap_image.h"

// Bits of SkinTexture::state (the head's flags word).
enum SkinTextureState : std::uint32_t {
  kTextureUseMask = 0xFF,  // 0xFF: no face uses it; 0: used. Page value once placed.
  kTexturePlaced = 0x200,
  kTextureDidNotFit = 0x400,  // only during PlaceTextures
};

// Release 2 copies the file name into the record.
template <bool kCopied>
struct TextureFileNameField;
template <>
struct TextureFileNameField<false> {
  const char* text = nullptr;  // the host's text
  const char* get() const { return text; }
  void set(const char* name) { text = name; }
};
template <>
struct TextureFileNameField<true> {
  char text[256] = {};
  const char* get() const { return text; }
  void set(const char* name);
};

struct SkinTexture {
  ElementFlags head;  // head.flags is the state word
  std::int32_t index = 0;
  TextureFileNameField<release::kCopiesBitmapNames> fileName;
  BitmapImage image;
  float uMax = 0, uMin = 0, vMax = 0, vMin = 0;
  std::int32_t x = 0, y = 0;
  std::int32_t width = 0, height = 0;

  std::uint32_t& state() { return head.flags; }
  std::uint32_t state() const { return head.flags; }
};

// Pixel format of the skin buffer for CopyTextureToSkin: 3 bytes a pixel,
// blue, green, red.
inline constexpr int kSkinPixelFormatBgr = 8;

// The placement area that SaveModel packs into.
inline constexpr int SkinAreaSize = 480;

// The picture name a face's texture shows, for the mesh dump; null for a
// face without a texture.
inline const char* FaceTextureName(const SampledFace& face) {
  return face.texture ? face.texture->image.name : nullptr;
}
