#include "scene/export_context.h"

ExportContext::ExportContext() : errorText{}, errorCaption{}, errorRecorded(0), nodes(nullptr), nodeCount(0) {}
