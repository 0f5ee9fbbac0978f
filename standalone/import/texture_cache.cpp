#include "standalone/import/texture_cache.h"

#include <assimp/scene.h>

#include <algorithm>
#include <cctype>
#include <chrono>
#include <cstdio>
#include <fstream>
#include <system_error>

#include "standalone/import/import_options.h"
#include "standalone/pictures/picture_reading.h"
#include "standalone/pictures/picture_scaling.h"
#include "standalone/pictures/plugin_readable.h"
#include "standalone/pictures/tga_writer.h"
#include "texture/picture/bitmap_image.h"

namespace fs = std::filesystem;

namespace vexo {
namespace {

constexpr std::size_t kLongestStem = 40;
// The plug-in's loaders keep a texture's path in 256 bytes.
constexpr std::size_t kLongestPath = 255;
constexpr std::uintmax_t kTgaHeaderBytes = 18;

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

// A picture the plug-in reads as it is, read by the plug-in's own loader,
// so that a scaled or tinted copy shows just what the plug-in would show.
RgbImage LoadLikeThePlugin(const fs::path& file) {
  BitmapImage picture;
  if (!picture.LoadImageFile(file.c_str())) throw PictureError("the plug-in's loader refuses it");
  RgbImage image;
  image.width = picture.Width();
  image.height = picture.Height();
  image.pixels.reserve(static_cast<std::size_t>(image.width) * image.height * 3);
  for (int y = image.height - 1; y >= 0; --y) {  // the loader keeps the bottom row first
    for (int x = 0; x < image.width; ++x) {
      const PaletteEntry c = picture.PixelColour(x, y);
      image.pixels.insert(image.pixels.end(), {c.red, c.green, c.blue});
    }
  }
  return image;
}

// Letters, digits, '-' and '_' only, so that no extension text can show up
// in the middle of a cache path; cut to a length that leaves room.
std::string SafeStem(const std::string& text) {
  std::string stem;
  for (char c : text) {
    const bool plain = std::isalnum(static_cast<unsigned char>(c)) || c == '-' || c == '_';
    stem.push_back(plain ? c : '_');
  }
  if (stem.size() > kLongestStem) stem.resize(kLongestStem);
  return stem.empty() ? "texture" : stem;
}

// FNV-1a, 64 bits, as 16 hexadecimal digits.
std::string Hash(const std::string& text) {
  std::uint64_t hash = 14695981039346656037ull;
  for (unsigned char c : text) {
    hash ^= c;
    hash *= 1099511628211ull;
  }
  char digits[17];
  std::snprintf(digits, sizeof digits, "%016llx", static_cast<unsigned long long>(hash));
  return digits;
}

// A file's size and time of change, which tell whether it is the same.
std::string FileStamp(const fs::path& file) {
  std::error_code error;
  const std::uintmax_t size = fs::file_size(file, error);
  const auto time = fs::last_write_time(file, error);
  return std::to_string(size) + "@" +
         std::to_string(std::chrono::duration_cast<std::chrono::nanoseconds>(
                            time.time_since_epoch()).count());
}

const std::string& CheckedLength(const std::string& path) {
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

// A cache file that holds a whole width x height picture as the TGA writer
// writes it.
bool HoldsPicture(const fs::path& file, int width, int height) {
  std::error_code error;
  if (!fs::is_regular_file(file, error)) return false;
  const std::uintmax_t expected = kTgaHeaderBytes + std::uintmax_t(width) * height * 3;
  if (fs::file_size(file, error) != expected || error) return false;
  std::ifstream in(file, std::ios::binary);
  unsigned char header[kTgaHeaderBytes];
  if (!in.read(reinterpret_cast<char*>(header), sizeof header)) return false;
  return header[2] == 2 && header[16] == 24 && (header[12] | header[13] << 8) == width &&
         (header[14] | header[15] << 8) == height;
}

}  // namespace

void CacheAdditions::RemoveAll() {
  std::error_code error;
  for (const fs::path& file : files_) fs::remove(file, error);
  files_.clear();
  if (!folder_.empty() && fs::is_empty(folder_, error)) fs::remove(folder_, error);
  folder_.clear();
}

TextureHeader InspectTexture(const TextureSource& source) {
  TextureHeader header;
  if (UncompressedEmbedded(source)) {
    const aiTexture& t = *source.embedded;
    if (!t.pcData || t.mWidth == 0 ||
        static_cast<std::int64_t>(t.mWidth) * t.mHeight > MaxConvertedPixels()) {
      CannotRead(source, "the embedded picture of " + std::to_string(t.mWidth) + " x " +
                             std::to_string(t.mHeight) + " pixels is empty or too large");
    }
    header.width = static_cast<int>(t.mWidth);
    header.height = static_cast<int>(t.mHeight);
    return header;
  }
  try {
    const std::vector<std::uint8_t> bytes = SourceBytes(source);
    header.format = SniffPictureFormat(bytes.data(), bytes.size());
    const auto asIs = source.embedded ? std::nullopt
                                      : PluginReadsAsIs(source.file, bytes.data(), bytes.size(),
                                                        MaxConvertedPixels());
    if (asIs) {
      header.width = asIs->width;
      header.height = asIs->height;
      header.readsAsIs = true;
    } else {
      const PictureHeader picture = ReadPictureHeader(bytes.data(), bytes.size());
      header.width = picture.width;
      header.height = picture.height;
    }
  } catch (const PictureError& error) {
    CannotRead(source, error.what());
  }
  return header;
}

TextureCache::TextureCache(fs::path folder, fs::path sceneFile, bool write,
                           std::shared_ptr<CacheAdditions> additions)
    : folder_(Absolute(folder)),
      sceneFile_(std::move(sceneFile)),
      write_(write),
      additions_(std::move(additions)) {}

bool TextureCache::PassesAsIs(const Conversion& conversion, int width, int height) const {
  return conversion.header->readsAsIs && !conversion.tinted && width == conversion.header->width &&
         height == conversion.header->height;
}

std::string TextureCache::SourceStem(const TextureSource& source) const {
  if (!source.embedded) return source.file.stem().string();
  if (source.embedded->mFilename.length > 0) {
    return sceneFile_.stem().string() + "_" + fs::path(source.embedded->mFilename.C_Str()).stem().string();
  }
  return sceneFile_.stem().string() + "_texture" + std::to_string(std::max(0, source.embeddedIndex));
}

std::string TextureCache::SourceKey(const Conversion& conversion) const {
  const TextureSource& source = *conversion.source;
  std::string key = source.embedded ? Absolute(sceneFile_).string() + "|" + FileStamp(sceneFile_) +
                                          "|embedded " + std::to_string(source.embeddedIndex)
                                    : source.file.string() + "|" + FileStamp(source.file);
  if (conversion.tinted) {
    char tint[64];
    std::snprintf(tint, sizeof tint, "|tint %.9g %.9g %.9g", conversion.tint[0], conversion.tint[1],
                  conversion.tint[2]);
    key += tint;
  }
  return key;
}

std::string TextureCache::FileNameFor(const std::string& stem, const std::string& key, int width,
                                      int height) const {
  return (folder_ / (SafeStem(stem) + "-" + std::to_string(width) + "x" + std::to_string(height) +
                     "-" + Hash(key) + ".tga"))
      .string();
}

std::string TextureCache::FileNameFor(const Conversion& conversion, int width, int height) const {
  if (PassesAsIs(conversion, width, height)) return conversion.source->file.string();
  return FileNameFor(SourceStem(*conversion.source), SourceKey(conversion), width, height);
}

PreparedTexture TextureCache::Store(const std::string& fileName, int width, int height,
                                    const std::function<RgbImage()>& make) {
  PreparedTexture texture;
  texture.fileName = CheckedLength(fileName);
  texture.width = width;
  texture.height = height;
  texture.converted = true;
  if (std::string(PluginLoaderFor(fileName)) != ".tga") {
    throw ImportError("the texture folder " + folder_.string() +
                      " has \".bmp\", \".tga\" or \".tim\" in its path, so the plug-in would "
                      "read " + fs::path(fileName).filename().string() + " with the wrong reader");
  }
  if (HoldsPicture(fileName, width, height)) {
    texture.reused = true;
    return texture;
  }
  const RgbImage image = make();
  if (!write_) return texture;
  std::error_code error;
  if (!fs::is_directory(folder_, error)) {
    fs::create_directories(folder_, error);
    if (error) {
      throw ImportError("cannot create the texture folder " + folder_.string() + ": " +
                        error.message());
    }
    additions_->AddFolder(folder_);
  }
  try {
    WriteTga(fileName, image);
  } catch (const PictureError& e) {
    throw ImportError(e.what());
  }
  additions_->AddFile(fileName);
  return texture;
}

PreparedTexture TextureCache::Prepare(const Conversion& conversion, int width, int height) {
  const TextureSource& source = *conversion.source;
  if (PassesAsIs(conversion, width, height)) {
    PreparedTexture texture;
    texture.fileName = CheckedLength(source.file.string());
    texture.width = width;
    texture.height = height;
    return texture;
  }
  return Store(FileNameFor(conversion, width, height), width, height, [&]() {
    try {
      RgbImage image;
      if (UncompressedEmbedded(source)) {
        image = EmbeddedTexels(*source.embedded, width, height);
      } else if (conversion.header->readsAsIs) {
        image = Resize(LoadLikeThePlugin(source.file), width, height);
      } else {
        const std::vector<std::uint8_t> bytes = SourceBytes(source);
        image = DecodePicture(bytes.data(), bytes.size(), width, height);
      }
      if (conversion.tinted) TintPicture(image, conversion.tint);
      return image;
    } catch (const PictureError& error) {
      CannotRead(source, error.what());
    }
  });
}

PreparedTexture TextureCache::PrepareMade(const std::string& stem, const std::string& key,
                                          const RgbImage& image) {
  return Store(FileNameFor(stem, key, image.width, image.height), image.width, image.height,
               [&]() { return image; });
}

}  // namespace vexo
