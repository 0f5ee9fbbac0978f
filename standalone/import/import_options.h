// What the user asks of a scene import (the vexo command's options).
#pragma once

#include <filesystem>
#include <stdexcept>
#include <string>
#include <vector>

#include "standalone/error.h"
#include "standalone/import/simplify/mesh_budget.h"

namespace vexo {

// Which axis points up in the scene file. Auto follows what the file
// records (FBX's header, COLLADA's up_axis) or else its format's convention
// (up_axis.cpp). Y-up scenes are turned so that Z points up, as in the
// host's world.
enum class UpAxis { kAuto, kY, kZ };

inline constexpr int kMaxTextureAuto = 0;
inline constexpr int kMaxTextureNone = -1;

// What one scene import may take before it is stopped (--import-memory,
// --import-time): the memory it may add to the process, in MiB, and its
// time in seconds.
struct ImportLimits {
  int memoryMiB = 1024;
  int seconds = 60;
};

struct ImportOptions {
  std::filesystem::path path;
  // --up y|z
  UpAxis up = UpAxis::kAuto;
  // --select NAME (repeatable): the mesh nodes to export; empty selects
  // every mesh node.
  std::vector<std::string> select;
  // --animation NAME|INDEX|none: the clip on the timeline. Empty means the
  // first clip (the bind pose when there is none); "none" the bind pose.
  std::string animation;
  // --fps N: host frame f shows the clip at f / fps seconds. It also sets
  // the host's ticks per frame, 4800 / fps.
  double fps = 30.0;
  // --max-texture N: textures larger than N pixels on a side are scaled
  // down while they are prepared. kMaxTextureAuto (no option): vexo scales
  // them just enough to fit the skin; kMaxTextureNone ("none"): every
  // texture keeps its size.
  int maxTexture = kMaxTextureAuto;
  // Where pictures the plug-in cannot read are written as TGA files; see
  // TextureCacheFolder.
  std::filesystem::path textureCache;
  // True for an export: the textures of the selected nodes are prepared and
  // whatever would stop the export is an error. False (scene info) writes
  // nothing and lists such findings as problems instead.
  bool prepareTextures = true;
  // --allow-outside-files: files that a glTF file names are read also
  // outside its folder.
  bool filesOutsideFolder = false;
  // Enforced by the command line, which imports in a child process.
  ImportLimits limits;
  // --max-vertices, --max-triangles, --fit: the meshes are reduced to fit.
  MeshBudget budget;
};

// A failed import; the message names the file and what was wrong.
class ImportError : public Error {
 public:
  using Error::Error;
};

// The texture cache that belongs to an output file: the folder
// "vexo-textures" beside it.
std::filesystem::path TextureCacheFolder(const std::filesystem::path& outputFile);

}  // namespace vexo
