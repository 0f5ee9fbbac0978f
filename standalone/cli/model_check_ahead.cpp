#include "standalone/cli/model_check_ahead.h"

#include <poll.h>
#include <sys/eventfd.h>
#include <sys/inotify.h>
#include <unistd.h>

#include <cerrno>
#include <cstdint>
#include <cstring>
#include <filesystem>
#include <system_error>

namespace vexo::cli {

ModelCheckAhead::ModelCheckAhead(std::string model) : model_(std::move(model)) {
  std::filesystem::path folder = std::filesystem::path(model_).parent_path();
  if (folder.empty()) folder = ".";
  notify_ = inotify_init1(IN_CLOEXEC | IN_NONBLOCK);
  stop_ = eventfd(0, EFD_CLOEXEC);
  if (notify_ < 0 || stop_ < 0 || inotify_add_watch(notify_, folder.c_str(), IN_MOVED_TO) < 0) {
    Stop();
    return;
  }
  try {
    thread_ = std::thread([this] { Run(); });
  } catch (const std::system_error&) {
    Stop();
  }
}

ModelCheckAhead::~ModelCheckAhead() { Take(); }

void ModelCheckAhead::Stop() {
  if (notify_ >= 0) close(notify_);
  if (stop_ >= 0) close(stop_);
  notify_ = stop_ = -1;
}

std::optional<check::CheckedModelFile> ModelCheckAhead::Take() {
  if (thread_.joinable()) {
    const std::uint64_t one = 1;
    if (write(stop_, &one, sizeof one) != sizeof one) {
      // An eventfd takes a write unless its counter is full: it is not.
    }
    thread_.join();
  }
  Stop();
  return std::move(checked_);
}

void ModelCheckAhead::Run() {
  const std::string name = std::filesystem::path(model_).filename().string();
  alignas(inotify_event) char events[4096];
  for (;;) {
    pollfd waits[2] = {{stop_, POLLIN, 0}, {notify_, POLLIN, 0}};
    if (poll(waits, 2, -1) < 0) {
      if (errno == EINTR) continue;
      return;
    }
    if (waits[0].revents) return;
    bool renamed = false;
    for (;;) {
      const ssize_t got = read(notify_, events, sizeof events);
      if (got <= 0) break;
      for (ssize_t at = 0; at < got;) {
        inotify_event event;
        std::memcpy(&event, events + at, sizeof event);
        if (event.len > 0 && name == events + at + sizeof event) renamed = true;
        at += ssize_t(sizeof event + event.len);
      }
    }
    // A check that cannot read the file leaves the one after the export
    // to say why.
    if (renamed) checked_ = check::CheckModelFileAlone(model_);
  }
}

}  // namespace vexo::cli
