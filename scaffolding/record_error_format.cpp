#include "scene/export_context.h"

void ExportContext::RecordErrorFormat(const char*, const char*, ...) {}
