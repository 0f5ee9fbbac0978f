#include "standalone/cli/written_files.h"

#include <unistd.h>

#include <cstring>
#include <memory>

#include "base/closing_file.h"
#include "base/little_endian.h"
#include "base/whole_file_reader.h"
#include "model/md2_format.h"
#include "standalone/pictures/picture_reading.h"

namespace vexo::cli {
namespace {

constexpr std::size_t kPcxHeaderSize = 128;
constexpr std::size_t kPcxPaletteSize = 769;  // the marker 12 and 256 colours

int UInt16At(const std::vector<std::uint8_t>& bytes, std::size_t at) {
  return ReadU16LE(&bytes[at]);
}

bool EndsWith(const std::string& text, const char* suffix) {
  const std::size_t n = std::strlen(suffix);
  if (text.size() < n) return false;
  for (std::size_t i = 0; i < n; ++i) {
    const char c = text[text.size() - n + i];
    if ((c >= 'A' && c <= 'Z' ? c - 'A' + 'a' : c) != suffix[i]) return false;
  }
  return true;
}

std::vector<std::uint8_t> WholeFile(const std::string& path) {
  std::vector<std::uint8_t> bytes;
  std::string error;
  if (!ReadWholeFile(path, bytes, error)) throw Error(error);
  return bytes;
}

RgbImage ReadPcx(const std::string& path) {
  const std::vector<std::uint8_t> bytes = WholeFile(path);
  auto fail = [&](const std::string& why) { return Error(path + ": " + why); };
  if (bytes.size() < kPcxHeaderSize + kPcxPaletteSize) throw fail("too short for a PCX picture");
  if (bytes[0] != 10 || bytes[2] != 1 || bytes[3] != 8 || bytes[65] != 1)
    throw fail("not an 8-bit run-length PCX picture");
  const int width = UInt16At(bytes, 8) - UInt16At(bytes, 4) + 1;
  const int height = UInt16At(bytes, 10) - UInt16At(bytes, 6) + 1;
  const int bytesPerLine = UInt16At(bytes, 66);
  if (width <= 0 || height <= 0 || bytesPerLine < width) throw fail("bad picture size");
  const std::size_t paletteAt = bytes.size() - kPcxPaletteSize;
  if (bytes[paletteAt] != 12) throw fail("no 256-colour palette at the end");

  // Runs may carry on from one line into the next.
  const std::size_t needed = std::size_t(bytesPerLine) * height;
  std::vector<std::uint8_t> indices;
  indices.reserve(needed);
  std::size_t at = kPcxHeaderSize;
  while (indices.size() < needed) {
    if (at >= paletteAt) throw fail("the picture data ends early");
    std::uint8_t value = bytes[at++];
    std::size_t run = 1;
    if ((value & 0xC0) == 0xC0) {
      run = value & 0x3F;
      if (at >= paletteAt) throw fail("the picture data ends early");
      value = bytes[at++];
    }
    if (run > needed - indices.size()) throw fail("a run goes past the picture's end");
    indices.insert(indices.end(), run, value);
  }

  RgbImage picture{width, height, {}};
  picture.pixels.reserve(std::size_t(width) * height * 3);
  for (int y = 0; y < height; ++y) {
    for (int x = 0; x < width; ++x) {
      const std::uint8_t* colour = &bytes[paletteAt + 1 + 3 * indices[std::size_t(y) * bytesPerLine + x]];
      picture.pixels.insert(picture.pixels.end(), colour, colour + 3);
    }
  }
  return picture;
}

RgbImage ReadBmp(const std::string& path) {
  try {
    const std::vector<std::uint8_t> bytes = ReadPictureFile(path);
    const PictureHeader header = ReadPictureHeader(bytes.data(), bytes.size());
    if (header.format != PictureFormat::kBmp) throw PictureError("not a BMP picture");
    return DecodePicture(bytes.data(), bytes.size(), header.width, header.height);
  } catch (const PictureError& e) {
    throw Error(path + ": " + e.what());
  }
}

}  // namespace

ModelSummary ReadModelSummary(const std::string& path) {
  // Only the header and the frames' names are read, each where it lies: a
  // model is megabytes of vertices that the summary does not look at.
  ClosingFile file(path.c_str(), "rb");
  if (!file) throw Error("cannot open " + path);
  const std::int64_t size = FileSize(file.get());
  auto readAt = [&](std::int64_t at, std::uint8_t* into, std::size_t count) {
    if (pread(fileno(file.get()), into, count, off_t(at)) != ssize_t(count))
      throw Error("cannot read " + path);
  };
  if (size < 0) throw Error("cannot read " + path);
  auto fail = [&](const std::string& why) { return Error(path + ": " + why); };
  if (size < kMd2HeaderSize) throw fail("too short for a model");
  // The ident and version are not looked at: the plug-in judges a model it
  // updates by its counts alone.
  std::uint8_t bytes[kMd2HeaderSize];
  readAt(0, bytes, sizeof bytes);
  Md2Header header;
  ReadMd2Header(bytes, &header);
  ModelSummary summary;
  summary.bytes = std::uintmax_t(size);
  summary.skinWidth = header.skinWidth;
  summary.skinHeight = header.skinHeight;
  summary.vertices = header.numVertices;
  summary.triangles = header.numTriangles;
  const std::int64_t frameSize = header.frameSize;
  const std::int64_t frames = header.numFrames;
  const std::int64_t framesAt = header.ofsFrames;
  if (frames < 0 || frameSize < kMd2FrameHeaderSize || framesAt < 0 ||
      framesAt + frameSize * frames > size)
    throw fail("its frames do not lie inside the file");
  for (std::int64_t i = 0; i < frames; ++i) {
    readAt(framesAt + i * frameSize, bytes, kMd2FrameHeaderSize);
    Md2FrameHeader frame;
    ReadMd2FrameHeader(bytes, &frame);
    summary.frameNames.emplace_back(frame.name, strnlen(frame.name, sizeof frame.name));
  }
  return summary;
}

RgbImage ReadSkin(const std::string& path) {
  return EndsWith(path, ".pcx") ? ReadPcx(path) : ReadBmp(path);
}

}  // namespace vexo::cli
