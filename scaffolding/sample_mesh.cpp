#include "scene/export_context.h"

int ExportContext::SampleMesh(int, int, SampledVertex**, SampledFace**, std::int32_t*, std::int32_t*, TimeValue) { return 0; }
