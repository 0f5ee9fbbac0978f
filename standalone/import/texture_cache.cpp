#include "standalone/import/texture_cache.h"

#include <assimp/scene.h>

#include <algorithm>
#include <cctype>
#include <system_error>
#include <vector>

#include "standalone/import/import_options.h"
#include "standalone/pictures/picture_reading.h"
#include "standalone/pictures/picture_scaling.h"
#include "standalone/pictures/plugin_readable.h"
#include "standalone/pictures/tga_writer.h"

namespace fs = std::filesystem;

namespace vexo {
namespace {

std::string Lower(std::string text) {
  for (char& c : text) c = static_cast<char>(std::tolower(static_cast<unsigned char>(c)));
  return text;
}

fs::path Absolute(const fs::path& path) {
  std::error_code error;
  fs::path absolute = fs::absolute(path, error);
  return (error ? path : absolute).lexically_normal();
}

bool UncompressedEmbedded(const TextureSource& source) {
  return source.embedded && source.embedded->mHeight != 0;
}

// The texture's bytes as stored: a file's contents or an embedded,
// compressed picture. Throws PictureError.
std::vector<std::uint8_t> SourceBytes(const TextureSource& source) {
  if (!source.embedded) return ReadPictureFile(source.file);
  const aiTexture& t = *source.embedded;
  if (!t.pcData) throw PictureError("the embedded picture holds no data");
  const auto* data = reinterpret_cast<const std::uint8_t*>(t.pcData);
  return std::vector<std::uint8_t>(data, data + t.mWidth);
}

// Uncompressed embedded texels (BGRA, top row first) scaled to width x height.
RgbImage EmbeddedTexels(const aiTexture& t, int width, int height) {
  RgbImage image;
  image.width = static_cast<int>(t.mWidth);
  image.height = static_cast<int>(t.mHeight);
  image.pixels.resize(static_cast<std::size_t>(t.mWidth) * t.mHeight * 3);
  for (std::size_t i = 0; i < static_cast<std::size_t>(t.mWidth) * t.mHeight; ++i) {
    image.pixels[i * 3] = t.pcData[i].r;
    image.pixels[i * 3 + 1] = t.pcData[i].g;
    image.pixels[i * 3 + 2] = t.pcData[i].b;
  }
  return Resize(image, width, height);
}

// A file-name stem of letters, digits, '-' and '_' only, so that no
// extension text can show up in the middle of a cache path.
std::string SafeStem(const std::string& text) {
  std::string stem;
  for (char c : text) {
    const bool plain = std::isalnum(static_cast<unsigned char>(c)) || c == '-' || c == '_';
    stem.push_back(plain ? c : '_');
  }
  return stem.empty() ? "texture" : stem;
}

// The plug-in's loaders keep a texture's path in 256 bytes.
const std::string& CheckedLength(const std::string& path) {
  constexpr std::size_t kLongestPath = 255;
  if (path.size() > kLongestPath) {
    throw ImportError("texture path " + path + " is " + std::to_string(path.size()) +
                      " characters long; the plug-in reads paths of at most " +
                      std::to_string(kLongestPath));
  }
  return path;
}

[[noreturn]] void CannotRead(const TextureSource& source, const std::string& why) {
  throw ImportError("cannot read texture " + source.Describe() + ": " + why);
}

}  // namespace

TextureHeader InspectTexture(const TextureSource& source) {
  TextureHeader header;
  if (UncompressedEmbedded(source)) {
    const aiTexture& t = *source.embedded;
    if (!t.pcData || t.mWidth == 0 || static_cast<std::int64_t>(t.mWidth) * t.mHeight > MaxConvertedPixels())
      CannotRead(source, "the embedded picture of " + std::to_string(t.mWidth) + " x " +
                             std::to_string(t.mHeight) + " pixels is empty or too large");
    header.width = static_cast<int>(t.mWidth);
    header.height = static_cast<int>(t.mHeight);
    return header;
  }
  try {
    const std::vector<std::uint8_t> bytes = SourceBytes(source);
    const PictureHeader picture = ReadPictureHeader(bytes.data(), bytes.size());
    header.format = picture.format;
    header.width = picture.width;
    header.height = picture.height;
    header.readsAsIs = !source.embedded &&
                       PluginReadsAsIs(source.file, bytes.data(), bytes.size(), MaxConvertedPixels());
  } catch (const PictureError& error) {
    CannotRead(source, error.what());
  }
  return header;
}

TextureCache::TextureCache(fs::path folder, std::string sceneStem, bool write)
    : folder_(std::move(folder)), sceneStem_(std::move(sceneStem)), write_(write) {}

fs::path TextureCache::CacheFileFor(const TextureSource& source) {
  std::string base;
  if (!source.embedded) {
    base = SafeStem(source.file.stem().string());
  } else if (source.embedded->mFilename.length > 0) {
    base = SafeStem(sceneStem_ + "_" +
                    fs::path(source.embedded->mFilename.C_Str()).stem().string());
  } else {
    base = SafeStem(sceneStem_ + "_texture" + std::to_string(std::max(0, source.embeddedIndex)));
  }
  std::string name = base;
  for (int n = 2; !usedNames_.insert(Lower(name)).second; ++n) name = base + "_" + std::to_string(n);
  return Absolute(folder_ / (name + ".tga"));
}

const PreparedTexture& TextureCache::Prepare(const TextureSource& source, const TextureHeader& header,
                                             int width, int height) {
  const std::string key = source.embedded ? "*" + std::to_string(source.embeddedIndex) + source.reference
                                          : source.file.string();
  if (auto it = prepared_.find(key); it != prepared_.end()) return it->second;

  PreparedTexture texture;
  texture.sourceWidth = header.width;
  texture.sourceHeight = header.height;
  texture.width = width;
  texture.height = height;
  if (header.readsAsIs && width == header.width && height == header.height) {
    texture.fileName = CheckedLength(source.file.string());
    return prepared_.emplace(key, texture).first->second;
  }

  RgbImage image;
  try {
    if (UncompressedEmbedded(source)) {
      image = EmbeddedTexels(*source.embedded, width, height);
    } else {
      const std::vector<std::uint8_t> bytes = SourceBytes(source);
      image = DecodePicture(bytes.data(), bytes.size(), width, height);
    }
  } catch (const PictureError& error) {
    CannotRead(source, error.what());
  }
  texture.converted = true;
  if (!write_) return prepared_.emplace(key, texture).first->second;

  std::error_code folderError;
  fs::create_directories(folder_, folderError);
  if (folderError) {
    throw ImportError("cannot create the texture folder " + folder_.string() + ": " +
                      folderError.message());
  }
  const fs::path target = CacheFileFor(source);
  if (std::string(PluginLoaderFor(target)) != ".tga") {
    throw ImportError("the texture folder " + folder_.string() +
                      " has \".bmp\", \".tga\" or \".tim\" in its path, so the plug-in would "
                      "read " + target.filename().string() + " with the wrong reader");
  }
  CheckedLength(target.string());
  try {
    WriteTga(target, image);
  } catch (const PictureError& error) {
    throw ImportError(error.what());
  }
  texture.fileName = target.string();
  return prepared_.emplace(key, texture).first->second;
}

}  // namespace vexo
