#include "scene/export_context.h"

void ExportContext::RecordError(const char*, const char*) {}
