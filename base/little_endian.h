// Little-endian values in byte buffers, and the value writers that every
// byte sink of the project shares. All binary formats here (MD2, BMP, PCX,
// TGA, TIM) are little-endian; this is the one place that knows the order.
#pragma once

#include <cstddef>
#include <cstdint>
#include <cstring>

inline std::uint16_t ReadU16LE(const std::uint8_t* p) {
  return static_cast<std::uint16_t>(p[0] | (p[1] << 8));
}
inline std::uint32_t ReadU32LE(const std::uint8_t* p) {
  return std::uint32_t(p[0]) | (std::uint32_t(p[1]) << 8) | (std::uint32_t(p[2]) << 16) |
         (std::uint32_t(p[3]) << 24);
}
inline std::int16_t ReadI16LE(const std::uint8_t* p) { return static_cast<std::int16_t>(ReadU16LE(p)); }
inline std::int32_t ReadI32LE(const std::uint8_t* p) { return static_cast<std::int32_t>(ReadU32LE(p)); }
inline float ReadF32LE(const std::uint8_t* p) {
  const std::uint32_t bits = ReadU32LE(p);
  float v;
  std::memcpy(&v, &bits, 4);
  return v;
}

inline void WriteU16LE(std::uint8_t* p, std::uint16_t v) {
  p[0] = static_cast<std::uint8_t>(v);
  p[1] = static_cast<std::uint8_t>(v >> 8);
}
inline void WriteU32LE(std::uint8_t* p, std::uint32_t v) {
  WriteU16LE(p, static_cast<std::uint16_t>(v));
  WriteU16LE(p + 2, static_cast<std::uint16_t>(v >> 16));
}

// Gives a byte sink (a class with Bytes(const void*, std::size_t)) its
// value writers: derive from LittleEndianOutput<Sink>.
template <typename Sink>
class LittleEndianOutput {
 public:
  void U8(std::uint8_t v) { Put(&v, 1); }
  void U16(std::uint16_t v) {
    std::uint8_t b[2];
    WriteU16LE(b, v);
    Put(b, 2);
  }
  void I16(std::int16_t v) { U16(static_cast<std::uint16_t>(v)); }
  void U32(std::uint32_t v) {
    std::uint8_t b[4];
    WriteU32LE(b, v);
    Put(b, 4);
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
      Put(zeros, n);
      count -= n;
    }
  }

 private:
  void Put(const void* data, std::size_t size) { static_cast<Sink*>(this)->Bytes(data, size); }
};
