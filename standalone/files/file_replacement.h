// A file written whole or not at all: the bytes go to a temporary file in
// the same folder, which replaces the target only when every write and the
// close succeeded. A failure leaves the old file as it was.
#pragma once

#include <cstdio>
#include <stdexcept>
#include <string>

#include "plugin/little_endian_file.h"

namespace vexo {

class FileWriteError : public std::runtime_error {
 public:
  using std::runtime_error::runtime_error;
};

class FileReplacement {
 public:
  // Throws FileWriteError when the temporary file cannot be created.
  explicit FileReplacement(std::string path);
  ~FileReplacement();  // removes the temporary file unless committed
  FileReplacement(const FileReplacement&) = delete;
  FileReplacement& operator=(const FileReplacement&) = delete;

  LittleEndianWriter& out() { return out_; }
  // Puts the written file in place; throws FileWriteError.
  void Commit();

 private:
  std::string path_;
  std::string temporary_;
  std::FILE* file_ = nullptr;
  LittleEndianWriter out_{nullptr};
};

}  // namespace vexo
