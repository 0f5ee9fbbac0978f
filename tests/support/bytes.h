// Bytes for tests: built by hand, read back by offset, and files as bytes.
// Little-endian throughout, written here independently of the project's own
// little-endian code, so that a fault there cannot hide in both.
//
//   test_support::ByteBuilder b;
//   b.Text("IDP2", 4).U32(8).F32(0.5f);
//   EXPECT_EQ(test_support::I32At(b.data, 4), 8);
#pragma once

#include <cstddef>
#include <cstdint>
#include <cstring>
#include <initializer_list>
#include <string>
#include <vector>

namespace test_support {

using Bytes = std::vector<std::uint8_t>;

struct ByteBuilder {
  Bytes data;

  ByteBuilder& U8(std::uint8_t v) {
    data.push_back(v);
    return *this;
  }
  ByteBuilder& U16(std::uint16_t v) { return U8(v & 0xFF).U8(v >> 8); }
  ByteBuilder& I16(std::int16_t v) { return U16(static_cast<std::uint16_t>(v)); }
  ByteBuilder& U32(std::uint32_t v) { return U16(v & 0xFFFF).U16(v >> 16); }
  ByteBuilder& I32(std::int32_t v) { return U32(static_cast<std::uint32_t>(v)); }
  ByteBuilder& F32(float v) {
    std::uint32_t bits;
    std::memcpy(&bits, &v, 4);
    return U32(bits);
  }
  ByteBuilder& U8s(std::initializer_list<std::uint8_t> values) {
    for (std::uint8_t v : values) U8(v);
    return *this;
  }
  ByteBuilder& U16s(std::initializer_list<std::uint16_t> values) {
    for (std::uint16_t v : values) U16(v);
    return *this;
  }
  ByteBuilder& U32s(std::initializer_list<std::uint32_t> values) {
    for (std::uint32_t v : values) U32(v);
    return *this;
  }
  // `size` bytes of text: cut, or padded with zeros.
  ByteBuilder& Text(const char* text, std::size_t size) {
    const std::size_t length = std::strlen(text);
    for (std::size_t i = 0; i < size; ++i) U8(i < length ? static_cast<std::uint8_t>(text[i]) : 0);
    return *this;
  }
  ByteBuilder& Fill(std::size_t count, std::uint8_t value = 0) {
    data.insert(data.end(), count, value);
    return *this;
  }
  ByteBuilder& Append(const Bytes& more) {
    data.insert(data.end(), more.begin(), more.end());
    return *this;
  }
};

// Fields of a file's bytes by offset; at() checks the offset.
inline std::uint16_t U16At(const Bytes& b, std::size_t at) {
  return static_cast<std::uint16_t>(b.at(at) | (b.at(at + 1) << 8));
}
inline std::int16_t I16At(const Bytes& b, std::size_t at) { return static_cast<std::int16_t>(U16At(b, at)); }
inline std::uint32_t U32At(const Bytes& b, std::size_t at) {
  return std::uint32_t(U16At(b, at)) | (std::uint32_t(U16At(b, at + 2)) << 16);
}
inline std::int32_t I32At(const Bytes& b, std::size_t at) { return static_cast<std::int32_t>(U32At(b, at)); }
inline float F32At(const Bytes& b, std::size_t at) {
  const std::uint32_t bits = U32At(b, at);
  float v;
  std::memcpy(&v, &bits, 4);
  return v;
}
inline void PutU32At(Bytes& b, std::size_t at, std::uint32_t v) {
  for (int i = 0; i < 4; ++i) b.at(at + i) = static_cast<std::uint8_t>(v >> (8 * i));
}

// A whole file; empty when it cannot be read.
Bytes ReadFileBytes(const std::string& path);
std::string ReadTextFile(const std::string& path);
// Replaces the file; false when it could not be written whole.
bool WriteFileBytes(const std::string& path, const Bytes& bytes);
bool FileExists(const std::string& path);

}  // namespace test_support
