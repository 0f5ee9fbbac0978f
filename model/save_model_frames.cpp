#include <cstdio>
#include <memory>
#include <new>
#include <string>

#include "base/closing_file.h"
#include "base/file_names.h"
#include "model/host_frame_time.h"
#include "model/md2_format.h"
#include "plugin/export_utility.h"

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

int ExportUtility::SaveModelFrames(const char* path, std::int32_t startFrame, std::int32_t endFrame,
                                   std::uint32_t firstFrame, float scale) {
  const std::int32_t frameCount = frameNames.count;
  if (!path || !Md2CountsFit(vertexCount, faceCount, frameCount)) {
    context.RecordErrorFormat(
        "Scene Error", "A model of %d vertices, %d triangles and %d frames cannot be written",
        vertexCount, faceCount, frameCount);
    return 0;
  }
  if (startFrame < 0 || startFrame >= frameCount || endFrame < 0 || endFrame >= frameCount) {
    context.RecordErrorFormat("Input error", "Frames %d to %d are not all among the %d frames",
                              startFrame, endFrame, frameCount);
    return 0;
  }

  const std::string name = NameWithExtension(path, ".md2");
  bool created = false;
  std::FILE* file = std::fopen(name.c_str(), "r+b");
  if (!file) {
    // Only a missing file is created; one that exists but cannot be
    // written is left alone.
    if (std::FILE* existing = std::fopen(name.c_str(), "rb")) {
      std::fclose(existing);
      context.RecordErrorFormat("File Error", "Could not open %s for writing", name.c_str());
      return 0;
    }
    if (!CreateModelFile(path, scale)) return 0;
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
    context.RecordErrorFormat("File Error", "%s is too short for a model", name.c_str());
  } else if (header.numTriangles != faceCount || header.numVertices != vertexCount ||
             header.numFrames != frameCount) {
    context.RecordErrorFormat(
        "File Error",
        "%s has %d triangles, %d vertices and %d frames; the export has %d, %d and %d",
        name.c_str(), header.numTriangles, header.numVertices, header.numFrames, faceCount,
        vertexCount, frameCount);
  } else if (header.frameSize != frameSize || header.ofsFrames < kMd2HeaderSize ||
             header.ofsFrames + frameSize * frameCount > fileSize) {
    context.RecordErrorFormat("File Error", "The frames of %s do not lie inside the file",
                              name.c_str());
  } else {
    frameHeaders.reset(new (std::nothrow) Md2FrameHeader[writeCount > 0 ? writeCount : 1]);
    frameVertexBuffer.reset(
        new (std::nothrow) Md2Vertex[std::size_t(vertexCount) * (writeCount > 0 ? writeCount : 1)]);
    if (!frameHeaders || !frameVertexBuffer) {
      context.RecordError("Cannot get memory for the model frames", "Memory Error");
    } else {
      // Every frame is encoded before the first byte is written, so a frame
      // that cannot be encoded leaves the file as it was.
      result = 1;
      for (std::int32_t i = 0; result && i < writeCount; ++i) {
        const std::int32_t k = startFrame + i;
        const std::int64_t hostFrame = std::int64_t(firstFrame) + i;
        TimeValue time = 0;
        if (!HostFrameTime(hostFrame, &time)) {
          context.RecordErrorFormat("Input error", "Host frame %lld lies past the host's times",
                                    static_cast<long long>(hostFrame));
          result = 0;
        } else {
          result = EncodeModelFrame(time, scale, frameNames.names[k], &frameHeaders[i],
                                    &frameVertexBuffer[std::size_t(i) * vertexCount]);
        }
      }
      FreeFrameBuffers();
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
    if (!result) context.RecordErrorFormat("File Error", "Could not write %s", name.c_str());
  }
  if (std::fclose(file) != 0) result = 0;
  // A file made by this call is not left behind when the call fails.
  if (!result && created) std::remove(name.c_str());
  return result;
}
