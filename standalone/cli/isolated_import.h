// Scene files are imported by code that parses untrusted bytes (assimp, our
// glTF sampler reader, picture decoders), and assimp can crash, loop or
// allocate without bound on a hostile file. So a command that imports a
// scene file forks first: the child imports under a memory and a time limit
// and, once the import is done, lifts the limits and carries on with the
// command as usual; the parent only waits. A child that dies while importing
// becomes a clear error naming the file, with exit code 2, before anything
// is written. The child inherits everything in memory, so nothing needs to
// be handed back. Once the command is over, the child passes its exit code
// to the parent (ReportExitCode), which ends with it at once: the kernel's
// teardown of the child's memory, milliseconds for an export, then runs
// after the command has returned instead of before.
#pragma once

#include <new>
#include <string>

#include "standalone/import/import_options.h"

namespace vexo::cli {

class IsolatedImport {
 public:
  // Forks. Only the child returns; the parent ends the process with the
  // child's exit code, or with 2 and a message when the child died during
  // the import.
  IsolatedImport(const std::string& scene, const ImportLimits& limits);
  ~IsolatedImport();
  IsolatedImport(const IsolatedImport&) = delete;
  IsolatedImport& operator=(const IsolatedImport&) = delete;

  // Called by the child when the import is complete: the limits are lifted
  // and the parent is told that whatever happens next is not the import's.
  void Done();

 private:
  int doneWriter_ = -1;
};

// Called once the command has its exit code, with everything written: in
// the child of an isolated import, flushes the output and hands the code to
// the waiting parent. Does nothing in a process that did not fork.
void ReportExitCode(int code);

ImportError OverMemoryLimit(const std::string& scene, const ImportLimits& limits);

// Runs `import` (returning the imported scene or report) isolated as above;
// running out of the memory limit is an ImportError naming the limit.
template <typename Import>
auto ImportIsolated(const std::string& scene, const ImportLimits& limits, Import import)
    -> decltype(import()) {
  IsolatedImport isolation(scene, limits);
  try {
    auto result = import();
    isolation.Done();
    return result;
  } catch (const std::bad_alloc&) {
    throw OverMemoryLimit(scene, limits);
  } catch (const ImportError& error) {
    // assimp catches the allocation failure itself and reports its name.
    if (std::string(error.what()).find("bad_alloc") != std::string::npos)
      throw OverMemoryLimit(scene, limits);
    throw;
  }
}

}  // namespace vexo::cli
