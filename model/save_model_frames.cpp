#include "model/save_model_frames.h"

#include <cstdio>
#include <memory>
#include <new>

#include "base/closing_file.h"
#include "base/whole_file_writer.h"
#include "model/create_model_file.h"
#include "model/encode_model_frame.h"
#include "model/finish_model_file.h"
#include "model/host_frame_time.h"
#include "model/md2_format.h"

namespace {

// The chosen frames, encoded before anything is written.
struct EncodedFrames {
  std::unique_ptr<Md2FrameHeader[]> headers;
  std::unique_ptr<Md2Vertex[]> vertices;
};

// Encodes model frames startFrame .. startFrame + count - 1, frame k from
// host frame firstFrame + k - startFrame. 0 with the failure recorded.
int EncodeFrames(const ModelInput& input, std::int32_t startFrame, std::int32_t count,
                 std::uint32_t firstFrame, float scale, FrameSource& frames,
                 EncodedFrames& encoded, ErrorRecord& errors) {
  const std::size_t vertexCount = std::size_t(input.vertexCount);
  const std::size_t slots = count > 0 ? std::size_t(count) : 1;
  encoded.headers.reset(new (std::nothrow) Md2FrameHeader[slots]);
  encoded.vertices.reset(new (std::nothrow) Md2Vertex[vertexCount * slots]);
  if (!encoded.headers || !encoded.vertices) {
    errors.RecordError(kModelFramesNoMemory);
    return 0;
  }
  for (std::int32_t i = 0; i < count; ++i) {
    const std::int64_t hostFrame = std::int64_t(firstFrame) + i;
    TimeValue time = 0;
    if (!HostFrameTime(hostFrame, &time)) {
      errors.RecordErrorFormat(kHostFrameTooLate.caption, kHostFrameTooLate.text,
                               static_cast<long long>(hostFrame));
      return 0;
    }
    if (!EncodeModelFrame(frames, time, scale, input.frameNames[startFrame + i], input.vertexCount,
                          &encoded.headers[i], &encoded.vertices[std::size_t(i) * vertexCount],
                          errors))
      return 0;
  }
  return 1;
}

// Copies `count` bytes from the read position of `in` to `out`.
bool CopyBytes(std::FILE* in, LittleEndianWriter& out, std::int64_t count) {
  std::uint8_t buffer[16384];
  while (count > 0 && out.ok()) {
    const std::size_t n = count < std::int64_t(sizeof buffer) ? std::size_t(count) : sizeof buffer;
    if (std::fread(buffer, 1, n, in) != n) return false;
    out.Bytes(buffer, n);
    count -= std::int64_t(n);
  }
  return out.ok();
}

// Writes a copy of the model file `name` with the encoded frames in the
// slots from startFrame on, and gives the copy the file's name: the file
// is either as it was or has every new frame, never a mix. The file must
// have been made for this input; its ident is not looked at.
int ReplaceFrames(const std::string& name, const ModelInput& input, std::int32_t startFrame,
                  std::int32_t endFrame, std::uint32_t firstFrame, float scale,
                  FrameSource& frames, ErrorRecord& errors) {
  const std::unique_ptr<LargeFileBuffer> buffer(new (std::nothrow) LargeFileBuffer);
  ClosingFile file(name.c_str(), "rb");
  if (!file) {
    errors.RecordErrorFormat(kCannotOpenForWriting.caption, kCannotOpenForWriting.text,
                             name.c_str());
    return 0;
  }
  UseLargeFileBuffer(file.get(), buffer.get());
  LittleEndianReader in(file.get());
  Md2Header header;
  const std::int64_t fileSize = FileSize(file.get());
  if (!ReadMd2Header(in, &header) || fileSize < 0) {
    errors.RecordErrorFormat(kModelTooShort.caption, kModelTooShort.text, name.c_str());
    return 0;
  }
  if (header.numTriangles != input.faceCount || header.numVertices != input.vertexCount ||
      header.numFrames != input.frameCount) {
    errors.RecordErrorFormat(kModelCountsDiffer.caption, kModelCountsDiffer.text, name.c_str(),
                             header.numTriangles, header.numVertices, header.numFrames,
                             input.faceCount, input.vertexCount, input.frameCount);
    return 0;
  }
  const std::int64_t frameSize = Md2FrameSize(input.vertexCount);
  if (header.frameSize != frameSize || header.ofsFrames < kMd2HeaderSize ||
      header.ofsFrames + frameSize * input.frameCount > fileSize) {
    errors.RecordErrorFormat(kModelFramesOutside.caption, kModelFramesOutside.text, name.c_str());
    return 0;
  }

  const std::int32_t count = endFrame >= startFrame ? endFrame - startFrame + 1 : 0;
  EncodedFrames encoded;
  if (!EncodeFrames(input, startFrame, count, firstFrame, scale, frames, encoded, errors)) return 0;
  if (count == 0) return 1;

  WholeFileWriter copy(name);
  if (!copy.opened()) {
    errors.RecordErrorFormat(kCannotOpenForWriting.caption, kCannotOpenForWriting.text,
                             copy.temporaryPath().c_str());
    return 0;
  }
  LittleEndianWriter& out = copy.out();
  const std::int64_t framesStart = header.ofsFrames + frameSize * startFrame;
  const std::int64_t framesEnd = framesStart + frameSize * count;
  bool copied = std::fseek(file.get(), 0, SEEK_SET) == 0 && CopyBytes(file.get(), out, framesStart);
  for (std::int32_t i = 0; copied && i < count; ++i)
    WriteMd2Frame(out, encoded.headers[i], &encoded.vertices[std::size_t(i) * input.vertexCount],
                  input.vertexCount);
  copied = copied && std::fseek(file.get(), long(framesEnd), SEEK_SET) == 0 &&
           CopyBytes(file.get(), out, fileSize - framesEnd);
  if (!copied) {
    // The unfinished copy is removed with its writer.
    errors.RecordErrorFormat(kCannotWrite.caption, kCannotWrite.text, copy.temporaryPath().c_str());
    return 0;
  }
  // Windows does not rename over a file that is still open.
  file.Close();
  return FinishModelFile(copy, errors);
}

}  // namespace

