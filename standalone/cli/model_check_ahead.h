// The model an export writes is checked as soon as the plug-in has put it
// in place, on a thread of its own, while the plug-in goes on with the
// skin. The plug-in writes a model under a temporary name and renames it
// into place, so the thread waits for that rename (inotify) and reads the
// file then; another rename (a model rewritten) starts the check again.
// The check after the export takes the result only when the file is still
// the one read (CheckModel compares their stamps).
#pragma once

#include <optional>
#include <string>
#include <thread>

#include "standalone/check/check_model.h"

namespace vexo::cli {

class ModelCheckAhead {
 public:
  // Starts watching the model's folder; without inotify nothing is
  // checked ahead.
  explicit ModelCheckAhead(std::string model);
  ~ModelCheckAhead();
  ModelCheckAhead(const ModelCheckAhead&) = delete;
  ModelCheckAhead& operator=(const ModelCheckAhead&) = delete;

  // Stops watching and waits for a check under way: the model as last
  // checked, if it was.
  std::optional<check::CheckedModelFile> Take();

 private:
  void Run();
  void Stop();

  std::string model_;
  int notify_ = -1;  // inotify descriptor
  int stop_ = -1;    // eventfd: written to stop the thread
  std::optional<check::CheckedModelFile> checked_;
  std::thread thread_;
};

}  // namespace vexo::cli
