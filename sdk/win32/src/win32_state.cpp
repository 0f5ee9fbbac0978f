#include "sdk/win32/src/win32_state.h"

namespace vexo::win32 {

Win32State& State() {
  static Win32State* state = new Win32State;
  return *state;
}

std::uintptr_t NewHandle() {
  const std::uintptr_t handle = State().nextHandle;
  State().nextHandle += 4;
  return handle;
}

Window* FindWindowByHandle(HWND window) {
  auto& windows = State().windows;
  const auto it = windows.find(reinterpret_cast<std::uintptr_t>(window));
  return it == windows.end() ? nullptr : it->second.get();
}

GdiObject* FindGdiObject(const void* handle) {
  auto& objects = State().gdiObjects;
  const auto it = objects.find(reinterpret_cast<std::uintptr_t>(handle));
  return it == objects.end() ? nullptr : &it->second;
}

}  // namespace vexo::win32
