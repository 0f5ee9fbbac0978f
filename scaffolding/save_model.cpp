#include "plugin/export_utility.h"

int ExportUtility::SaveModel(const char*, int, int, std::uint32_t, std::int32_t, std::int32_t, float) { return 0; }
