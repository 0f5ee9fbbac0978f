// Scene import (assimp, our glTF sampler reader, texture preparation and
// the animated scene built from it) on untrusted files. The first byte of
// an input picks the file's extension, which assimp also goes by; the rest
// is the file. An imported scene is described as vexo info describes it,
// and each clip is posed at a few frames, every mesh checked to index only
// the vertices it has.
//
// assimp is not built with the sanitizers, and a file can crash it: vexo
// imports in a child process for that reason (standalone/cli/
// isolated_import.h). scripts/fuzz.sh runs this harness so that a crash
// does not end the run, and holds each crash inside assimp to be caught by
// vexo as a failed import; any other crash is a finding.
#include <cstdlib>
#include <iterator>

#include "fuzz_input_file.h"
#include "standalone/import/imported_scene.h"
#include "standalone/import/scene_info.h"

namespace {

const char* const kExtensions[] = {"gltf", "glb", "obj", "dae", "fbx", "ply", "stl", "3ds",
                                   "x",    "smd", "md5mesh", "ms3d", "b3d", "iqm", "ase", "ac"};

void CheckMesh(const vexo::MeshData& mesh) {
  for (const Face& face : mesh.faces)
    for (std::uint32_t v : face.v)
      if (v >= mesh.vertices.size()) std::abort();
  if (mesh.textureVertices.empty()) return;
  if (mesh.textureFaces.size() != mesh.faces.size()) std::abort();
  for (const TVFace& face : mesh.textureFaces)
    for (std::uint32_t t : face.t)
      if (t >= mesh.textureVertices.size()) std::abort();
}

void PoseEveryMesh(const vexo::ImportedScene& imported, const vexo::MemoryScene& scene) {
  std::vector<const vexo::MemoryNode*> nodes = {&scene.Root()};
  while (!nodes.empty()) {
    const vexo::MemoryNode* node = nodes.back();
    nodes.pop_back();
    for (const auto& child : node->children()) nodes.push_back(child.get());
    if (!node->hasMesh()) continue;
    for (int frame = 0; frame < 3; ++frame) {
      const TimeValue t = frame * imported.ticksPerFrame();
      CheckMesh(node->MeshAt(t));
      node->WorldTransformAt(t);
    }
  }
}

}  // namespace

extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t* data, std::size_t size) {
  if (size < 1) return 0;
  const char* extension = kExtensions[data[0] % std::size(kExtensions)];
  vexo::ImportOptions options;
  options.path = fuzz::WriteInputFile(std::string("scene.") + extension, data + 1, size - 1);
  options.textureCache = fuzz::InputFolder() + "/vexo-textures";
  try {
    vexo::ImportedScene imported = vexo::ImportScene(options);
    vexo::SceneInfo(imported);
    for (std::size_t clip = 0; clip < imported.clips().size() && clip < 2; ++clip) {
      imported.MapClipToFrames(clip, 3);
      PoseEveryMesh(imported, imported.scene());
    }
    imported.DiscardCacheAdditions();
  } catch (const vexo::ImportError&) {
  }
  return 0;
}
