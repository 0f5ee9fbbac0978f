// Calls a module's class descriptor and utility object by slot number, as a
// host built with the host's own compiler calls them on x86-64: the object
// first; a class returned through a pointer the caller passes (and gets
// back); a class passed by value as the address of a copy that the called
// function destroys. Nothing here knows the module's C++ classes.
#pragma once

namespace test_support {

template <typename Result, typename... Args>
Result CallSlot(void* object, int slot, Args... args) {
  using Function = Result (*)(void*, Args...);
  void* const* table = *static_cast<void* const* const*>(object);
  return reinterpret_cast<Function>(table[slot])(object, args...);
}

// The number of a class descriptor's slot as the host release numbers it:
// IsPublic is slot 1, ..., Category slot 8 behind the destructor's slot 0;
// release 2's descriptor has no destructor, so its slots start one lower.
inline int DescriptorSlot(int hostRelease, int slot) { return hostRelease >= 3 ? slot : slot - 1; }

}  // namespace test_support