int SaveModelFrames(const std::string& name, const ModelInput& input, std::int32_t startFrame,
                    std::int32_t endFrame, std::uint32_t firstFrame, float scale,
                    FrameSource& frames, ErrorRecord& errors) {
  const std::int32_t frameCount = input.frameCount;
  if (!Md2CountsFit(input.vertexCount, input.faceCount, frameCount) || !input.frameNames) {
    errors.RecordErrorFormat(kModelDoesNotFitFormat.caption, kModelDoesNotFitFormat.text,
                             input.vertexCount, input.faceCount, frameCount);
    return 0;
  }
  if (startFrame < 0 || startFrame >= frameCount || endFrame < 0 || endFrame >= frameCount) {
    errors.RecordErrorFormat(kFramesOutsideTable.caption, kFramesOutsideTable.text, startFrame,
                             endFrame, frameCount);
    return 0;
  }

  // An existing model is replaced by a copy rather than written through,
  // but it must still be a file the user may write; one that exists but
  // cannot be written is left alone. Only a missing file is created.
  bool created = false;
  if (std::FILE* writable = std::fopen(name.c_str(), "r+b")) {
    std::fclose(writable);
  } else if (std::FILE* existing = std::fopen(name.c_str(), "rb")) {
    std::fclose(existing);
    errors.RecordErrorFormat(kCannotOpenForWriting.caption, kCannotOpenForWriting.text,
                             name.c_str());
    return 0;
  } else {
    if (!CreateModelFile(name, input, scale, frames, errors)) return 0;
    // A new file holds model frame k from host frame k. When the range maps
    // onto the same host frames, rewriting it would sample and write the
    // very same frames again.
    if (firstFrame == std::uint32_t(startFrame)) return 1;
    created = true;
  }
  const int result =
      ReplaceFrames(name, input, startFrame, endFrame, firstFrame, scale, frames, errors);
  // A file made by this call is not left behind when the call fails.
  if (!result && created) std::remove(name.c_str());
  return result;
}
