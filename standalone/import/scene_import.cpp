#include <assimp/Importer.hpp>
#include <assimp/config.h>
#include <assimp/material.h>
#include <assimp/postprocess.h>
#include <assimp/scene.h>

#include <cctype>
#include <cerrno>
#include <cmath>
#include <cstring>
#include <functional>
#include <map>
#include <system_error>
#include <unordered_map>

#include "standalone/import/format_limits.h"
#include "standalone/import/gltf_interpolation.h"
#include "standalone/import/imported_scene.h"
#include "standalone/import/scene_model.h"
#include "standalone/import/simplify/fit_to_budget.h"
#include "standalone/import/skin_preparation.h"
#include "standalone/import/up_axis.h"
#include "standalone/scene_building.h"

namespace fs = std::filesystem;

namespace vexo {
namespace {

constexpr double kTicksPerSecond = 4800.0;

std::string Quoted(const std::string& text) { return "\"" + text + "\""; }

void CheckOptions(const ImportOptions& options) {
  if (!(options.fps > 0) || options.fps > kTicksPerSecond) {
    throw ImportError("--fps must lie above 0 and at most 4800, not " +
                      std::to_string(options.fps));
  }
  if (options.maxTexture < kMaxTextureNone) {
    throw ImportError("--max-texture must be a pixel count of at least 1, not " +
                      std::to_string(options.maxTexture));
  }
}

const aiScene* ReadScene(Assimp::Importer& importer, const ImportOptions& options) {
  const fs::path& path = options.path;
  std::error_code error;
  if (!fs::exists(path, error)) throw ImportError("cannot open " + path.string() + ": no such file");
  if (!fs::is_regular_file(path, error)) {
    throw ImportError("cannot open " + path.string() + ": not a file");
  }
  // Keep FBX node names as the file has them, without pivot helper nodes.
  importer.SetPropertyBool(AI_CONFIG_IMPORT_FBX_PRESERVE_PIVOTS, false);
  importer.SetPropertyBool(AI_CONFIG_IMPORT_COLLADA_IGNORE_UP_DIRECTION,
                           IgnoresColladaUpAxis(options.up));
  // Points and lines are sorted into meshes of their own, which are left
  // out (a file of points or lines alone holds no triangle mesh). No vertex
  // joining: the importer would split by texture coordinate, and welding
  // (mesh_welding.h) joins what a host would keep as one vertex. Planar,
  // cylindrical, spherical and box mappings become texture coordinates.
  const aiScene* scene = importer.ReadFile(
      path.string(), aiProcess_Triangulate | aiProcess_SortByPType | aiProcess_GenUVCoords |
                         aiProcess_ValidateDataStructure);
  if (!scene) {
    throw ImportError("cannot import " + path.string() + ": " + importer.GetErrorString());
  }
  if (!scene->mRootNode) throw ImportError("cannot import " + path.string() + ": it has no nodes");
  return scene;
}

std::string MaterialName(const aiMaterial& material, std::size_t index) {
  aiString name;
  if (material.Get(AI_MATKEY_NAME, name) == aiReturn_SUCCESS && name.length > 0) {
    return name.C_Str();
  }
  return "material" + std::to_string(index);
}

// The diffuse texture's reference and the texture-coordinate set it uses.
std::string DiffuseTexture(const aiMaterial& material, unsigned& uvChannel) {
  aiString path;
  for (aiTextureType type : {aiTextureType_DIFFUSE, aiTextureType_BASE_COLOR}) {
    if (material.GetTextureCount(type) > 0 &&
        material.GetTexture(type, 0, &path) == aiReturn_SUCCESS && path.length > 0) {
      int channel = 0;
      material.Get(AI_MATKEY_UVWSRC(type, 0), channel);
      uvChannel = channel >= 0 && channel < AI_MAX_NUMBER_OF_TEXTURECOORDS ? unsigned(channel) : 0;
      return path.C_Str();
    }
  }
  return {};
}

bool IsGltf(const fs::path& file) {
  std::string ext = file.extension().string();
  for (char& c : ext) c = static_cast<char>(std::tolower(static_cast<unsigned char>(c)));
  return ext == ".gltf" || ext == ".glb";
}

// The importer gives faces without a material a stand-in: "DefaultMaterial",
// or an unnamed one (glTF), without a texture.
bool IsStandIn(const aiMaterial& material, const std::string& texture) {
  aiString name;
  material.Get(AI_MATKEY_NAME, name);
  const std::string text = name.C_Str();
  return texture.empty() && (text.empty() || text == AI_DEFAULT_MATERIAL_NAME);
}

class SceneBuilder {
 public:
  SceneBuilder(const ImportOptions& options, const aiScene& scene)
      : options_(options), scene_(scene), model_(std::make_shared<SceneModel>()) {}

