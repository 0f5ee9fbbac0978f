#include "standalone/module_loader.h"

#include <cstdio>
#include <filesystem>
#include <new>
#include <type_traits>
#include <utility>

#if defined(_WIN32)
#include <windows.h>
#else
#include <dlfcn.h>
#endif

namespace vexo {
namespace {

constexpr std::uint32_t kRelease4Version = 0x0FA00800u;
constexpr std::uint32_t kRelease3Version = 0x0BB80700u;
constexpr std::uint32_t kRelease2Version = 120u;

#if defined(_WIN32)
void* OpenLibrary(const std::string& path, std::string& error) {
  HMODULE module = LoadLibraryA(path.c_str());
  if (!module) error = "error " + std::to_string(GetLastError());
  return reinterpret_cast<void*>(module);
}
void* LibrarySymbol(void* handle, const char* name) {
  return reinterpret_cast<void*>(GetProcAddress(static_cast<HMODULE>(handle), name));
}
void CloseLibrary(void* handle) { FreeLibrary(static_cast<HMODULE>(handle)); }
#else
void* OpenLibrary(const std::string& path, std::string& error) {
  // Local: two releases of the module loaded side by side must not see
  // each other's symbols.
  void* handle = dlopen(path.c_str(), RTLD_NOW | RTLD_LOCAL);
  if (!handle) {
    const char* text = dlerror();
    error = text ? text : "unknown error";
  }
  return handle;
}
void* LibrarySymbol(void* handle, const char* name) { return dlsym(handle, name); }
void CloseLibrary(void* handle) { dlclose(handle); }
#endif

}  // namespace

ModuleError::ModuleError(Kind kind, const std::string& message)
    : Error(message), kind_(kind) {}

int HostReleaseFromVersion(std::uint32_t version) {
  switch (version) {
    case kRelease4Version: return 4;
    case kRelease3Version: return 3;
    case kRelease2Version: return 2;
    default: return 0;
  }
}

// Utility objects ---------------------------------------------------------

UtilityObject::UtilityObject(void* object, int hostRelease) : address_(object) {
  if (hostRelease >= 3) {
    withParameter_ = static_cast<HostUtilitySlots<true>*>(object);
  } else {
    withoutParameter_ = static_cast<HostUtilitySlots<false>*>(object);
  }
}

void UtilityObject::OpenPanel(HostInterface* host, HostUtilityPanel* panel) {
  withParameter_ ? withParameter_->OpenPanel(host, panel) : withoutParameter_->OpenPanel(host, panel);
}

void UtilityObject::ClosePanel(HostInterface* host, HostUtilityPanel* panel) {
  withParameter_ ? withParameter_->ClosePanel(host, panel)
                 : withoutParameter_->ClosePanel(host, panel);
}

void UtilityObject::SelectionChanged(HostInterface* host, HostUtilityPanel* panel) {
  withParameter_ ? withParameter_->SelectionChanged(host, panel)
                 : withoutParameter_->SelectionChanged(host, panel);
}

void UtilityObject::Release() {
  withParameter_ ? withParameter_->Release() : withoutParameter_->Release();
}

void UtilityObject::SetStartupParameter(const char* parameter) {
  if (!withParameter_) {
    throw std::logic_error("this host release's utility interface has no startup parameter");
  }
  // The slot destroys the copy it is given, as the host's compiler has it.
  alignas(CStr) unsigned char copy[sizeof(CStr)];
  withParameter_->SetStartupParameter(new (copy) CStr(parameter));
}

// Class descriptors -------------------------------------------------------

ClassDescriptor::ClassDescriptor(void* descriptor, int hostRelease)
    : address_(descriptor), hostRelease_(hostRelease) {
  if (hostRelease >= 3) {
    withDestructor_ = static_cast<ClassDescSlots<true>*>(descriptor);
  } else {
    withoutDestructor_ = static_cast<ClassDescSlots<false>*>(descriptor);
  }
}

int ClassDescriptor::IsPublic() {
  return withDestructor_ ? withDestructor_->IsPublic() : withoutDestructor_->IsPublic();
}
void* ClassDescriptor::Create(int loading) {
  return withDestructor_ ? withDestructor_->Create(loading) : withoutDestructor_->Create(loading);
}
int ClassDescriptor::BeginCreate(HostInterface* host) {
  return withDestructor_ ? withDestructor_->BeginCreate(host)
                         : withoutDestructor_->BeginCreate(host);
}
int ClassDescriptor::EndCreate(HostInterface* host) {
  return withDestructor_ ? withDestructor_->EndCreate(host) : withoutDestructor_->EndCreate(host);
}
const char* ClassDescriptor::ClassName() {
  return withDestructor_ ? withDestructor_->ClassName() : withoutDestructor_->ClassName();
}
SClass_ID ClassDescriptor::SuperClassID() {
  return withDestructor_ ? withDestructor_->SuperClassID() : withoutDestructor_->SuperClassID();
}
Class_ID ClassDescriptor::ClassID() {
  Class_ID id;
  withDestructor_ ? withDestructor_->ClassID(&id) : withoutDestructor_->ClassID(&id);
  return id;
}
const char* ClassDescriptor::Category() {
  return withDestructor_ ? withDestructor_->Category() : withoutDestructor_->Category();
}

UtilityObject ClassDescriptor::CreateUtility(int loading) {
  if (SuperClassID() != kUtilitySuperClassID) {
    throw std::logic_error(std::string("class \"") + ClassName() + "\" is not a utility");
  }
  void* object = Create(loading);
  if (!object) {
    throw std::runtime_error(std::string("class \"") + ClassName() + "\" created no object");
  }
  return UtilityObject(object, hostRelease_);
}

// Modules -----------------------------------------------------------------

PluginModule::PluginModule(const std::string& path) : path_(path) {
  std::error_code ec;
  if (!std::filesystem::is_regular_file(path, ec)) {
    throw ModuleError(ModuleError::Kind::kFileMissing, "module file not found: " + path);
  }
  std::string error;
  handle_ = OpenLibrary(path, error);
  if (!handle_) {
    throw ModuleError(ModuleError::Kind::kNotLoadable,
                      "cannot load " + path + " as a module: " + error);
  }
  // From here on a failure must unload what was loaded.
  try {
    auto find = [&](auto& function, const char* name) {
      void* symbol = LibrarySymbol(handle_, name);
      if (!symbol) {
        throw ModuleError(ModuleError::Kind::kMissingExport,
                          path + " is not a plug-in module: it does not export " + name);
      }
      function = reinterpret_cast<std::remove_reference_t<decltype(function)>>(symbol);
    };
    find(exports_.libDescription, "LibDescription");
    find(exports_.libNumberClasses, "LibNumberClasses");
    find(exports_.libClassDesc, "LibClassDesc");
    find(exports_.libVersion, "LibVersion");
    version_ = exports_.libVersion();
    hostRelease_ = HostReleaseFromVersion(version_);
    if (hostRelease_ == 0) {
      char hex[16];
      std::snprintf(hex, sizeof hex, "0x%08X", static_cast<unsigned>(version_));
      throw ModuleError(ModuleError::Kind::kUnknownVersion,
                        path + " reports SDK version " + hex + ", which no known host release has");
    }
  } catch (...) {
    Unload();
    throw;
  }
}

PluginModule::~PluginModule() { Unload(); }

PluginModule::PluginModule(PluginModule&& other) noexcept { Swap(other); }

PluginModule& PluginModule::operator=(PluginModule&& other) noexcept {
  PluginModule taken(std::move(other));
  Swap(taken);  // the module held so far is unloaded with `taken`
  return *this;
}

void PluginModule::Swap(PluginModule& other) noexcept {
  std::swap(path_, other.path_);
  std::swap(handle_, other.handle_);
  std::swap(exports_, other.exports_);
  std::swap(version_, other.version_);
  std::swap(hostRelease_, other.hostRelease_);
}

void PluginModule::Unload() noexcept {
  if (handle_) CloseLibrary(std::exchange(handle_, nullptr));
}

const char* PluginModule::Description() const { return exports_.libDescription(); }

int PluginModule::ClassCount() const { return exports_.libNumberClasses(); }

void* PluginModule::RawClassDesc(int index) const { return exports_.libClassDesc(index); }

ClassDescriptor PluginModule::Class(int index) const {
  void* descriptor = exports_.libClassDesc(index);
  if (!descriptor) {
    throw std::out_of_range(path_ + " has no class " + std::to_string(index));
  }
  return ClassDescriptor(descriptor, hostRelease_);
}

void* PluginModule::FindSymbol(const char* name) const { return LibrarySymbol(handle_, name); }

}  // namespace vexo
