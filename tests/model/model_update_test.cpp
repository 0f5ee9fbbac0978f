#include <gtest/gtest.h>

#include <cmath>
#include <cstring>
#include <limits>

#include "model_test_support.h"
#include "tests/support/file_size_limit.h"

using namespace model_test;

namespace {

const std::vector<std::string> kSixNames = {"f0", "f1", "f2", "f3", "f4", "f5"};
constexpr std::size_t kFrameSize = 40 + 4 * 8;  // a box: 8 vertices
constexpr std::size_t kOfsFrames = 68 + 24 * 12;

// A box that grows with the host frame; from host frame 20 on the mesh has
// one vertex more.
vexo::MeshData Pose(TimeValue t) {
  const int frame = t / 160;
  vexo::MeshData mesh = vexo::MakeBox(1.0f + frame, 2.0f, 3.0f + 0.5f * frame);
  if (frame >= 20) mesh.AddVertex(0, 0, 0);
  return mesh;
}

struct UpdateScene {
  vexo::MemoryHost host;
  std::unique_ptr<PreparedExport> e;
  std::string path;

  explicit UpdateScene(const std::string& name) {
    host.scene()
        .Root()
        .AddChild("box")
        .SetAnimatedMesh(Pose)
        .SetMaterial(vexo::BitmapMaterial("skin", "skin.bmp"))
        .Select();
    e = std::make_unique<PreparedExport>(host, kSixNames, 16, 16, 16, 16);
    path = FreshFolder(name) + "/box.md2";
  }
  int Save(std::int32_t start, std::int32_t end, std::uint32_t first, float scale) {
    return e->utility->SaveModelFrames(path.c_str(), start, end, first, scale);
  }
};

// Expects a and b to differ at most inside frames [first, last].
void ExpectOnlyFramesDiffer(const std::vector<std::uint8_t>& a, const std::vector<std::uint8_t>& b,
                            int first, int last) {
  ASSERT_EQ(a.size(), b.size());
  const std::size_t from = kOfsFrames + first * kFrameSize;
  const std::size_t to = kOfsFrames + (last + 1) * kFrameSize;
  for (std::size_t i = 0; i < a.size(); ++i) {
    if (i < from || i >= to) {
      ASSERT_EQ(a[i], b[i]) << "byte " << i << " outside the frames";
    }
  }
}

}  // namespace

TEST(ModelUpdate, OnlyTheChosenFramesChange) {
  UpdateScene s("update");
  ASSERT_TRUE(s.e->ok);
  ASSERT_EQ(s.Save(0, 5, 0, 1.0f), 1);
  const std::vector<std::uint8_t> created = ReadFileBytes(s.path);
  ASSERT_EQ(created.size(), kOfsFrames + 6 * kFrameSize + 40 * 12 + 4 + 131);

  // Model frames 2 and 3 from host frames 10 and 11, at Scale 2.
  ASSERT_EQ(s.Save(2, 3, 10, 2.0f), 1);
  const std::vector<std::uint8_t> updated = ReadFileBytes(s.path);
  ExpectOnlyFramesDiffer(created, updated, 2, 3);
  for (int k : {2, 3}) {
    const int hostFrame = 10 + (k - 2);
    const FileFrame frame = FrameOf(updated, k);
    EXPECT_EQ(frame.name, kSixNames[k]);
    // Turned and doubled: file x = -2y (extent 4), file y = 2x, file z = 2z.
    const float extent[3] = {4.0f, 2.0f * (1 + hostFrame), 2.0f * (3 + 0.5f * hostFrame)};
    for (int axis = 0; axis < 3; ++axis) {
      EXPECT_FLOAT_EQ(frame.translate[axis], -extent[axis] / 2) << k << " " << axis;
      EXPECT_FLOAT_EQ(frame.scale[axis], float(double(extent[axis]) * double(0.0040000002f)));
    }
  }
  // The frames left alone still hold host frames 0, 1, 4 and 5 at Scale 1.
  EXPECT_FLOAT_EQ(FrameOf(updated, 5).translate[1], -3.0f);

  // Scale 0, one frame: every axis collapses to step 0, translate 0, bytes 0.
  ASSERT_EQ(s.Save(4, 4, 0, 0.0f), 1);
  const std::vector<std::uint8_t> flattened = ReadFileBytes(s.path);
  ExpectOnlyFramesDiffer(updated, flattened, 4, 4);
  const FileFrame zero = FrameOf(flattened, 4);
  for (int axis = 0; axis < 3; ++axis) {
    EXPECT_EQ(zero.scale[axis], 0.0f);
    EXPECT_EQ(zero.translate[axis], 0.0f);
  }
  EXPECT_EQ(zero.vertexBytes, std::vector<std::uint8_t>(32, 0));
  ExpectAssimpReadsEveryFrame(s.path);

  // The ident is not looked at: a file whose counts fit is updated.
  std::vector<std::uint8_t> renamed = flattened;
  std::memcpy(renamed.data(), "XXXX", 4);
  WriteFileBytes(s.path, renamed);
  ASSERT_EQ(s.Save(1, 1, 7, 1.0f), 1);
  const std::vector<std::uint8_t> after = ReadFileBytes(s.path);
  ExpectOnlyFramesDiffer(renamed, after, 1, 1);
  EXPECT_FLOAT_EQ(FrameOf(after, 1).translate[1], -4.0f);
}

