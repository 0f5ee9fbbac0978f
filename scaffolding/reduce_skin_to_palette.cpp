#include "plugin/export_utility.h"

int ExportUtility::ReduceSkinToPalette() { return 0; }
