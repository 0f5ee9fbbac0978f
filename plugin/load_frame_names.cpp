// Frame-list import: the frame names of an existing model file replace the
// table.
#include <cstdio>
#include <cstring>
#include <string>

#include "export/file_names.h"
#include "plugin/export_utility.h"
#include "plugin/little_endian_file.h"

namespace {

// Where the model header keeps what the import reads.
constexpr std::uint32_t kModelMagic = 0x32504449;  // "IDP2"
constexpr int kHeaderSize = 68;
constexpr int kVertexCountAt = 24;
constexpr int kFrameCountAt = 40;
constexpr int kFramesOffsetAt = 56;
// A frame: scale and translation (six floats), its name, then 4 bytes a vertex.
constexpr int kFrameHeaderSize = 40;
constexpr int kFrameNameAt = 24;
constexpr int kBytesPerVertex = 4;

struct ClosingFile {
  std::FILE* file;
  ~ClosingFile() {
    if (file) std::fclose(file);
  }
};

long FileSize(std::FILE* file) {
  if (std::fseek(file, 0, SEEK_END) != 0) return -1;
  const long size = std::ftell(file);
  if (std::fseek(file, 0, SEEK_SET) != 0) return -1;
  return size;
}

}  // namespace

// The table changes only when the whole file could be read: a file that is
// not a model, has more frames than the table has slots or a negative
// count, or ends before its frames do, leaves it as it was.
int ExportUtility::LoadFrameNames(const char* path) {
  const std::string name = NameWithExtension(path, ".md2");
  ClosingFile in{std::fopen(name.c_str(), "rb")};
  if (!in.file) return 0;
  const long fileSize = FileSize(in.file);
  LittleEndianReader reader(in.file);
  std::uint8_t header[kHeaderSize];
  if (fileSize < 0 || !reader.Bytes(header, sizeof header)) return 0;
  if (ReadU32LE(header) != kModelMagic) return 0;

  const auto vertexCount = static_cast<std::int32_t>(ReadU32LE(header + kVertexCountAt));
  const auto frameCount = static_cast<std::int32_t>(ReadU32LE(header + kFrameCountAt));
  const auto framesOffset = static_cast<std::int32_t>(ReadU32LE(header + kFramesOffsetAt));
  if (frameCount < 0 || frameCount > kFrameNameSlots) return 0;
  if (frameCount > 0) {
    if (vertexCount < 0 || framesOffset < 0) return 0;
    const long long frameSize = kFrameHeaderSize + static_cast<long long>(kBytesPerVertex) * vertexCount;
    if (framesOffset + frameSize * frameCount > fileSize) return 0;
    if (std::fseek(in.file, framesOffset, SEEK_SET) != 0) return 0;
  }

  // Slots beyond the new count keep their names.
  FrameNameTable read = frameNames;
  for (std::int32_t i = 0; i < frameCount; ++i) {
    std::uint8_t frame[kFrameHeaderSize];
    reader.Bytes(frame, sizeof frame);
    reader.Skip(static_cast<long>(kBytesPerVertex) * vertexCount);
    // Up to the name's end, at most 15 characters; the rest of the slot is zero.
    char* slot = read.names[i];
    std::memset(slot, 0, kFrameNameSize);
    for (int c = 0; c < kFrameNameSize - 1 && frame[kFrameNameAt + c]; ++c)
      slot[c] = static_cast<char>(frame[kFrameNameAt + c]);
  }
  if (!reader.ok()) return 0;
  read.count = frameCount;
  frameNames = read;
  return 1;
}
