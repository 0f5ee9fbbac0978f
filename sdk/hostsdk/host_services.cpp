#include "sdk/hostsdk/host_services.h"

#include "plugin/host/host_interface.h"

namespace vexo::sdk {
namespace {
HostServices* g_host = nullptr;
}

void RegisterHost(HostServices* services) { g_host = services; }
HostServices* RegisteredHost() { return g_host; }

}  // namespace vexo::sdk

int GetTicksPerFrame() {
  auto* host = vexo::sdk::RegisteredHost();
  return host ? host->TicksPerFrame() : vexo::sdk::kDefaultTicksPerFrame;
}

void InitCustomControls(HINSTANCE instance) {
  if (auto* host = vexo::sdk::RegisteredHost()) host->InitCustomControls(instance);
}

void DisableAccelerators() {
  if (auto* host = vexo::sdk::RegisteredHost()) host->DisableAccelerators();
}

void EnableAccelerators() {
  if (auto* host = vexo::sdk::RegisteredHost()) host->EnableAccelerators();
}
