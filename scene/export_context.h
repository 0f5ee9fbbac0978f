// The node list of an export and the first-error record that the scene
// extraction, texture and dump steps fill.
#pragma once

#include <cstdint>

#include "plugin/host/host_interface.h"
#include "scene/sampled_mesh.h"

struct BitmapImage;
struct SkinTexture;

// Bits of the node test of EnumerateNodes.
enum NodeCriteria : int {
  kNodeHasMaterial = 4,
  kNodeIsSelected = 8,
};

class ExportContext {
 public:
  ExportContext();
  ~ExportContext();
  ExportContext(const ExportContext&) = delete;
  ExportContext& operator=(const ExportContext&) = delete;

  // Keeps the first failure only; texts longer than the fields are cut.
  void RecordError(const char* text, const char* caption);
  // printf-style text; the formatted text is cut to the field.
  void RecordErrorFormat(const char* caption, const char* format, ...)
      __attribute__((format(printf, 3, 4)));

  // Scene extraction (scene/).
  int EnumerateNodes(HostInterface* hostInterface, int criteria);
  int SampleMesh(int firstNode, int nodeCount, SampledVertex** vertices, SampledFace** faces,
                 std::int32_t* vertexCount, std::int32_t* faceCount, TimeValue time);
  int WriteMeshDump(const char* path, const SampledVertex* vertices, std::int32_t vertexCount,
                    const SampledFace* faces, std::int32_t faceCount);

  // Textures (texture/).
  int CollectTextures(SkinTexture** textures, std::int32_t* textureCount);
  int PlaceTextures(SkinTexture* textures, std::int32_t textureCount, int page, int areaWidth,
                    int areaHeight);
  void CopyTextureToSkin(const BitmapImage& image, std::uint8_t* skin, int rowLength, int x, int y,
                         int pixelFormat, int left, int top, int width, int height);

  char errorText[256];
  char errorCaption[512];
  std::int32_t errorRecorded;
  SceneNode** nodes;
  std::int32_t nodeCount;
};
