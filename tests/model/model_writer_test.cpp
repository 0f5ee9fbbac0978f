// The model writer as a plain function: frames built by hand, no host, no
// utility object; the file read back by the independent reader.
#include <gtest/gtest.h>

#include <vector>

#include "errors/error_record.h"
#include "model/create_model_file.h"
#include "model/save_model_frames.h"
#include "tests/support/bytes.h"
#include "tests/support/md2_file.h"
#include "tests/support/scratch_folder.h"
#include "texture/skin/skin_texture.h"

namespace {

// Frames by host time: a triangle whose x extent is 10 + the frame number;
// times it has no frame for fail.
class HandBuiltFrames : public FrameSource {
 public:
  int SampleFrame(TimeValue time, const SampledVertex** vertices, std::int32_t* count) override {
    if (time % 160 != 0 || time / 160 >= lastFrame + 1) return 0;
    frame_.assign(3, SampledVertex());
    frame_[1].position = Point3{10.0f + float(time / 160), 0, 0};
    frame_[2].position = Point3{0, 4, 2};
    *vertices = frame_.data();
    *count = 3;
    return 1;
  }
  int lastFrame = 2;

 private:
  std::vector<SampledVertex> frame_;
};

TEST(ModelWriter, WritesHandBuiltFramesWithoutAHostAndNothingWhenAFrameIsMissing) {
  SkinTexture texture;
  texture.image.info.width = 16;
  texture.image.info.height = 16;
  SampledFace face;
  face.a = 0, face.b = 1, face.c = 2;
  face.u[1] = 1.0f, face.v[2] = 1.0f;
  face.texture = &texture;
  const char names[3][16] = {"first", "second", "third"};
  ModelInput input;
  input.faces = &face;
  input.faceCount = 1;
  input.vertexCount = 3;
  input.skinWidth = 16;
  input.skinHeight = 16;
  input.frameNames = names;
  input.frameCount = 3;

  const std::string path = test_support::FreshFolder("model_writer") + "/hand.md2";
  HandBuiltFrames frames;
  ErrorRecord errors;
  ASSERT_EQ(CreateModelFile(path, input, 2.0f, frames, errors), 1) << errors.errorText;
  test_support::Md2File model;
  std::string error;
  ASSERT_TRUE(test_support::ParseMd2(test_support::ReadFileBytes(path), &model, &error)) << error;
  ASSERT_EQ(model.numFrames, 3);
  for (int k = 0; k < 3; ++k) {
    const test_support::Md2FileFrame& frame = model.frames[k];
    EXPECT_EQ(frame.name, names[k]);
    // Vertex 1 at x = 10 + k, turned to the file's y and doubled; within
    // one step, since positions are truncated.
    EXPECT_NEAR(frame.Position(1, 1), 2.0f * (10 + k), 1.01f * frame.scale[1]) << k;
  }
  EXPECT_EQ(model.texCoords[1].s, 16);  // corner 1 at u = 1 of a 16-pixel skin

  // Frames 1 and 2 again from host frames 0 and 1, at scale 1.
  ASSERT_EQ(SaveModelFrames(path, input, 1, 2, 0, 1.0f, frames, errors), 1);
  ASSERT_TRUE(test_support::ParseMd2(test_support::ReadFileBytes(path), &model, &error)) << error;
  EXPECT_NEAR(model.frames[1].Position(1, 1), 10.0f, 1.01f * model.frames[1].scale[1]);
  EXPECT_NEAR(model.frames[2].Position(1, 1), 11.0f, 1.01f * model.frames[2].scale[1]);

  // A new file whose last frame cannot be had is not written at all.
  frames.lastFrame = 1;
  const std::string missing = test_support::FreshFolder("model_writer_missing") + "/hand.md2";
  EXPECT_EQ(CreateModelFile(missing, input, 1.0f, frames, errors), 0);
  EXPECT_FALSE(test_support::FileExists(missing));
  EXPECT_FALSE(test_support::FileExists(missing + ".part"));
}

}  // namespace
