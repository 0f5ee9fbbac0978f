#include "plugin/export_utility.h"

int ExportUtility::WriteSkinBmp(const char*) { return 0; }
