#include "standalone/md2/read_md2.h"

#include <cstddef>
#include <cstring>
#include <iterator>

#include "base/little_endian.h"
#include "base/whole_file_reader.h"

namespace vexo::md2 {
namespace {

// A section lies inside the file when it starts at or behind the header and
// ends at or before the file's end; checked by subtraction.
Section Place(const char* name, std::int64_t offset, std::int64_t count, std::int64_t recordSize,
              std::int64_t fileSize) {
  Section section{name, offset, count, recordSize, false};
  section.inFile = offset >= kMd2HeaderSize && offset <= fileSize && count >= 0 &&
                   recordSize >= 0 && (recordSize == 0 || count <= (fileSize - offset) / recordSize);
  return section;
}

// Walks the vertex records of a frame in the file's bytes, so that the
// frame's vector is made from them at once: resizing it first would zero
// thousands of vertices only to overwrite them.
class VertexRecords {
 public:
  using iterator_category = std::forward_iterator_tag;
  using value_type = Md2Vertex;
  using difference_type = std::ptrdiff_t;
  using pointer = const Md2Vertex*;
  using reference = Md2Vertex;

  explicit VertexRecords(const std::uint8_t* at) : at_(at) {}
  Md2Vertex operator*() const { return {{at_[0], at_[1], at_[2]}, at_[3]}; }
  VertexRecords& operator++() {
    at_ += kMd2VertexSize;
    return *this;
  }
  VertexRecords operator++(int) {
    VertexRecords before = *this;
    ++*this;
    return before;
  }
  bool operator==(const VertexRecords& other) const { return at_ == other.at_; }
  bool operator!=(const VertexRecords& other) const { return at_ != other.at_; }

