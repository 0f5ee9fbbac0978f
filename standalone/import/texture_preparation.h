// The diffuse textures of an imported scene, made readable for the plug-in.
//
// The plug-in reads BMP, TGA and TIM files and picks the reader by name.
// Every other picture (PNG, JPEG, a picture embedded in the scene file) is
// decoded and written as a TGA file into a cache folder, and the material's
// bitmap then names that file. --max-texture scales big pictures down on the
// way, BMP and TGA files included.
#pragma once

#include <cstdint>
#include <filesystem>
#include <map>
#include <set>
#include <string>
#include <vector>

struct aiScene;
struct aiTexture;

namespace vexo {

// The side of the square skin area that all textures of a model share.
inline constexpr int kSkinAreaSide = 480;

// Where a material's diffuse texture comes from.
struct TextureSource {
  std::string reference;         // as the scene file names it
  std::filesystem::path file;    // absolute path of a picture file
  const aiTexture* embedded = nullptr;
  int embeddedIndex = -1;
  bool found = false;            // the file exists, or the picture is embedded
};

// Resolves a texture reference: an embedded picture ("*0" or the name of
// one), else a path relative to the scene's folder (backslashes taken as
// separators), else the bare file name in the scene's folder.
TextureSource ResolveTexture(const aiScene& scene, const std::string& reference,
                             const std::filesystem::path& sceneFolder);

// The size of the source picture read from its header; false when it cannot
// be told (a TIM file, a missing file, an unknown format).
bool ReadTextureSize(const TextureSource& source, int& width, int& height);

// Whether the plug-in reads this file as it is: it picks its reader by the
// first of ".bmp", ".tga" or ".tim" (lower or upper case) anywhere in the
// path, and that must be the file's own kind.
bool PluginReadsDirectly(const std::filesystem::path& file);

struct PreparedTexture {
  std::string fileName;     // absolute path that the bitmap map names
  int width = 0;            // size of that picture; 0 when unknown (TIM)
  int height = 0;
  int sourceWidth = 0;      // size of the source picture, 0 when unknown
  int sourceHeight = 0;
  bool converted = false;   // written into the cache
};

class TextureCache {
 public:
  // sceneStem names the cache files of embedded pictures.
  TextureCache(std::filesystem::path folder, int maxSide, std::string sceneStem);

  // The picture prepared for the plug-in; the same source is prepared once.
  // Throws ImportError naming the texture when it cannot be read or written.
  const PreparedTexture& Prepare(const TextureSource& source);

 private:
  std::filesystem::path CacheFileFor(const TextureSource& source);

  std::filesystem::path folder_;
  int maxSide_;
  std::string sceneStem_;
  std::map<std::string, PreparedTexture> prepared_;
  std::set<std::string> usedNames_;
};

// What to tell the user when a texture is larger than the skin area.
std::string TextureTooLargeMessage(const std::string& fileName, int width, int height);
// What to tell the user when the textures do not fit into the skin area
// together; names the --max-texture value that would make them fit.
std::string SkinDoesNotFitMessage(const std::vector<PreparedTexture>& textures);

}  // namespace vexo
