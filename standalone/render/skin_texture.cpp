#include "standalone/render/skin_texture.h"

#include "base/whole_file_reader.h"
#include "standalone/error.h"
#include "standalone/pictures/picture_limits.h"
#include "standalone/pictures/picture_reading.h"
#include "standalone/skin/skin_damage.h"
#include "standalone/skin/skin_flood_fill.h"

namespace vexo::render {

Texture EightBitSkin(const skin::PcxPicture& picture, bool gameEffects) {
  Texture texture;
  if (!picture.decoded) return texture;
  texture.width = picture.width();
  texture.height = picture.height();
  std::vector<std::uint8_t> indices = picture.Indices();
  if (gameEffects) indices = skin::FloodFilledSkin(std::move(indices), texture.width, texture.height);
  texture.rgba.resize(indices.size() * 4);
  for (std::size_t i = 0; i < indices.size(); ++i) {
    const std::uint8_t* colour = &picture.palette[3 * std::size_t(indices[i])];
    std::uint8_t* out = &texture.rgba[4 * i];
    out[0] = colour[0], out[1] = colour[1], out[2] = colour[2];
    out[3] = gameEffects && indices[i] == skin::kTransparentIndex ? 0 : 255;
  }
  return texture;
}

Texture TrueColourSkin(const RgbImage& picture) {
  Texture texture;
  texture.width = picture.width;
  texture.height = picture.height;
  texture.rgba.resize(std::size_t(picture.width) * picture.height * 4);
  for (std::size_t i = 0; i < texture.rgba.size() / 4; ++i) {
    for (int k = 0; k < 3; ++k) texture.rgba[4 * i + k] = picture.pixels[3 * i + k];
    texture.rgba[4 * i + 3] = 255;
  }
  return texture;
}

Texture ReadSkinTexture(const std::string& path, bool gameEffects, bool& eightBit) {
  std::vector<std::uint8_t> bytes;
  std::string error;
  if (!ReadWholeFile(path, bytes, error, kMaxPictureFileBytes)) throw Error(error);
  constexpr std::uint8_t kPcxManufacturer = 10;
  eightBit = !bytes.empty() && bytes[0] == kPcxManufacturer;
  if (eightBit) {
    const skin::PcxPicture picture = skin::ReadPcx(bytes, path);
    if (!picture.decoded) throw Error(path + ": " + picture.notDecoded);
    if (std::int64_t(picture.width()) * picture.height() > kMaxWholePixels)
      throw Error(path + ": " + std::to_string(picture.width()) + " x " +
                               std::to_string(picture.height()) +
                               " pixels are more than vexo draws a skin with");
    return EightBitSkin(picture, gameEffects);
  }
  try {
    const PictureHeader header = ReadPictureHeader(bytes.data(), bytes.size());
    return TrueColourSkin(DecodePicture(bytes.data(), bytes.size(), header.width, header.height));
  } catch (const PictureError& e) {
    throw Error(path + ": " + e.what());
  }
}

}  // namespace vexo::render
