#include "plugin/frame_list_import.h"

#include <cstdio>
#include <cstring>
#include <string>

#include "base/closing_file.h"
#include "base/file_names.h"
#include "model/md2_format.h"

int ReadFrameNames(const char* path, FrameNameTable* table) {
  if (!path) return 0;
  const std::string name = NameWithExtension(path, ".md2");
  ClosingFile in(name.c_str(), "rb");
  if (!in) return 0;
  const std::int64_t fileSize = FileSize(in.get());
  LittleEndianReader reader(in.get());
  Md2Header header;
  if (fileSize < 0 || !ReadMd2Header(reader, &header)) return 0;
  if (header.ident != kMd2Ident) return 0;

  const std::int32_t vertexCount = header.numVertices;
  const std::int32_t frameCount = header.numFrames;
  if (frameCount < 0 || frameCount > kFrameNameSlots) return 0;
  if (frameCount > 0) {
    if (vertexCount < 0 || header.ofsFrames < 0) return 0;
    if (header.ofsFrames + Md2FrameSize(vertexCount) * frameCount > fileSize) return 0;
    if (std::fseek(in.get(), header.ofsFrames, SEEK_SET) != 0) return 0;
  }

  // Slots beyond the new count keep their names.
  FrameNameTable read = *table;
  for (std::int32_t i = 0; i < frameCount; ++i) {
    Md2FrameHeader frame;
    ReadMd2FrameHeader(reader, &frame);
    reader.Skip(static_cast<long>(kMd2VertexSize) * vertexCount);
    // Up to the name's end, at most 15 characters; the rest of the slot is zero.
    char* slot = read.names[i];
    std::memset(slot, 0, kFrameNameSize);
    for (int c = 0; c < kFrameNameSize - 1 && frame.name[c]; ++c) slot[c] = frame.name[c];
  }
  if (!reader.ok()) return 0;
  read.count = frameCount;
  *table = read;
  return 1;
}
