#include "plugin/export_utility.h"

void ExportUtility::FreeFrameBuffers() {}
