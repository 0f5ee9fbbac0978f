#include "plugin/export_utility.h"

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
      frameVertices(nullptr),
      frameFaces(nullptr) {}

// Every export frees its buffers before it returns; this covers one that
// did not get that far.
ExportUtility::~ExportUtility() { FreeExportBuffers(); }

void ExportUtility::SelectionChanged(HostInterface* /*host*/, HostUtilityPanel* /*panel*/) {}

// The object is static: releasing it must not destroy it.
void ExportUtility::Release() {}

void ExportUtility::SetStartupParameter(CStr /*parameter*/) {}

void ExportUtility::FreeExportBuffers() {
  FreeArray(vertices);
  FreeArray(faces);
  FreeArray(textures);  // each texture frees its picture
  FreeArray(skinRgb);
  FreeArray(skinIndices);
  FreeFrameBuffers();
}
