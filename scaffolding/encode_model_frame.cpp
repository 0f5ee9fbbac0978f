#include "plugin/export_utility.h"

int ExportUtility::EncodeModelFrame(std::FILE*, TimeValue, float, const char*) { return 0; }
