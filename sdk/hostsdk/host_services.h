// How a running host answers the SDK functions that the plug-in calls.
// A host registers its services at start-up; until then (and after it
// unregisters) the SDK answers with the defaults noted below.
#pragma once

#include <windows.h>

#include "plugin/host/sdk_api.h"

namespace vexo::sdk {

class HostServices {
 public:
  virtual ~HostServices() = default;
  virtual int TicksPerFrame() = 0;                       // default 160
  virtual void InitCustomControls(HINSTANCE instance) = 0;  // default: nothing
  virtual void DisableAccelerators() = 0;                // default: nothing
  virtual void EnableAccelerators() = 0;                 // default: nothing
};

// Ticks per frame of a host that registered nothing: 4800 ticks a second at
// 30 frames a second.
inline constexpr int kDefaultTicksPerFrame = 160;

// Registers the running host; null goes back to the defaults.
VEXO_SDK_API void RegisterHost(HostServices* services);
VEXO_SDK_API HostServices* RegisteredHost();

}  // namespace vexo::sdk
