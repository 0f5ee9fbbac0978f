#include "plugin/export_utility.h"

void ExportUtility::SelectionChanged(HostInterface*, HostUtilityPanel*) {}
