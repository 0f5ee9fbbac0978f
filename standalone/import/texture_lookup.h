// Finding the picture a material names: a picture embedded in the scene
// file, or a file beside the scene.
#pragma once

#include <filesystem>
#include <string>

struct aiScene;
struct aiTexture;

namespace vexo {

// Where a material's diffuse texture comes from.
struct TextureSource {
  std::string reference;         // as the scene file names it
  std::filesystem::path file;    // absolute path of a picture file
  const aiTexture* embedded = nullptr;
  int embeddedIndex = -1;
  bool found = false;            // the file exists, or the picture is embedded

  // "embedded texture *0", or the file's path.
  std::string Describe() const;
};

// Resolves a texture reference: an embedded picture ("*0" or the name of
// one), else a path relative to the scene's folder (backslashes taken as
// separators), else the bare file name in the scene's folder.
TextureSource ResolveTexture(const aiScene& scene, const std::string& reference,
                             const std::filesystem::path& sceneFolder);

}  // namespace vexo
