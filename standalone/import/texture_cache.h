// The folder "vexo-textures" beside a model: the pictures vexo made for the
// plug-in, as uncompressed TGA files it reads.
//
// A scene's texture in a form the plug-in reads, at the size it keeps, is
// handed over as it is. Every other texture (PNG, JPEG, GIF, a BMP or TGA of
// a form the loaders do not take, a picture embedded in the scene file, a
// texture scaled or tinted) is decoded at the size it is needed and written
// here, as are the swatches and baked vertex colours that vexo makes.
//
// A cache file is named after what it was made from: the source's path,
// size and time of change, the tint, the size made. A later export that
// needs the same picture finds it and writes nothing. What an export adds
// is listed (CacheAdditions), so that a failed export can take it away.
#pragma once

#include <filesystem>
#include <functional>
#include <memory>
#include <string>
#include <vector>

#include "standalone/import/texture_lookup.h"
#include "standalone/pictures/colour_space.h"
#include "standalone/pictures/picture.h"
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

// The files and the folder an export added to the cache.
class CacheAdditions {
 public:
  void AddFile(const std::filesystem::path& file) { files_.push_back(file); }
  void AddFolder(const std::filesystem::path& folder) { folder_ = folder; }
  const std::vector<std::filesystem::path>& files() const { return files_; }
  // Removes the files, and the folder when this export made it and nothing
  // else is in it.
  void RemoveAll();

 private:
  std::vector<std::filesystem::path> files_;
  std::filesystem::path folder_;
};

struct PreparedTexture {
  std::string fileName;     // absolute path that the bitmap map names
  int width = 0;            // size of that picture
  int height = 0;
  bool converted = false;   // a file of the cache
  bool reused = false;      // found in the cache, not written
};

// How a picture is converted: its source and tint.
struct Conversion {
  const TextureSource* source = nullptr;
  const TextureHeader* header = nullptr;
  LinearRgb tint = {1, 1, 1};
  bool tinted = false;
};

class TextureCache {
 public:
  // Unless write is set, pictures are decoded to check them and nothing is
  // written. sceneFile names the cache files of embedded pictures and keys
  // them by its own size and time.
  TextureCache(std::filesystem::path folder, std::filesystem::path sceneFile, bool write,
               std::shared_ptr<CacheAdditions> additions);

  // The file the plug-in is given for a picture at width x height: the
  // source itself when it is read as it is, else the cache file.
  std::string FileNameFor(const Conversion& conversion, int width, int height) const;
  std::string FileNameFor(const std::string& stem, const std::string& key, int width,
                          int height) const;

  // The picture for the plug-in at width x height (at most its own size).
  // Throws ImportError naming the texture when it cannot be read or written.
  PreparedTexture Prepare(const Conversion& conversion, int width, int height);
  // A picture vexo made, under a cache name from stem and key.
  PreparedTexture PrepareMade(const std::string& stem, const std::string& key, const RgbImage& image);

 private:
  bool PassesAsIs(const Conversion& conversion, int width, int height) const;
  std::string SourceStem(const TextureSource& source) const;
  std::string SourceKey(const Conversion& conversion) const;
  // The cache file of that name and size, made by make and written unless
  // it is there already.
  PreparedTexture Store(const std::string& fileName, int width, int height,
                        const std::function<RgbImage()>& make);

  std::filesystem::path folder_;
  std::filesystem::path sceneFile_;
  bool write_;
  std::shared_ptr<CacheAdditions> additions_;
};

}  // namespace vexo