 private:
  const std::uint8_t* at_;
};

void ReadSections(const std::vector<std::uint8_t>& bytes, Reading& r) {
  Model& m = r.model;
  const Md2Header& h = m.header;
  const std::uint8_t* data = bytes.data();
  if (r.skins.inFile) {
    for (std::int64_t i = 0; i < r.skins.count; ++i) {
      const char* name = reinterpret_cast<const char*>(data + r.skins.offset + i * kSkinNameSize);
      m.skinNames.emplace_back(name, strnlen(name, kSkinNameSize));
    }
  }
  if (r.texCoords.inFile) {
    m.texCoords.resize(std::size_t(r.texCoords.count));
    for (std::size_t i = 0; i < m.texCoords.size(); ++i) {
      const std::uint8_t* p = data + r.texCoords.offset + 4 * i;
      m.texCoords[i] = {ReadI16LE(p), ReadI16LE(p + 2)};
    }
  }
  if (r.triangles.inFile) {
    m.triangles.resize(std::size_t(r.triangles.count));
    for (std::size_t i = 0; i < m.triangles.size(); ++i) {
      const std::uint8_t* p = data + r.triangles.offset + kMd2TriangleSize * i;
      for (int k = 0; k < 3; ++k) {
        m.triangles[i].vertexIndex[k] = ReadU16LE(p + 2 * k);
        m.triangles[i].texCoordIndex[k] = ReadU16LE(p + 6 + 2 * k);
      }
    }
  }
  if (r.frames.inFile && r.frameSizeFits) {
    m.frames.resize(std::size_t(r.frames.count));
    for (std::size_t f = 0; f < m.frames.size(); ++f) {
      const std::uint8_t* p = data + r.frames.offset + h.frameSize * std::int64_t(f);
      Frame& frame = m.frames[f];
      ReadMd2FrameHeader(p, &frame.header);
      const std::uint8_t* first = p + kMd2FrameHeaderSize;
      frame.vertices.assign(VertexRecords(first),
                            VertexRecords(first + std::size_t(h.numVertices) * kMd2VertexSize));
    }
  }
  if (r.glCommands.inFile) {
    m.glCommands.resize(std::size_t(r.glCommands.count));
    for (std::size_t i = 0; i < m.glCommands.size(); ++i)
      m.glCommands[i] = ReadI32LE(data + r.glCommands.offset + 4 * i);
  }
  if (h.ofsEnd >= kMd2HeaderSize && h.ofsEnd <= r.fileSize)
    m.trailer.assign(bytes.begin() + h.ofsEnd, bytes.end());
}

}  // namespace

namespace {

// Far more than any model an engine loads (512 frames of 2048 vertices take
// 4 MiB), so that a file of any size can be examined without reading
// gigabytes.
constexpr std::uint64_t kMaxModelFileBytes = std::uint64_t(256) << 20;

std::vector<std::uint8_t> ReadFileBytes(const std::string& path) {
  std::vector<std::uint8_t> bytes;
  std::string error;
  if (!ReadWholeFile(path, bytes, error, kMaxModelFileBytes)) throw ReadError(error);
  return bytes;
}

}  // namespace

Reading ReadMd2(const std::vector<std::uint8_t>& bytes, const std::string& path) {
  if (bytes.size() < std::size_t(kMd2HeaderSize))
    throw ReadError(path + " is " + std::to_string(bytes.size()) +
                    " bytes long, too short for the 68-byte header of a model");
  Reading r;
  r.path = path;
  r.fileSize = std::int64_t(bytes.size());
  Md2Header& h = r.model.header;
  ReadMd2Header(bytes.data(), &h);
  r.skins = Place("skin names", h.ofsSkins, h.numSkins, kSkinNameSize, r.fileSize);
  r.texCoords = Place("texture coordinates", h.ofsTexCoords, h.numTexCoords, kMd2TexCoordSize,
                      r.fileSize);
  r.triangles = Place("triangles", h.ofsTriangles, h.numTriangles, kMd2TriangleSize, r.fileSize);
  r.frames = Place("frames", h.ofsFrames, h.numFrames, h.frameSize, r.fileSize);
  r.glCommands = Place("GL commands", h.ofsGlCommands, h.numGlCommands, 4, r.fileSize);
  r.frameSizeFits = h.numVertices >= 0 && h.frameSize >= Md2FrameSize(h.numVertices);
  ReadSections(bytes, r);
  return r;
}

Reading ReadMd2(const std::string& path) { return ReadMd2(ReadFileBytes(path), path); }

std::string UnusableReason(const Reading& r) {
  const Md2Header& h = r.model.header;
  if (h.ident != kMd2Ident) return "it is not a Quake 2 model (its first bytes are not IDP2)";
  if (h.version != kMd2Version)
    return "it is MD2 version " + std::to_string(h.version) + ", not 8";
  if (h.numVertices <= 0) return "it has no vertices";
  if (h.numFrames <= 0) return "it has no frames";
  if (!r.frameSizeFits)
    return "its frame size " + std::to_string(h.frameSize) + " is too small for " +
           std::to_string(h.numVertices) + " vertices";
  for (const Section* s : {&r.skins, &r.texCoords, &r.triangles, &r.frames, &r.glCommands})
    if (!s->inFile)
      return std::string("its ") + s->name + " (" + std::to_string(s->count) + " from byte " +
             std::to_string(s->offset) + ") do not lie inside its " + std::to_string(r.fileSize) +
             " bytes";
  const Model& m = r.model;
  for (std::size_t i = 0; i < m.triangles.size(); ++i) {
    for (int k = 0; k < 3; ++k) {
      if (m.triangles[i].vertexIndex[k] >= h.numVertices)
        return "triangle " + std::to_string(i) + " names vertex " +
               std::to_string(m.triangles[i].vertexIndex[k]) + " of " +
               std::to_string(h.numVertices);
      if (m.triangles[i].texCoordIndex[k] >= m.texCoords.size())
        return "triangle " + std::to_string(i) + " names texture coordinate " +
               std::to_string(m.triangles[i].texCoordIndex[k]) + " of " +
               std::to_string(m.texCoords.size());
    }
  }
  return "";
}

Model LoadMd2(const std::string& path) {
  Reading reading = ReadMd2(path);
  const std::string reason = UnusableReason(reading);
  if (!reason.empty()) throw ReadError(path + " cannot be used: " + reason);
  return std::move(reading.model);
}

}  // namespace vexo::md2
