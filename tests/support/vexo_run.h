// The vexo command run as a user runs it, and other programs the tests
// use as independent readers (node, python3, assimp).
#pragma once

#include <set>
#include <string>

namespace test_support {

struct Result {
  int code = -1;
  std::string out;
  std::string err;
};

// Runs the built vexo with `args` (a shell command line's words) in folder;
// its output is caught in a log folder beside it, so that the folder holds
// only what vexo wrote. code is -1 when vexo did not exit (a crash).
Result Vexo(const std::string& folder, const std::string& args);

// Every file and folder below folder, relative to it.
std::set<std::string> FilesIn(const std::string& folder);

// A shell command's standard output (its exit code in *code when given).
std::string Output(const std::string& command, int* code = nullptr);

// An independent MD2 reader in node (tests/support/node/md2_readers.mjs):
// reader "three" or "quake2ts"; its JSON result.
std::string NodeReader(const std::string& reader, const std::string& file);

}  // namespace test_support
