// The command's own parts: the option checks that stand between the user
// and the panel's silent conversions, and the readers of the files it
// reports on, fed damaged files.
#include <gmock/gmock.h>
#include <gtest/gtest.h>

#include <cstdio>
#include <cstring>
#include <functional>
#include <tuple>
#include <filesystem>
#include <fstream>
#include <string>
#include <vector>

#include "standalone/cli/option_checks.h"
#include "standalone/cli/panel_session.h"
#include "standalone/cli/printable_text.h"
#include "standalone/cli/reporter.h"
#include "standalone/cli/written_files.h"
#include "standalone/scene_building.h"
#include "tests/support/bytes.h"
#include "tests/support/md2_file.h"
#include "tests/support/scratch_folder.h"

namespace {

using vexo::cli::UsageError;

std::string Refusal(const std::function<void()>& check) {
  try {
    check();
  } catch (const UsageError& e) {
    return e.what();
  }
  return "";
}

// What a reader of written files refuses a file for; empty when it reads it.
std::string ReadFailure(const std::function<void()>& read) {
  try {
    read();
  } catch (const vexo::Error& e) {
    return e.what();
  }
  return "";
}

TEST(CliOptionChecks, NumbersThatThePanelWouldTurnIntoZeroAreRefused) {
  using vexo::cli::CheckHostFrame;
  using vexo::cli::CheckScale;
  EXPECT_EQ(CheckScale("0.5"), 0.5f);
  EXPECT_EQ(CheckScale("-2"), -2.0f);
  EXPECT_EQ(CheckScale("1e-2"), 0.01f);
  EXPECT_EQ(CheckScale("0"), 0.0f);
  // Decimal numbers only, as the panel reads them.
  for (const char* text : {"", "x", "1,5", "1.5x", " 2", "\t2", "2 ", "0x2", "inf", "-inf", "nan",
                           "1e", "."})
    EXPECT_THAT(Refusal([&] { CheckScale(text); }), ::testing::HasSubstr("is not a decimal number"))
        << '"' << text << '"';
  for (const char* text : {"1e39", "-3.5e38"})
    EXPECT_THAT(Refusal([&] { CheckScale(text); }), ::testing::HasSubstr("not a finite"))
        << text;
  // Not zero, but zero once it is a 32-bit float.
  EXPECT_THAT(Refusal([] { CheckScale("1e-50"); }), ::testing::HasSubstr("too small"));
  EXPECT_THAT(Refusal([] { CheckScale(std::string(256, '1')); }),
              ::testing::HasSubstr("at most 255"));

  EXPECT_EQ(CheckHostFrame("--first-frame", "0"), 0u);
  EXPECT_EQ(CheckHostFrame("--first-frame", "4294967295"), 4294967295u);
  for (const char* text : {"", "-1", "+1", "1.0", "0x10", " 1"})
    EXPECT_NE(Refusal([&] { CheckHostFrame("--first-frame", text); }), "") << text;
  EXPECT_THAT(Refusal([] { CheckHostFrame("--first-frame", "99999999999999999999999"); }),
              ::testing::HasSubstr("beyond the largest frame number"));

  // The last sampled frame's time must fit the host's 32-bit ticks.
  vexo::cli::CheckFrameTimes(13421772 - 197, 0, 197, 160);
  EXPECT_THAT(Refusal([] { vexo::cli::CheckFrameTimes(13421772 - 196, 0, 197, 160); }),
              ::testing::HasSubstr("host frame 13421773 lies beyond"));
  vexo::cli::CheckFrameTimes(UINT32_MAX, 5, 4, 160);  // order is the panel's to report
}

TEST(CliOptionChecks, FramesByNameFirstThenByNumber) {
  using vexo::cli::ResolveFrame;
  const std::vector<std::string> names = {"stand01", "7", "run1", "run1", "x"};
  EXPECT_EQ(ResolveFrame("--start", "run1", names), 2);  // the first line of that name
  EXPECT_EQ(ResolveFrame("--start", "7", names), 1);     // a name, though a number too
  EXPECT_EQ(ResolveFrame("--start", "4", names), 4);
  EXPECT_EQ(ResolveFrame("--start", "0", names), 0);
  EXPECT_THAT(Refusal([&] { ResolveFrame("--end", "5", names); }),
              ::testing::HasSubstr("--end: frame 5 is out of range: the frame list has lines 0 to 4"));
  EXPECT_THAT(Refusal([&] { ResolveFrame("--end", "99999999999", names); }),
              ::testing::HasSubstr("out of range"));
  EXPECT_THAT(Refusal([&] { ResolveFrame("--end", "-1", names); }),
              ::testing::HasSubstr("no frame is named \"-1\""));
  EXPECT_THAT(Refusal([&] { ResolveFrame("--end", "Run1", names); }),
              ::testing::HasSubstr("no frame is named"));
}

TEST(CliReporter, MessageBoxesKeepTheirLinesReadableAndNamesCannotSteerTheTerminal) {
  using vexo::cli::PrintableText;
  EXPECT_EQ(PrintableText("run1"), "run1");
  EXPECT_EQ(PrintableText(std::string("\x1b[2J\0\x7f", 6)), "\\x1B[2J\\x00\\x7F");
  EXPECT_EQ(PrintableText("two\nlines\r"), "two\\x0Alines\\x0D");
  EXPECT_EQ(PrintableText("two\nlines", true), "two\nlines");
  // UTF-8 passes; bytes that are not UTF-8 (cut, overlong, surrogate) do not.
  EXPECT_EQ(PrintableText("caf\xc3\xa9 \xe6\x97\xa5"), "caf\xc3\xa9 \xe6\x97\xa5");
  EXPECT_EQ(PrintableText("\xff\xc3"), "\\xFF\\xC3");
  EXPECT_EQ(PrintableText("\xc0\xaf\xed\xa0\x80"), "\\xC0\\xAF\\xED\\xA0\\x80");
  // C1 controls (CSI) and right-to-left overrides are escaped as code points.
  EXPECT_EQ(PrintableText("\xc2\x9b" "2J \xe2\x80\xae" "evil"), "\\u009B2J \\u202Eevil");

  std::FILE* out = std::tmpfile();
  ASSERT_NE(out, nullptr);
  vexo::cli::Reporter reporter(out);
  reporter.PanelMessage("Scene Error", "Nothing to save. \n(Are all objects to save selected and mapped?)");
  reporter.Detail("File Error: Could not load a.bmp");
  reporter.Error("Could not load \x1b]0;owned\x07.bmp");
  reporter.BeginProgress("writing frames", 3);
  reporter.Step();  // not a terminal: nothing shown
  reporter.EndProgress();
  std::rewind(out);
  std::string text;
  for (int c; (c = std::fgetc(out)) != EOF;) text += char(c);
  std::fclose(out);
  EXPECT_EQ(text,
            "Scene Error: Nothing to save.\n"
            "             (Are all objects to save selected and mapped?)\n"
            "  detail: File Error: Could not load a.bmp\n"
            "vexo: Could not load \\x1B]0;owned\\x07.bmp\n");
}

class CliWrittenFiles : public ::testing::Test {
 protected:
  std::string Write(const std::string& name, const std::vector<std::uint8_t>& bytes) {
    const std::string path = ::testing::TempDir() + "/cli_parts_" + name;
    EXPECT_TRUE(test_support::WriteFileBytes(path, bytes)) << path;
    return path;
  }
};

// A 3 x 2 PCX whose pixels are palette indices 1, 2, 3 / 4, 4, 4 (the second
// row as one run), with a one-byte pad per line.
std::vector<std::uint8_t> SmallPcx() {
  std::vector<std::uint8_t> bytes(128, 0);
  bytes[0] = 10;
  bytes[1] = 5;
  bytes[2] = 1;
  bytes[3] = 8;
  bytes[8] = 2;  // xmax
  bytes[10] = 1;  // ymax
  bytes[65] = 1;
  bytes[66] = 4;  // bytes per line
  for (std::uint8_t b : {1, 2, 3, 0, 0xC3, 4, 0}) bytes.push_back(b);
  bytes.push_back(12);
  for (int i = 0; i < 256; ++i) bytes.insert(bytes.end(), {std::uint8_t(i), std::uint8_t(2 * i), 7});
  return bytes;
}

TEST_F(CliWrittenFiles, SkinsDecodeAndDamagedOnesAreRefused) {
  const vexo::RgbImage picture = vexo::cli::ReadSkin(Write("small.pcx", SmallPcx()));
  EXPECT_EQ(picture.width, 3);
  EXPECT_EQ(picture.height, 2);
  EXPECT_EQ(picture.pixels, (std::vector<std::uint8_t>{1, 2, 7, 2, 4, 7, 3, 6, 7,  //
                                                     4, 8, 7, 4, 8, 7, 4, 8, 7}));

  auto runPastEnd = SmallPcx();
  runPastEnd[132] = 0xC9;  // a run of 9 where 5 bytes are left
  auto cutShort = SmallPcx();
  cutShort.erase(cutShort.begin() + 130, cutShort.begin() + 135);
  auto noPalette = SmallPcx();
  noPalette[noPalette.size() - 769] = 0;
  auto fourBit = SmallPcx();
  fourBit[3] = 4;
  for (const auto& [name, bytes, why] :
       {std::tuple{"run.pcx", runPastEnd, "past the picture's end"},
        std::tuple{"cut.pcx", cutShort, "ends early"},
        std::tuple{"nopal.pcx", noPalette, "no 256-colour palette"},
        std::tuple{"four.pcx", fourBit, "not an 8-bit"},
        std::tuple{"tiny.pcx", std::vector<std::uint8_t>(200, 10), "too short"}}) {
    const std::string path = Write(name, bytes);
    EXPECT_THAT(ReadFailure([&] { vexo::cli::ReadSkin(path); }), ::testing::HasSubstr(why)) << name;
  }
  const std::string bad = Write("bad.bmp", {'B', 'M', 1, 2});
  EXPECT_THAT(ReadFailure([&] { vexo::cli::ReadSkin(bad); }), ::testing::HasSubstr(bad));
}

TEST_F(CliWrittenFiles, ModelSummariesCheckThatFramesLieInsideTheFile) {
  // Two frames of one vertex, 44 bytes each; the second name fills its
  // 16 bytes, without a terminating zero.
  test_support::Md2FrameListFile list;
  list.names = {"first", "second_name_long"};
  list.skinWidth = 16;
  const std::vector<std::uint8_t> model = list.Build();
  const vexo::cli::ModelSummary summary = vexo::cli::ReadModelSummary(Write("ok.md2", model));
  EXPECT_EQ(summary.frameNames, (std::vector<std::string>{"first", "second_name_long"}));
  EXPECT_EQ(summary.skinWidth, 16);

  auto shortFile = model;
  shortFile.resize(model.size() - 1);
  auto hugeCount = model;
  hugeCount[40] = 0xFF;
  hugeCount[43] = 0x7F;
  auto negativeOffset = model;
  negativeOffset[59] = 0x80;
  for (const auto& [name, bytes] : {std::pair{"short.md2", shortFile}, {"count.md2", hugeCount},
                                    {"offset.md2", negativeOffset}}) {
    const std::string path = Write(name, bytes);
    EXPECT_THAT(ReadFailure([&] { vexo::cli::ReadModelSummary(path); }),
                ::testing::HasSubstr("do not lie inside the file"))
        << name;
  }
  // The plug-in updates a file whose counts fit, whatever its first bytes.
  auto wrongIdent = model;
  wrongIdent[3] = 'O';
  EXPECT_NO_THROW(vexo::cli::ReadModelSummary(Write("ident.md2", wrongIdent)));
}

}  // namespace

