// Reading MD2 files on the host side. ReadMd2 is forgiving: it reads every
// section that lies inside the file and says where each one lies, so that a
// damaged or foreign model can still be examined (vexo check). LoadMd2 is
// strict: it hands back only a model whose every part can be used.
#pragma once

#include <cstdint>
#include <stdexcept>
#include <string>
#include <vector>

#include "standalone/md2/md2_model.h"

#include "standalone/error.h"

namespace vexo::md2 {

// A file that is not there, cannot be read, is too short for a header, or
// (for LoadMd2) holds a model that cannot be used. The message names the
// file and what is wrong.
class ReadError : public Error {
 public:
  using Error::Error;
};

// Where the header puts a section: count records of recordSize bytes from
// offset. A section is read only when it lies wholly inside the file.
struct Section {
  const char* name = "";
  std::int64_t offset = 0;
  std::int64_t count = 0;
  std::int64_t recordSize = 0;
  bool inFile = false;
  std::int64_t End() const { return offset + count * recordSize; }
};

struct Reading {
  std::string path;
  std::int64_t fileSize = 0;
  Model model;  // the sections that lie inside the file; the others are empty
  Section skins, texCoords, triangles, frames, glCommands;
  // Whether every frame holds its vertices within frameSize bytes.
  bool frameSizeFits = false;
};

// Throws ReadError only when the bytes are too few for a header.
Reading ReadMd2(const std::vector<std::uint8_t>& bytes, const std::string& path);
Reading ReadMd2(const std::string& path);

// The first reason the model cannot be used as a whole ("" when it can): a
// wrong ident or version, no vertices, a section outside the file, a frame
// size too small for its vertices, no frames, an index past its section.
std::string UnusableReason(const Reading& reading);

// The model of a file that passes UnusableReason; throws ReadError.
Model LoadMd2(const std::string& path);

}  // namespace vexo::md2
