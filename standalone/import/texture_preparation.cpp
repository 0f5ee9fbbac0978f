#include "standalone/import/texture_preparation.h"

#include <assimp/scene.h>

#include <algorithm>
#include <cctype>
#include <cmath>
#include <cstring>
#include <fstream>
#include <iterator>
#include <system_error>

#include "standalone/import/image_decoding.h"
#include "standalone/import/import_options.h"
#include "standalone/import/tga_writer.h"

namespace fs = std::filesystem;

namespace vexo {
namespace {

// Largest texture file read into memory: 512 MiB.
constexpr std::uintmax_t kMaxTextureFileBytes = 512u << 20;

std::string Lower(std::string text) {
  for (char& c : text) c = static_cast<char>(std::tolower(static_cast<unsigned char>(c)));
  return text;
}

bool Exists(const fs::path& path) {
  std::error_code error;
  return fs::is_regular_file(path, error);
}

fs::path Absolute(const fs::path& path) {
  std::error_code error;
  fs::path absolute = fs::absolute(path, error);
  return (error ? path : absolute).lexically_normal();
}

// "%20" and the like, as URIs in scene files write them.
std::string DecodePercent(const std::string& text) {
  std::string out;
  for (std::size_t i = 0; i < text.size(); ++i) {
    if (text[i] == '%' && i + 2 < text.size() && std::isxdigit(static_cast<unsigned char>(text[i + 1])) &&
        std::isxdigit(static_cast<unsigned char>(text[i + 2]))) {
      out.push_back(static_cast<char>(std::stoi(text.substr(i + 1, 2), nullptr, 16)));
      i += 2;
    } else {
      out.push_back(text[i]);
    }
  }
  return out;
}

bool ReadFileBytes(const fs::path& path, std::vector<std::uint8_t>& bytes, std::string& error) {
  std::error_code sizeError;
  const std::uintmax_t size = fs::file_size(path, sizeError);
  if (sizeError) {
    error = sizeError.message();
    return false;
  }
  if (size > kMaxTextureFileBytes) {
    error = "file of " + std::to_string(size) + " bytes is too large for a texture";
    return false;
  }
  std::ifstream in(path, std::ios::binary);
  bytes.resize(static_cast<std::size_t>(size));
  if (!in || !in.read(reinterpret_cast<char*>(bytes.data()), static_cast<std::streamsize>(size))) {
    error = "cannot read the file";
    return false;
  }
  return true;
}

// The texture's bytes as stored: a file's contents or an embedded,
// compressed picture. Uncompressed embedded pictures have no bytes.
bool SourceBytes(const TextureSource& source, std::vector<std::uint8_t>& bytes,
                 std::string& error) {
  if (source.embedded) {
    const aiTexture& t = *source.embedded;
    if (t.mHeight != 0 || !t.pcData) return false;
    const auto* data = reinterpret_cast<const std::uint8_t*>(t.pcData);
    bytes.assign(data, data + t.mWidth);
    return true;
  }
  return ReadFileBytes(source.file, bytes, error);
}

bool Decode(const TextureSource& source, RgbImage& image, std::string& error) {
  if (source.embedded && source.embedded->mHeight != 0) {
    // Uncompressed embedded texels: BGRA, top row first.
    const aiTexture& t = *source.embedded;
    if (!t.pcData || t.mWidth > 16384 || t.mHeight > 16384) {
      error = "embedded picture has no usable texels";
      return false;
    }
    image.width = static_cast<int>(t.mWidth);
    image.height = static_cast<int>(t.mHeight);
    image.pixels.resize(static_cast<std::size_t>(t.mWidth) * t.mHeight * 3);
    for (std::size_t i = 0; i < static_cast<std::size_t>(t.mWidth) * t.mHeight; ++i) {
      image.pixels[i * 3] = t.pcData[i].r;
      image.pixels[i * 3 + 1] = t.pcData[i].g;
      image.pixels[i * 3 + 2] = t.pcData[i].b;
    }
    return true;
  }
  std::vector<std::uint8_t> bytes;
  if (!SourceBytes(source, bytes, error)) return false;
  return DecodeImage(bytes.data(), bytes.size(), image, error);
}

std::string Describe(const TextureSource& source) {
  if (source.embedded) return "embedded texture " + source.reference;
  return source.file.string();
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

}  // namespace

TextureSource ResolveTexture(const aiScene& scene, const std::string& reference,
                             const fs::path& sceneFolder) {
  TextureSource source;
  source.reference = reference;
  if (const aiTexture* embedded = scene.GetEmbeddedTexture(reference.c_str())) {
    source.embedded = embedded;
    for (unsigned i = 0; i < scene.mNumTextures; ++i) {
      if (scene.mTextures[i] == embedded) source.embeddedIndex = static_cast<int>(i);
    }
    source.found = true;
    return source;
  }
  std::string text = reference;
  if (text.rfind("file://", 0) == 0) text = text.substr(7);
  std::replace(text.begin(), text.end(), '\\', '/');
  std::vector<fs::path> candidates;
  for (const std::string& name : {text, DecodePercent(text)}) {
    const fs::path path(name);
    candidates.push_back(path.is_absolute() ? path : sceneFolder / path);
    if (path.has_filename()) candidates.push_back(sceneFolder / path.filename());
  }
  for (const fs::path& candidate : candidates) {
    if (Exists(candidate)) {
      source.file = Absolute(candidate);
      source.found = true;
      return source;
    }
  }
  source.file = Absolute(candidates.front());
  return source;
}

bool ReadTextureSize(const TextureSource& source, int& width, int& height) {
  if (!source.found) return false;
  if (source.embedded && source.embedded->mHeight != 0) {
    width = static_cast<int>(source.embedded->mWidth);
    height = static_cast<int>(source.embedded->mHeight);
    return true;
  }
  std::vector<std::uint8_t> bytes;
  std::string error;
  if (!source.embedded) {
    // The header is enough; read at most the first 64 KiB.
    std::ifstream in(source.file, std::ios::binary);
    bytes.resize(64 * 1024);
    in.read(reinterpret_cast<char*>(bytes.data()), static_cast<std::streamsize>(bytes.size()));
    bytes.resize(static_cast<std::size_t>(in.gcount()));
  } else if (!SourceBytes(source, bytes, error)) {
    return false;
  }
  return ReadImageSize(bytes.data(), bytes.size(), width, height);
}

bool PluginReadsDirectly(const fs::path& file) {
  const std::string path = file.string();
  const std::string kind = Lower(file.extension().string());
  // The plug-in's order of search: BMP, then TGA, then TIM.
  for (const char* extension : {".bmp", ".tga", ".tim"}) {
    std::string upper = extension;
    for (char& c : upper) c = static_cast<char>(std::toupper(static_cast<unsigned char>(c)));
    if (path.find(extension) != std::string::npos || path.find(upper) != std::string::npos) {
      return kind == extension;
    }
  }
  return false;
}

TextureCache::TextureCache(fs::path folder, int maxSide, std::string sceneStem)
    : folder_(std::move(folder)), maxSide_(maxSide), sceneStem_(std::move(sceneStem)) {}

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

const PreparedTexture& TextureCache::Prepare(const TextureSource& source) {
  const std::string key = source.embedded ? "*" + std::to_string(source.embeddedIndex) + source.reference
                                          : source.file.string();
  if (auto it = prepared_.find(key); it != prepared_.end()) return it->second;
  if (!source.found) {
    throw ImportError("texture \"" + source.reference + "\" not found (looked for " +
                      source.file.string() + ")");
  }

  PreparedTexture texture;
  int width = 0, height = 0;
  const bool sized = ReadTextureSize(source, width, height);
  if (sized) {
    texture.sourceWidth = texture.width = width;
    texture.sourceHeight = texture.height = height;
  }
  const bool tooLarge = sized && maxSide_ > 0 && std::max(width, height) > maxSide_;
  if (!source.embedded && PluginReadsDirectly(source.file) && !tooLarge) {
    texture.fileName = CheckedLength(source.file.string());
    return prepared_.emplace(key, texture).first->second;
  }

  RgbImage image;
  std::string error;
  if (!Decode(source, image, error)) {
    throw ImportError("cannot read texture " + Describe(source) + ": " + error);
  }
  image = Downsample(image, maxSide_);
  std::error_code folderError;
  fs::create_directories(folder_, folderError);
  if (folderError) {
    throw ImportError("cannot create the texture folder " + folder_.string() + ": " +
                      folderError.message());
  }
  const fs::path target = CacheFileFor(source);
  if (!PluginReadsDirectly(target)) {
    throw ImportError("the texture folder " + folder_.string() +
                      " has \".bmp\", \".tga\" or \".tim\" in its path, so the plug-in would "
                      "read " + target.filename().string() + " with the wrong reader");
  }
  CheckedLength(target.string());
  WriteTga(target, image);
  texture.fileName = target.string();
  texture.width = image.width;
  texture.height = image.height;
  texture.sourceWidth = sized ? width : image.width;
  texture.sourceHeight = sized ? height : image.height;
  texture.converted = true;
  return prepared_.emplace(key, texture).first->second;
}

std::string TextureTooLargeMessage(const std::string& fileName, int width, int height) {
  return "texture " + fileName + " is " + std::to_string(width) + " x " + std::to_string(height) +
         " pixels and does not fit the " + std::to_string(kSkinAreaSide) + " x " +
         std::to_string(kSkinAreaSide) + " skin area; --max-texture " +
         std::to_string(kSkinAreaSide) + " scales it down while it is prepared";
}

std::string SkinDoesNotFitMessage(const std::vector<PreparedTexture>& textures) {
  const std::size_t count = std::max<std::size_t>(1, textures.size());
  const int perRow = static_cast<int>(std::ceil(std::sqrt(static_cast<double>(count))));
  const int side = kSkinAreaSide / perRow;
  std::string text = "the " + std::to_string(textures.size()) +
                     (textures.size() == 1 ? " texture does" : " textures do") +
                     " not fit into the " + std::to_string(kSkinAreaSide) + " x " +
                     std::to_string(kSkinAreaSide) + " skin area";
  for (const PreparedTexture& t : textures) {
    if (t.width > side || t.height > side) {
      text += "; " + t.fileName + " is " + std::to_string(t.width) + " x " +
              std::to_string(t.height);
    }
  }
  return text + "; --max-texture " + std::to_string(side) +
         " scales every texture down to at most " + std::to_string(side) +
         " pixels a side while preparing it";
}

}  // namespace vexo
