// Helpers for building in-memory scenes: matrices, simple meshes, materials.
#pragma once

#include <cstdint>
#include <memory>
#include <string>
#include <vector>

#include "standalone/memory_scene.h"

namespace vexo {

// Matrices in the host's row layout: a point p maps to
// p.x*row0 + p.y*row1 + p.z*row2 + row3.
Matrix3 Translate(float dx, float dy, float dz);
Matrix3 Scale(float sx, float sy, float sz);
// Counter-clockwise rotations about an axis, in degrees.
Matrix3 RotateX(float degrees);
Matrix3 RotateY(float degrees);
Matrix3 RotateZ(float degrees);
// The matrix that applies first, then then.
Matrix3 Compose(const Matrix3& first, const Matrix3& then);
Point3 TransformPoint(const Matrix3& m, const Point3& p);

// A width x height quad in the XY plane, centred on the origin, facing +Z:
// 4 vertices (-x-y, +x-y, +x+y, -x+y), 2 faces, texture coordinates 0..1
// over the whole quad.
MeshData MakeQuad(float width = 1.0f, float height = 1.0f, std::uint16_t materialIndex = 0);
// An axis-aligned box centred on the origin: 8 shared vertices, 12 faces,
// each side textured 0..1 with material index 0..5 (-Z, +Z, -Y, +X, +Y, -X).
MeshData MakeBox(float sizeX, float sizeY, float sizeZ);

std::shared_ptr<MemoryTextureMap> BitmapMap(std::string fileName);
// A map of any class; only (0x240, 0) is a bitmap texture.
std::shared_ptr<MemoryTextureMap> MakeMap(Class_ID classId, std::string fileName);
// A plain material showing fileName in its diffuse slot.
std::shared_ptr<MemoryMaterial> BitmapMaterial(std::string name, std::string fileName);
// A multi-material; null entries are empty slots.
std::shared_ptr<MemoryMaterial> MultiMaterial(std::string name,
                                              std::vector<std::shared_ptr<SceneMaterial>> subs);

}  // namespace vexo
