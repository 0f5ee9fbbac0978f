// Loads a plug-in module (.dlu) at run time the way a host does: finds its
// exports by name, tells the host release it was built for from the SDK
// version it reports, and hands out its class descriptors and utility
// objects through the slot layout of that release.
#pragma once

#include <cstdint>
#include <stdexcept>
#include <string>

#include "plugin/host/class_desc.h"

#include "standalone/error.h"

namespace vexo {

class ModuleError : public Error {
 public:
  enum class Kind {
    kFileMissing,    // no file at the path
    kNotLoadable,    // the platform refused to load it (not a module, missing dependency)
    kMissingExport,  // loaded, but one of the host's entry points is absent
    kUnknownVersion, // LibVersion names no host release we know
  };
  ModuleError(Kind kind, const std::string& message);
  Kind kind() const { return kind_; }

 private:
  Kind kind_;
};

// The host release whose SDK reports this version (4, 3 or 2); 0 for none.
int HostReleaseFromVersion(std::uint32_t version);

// A utility object as the host sees it. Release 2's interface has no
// SetStartupParameter slot.
class UtilityObject {
 public:
  UtilityObject(void* object, int hostRelease);

  void OpenPanel(HostInterface* host, HostUtilityPanel* panel);
  void ClosePanel(HostInterface* host, HostUtilityPanel* panel);
  void SelectionChanged(HostInterface* host, HostUtilityPanel* panel);
  void Release();
  bool HasStartupParameter() const { return withParameter_ != nullptr; }
  // Only for releases 4 and 3 (throws std::logic_error otherwise).
  void SetStartupParameter(const char* parameter);

  const void* address() const { return address_; }

 private:
  void* address_;
  HostUtilitySlots<true>* withParameter_ = nullptr;
  HostUtilitySlots<false>* withoutParameter_ = nullptr;
};

// A class descriptor as the host sees it. Release 2's descriptor has no
// destructor slot, so its table starts one slot earlier.
class ClassDescriptor {
 public:
  ClassDescriptor(void* descriptor, int hostRelease);

  int IsPublic();
  void* Create(int loading);
  int BeginCreate(HostInterface* host);
  int EndCreate(HostInterface* host);
  const char* ClassName();
  SClass_ID SuperClassID();
  Class_ID ClassID();
  const char* Category();

  // Create, seen through the utility interface; for descriptors of the
  // utility kind only (throws std::logic_error otherwise).
  UtilityObject CreateUtility(int loading = 0);

  const void* address() const { return address_; }

 private:
  void* address_;
  int hostRelease_;
  ClassDescSlots<true>* withDestructor_ = nullptr;
  ClassDescSlots<false>* withoutDestructor_ = nullptr;
};

// One loaded module; unloaded when this is destroyed. Descriptors, objects
// and texts obtained from it are valid only while it stays loaded.
class PluginModule {
 public:
  // Throws ModuleError when the module cannot be loaded or used.
  explicit PluginModule(const std::string& path);
  ~PluginModule();
  PluginModule(PluginModule&& other) noexcept;
  PluginModule& operator=(PluginModule&& other) noexcept;
  PluginModule(const PluginModule&) = delete;
  PluginModule& operator=(const PluginModule&) = delete;

  const std::string& path() const { return path_; }
  std::uint32_t version() const { return version_; }
  int hostRelease() const { return hostRelease_; }

  const char* Description() const;
  int ClassCount() const;
  // The raw result of LibClassDesc (null for an index the module does not know).
  void* RawClassDesc(int index) const;
  // Throws std::out_of_range when the module has no class at index.
  ClassDescriptor Class(int index) const;
  // Any symbol of the module by its (mangled) name; null when absent.
  void* FindSymbol(const char* name) const;

 private:
  // The host's entry points, each of its own type (a call through a pointer
  // of another type is undefined). LibClassDesc's result is used untyped,
  // since its layout depends on the module's release.
  struct Exports {
    const char* (*libDescription)() = nullptr;
    int (*libNumberClasses)() = nullptr;
    ClassDesc* (*libClassDesc)(int) = nullptr;
    DWORD (*libVersion)() = nullptr;
  };

  void Swap(PluginModule& other) noexcept;
  void Unload() noexcept;

  std::string path_;
  void* handle_ = nullptr;
  Exports exports_;
  std::uint32_t version_ = 0;
  int hostRelease_ = 0;
};

}  // namespace vexo
