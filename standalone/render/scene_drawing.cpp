#include "standalone/render/scene_drawing.h"

#include <algorithm>
#include <cmath>

#include "standalone/md2/normal_directions.h"
#include "standalone/pictures/picture_reading.h"
#include "standalone/render/model_drawing.h"
#include "standalone/render/shade_dots.h"
#include "standalone/render/skin_texture.h"
#include "standalone/scene_building.h"

namespace vexo::render {
namespace {

// Bitmaps are read at most this many pixels a side: plenty for a preview.
constexpr int kLargestSide = 512;

std::array<float, 3> ModelAxes(const Matrix3& world, const Point3& p, float scale) {
  const Point3 w = TransformPoint(world, p);
  return {-w.y * scale, w.x * scale, w.z * scale};
}

// The material's diffuse bitmap for a face, chosen as the plug-in chooses
// it: a multi-material's sub-material by the face's material index.
const char* BitmapName(SceneMaterial* material, std::uint32_t materialIndex) {
  if (!material) return nullptr;
  const int subs = material->SubMaterialCount();
  if (subs > 0) material = material->SubMaterial(int(materialIndex % std::uint32_t(subs)));
  TextureMap* map = material ? material->SubMap(1) : nullptr;
  if (!map || !(map->ClassOf() == kBitmapTextureClassID)) return nullptr;
  return map->BitmapFileName();
}

Texture ReadBitmap(const std::string& file) {
  const std::vector<std::uint8_t> bytes = ReadPictureFile(file);
  const PictureHeader header = ReadPictureHeader(bytes.data(), bytes.size());
  const double shrink =
      std::min(1.0, double(kLargestSide) / std::max(header.width, header.height));
  const int width = std::max(1, int(header.width * shrink));
  const int height = std::max(1, int(header.height * shrink));
  return TrueColourSkin(DecodePicture(bytes.data(), bytes.size(), width, height));
}

}  // namespace

SceneDrawing::SceneDrawing(MemoryScene& scene, float scale) : scale_(scale) {
  scene.ForEachNode([this](MemoryNode& node) {
    if (node.selected() && node.material() && node.hasMesh()) nodes_.push_back(&node);
  });
}

std::vector<std::array<float, 3>> SceneDrawing::Points(TimeValue t) const {
  std::vector<std::array<float, 3>> points;
  for (MemoryNode* node : nodes_) {
    const Matrix3 world = node->WorldTransformAt(t);
    for (const Point3& p : node->MeshAt(t).vertices) points.push_back(ModelAxes(world, p, scale_));
  }
  return points;
}

const Texture* SceneDrawing::BitmapOf(MemoryNode& node, const Face& face) {
  const char* name = BitmapName(node.Material(), face.MaterialIndex());
  if (!name) return nullptr;
  auto found = bitmaps_.find(name);
  if (found == bitmaps_.end()) {
    Texture bitmap;
    try {
      bitmap = ReadBitmap(name);
    } catch (const PictureError& e) {
      unreadable_[name] = e.what();
    }
    found = bitmaps_.emplace(name, std::move(bitmap)).first;
  }
  return found->second.width > 0 ? &found->second : nullptr;
}

void SceneDrawing::Draw(Canvas& canvas, TimeValue t, const View& view, const ViewFit& fit,
                        bool gameLighting) {
  const int row = ShadeDotRow(view.yawDegrees);
  for (MemoryNode* node : nodes_) {
    const Matrix3 world = node->WorldTransformAt(t);
    const MeshData mesh = node->MeshAt(t);
    const bool mapped = !mesh.textureVertices.empty() && mesh.textureFaces.size() == mesh.faces.size();
    for (std::size_t f = 0; f < mesh.faces.size(); ++f) {
      const Face& face = mesh.faces[f];
      std::array<float, 3> p[3];
      RasterVertex corners[3];
      bool inside = true;
      for (int k = 0; k < 3; ++k) inside = inside && face.v[k] < mesh.vertices.size();
      if (!inside) continue;
      for (int k = 0; k < 3; ++k) p[k] = ModelAxes(world, mesh.vertices[face.v[k]], scale_);
      // The face's own direction: host faces run counter-clockwise seen
      // from outside.
      const float a[3] = {p[1][0] - p[0][0], p[1][1] - p[0][1], p[1][2] - p[0][2]};
      const float b[3] = {p[2][0] - p[0][0], p[2][1] - p[0][1], p[2][2] - p[0][2]};
      float n[3] = {a[1] * b[2] - a[2] * b[1], a[2] * b[0] - a[0] * b[2], a[0] * b[1] - a[1] * b[0]};
      const float length = std::sqrt(n[0] * n[0] + n[1] * n[1] + n[2] * n[2]);
      double light = 1.0;
      if (gameLighting && length > 0 && std::isfinite(length))
        light = std::min(1.0, ShadeDot(row, md2::NearestNormalIndex(n[0] / length, n[1] / length,
                                                                    n[2] / length)) * kShadeLight);
      // Corners a, c, b: the winding the model writer gives the face.
      static constexpr int kOrder[3] = {0, 2, 1};
      for (int k = 0; k < 3; ++k) {
        const int corner = kOrder[k];
        const ViewPoint seen = See(view, p[corner]);
        corners[k].x = fit.X(seen);
        corners[k].y = fit.Y(seen);
        corners[k].depth = seen.depth;
        corners[k].light = light;
        if (mapped) {
          const std::uint32_t tv = mesh.textureFaces[f].t[corner];
          if (tv < mesh.textureVertices.size()) {
            corners[k].s = mesh.textureVertices[tv].x;
            corners[k].t = 1.0 - mesh.textureVertices[tv].y;
          }
        }
      }
      canvas.DrawTriangle(corners, mapped ? BitmapOf(*node, face) : nullptr, kUntexturedColour);
    }
  }
}

std::vector<std::string> SceneDrawing::problems() const {
  std::vector<std::string> problems;
  for (const auto& [file, why] : unreadable_) problems.push_back(file + ": " + why);
  return problems;
}

}  // namespace vexo::render
