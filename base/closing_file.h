// An open C stream that is closed on every way out of its scope, and the
// sizes that readers check before they allocate or seek.
#pragma once

#include <cstdint>
#include <cstdio>

class ClosingFile {
 public:
  ClosingFile(const char* path, const char* mode) : file_(path ? std::fopen(path, mode) : nullptr) {}
  ~ClosingFile() { Close(); }
  ClosingFile(const ClosingFile&) = delete;
  ClosingFile& operator=(const ClosingFile&) = delete;

  std::FILE* get() const { return file_; }
  explicit operator bool() const { return file_ != nullptr; }
  // Closes now: false when the close failed (buffered bytes were lost).
  bool Close() {
    if (!file_) return true;
    const bool closed = std::fclose(file_) == 0;
    file_ = nullptr;
    return closed;
  }

 private:
  std::FILE* file_;
};

// The whole size of the file in bytes; -1 when the stream cannot tell. The
// read position is kept.
std::int64_t FileSize(std::FILE* file);

// Bytes between the read position and the end of the file; 0 when the
// stream cannot tell. The read position is kept.
std::uint64_t BytesLeft(std::FILE* file);
