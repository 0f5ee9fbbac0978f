// The one utility object of the plug-in: it opens and closes the panel,
// owns the frame-name table, the extraction context and every working
// buffer of an export. Its operations are the ones the plug-in is known by;
// each hands the object's fields to the step that does the work, a plain
// function of scene/, texture/ or model/ (the Save command, export/, orders
// them).
#pragma once

#include <windows.h>

#include <cstdint>

#include "model/model_input.h"
#include "plugin/frame_name_table.h"
#include "plugin/host/class_desc.h"
#include "scene/export_context.h"
#include "scene/sampled_mesh.h"
#include "texture/skin/skin_texture.h"

struct Md2FrameHeader;
struct Md2Vertex;

class ExportUtility final : public HostUtility {
 public:
  ExportUtility();
  ~ExportUtility();
  ExportUtility(const ExportUtility&) = delete;
  ExportUtility& operator=(const ExportUtility&) = delete;

  // Utility-object slots (panel/).
  void OpenPanel(HostInterface* host, HostUtilityPanel* panel) override;
  void ClosePanel(HostInterface* host, HostUtilityPanel* panel) override;
  void SelectionChanged(HostInterface* host, HostUtilityPanel* panel) override;
  void Release() override;
#if DORVANE_UTILITY_HAS_STARTUP_PARAMETER
  // Slot 4 (releases 4 and 3): destroys the host's string, nothing else.
  void SetStartupParameter(CStr* parameter) override;
#endif

  // Frees every working buffer that is not null and sets it to null; the
  // counts and the skin size stay.
  void FreeExportBuffers();

  // The export command (export/save_model.cpp).
  int SaveModel(const char* skinName, int saveBmp, int savePcx, std::uint32_t firstFrame,
                std::int32_t startFrame, std::int32_t endFrame, float scale);
  // Frame-list import: the table takes the frame names of the model file
  // named by path (cut at its first "." with ".md2"); see ReadFrameNames.
  int LoadFrameNames(const char* path);

  // Skin writers: the skin buffers to the files named by the skin name cut
  // at the first "." of its file name, with ".bmp" / ".pcx" (WriteBmp24,
  // ReduceToPalette, WritePcx8).
  int WriteSkinBmp(const char* skinName);
  int ReduceSkinToPalette();
  int WriteSkinPcx(const char* skinName);

  // Model file: the file named by the path cut at the first "." of its file
  // name, with ".md2", from the mesh sampled at host time 0 (vertices,
  // faces and counts, each face linked to its placed texture), the skin
  // size and the frame-name table, each frame sampled from the listed nodes
  // (see model/create_model_file.h, model/save_model_frames.h).
  int CreateModelFile(const char* path, float scale);
  int EncodeModelFrame(TimeValue time, float scale, const char* name, Md2FrameHeader* header,
                       Md2Vertex* vertices);
  int SaveModelFrames(const char* path, std::int32_t startFrame, std::int32_t endFrame,
                      std::uint32_t firstFrame, float scale);

  ExportContext context;
  HostUtilityPanel* utilityPanel;
  HostInterface* hostInterface;
  HWND panelWindow;
  FrameNameTable frameNames;
  SampledVertex* vertices;
  SampledFace* faces;
  SkinTexture* textures;
  std::uint8_t* skinRgb;
  std::uint8_t* skinIndices;
  std::int32_t vertexCount;
  std::int32_t faceCount;
  std::int32_t textureCount;
  std::int32_t skinWidth;
  std::int32_t skinHeight;

  // The vertices of the frame that the model writer sampled last: one
  // array for every frame, released when the model writer finishes.
  SampledVertex* frameVertices;
  void FreeFrameBuffers();

 private:
  // What the model writer is given besides the frames.
  ModelInput ModelInputOf() const;
};

// The single static instance, constructed when the module is loaded.
ExportUtility& TheExportUtility();