TEST(ModelUpdate, RefusalsLeaveTheFileByteIdentical) {
  UpdateScene s("refusals");
  ASSERT_TRUE(s.e->ok);
  ASSERT_EQ(s.Save(0, 5, 0, 1.0f), 1);
  const std::vector<std::uint8_t> good = ReadFileBytes(s.path);

  auto expectRefused = [&](std::vector<std::uint8_t> file, std::int32_t start, std::int32_t end,
                           std::uint32_t first, float scale, const char* what) {
    WriteFileBytes(s.path, file);
    EXPECT_EQ(s.Save(start, end, first, scale), 0) << what;
    EXPECT_EQ(ReadFileBytes(s.path), file) << what;
  };
  auto patched = [&](std::size_t offset, std::int32_t value) {
    std::vector<std::uint8_t> file = good;
    for (int i = 0; i < 4; ++i) file[offset + i] = std::uint8_t(std::uint32_t(value) >> (8 * i));
    return file;
  };

  expectRefused(std::vector<std::uint8_t>(good.begin(), good.begin() + 67), 0, 1, 0, 1,
                "short header");
  expectRefused(patched(32, 13), 0, 1, 0, 1, "one triangle more");
  expectRefused(patched(24, 7), 0, 1, 0, 1, "one vertex less");
  expectRefused(patched(40, 7), 0, 1, 0, 1, "another frame count");
  expectRefused(patched(16, int(kFrameSize) + 4), 0, 1, 0, 1, "frame size not 40 + 4V");
  expectRefused(patched(56, 0), 0, 1, 0, 1, "frames over the header");
  expectRefused(patched(56, 0x7FFFFFF0), 0, 1, 0, 1, "frames far past the end");
  expectRefused(
      std::vector<std::uint8_t>(good.begin(), good.begin() + kOfsFrames + 6 * kFrameSize - 1), 5, 5,
      0, 1, "last frame cut short");
  expectRefused(good, -1, 2, 0, 1, "start before frame 0");
  expectRefused(good, 4, 6, 0, 1, "end past the last frame");
  expectRefused(good, 6, 6, 0, 1, "start past the last frame");
  // Host frame 20 has a vertex more: frame 2 (host 19) is fine, frame 3 is
  // not, and neither is written.
  expectRefused(good, 2, 3, 19, 1, "vertex count changes");
  expectRefused(good, 2, 3, 0, std::numeric_limits<float>::quiet_NaN(), "scale not a number");
  expectRefused(good, 2, 3, 4000000000u, 1, "host time past the time range");

  // A disk that fills while the frames are written: the file is either the
  // old one or the new one, never old frames beside new ones.
  WriteFileBytes(s.path, good);
  {
    test_support::FileSizeLimit full(kOfsFrames + 4 * kFrameSize);
    ASSERT_TRUE(full.ok());
    EXPECT_EQ(s.Save(2, 5, 10, 2.0f), 0);
  }
  EXPECT_EQ(ReadFileBytes(s.path), good);
  EXPECT_FALSE(FileExists(s.path + ".part"));

  // The table of the scene has five names, the file six.
  WriteFileBytes(s.path, good);
  s.e->utility->frameNames.count = 5;
  EXPECT_EQ(s.Save(0, 1, 0, 1.0f), 0);
  EXPECT_EQ(ReadFileBytes(s.path), good);
  s.e->utility->frameNames.count = 6;

  // A new file whose update fails is removed, not left behind.
  std::remove(s.path.c_str());
  EXPECT_EQ(s.Save(2, 3, 19, 1.0f), 0);
  EXPECT_FALSE(FileExists(s.path));
  EXPECT_FALSE(FileExists(s.path + ".part"));
}
