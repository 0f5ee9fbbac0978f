#include "standalone/import/skin_preparation.h"

#include <algorithm>
#include <cmath>
#include <map>

#include "standalone/import/skin_fit.h"
#include "standalone/import/swatches.h"

namespace fs = std::filesystem;

namespace vexo {
namespace {

// Largest side of a picture vexo converts: what the plug-in then loads.
constexpr int kLargestConvertedSide = 4096;
// Corners whose colours differ by more than this (of 255) make a face
// that is not of one colour.
constexpr int kFlatColourTolerance = 4;

std::string Quoted(const std::string& text) { return "\"" + text + "\""; }

std::string Size(int w, int h) { return std::to_string(w) + " x " + std::to_string(h); }

Rgb8 Multiply(const Rgb8& colour, const Rgb8& by) {
  Rgb8 out;
  for (int c = 0; c < 3; ++c) {
    out[c] = LinearToSrgbByte(SrgbToLinear(colour[c] / 255.0f) * SrgbToLinear(by[c] / 255.0f));
  }
  return out;
}

class SkinPlanner {
 public:
  SkinPlanner(SceneModel& model, const ImportOptions& options, bool gltf)
      : model_(model),
        options_(options),
        gltf_(gltf),
        cache_(options.textureCache.empty() ? fs::path("vexo-textures") : options.textureCache,
               options.path, options.prepareTextures, model.cacheAdditions) {}

  void Plan() {
    for (std::size_t i = 0; i < model_.nodes.size(); ++i) {
      if (PluginExports(model_.nodes[i])) ChoosePictures(static_cast<int>(i));
    }
    InspectTextures();
    MeasureRanges();
    Fit();
    PrepareFiles();
  }

 private:
  int AddPicture(const std::string& key, SkinPicture picture) {
    auto [it, added] = pictureByKey_.emplace(key, static_cast<int>(model_.pictures.size()));
    if (added) model_.pictures.push_back(std::move(picture));
    return it->second;
  }

  int Swatch(const Rgb8& colour) {
    SkinPicture picture;
    picture.kind = SkinPicture::Kind::kSwatch;
    picture.label = "the swatch of " + HexColour(colour);
    picture.made = SwatchPicture(colour);
    picture.stem = "swatch";
    picture.key = HexColour(colour);
    return AddPicture("swatch " + HexColour(colour), std::move(picture));
  }

  int Texture(const ModelMaterial& material) {
    SkinPicture picture;
    picture.kind = SkinPicture::Kind::kTexture;
    picture.source = material.texture;
    picture.label = material.texture.Describe();
    picture.tint = material.colours.factor;
    picture.tinted = material.colours.tinted;
    std::string key = "texture " + (material.texture.embedded
                                        ? "*" + std::to_string(material.texture.embeddedIndex)
                                        : material.texture.file.string());
    if (picture.tinted) {
      picture.label += " tinted " + HexColour(material.colours.flat);
      for (float f : picture.tint) key += " " + std::to_string(f);
    }
    materialOf_.emplace(key, material.name);
    return AddPicture(key, std::move(picture));
  }

  // The colour each face of the node shows from its vertex colours; in
  // glTF times its material's base colour factor, which the vertex colours
  // tint. (Other formats show vertex colours as they are.)
  std::vector<Rgb8> FaceColours(const ModelNode& node, const WeldedMesh& mesh, bool& varied) {
    std::vector<Rgb8> colours(mesh.topology.faces.size());
    for (std::size_t f = 0; f < colours.size(); ++f) {
      int low[3] = {255, 255, 255}, high[3] = {0, 0, 0}, sum[3] = {0, 0, 0};
      for (int k = 0; k < 3; ++k) {
        const auto& c = mesh.cornerColours[3 * f + k];
        for (int ch = 0; ch < 3; ++ch) {
          // glTF keeps vertex colours in linear light.
          const int value = gltf_ ? LinearToSrgbByte(c[ch])
                                  : std::lround(std::clamp(std::isfinite(c[ch]) ? c[ch] : 0.0f, 0.0f, 1.0f) * 255.0f);
          low[ch] = std::min(low[ch], value);
          high[ch] = std::max(high[ch], value);
          sum[ch] += value;
        }
      }
      Rgb8 colour;
      for (int ch = 0; ch < 3; ++ch) {
        colour[ch] = static_cast<std::uint8_t>((sum[ch] + 1) / 3);
        varied = varied || high[ch] - low[ch] > kFlatColourTolerance;
      }
      const std::size_t slot = mesh.topology.faces[f].MaterialIndex();
      const int m = slot < node.materials.size() ? node.materials[slot] : -1;
      if (gltf_ && m >= 0) colour = Multiply(colour, model_.materials[static_cast<std::size_t>(m)].colours.flat);
      colours[f] = colour;
    }
    return colours;
  }