  ImportedScene Build() {
    model_->source = options_.path;
    model_->fps = options_.fps;
    model_->ticksPerFrame = std::max(1, static_cast<int>(std::lround(kTicksPerSecond / options_.fps)));
    model_->secondsPerFrame = 1.0 / options_.fps;
    if (scene_.mMetaData) {
      aiString format;
      if (scene_.mMetaData->Get("SourceAsset_Format", format)) model_->format = format.C_Str();
    }
    const UpAxisDecision up = DecideUpAxis(scene_, options_.path, options_.up);
    model_->rootCorrection = up.correction;
    model_->upAxisNote = up.note;

    ReadNodes(scene_.mRootNode);
    ReadMaterials();
    ReadMeshes();
    Select();
    ReadClips();
    ChooseClip();
    FitToBudget(*model_, options_.budget, options_.prepareTextures);
    CheckFormatLimits(*model_, options_.prepareTextures);
    try {
      PrepareSkin(*model_, options_, IsGltf(options_.path));
    } catch (...) {
      // A failed import keeps nothing it added to the texture cache.
      model_->cacheAdditions->RemoveAll();
      throw;
    }
    MemoryScene memory = BuildMemoryScene();
    return ImportedScene(model_, std::move(memory));
  }

 private:
  int NodeIndex(const std::string& name) const {
    auto it = nodeByName_.find(name);
    return it == nodeByName_.end() ? -1 : it->second;
  }

  // Pre-order without recursion: scene files can nest deeply.
  void ReadNodes(const aiNode* root) {
    std::vector<std::pair<const aiNode*, int>> stack{{root, -1}};
    while (!stack.empty()) {
      auto [node, parent] = stack.back();
      stack.pop_back();
      ModelNode model;
      model.name = node->mName.C_Str();
      model.parent = parent;
      model.depth = parent < 0 ? 0 : model_->nodes[static_cast<std::size_t>(parent)].depth + 1;
      const float* m = &node->mTransformation.a1;
      for (int i = 0; i < 4; ++i) {
        for (int j = 0; j < 4; ++j) model.local.m[i][j] = m[i * 4 + j];
      }
      DecomposeTrs(model.local, model.pose.translation, model.pose.rotation, model.pose.scale);
      const int index = static_cast<int>(model_->nodes.size());
      nodeByName_.emplace(model.name, index);
      sources_.push_back(node);
      model_->bindPoses.push_back(model.pose);
      model_->nodes.push_back(std::move(model));
      for (unsigned i = node->mNumChildren; i-- > 0;) stack.emplace_back(node->mChildren[i], index);
    }
  }

  void ReadMaterials() {
    for (unsigned i = 0; i < scene_.mNumMaterials; ++i) {
      const aiMaterial& source = *scene_.mMaterials[i];
      ModelMaterial material;
      material.name = MaterialName(source, i);
      material.textureReference = DiffuseTexture(source, material.uvChannel);
      material.standIn = IsStandIn(source, material.textureReference);
      material.colours = ReadMaterialColours(source, IsGltf(options_.path));
      if (IsGltf(options_.path)) material.transform = ReadTextureTransform(source);
      if (!material.textureReference.empty()) {
        material.texture =
            ResolveTexture(scene_, material.textureReference, options_.path.parent_path());
      }
      model_->materials.push_back(std::move(material));
    }
  }

