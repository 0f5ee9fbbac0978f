// MD2 model files for tests, read and made independently of the plug-in:
// the layout comes from the format's description, not from the plug-in's
// records (model/md2_format.h), so a fault in those shows as a difference.
//
//   test_support::Md2File model;
//   ASSERT_TRUE(test_support::ParseMd2(bytes, &model, &error)) << error;
//   model.frames[3].Position(vertex, axis);
#pragma once

#include <cstdint>
#include <optional>
#include <string>
#include <vector>

#include "tests/support/bytes.h"

namespace test_support {

struct Md2FileFrame {
  float scale[3] = {};
  float translate[3] = {};
  std::string name;   // up to the first zero of its 16 bytes
  Bytes vertexBytes;  // 4 a vertex: x, y, z and the normal index
  // translate + scale * byte on one axis of one vertex.
  float Position(int vertex, int axis) const {
    return translate[axis] + scale[axis] * vertexBytes.at(4 * vertex + axis);
  }
};

struct Md2FileTexCoord {
  std::int16_t s = 0, t = 0;
};

struct Md2FileTriangle {
  std::uint16_t vertex[3] = {};
  std::uint16_t texCoord[3] = {};
};

struct Md2FileGlVertex {
  float s = 0, t = 0;
  std::int32_t vertex = 0;
};

// One GL command: a count (negative for a fan) and its vertices.
struct Md2FileGlCommand {
  std::int32_t count = 0;
  std::vector<Md2FileGlVertex> vertices;
};

struct Md2File {
  // The header's 17 fields, in file order.
  std::int32_t ident = 0, version = 0, skinWidth = 0, skinHeight = 0, frameSize = 0,
               numSkins = 0, numVertices = 0, numTexCoords = 0, numTriangles = 0,
               numGlCommands = 0, numFrames = 0, ofsSkins = 0, ofsTexCoords = 0,
               ofsTriangles = 0, ofsFrames = 0, ofsGlCommands = 0, ofsEnd = 0;
  std::vector<Md2FileTexCoord> texCoords;
  std::vector<Md2FileTriangle> triangles;
  std::vector<Md2FileFrame> frames;
  std::vector<Md2FileGlCommand> glCommands;  // up to the closing 0
  Bytes trailer;                             // from ofsEnd to the end of the file
};

// Reads the header and every section it points to. False, with the reason
// in error, when the file is shorter than a header or a section lies
// outside it. The ident and version are read, not judged.
bool ParseMd2(const Bytes& file, Md2File* model, std::string* error = nullptr);

// Frame k of a file, read where the header says the frames lie.
Md2FileFrame Md2FrameOf(const Bytes& file, int frame);

// A model file as another tool might have written it, for the frame-list
// import: a header and one frame per name (each frame's scale, translate
// and vertex bytes filled with 0x5A, its name in 16 bytes, without a zero
// when it has 16 characters), no other section.
struct Md2FrameListFile {
  std::vector<std::string> names;
  std::int32_t vertexCount = 1;
  std::uint32_t ident = 0x32504449;  // "IDP2"
  std::int32_t skinWidth = 8;
  std::int32_t skinHeight = 8;
  // The header's frame count, when it should not be the number of names.
  std::optional<std::int64_t> frameCount;

  Bytes Build() const;
};

// "stem01", "stem02", ...
std::vector<std::string> NumberedNames(const std::string& stem, int count);

}  // namespace test_support
