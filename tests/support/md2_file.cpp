#include "tests/support/md2_file.h"

#include <algorithm>

namespace test_support {
namespace {

constexpr std::size_t kHeaderSize = 68;
constexpr std::size_t kFrameHeaderSize = 40;

bool Fail(std::string* error, const std::string& why) {
  if (error) *error = why;
  return false;
}

// Whether count records of size bytes from offset lie inside the file.
bool Inside(const Bytes& file, std::int64_t offset, std::int64_t count, std::int64_t size) {
  return offset >= 0 && count >= 0 && offset + count * size <= static_cast<std::int64_t>(file.size());
}

Md2FileFrame FrameAt(const Bytes& file, std::size_t at, std::int32_t numVertices) {
  Md2FileFrame frame;
  for (int k = 0; k < 3; ++k) {
    frame.scale[k] = F32At(file, at + 4 * k);
    frame.translate[k] = F32At(file, at + 12 + 4 * k);
  }
  const char* name = reinterpret_cast<const char*>(&file.at(at + 24));
  frame.name.assign(name, std::find(name, name + 16, '\0'));
  const std::size_t vertices = at + kFrameHeaderSize;
  frame.vertexBytes.assign(file.begin() + static_cast<long>(vertices),
                           file.begin() + static_cast<long>(vertices + 4 * std::size_t(numVertices)));
  return frame;
}

}  // namespace

bool ParseMd2(const Bytes& file, Md2File* m, std::string* error) {
  if (file.size() < kHeaderSize) return Fail(error, "shorter than a header");
  std::int32_t* const fields[] = {
      &m->ident,         &m->version,     &m->skinWidth,    &m->skinHeight,   &m->frameSize,
      &m->numSkins,      &m->numVertices, &m->numTexCoords, &m->numTriangles, &m->numGlCommands,
      &m->numFrames,     &m->ofsSkins,    &m->ofsTexCoords, &m->ofsTriangles, &m->ofsFrames,
      &m->ofsGlCommands, &m->ofsEnd};
  for (std::size_t i = 0; i < 17; ++i) *fields[i] = I32At(file, 4 * i);

  if (!Inside(file, m->ofsTexCoords, m->numTexCoords, 4))
    return Fail(error, "texture coordinates outside the file");
  m->texCoords.clear();
  for (std::int32_t i = 0; i < m->numTexCoords; ++i)
    m->texCoords.push_back({I16At(file, m->ofsTexCoords + 4 * i), I16At(file, m->ofsTexCoords + 4 * i + 2)});

  if (!Inside(file, m->ofsTriangles, m->numTriangles, 12)) return Fail(error, "triangles outside the file");
  m->triangles.clear();
  for (std::int32_t i = 0; i < m->numTriangles; ++i) {
    Md2FileTriangle t;
    for (int k = 0; k < 3; ++k) {
      t.vertex[k] = U16At(file, m->ofsTriangles + 12 * i + 2 * k);
      t.texCoord[k] = U16At(file, m->ofsTriangles + 12 * i + 6 + 2 * k);
    }
    m->triangles.push_back(t);
  }

  if (m->numVertices < 0 || m->frameSize < std::int64_t(kFrameHeaderSize) + 4 * m->numVertices ||
      !Inside(file, m->ofsFrames, m->numFrames, m->frameSize))
    return Fail(error, "frames outside the file");
  m->frames.clear();
  for (std::int32_t i = 0; i < m->numFrames; ++i)
    m->frames.push_back(FrameAt(file, std::size_t(m->ofsFrames) + std::size_t(i) * m->frameSize, m->numVertices));

  if (!Inside(file, m->ofsGlCommands, m->numGlCommands, 4))
    return Fail(error, "GL commands outside the file");
  m->glCommands.clear();
  const std::size_t glEnd = std::size_t(m->ofsGlCommands) + 4 * std::size_t(m->numGlCommands);
  for (std::size_t at = std::size_t(m->ofsGlCommands); at + 4 <= glEnd;) {
    Md2FileGlCommand command;
    command.count = I32At(file, at);
    at += 4;
    if (command.count == 0) break;
    const std::size_t n = std::size_t(command.count < 0 ? -std::int64_t(command.count) : command.count);
    if (n > (glEnd - at) / 12) return Fail(error, "a GL command runs past its section");
    for (std::size_t k = 0; k < n; ++k, at += 12)
      command.vertices.push_back({F32At(file, at), F32At(file, at + 4), I32At(file, at + 8)});
    m->glCommands.push_back(command);
  }

  if (m->ofsEnd < 0 || std::size_t(m->ofsEnd) > file.size()) return Fail(error, "ofsEnd past the file");
  m->trailer.assign(file.begin() + m->ofsEnd, file.end());
  return true;
}

Md2FileFrame Md2FrameOf(const Bytes& file, int frame) {
  const std::int32_t numVertices = I32At(file, 24);
  const std::size_t at =
      std::size_t(I32At(file, 56)) + std::size_t(frame) * (kFrameHeaderSize + 4 * std::size_t(numVertices));
  return FrameAt(file, at, numVertices);
}

Bytes Md2FrameListFile::Build() const {
  const std::int32_t frameSize = 40 + 4 * vertexCount;
  const std::int64_t frames = frameCount ? *frameCount : static_cast<std::int64_t>(names.size());
  // A negative vertex count still leaves each frame its 40-byte header.
  const std::size_t frameBytes = static_cast<std::size_t>(std::max(frameSize, 40));
  const std::int32_t end = static_cast<std::int32_t>(kHeaderSize + names.size() * frameBytes);
  ByteBuilder b;
  b.U32(ident).I32(8).I32(skinWidth).I32(skinHeight).I32(frameSize).I32(0).I32(vertexCount);
  b.I32(0).I32(0).I32(0).U32(static_cast<std::uint32_t>(frames));
  b.I32(68).I32(68).I32(68).I32(68).I32(end).I32(end);
  for (const std::string& name : names) {
    b.Fill(24, 0x5A);
    for (std::size_t i = 0; i < 16; ++i) b.U8(i < name.size() ? static_cast<std::uint8_t>(name[i]) : 0);
    b.Fill(frameBytes - 40, 0x5A);
  }
  return b.data;
}

std::vector<std::string> NumberedNames(const std::string& stem, int count) {
  std::vector<std::string> names;
  for (int i = 1; i <= count; ++i) names.push_back(stem + (i < 10 ? "0" : "") + std::to_string(i));
  return names;
}

}  // namespace test_support