  void ReadMeshes() {
    auto nodeIndex = [this](const std::string& name) { return NodeIndex(name); };
    for (std::size_t i = 0; i < model_->nodes.size(); ++i) {
      const aiNode& node = *sources_[i];
      std::vector<MeshPart> parts;
      std::vector<int>& slots = model_->nodes[i].materials;
      for (unsigned k = 0; k < node.mNumMeshes; ++k) {
        if (node.mMeshes[k] >= scene_.mNumMeshes) continue;
        const aiMesh* mesh = scene_.mMeshes[node.mMeshes[k]];
        if (!(mesh->mPrimitiveTypes & aiPrimitiveType_TRIANGLE) || mesh->mNumFaces == 0) continue;
        int material = static_cast<int>(mesh->mMaterialIndex);
        if (material >= static_cast<int>(model_->materials.size()) ||
            model_->materials[static_cast<std::size_t>(material)].standIn) {
          material = -1;
        }
        auto slot = std::find(slots.begin(), slots.end(), material);
        if (slot == slots.end()) slot = slots.insert(slots.end(), material);
        MeshPart part;
        part.mesh = mesh;
        part.materialSlot = static_cast<std::uint16_t>(slot - slots.begin());
        if (material >= 0) {
          part.uvChannel = model_->materials[static_cast<std::size_t>(material)].uvChannel;
          part.transform = model_->materials[static_cast<std::size_t>(material)].transform;
        }
        parts.push_back(part);
      }
      if (parts.empty()) continue;
      model_->nodes[i].mesh = static_cast<int>(model_->meshes.size());
      model_->meshes.push_back(WeldMeshes(parts, nodeIndex));
      if (model_->meshes.back().topology.faces.empty()) {
        model_->meshes.pop_back();
        model_->nodes[i].mesh = -1;
        slots.clear();
      }
    }
    if (model_->meshes.empty()) {
      throw ImportError(options_.path.string() + " holds no triangle mesh");
    }
    // A file the importer misread can give triangles that all sit on a
    // point or a line: nothing to see.
    bool anyArea = false;
    for (const WeldedMesh& mesh : model_->meshes) {
      for (const Face& f : mesh.topology.faces) {
        anyArea = anyArea || (f.v[0] != f.v[1] && f.v[1] != f.v[2] && f.v[0] != f.v[2]);
      }
      for (const Point3& p : mesh.topology.vertices) {
        if (!std::isfinite(p.x) || !std::isfinite(p.y) || !std::isfinite(p.z)) {
          throw ImportError(options_.path.string() + " holds a vertex whose position is not a finite number");
        }
      }
    }
    if (!anyArea) {
      throw ImportError(options_.path.string() +
                        " holds no triangle mesh: every triangle has two corners at one point");
    }
  }

  void Select() {
    if (options_.select.empty()) {
      for (ModelNode& node : model_->nodes) node.selected = node.mesh >= 0;
      return;
    }
    for (const std::string& name : options_.select) {
      bool named = false;
      for (ModelNode& node : model_->nodes) {
        if (node.name != name) continue;
        named = true;
        if (node.mesh < 0) {
          throw ImportError("node " + Quoted(name) + " in " + options_.path.string() +
                            " has no mesh to export");
        }
        node.selected = true;
      }
      if (!named) {
        throw ImportError("no node named " + Quoted(name) + " in " + options_.path.string());
      }
    }
  }

