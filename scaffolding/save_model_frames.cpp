#include "plugin/export_utility.h"

int ExportUtility::SaveModelFrames(const char*, std::int32_t, std::int32_t, std::uint32_t, float) { return 0; }
