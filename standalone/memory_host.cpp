#include "standalone/memory_host.h"

#include <utility>

namespace vexo {

static_assert(kDefaultTicksPerFrame == sdk::kDefaultTicksPerFrame,
              "the scene and the SDK must agree on the default time base");

MemoryHost::MemoryHost(MemoryScene scene)
    : scene_(std::move(scene)), previous_(sdk::RegisteredHost()) {
  sdk::RegisterHost(this);
}

MemoryHost::~MemoryHost() {
  if (sdk::RegisteredHost() == this) sdk::RegisterHost(previous_);
}

HWND MemoryHost::AddPanelPage(HINSTANCE, LPCSTR, DLGPROC, LPCSTR, LPARAM, DWORD, int) {
  ++calls_.addPanelPage;
  return nullptr;
}

HWND MemoryHost::AddPanelPage(HINSTANCE, LPCSTR, DLGPROC, LPCSTR, LPARAM, DWORD) {
  ++calls_.addPanelPageWithoutCategory;
  return nullptr;
}

void MemoryHost::DeletePanelPage(HWND) { ++calls_.deletePanelPage; }

void MemoryHost::ForwardPanelMouse(HWND, UINT, WPARAM, LPARAM) { ++calls_.forwardPanelMouse; }

void MemoryHost::InitCustomControls(HINSTANCE) { ++calls_.initCustomControls; }
void MemoryHost::DisableAccelerators() { ++calls_.disableAccelerators; }
void MemoryHost::EnableAccelerators() { ++calls_.enableAccelerators; }

}  // namespace vexo