  void ReadClips() {
    auto nodeIndex = [this](const std::string& name) { return NodeIndex(name); };
    for (unsigned i = 0; i < scene_.mNumAnimations; ++i) {
      model_->clips.push_back(
          ReadClip(*scene_.mAnimations[i], static_cast<int>(i), nodeIndex, model_->bindPoses));
    }
    for (const GltfChannelKeys& keys : ReadGltfChannelKeys(options_.path, options_.filesOutsideFolder, &model_->notes)) {
      if (keys.animation >= model_->clips.size()) continue;
      AnimationClip& clip = model_->clips[keys.animation];
      if (keys.step) {
        HoldKeys(clip, NodeIndex(keys.node), keys.part);
      } else {
        SetCubicTangents(clip, NodeIndex(keys.node), keys.part, keys.times, keys.inTangents,
                         keys.outTangents);
      }
    }
  }

  void ChooseClip() {
    const std::string& choice = options_.animation;
    if (choice == "none") {
      model_->activeClip = -1;
    } else if (choice.empty()) {
      model_->activeClip = model_->clips.empty() ? -1 : 0;
    } else {
      model_->activeClip = static_cast<int>(FindClip(model_->clips, choice, options_.path));
    }
  }

  // The host's material for a slot: its material's name, showing the slot's
  // picture. Slots of the same material and picture share one.
  std::shared_ptr<MemoryMaterial> HostMaterial(int material, int picture) {
    std::shared_ptr<MemoryMaterial>& host = hostMaterials_[{material, picture}];
    if (!host) {
      host = std::make_shared<MemoryMaterial>(
          material < 0 ? std::string("no material")
                       : model_->materials[static_cast<std::size_t>(material)].name);
      host->SetDiffuseMap(BitmapMap(model_->pictures[static_cast<std::size_t>(picture)].prepared.fileName));
    }
    return host;
  }

  MemoryScene BuildMemoryScene() {
    MemoryScene memory;
    memory.SetTicksPerFrame(model_->ticksPerFrame);
    std::vector<MemoryNode*> hostNodes(model_->nodes.size());
    for (std::size_t i = 0; i < model_->nodes.size(); ++i) {
      const ModelNode& node = model_->nodes[i];
      MemoryNode& parent =
          node.parent < 0 ? memory.Root() : *hostNodes[static_cast<std::size_t>(node.parent)];
      MemoryNode& host = parent.AddChild(node.name);
      hostNodes[i] = &host;
      const int index = static_cast<int>(i);
      std::shared_ptr<SceneModel> model = model_;
      host.SetAnimatedTransform(
          [model, index](TimeValue t) { return model->LocalTransformAt(index, t); });
      if (node.mesh < 0) continue;
      host.SetPosedMesh(model->meshes[static_cast<std::size_t>(node.mesh)].topology,
                        [model, index](TimeValue t) -> const std::vector<Point3>& {
                          return model->PosedVertices(index, t);
                        });
      host.Select(node.selected);
      // The nodes the plug-in exports, each slot showing its skin picture.
      if (node.pictures.size() == 1) {
        host.SetMaterial(HostMaterial(node.materials[0], node.pictures[0]));
      } else if (node.pictures.size() > 1) {
        std::vector<std::shared_ptr<SceneMaterial>> subs;
        for (std::size_t slot = 0; slot < node.pictures.size(); ++slot) {
          subs.push_back(HostMaterial(node.materials[slot], node.pictures[slot]));
        }
        host.SetMaterial(MultiMaterial(node.name + " materials", std::move(subs)));
      }
    }
    return memory;
  }

  const ImportOptions& options_;
  const aiScene& scene_;
  std::shared_ptr<SceneModel> model_;
  std::vector<const aiNode*> sources_;
  std::unordered_map<std::string, int> nodeByName_;
  std::map<std::pair<int, int>, std::shared_ptr<MemoryMaterial>> hostMaterials_;
};

}  // namespace

ImportedScene ImportScene(const ImportOptions& options) {
  CheckOptions(options);
  Assimp::Importer importer;
  const aiScene* scene = ReadScene(importer, options);
  return SceneBuilder(options, *scene).Build();
}

}  // namespace vexo
