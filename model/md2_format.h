// The Quake 2 model file (MD2) as this plug-in writes it: the records, the
// section layout, and their reading and writing through the little-endian
// file helpers (never as raw structs). The plug-in and the vexo host both
// read model files through these records; nothing here depends on the host
// release (the trailer's credit notice does: model/md2_trailer.h).
//
// On disk, without gaps: header, texture coordinates (3 per triangle, one
// per corner), triangles, frames (a frame header and one packed vertex per
// model vertex), the GL command list (one 3-vertex fan per triangle and a
// closing 0), then, behind ofsEnd, a trailer of five marker bytes and the
// credit notice. There are no skin names: numSkins is 0.
#pragma once

#include <cstdint>

#include "base/little_endian_file.h"

inline constexpr std::int32_t kMd2Ident = 0x32504449;  // "IDP2" read as an integer
inline constexpr std::int32_t kMd2Version = 8;

// The 16-bit indices of a triangle limit what the format can address.
inline constexpr std::int32_t kMd2MaxVertices = 65536;
inline constexpr std::int32_t kMd2MaxTriangles = 21845;  // texture coordinate 3i + 2 <= 65535
inline constexpr std::int32_t kMd2MaxFrames = 256;       // the frame-name table's slots

struct Md2Header {
  std::int32_t ident;
  std::int32_t version;
  std::int32_t skinWidth;
  std::int32_t skinHeight;
  std::int32_t frameSize;
  std::int32_t numSkins;
  std::int32_t numVertices;
  std::int32_t numTexCoords;
  std::int32_t numTriangles;
  std::int32_t numGlCommands;  // in 32-bit words
  std::int32_t numFrames;
  std::int32_t ofsSkins;
  std::int32_t ofsTexCoords;
  std::int32_t ofsTriangles;
  std::int32_t ofsFrames;
  std::int32_t ofsGlCommands;
  std::int32_t ofsEnd;  // where the trailer starts
};

// A corner's position in the skin, in pixels.
struct Md2TexCoord {
  std::int16_t s;
  std::int16_t t;
};

struct Md2Triangle {
  std::uint16_t vertexIndex[3];
  std::uint16_t texCoordIndex[3];
};

// A vertex decodes as translate + scale * byte, per axis.
struct Md2FrameHeader {
  float scale[3];
  float translate[3];
  char name[16];  // zero-terminated
};

struct Md2Vertex {
  std::uint8_t v[3];
  std::uint8_t normalIndex;  // always 0: no normals are computed
};

// One GL command: a fan of three vertices with their skin position as a
// fraction of the skin size.
struct Md2GlVertex {
  float s;
  float t;
  std::int32_t vertexIndex;
};
struct Md2GlTriangle {
  std::int32_t count;  // -3
  Md2GlVertex vertices[3];
};

// The file sizes of the records; the in-memory structs have the same sizes,
// but they are always read and written field by field.
inline constexpr int kMd2HeaderSize = 68;
inline constexpr int kMd2TexCoordSize = 4;
inline constexpr int kMd2TriangleSize = 12;
inline constexpr int kMd2FrameHeaderSize = 40;
inline constexpr int kMd2VertexSize = 4;
inline constexpr int kMd2GlTriangleSize = 40;
static_assert(sizeof(Md2Header) == kMd2HeaderSize, "MD2 header is 68 bytes");
static_assert(sizeof(Md2TexCoord) == kMd2TexCoordSize, "MD2 texture coordinate is 4 bytes");
static_assert(sizeof(Md2Triangle) == kMd2TriangleSize, "MD2 triangle is 12 bytes");
static_assert(sizeof(Md2FrameHeader) == kMd2FrameHeaderSize, "MD2 frame header is 40 bytes");
static_assert(sizeof(Md2Vertex) == kMd2VertexSize, "MD2 vertex is 4 bytes");
static_assert(sizeof(Md2GlTriangle) == kMd2GlTriangleSize, "MD2 GL triangle is 40 bytes");

// The five bytes that open the trailer.
inline constexpr std::uint8_t kMd2TrailerMarker[5] = {0x52, 0x00, 0x27, 0x00, 0x52};

// Whether a mesh of these counts can be written: at least one vertex and
// one frame, and no index beyond 16 bits.
bool Md2CountsFit(std::int64_t numVertices, std::int64_t numTriangles, std::int64_t numFrames);

// The header of a new file: ident, version, skin size, counts, and every
// offset from the section sizes. Counts must lie within the format's limits
// (vertices 0..65536, triangles 0..21845, frames 0..256), which keeps every
// offset far below 2^31.
Md2Header MakeMd2Header(std::int32_t skinWidth, std::int32_t skinHeight, std::int32_t numVertices,
                        std::int32_t numTriangles, std::int32_t numFrames);
// Bytes of one frame: 40 + 4 * numVertices.
std::int64_t Md2FrameSize(std::int64_t numVertices);

void WriteMd2Header(LittleEndianWriter& out, const Md2Header& header);
void WriteMd2TexCoords(LittleEndianWriter& out, const Md2TexCoord* texCoords, std::int64_t count);
void WriteMd2Triangles(LittleEndianWriter& out, const Md2Triangle* triangles, std::int64_t count);
void WriteMd2Frame(LittleEndianWriter& out, const Md2FrameHeader& header, const Md2Vertex* vertices,
                   std::int64_t vertexCount);
// The triangles' fans and the closing 0.
void WriteMd2GlCommands(LittleEndianWriter& out, const Md2GlTriangle* triangles,
                        std::int64_t count);
// The records from their bytes in memory: kMd2HeaderSize and
// kMd2FrameHeaderSize bytes, which the caller has checked are there.
void ReadMd2Header(const std::uint8_t* bytes, Md2Header* header);
void ReadMd2FrameHeader(const std::uint8_t* bytes, Md2FrameHeader* header);
// The records from a stream; false when the file ended before the record
// was complete.
bool ReadMd2Header(LittleEndianReader& in, Md2Header* header);
bool ReadMd2FrameHeader(LittleEndianReader& in, Md2FrameHeader* header);
