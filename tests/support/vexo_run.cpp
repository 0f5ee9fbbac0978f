#include "tests/support/vexo_run.h"

#include <sys/wait.h>

#include <cstdio>
#include <cstdlib>
#include <filesystem>

#include "tests/support/bytes.h"

namespace test_support {
namespace {

int ExitCode(int status) { return WIFEXITED(status) ? WEXITSTATUS(status) : -1; }

}  // namespace

Result Vexo(const std::string& folder, const std::string& args) {
  const std::string log = folder + ".log";
  const std::string command = "mkdir -p '" + log + "' && cd '" + folder + "' && '" VEXO_BIN_DIR
                              "/vexo' " + args + " >'" + log + "/out' 2>'" + log + "/err'";
  Result run;
  run.code = ExitCode(std::system(command.c_str()));
  run.out = ReadTextFile(log + "/out");
  run.err = ReadTextFile(log + "/err");
  std::error_code ignored;
  std::filesystem::remove_all(log, ignored);
  return run;
}

std::set<std::string> FilesIn(const std::string& folder) {
  namespace fs = std::filesystem;
  std::set<std::string> names;
  for (const auto& entry : fs::recursive_directory_iterator(folder))
    names.insert(fs::relative(entry.path(), folder).string());
  return names;
}

std::string Output(const std::string& command, int* code) {
  std::string text;
  FILE* pipe = popen(command.c_str(), "r");
  if (!pipe) return text;
  char buffer[4096];
  while (std::fgets(buffer, sizeof buffer, pipe)) text += buffer;
  const int status = pclose(pipe);
  if (code) *code = ExitCode(status);
  return text;
}

std::string NodeReader(const std::string& reader, const std::string& file) {
  return Output("node '" VEXO_SOURCE_DIR "/tests/support/node/md2_readers.mjs' " + reader + " '" +
                file + "'");
}

}  // namespace test_support
