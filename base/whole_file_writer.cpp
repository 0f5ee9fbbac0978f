#include "base/whole_file_writer.h"

#include "base/file_names.h"

#include <filesystem>
#include <new>
#include <system_error>
#include <utility>

namespace {

std::FILE* OpenTemporary(const std::string& temporary, LargeFileBuffer* buffer) {
  std::FILE* file = std::fopen(temporary.c_str(), "wb");
  UseLargeFileBuffer(file, buffer);
  return file;
}

}  // namespace

WholeFileWriter::WholeFileWriter(std::string path)
    : path_(std::move(path)),
      temporary_(TemporaryFileName(path_)),
      buffer_(new (std::nothrow) LargeFileBuffer),
      file_(OpenTemporary(temporary_, buffer_.get())),
      out_(file_) {}

WholeFileWriter::~WholeFileWriter() {
  if (!file_) return;
  std::fclose(file_);
  std::remove(temporary_.c_str());
}

WholeFileWriter::Result WholeFileWriter::Finish() {
  if (!file_) return kNotWritten;
  const bool written = out_.ok() && std::fflush(file_) == 0;
  const bool closed = std::fclose(file_) == 0;
  file_ = nullptr;
  if (!written || !closed) {
    std::remove(temporary_.c_str());
    return kNotWritten;
  }
  std::error_code error;
  std::filesystem::rename(std::filesystem::path(temporary_), std::filesystem::path(path_), error);
  if (error) {
    std::remove(temporary_.c_str());
    return kNotMoved;
  }
  return kWritten;
}
