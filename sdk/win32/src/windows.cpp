// Windows, dialogs and the standard controls: what the dialog manager and
// the BUTTON, EDIT, STATIC and LISTBOX classes do for the calls the
// plug-in makes, with the messages they send to dialog procedures.
//
// Procedures may create, end or destroy windows while handling a message,
// so nothing here keeps a Window pointer across a call into a procedure:
// windows are looked up again by handle afterwards.
#include <strings.h>

#include <algorithm>
#include <climits>
#include <cstdio>
#include <cstring>

#include "sdk/win32/src/win32_state.h"

namespace vexo::win32 {
namespace {

HWND ToHwnd(std::uintptr_t handle) { return reinterpret_cast<HWND>(handle); }

ControlKind KindOfClass(const std::string& windowClass) {
  if (strcasecmp(windowClass.c_str(), "BUTTON") == 0) return ControlKind::Button;
  if (strcasecmp(windowClass.c_str(), "EDIT") == 0) return ControlKind::Edit;
  if (strcasecmp(windowClass.c_str(), "STATIC") == 0) return ControlKind::Static;
  if (strcasecmp(windowClass.c_str(), "LISTBOX") == 0) return ControlKind::ListBox;
  return ControlKind::Other;
}

HWND AddWindow(std::unique_ptr<Window> window) {
  const HWND handle = ToHwnd(NewHandle());
  if (Window* parent = FindWindowByHandle(window->parent)) parent->children.push_back(handle);
  State().windows[reinterpret_cast<std::uintptr_t>(handle)] = std::move(window);
  return handle;
}

bool IsSelfOrDescendant(HWND window, HWND ancestor) {
  for (const Window* w = FindWindowByHandle(window); w; w = FindWindowByHandle(window)) {
    if (window == ancestor) return true;
    window = w->parent;
  }
  return false;
}

// Tells a control's dialog about a notification, as the control does.
void Notify(HWND control, WORD code) {
  Window* w = FindWindowByHandle(control);
  if (!w || w->kind != WindowKind::Control) return;
  const HWND parent = w->parent;
  const int id = w->info.id;
  SendMessageA(parent, WM_COMMAND, MAKEWPARAM(id, code), reinterpret_cast<LPARAM>(control));
}

void NotifyFocus(HWND control, bool gained) {
  Window* w = FindWindowByHandle(control);
  if (!w || w->kind != WindowKind::Control) return;
  if (w->control == ControlKind::Edit) Notify(control, gained ? EN_SETFOCUS : EN_KILLFOCUS);
  if (w->control == ControlKind::ListBox && (w->info.style & LBS_NOTIFY))
    Notify(control, gained ? LBN_SETFOCUS : LBN_KILLFOCUS);
}

bool IsEnabledControl(const Window* w) {
  return w && w->kind == WindowKind::Control && !(w->info.style & WS_DISABLED);
}

LRESULT CopyText(const std::string& text, char* buffer, WPARAM size) {
  if (!buffer || size == 0) return 0;
  const std::size_t n = std::min<std::size_t>(text.size(), size - 1);
  std::memcpy(buffer, text.data(), n);
  buffer[n] = '\0';
  return static_cast<LRESULT>(n);
}

// Returns true when the message was one of the text messages every window
// answers.
bool DefaultTextMessage(HWND window, UINT message, WPARAM wParam, LPARAM lParam, LRESULT* result) {
  Window* w = FindWindowByHandle(window);
  if (!w) return false;
  switch (message) {
    case WM_SETTEXT:
      w->info.text = lParam ? reinterpret_cast<const char*>(lParam) : "";
      *result = TRUE;
      return true;
    case WM_GETTEXT:
      *result = CopyText(w->info.text, reinterpret_cast<char*>(lParam), wParam);
      return true;
    case WM_GETTEXTLENGTH:
      *result = static_cast<LRESULT>(w->info.text.size());
      return true;
    default:
      return false;
  }
}

int SortedPosition(const std::vector<std::string>& lines, const std::string& line) {
  int i = 0;
  while (i < static_cast<int>(lines.size()) && strcasecmp(lines[i].c_str(), line.c_str()) <= 0) ++i;
  return i;
}

LRESULT ListBoxMessage(HWND control, UINT message, WPARAM wParam, LPARAM lParam) {
  Window* w = FindWindowByHandle(control);
  auto& lines = w->lines;
  const int count = static_cast<int>(lines.size());
  const int index = static_cast<int>(static_cast<INT_PTR>(wParam));
  const auto valid = [&](int i) { return i >= 0 && i < count; };
  switch (message) {
    case LB_ADDSTRING:
    case LB_INSERTSTRING: {
      const std::string line = lParam ? reinterpret_cast<const char*>(lParam) : "";
      int at = count;
      if (message == LB_INSERTSTRING && index != -1) {
        if (index < 0 || index > count) return LB_ERR;
        at = index;
      } else if (message == LB_ADDSTRING && (w->info.style & LBS_SORT)) {
        at = SortedPosition(lines, line);
      }
      lines.insert(lines.begin() + at, line);
      if (w->selection >= at) ++w->selection;
      return at;
    }
    case LB_DELETESTRING:
      if (!valid(index)) return LB_ERR;
      lines.erase(lines.begin() + index);
      if (w->selection == index) w->selection = -1;
      else if (w->selection > index) --w->selection;
      return static_cast<LRESULT>(lines.size());
    case LB_RESETCONTENT:
      lines.clear();
      w->selection = -1;
      return 0;
    case LB_SETCURSEL:
      w->selection = valid(index) ? index : -1;
      return valid(index) ? index : LB_ERR;
    case LB_GETCURSEL:
      return w->selection >= 0 ? w->selection : LB_ERR;
    case LB_GETTEXT:
      if (!valid(index) || !lParam) return LB_ERR;
      std::memcpy(reinterpret_cast<char*>(lParam), lines[index].c_str(), lines[index].size() + 1);
      return static_cast<LRESULT>(lines[index].size());
    case LB_GETTEXTLEN:
      return valid(index) ? static_cast<LRESULT>(lines[index].size()) : LB_ERR;
    case LB_GETCOUNT:
      return count;
    default:
      return 0;
  }
}

LRESULT ButtonMessage(HWND control, UINT message, WPARAM wParam) {
  Window* w = FindWindowByHandle(control);
  switch (message) {
    case BM_GETCHECK:
      return w->check;
    case BM_SETCHECK:
      w->check = static_cast<UINT>(wParam);
      return 0;
    case BM_CLICK: {
      const HWND dialog = w->parent;
      ClickButton(dialog, w->info.id);
      return 0;
    }
    default:
      return 0;
  }
}

LRESULT ControlMessage(HWND control, UINT message, WPARAM wParam, LPARAM lParam) {
  Window* w = FindWindowByHandle(control);
  if (w->control == ControlKind::ListBox && message >= LB_ADDSTRING && message <= LB_GETCOUNT)
    return ListBoxMessage(control, message, wParam, lParam);
  if (w->control == ControlKind::Button && message >= BM_GETCHECK && message <= BM_CLICK)
    return ButtonMessage(control, message, wParam);
  LRESULT result = 0;
  if (DefaultTextMessage(control, message, wParam, lParam, &result)) {
    // A single-line edit tells its dialog about every new text.
    if (message == WM_SETTEXT && w->control == ControlKind::Edit && !(w->info.style & ES_MULTILINE))
      Notify(control, EN_CHANGE);
  }
  return result;
}

// What the dialog manager does with messages the procedure left alone.
LRESULT DefaultDialogMessage(HWND dialog, UINT message, WPARAM wParam, LPARAM lParam) {
  LRESULT result = 0;
  switch (message) {
    case WM_SYSCOMMAND:
      if ((wParam & 0xFFF0) == SC_CLOSE) SendMessageA(dialog, WM_CLOSE, 0, 0);
      return 0;
    case WM_CLOSE:
      SendMessageA(dialog, WM_COMMAND, MAKEWPARAM(IDCANCEL, BN_CLICKED),
                   reinterpret_cast<LPARAM>(GetDlgItem(dialog, IDCANCEL)));
      return 0;
    default:
      DefaultTextMessage(dialog, message, wParam, lParam, &result);
      return result;
  }
}

std::string ResourceName(LPCSTR name) {
  if (IS_INTRESOURCE(name)) return "#" + std::to_string(reinterpret_cast<std::uintptr_t>(name));
  return name;
}

// Makes a dialog and its controls from a template and sends WM_INITDIALOG.
// Returns null when the template is missing or the dialog destroyed itself
// while being initialised.
HWND MakeDialog(HINSTANCE instance, LPCSTR templateName, HWND parent, DLGPROC proc,
                LPARAM initParam, bool modal) {
  if (!IS_INTRESOURCE(templateName)) {
    std::fprintf(stderr, "win32 stand-in: dialog template %s: only numbered templates exist\n",
                 templateName);
    return nullptr;
  }
  const WORD id = static_cast<WORD>(reinterpret_cast<std::uintptr_t>(templateName));
  const DialogTemplate* t = FindDialogTemplate(instance, id);
  if (!t) {
    std::fprintf(stderr, "win32 stand-in: no dialog template %s in module %p\n",
                 ResourceName(templateName).c_str(), static_cast<void*>(instance));
    return nullptr;
  }
  auto dialog = std::make_unique<Window>();
  dialog->kind = WindowKind::Dialog;
  dialog->parent = parent;
  dialog->proc = proc;
  dialog->modal = modal;
  dialog->info.windowClass = "#32770";
  dialog->info.text = t->caption ? t->caption : "";
  dialog->info.style = t->style;
  dialog->info.exStyle = t->exStyle;
  dialog->info.rect = {t->x, t->y, t->x + t->cx, t->y + t->cy};
  if (t->style & DS_SETFONT) {
    dialog->info.pointSize = t->pointSize;
    dialog->info.typeface = t->typeface ? t->typeface : "";
  }
  const HWND handle = AddWindow(std::move(dialog));

  HWND firstTabStop = nullptr;
  for (int i = 0; i < t->controlCount; ++i) {
    const ControlTemplate& c = t->controls[i];
    auto control = std::make_unique<Window>();
    control->kind = WindowKind::Control;
    control->parent = handle;
    control->info.windowClass = c.windowClass;
    control->control = KindOfClass(c.windowClass);
    control->info.text = c.text ? c.text : "";
    control->info.id = c.id;
    control->info.style = c.style;
    control->info.exStyle = c.exStyle;
    control->info.rect = {c.x, c.y, c.x + c.cx, c.y + c.cy};
    const bool tabStop = (c.style & WS_TABSTOP) && !(c.style & WS_DISABLED);
    const HWND controlHandle = AddWindow(std::move(control));
    if (tabStop && !firstTabStop) firstTabStop = controlHandle;
  }

  const INT_PTR setFocus = SendMessageA(handle, WM_INITDIALOG, reinterpret_cast<WPARAM>(firstTabStop),
                                        initParam);
  if (!FindWindowByHandle(handle)) return nullptr;
  // A procedure that returns TRUE lets the dialog manager focus the first
  // control that takes Tab.
  if (setFocus && firstTabStop && FindWindowByHandle(firstTabStop)) SetFocus(firstTabStop);
  return handle;
}

void DestroyTree(HWND window) {
  Window* w = FindWindowByHandle(window);
  if (!w || w->destroying) return;
  w->destroying = true;
  if (w->proc) w->proc(window, WM_DESTROY, 0, 0);
  w = FindWindowByHandle(window);
  if (!w) return;
  const std::vector<HWND> children = w->children;
  for (HWND child : children) DestroyTree(child);
  w = FindWindowByHandle(window);
  if (!w) return;
  if (Window* parent = FindWindowByHandle(w->parent)) {
    auto& siblings = parent->children;
    siblings.erase(std::remove(siblings.begin(), siblings.end(), window), siblings.end());
  }
  State().windows.erase(reinterpret_cast<std::uintptr_t>(window));
}

Window* ControlOf(HWND dialog, int id) { return FindWindowByHandle(GetDlgItem(dialog, id)); }

}  // namespace

// ---- Host side ---------------------------------------------------------------

HWND CreateHostWindow(const std::string& title) {
  auto window = std::make_unique<Window>();
  window->kind = WindowKind::Host;
  window->info.text = title;
  window->info.style = WS_OVERLAPPED | WS_CAPTION | WS_VISIBLE;
  return AddWindow(std::move(window));
}

WindowInfo DescribeWindow(HWND window) {
  const Window* w = FindWindowByHandle(window);
  return w ? w->info : WindowInfo{};
}

std::vector<HWND> ChildWindows(HWND window) {
  const Window* w = FindWindowByHandle(window);
  return w ? w->children : std::vector<HWND>{};
}

std::vector<std::string> ListLines(HWND dialog, int id) {
  const Window* w = ControlOf(dialog, id);
  return w && w->control == ControlKind::ListBox ? w->lines : std::vector<std::string>{};
}

bool FocusControl(HWND dialog, int id) {
  const HWND control = GetDlgItem(dialog, id);
  if (!IsEnabledControl(FindWindowByHandle(control))) return false;
  SetFocus(control);
  return true;
}

bool ClickButton(HWND dialog, int id) {
  const HWND control = GetDlgItem(dialog, id);
  Window* w = FindWindowByHandle(control);
  if (!IsEnabledControl(w) || w->control != ControlKind::Button) return false;
  const DWORD type = w->info.style & BS_TYPEMASK;
  if (type == BS_GROUPBOX) return false;
  SetFocus(control);
  w = FindWindowByHandle(control);
  if (!w) return true;
  if (type == BS_AUTOCHECKBOX) w->check = w->check == BST_CHECKED ? BST_UNCHECKED : BST_CHECKED;
  Notify(control, BN_CLICKED);
  return true;
}

bool ClickListLine(HWND dialog, int id, int index) {
  const HWND control = GetDlgItem(dialog, id);
  Window* w = FindWindowByHandle(control);
  if (!IsEnabledControl(w) || w->control != ControlKind::ListBox) return false;
  if (index < 0 || index >= static_cast<int>(w->lines.size())) return false;
  SetFocus(control);
  w = FindWindowByHandle(control);
  if (!w) return true;
  const bool changed = w->selection != index;
  w->selection = index;
  if (changed && (w->info.style & LBS_NOTIFY)) Notify(control, LBN_SELCHANGE);
  return true;
}

bool TypeText(HWND dialog, int id, const std::string& text) {
  const HWND control = GetDlgItem(dialog, id);
  Window* w = FindWindowByHandle(control);
  if (!IsEnabledControl(w) || w->control != ControlKind::Edit) return false;
  SetFocus(control);
  SendMessageA(control, WM_SETTEXT, 0, reinterpret_cast<LPARAM>(text.c_str()));
  return true;
}

void PressEnter(HWND dialog) {
  const Window* d = FindWindowByHandle(dialog);
  if (!d) return;
  for (HWND child : d->children) {
    const Window* c = FindWindowByHandle(child);
    if (c->control == ControlKind::Button && (c->info.style & BS_TYPEMASK) == BS_DEFPUSHBUTTON) {
      if (IsEnabledControl(c)) ClickButton(dialog, c->info.id);
      return;
    }
  }
  SendMessageA(dialog, WM_COMMAND, MAKEWPARAM(IDOK, BN_CLICKED),
               reinterpret_cast<LPARAM>(GetDlgItem(dialog, IDOK)));
}

void PressEscape(HWND dialog) {
  SendMessageA(dialog, WM_COMMAND, MAKEWPARAM(IDCANCEL, BN_CLICKED),
               reinterpret_cast<LPARAM>(GetDlgItem(dialog, IDCANCEL)));
}

void CloseFromCaption(HWND dialog) { SendMessageA(dialog, WM_SYSCOMMAND, SC_CLOSE, 0); }

void Repaint(HWND window) { SendMessageA(window, WM_PAINT, 0, 0); }

void SetModalDialogHandler(ModalDialogHandler handler) { State().modalHandler = std::move(handler); }

void ResetUserInterface() {
  auto& state = State();
  state.windows.clear();
  state.focus = nullptr;
  state.modalHandler = nullptr;
  state.saveFileNameHandler = nullptr;
  state.messageBoxHandler = nullptr;
  state.messageBoxes.clear();
  state.paintLog = PaintLog{};
  state.commonDialogError = 0;
}

}  // namespace vexo::win32

