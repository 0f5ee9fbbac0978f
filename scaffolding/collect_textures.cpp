#include "scene/export_context.h"

int ExportContext::CollectTextures(SkinTexture**, std::int32_t*) { return 0; }
