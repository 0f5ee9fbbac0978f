// Binary files as C streams: little-endian values written and read with
// every write and read checked. A writer or reader remembers its first
// failure, so a caller checks once at the end.
#pragma once

#include <cstddef>
#include <cstdint>
#include <cstdio>
#include <cstring>

#include "base/little_endian.h"

// A stream buffer large enough that a model's frames cost few system calls.
struct LargeFileBuffer {
  char bytes[std::size_t{1} << 16];
};

// Gives a freshly opened stream the buffer, which must outlive the stream
// (glibc takes the size only with a buffer given: without one it keeps its
// 4 KiB). Must come before the first read or write; a null buffer (none
// could be had) leaves the stream's own.
inline void UseLargeFileBuffer(std::FILE* file, LargeFileBuffer* buffer) {
  if (file && buffer) std::setvbuf(file, buffer->bytes, _IOFBF, sizeof buffer->bytes);
}

// A writer or reader without a file (a failed open) fails every call.
class LittleEndianWriter : public LittleEndianOutput<LittleEndianWriter> {
 public:
  explicit LittleEndianWriter(std::FILE* file) : file_(file), ok_(file != nullptr) {}

  void Bytes(const void* data, std::size_t size) {
    if (ok_ && size && std::fwrite(data, 1, size, file_) != size) ok_ = false;
  }
  // False once any write failed.
  bool ok() const { return ok_; }
  std::FILE* file() const { return file_; }

 private:
  std::FILE* file_;
  bool ok_;
};

// Gathers small values in a buffer and hands them to a writer whenever it
// is full (and when it goes out of scope), so that a large section of
// small fields costs few stream calls.
class LittleEndianBlock : public LittleEndianOutput<LittleEndianBlock> {
 public:
  explicit LittleEndianBlock(LittleEndianWriter& out) : out_(out) {}
  ~LittleEndianBlock() { Flush(); }
  LittleEndianBlock(const LittleEndianBlock&) = delete;
  LittleEndianBlock& operator=(const LittleEndianBlock&) = delete;

  void Bytes(const void* data, std::size_t size) {
    if (size > sizeof bytes_ - used_) Flush();
    if (size > sizeof bytes_) {
      out_.Bytes(data, size);
      return;
    }
    std::memcpy(bytes_ + used_, data, size);
    used_ += size;
  }
  void Flush() {
    out_.Bytes(bytes_, used_);
    used_ = 0;
  }

 private:
  LittleEndianWriter& out_;
  std::uint8_t bytes_[8192];
  std::size_t used_ = 0;
};

class LittleEndianReader {
 public:
  explicit LittleEndianReader(std::FILE* file) : file_(file), ok_(file != nullptr) {}

  // Reads size bytes; once a read came short, every later read gives zeros.
  bool Bytes(void* data, std::size_t size) {
    if (ok_ && size && std::fread(data, 1, size, file_) != size) ok_ = false;
    if (!ok_ && size) std::memset(data, 0, size);
    return ok_;
  }
  std::uint8_t U8() {
    std::uint8_t b = 0;
    Bytes(&b, 1);
    return b;
  }
  std::uint16_t U16() {
    std::uint8_t b[2];
    Bytes(b, 2);
    return ReadU16LE(b);
  }
  std::int16_t I16() { return static_cast<std::int16_t>(U16()); }
  std::uint32_t U32() {
    std::uint8_t b[4];
    Bytes(b, 4);
    return ReadU32LE(b);
  }
  std::int32_t I32() { return static_cast<std::int32_t>(U32()); }
  float F32() {
    std::uint8_t b[4];
    Bytes(b, 4);
    return ReadF32LE(b);
  }
  bool Skip(long count) {
    if (ok_ && count && std::fseek(file_, count, SEEK_CUR) != 0) ok_ = false;
    return ok_;
  }
  // False once any read came short (the values read since are zero).
  bool ok() const { return ok_; }
  std::FILE* file() const { return file_; }

 private:
  std::FILE* file_;
  bool ok_;
};
