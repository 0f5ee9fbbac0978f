#include "export/ask_save_file_name.h"

#include <commdlg.h>

#include <cstring>
#include <string>

#include "base/file_names.h"

int AskSaveFileName(HWND owner, char* path, const char* filter, const char* title) {
  OPENFILENAMEA dialog;
  std::memset(&dialog, 0, sizeof dialog);
  // The classic dialog's structure: no overwrite prompt, no existence
  // checks, no default extension.
  dialog.lStructSize = OPENFILENAME_SIZE_VERSION_400A;
  dialog.hwndOwner = owner;
  dialog.lpstrFilter = filter;
  dialog.nFilterIndex = 0;
  path[0] = '\0';
  dialog.lpstrFile = path;
  dialog.nMaxFile = kPathBufferSize;
  dialog.lpstrTitle = title;
  dialog.Flags = 0;
  if (!GetSaveFileNameA(&dialog)) return 0;
  const std::string base = StripExtension(path);
  std::memcpy(path, base.c_str(), base.size() + 1);  // never longer than the path
  return 1;
}
