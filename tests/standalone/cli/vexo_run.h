// Runs the vexo binary in a folder, as a user at a shell would.
#pragma once

#include <filesystem>
#include <set>
#include <string>

namespace vexo::testing {

struct VexoRun {
  int code = -1;  // the exit code; -1 when vexo did not exit (a crash)
  std::string out;
  std::string err;
};

// `vexo ARGS` in folder; args are passed to the shell as they stand.
VexoRun RunVexo(const std::filesystem::path& folder, const std::string& args);

// Every file and folder below folder, relative to it.
std::set<std::string> FilesIn(const std::filesystem::path& folder);

}  // namespace vexo::testing
