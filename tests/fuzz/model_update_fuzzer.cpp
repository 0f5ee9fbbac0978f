// The in-place frame update on untrusted model files. The input is the
// existing model; the update asks for frames 1 and 2 of a one-triangle mesh
// of four frames. Whatever the file holds, the update either succeeds or
// leaves the file byte for byte as it was.
#include <cstdio>
#include <cstdlib>
#include <cstring>
#include <fstream>
#include <iterator>
#include <vector>

#include "errors/error_record.h"
#include "fuzz_input_file.h"
#include "model/save_model_frames.h"
#include "texture/skin/skin_texture.h"

namespace {

// Frames of a triangle that grows with the host frame.
class GrowingTriangle : public FrameSource {
 public:
  int SampleFrame(TimeValue time, const SampledVertex** vertices, std::int32_t* count) override {
    frame_.assign(3, SampledVertex());
    frame_[1].position = Point3{1.0f + float(time / 160), 0, 0};
    frame_[2].position = Point3{0, 4, 2};
    *vertices = frame_.data();
    *count = 3;
    return 1;
  }

 private:
  std::vector<SampledVertex> frame_;
};

std::vector<std::uint8_t> FileBytes(const std::string& path) {
  std::ifstream in(path, std::ios::binary);
  return std::vector<std::uint8_t>((std::istreambuf_iterator<char>(in)),
                                   std::istreambuf_iterator<char>());
}

}  // namespace

extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t* data, std::size_t size) {
  static SkinTexture texture = [] {
    SkinTexture t;
    t.image.info.width = t.image.info.height = 16;
    return t;
  }();
  SampledFace face;
  face.a = 0, face.b = 1, face.c = 2;
  face.u[1] = 1.0f, face.v[2] = 1.0f;
  face.texture = &texture;
  static const char names[4][16] = {"stand01", "stand02", "run01", "run02"};
  ModelInput input;
  input.faces = &face;
  input.faceCount = 1;
  input.vertexCount = 3;
  input.skinWidth = input.skinHeight = 16;
  input.frameNames = names;
  input.frameCount = 4;

  const std::string path = fuzz::WriteInputFile("existing.md2", data, size);
  GrowingTriangle frames;
  ErrorRecord errors;
  if (SaveModelFrames(path, input, 1, 2, 5, 1.0f, frames, errors) == 1) return 0;
  const std::vector<std::uint8_t> after = FileBytes(path);
  if (after.size() != size || (size && std::memcmp(after.data(), data, size) != 0)) {
    std::fprintf(stderr, "a failed update (%s) changed the model file\n", errors.errorText);
    std::abort();
  }
  return 0;
}
