// Driving a window's controls the way a user does, from inside the
// program that owns them, for the host's self-tests.
//
// Buttons are pressed with BM_CLICK, text is typed character by character
// into a focused edit box, and modal dialogs (message boxes, the Save
// dialog, the About box) are answered from a thread timer, which keeps
// firing inside the dialog's own message loop:
//
//   vexo::ui::Checks checks;
//   vexo::ui::DialogWatcher watcher(checks);
//   watcher.Expect("Input error", [&](HWND box, int) {
//     checks.Equal(vexo::ui::DialogText(box), "Last frame must be ...", "message");
//     return vexo::ui::PressOk(box);
//   });
//   vexo::ui::Click(GetDlgItem(page, 1009));   // returns once the box closed
//   watcher.Finish("Save md2");                // every expected dialog seen?
//
// A dialog that nobody expected is reported and closed, so a test never
// waits on a box that no one answers; a watchdog ends a program that
// stalls anyway.
#pragma once

#include <windows.h>

#include <deque>
#include <functional>
#include <set>
#include <string>
#include <vector>

namespace vexo::ui {

// Failed expectations, collected so that one run reports all of them.
class Checks {
 public:
  // Records `what` as failed unless ok. Returns ok.
  bool True(bool ok, const std::string& what);
  bool Equal(const std::string& actual, const std::string& expected, const std::string& what);
  bool Equal(long long actual, long long expected, const std::string& what);
  void Fail(const std::string& what);

  const std::vector<std::string>& failures() const { return failures_; }
  int checked() const { return checked_; }

 private:
  std::vector<std::string> failures_;
  int checked_ = 0;
};

// What the program is doing now; the watchdog names it when it fires.
void SetStep(const std::string& step);
// Ends the process with exit code 3 after `milliseconds`, naming the step
// it was in, unless the process ended before.
void StartWatchdog(DWORD milliseconds);

// Handles the messages that are waiting, for about `milliseconds`.
void Pump(DWORD milliseconds = 0);

// Control access.
std::string WindowText(HWND window);
std::string ClassName(HWND window);
// The text of a message box (its static control 0xFFFF).
std::string DialogText(HWND box);
void Click(HWND button);
// Focuses the edit box, selects its text and types `text` over it.
void Type(HWND edit, const std::string& text);
// Selects a line of a list box (scrolling it into view).
void SelectLine(HWND list, int index);
std::vector<std::string> ListLines(HWND list);

// Posts the commands that close a dialog as its buttons would. They return
// true so that they can end a DialogWatcher action.
bool PressOk(HWND dialog);
bool PressCancel(HWND dialog);

// The modal dialogs of this thread, found by title.
class DialogWatcher {
 public:
  // Called on each timer tick while the dialog is open, with the number of
  // earlier calls; returns true once it has closed (or asked to close) the
  // dialog.
  using Action = std::function<bool(HWND dialog, int tick)>;

  explicit DialogWatcher(Checks& checks);
  ~DialogWatcher();
  DialogWatcher(const DialogWatcher&) = delete;
  DialogWatcher& operator=(const DialogWatcher&) = delete;

  // The next dialog to appear is expected to have this title.
  void Expect(const std::string& title, Action action);
  // Records every expected dialog that has not appeared as a failure of
  // `what`, and forgets it. Returns true when all of them appeared.
  bool Finish(const std::string& what);
  // Titles and texts of the dialogs handled so far ("title: text").
  const std::vector<std::string>& seen() const { return seen_; }

 private:
  struct Expected {
    std::string title;
    Action action;
    HWND dialog = nullptr;
    int ticks = 0;
  };
  static void CALLBACK OnTimer(HWND, UINT, UINT_PTR, DWORD);
  void Tick();

  Checks& checks_;
  UINT_PTR timer_ = 0;
  std::deque<Expected> expected_;
  std::set<HWND> closing_;  // dialogs asked to close, with the ticks since
  std::vector<std::pair<HWND, int>> unexpected_;
  std::vector<std::string> seen_;
  bool inTick_ = false;
};

}  // namespace vexo::ui
