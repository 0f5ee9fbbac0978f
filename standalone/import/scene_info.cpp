#include "standalone/import/scene_info.h"

#include <cmath>
#include <cstdio>
#include <set>
#include <tuple>
#include <sstream>

#include "standalone/import/scene_model.h"
#include "standalone/import/skin_fit.h"

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
  auto name = [&](int m) {
    return m < 0 ? std::string("(none)") : Quoted(model.materials[static_cast<std::size_t>(m)].name);
  };
  if (node.materials.empty() || (node.materials.size() == 1 && node.materials[0] < 0)) {
    return "no material";
  }
  if (node.materials.size() == 1) return "material " + name(node.materials[0]);
  std::string text = "multi-material";
  for (std::size_t slot = 0; slot < node.materials.size(); ++slot) {
    text += (slot == 0 ? " " : ", ") + std::to_string(slot) + ": " + name(node.materials[slot]);
  }
  return text;
}

std::string Size(int w, int h) { return std::to_string(w) + " x " + std::to_string(h); }

// Where a picture comes from, and what the plug-in is given of it.
std::string PictureText(const SkinPicture& picture) {
  switch (picture.kind) {
    case SkinPicture::Kind::kSwatch:
      return "swatch of " + picture.key + ", " + Size(picture.width, picture.height);
    case SkinPicture::Kind::kBakedColours:
      return "baked colours: " + picture.label + ", " + Plural(picture.colourCount, "colour", "colours") +
             " in " + Size(picture.width, picture.height);
    case SkinPicture::Kind::kTexture: break;
  }
  const TextureHeader& header = picture.header;
  std::string text = "picture " + picture.label + " (";
  if (header.format != PictureFormat::kUnknown) text += std::string(PictureFormatName(header.format)) + " ";
  text += Size(header.width, header.height) + ")";
  const bool asIs = !picture.prepared.converted;
  if (asIs) return text + ", read by the plug-in as it is";
  text += ", converted picture";
  if (picture.width != header.width || picture.height != header.height) {
    text += " of " + Size(picture.width, picture.height);
  }
  return text;
}

// Per material of the exported nodes, the picture its faces show; faces
// without a material and baked colours are listed per node.
void ListMaterials(const SceneModel& model, std::ostream& out) {
  std::set<std::tuple<int, int, std::size_t>> listed;
  for (std::size_t n = 0; n < model.nodes.size(); ++n) {
    const ModelNode& node = model.nodes[n];
    for (std::size_t slot = 0; slot < node.pictures.size(); ++slot) {
      const int m = node.materials[slot], p = node.pictures[slot];
      const SkinPicture& picture = model.pictures[static_cast<std::size_t>(p)];
      const bool perNode = m < 0 || picture.kind == SkinPicture::Kind::kBakedColours;
      if (!listed.insert({m, p, perNode ? n : 0}).second) continue;
      out << "  " << (m < 0 ? std::string("(no material)") : Quoted(model.materials[static_cast<std::size_t>(m)].name))
          << (perNode ? " on node " + Quoted(node.name) : "") << ": " << PictureText(picture) << "\n";
    }
  }
}

}  // namespace

std::string SceneInfo(const ImportedScene& imported) {
  const SceneModel& model = imported.model();
  std::ostringstream out;
  out << "Scene " << model.source.string();
  if (!model.format.empty()) out << " (" << model.format << ")";
  out << "\nUp axis: " << model.upAxisNote << "\n";

  out << "\nNodes:\nScene Root\n";
  std::size_t vertices = 0, triangles = 0, selected = 0;
  std::vector<std::string> warnings;
  for (const ModelNode& node : model.nodes) {
    out << std::string(static_cast<std::size_t>(node.depth + 1) * 2, ' ') << node.name;
    if (node.mesh >= 0) {
      const WeldedMesh& mesh = model.meshes[static_cast<std::size_t>(node.mesh)];
      out << (node.selected ? " [selected]" : "") << ": " << MaterialText(model, node) << ", "
          << Plural(mesh.VertexCount(), "vertex", "vertices") << ", "
          << Plural(mesh.topology.faces.size(), "triangle", "triangles");
      if (node.selected) {
        ++selected;
        vertices += mesh.VertexCount();
        triangles += mesh.topology.faces.size();
        if (node.name == "Root" || node.name == "Scene Root") {
          warnings.push_back("node " + Quoted(node.name) +
                             " is never exported: the plug-in skips nodes of that name");
        }
      }
    }
    out << "\n";
  }

  out << "\nMaterials (what the skin shows of each):\n";
  if (model.pictures.empty()) out << "  (none)\n";
  ListMaterials(model, out);

  const SkinSummary& skin = model.skin;
  if (!model.pictures.empty()) {
    out << "\nSkin: " << (skin.fits ? Size(skin.skinWidth, skin.skinHeight) : std::string("does not fit"));
    if (skin.maxSide > 0) {
      out << ", textures scaled to at most " << skin.maxSide << " pixels a side"
          << (skin.capChosen ? " to fit" : "");
    }
    out << "\n";
    for (const SkinPicture& picture : model.pictures) {
      if (!picture.used) continue;
      out << "  " << picture.label << ": region " << Size(picture.regionWidth, picture.regionHeight)
          << " of " << Size(picture.width, picture.height) << "\n";
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
  if (vertices > static_cast<std::size_t>(kGameMaxVertices)) {
    warnings.push_back(std::to_string(vertices) + " vertices: the game draws models of at most " +
                       std::to_string(kGameMaxVertices) + " (--fit id reduces the meshes)");
  }
  if (triangles > static_cast<std::size_t>(kGameMaxTriangles)) {
    warnings.push_back(std::to_string(triangles) +
                       " triangles: the game draws models of at most " +
                       std::to_string(kGameMaxTriangles) + " (--fit id reduces the meshes)");
  }

  std::vector<std::string> problems = model.problems;
  if (!skin.fits && !model.pictures.empty()) {
    problems.push_back("the textures do not fit the " + Size(kSkinAreaSide, kSkinAreaSide) + " skin: " + skin.why);
  }
  if (!problems.empty()) {
    out << "\nProblems (the export would stop):\n";
    for (const std::string& problem : problems) out << "  " << problem << "\n";
  }
  if (!model.notes.empty()) {
    out << "\nNotes:\n";
    for (const std::string& note : model.notes) out << "  " << note << "\n";
  }
  if (!warnings.empty()) {
    out << "\nWarnings:\n";
    for (const std::string& warning : warnings) out << "  " << warning << "\n";
  }
  return out.str();
}

std::string SceneInfoReport(ImportOptions options) {
  options.prepareTextures = false;
  return SceneInfo(ImportScene(options));
}

}  // namespace vexo
