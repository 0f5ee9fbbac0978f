#include "standalone/cli/panel_session.h"

#include <stdexcept>
#include <utility>

#include "resources/resource.h"
#include "vexo_win32_host.h"

namespace vexo::cli {

int CliHost::TicksPerFrame() {
  if (onFrameTime) onFrameTime();
  return PanelHost::TicksPerFrame();
}

PanelSession::PanelSession(MemoryScene scene, const std::string& modulePath, Reporter& reporter)
    : host_(std::move(scene)), module_(modulePath), reporter_(reporter) {
  // Hosts of their own find the failure record; an older module has none.
  lastError_ = reinterpret_cast<int (*)(const char**, const char**)>(
      module_.FindSymbol("DorvaneLastError"));
  lastErrorReason_ =
      reinterpret_cast<const char* (*)()>(module_.FindSymbol("DorvaneLastErrorReason"));

  // The user's answers to the dialogs the panel opens.
  win32::SetMessageBoxHandler([this](const win32::MessageBoxCall& box) {
    reporter_.PanelMessage(box.caption, box.text);
    return IDOK;
  });
  win32::SetSaveFileNameHandler([](const OPENFILENAMEA&) { return std::optional<std::string>(); });
  try {
    utility_.emplace(module_.Class(0).CreateUtility());
    utility_->OpenPanel(&host_, nullptr);
    if (host_.pages().empty()) throw std::runtime_error(module_.path() + " added no panel page");
    page_ = host_.pages().back().window;
  } catch (...) {
    Close();
    win32::SetMessageBoxHandler(nullptr);
    throw;
  }
}

PanelSession::~PanelSession() {
  Close();
  win32::SetMessageBoxHandler(nullptr);
  win32::SetSaveFileNameHandler(nullptr);
}

void PanelSession::Close() {
  if (!utility_) return;
  utility_->ClosePanel(&host_, nullptr);
  utility_->Release();
  utility_.reset();
  page_ = nullptr;
}

std::vector<std::string> PanelSession::FrameNames() const {
  return win32::ListLines(page_, IDC_FRAME_LIST);
}

void PanelSession::Control(bool done, const char* what) const {
  if (!done) throw std::runtime_error(std::string("the panel has no usable ") + what);
}

Press PanelSession::ImportFrameList(const std::string& path) {
  return PressButton(IDC_IMPORT_FRAMES, path);
}

void PanelSession::ChooseStart(int line) {
  Control(win32::ClickListLine(page_, IDC_FRAME_LIST, line), "frame list");
  Control(win32::ClickButton(page_, IDC_START), "Start button");
}

void PanelSession::ChooseEnd(int line) {
  Control(win32::ClickListLine(page_, IDC_FRAME_LIST, line), "frame list");
  Control(win32::ClickButton(page_, IDC_END), "End button");
}

void PanelSession::SetFirstFrame(const std::string& text) {
  Control(win32::TypeText(page_, IDC_FIRST_FRAME, text), "First Frame box");
}

void PanelSession::SetScale(const std::string& text) {
  Control(win32::TypeText(page_, IDC_SCALE, text), "Scale box");
}

void PanelSession::SetSkinName(const std::string& text) {
  Control(win32::TypeText(page_, IDC_SKIN_NAME, text), "Skin Name box");
}

void PanelSession::TickSaveBmp() {
  Control(win32::ClickButton(page_, IDC_SAVE_BMP), "Save BMP texture box");
}

void PanelSession::TickSavePcx() {
  Control(win32::ClickButton(page_, IDC_SAVE_PCX), "Save PCX texture box");
}

Press PanelSession::SaveModel(const std::string& path, std::function<void()> onFrame) {
  // Frames are counted once the Save dialog is answered: before it the
  // panel asks the host's time only to check First Frame.
  const Press press =
      PressButton(IDC_SAVE_MD2, path, [this, &onFrame]() { host_.onFrameTime = onFrame; });
  host_.onFrameTime = nullptr;
  return press;
}

Press PanelSession::PressButton(int id, const std::string& dialogAnswer,
                                const std::function<void()>& onAnswer) {
  Press press;
  win32::SetSaveFileNameHandler([&press, dialogAnswer, &onAnswer](const OPENFILENAMEA&) {
    press.askedForFile = true;
    if (onAnswer) onAnswer();
    return std::optional<std::string>(dialogAnswer);
  });
  recordedBefore_ = lastError_ && lastError_(nullptr, nullptr);
  const std::size_t boxesBefore = win32::MessageBoxLog().size();
  const bool clicked = win32::ClickButton(page_, id);
  win32::SetSaveFileNameHandler([](const OPENFILENAMEA&) { return std::optional<std::string>(); });
  Control(clicked, "button");

  const std::vector<win32::MessageBoxCall> boxes = win32::MessageBoxLog();
  press.failed = boxes.size() > boxesBefore;
  for (std::size_t i = boxesBefore; i < boxes.size(); ++i) press.messages.push_back(boxes[i].text);
  if (press.failed) {
    if (const auto detail = NewRecordedFailure()) reporter_.Detail(*detail);
  }
  return press;
}

std::optional<std::string> PanelSession::NewRecordedFailure() const {
  const char* text = nullptr;
  const char* caption = nullptr;
  if (!lastError_ || recordedBefore_ || !lastError_(&text, &caption)) return std::nullopt;
  std::string failure = std::string(caption) + ": " + text;
  // What the step knew beyond its message: why a picture was refused.
  const char* reason = lastErrorReason_ ? lastErrorReason_() : nullptr;
  if (reason && *reason) failure += std::string(": ") + reason;
  return failure;
}

}  // namespace vexo::cli