  // Bakes the vertex colours of the faces in the given slots; returns the
  // picture, or -1 after falling back to a swatch of their average.
  void Bake(int nodeIndex, const std::vector<bool>& bakedSlot, std::vector<int>& slotPictures,
            std::vector<bool>& swatchFace, std::vector<int>& cellOfFace, ColourCells& cells) {
    ModelNode& node = model_.nodes[static_cast<std::size_t>(nodeIndex)];
    const WeldedMesh& mesh = model_.meshes[static_cast<std::size_t>(node.mesh)];
    bool varied = false;
    const std::vector<Rgb8> faceColours = FaceColours(node, mesh, varied);
    std::map<Rgb8, int> cellOf;
    std::vector<Rgb8> distinct;
    long long sum[3] = {0, 0, 0};
    std::size_t baked = 0;
    for (std::size_t f = 0; f < faceColours.size(); ++f) {
      if (!bakedSlot[mesh.topology.faces[f].MaterialIndex()]) continue;
      auto [it, added] = cellOf.emplace(faceColours[f], static_cast<int>(distinct.size()));
      if (added) distinct.push_back(faceColours[f]);
      cellOfFace[f] = it->second;
      for (int c = 0; c < 3; ++c) sum[c] += faceColours[f][c];
      ++baked;
    }
    if (distinct.size() > kMostBakedColours) {
      Rgb8 average;
      for (int c = 0; c < 3; ++c) average[c] = static_cast<std::uint8_t>(sum[c] / std::max<std::size_t>(1, baked));
      model_.notes.push_back("the vertex colours of node " + Quoted(node.name) + " have " +
                             std::to_string(distinct.size()) + " different colours, more than the " +
                             std::to_string(kMostBakedColours) + " vexo bakes; its faces show their average " +
                             HexColour(average));
      const int swatch = Swatch(average);
      for (std::size_t s = 0; s < bakedSlot.size(); ++s) {
        if (bakedSlot[s]) slotPictures[s] = swatch;
      }
      for (std::size_t f = 0; f < cellOfFace.size(); ++f) {
        if (cellOfFace[f] < 0) continue;
        swatchFace[f] = true;
        cellOfFace[f] = -1;
      }
      return;
    }
    if (varied) {
      model_.notes.push_back("the vertex colours of node " + Quoted(node.name) +
                             " change across its faces; each face shows the average of its corners");
    }
    cells = MakeColourCells(distinct);
    SkinPicture picture;
    picture.kind = SkinPicture::Kind::kBakedColours;
    picture.label = "the vertex colours of node " + Quoted(node.name);
    picture.made = cells.Picture();
    picture.colourCount = distinct.size();
    picture.stem = options_.path.stem().string() + "_" + node.name + "_colours";
    picture.key = options_.path.string() + "|" + node.name + "|";
    for (const Rgb8& c : distinct) picture.key += HexColour(c);
    const int index = AddPicture("baked " + std::to_string(nodeIndex), std::move(picture));
    for (std::size_t s = 0; s < bakedSlot.size(); ++s) {
      if (bakedSlot[s]) slotPictures[s] = index;
    }
  }

  void ChoosePictures(int nodeIndex) {
    ModelNode& node = model_.nodes[static_cast<std::size_t>(nodeIndex)];
    WeldedMesh& mesh = model_.meshes[static_cast<std::size_t>(node.mesh)];
    if (node.materials.empty()) node.materials.push_back(-1);
    const std::size_t slots = node.materials.size();
    std::vector<int> slotPictures(slots, -1);
    std::vector<bool> swatchSlot(slots, false), bakedSlot(slots, false);
    const bool coloured = !mesh.cornerColours.empty();
    for (std::size_t s = 0; s < slots; ++s) {
      const int m = node.materials[s];
      const ModelMaterial* material = m >= 0 ? &model_.materials[static_cast<std::size_t>(m)] : nullptr;
      if (material && !material->textureReference.empty()) {
        if (material->texture.found) {
          slotPictures[s] = Texture(*material);
          continue;
        }
        NoteMissing(*material);
      } else if (coloured) {
        bakedSlot[s] = true;
        continue;
      }
      slotPictures[s] = Swatch(material ? material->colours.flat : kDefaultGrey);
      swatchSlot[s] = true;
    }

    const std::size_t faces = mesh.topology.faces.size();
    std::vector<bool> swatchFace(faces, false);
    std::vector<int> cellOfFace(faces, -1);
    ColourCells cells;
    if (std::find(bakedSlot.begin(), bakedSlot.end(), true) != bakedSlot.end()) {
      Bake(nodeIndex, bakedSlot, slotPictures, swatchFace, cellOfFace, cells);
    }
    bool made = false;
    for (std::size_t f = 0; f < faces; ++f) {
      const std::size_t slot = mesh.topology.faces[f].MaterialIndex();
      swatchFace[f] = swatchFace[f] || (slot < slots && swatchSlot[slot]);
      made = made || swatchFace[f] || cellOfFace[f] >= 0;
    }
    if (made) AssignMadeCoordinates(mesh.topology, swatchFace, cellOfFace, cells.colours.empty() ? nullptr : &cells);
    node.pictures = slotPictures;
    for (int p : slotPictures) {
      if (std::find(gatherOrder_.begin(), gatherOrder_.end(), p) == gatherOrder_.end()) gatherOrder_.push_back(p);
    }
  }

