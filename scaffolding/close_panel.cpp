#include "plugin/export_utility.h"

void ExportUtility::ClosePanel(HostInterface*, HostUtilityPanel*) {}
