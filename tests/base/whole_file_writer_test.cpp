// The write-whole-or-nothing file that models and skins are written with.
#include "base/whole_file_writer.h"

#include <gtest/gtest.h>

#include "base/file_names.h"

#include <filesystem>

#include "tests/support/bytes.h"
#include "tests/support/file_size_limit.h"
#include "tests/support/scratch_folder.h"

namespace {

using test_support::Bytes;
using test_support::FileExists;
using test_support::ReadFileBytes;

WholeFileWriter::Result WriteBytes(const std::string& path, std::size_t count) {
  WholeFileWriter file(path);
  for (std::size_t i = 0; i < count; ++i) file.out().U8(static_cast<std::uint8_t>(i));
  return file.Finish();
}

TEST(WholeFileWriter, AFailedWriteLeavesTheEarlierFileAndNoTemporaryFile) {
  const std::string folder = test_support::FreshFolder("whole_file");
  const std::string path = folder + "/skin.pcx";
  ASSERT_TRUE(test_support::WriteFileBytes(path, {'g', 'o', 'o', 'd'}));

  // Files may grow to 60 bytes only: the new file cannot be completed.
  {
    test_support::FileSizeLimit limit(60);
    ASSERT_TRUE(limit.ok());
    EXPECT_EQ(WriteBytes(path, 100000), WholeFileWriter::kNotWritten);
  }
  EXPECT_EQ(ReadFileBytes(path), (Bytes{'g', 'o', 'o', 'd'}));
  EXPECT_FALSE(FileExists(path + ".part"));

  // A file never finished is not left behind either.
  { WholeFileWriter abandoned(path); abandoned.out().U32(7); }
  EXPECT_EQ(ReadFileBytes(path), (Bytes{'g', 'o', 'o', 'd'}));
  EXPECT_FALSE(FileExists(path + ".part"));

  // A finished file replaces the earlier one.
  EXPECT_EQ(WriteBytes(path, 3), WholeFileWriter::kWritten);
  EXPECT_EQ(ReadFileBytes(path), (Bytes{0, 1, 2}));

  // The name taken by a folder that is not empty: written, but not moved.
  std::filesystem::create_directories(folder + "/taken.pcx/inside");
  EXPECT_EQ(WriteBytes(folder + "/taken.pcx", 3), WholeFileWriter::kNotMoved);
  EXPECT_FALSE(FileExists(folder + "/taken.pcx.part"));
  EXPECT_EQ(WriteBytes(folder + "/no/such/folder.pcx", 3), WholeFileWriter::kNotWritten);

  // Names up to the file systems' longest (255 bytes) are written too: the
  // temporary name gives up the end of the name, not the file.
  for (std::size_t length : {250, 251, 255}) {
    const std::string name = folder + "/" + std::string(length - 4, 'n') + ".md2";
    EXPECT_EQ(WriteBytes(name, 3), WholeFileWriter::kWritten) << length;
    EXPECT_EQ(ReadFileBytes(name), (Bytes{0, 1, 2})) << length;
  }
  EXPECT_EQ(std::filesystem::path(TemporaryFileName(folder + "/" + std::string(255, 'n')))
                .filename()
                .string(),
            std::string(250, 'n') + ".part");
}

}  // namespace
