#include "plugin/export_utility.h"

void ExportUtility::FreeExportBuffers() {}
