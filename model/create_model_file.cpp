#include "model/create_model_file.h"

#include <memory>
#include <new>

#include "base/whole_file_writer.h"
#include "model/encode_model_frame.h"
#include "model/finish_model_file.h"
#include "model/host_frame_time.h"
#include "model/md2_format.h"
#include "model/md2_trailer.h"
#include "model/model_tables.h"

namespace {

template <typename T>
std::unique_ptr<T[]> NewArray(std::int64_t count) {
  // At least one element, so an empty section still gets a valid pointer.
  return std::unique_ptr<T[]>(new (std::nothrow) T[count > 0 ? std::size_t(count) : 1]);
}

}  // namespace

int CreateModelFile(const std::string& path, const ModelInput& input, float scale,
                    FrameSource& frames, ErrorRecord& errors) {
  const std::int32_t vertexCount = input.vertexCount;
  const std::int32_t faceCount = input.faceCount;
  const std::int32_t frameCount = input.frameCount;
  if (!Md2CountsFit(vertexCount, faceCount, frameCount) || (faceCount > 0 && !input.faces) ||
      !input.frameNames) {
    errors.RecordErrorFormat(kModelDoesNotFitFormat.caption, kModelDoesNotFitFormat.text,
                             vertexCount, faceCount, frameCount);
    return 0;
  }

  auto texCoords = NewArray<Md2TexCoord>(3 * std::int64_t(faceCount));
  auto triangles = NewArray<Md2Triangle>(faceCount);
  auto glTriangles = NewArray<Md2GlTriangle>(faceCount);
  auto frameVertices = NewArray<Md2Vertex>(vertexCount);
  if (!texCoords || !triangles || !glTriangles || !frameVertices) {
    errors.RecordError(kModelNoMemory);
    return 0;
  }
  if (!BuildModelTables(input.faces, faceCount, vertexCount, input.skinWidth, input.skinHeight,
                        texCoords.get(), triangles.get(), glTriangles.get())) {
    errors.RecordError(kFaceWithoutPlacedTexture);
    return 0;
  }

  // The file is written whole or not at all: a failure never leaves a
  // partial model behind.
  WholeFileWriter file(path);
  if (!file.opened()) {
    errors.RecordErrorFormat(kCannotOpenForWriting.caption, kCannotOpenForWriting.text,
                             file.temporaryPath().c_str());
    return 0;
  }

  LittleEndianWriter& out = file.out();
  const Md2Header header =
      MakeMd2Header(input.skinWidth, input.skinHeight, vertexCount, faceCount, frameCount);
  WriteMd2Header(out, header);
  WriteMd2TexCoords(out, texCoords.get(), header.numTexCoords);
  WriteMd2Triangles(out, triangles.get(), faceCount);

  for (std::int32_t f = 0; f < frameCount; ++f) {
    TimeValue time = 0;
    Md2FrameHeader frameHeader;
    if (!HostFrameTime(f, &time) ||
        !EncodeModelFrame(frames, time, scale, input.frameNames[f], vertexCount, &frameHeader,
                          frameVertices.get(), errors))
      return 0;
    WriteMd2Frame(out, frameHeader, frameVertices.get(), vertexCount);
  }

  WriteMd2GlCommands(out, glTriangles.get(), faceCount);
  WriteMd2Trailer(out);
  return FinishModelFile(file, errors);
}
