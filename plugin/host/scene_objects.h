// Host scene objects as the plug-in sees them. They belong to the host: the
// plug-in reads them in place and never frees them.
#pragma once

#include <cstdint>

#include "plugin/host/geometry.h"
#include "plugin/host/sdk_api.h"

// One triangle of a host mesh.
struct Face {
  std::uint32_t v[3] = {0, 0, 0};  // vertex indices
  std::uint32_t smGroup = 0;       // not used by the plug-in
  std::uint32_t flags = 0;         // upper 16 bits: material index
  std::uint32_t MaterialIndex() const { return flags >> 16; }
};

// Texture-vertex indices of one face, parallel to the face list.
struct TVFace {
  std::uint32_t t[3] = {0, 0, 0};
};

// A triangle mesh, read in place.
struct HostMesh {
  int numVerts = 0;
  int numFaces = 0;
  int numTVerts = 0;
  Point3* verts = nullptr;
  Face* faces = nullptr;
  UVVert* tVerts = nullptr;
  TVFace* tvFace = nullptr;  // numFaces entries when numTVerts > 0
};

class TriObject;

// What a node evaluates to at a time.
class SceneObject {
 public:
  virtual ~SceneObject() = default;
  virtual int CanConvertTo(Class_ID classId) = 0;
  // The triangle object of this object; valid until the node is evaluated
  // again. Null when it cannot convert.
  virtual TriObject* ConvertTo(TimeValue t, Class_ID classId) = 0;
};

// An object that is a triangle mesh.
class TriObject : public SceneObject {
 public:
  HostMesh mesh;
  int CanConvertTo(Class_ID classId) override { return classId == triObjectClassID ? 1 : 0; }
  TriObject* ConvertTo(TimeValue, Class_ID classId) override {
    return classId == triObjectClassID ? this : nullptr;
  }
};

// The result of evaluating a node; construction, copy and destruction are
// SDK functions.
class VEXO_SDK_API ObjectState {
 public:
  ObjectState();
  explicit ObjectState(SceneObject* object);
  ObjectState(const ObjectState& other);
  ObjectState& operator=(const ObjectState& other);
  ~ObjectState();

  SceneObject* obj;
};

class TextureMap {
 public:
  virtual ~TextureMap() = default;
  virtual Class_ID ClassOf() = 0;
  virtual const char* BitmapFileName() = 0;
};

class SceneMaterial {
 public:
  virtual ~SceneMaterial() = default;
  // 0 for a plain material.
  virtual int SubMaterialCount() = 0;
  // May be null: an empty slot of a multi-material.
  virtual SceneMaterial* SubMaterial(int index) = 0;
  // Map slot 1 is the diffuse map. Null when the slot is empty.
  virtual TextureMap* SubMap(int slot) = 0;
  virtual const char* MaterialName() = 0;
};

class SceneNode {
 public:
  virtual ~SceneNode() = default;
  virtual int ChildCount() = 0;
  virtual SceneNode* Child(int index) = 0;
  virtual const char* Name() = 0;
  virtual int IsSelected() = 0;
  virtual SceneMaterial* Material() = 0;
  virtual ObjectState WorldStateAt(TimeValue t, int includeHidden) = 0;
  // Mesh to world at time t: rows 0-2 axes, row 3 translation.
  virtual Matrix3 ObjectTransformAt(TimeValue t) = 0;
};
