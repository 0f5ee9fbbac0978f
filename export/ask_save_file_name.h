// The common Save dialog, as the export command and the frame-list import
// use it.
#pragma once

#include <windows.h>

// Size of the path buffer handed to the dialog.
inline constexpr int kPathBufferSize = 260;

// Shows the Save dialog owned by `owner` with `filter` (pairs of
// zero-terminated texts, ending with an empty one) and `title`. `path` must
// hold kPathBufferSize characters; it is emptied first. Returns 1 with the
// chosen name in `path`, cut at the first "." of its file name, or 0 when
// the dialog was cancelled or failed.
int AskSaveFileName(HWND owner, char* path, const char* filter, const char* title);

// The filter and title of both uses.
inline constexpr char kModelFileFilter[] = "Quake models (*.md2)\0*.md2\0";
inline constexpr char kModelFileDialogTitle[] = "Save Quake Model";
