// The Save dialog and message boxes, answered by the host's handlers.
#include <algorithm>
#include <cstdio>
#include <cstring>

#include "sdk/win32/src/win32_state.h"

namespace vexo::win32 {

void SetSaveFileNameHandler(SaveFileNameHandler handler) {
  State().saveFileNameHandler = std::move(handler);
}

void SetMessageBoxHandler(MessageBoxHandler handler) { State().messageBoxHandler = std::move(handler); }

std::vector<MessageBoxCall> MessageBoxLog() { return State().messageBoxes; }
void ClearMessageBoxLog() { State().messageBoxes.clear(); }

}  // namespace vexo::win32

using namespace vexo::win32;

extern "C" {

BOOL GetSaveFileNameA(LPOPENFILENAMEA dialog) {
  auto& state = State();
  state.commonDialogError = 0;
  if (!dialog) {
    state.commonDialogError = CDERR_INITIALIZATION;
    return FALSE;
  }
  // Both the classic structure and the full one are accepted, as Windows
  // does; anything else is a program error.
  if (dialog->lStructSize != OPENFILENAME_SIZE_VERSION_400A &&
      dialog->lStructSize != sizeof(OPENFILENAMEA)) {
    state.commonDialogError = CDERR_STRUCTSIZE;
    return FALSE;
  }
  if (!dialog->lpstrFile || dialog->nMaxFile == 0 ||
      (dialog->hwndOwner && !IsWindow(dialog->hwndOwner))) {
    state.commonDialogError = CDERR_INITIALIZATION;
    return FALSE;
  }
  const SaveFileNameHandler handler = state.saveFileNameHandler;
  const std::optional<std::string> answer = handler ? handler(*dialog) : std::nullopt;
  if (!answer) return FALSE;  // cancelled: no error

  const std::string& path = *answer;
  if (path.size() + 1 > dialog->nMaxFile) {
    // The buffer receives the size it would have needed.
    state.commonDialogError = FNERR_BUFFERTOOSMALL;
    if (dialog->nMaxFile >= 2) {
      const WORD needed = static_cast<WORD>(path.size() + 1);
      std::memcpy(dialog->lpstrFile, &needed, sizeof needed);
    }
    return FALSE;
  }
  std::memcpy(dialog->lpstrFile, path.c_str(), path.size() + 1);
  const std::size_t slash = path.find_last_of("\\/");
  const std::size_t fileStart = slash == std::string::npos ? 0 : slash + 1;
  const std::size_t dot = path.find('.', fileStart);
  dialog->nFileOffset = static_cast<WORD>(fileStart);
  dialog->nFileExtension = static_cast<WORD>(dot == std::string::npos ? path.size() : dot + 1);
  if (dialog->lpstrFileTitle && dialog->nMaxFileTitle > 0) {
    const std::string title = path.substr(fileStart);
    const std::size_t n = std::min<std::size_t>(title.size(), dialog->nMaxFileTitle - 1);
    std::memcpy(dialog->lpstrFileTitle, title.data(), n);
    dialog->lpstrFileTitle[n] = '\0';
  }
  return TRUE;
}

DWORD CommDlgExtendedError(void) { return State().commonDialogError; }

int MessageBoxA(HWND owner, LPCSTR text, LPCSTR caption, UINT type) {
  if (owner && !IsWindow(owner)) return 0;
  auto& state = State();
  MessageBoxCall box{owner, text ? text : "", caption ? caption : "Error", type};
  state.messageBoxes.push_back(box);
  const MessageBoxHandler handler = state.messageBoxHandler;
  return handler ? handler(box) : IDOK;
}

}  // extern "C"
