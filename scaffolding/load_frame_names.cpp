#include "plugin/export_utility.h"

int ExportUtility::LoadFrameNames(const char*) { return 0; }