  void NoteMissing(const ModelMaterial& material) {
    const std::string note = "texture " + Quoted(material.textureReference) + " of material " +
                             Quoted(material.name) + " is not found (looked for " +
                             material.texture.file.string() + "); its faces show the material's colour " +
                             HexColour(material.colours.flat);
    if (std::find(model_.notes.begin(), model_.notes.end(), note) == model_.notes.end()) {
      model_.notes.push_back(note);
    }
  }

  void InspectTextures() {
    for (const auto& [key, index] : pictureByKey_) {
      SkinPicture& picture = model_.pictures[static_cast<std::size_t>(index)];
      if (picture.kind == SkinPicture::Kind::kTexture) {
        try {
          picture.header = InspectTexture(picture.source);
        } catch (const ImportError& error) {
          throw ImportError(std::string(error.what()) + " (material " + Quoted(materialOf_.at(key)) + ")");
        }
      } else {
        picture.header.width = picture.made.width;
        picture.header.height = picture.made.height;
      }
    }
  }

  // Each picture's range of texture coordinates over the faces that show
  // it, as the plug-in reads them.
  void MeasureRanges() {
    ranges_.assign(model_.pictures.size(), {});
    for (const ModelNode& node : model_.nodes) {
      if (!PluginExports(node)) continue;
      const MeshData& mesh = model_.meshes[static_cast<std::size_t>(node.mesh)].topology;
      for (std::size_t f = 0; f < mesh.faces.size(); ++f) {
        const std::size_t slot = mesh.faces[f].MaterialIndex();
        if (slot >= node.pictures.size() || node.pictures[slot] < 0) continue;
        FitPicture& range = ranges_[static_cast<std::size_t>(node.pictures[slot])];
        for (int k = 0; k < 3; ++k) {
          const UVVert uv = mesh.textureVertices.empty()
                                ? UVVert{0, 0, 0}
                                : mesh.textureVertices[mesh.textureFaces[f].t[k]];
          if (!range.used) {
            range.uMin = range.uMax = uv.x;
            range.vMin = range.vMax = uv.y;
            range.used = true;
          }
          range.uMin = std::min(range.uMin, uv.x);
          range.uMax = std::max(range.uMax, uv.x);
          range.vMin = std::min(range.vMin, uv.y);
          range.vMax = std::max(range.vMax, uv.y);
        }
      }
    }
  }

  Conversion ConversionOf(const SkinPicture& picture) const {
    return Conversion{&picture.source, &picture.header, picture.tint, picture.tinted};
  }

  std::string NameAt(const SkinPicture& picture, int width, int height) const {
    if (picture.kind == SkinPicture::Kind::kTexture) return cache_.FileNameFor(ConversionOf(picture), width, height);
    return cache_.FileNameFor(picture.stem, picture.key, width, height);
  }

  std::vector<FitPicture> FitPictures() const {
    std::vector<FitPicture> list;
    for (int p : gatherOrder_) {
      const SkinPicture& picture = model_.pictures[static_cast<std::size_t>(p)];
      FitPicture fit = ranges_[static_cast<std::size_t>(p)];
      fit.label = picture.label;
      fit.width = picture.header.width;
      fit.height = picture.header.height;
      fit.scalable = picture.kind == SkinPicture::Kind::kTexture;
      fit.nameAt = [this, &picture](int w, int h) { return NameAt(picture, w, h); };
      list.push_back(std::move(fit));
    }
    return list;
  }

