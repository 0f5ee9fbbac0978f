#include "scene/node_mesh.h"

HostMesh* MeshAtTime(SceneNode* node, TimeValue time) {
  if (!node) return nullptr;
  ObjectState state;
  state = node->WorldStateAt(time, 1);
  SceneObject* object = state.obj;
  if (!object || !object->CanConvertTo(triObjectClassID)) return nullptr;
  TriObject* triObject = object->ConvertTo(time, triObjectClassID);
  if (!triObject) return nullptr;

  HostMesh* mesh = &triObject->mesh;
  const bool missingVerts = mesh->numVerts > 0 && !mesh->verts;
  const bool missingFaces = mesh->numFaces > 0 && !mesh->faces;
  const bool missingTexture =
      mesh->numTVerts > 0 && (!mesh->tVerts || (mesh->numFaces > 0 && !mesh->tvFace));
  if (missingVerts || missingFaces || missingTexture) return nullptr;
  return mesh;
}

int FaceBitmapName(SceneNode* node, std::uint32_t materialIndex, const char** bitmapName) {
  SceneMaterial* material = node->Material();
  if (!material) return 0;
  const int subCount = material->SubMaterialCount();
  TextureMap* map = nullptr;
  if (subCount < 1) {
    map = material->SubMap(1);
  } else {
    const std::uint32_t index = materialIndex % static_cast<std::uint32_t>(subCount);
    SceneMaterial* sub = material->SubMaterial(static_cast<int>(index));
    if (sub) map = sub->SubMap(1);
  }
  if (!map || map->ClassOf() != kBitmapTextureClassID) return 0;
  *bitmapName = map->BitmapFileName();
  return 1;
}
