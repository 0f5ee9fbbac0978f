#include <memory>
#include <new>
#include <string>

#include "base/file_names.h"
#include "base/whole_file_writer.h"
#include "model/host_frame_time.h"
#include "model/md2_format.h"
#include "model/md2_trailer.h"
#include "model/model_tables.h"
#include "plugin/export_utility.h"

namespace {

template <typename T>
std::unique_ptr<T[]> NewArray(std::int64_t count) {
  // At least one element, so an empty section still gets a valid pointer.
  return std::unique_ptr<T[]>(new (std::nothrow) T[count > 0 ? std::size_t(count) : 1]);
}

}  // namespace

int ExportUtility::CreateModelFile(const char* path, float scale) {
  const std::int32_t frameCount = frameNames.count;
  if (!path || !Md2CountsFit(vertexCount, faceCount, frameCount) || (faceCount > 0 && !faces)) {
    context.RecordErrorFormat(
        "Scene Error", "A model of %d vertices, %d triangles and %d frames cannot be written",
        vertexCount, faceCount, frameCount);
    return 0;
  }

  auto texCoords = NewArray<Md2TexCoord>(3 * std::int64_t(faceCount));
  auto triangles = NewArray<Md2Triangle>(faceCount);
  auto glTriangles = NewArray<Md2GlTriangle>(faceCount);
  auto frameVertexBuffer = NewArray<Md2Vertex>(vertexCount);
  if (!texCoords || !triangles || !glTriangles || !frameVertexBuffer) {
    context.RecordError("Cannot get memory for the model file", "Memory Error");
    return 0;
  }
  if (!BuildModelTables(faces, faceCount, vertexCount, skinWidth, skinHeight, texCoords.get(),
                        triangles.get(), glTriangles.get())) {
    context.RecordError("Every face needs a placed texture inside the skin", "Scene Error");
    return 0;
  }

  // The file is written whole or not at all: a failure never leaves a
  // partial model behind.
  WholeFileWriter file(NameWithExtension(path, ".md2"));
  if (!file.opened()) {
    context.RecordErrorFormat("File Error", "Could not open %s for writing",
                              file.temporaryPath().c_str());
    return 0;
  }

  LittleEndianWriter& out = file.out();
  const Md2Header header = MakeMd2Header(skinWidth, skinHeight, vertexCount, faceCount, frameCount);
  WriteMd2Header(out, header);
  WriteMd2TexCoords(out, texCoords.get(), header.numTexCoords);
  WriteMd2Triangles(out, triangles.get(), faceCount);

  bool ok = true;
  for (std::int32_t f = 0; ok && f < frameCount; ++f) {
    TimeValue time = 0;
    Md2FrameHeader frameHeader;
    ok = HostFrameTime(f, &time) &&
         EncodeModelFrame(time, scale, frameNames.names[f], &frameHeader, frameVertexBuffer.get());
    if (ok) WriteMd2Frame(out, frameHeader, frameVertexBuffer.get(), vertexCount);
  }
  FreeFrameBuffers();

  if (!ok) return 0;
  WriteMd2GlCommands(out, glTriangles.get(), faceCount);
  WriteMd2Trailer(out);
  switch (file.Finish()) {
    case WholeFileWriter::kWritten:
      return 1;
    case WholeFileWriter::kNotWritten:
      context.RecordErrorFormat("File Error", "Could not write %s", file.temporaryPath().c_str());
      return 0;
    case WholeFileWriter::kNotMoved:
      context.RecordErrorFormat("File Error", "Could not replace %s", file.path().c_str());
      return 0;
  }
  return 0;
}
