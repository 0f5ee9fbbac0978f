#include "standalone/md2/write_md2.h"

#include <stdexcept>

#include "base/whole_file_writer.h"

namespace vexo::md2 {

Md2Header LayOut(const Model& m) {
  Md2Header h = m.header;
  h.numSkins = static_cast<std::int32_t>(m.skinNames.size());
  h.numTexCoords = static_cast<std::int32_t>(m.texCoords.size());
  h.numTriangles = static_cast<std::int32_t>(m.triangles.size());
  h.numFrames = static_cast<std::int32_t>(m.frames.size());
  h.numGlCommands = static_cast<std::int32_t>(m.glCommands.size());
  h.frameSize = static_cast<std::int32_t>(Md2FrameSize(h.numVertices));
  h.ofsSkins = kMd2HeaderSize;
  h.ofsTexCoords = h.ofsSkins + kSkinNameSize * h.numSkins;
  h.ofsTriangles = h.ofsTexCoords + kMd2TexCoordSize * h.numTexCoords;
  h.ofsFrames = h.ofsTriangles + kMd2TriangleSize * h.numTriangles;
  h.ofsGlCommands = h.ofsFrames + h.frameSize * h.numFrames;
  h.ofsEnd = h.ofsGlCommands + 4 * h.numGlCommands;
  return h;
}

void WriteMd2(const std::string& path, const Model& m) {
  WholeFileWriter file(path);
  LittleEndianWriter& out = file.out();
  const Md2Header header = LayOut(m);
  WriteMd2Header(out, header);
  for (const std::string& name : m.skinNames) {
    char field[kSkinNameSize] = {};
    name.copy(field, kSkinNameSize - 1);
    out.Bytes(field, sizeof field);
  }
  WriteMd2TexCoords(out, m.texCoords.data(), std::int64_t(m.texCoords.size()));
  WriteMd2Triangles(out, m.triangles.data(), std::int64_t(m.triangles.size()));
  for (const Frame& frame : m.frames)
    WriteMd2Frame(out, frame.header, frame.vertices.data(), header.numVertices);
  for (std::int32_t word : m.glCommands) out.I32(word);
  out.Bytes(m.trailer.data(), m.trailer.size());
  if (file.Finish() != WholeFileWriter::kWritten) throw std::runtime_error("cannot write " + path);
}

}  // namespace vexo::md2
