#include "plugin/export_utility.h"

ExportUtility::ExportUtility() : utilityPanel(nullptr), hostInterface(nullptr), panelWindow(nullptr), vertices(nullptr), faces(nullptr), textures(nullptr), skinRgb(nullptr), skinIndices(nullptr), vertexCount(0), faceCount(0), textureCount(0), skinWidth(0), skinHeight(0), frameVertices(nullptr), frameFaces(nullptr) {}
