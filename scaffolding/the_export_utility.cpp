#include "plugin/export_utility.h"

ExportUtility& TheExportUtility() { static ExportUtility utility; return utility; }
