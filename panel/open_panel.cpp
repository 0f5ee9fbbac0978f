// Opening and closing the utility's page in the host's command panel.
#include "panel/panel.h"
#include "plugin/export_utility.h"
#include "plugin/exports.h"
#include "plugin/host/host_release.h"
#include "plugin/module_instance.h"
#include "resources/resource.h"

void ExportUtility::OpenPanel(HostInterface* host, HostUtilityPanel* panel) {
  utilityPanel = panel;
  hostInterface = host;
  // The page is initialised (PanelProc, WM_INITDIALOG) before this returns.
  if constexpr (release::kPanelPageHasCategory) {
    panelWindow = host->AddPanelPage(ModuleInstance(), MAKEINTRESOURCEA(IDD_PANEL), PanelProc,
                                     LibDescription(), 0, 0, kPanelPageCategory);
  } else {
    panelWindow = host->AddPanelPage(ModuleInstance(), MAKEINTRESOURCEA(IDD_PANEL), PanelProc,
                                     LibDescription(), 0, 0);
  }
  SetDlgItemTextA(panelWindow, IDC_SCALE, "1");
  SetDlgItemTextA(panelWindow, IDC_SKIN_NAME, "tris");
}

void ExportUtility::ClosePanel(HostInterface* host, HostUtilityPanel* /*panel*/) {
  utilityPanel = nullptr;
  hostInterface = nullptr;
  host->DeletePanelPage(panelWindow);
  panelWindow = nullptr;
}
