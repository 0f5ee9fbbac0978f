// Process-wide state of the Windows stand-in.
#pragma once

namespace vexo::win32 {

struct Win32State {
  int commonControlsInitialised = 0;
};

Win32State& State();

}  // namespace vexo::win32
