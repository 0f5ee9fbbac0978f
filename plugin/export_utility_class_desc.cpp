#include "plugin/export_utility_class_desc.h"

#include "plugin/export_utility.h"

namespace {
ExportUtilityClassDesc g_classDesc;
}  // namespace

ExportUtilityClassDesc& TheExportUtilityClassDesc() { return g_classDesc; }

#if DORVANE_CLASS_DESC_HAS_DESTRUCTOR
void* ExportUtilityClassDesc::DeletingDestructor(unsigned int /*flags*/) { return this; }
#endif

int ExportUtilityClassDesc::IsPublic() { return 1; }

void* ExportUtilityClassDesc::Create(int /*loading*/) {
  // The host sees the object through its utility interface.
  HostUtility* utility = &TheExportUtility();
  return utility;
}

int ExportUtilityClassDesc::BeginCreate(HostInterface* /*host*/) { return 0; }
int ExportUtilityClassDesc::EndCreate(HostInterface* /*host*/) { return 0; }
const char* ExportUtilityClassDesc::ClassName() { return kExportUtilityClassName; }
SClass_ID ExportUtilityClassDesc::SuperClassID() { return kUtilitySuperClassID; }
Class_ID* ExportUtilityClassDesc::ClassID(Class_ID* result) {
  *result = kExportUtilityClassID;
  return result;
}
const char* ExportUtilityClassDesc::Category() { return kExportUtilityCategory; }
