#include "plugin/export_utility.h"

#include "base/file_names.h"
#include "model/create_model_file.h"
#include "model/encode_model_frame.h"
#include "model/save_model_frames.h"
#include "model/scene_frame_source.h"
#include "plugin/frame_list_import.h"
#include "texture/picture/bmp.h"
#include "texture/picture/pcx.h"
#include "texture/skin/reduce_skin_to_palette.h"
#include "texture/skin/skin_palette.h"

namespace {
// The one utility object; the host never creates or deletes it.
ExportUtility g_exportUtility;

template <typename T>
void FreeArray(T*& array) {
  delete[] array;
  array = nullptr;
}
}  // namespace

ExportUtility& TheExportUtility() { return g_exportUtility; }

ExportUtility::ExportUtility()
    : utilityPanel(nullptr),
      hostInterface(nullptr),
      panelWindow(nullptr),
      vertices(nullptr),
      faces(nullptr),
      textures(nullptr),
      skinRgb(nullptr),
      skinIndices(nullptr),
      vertexCount(0),
      faceCount(0),
      textureCount(0),
      skinWidth(0),
      skinHeight(0),
      frameVertices(nullptr) {}

// Every export frees its buffers before it returns; this covers one that
// did not get that far.
ExportUtility::~ExportUtility() { FreeExportBuffers(); }

void ExportUtility::SelectionChanged(HostInterface* /*host*/, HostUtilityPanel* /*panel*/) {}

// The object is static: releasing it must not destroy it.
void ExportUtility::Release() {}

#if DORVANE_UTILITY_HAS_STARTUP_PARAMETER
// The parameter is the callee's copy to destroy (see plugin/host/class_desc.h).
void ExportUtility::SetStartupParameter(CStr* parameter) { parameter->~CStr(); }
#endif

void ExportUtility::FreeExportBuffers() {
  FreeArray(vertices);
  FreeArray(faces);
  FreeArray(textures);  // each texture frees its picture
  FreeArray(skinRgb);
  FreeArray(skinIndices);
  FreeFrameBuffers();
}

void ExportUtility::FreeFrameBuffers() {
  FreeArray(frameVertices);
}

int ExportUtility::LoadFrameNames(const char* path) { return ReadFrameNames(path, &frameNames); }

int ExportUtility::WriteSkinBmp(const char* skinName) {
  return WriteBmp24(NameWithExtension(skinName ? skinName : "", ".bmp"), skinRgb, skinWidth,
                    skinHeight);
}

int ExportUtility::ReduceSkinToPalette() {
  return ReduceToPalette(skinRgb, skinWidth, skinHeight, &skinIndices);
}

int ExportUtility::WriteSkinPcx(const char* skinName) {
  PcxPalette palette;
  SkinPaletteForPcx(palette);
  return WritePcx8(NameWithExtension(skinName ? skinName : "", ".pcx"), skinIndices, skinWidth,
                   skinHeight, palette);
}

ModelInput ExportUtility::ModelInputOf() const {
  ModelInput input;
  input.faces = faces;
  input.faceCount = faceCount;
  input.vertexCount = vertexCount;
  input.skinWidth = skinWidth;
  input.skinHeight = skinHeight;
  input.frameNames = frameNames.names;
  input.frameCount = frameNames.count;
  return input;
}

int ExportUtility::CreateModelFile(const char* path, float scale) {
  if (!path) {
    context.RecordErrorFormat(kModelDoesNotFitFormat.caption, kModelDoesNotFitFormat.text,
                              vertexCount, faceCount, frameNames.count);
    return 0;
  }
  SceneFrameSource frames(context, frameVertices);
  const int written =
      ::CreateModelFile(NameWithExtension(path, ".md2"), ModelInputOf(), scale, frames, context);
  FreeFrameBuffers();
  return written;
}

int ExportUtility::EncodeModelFrame(TimeValue time, float scale, const char* name,
                                    Md2FrameHeader* header, Md2Vertex* out) {
  SceneFrameSource frames(context, frameVertices);
  return ::EncodeModelFrame(frames, time, scale, name, vertexCount, header, out, context);
}

int ExportUtility::SaveModelFrames(const char* path, std::int32_t startFrame,
                                   std::int32_t endFrame, std::uint32_t firstFrame, float scale) {
  if (!path) {
    context.RecordErrorFormat(kModelDoesNotFitFormat.caption, kModelDoesNotFitFormat.text,
                              vertexCount, faceCount, frameNames.count);
    return 0;
  }
  SceneFrameSource frames(context, frameVertices);
  const int written = ::SaveModelFrames(NameWithExtension(path, ".md2"), ModelInputOf(),
                                        startFrame, endFrame, firstFrame, scale, frames, context);
  FreeFrameBuffers();
  return written;
}
