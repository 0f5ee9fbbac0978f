#include "tests/standalone/windows_host/ui_driver.h"

#include <algorithm>
#include <cstdio>

#include "standalone/windows_host/windows_host.h"

namespace vexo::ui {
namespace {

constexpr UINT kTickMilliseconds = 25;
// Ticks that a dialog asked to close may take to go before it is reported.
constexpr int kClosingTicks = 80;

// The watchdog thread reads the step; std::mutex is not available with the
// compiler's Win32 thread model.
SRWLOCK g_stepLock = SRWLOCK_INIT;
std::string g_step = "starting";
DialogWatcher* g_watcher = nullptr;

std::string Quoted(const std::string& text) {
  std::string out = "\"";
  for (char c : text) {
    if (c == '\n') {
      out += "\\n";
    } else if (c == '\r') {
      out += "\\r";
    } else {
      out += c;
    }
  }
  return out + "\"";
}

DWORD WINAPI WatchdogThread(LPVOID parameter) {
  Sleep(static_cast<DWORD>(reinterpret_cast<UINT_PTR>(parameter)));
  std::string step;
  AcquireSRWLockShared(&g_stepLock);
  step = g_step;
  ReleaseSRWLockShared(&g_stepLock);
  std::fprintf(stdout, "FAIL watchdog: no end after %lu ms, stalled at: %s\n",
               static_cast<unsigned long>(reinterpret_cast<UINT_PTR>(parameter)), step.c_str());
  std::fflush(stdout);
  // Not ExitProcess: the stalled thread may hold locks that it would need.
  TerminateProcess(GetCurrentProcess(), 3);
  return 0;
}

struct ThreadDialogs {
  std::vector<HWND> dialogs;
};

BOOL CALLBACK CollectDialog(HWND window, LPARAM parameter) {
  if (IsWindowVisible(window) && ClassName(window) == "#32770") {
    reinterpret_cast<ThreadDialogs*>(parameter)->dialogs.push_back(window);
  }
  return TRUE;
}

}  // namespace

bool Checks::True(bool ok, const std::string& what) {
  ++checked_;
  if (!ok) failures_.push_back(what);
  return ok;
}

bool Checks::Equal(const std::string& actual, const std::string& expected, const std::string& what) {
  return True(actual == expected,
              what + ": got " + Quoted(actual) + ", expected " + Quoted(expected));
}

bool Checks::Equal(long long actual, long long expected, const std::string& what) {
  return True(actual == expected, what + ": got " + std::to_string(actual) + ", expected " +
                                      std::to_string(expected));
}

void Checks::Fail(const std::string& what) { True(false, what); }

void SetStep(const std::string& step) {
  AcquireSRWLockExclusive(&g_stepLock);
  g_step = step;
  ReleaseSRWLockExclusive(&g_stepLock);
}

void StartWatchdog(DWORD milliseconds) {
  HANDLE thread = CreateThread(nullptr, 0, WatchdogThread,
                               reinterpret_cast<LPVOID>(static_cast<UINT_PTR>(milliseconds)), 0,
                               nullptr);
  if (thread) CloseHandle(thread);
}

void Pump(DWORD milliseconds) { PumpMessages(milliseconds); }

std::string WindowText(HWND window) {
  if (!window) return "";
  const int length = GetWindowTextLengthA(window);
  std::string text(static_cast<std::size_t>(std::max(length, 0)) + 1, '\0');
  const int got = GetWindowTextA(window, text.data(), static_cast<int>(text.size()));
  text.resize(static_cast<std::size_t>(std::max(got, 0)));
  return text;
}

std::string ClassName(HWND window) {
  char name[64] = {};
  GetClassNameA(window, name, sizeof name);
  return name;
}

std::string DialogText(HWND box) { return WindowText(GetDlgItem(box, 0xFFFF)); }

void Click(HWND button) { SendMessageA(button, BM_CLICK, 0, 0); }

void Type(HWND edit, const std::string& text) {
  SetFocus(edit);
  SendMessageA(edit, EM_SETSEL, 0, -1);
  if (text.empty()) SendMessageA(edit, WM_CHAR, VK_BACK, 1);
  for (char c : text) {
    SendMessageA(edit, WM_CHAR, static_cast<WPARAM>(static_cast<unsigned char>(c)), 1);
  }
}

void SelectLine(HWND list, int index) { SendMessageA(list, LB_SETCURSEL, index, 0); }

std::vector<std::string> ListLines(HWND list) {
  std::vector<std::string> lines;
  const auto count = SendMessageA(list, LB_GETCOUNT, 0, 0);
  for (LRESULT i = 0; i < count; ++i) {
    const auto length = SendMessageA(list, LB_GETTEXTLEN, static_cast<WPARAM>(i), 0);
    std::string line(static_cast<std::size_t>(std::max<LRESULT>(length, 0)) + 1, '\0');
    SendMessageA(list, LB_GETTEXT, static_cast<WPARAM>(i), reinterpret_cast<LPARAM>(line.data()));
    line.resize(static_cast<std::size_t>(std::max<LRESULT>(length, 0)));
    lines.push_back(line);
  }
  return lines;
}

bool PressOk(HWND dialog) {
  PostMessageA(dialog, WM_COMMAND, MAKEWPARAM(IDOK, BN_CLICKED), 0);
  return true;
}

bool PressCancel(HWND dialog) {
  PostMessageA(dialog, WM_COMMAND, MAKEWPARAM(IDCANCEL, BN_CLICKED), 0);
  return true;
}

DialogWatcher::DialogWatcher(Checks& checks) : checks_(checks) {
  g_watcher = this;
  timer_ = SetTimer(nullptr, 0, kTickMilliseconds, &DialogWatcher::OnTimer);
  if (!timer_) checks_.Fail("cannot start the dialog timer");
}

DialogWatcher::~DialogWatcher() {
  if (timer_) KillTimer(nullptr, timer_);
  if (g_watcher == this) g_watcher = nullptr;
}

void DialogWatcher::Expect(const std::string& title, Action action) {
  Expected e;
  e.title = title;
  e.action = std::move(action);
  expected_.push_back(std::move(e));
}

bool DialogWatcher::Finish(const std::string& what) {
  // Give a dialog that was asked to close the time to go.
  for (int i = 0; i < kClosingTicks && !closing_.empty(); ++i) {
    Pump(kTickMilliseconds);
    for (auto it = closing_.begin(); it != closing_.end();) {
      it = IsWindow(*it) && IsWindowVisible(*it) ? std::next(it) : closing_.erase(it);
    }
  }
  for (HWND stuck : closing_) {
    checks_.Fail(what + ": dialog " + Quoted(WindowText(stuck)) + " did not close");
  }
  closing_.clear();
  const bool all = expected_.empty();
  for (const Expected& e : expected_) {
    checks_.Fail(what + ": the dialog " + Quoted(e.title) + " did not appear");
  }
  expected_.clear();
  return all;
}

void CALLBACK DialogWatcher::OnTimer(HWND, UINT, UINT_PTR, DWORD) {
  if (g_watcher) g_watcher->Tick();
}

void DialogWatcher::Tick() {
  // A check that sends a message may let the next tick in; one at a time.
  if (inTick_) return;
  inTick_ = true;
  ThreadDialogs found;
  EnumThreadWindows(GetCurrentThreadId(), CollectDialog, reinterpret_cast<LPARAM>(&found));
  for (HWND dialog : found.dialogs) {
    if (closing_.count(dialog)) continue;
    if (!expected_.empty() && (expected_.front().dialog == dialog ||
                               (!expected_.front().dialog && WindowText(dialog) == expected_.front().title))) {
      Expected& e = expected_.front();
      e.dialog = dialog;
      if (e.ticks == 0) seen_.push_back(WindowText(dialog) + ": " + DialogText(dialog));
      if (e.action(dialog, e.ticks++)) {
        closing_.insert(dialog);
        expected_.pop_front();
      }
      continue;
    }
    // Nobody expected this one: report it and close it as its user would
    // (Esc first, then OK for boxes that ignore Esc).
    auto it = std::find_if(unexpected_.begin(), unexpected_.end(),
                           [dialog](const auto& u) { return u.first == dialog; });
    if (it == unexpected_.end()) {
      checks_.Fail("unexpected dialog " + Quoted(WindowText(dialog)) + " saying " +
                   Quoted(DialogText(dialog)));
      seen_.push_back(WindowText(dialog) + ": " + DialogText(dialog));
      unexpected_.emplace_back(dialog, 0);
      it = std::prev(unexpected_.end());
    }
    const int ticks = it->second++;
    if (ticks == 0) PressCancel(dialog);
    if (ticks == 4) PressOk(dialog);
  }
  inTick_ = false;
}

}  // namespace vexo::ui
