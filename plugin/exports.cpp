// Everything the module exports to the host, in one place: the four
// functions the host calls after loading the module, the failure record for
// hosts that show it and, in the release-4 build, the SDK's
// ClassDesc::GetRsrcString.
#include "plugin/exports.h"

#include "plugin/export_utility.h"
#include "plugin/export_utility_class_desc.h"
#include "plugin/host/host_release.h"

extern "C" {

DORVANE_EXPORT const char* LibDescription() {
  return "Vexo by the Vexo developers, for Quake 2 modellers";
}

DORVANE_EXPORT int LibNumberClasses() { return 1; }

DORVANE_EXPORT ClassDesc* LibClassDesc(int index) {
  return index == 0 ? &TheExportUtilityClassDesc() : nullptr;
}

DORVANE_EXPORT DWORD LibVersion() { return release::kLibVersion; }

DORVANE_EXPORT int DorvaneLastError(const char** text, const char** caption) {
  const ExportContext& context = TheExportUtility().context;
  if (text) *text = context.errorText;
  if (caption) *caption = context.errorCaption;
  return context.errorRecorded ? 1 : 0;
}

DORVANE_EXPORT const char* DorvaneLastErrorReason() { return TheExportUtility().context.errorReason; }

}  // extern "C"

#if DORVANE_DEFINES_GET_RSRC_STRING
// The release-4 SDK declares this without defining it and expects the
// plug-in to provide it. The plug-in keeps no resource strings.
DORVANE_EXPORT const char* ClassDesc::GetRsrcString(std::int32_t /*id*/) { return nullptr; }
#endif