// ---- Windows calls -------------------------------------------------------------

using namespace vexo::win32;

extern "C" {

HWND CreateDialogParamA(HINSTANCE instance, LPCSTR templateName, HWND parent, DLGPROC dialogProc,
                        LPARAM initParam) {
  return MakeDialog(instance, templateName, parent, dialogProc, initParam, false);
}

INT_PTR DialogBoxParamA(HINSTANCE instance, LPCSTR templateName, HWND owner, DLGPROC dialogProc,
                        LPARAM initParam) {
  const HWND dialog = MakeDialog(instance, templateName, owner, dialogProc, initParam, true);
  if (!dialog) return -1;
  const Window* w = FindWindowByHandle(dialog);
  if (!w->ended) {
    // Copied: the handler may replace itself.
    const ModalDialogHandler handler = State().modalHandler;
    if (handler) handler(dialog);
  }
  w = FindWindowByHandle(dialog);
  if (!w) return -1;
  const INT_PTR result = w->ended ? w->endResult : -1;
  if (!w->ended)
    std::fprintf(stderr, "win32 stand-in: modal dialog \"%s\" left open by the host; giving up\n",
                 w->info.text.c_str());
  DestroyTree(dialog);
  return result;
}

BOOL EndDialog(HWND dialog, INT_PTR result) {
  Window* w = FindWindowByHandle(dialog);
  if (!w || w->kind != WindowKind::Dialog) return FALSE;
  w->ended = true;
  w->endResult = result;
  // A modeless dialog is only hidden.
  if (!w->modal) w->info.style &= ~static_cast<DWORD>(WS_VISIBLE);
  return TRUE;
}

BOOL DestroyWindow(HWND window) {
  if (!FindWindowByHandle(window)) return FALSE;
  // The focus leaves first, so an edit losing it still tells its dialog.
  if (IsSelfOrDescendant(State().focus, window)) SetFocus(nullptr);
  DestroyTree(window);
  return TRUE;
}

BOOL IsWindow(HWND window) { return FindWindowByHandle(window) ? TRUE : FALSE; }

HWND GetParent(HWND window) {
  const Window* w = FindWindowByHandle(window);
  return w ? w->parent : nullptr;
}

HWND GetDlgItem(HWND dialog, int id) {
  const Window* d = FindWindowByHandle(dialog);
  if (!d) return nullptr;
  for (HWND child : d->children) {
    const Window* c = FindWindowByHandle(child);
    // Ids are WORDs in classic templates: -1 and 0xFFFF are the same id.
    if (c && static_cast<WORD>(c->info.id) == static_cast<WORD>(id)) return child;
  }
  return nullptr;
}

int GetDlgCtrlID(HWND control) {
  const Window* w = FindWindowByHandle(control);
  return w && w->kind == WindowKind::Control ? w->info.id : 0;
}

HWND SetFocus(HWND window) {
  auto& state = State();
  const HWND previous = state.focus;
  if (window && !FindWindowByHandle(window)) return nullptr;
  if (window == previous) return previous;
  state.focus = window;
  NotifyFocus(previous, false);
  NotifyFocus(window, true);
  return previous;
}

HWND GetFocus(void) { return State().focus; }

LRESULT SendMessageA(HWND window, UINT message, WPARAM wParam, LPARAM lParam) {
  Window* w = FindWindowByHandle(window);
  if (!w) return 0;
  if (w->kind == WindowKind::Control) return ControlMessage(window, message, wParam, lParam);
  if (w->kind == WindowKind::Dialog && w->proc) {
    const INT_PTR handled = w->proc(window, message, wParam, lParam);
    if (message == WM_INITDIALOG) return handled;
    if (!handled) return DefaultDialogMessage(window, message, wParam, lParam);
    return handled;
  }
  LRESULT result = 0;
  DefaultTextMessage(window, message, wParam, lParam, &result);
  return result;
}

LRESULT SendDlgItemMessageA(HWND dialog, int id, UINT message, WPARAM wParam, LPARAM lParam) {
  const HWND control = GetDlgItem(dialog, id);
  return control ? SendMessageA(control, message, wParam, lParam) : 0;
}

BOOL SetWindowTextA(HWND window, LPCSTR text) {
  if (!FindWindowByHandle(window)) return FALSE;
  return static_cast<BOOL>(SendMessageA(window, WM_SETTEXT, 0, reinterpret_cast<LPARAM>(text)));
}

int GetWindowTextA(HWND window, LPSTR buffer, int size) {
  if (buffer && size > 0) buffer[0] = '\0';
  if (!FindWindowByHandle(window) || size <= 0) return 0;
  return static_cast<int>(
      SendMessageA(window, WM_GETTEXT, static_cast<WPARAM>(size), reinterpret_cast<LPARAM>(buffer)));
}

int GetWindowTextLengthA(HWND window) {
  return static_cast<int>(SendMessageA(window, WM_GETTEXTLENGTH, 0, 0));
}

BOOL SetDlgItemTextA(HWND dialog, int id, LPCSTR text) {
  return SetWindowTextA(GetDlgItem(dialog, id), text);
}

UINT GetDlgItemTextA(HWND dialog, int id, LPSTR buffer, int size) {
  return static_cast<UINT>(GetWindowTextA(GetDlgItem(dialog, id), buffer, size));
}

BOOL SetDlgItemInt(HWND dialog, int id, UINT value, BOOL isSigned) {
  char text[16];
  if (isSigned) std::snprintf(text, sizeof text, "%d", static_cast<int>(value));
  else std::snprintf(text, sizeof text, "%u", value);
  return SetDlgItemTextA(dialog, id, text);
}

// Leading spaces are skipped and translation stops at the first character
// that is not a digit; a minus sign is accepted only for signed numbers,
// and a number out of range fails.
UINT GetDlgItemInt(HWND dialog, int id, BOOL* translated, BOOL isSigned) {
  if (translated) *translated = FALSE;
  const HWND control = GetDlgItem(dialog, id);
  if (!control) return 0;
  const Window* w = FindWindowByHandle(control);
  const char* p = w->info.text.c_str();
  while (*p == ' ') ++p;
  bool negative = false;
  if (*p == '-') {
    if (!isSigned) return 0;
    negative = true;
    ++p;
  }
  if (*p < '0' || *p > '9') return 0;
  long long value = 0;
  for (; *p >= '0' && *p <= '9'; ++p) {
    value = value * 10 + (*p - '0');
    if (value > 0xFFFFFFFFLL) return 0;
  }
  if (negative) value = -value;
  if (isSigned && (value < INT_MIN || value > INT_MAX)) return 0;
  if (translated) *translated = TRUE;
  return static_cast<UINT>(value);
}

UINT IsDlgButtonChecked(HWND dialog, int id) {
  const Window* w = ControlOf(dialog, id);
  return w && w->control == ControlKind::Button ? w->check : 0;
}

BOOL CheckDlgButton(HWND dialog, int id, UINT check) {
  Window* w = ControlOf(dialog, id);
  if (!w || w->control != ControlKind::Button) return FALSE;
  w->check = check;
  return TRUE;
}

}  // extern "C"