namespace {

// A texture the plug-in refuses: the panel's message is followed by what
// the module recorded and why its loader refused the file.
TEST(CliPanelSession, TheDetailLineCarriesTheLoadersReason) {
  const std::string folder = test_support::FreshFolder("cli_reason");
  test_support::ByteBuilder rle;  // an 8-bit BMP whose header says RLE8
  rle.U8s({'B', 'M'}).U32(1078 + 4).U32(0).U32(1078).U32(40).I32(1).I32(1).U16(1).U16(8);
  rle.U32(1).Fill(20).Fill(1024).U8s({1, 0, 0, 1});
  ASSERT_TRUE(test_support::WriteFileBytes(folder + "/rle.bmp", rle.data));
  vexo::MemoryScene scene;
  scene.Root()
      .AddChild("quad")
      .SetMesh(vexo::MakeQuad())
      .SetMaterial(vexo::BitmapMaterial("m", folder + "/rle.bmp"))
      .Select();

  std::FILE* out = std::tmpfile();
  ASSERT_NE(out, nullptr);
  {
    vexo::cli::Reporter reporter(out);
    vexo::cli::PanelSession session(std::move(scene), VEXO_BIN_DIR "/Dorvane.dlu", reporter);
    EXPECT_TRUE(session.SaveModel(folder + "/quad.md2").failed);
  }
  std::rewind(out);
  std::string text;
  for (int c; (c = std::fgetc(out)) != EOF;) text += char(c);
  std::fclose(out);
  EXPECT_THAT(text, ::testing::HasSubstr("  detail: File Error: Could not load " + folder +
                                         "/rle.bmp: compressed BMP is not read\n"));
}

}  // namespace
