#include "scene/export_context.h"

void ExportContext::CopyTextureToSkin(const BitmapImage&, std::uint8_t*, int, int, int, int, int, int, int, int) {}
