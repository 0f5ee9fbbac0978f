#include "sdk/win32/src/win32_state.h"

namespace vexo::win32 {

Win32State& State() {
  static Win32State state;
  return state;
}

}  // namespace vexo::win32
