// The "Save md2" command: asks for the model file, samples the selected
// objects, gathers their textures into one skin, writes or updates the
// model file and writes the skin. It orders the steps and owns the buffers
// that pass between them; the steps themselves live in scene/, texture/
// and model/.
#include <windows.h>

#include <cstdint>
#include <cstring>
#include <new>

#include "errors/messages.h"
#include "export/ask_save_file_name.h"
#include "plugin/export_utility.h"
#include "scene/enumerate_nodes.h"
#include "scene/mesh_dump.h"
#include "scene/sample_mesh.h"
#include "texture/skin/collect_textures.h"
#include "texture/skin/copy_texture_to_skin.h"
#include "texture/skin/place_textures.h"
#include "texture/skin/skin_layout.h"

int ExportUtility::SaveModel(const char* skinName, int saveBmp, int savePcx,
                             std::uint32_t firstFrame, std::int32_t startFrame,
                             std::int32_t endFrame, float scale) {
  auto fail = [this](const Message& message) {
    MessageBoxA(panelWindow, message.text, message.caption, MB_OK);
    FreeExportBuffers();
    return 0;
  };

  char path[kPathBufferSize];
  if (!AskSaveFileName(panelWindow, path, kModelFileFilter, kModelFileDialogTitle)) return 0;

  EnumerateNodes(context, hostInterface, kNodeIsSelected | kNodeHasMaterial);
  const int listed = context.nodes ? context.nodeCount : 0;
  if (!SampleMesh(context, 0, listed, &vertices, &faces, &vertexCount, &faceCount, 0))
    return fail(kCannotGetMesh);
  if (listed == 0) return fail(kNothingToSave);

  if (!GatherTextures(context, &textures, &textureCount)) return fail(kCannotLoadTextures);
  // The faces' coordinate ranges come before the pictures: a picture whose
  // used region could never be placed in the skin is not decoded.
  LinkFacesToTextures(textures, textureCount, faces, faceCount, vertices, vertexCount,
                      kLinkWithRanges);
  if (!LoadTextures(context, textures, textureCount)) return fail(kCannotLoadTextures);

  SizeTexturesFromRanges(textures, textureCount);
  MarkUsedTextures(textures, textureCount, faces, faceCount);
  skinWidth = SkinAreaSize;
  skinHeight = SkinAreaSize;
  PlaceTextures(textures, textureCount, 0, SkinAreaSize, SkinAreaSize, context);
  if (FindUnplacedUsedTexture(textures, textureCount) >= 0 ||
      !MeasureSkin(textures, textureCount, &skinWidth, &skinHeight))
    return fail(kCannotPlaceTextures);

  DumpExportMesh(vertices, vertexCount, faces, faceCount, FaceTextureName, context);

  if (!SaveModelFrames(path, startFrame, endFrame, firstFrame, scale)) return fail(kCannotSaveModel);

  // The skin starts black, so pixels that no texture covers are defined.
  const std::int64_t rowLength = 3 * static_cast<std::int64_t>(skinWidth);
  const std::int64_t skinBytes = rowLength * skinHeight;
  skinRgb = new (std::nothrow) std::uint8_t[skinBytes > 0 ? skinBytes : 1];
  if (!skinRgb) return fail(kCannotAllocateSkin);
  std::memset(skinRgb, 0, skinBytes > 0 ? skinBytes : 1);

  for (std::int32_t i = 0; i < textureCount; ++i) {
    SkinTexture& texture = textures[i];
    if (!(texture.state() & kTexturePlaced)) continue;
    std::int32_t left = 0;
    std::int32_t top = 0;
    TextureSourceCorner(texture, &left, &top);
    CopyTextureToSkin(texture.image, skinRgb, static_cast<int>(rowLength), texture.x, texture.y,
                      kSkinPixelFormatBgr, left, top, texture.width, texture.height);
  }

  // A BMP that cannot be written keeps nobody from the PCX: it is reported
  // once the PCX is written (a PCX that fails is reported instead).
  const bool bmpWritten = !saveBmp || WriteSkinBmp(skinName);
  if (savePcx) {
    if (!ReduceSkinToPalette()) return fail(kCannotAllocatePcx);
    if (!WriteSkinPcx(skinName)) return fail(kCannotSavePcx);
  }
  if (!bmpWritten) return fail(kCannotSaveBmp);

  FreeExportBuffers();
  return 1;
}
