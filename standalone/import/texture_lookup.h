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
// one), else a file. Scene files name their pictures as their authors'
// machines had them: Windows paths with backslashes, drive letters or a
// leading backslash, names in another case than the file's, folders that
// are not there. So a file is looked for, each time ignoring the case of
// its name and folders where the exact name is not there:
//   1. as the reference says (a relative path from the scene's folder);
//   2. at the end of the reference: its last folders and name, then fewer,
//      down to the bare name, below the scene's folder (and, with at least
//      one folder, below the two folders above it: a project's textures
//      folder beside its models folder);
//   3. by its name, in the folders below the scene's folder (the nearest).
TextureSource ResolveTexture(const aiScene& scene, const std::string& reference,
                             const std::filesystem::path& sceneFolder);

}  // namespace vexo
