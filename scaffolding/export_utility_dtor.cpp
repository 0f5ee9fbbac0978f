#include "plugin/export_utility.h"

ExportUtility::~ExportUtility() {}
