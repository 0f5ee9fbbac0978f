#include "scene/export_context.h"

ExportContext::~ExportContext() { delete[] nodes; }