  // Whether every picture that would be converted at this cap stays within
  // what vexo converts.
  bool ConvertsAt(const std::vector<FitPicture>& list, int cap) const {
    for (std::size_t k = 0; k < list.size(); ++k) {
      int w = 0, h = 0;
      SizeAtCap(list[k], cap, w, h);
      const SkinPicture& picture = model_.pictures[static_cast<std::size_t>(gatherOrder_[k])];
      const bool asIs = picture.kind == SkinPicture::Kind::kTexture && picture.header.readsAsIs &&
                        !picture.tinted && w == picture.header.width && h == picture.header.height;
      if (!asIs && std::max(w, h) > kLargestConvertedSide) return false;
    }
    return true;
  }

  void Fit() {
    const std::vector<FitPicture> list = FitPictures();
    int largest = 0;
    for (const FitPicture& p : list) {
      if (p.scalable) largest = std::max({largest, p.width, p.height});
    }
    const int limit = std::min(largest, kLargestConvertedSide);
    SkinSummary& skin = model_.skin;
    int cap = options_.maxTexture > 0 ? options_.maxTexture : 0;
    if (options_.maxTexture == kMaxTextureAuto) {
      if (!(ConvertsAt(list, 0) && LayOutSkin(list, 0).fits)) {
        cap = LargestFittingSide(list, limit);
        skin.capChosen = cap > 0;
        // Nothing fits: the largest that vexo converts, and the plug-in says no.
        if (cap == 0 && largest > kLargestConvertedSide) cap = kLargestConvertedSide;
      }
    }
    if (!ConvertsAt(list, cap)) {
      for (std::size_t k = 0; k < list.size(); ++k) {
        int w = 0, h = 0;
        SizeAtCap(list[k], cap, w, h);
        if (std::max(w, h) > kLargestConvertedSide) {
          throw ImportError(list[k].label + " is " + Size(list[k].width, list[k].height) +
                            " pixels; vexo converts pictures of up to " +
                            Size(kLargestConvertedSide, kLargestConvertedSide) +
                            ": give --max-texture " + std::to_string(kLargestConvertedSide) +
                            " or less, or leave it out to let vexo choose");
        }
      }
    }
    const SkinLayout layout = LayOutSkin(list, cap);
    skin.fits = layout.fits;
    skin.maxSide = cap;
    skin.skinWidth = layout.skinWidth;
    skin.skinHeight = layout.skinHeight;
    std::string scaled;
    for (std::size_t k = 0; k < list.size(); ++k) {
      SkinPicture& picture = model_.pictures[static_cast<std::size_t>(gatherOrder_[k])];
      picture.used = list[k].used;
      picture.width = layout.widths[k];
      picture.height = layout.heights[k];
      picture.regionWidth = layout.regionWidths[k];
      picture.regionHeight = layout.regionHeights[k];
      if (picture.width != list[k].width || picture.height != list[k].height) {
        scaled += (scaled.empty() ? "" : ", ") + picture.label + " from " +
                  Size(list[k].width, list[k].height) + " to " + Size(picture.width, picture.height);
      }
    }
    if (skin.capChosen && !scaled.empty()) {
      model_.notes.push_back("textures scaled to fit the " + Size(kSkinAreaSide, kSkinAreaSide) +
                             " skin (as --max-texture " + std::to_string(cap) + " would): " + scaled);
    }
    if (!layout.fits) {
      const int works = options_.maxTexture == kMaxTextureAuto ? 0 : LargestFittingSide(list, limit);
      skin.why = works > 0 ? "they fit with --max-texture " + std::to_string(works) +
                                 ", which scales every texture down to at most " +
                                 std::to_string(works) + " pixels a side"
                           : WhyNoSizeFits(list);
    }
  }

  void PrepareFiles() {
    for (SkinPicture& picture : model_.pictures) {
      if (picture.kind == SkinPicture::Kind::kTexture) {
        picture.prepared = cache_.Prepare(ConversionOf(picture), picture.width, picture.height);
      } else {
        picture.prepared = cache_.PrepareMade(picture.stem, picture.key, picture.made);
      }
    }
  }

  SceneModel& model_;
  const ImportOptions& options_;
  bool gltf_;
  TextureCache cache_;
  std::map<std::string, int> pictureByKey_;
  std::map<std::string, std::string> materialOf_;  // a texture's first material
  // The pictures in the order in which the plug-in meets them.
  std::vector<int> gatherOrder_;
  std::vector<FitPicture> ranges_;
};

}  // namespace

bool PluginExports(const ModelNode& node) {
  return node.mesh >= 0 && node.selected && node.name != "Root" && node.name != "Scene Root";
}

void PrepareSkin(SceneModel& model, const ImportOptions& options, bool gltf) {
  SkinPlanner(model, options, gltf).Plan();
}

}  // namespace vexo
