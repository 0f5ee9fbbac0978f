// The class-descriptor protocol and the utility-object interface, with the
// virtual slots in the host's order. Their layouts differ between host
// releases; the templates hold both, and the plug-in uses the one its
// release selects (see host_release.h). A host that loads modules of any
// release uses the layouts directly.
//
// The host is built with its own compiler, and three slots are declared as
// that compiler lays them out, whatever compiler builds this side:
// - a virtual destructor takes one slot there (the deleting destructor,
//   given a flags word whose bit 0 asks it to free the memory), where g++
//   and MinGW give it two: the descriptor's slot 0 is that one function;
// - a class returned from a member function comes back through a pointer
//   that the caller passes and the function returns: ClassID takes it;
// - a class with a copy constructor passed by value arrives as the address
//   of the caller's copy, which the called function destroys:
//   SetStartupParameter takes that address.
#pragma once

#include <cstdint>

#include "plugin/host/geometry.h"
#include "plugin/host/host_interface.h"
#include "plugin/host/host_release.h"
#include "plugin/host/sdk_api.h"

class HostUtilityPanel;  // the host's utility panel; opaque to the plug-in

template <bool kWithDestructor>
class ClassDescSlots;

// Releases 4 and 3: slot 0 is the destructor.
template <>
class VEXO_SDK_API ClassDescSlots<true> {
 public:
  // The deleting destructor, one slot (see above); returns this.
  virtual void* DeletingDestructor(unsigned int flags) = 0;
  virtual int IsPublic() = 0;
  virtual void* Create(int loading) = 0;
  virtual int BeginCreate(HostInterface* host) = 0;
  virtual int EndCreate(HostInterface* host) = 0;
  virtual const char* ClassName() = 0;
  virtual SClass_ID SuperClassID() = 0;
  // Writes the class identifier to *result and returns result.
  virtual Class_ID* ClassID(Class_ID* result) = 0;
  virtual const char* Category() = 0;

 protected:
  ~ClassDescSlots();  // releases the descriptor's interface table
};

// Release 2: no destructor slot.
template <>
class ClassDescSlots<false> {
 public:
  virtual int IsPublic() = 0;
  virtual void* Create(int loading) = 0;
  virtual int BeginCreate(HostInterface* host) = 0;
  virtual int EndCreate(HostInterface* host) = 0;
  virtual const char* ClassName() = 0;
  virtual SClass_ID SuperClassID() = 0;
  // Writes the class identifier to *result and returns result.
  virtual Class_ID* ClassID(Class_ID* result) = 0;
  virtual const char* Category() = 0;

 protected:
  ~ClassDescSlots() = default;
};

class ClassDesc : public ClassDescSlots<release::kClassDescHasDestructor> {
 public:
  // Declared by the host SDK; the release-4 build of the plug-in defines
  // and exports it (it returns null: no resource strings).
  const char* GetRsrcString(std::int32_t id);
};

template <bool kWithStartupParameter>
class HostUtilitySlots;

// Releases 4 and 3.
template <>
class HostUtilitySlots<true> {
 public:
  virtual void OpenPanel(HostInterface* host, HostUtilityPanel* utilityPanel) = 0;
  virtual void ClosePanel(HostInterface* host, HostUtilityPanel* utilityPanel) = 0;
  virtual void SelectionChanged(HostInterface* host, HostUtilityPanel* utilityPanel) = 0;
  virtual void Release() = 0;
  // The host's string passed by value: the address of its copy, which the
  // slot destroys.
  virtual void SetStartupParameter(CStr* parameter) = 0;

 protected:
  ~HostUtilitySlots() = default;
};

// Release 2: slots 0 to 3 only.
template <>
class HostUtilitySlots<false> {
 public:
  virtual void OpenPanel(HostInterface* host, HostUtilityPanel* utilityPanel) = 0;
  virtual void ClosePanel(HostInterface* host, HostUtilityPanel* utilityPanel) = 0;
  virtual void SelectionChanged(HostInterface* host, HostUtilityPanel* utilityPanel) = 0;
  virtual void Release() = 0;

 protected:
  ~HostUtilitySlots() = default;
};

using HostUtility = HostUtilitySlots<release::kUtilityHasStartupParameter>;

// The host's kind for utility plug-ins.
inline constexpr SClass_ID kUtilitySuperClassID = 0x1020;
