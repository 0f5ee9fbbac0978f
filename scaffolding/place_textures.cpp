#include "scene/export_context.h"

int ExportContext::PlaceTextures(SkinTexture*, std::int32_t, int, int, int) { return 0; }
