// The textures of an imported scene, made readable for the plug-in.
//
// A picture the plug-in's loaders read as it is (plugin_readable.h) and
// that keeps its size is handed over untouched. Every other picture (PNG,
// JPEG, GIF, a BMP or TGA of a form the loaders do not take, a picture
// embedded in the scene file, ...) is decoded at the size it is needed and
// written as a TGA file into a cache folder; the material's bitmap then
// names that file.
#pragma once

#include <filesystem>
#include <map>
#include <set>
#include <string>

#include "standalone/import/texture_lookup.h"
#include "standalone/pictures/picture_format.h"

namespace vexo {

// What a texture's header says.
struct TextureHeader {
  PictureFormat format = PictureFormat::kUnknown;
  int width = 0;
  int height = 0;
  // The plug-in reads the file as it is (never for an embedded picture).
  bool readsAsIs = false;
};

// Reads the header of a found texture. Throws ImportError naming the
// texture when it is no picture vexo can read.
TextureHeader InspectTexture(const TextureSource& source);

struct PreparedTexture {
  std::string fileName;     // absolute path that the bitmap map names
  int width = 0;            // size of that picture
  int height = 0;
  int sourceWidth = 0;      // size of the source picture
  int sourceHeight = 0;
  bool converted = false;   // written into the cache
};

class TextureCache {
 public:
  // sceneStem names the cache files of embedded pictures. Unless write is
  // set, pictures are decoded to check them but nothing is written.
  TextureCache(std::filesystem::path folder, std::string sceneStem, bool write = true);

  // The picture prepared for the plug-in at width x height (at most its
  // own size); the same source is prepared once. Throws ImportError naming
  // the texture when it cannot be read or written.
  const PreparedTexture& Prepare(const TextureSource& source, const TextureHeader& header, int width,
                                 int height);

 private:
  std::filesystem::path CacheFileFor(const TextureSource& source);

  std::filesystem::path folder_;
  std::string sceneStem_;
  bool write_;
  std::map<std::string, PreparedTexture> prepared_;
  std::set<std::string> usedNames_;
};

}  // namespace vexo
