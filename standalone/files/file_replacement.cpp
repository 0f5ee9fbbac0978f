#include "standalone/files/file_replacement.h"

#include <cerrno>
#include <cstring>
#include <unistd.h>

namespace vexo {

FileReplacement::FileReplacement(std::string path)
    : path_(std::move(path)), temporary_(path_ + ".vexo-" + std::to_string(getpid())) {
  file_ = std::fopen(temporary_.c_str(), "wb");
  if (!file_)
    throw FileWriteError("cannot write beside " + path_ + ": " + std::strerror(errno));
  UseLargeFileBuffer(file_);
  out_ = LittleEndianWriter(file_);
}

FileReplacement::~FileReplacement() {
  if (!file_) return;
  std::fclose(file_);
  std::remove(temporary_.c_str());
}

void FileReplacement::Commit() {
  const bool written = out_.ok();
  const bool closed = std::fclose(file_) == 0;
  file_ = nullptr;
  if (!written || !closed || std::rename(temporary_.c_str(), path_.c_str()) != 0) {
    const int error = errno;
    std::remove(temporary_.c_str());
    throw FileWriteError("cannot write " + path_ + ": " + std::strerror(error));
  }
}

}  // namespace vexo
