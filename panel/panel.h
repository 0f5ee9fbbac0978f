// The utility's roll-up page (dialog IDD_PANEL) and its About box.
#pragma once

#include <windows.h>

#include <cstdint>

// What the page keeps between messages. It lives as long as the module;
// every opening of the page sets it anew.
struct PanelState {
  HBITMAP bannerBitmap;     // loaded with the page, deleted with it
  std::int32_t startFrame;  // first model frame to write (Start)
  std::int32_t endFrame;    // last model frame to write (End)
};

PanelState& ThePanelState();

// Size of the banner, painted at the page's top-left corner.
inline constexpr int kBannerWidth = 156;
inline constexpr int kBannerHeight = 224;

// Where the host files the page among its roll-up pages (host release 4).
inline constexpr int kPanelPageCategory = 4000;

// The page's dialog procedure.
INT_PTR CALLBACK PanelProc(HWND window, UINT message, WPARAM wParam, LPARAM lParam);

// Runs the About box modally; returns 1 once it is closed.
int ShowAbout();
INT_PTR CALLBACK AboutProc(HWND window, UINT message, WPARAM wParam, LPARAM lParam);
