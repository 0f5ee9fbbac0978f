// The host that hands an in-memory scene to the plug-in: it answers the
// scene's top node and the SDK's time base, and registers itself with the
// SDK for as long as it lives (the previously registered host comes back
// when it is destroyed).
//
// Its panel operations only count the calls and add no page (null window).
// A host with a real panel derives from it and overrides them.
#pragma once

#include "plugin/host/host_interface.h"
#include "sdk/hostsdk/host_services.h"
#include "standalone/memory_scene.h"
#include "standalone/scene_building.h"

namespace vexo {

// How often the plug-in called each host operation that has no result
// worth keeping.
struct HostCallCounts {
  int addPanelPage = 0;              // the form with a category
  int addPanelPageWithoutCategory = 0;
  int deletePanelPage = 0;
  int forwardPanelMouse = 0;
  int initCustomControls = 0;
  int disableAccelerators = 0;
  int enableAccelerators = 0;
};

class MemoryHost : public HostInterface, public sdk::HostServices {
 public:
  explicit MemoryHost(MemoryScene scene = MemoryScene());
  ~MemoryHost() override;
  MemoryHost(const MemoryHost&) = delete;
  MemoryHost& operator=(const MemoryHost&) = delete;

  MemoryScene& scene() { return scene_; }
  const HostCallCounts& calls() const { return calls_; }

  // Host interface.
  SceneNode* TopNode() override { return &scene_.Root(); }
  HWND AddPanelPage(HINSTANCE instance, LPCSTR dialogTemplate, DLGPROC dialogProc, LPCSTR title,
                    LPARAM param, DWORD flags, int category) override;
  HWND AddPanelPage(HINSTANCE instance, LPCSTR dialogTemplate, DLGPROC dialogProc, LPCSTR title,
                    LPARAM param, DWORD flags) override;
  void DeletePanelPage(HWND page) override;
  void ForwardPanelMouse(HWND page, UINT message, WPARAM wParam, LPARAM lParam) override;

  // SDK services; the time base is the scene's.
  int TicksPerFrame() override { return scene_.ticksPerFrame(); }
  void InitCustomControls(HINSTANCE instance) override;
  void DisableAccelerators() override;
  void EnableAccelerators() override;

 protected:
  HostCallCounts calls_;

 private:
  MemoryScene scene_;
  sdk::HostServices* previous_;
};

}  // namespace vexo
