#include <cstdio>
#include <filesystem>
#include <memory>
#include <new>
#include <string>
#include <system_error>

#include "export/file_names.h"
#include "model/host_frame_time.h"
#include "model/md2_format.h"
#include "model/model_tables.h"
#include "plugin/export_utility.h"

namespace {

template <typename T>
std::unique_ptr<T[]> NewArray(std::int64_t count) {
  // At least one element, so an empty section still gets a valid pointer.
  return std::unique_ptr<T[]>(new (std::nothrow) T[count > 0 ? std::size_t(count) : 1]);
}

// Puts the finished file in place of `to` (replacing any file there).
bool MoveIntoPlace(const std::string& from, const std::string& to) {
  std::error_code error;
  std::filesystem::rename(std::filesystem::path(from), std::filesystem::path(to), error);
  return !error;
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

  // The file is written under a name of its own and moved into place only
  // when complete, so a failure never leaves a partial model behind.
  const std::string name = NameWithExtension(path, ".md2");
  const std::string partName = name + ".part";
  std::FILE* file = std::fopen(partName.c_str(), "wb");
  if (!file) {
    context.RecordErrorFormat("File Error", "Could not open %s for writing", partName.c_str());
    return 0;
  }
  UseLargeFileBuffer(file);

  LittleEndianWriter out(file);
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

  if (ok) {
    WriteMd2GlCommands(out, glTriangles.get(), faceCount);
    WriteMd2Trailer(out);
    ok = out.ok() && std::fflush(file) == 0;
    if (!ok) context.RecordErrorFormat("File Error", "Could not write %s", partName.c_str());
  }
  if (std::fclose(file) != 0) ok = false;
  if (ok && !MoveIntoPlace(partName, name)) {
    context.RecordErrorFormat("File Error", "Could not replace %s", name.c_str());
    ok = false;
  }
  if (!ok) std::remove(partName.c_str());
  return ok ? 1 : 0;
}
