#include "standalone/scene_building.h"

#include <cmath>
#include <utility>

namespace vexo {
namespace {

constexpr float kPi = 3.14159265358979323846f;

// Rotation in the plane of axes i and j by degrees (i towards j).
Matrix3 PlaneRotation(int i, int j, float degrees) {
  const float r = degrees * kPi / 180.0f;
  const float c = std::cos(r);
  const float s = std::sin(r);
  Matrix3 m;
  float* rowI = &m.rows[i].x;
  float* rowJ = &m.rows[j].x;
  rowI[i] = c;
  rowI[j] = s;
  rowJ[i] = -s;
  rowJ[j] = c;
  return m;
}

}  // namespace

Matrix3 Translate(float dx, float dy, float dz) {
  Matrix3 m;
  m.rows[3] = Point3{dx, dy, dz};
  return m;
}

Matrix3 Scale(float sx, float sy, float sz) {
  Matrix3 m;
  m.rows[0].x = sx;
  m.rows[1].y = sy;
  m.rows[2].z = sz;
  return m;
}

Matrix3 RotateX(float degrees) { return PlaneRotation(1, 2, degrees); }
Matrix3 RotateY(float degrees) { return PlaneRotation(2, 0, degrees); }
Matrix3 RotateZ(float degrees) { return PlaneRotation(0, 1, degrees); }

Point3 TransformPoint(const Matrix3& m, const Point3& p) {
  const Point3 v = VectorTransform(m, p);
  return Point3{v.x + m.rows[3].x, v.y + m.rows[3].y, v.z + m.rows[3].z};
}

Matrix3 Compose(const Matrix3& first, const Matrix3& then) {
  Matrix3 m;
  for (int i = 0; i < 3; ++i) m.rows[i] = VectorTransform(then, first.rows[i]);
  m.rows[3] = TransformPoint(then, first.rows[3]);
  return m;
}

MeshData MakeQuad(float width, float height, std::uint16_t materialIndex) {
  const float x = width / 2;
  const float y = height / 2;
  MeshData mesh;
  mesh.AddVertex(-x, -y, 0);
  mesh.AddVertex(x, -y, 0);
  mesh.AddVertex(x, y, 0);
  mesh.AddVertex(-x, y, 0);
  mesh.AddTextureVertex(0, 0);
  mesh.AddTextureVertex(1, 0);
  mesh.AddTextureVertex(1, 1);
  mesh.AddTextureVertex(0, 1);
  mesh.AddTexturedFace(0, 1, 2, 0, 1, 2, materialIndex);
  mesh.AddTexturedFace(0, 2, 3, 0, 2, 3, materialIndex);
  return mesh;
}

MeshData MakeBox(float sizeX, float sizeY, float sizeZ) {
  const float x = sizeX / 2;
  const float y = sizeY / 2;
  const float z = sizeZ / 2;
  MeshData mesh;
  // Bottom ring 0-3, top ring 4-7, counter-clockwise seen from above.
  for (float h : {-z, z}) {
    mesh.AddVertex(-x, -y, h);
    mesh.AddVertex(x, -y, h);
    mesh.AddVertex(x, y, h);
    mesh.AddVertex(-x, y, h);
  }
  mesh.AddTextureVertex(0, 0);
  mesh.AddTextureVertex(1, 0);
  mesh.AddTextureVertex(1, 1);
  mesh.AddTextureVertex(0, 1);
  // Each side as a quad a-b-c-d, counter-clockwise seen from outside.
  const std::uint32_t sides[6][4] = {{1, 0, 3, 2}, {4, 5, 6, 7}, {0, 1, 5, 4},
                                     {1, 2, 6, 5}, {2, 3, 7, 6}, {3, 0, 4, 7}};
  for (std::uint16_t s = 0; s < 6; ++s) {
    const auto* q = sides[s];
    mesh.AddTexturedFace(q[0], q[1], q[2], 0, 1, 2, s);
    mesh.AddTexturedFace(q[0], q[2], q[3], 0, 2, 3, s);
  }
  return mesh;
}

std::shared_ptr<MemoryTextureMap> BitmapMap(std::string fileName) {
  return MakeMap(kBitmapTextureClassID, std::move(fileName));
}

std::shared_ptr<MemoryTextureMap> MakeMap(Class_ID classId, std::string fileName) {
  return std::make_shared<MemoryTextureMap>(classId, std::move(fileName));
}

std::shared_ptr<MemoryMaterial> BitmapMaterial(std::string name, std::string fileName) {
  auto material = std::make_shared<MemoryMaterial>(std::move(name));
  material->SetDiffuseMap(BitmapMap(std::move(fileName)));
  return material;
}

std::shared_ptr<MemoryMaterial> MultiMaterial(std::string name,
                                              std::vector<std::shared_ptr<SceneMaterial>> subs) {
  auto material = std::make_shared<MemoryMaterial>(std::move(name));
  for (auto& sub : subs) material->AddSubMaterial(std::move(sub));
  return material;
}

}  // namespace vexo
