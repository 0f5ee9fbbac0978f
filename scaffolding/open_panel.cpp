#include "plugin/export_utility.h"

void ExportUtility::OpenPanel(HostInterface*, HostUtilityPanel*) {}
