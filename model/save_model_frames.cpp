#include "model/save_model_frames.h"

#include <cstdio>
#include <memory>
#include <new>

#include "base/closing_file.h"
#include "model/create_model_file.h"
#include "model/encode_model_frame.h"
#include "model/host_frame_time.h"
#include "model/md2_format.h"

namespace {

// The header of an open model file and its size; false when the file is
// shorter than a header or cannot be measured.
bool ReadHeaderAndSize(std::FILE* file, Md2Header* header, std::int64_t* size) {
  LittleEndianReader in(file);
  if (std::fseek(file, 0, SEEK_SET) != 0 || !ReadMd2Header(in, header)) return false;
  *size = FileSize(file);
  return *size >= 0;
}

}  // namespace

int SaveModelFrames(const std::string& name, const ModelInput& input, std::int32_t startFrame,
                    std::int32_t endFrame, std::uint32_t firstFrame, float scale,
                    FrameSource& frames, ErrorRecord& errors) {
  const std::int32_t vertexCount = input.vertexCount;
  const std::int32_t faceCount = input.faceCount;
  const std::int32_t frameCount = input.frameCount;
  if (!Md2CountsFit(vertexCount, faceCount, frameCount) || !input.frameNames) {
    errors.RecordErrorFormat(kModelDoesNotFitFormat.caption, kModelDoesNotFitFormat.text,
                             vertexCount, faceCount, frameCount);
    return 0;
  }
  if (startFrame < 0 || startFrame >= frameCount || endFrame < 0 || endFrame >= frameCount) {
    errors.RecordErrorFormat(kFramesOutsideTable.caption, kFramesOutsideTable.text, startFrame,
                             endFrame, frameCount);
    return 0;
  }

  bool created = false;
  std::FILE* file = std::fopen(name.c_str(), "r+b");
  if (!file) {
    // Only a missing file is created; one that exists but cannot be
    // written is left alone.
    if (std::FILE* existing = std::fopen(name.c_str(), "rb")) {
      std::fclose(existing);
      errors.RecordErrorFormat(kCannotOpenForWriting.caption, kCannotOpenForWriting.text,
                               name.c_str());
      return 0;
    }
    if (!CreateModelFile(name, input, scale, frames, errors)) return 0;
    created = true;
    file = std::fopen(name.c_str(), "r+b");
    if (!file) {
      std::remove(name.c_str());
      return 0;
    }
  }
  UseLargeFileBuffer(file);

  int result = 0;
  Md2Header header;
  std::int64_t fileSize = 0;
  const std::int64_t frameSize = Md2FrameSize(vertexCount);
  const std::int32_t writeCount = endFrame >= startFrame ? endFrame - startFrame + 1 : 0;
  std::unique_ptr<Md2FrameHeader[]> frameHeaders;
  std::unique_ptr<Md2Vertex[]> frameVertexBuffer;

  // The file must be made for this scene and frame table, and its frames
  // must lie inside it; the ident is not looked at.
  if (!ReadHeaderAndSize(file, &header, &fileSize)) {
    errors.RecordErrorFormat(kModelTooShort.caption, kModelTooShort.text, name.c_str());
  } else if (header.numTriangles != faceCount || header.numVertices != vertexCount ||
             header.numFrames != frameCount) {
    errors.RecordErrorFormat(kModelCountsDiffer.caption, kModelCountsDiffer.text, name.c_str(),
                             header.numTriangles, header.numVertices, header.numFrames, faceCount,
                             vertexCount, frameCount);
  } else if (header.frameSize != frameSize || header.ofsFrames < kMd2HeaderSize ||
             header.ofsFrames + frameSize * frameCount > fileSize) {
    errors.RecordErrorFormat(kModelFramesOutside.caption, kModelFramesOutside.text, name.c_str());
  } else {
    frameHeaders.reset(new (std::nothrow) Md2FrameHeader[writeCount > 0 ? writeCount : 1]);
    frameVertexBuffer.reset(
        new (std::nothrow) Md2Vertex[std::size_t(vertexCount) * (writeCount > 0 ? writeCount : 1)]);
    if (!frameHeaders || !frameVertexBuffer) {
      errors.RecordError(kModelFramesNoMemory);
    } else {
      // Every frame is encoded before the first byte is written, so a frame
      // that cannot be encoded leaves the file as it was.
      result = 1;
      for (std::int32_t i = 0; result && i < writeCount; ++i) {
        const std::int32_t k = startFrame + i;
        const std::int64_t hostFrame = std::int64_t(firstFrame) + i;
        TimeValue time = 0;
        if (!HostFrameTime(hostFrame, &time)) {
          errors.RecordErrorFormat(kHostFrameTooLate.caption, kHostFrameTooLate.text,
                                   static_cast<long long>(hostFrame));
          result = 0;
        } else {
          result = EncodeModelFrame(frames, time, scale, input.frameNames[k], vertexCount,
                                    &frameHeaders[i],
                                    &frameVertexBuffer[std::size_t(i) * vertexCount], errors);
        }
      }
    }
  }

  if (result && writeCount > 0) {
    LittleEndianWriter out(file);
    if (std::fseek(file, long(header.ofsFrames + frameSize * startFrame), SEEK_SET) != 0) {
      result = 0;
    } else {
      for (std::int32_t i = 0; i < writeCount; ++i)
        WriteMd2Frame(out, frameHeaders[i], &frameVertexBuffer[std::size_t(i) * vertexCount],
                      vertexCount);
      result = out.ok() && std::fflush(file) == 0;
    }
    if (!result) errors.RecordErrorFormat(kCannotWrite.caption, kCannotWrite.text, name.c_str());
  }
  if (std::fclose(file) != 0) result = 0;
  // A file made by this call is not left behind when the call fails.
  if (!result && created) std::remove(name.c_str());
  return result;
}
