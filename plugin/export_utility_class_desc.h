// The plug-in's one class descriptor: it tells the host the utility's name,
// kind, identity and list category, and hands out the one ExportUtility.
#pragma once

#include "plugin/host/class_desc.h"

inline constexpr Class_ID kExportUtilityClassID{0x4E5D1CDF, 0x46E718D8};
inline constexpr const char* kExportUtilityClassName = "Vexo";
inline constexpr const char* kExportUtilityCategory = "Quake Export";

class ExportUtilityClassDesc : public ClassDesc {
 public:
#if DORVANE_CLASS_DESC_HAS_DESTRUCTOR
  // The descriptor is static and lives until the module is unloaded (its
  // destructor runs then): a host's destroy frees nothing.
  void* DeletingDestructor(unsigned int flags) override;
#endif
  int IsPublic() override;
  // Every call returns the same static ExportUtility, as its utility
  // interface; the argument is ignored.
  void* Create(int loading) override;
  int BeginCreate(HostInterface* host) override;
  int EndCreate(HostInterface* host) override;
  const char* ClassName() override;
  SClass_ID SuperClassID() override;
  Class_ID* ClassID(Class_ID* result) override;
  const char* Category() override;
};

// The single static descriptor, constructed when the module is loaded.
ExportUtilityClassDesc& TheExportUtilityClassDesc();
