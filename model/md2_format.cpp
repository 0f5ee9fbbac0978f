#include "model/md2_format.h"

bool Md2CountsFit(std::int64_t numVertices, std::int64_t numTriangles, std::int64_t numFrames) {
  return numVertices >= 1 && numVertices <= kMd2MaxVertices && numTriangles >= 0 &&
         numTriangles <= kMd2MaxTriangles && numFrames >= 1 && numFrames <= kMd2MaxFrames;
}

std::int64_t Md2FrameSize(std::int64_t numVertices) {
  return kMd2FrameHeaderSize + kMd2VertexSize * numVertices;
}

Md2Header MakeMd2Header(std::int32_t skinWidth, std::int32_t skinHeight, std::int32_t numVertices,
                        std::int32_t numTriangles, std::int32_t numFrames) {
  Md2Header h;
  h.ident = kMd2Ident;
  h.version = kMd2Version;
  h.skinWidth = skinWidth;
  h.skinHeight = skinHeight;
  h.frameSize = static_cast<std::int32_t>(Md2FrameSize(numVertices));
  h.numSkins = 0;
  h.numVertices = numVertices;
  h.numTexCoords = 3 * numTriangles;
  h.numTriangles = numTriangles;
  h.numGlCommands = 10 * numTriangles + 1;
  h.numFrames = numFrames;
  h.ofsSkins = kMd2HeaderSize;
  h.ofsTexCoords = kMd2HeaderSize;
  h.ofsTriangles = h.ofsTexCoords + kMd2TexCoordSize * h.numTexCoords;
  h.ofsFrames = h.ofsTriangles + kMd2TriangleSize * numTriangles;
  h.ofsGlCommands = h.ofsFrames + h.frameSize * numFrames;
  h.ofsEnd = h.ofsGlCommands + kMd2GlTriangleSize * numTriangles + 4;
  return h;
}

void WriteMd2Header(LittleEndianWriter& out, const Md2Header& h) {
  const std::int32_t fields[] = {
      h.ident,        h.version,      h.skinWidth,    h.skinHeight,    h.frameSize, h.numSkins,
      h.numVertices,  h.numTexCoords, h.numTriangles, h.numGlCommands, h.numFrames, h.ofsSkins,
      h.ofsTexCoords, h.ofsTriangles, h.ofsFrames,    h.ofsGlCommands, h.ofsEnd};
  static_assert(sizeof fields == kMd2HeaderSize, "every header field is written");
  LittleEndianBlock block(out);
  for (std::int32_t field : fields) block.I32(field);
}

void WriteMd2TexCoords(LittleEndianWriter& out, const Md2TexCoord* texCoords, std::int64_t count) {
  LittleEndianBlock block(out);
  for (std::int64_t i = 0; i < count; ++i) {
    block.I16(texCoords[i].s);
    block.I16(texCoords[i].t);
  }
}

void WriteMd2Triangles(LittleEndianWriter& out, const Md2Triangle* triangles, std::int64_t count) {
  LittleEndianBlock block(out);
  for (std::int64_t i = 0; i < count; ++i) {
    for (std::uint16_t index : triangles[i].vertexIndex) block.U16(index);
    for (std::uint16_t index : triangles[i].texCoordIndex) block.U16(index);
  }
}

void WriteMd2Frame(LittleEndianWriter& out, const Md2FrameHeader& header, const Md2Vertex* vertices,
                   std::int64_t vertexCount) {
  {
    LittleEndianBlock block(out);
    for (float v : header.scale) block.F32(v);
    for (float v : header.translate) block.F32(v);
    for (char c : header.name) block.U8(static_cast<std::uint8_t>(c));
  }
  // A vertex is four single bytes in file order, so the array is its bytes.
  if (vertexCount > 0) out.Bytes(vertices, std::size_t(vertexCount) * sizeof(Md2Vertex));
}

void WriteMd2GlCommands(LittleEndianWriter& out, const Md2GlTriangle* triangles,
                        std::int64_t count) {
  LittleEndianBlock block(out);
  for (std::int64_t i = 0; i < count; ++i) {
    block.I32(triangles[i].count);
    for (const Md2GlVertex& v : triangles[i].vertices) {
      block.F32(v.s);
      block.F32(v.t);
      block.I32(v.vertexIndex);
    }
  }
  block.I32(0);
}

void ReadMd2Header(const std::uint8_t* bytes, Md2Header* h) {
  std::int32_t* const fields[] = {
      &h->ident,         &h->version,     &h->skinWidth,    &h->skinHeight,   &h->frameSize,
      &h->numSkins,      &h->numVertices, &h->numTexCoords, &h->numTriangles, &h->numGlCommands,
      &h->numFrames,     &h->ofsSkins,    &h->ofsTexCoords, &h->ofsTriangles, &h->ofsFrames,
      &h->ofsGlCommands, &h->ofsEnd};
  static_assert(sizeof fields / sizeof fields[0] * 4 == kMd2HeaderSize, "every header field is read");
  for (std::int32_t* field : fields) {
    *field = ReadI32LE(bytes);
    bytes += 4;
  }
}

void ReadMd2FrameHeader(const std::uint8_t* bytes, Md2FrameHeader* header) {
  for (float& v : header->scale) {
    v = ReadF32LE(bytes);
    bytes += 4;
  }
  for (float& v : header->translate) {
    v = ReadF32LE(bytes);
    bytes += 4;
  }
  for (char& c : header->name) c = static_cast<char>(*bytes++);
}

bool ReadMd2Header(LittleEndianReader& in, Md2Header* header) {
  std::uint8_t bytes[kMd2HeaderSize];
  if (!in.Bytes(bytes, sizeof bytes)) return false;
  ReadMd2Header(bytes, header);
  return true;
}

bool ReadMd2FrameHeader(LittleEndianReader& in, Md2FrameHeader* header) {
  std::uint8_t bytes[kMd2FrameHeaderSize];
  in.Bytes(bytes, sizeof bytes);
  ReadMd2FrameHeader(bytes, header);
  return in.ok();
}
