#include "standalone/cli/isolated_import.h"

#include <fcntl.h>
#include <signal.h>
#include <sys/resource.h>
#include <sys/wait.h>
#include <unistd.h>

#include <cerrno>
#include <cstdio>
#include <cstdlib>
#include <cstring>
#include <fstream>

#include "standalone/cli/commands.h"

namespace vexo::cli {
namespace {

// AddressSanitizer reserves terabytes of address space up front, so an
// address-space limit cannot be set in such a build; the time limit still
// holds.
#if defined(__SANITIZE_ADDRESS__)
constexpr bool kCanLimitAddressSpace = false;
#elif defined(__has_feature)
#if __has_feature(address_sanitizer)
constexpr bool kCanLimitAddressSpace = false;
#else
constexpr bool kCanLimitAddressSpace = true;
#endif
#else
constexpr bool kCanLimitAddressSpace = true;
#endif

// A sanitizer's leak check runs at the child's exit and may change its exit
// code, so there the parent waits for the child's real end.
constexpr bool kReportBeforeExit = kCanLimitAddressSpace;

// The child's end of the pipe to the waiting parent, once the import is done.
int gParentPipe = -1;

// The process's address space now, in bytes (0 when unknown).
rlim_t AddressSpaceInUse() {
  std::ifstream statm("/proc/self/statm");
  unsigned long long pages = 0;
  if (!(statm >> pages)) return 0;
  return rlim_t(pages) * rlim_t(sysconf(_SC_PAGESIZE));
}

struct rlimit gSavedAddressLimit;
bool gAddressLimitSet = false;

void LimitChild(const ImportLimits& limits) {
  if (kCanLimitAddressSpace && limits.memoryMiB > 0 && getrlimit(RLIMIT_AS, &gSavedAddressLimit) == 0) {
    const rlim_t inUse = AddressSpaceInUse();
    struct rlimit lowered = gSavedAddressLimit;
    const rlim_t wanted = inUse + rlim_t(limits.memoryMiB) * 1024 * 1024;
    if (inUse > 0 && (lowered.rlim_cur == RLIM_INFINITY || wanted < lowered.rlim_cur)) {
      lowered.rlim_cur = wanted;
      gAddressLimitSet = setrlimit(RLIMIT_AS, &lowered) == 0;
    }
  }
  if (limits.seconds > 0) alarm(unsigned(limits.seconds));
}

void LiftLimits() {
  alarm(0);
  if (gAddressLimitSet) setrlimit(RLIMIT_AS, &gSavedAddressLimit);
  gAddressLimitSet = false;
}

// What became of a child that did not finish its import, for the message.
std::string WhatHappened(int status, const ImportLimits& limits) {
  if (WIFSIGNALED(status)) {
    const int signal = WTERMSIG(status);
    if (signal == SIGALRM)
      return "the import took longer than " + std::to_string(limits.seconds) +
             " seconds (--import-time raises the limit)";
    if (signal == SIGKILL)
      return "the importer was killed (out of memory?)";
    const char* name = strsignal(signal);
    return std::string("the importer crashed (") + (name ? name : "signal " + std::to_string(signal)) + ")";
  }
  return "the importer ended abnormally (exit code " + std::to_string(WEXITSTATUS(status)) + ")";
}

// One byte from the child; false when the child closed the pipe or ended.
bool ReadFromChild(int reader, unsigned char& byte) {
  ssize_t got;
  do got = read(reader, &byte, 1);
  while (got < 0 && errno == EINTR);
  return got == 1;
}

void WriteToParent(int writer, unsigned char byte) {
  ssize_t wrote;
  do wrote = write(writer, &byte, 1);
  while (wrote < 0 && errno == EINTR);
}

// The parent's whole life after the fork: wait, explain, end. The child
// writes one byte when its import is done and one more, its exit code,
// when the command is over.
[[noreturn]] void WaitForChild(pid_t child, int reader, const std::string& scene,
                               const ImportLimits& limits) {
  // The terminal's interrupt reaches the child too; the parent outlives it
  // only to pass its end on.
  signal(SIGINT, SIG_IGN);
  unsigned char byte = 0;
  const bool imported = ReadFromChild(reader, byte);
  if (imported && ReadFromChild(reader, byte)) _exit(byte);
  int status = 0;
  while (waitpid(child, &status, 0) < 0) {
    if (errno != EINTR) _exit(kExitUsage);
  }
  if (WIFEXITED(status) && (imported || WEXITSTATUS(status) == kExitUsage))
    _exit(WEXITSTATUS(status));
  std::string message;
  if (imported) {
    message = "vexo: " + WhatHappened(status, limits) + " after importing " + scene + "\n";
  } else {
    message = "vexo: cannot import " + scene + ": " + WhatHappened(status, limits) +
              "; nothing was written\n";
  }
  std::fputs(message.c_str(), stderr);
  std::fflush(stderr);
  _exit(imported ? kExitFailed : kExitUsage);
}

}  // namespace

ImportError OverMemoryLimit(const std::string& scene, const ImportLimits& limits) {
  return ImportError("cannot import " + scene + ": the import needs more than " +
                     std::to_string(limits.memoryMiB) + " MiB (--import-memory raises the limit)");
}

IsolatedImport::IsolatedImport(const std::string& scene, const ImportLimits& limits) {
  int done[2];
  if (pipe2(done, O_CLOEXEC) != 0) throw ImportError("cannot import " + scene + ": " + std::strerror(errno));
  std::fflush(nullptr);
  const pid_t child = fork();
  if (child < 0) {
    close(done[0]);
    close(done[1]);
    throw ImportError("cannot import " + scene + ": " + std::strerror(errno));
  }
  if (child > 0) {
    close(done[1]);
    WaitForChild(child, done[0], scene, limits);
  }
  close(done[0]);
  // An import isolated again inside the child: its parent reports instead.
  if (gParentPipe >= 0) close(gParentPipe);
  gParentPipe = -1;
  doneWriter_ = done[1];
  LimitChild(limits);
}

IsolatedImport::~IsolatedImport() {
  if (doneWriter_ >= 0) {
    LiftLimits();
    close(doneWriter_);
  }
}

void IsolatedImport::Done() {
  if (doneWriter_ < 0) return;
  LiftLimits();
  WriteToParent(doneWriter_, 1);
  gParentPipe = doneWriter_;
  doneWriter_ = -1;
}

void ReportExitCode(int code) {
  if (gParentPipe < 0) return;
  std::fflush(nullptr);
  if (kReportBeforeExit) WriteToParent(gParentPipe, static_cast<unsigned char>(code));
  close(gParentPipe);
  gParentPipe = -1;
}

}  // namespace vexo::cli
