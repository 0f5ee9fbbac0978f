// The one utility object of the plug-in: it opens and closes the panel,
// owns the frame-name table, the extraction context and every working
// buffer of an export.
#pragma once

#include <windows.h>

#include <cstdint>
#include <cstdio>

#include "plugin/frame_name_table.h"
#include "plugin/host/class_desc.h"
#include "scene/export_context.h"
#include "scene/sampled_mesh.h"
#include "texture/skin_texture.h"

struct Md2FrameHeader;
struct Md2Vertex;

class ExportUtility : public HostUtility {
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
  // Slot 4 in releases 4 and 3; a plain member in release 2.
  void SetStartupParameter(CStr parameter);

  // Frees every working buffer that is not null and sets it to null; the
  // counts and the skin size stay.
  void FreeExportBuffers();

  // The export command (export/).
  int SaveModel(const char* skinName, int saveBmp, int savePcx, std::uint32_t firstFrame,
                std::int32_t startFrame, std::int32_t endFrame, float scale);
  // Frame-list import (plugin/).
  int LoadFrameNames(const char* path);

  // Skin writers (texture/). Names are cut at the first "." of their file
  // name and given ".bmp" / ".pcx".
  int WriteSkinBmp(const char* skinName);
  int ReduceSkinToPalette();
  int WriteSkinPcx(const char* skinName);

  // Model file (model/). The file is named by the path cut at the first
  // "." of its file name, with ".md2". Both use the mesh sampled at host
  // time 0 (vertices, faces and counts, each face linked to its placed
  // texture), the skin size and the frame-name table; they give 0, with
  // no file created or changed, when the scene does not fit the format or
  // the file, or a frame cannot be encoded.
  //
  // Writes a new file with one frame per frame name, model frame k from
  // host frame k.
  int CreateModelFile(const char* path, float scale);
  // Samples the listed nodes at `time` into frameVertices / frameFaces and
  // encodes the positions as one frame: `vertices` receives vertexCount
  // entries. 0 when sampling fails, the frame has another vertex count
  // than the mesh at time 0, or a scaled position is not finite.
  int EncodeModelFrame(TimeValue time, float scale, const char* name, Md2FrameHeader* header,
                       Md2Vertex* vertices);
  // Writes model frames startFrame..endFrame (inclusive; none when start >
  // end) in place, frame k from host frame firstFrame + k - startFrame;
  // creates the file first when there is none.
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

  // The arrays of the frame that EncodeModelFrame sampled last; released
  // before the next frame is sampled and when the model writer finishes.
  SampledVertex* frameVertices;
  SampledFace* frameFaces;
  void FreeFrameBuffers();
};

// The single static instance, constructed when the module is loaded.
ExportUtility& TheExportUtility();
