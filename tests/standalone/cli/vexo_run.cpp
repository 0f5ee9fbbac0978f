#include "tests/standalone/cli/vexo_run.h"

#include <sys/wait.h>

#include <cstdlib>
#include <fstream>
#include <sstream>

namespace fs = std::filesystem;

namespace vexo::testing {
namespace {

std::string ReadText(const fs::path& path) {
  std::ifstream in(path);
  std::stringstream text;
  text << in.rdbuf();
  return text.str();
}

}  // namespace

VexoRun RunVexo(const fs::path& folder, const std::string& args) {
  // The output goes to a log folder beside the working folder.
  const std::string log = folder.string() + ".log";
  fs::create_directories(log);
  const std::string command = "cd '" + folder.string() + "' && '" VEXO_BIN_DIR "/vexo' " + args +
                              " >'" + log + "/out' 2>'" + log + "/err'";
  const int status = std::system(command.c_str());
  VexoRun run;
  run.code = WIFEXITED(status) ? WEXITSTATUS(status) : -1;
  run.out = ReadText(log + "/out");
  run.err = ReadText(log + "/err");
  fs::remove_all(log);
  return run;
}

std::set<std::string> FilesIn(const fs::path& folder) {
  std::set<std::string> names;
  for (const auto& entry : fs::recursive_directory_iterator(folder))
    names.insert(fs::relative(entry.path(), folder).string());
  return names;
}

}  // namespace vexo::testing
