#include "plugin/export_utility.h"

int ExportUtility::WriteSkinPcx(const char*) { return 0; }
