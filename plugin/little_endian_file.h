// The one place where binary files are read and written: little-endian
// values on a C stream, with every read and write checked. A writer
// remembers its first failure, so a caller checks once at the end.
#pragma once

#include <cstddef>
#include <cstdint>
#include <cstdio>
#include <cstring>

// Gives a freshly opened stream a buffer large enough that a model's frames
// cost few system calls. Must come before the first read or write.
inline void UseLargeFileBuffer(std::FILE* file) {
  if (file) std::setvbuf(file, nullptr, _IOFBF, std::size_t{1} << 16);
}

class LittleEndianWriter {
 public:
  explicit LittleEndianWriter(std::FILE* file) : file_(file) {}

  void Bytes(const void* data, std::size_t size) {
    if (ok_ && size && std::fwrite(data, 1, size, file_) != size) ok_ = false;
  }
  void U8(std::uint8_t v) { Bytes(&v, 1); }
  void U16(std::uint16_t v) {
    const std::uint8_t b[2] = {std::uint8_t(v), std::uint8_t(v >> 8)};
    Bytes(b, 2);
  }
  void I16(std::int16_t v) { U16(static_cast<std::uint16_t>(v)); }
  void U32(std::uint32_t v) {
    const std::uint8_t b[4] = {std::uint8_t(v), std::uint8_t(v >> 8), std::uint8_t(v >> 16),
                               std::uint8_t(v >> 24)};
    Bytes(b, 4);
  }
  void I32(std::int32_t v) { U32(static_cast<std::uint32_t>(v)); }
  void F32(float v) {
    std::uint32_t bits;
    std::memcpy(&bits, &v, 4);
    U32(bits);
  }
  void Zeros(std::size_t count) {
    static const std::uint8_t zeros[64] = {};
    while (count > 0) {
      const std::size_t n = count < sizeof zeros ? count : sizeof zeros;
      Bytes(zeros, n);
      count -= n;
    }
  }
  // False once any write failed.
  bool ok() const { return ok_; }
  std::FILE* file() const { return file_; }

 private:
  std::FILE* file_;
  bool ok_ = true;
};

class LittleEndianReader {
 public:
  explicit LittleEndianReader(std::FILE* file) : file_(file) {}

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
    return static_cast<std::uint16_t>(b[0] | (b[1] << 8));
  }
  std::int16_t I16() { return static_cast<std::int16_t>(U16()); }
  std::uint32_t U32() {
    std::uint8_t b[4];
    Bytes(b, 4);
    return std::uint32_t(b[0]) | (std::uint32_t(b[1]) << 8) | (std::uint32_t(b[2]) << 16) |
           (std::uint32_t(b[3]) << 24);
  }
  std::int32_t I32() { return static_cast<std::int32_t>(U32()); }
  float F32() {
    const std::uint32_t bits = U32();
    float v;
    std::memcpy(&v, &bits, 4);
    return v;
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
  bool ok_ = true;
};

// Little-endian values in a byte buffer.
inline std::uint16_t ReadU16LE(const std::uint8_t* p) {
  return static_cast<std::uint16_t>(p[0] | (p[1] << 8));
}
inline std::uint32_t ReadU32LE(const std::uint8_t* p) {
  return std::uint32_t(p[0]) | (std::uint32_t(p[1]) << 8) | (std::uint32_t(p[2]) << 16) |
         (std::uint32_t(p[3]) << 24);
}
