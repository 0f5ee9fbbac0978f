#include "standalone/import/scene_info.h"

#include <cmath>
#include <cstdio>
#include <set>
#include <sstream>

#include "standalone/import/scene_model.h"
#include "standalone/import/skin_fit.h"
#include "standalone/pictures/picture_scaling.h"

namespace vexo {
namespace {

std::string Quoted(const std::string& text) { return "\"" + text + "\""; }

std::string Plural(std::size_t count, const char* one, const char* many) {
  return std::to_string(count) + " " + (count == 1 ? one : many);
}

std::string Seconds(double seconds) {
  char text[32];
  std::snprintf(text, sizeof text, "%.3f s", seconds);
  return text;
}

std::string MaterialText(const SceneModel& model, const ModelNode& node) {
  if (node.materials.empty()) return "no material";
  if (node.materials.size() == 1) {
    return "material " + Quoted(model.materials[static_cast<std::size_t>(node.materials[0])].name);
  }
  std::string text = "multi-material";
  for (std::size_t slot = 0; slot < node.materials.size(); ++slot) {
    const int m = node.materials[slot];
    text += (slot == 0 ? " " : ", ") + std::to_string(slot) + ": " +
            (m < 0 ? std::string("(none)") : Quoted(model.materials[static_cast<std::size_t>(m)].name));
  }
  return text;
}

std::string TextureText(const ModelMaterial& material, int maxTexture) {
  if (material.textureReference.empty()) return "no diffuse texture";
  const TextureSource& source = material.texture;
  if (!source.found) return "texture not found: " + source.file.string();
  std::string text = source.Describe();
  const TextureHeader& header = material.header;
  if (header.width <= 0) return text;
  text += ", " + std::to_string(header.width) + " x " + std::to_string(header.height);
  int w = 0, h = 0;
  FittedSize(header.width, header.height, maxTexture, w, h);
  if (w != header.width || h != header.height) {
    text += ", scaled to " + std::to_string(w) + " x " + std::to_string(h);
  }
  return text;
}

}  // namespace

std::string SceneInfo(const ImportedScene& imported, int maxTexture) {
  const SceneModel& model = imported.model();
  std::ostringstream out;
  out << "Scene " << model.source.string();
  if (!model.format.empty()) out << " (" << model.format << ")";
  out << "\nUp axis: " << model.upAxisNote << "\n";

  out << "\nNodes:\nScene Root\n";
  std::size_t vertices = 0, triangles = 0, selected = 0;
  std::vector<std::string> warnings;
  std::set<int> usedMaterials;
  for (const ModelNode& node : model.nodes) {
    out << std::string(static_cast<std::size_t>(node.depth + 1) * 2, ' ') << node.name;
    if (node.mesh >= 0) {
      const WeldedMesh& mesh = model.meshes[static_cast<std::size_t>(node.mesh)];
      out << (node.selected ? " [selected]" : "") << ": " << MaterialText(model, node) << ", "
          << Plural(mesh.VertexCount(), "vertex", "vertices") << ", "
          << Plural(mesh.topology.faces.size(), "triangle", "triangles");
      for (int m : node.materials) {
        if (m >= 0) usedMaterials.insert(m);
      }
      if (node.selected) {
        ++selected;
        vertices += mesh.VertexCount();
        triangles += mesh.topology.faces.size();
        if (node.name == "Root" || node.name == "Scene Root") {
          warnings.push_back("node " + Quoted(node.name) +
                             " is never exported: the plug-in skips nodes of that name");
        }
        if (node.materials.empty()) {
          warnings.push_back("node " + Quoted(node.name) +
                             " has no material, so the plug-in leaves it out (not mapped)");
        }
      }
    }
    out << "\n";
  }

  out << "\nMaterials:\n";
  if (usedMaterials.empty()) out << "  (none)\n";
  for (int index : usedMaterials) {
    const ModelMaterial& material = model.materials[static_cast<std::size_t>(index)];
    out << "  " << Quoted(material.name) << ": " << TextureText(material, maxTexture) << "\n";
    int w = 0, h = 0;
    FittedSize(material.header.width, material.header.height, maxTexture, w, h);
    if (w > kSkinAreaSide || h > kSkinAreaSide) {
      warnings.push_back(TextureTooLargeMessage(material.texture.Describe(), w, h));
    }
  }

  out << "\nClips (" << imported.fps() << " fps):\n";
  if (model.clips.empty()) out << "  (none: the bind pose)\n";
  for (std::size_t i = 0; i < model.clips.size(); ++i) {
    const AnimationClip& clip = model.clips[i];
    const double seconds = clip.DurationSeconds();
    const long frames = std::lround(seconds * imported.fps()) + (clip.loops ? 0 : 1);
    out << "  " << i << " " << Quoted(clip.name) << ": " << Seconds(seconds) << ", "
        << Plural(static_cast<std::size_t>(std::max(1L, frames)), "frame", "frames")
        << (clip.loops ? ", loops" : "")
        << (model.activeClip == static_cast<int>(i) ? " [on the timeline]" : "") << "\n";
  }

  out << "\nSelected: " << Plural(selected, "node", "nodes") << ", "
      << Plural(vertices, "vertex", "vertices") << ", "
      << Plural(triangles, "triangle", "triangles") << "\n";
  if (vertices > static_cast<std::size_t>(kFormatMaxVertices) ||
      triangles > static_cast<std::size_t>(kFormatMaxTriangles)) {
    warnings.push_back("the MD2 format holds at most " + std::to_string(kFormatMaxVertices) +
                       " vertices and " + std::to_string(kFormatMaxTriangles) + " triangles");
  }
  if (vertices > static_cast<std::size_t>(kGameMaxVertices)) {
    warnings.push_back(std::to_string(vertices) + " vertices: the game draws models of at most " +
                       std::to_string(kGameMaxVertices));
  }
  if (triangles > static_cast<std::size_t>(kGameMaxTriangles)) {
    warnings.push_back(std::to_string(triangles) +
                       " triangles: the game draws models of at most " +
                       std::to_string(kGameMaxTriangles));
  }

  if (!model.problems.empty()) {
    out << "\nProblems (the export would stop):\n";
    for (const std::string& problem : model.problems) out << "  " << problem << "\n";
  }
  if (!warnings.empty()) {
    out << "\nWarnings:\n";
    for (const std::string& warning : warnings) out << "  " << warning << "\n";
  }
  return out.str();
}

std::string SceneInfoReport(ImportOptions options) {
  options.prepareTextures = false;
  return SceneInfo(ImportScene(options), options.maxTexture);
}

}  // namespace vexo
