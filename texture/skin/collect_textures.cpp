#include "texture/skin/collect_textures.h"

#include <cstdint>
#include <cstring>
#include <new>
#include <utility>

#ifdef _WIN32
#include <string.h>
#else
#include <strings.h>
#endif

#include "texture/skin/skin_layout.h"

namespace {

// Map slot 1 of a material is its diffuse map.
constexpr int kDiffuseSlot = 1;

int CompareIgnoringCase(const char* a, const char* b) {
#ifdef _WIN32
  return _stricmp(a, b);
#else
  return strcasecmp(a, b);
#endif
}

const char* NameOf(SceneMaterial* material) {
  const char* name = material ? material->MaterialName() : nullptr;
  return name ? name : "";
}

// The number of material slots the nodes hold: the sub-materials of a
// multi-material, 1 for a plain one, none for a node without material.
std::int64_t CountMaterialSlots(SceneNode* const* nodes, std::int32_t nodeCount) {
  std::int64_t slots = 0;
  for (std::int32_t i = 0; i < nodeCount; ++i) {
    SceneMaterial* material = nodes[i]->Material();
    if (!material) continue;
    const int subCount = material->SubMaterialCount();
    slots += subCount >= 1 ? subCount : 1;
  }
  return slots;
}

// Keeps the first record of every file name (compared byte for byte) and
// moves the kept ones, in order, to the front; returns their number.
std::int32_t RemoveDuplicates(SkinTexture* textures, std::int32_t count) {
  for (std::int32_t i = 0; i < count; ++i) textures[i].index = -1;
  for (std::int32_t i = 0; i + 1 < count; ++i) {
    if (textures[i].index != -1) continue;
    for (std::int32_t j = i + 1; j < count; ++j) {
      if (std::strcmp(textures[j].fileName.get(), textures[i].fileName.get()) == 0) {
        textures[j].index = i;
      }
    }
  }
  std::int32_t kept = 0;
  for (std::int32_t i = 0; i < count; ++i) {
    if (textures[i].index != -1) continue;
    if (kept != i) textures[kept] = std::move(textures[i]);
    textures[kept].index = kept;
    ++kept;
  }
  return kept;
}

// Selection sort by file name, ignoring case; of names that compare equal
// the earlier one stays first.
void SortByName(SkinTexture* textures, std::int32_t count) {
  for (std::int32_t i = 0; i + 1 < count; ++i) {
    std::int32_t lowest = i;
    for (std::int32_t j = i + 1; j < count; ++j) {
      if (CompareIgnoringCase(textures[j].fileName.get(), textures[lowest].fileName.get()) < 0) {
        lowest = j;
      }
    }
    if (lowest != i) std::swap(textures[i], textures[lowest]);
  }
}

}  // namespace

int GatherTextures(ExportContext& context, SkinTexture** textures, std::int32_t* textureCount) {
  SceneNode* const* const nodes = context.nodes;
  const std::int32_t nodeCount = context.nodeCount;
  if (!nodes) {
    context.RecordError(kNoNodesForTextures);
    return 0;
  }
  const std::int64_t slots = CountMaterialSlots(nodes, nodeCount);
  if (slots == 0) {
    *textureCount = 0;
    return 1;
  }
  SkinTexture* records =
      slots <= INT32_MAX ? new (std::nothrow) SkinTexture[static_cast<std::size_t>(slots)] : nullptr;
  if (!records) {
    context.RecordError(kTexturesNoMemory);
    return 0;
  }
  *textures = records;

  std::int32_t gathered = 0;
  for (std::int32_t n = 0; n < nodeCount; ++n) {
    SceneMaterial* material = nodes[n]->Material();
    if (!material) continue;
    const int subCount = material->SubMaterialCount();
    const int takes = subCount >= 1 ? subCount : 1;
    for (int s = 0; s < takes && gathered < slots; ++s) {
      SceneMaterial* m = subCount >= 1 ? material->SubMaterial(s) : material;
      // An empty slot of a multi-material is reported like an empty diffuse
      // slot, under the multi-material's name: it has no bitmap to give.
      TextureMap* map = m ? m->SubMap(kDiffuseSlot) : nullptr;
      if (!map) {
        context.RecordErrorFormat(kNoDiffuseBitmap.caption, kNoDiffuseBitmap.text,
                                  NameOf(m ? m : material));
        return 0;
      }
      if (map->ClassOf() != kBitmapTextureClassID) {
        context.RecordErrorFormat(kNotABitmap.caption, kNotABitmap.text, NameOf(m));
        return 0;
      }
      const char* fileName = map->BitmapFileName();
      records[gathered++].fileName.set(fileName ? fileName : "");
    }
  }

  const std::int32_t kept = RemoveDuplicates(records, gathered);
  SortByName(records, kept);
  *textureCount = kept;
  return 1;
}

int LoadTextures(ExportContext& context, SkinTexture* textures, std::int32_t textureCount) {
  for (std::int32_t i = 0; i < textureCount; ++i) {
    BitmapImage& image = textures[i].image;
    const SidesToDecode sides = PlaceableSides(textures[i], SkinAreaSize);
    if (!image.LoadImageFile(textures[i].fileName.get(), sides)) {
      context.RecordErrorBecause(image.loadFailure, kCannotLoadPicture.caption,
                                 kCannotLoadPicture.text, textures[i].fileName.get());
      return 0;
    }
  }
  return 1;
}
