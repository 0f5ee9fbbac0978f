// The vexo command as a user runs it: the built binary in a folder of its
// own, its exit code, what it prints and the files it leaves, read back by
// independent readers (assimp, Pillow, ImageMagick).
#include <gmock/gmock.h>
#include <gtest/gtest.h>
#include <sys/wait.h>

#include <cstdlib>
#include <filesystem>
#include <fstream>
#include <set>
#include <sstream>
#include <string>
#include <vector>

#include "standalone/module_loader.h"
#include "tests/support/assimp_md2_check.h"
#include "tests/support/bytes.h"
#include "tests/support/md2_file.h"
#include "tests/support/scratch_folder.h"
#include "tests/support/vexo_run.h"

namespace {

namespace fs = std::filesystem;
using ::testing::HasSubstr;
using ::testing::Not;
using test_support::FileExists;
using test_support::I32At;
using test_support::ReadFileBytes;

using test_support::FilesIn;
using test_support::Output;
using test_support::Result;
using test_support::Vexo;

// A model that only carries frame names: 3 vertices, no triangles.
void WriteFrameListModel(const std::string& path, const std::vector<std::string>& names) {
  test_support::Md2FrameListFile model;
  model.names = names;
  model.vertexCount = 3;
  ASSERT_TRUE(test_support::WriteFileBytes(path, model.Build())) << path;
}

std::vector<std::string> FrameNamesOf(const std::string& path) {
  const auto file = ReadFileBytes(path);
  std::vector<std::string> names;
  for (int f = 0; f < I32At(file, 40); ++f) names.push_back(test_support::Md2FrameOf(file, f).name);
  return names;
}

// The bytes of one frame in a model file.
std::vector<std::uint8_t> FrameBytes(const std::vector<std::uint8_t>& file, int frame) {
  const std::size_t size = std::size_t(I32At(file, 16));
  const std::size_t at = std::size_t(I32At(file, 56)) + size * std::size_t(frame);
  return std::vector<std::uint8_t>(file.begin() + long(at), file.begin() + long(at + size));
}

TEST(VexoCommand, DemoWritesAModelAndSkinsThatOtherReadersAccept) {
  const std::string folder = test_support::FreshFolder("cli_demo");
  const Result run = Vexo(folder, "demo -o out --preview");
  ASSERT_EQ(run.code, 0) << run.err;
  EXPECT_EQ(run.err, "");
  for (const char* name : {"out/tris.md2", "out/tris.bmp", "out/tris.pcx", "out/tris.png",
                           "out/demo_body.bmp", "out/demo_face.tga", "out/demo_flag.bmp"})
    EXPECT_TRUE(FileExists(folder + "/" + name)) << name;

  // What it printed is what the file holds.
  const std::string model = folder + "/out/tris.md2";
  const auto file = ReadFileBytes(model);
  const int skinWidth = I32At(file, 8);
  const int skinHeight = I32At(file, 12);
  EXPECT_THAT(run.out, HasSubstr("wrote out/tris.md2 (" + std::to_string(file.size()) +
                                 " bytes): 198 frames of " + std::to_string(I32At(file, 24)) +
                                 " vertices and " + std::to_string(I32At(file, 32)) +
                                 " triangles, skin " + std::to_string(skinWidth) + " x " +
                                 std::to_string(skinHeight)));
  EXPECT_EQ(FrameNamesOf(model).front(), "stand01");
  EXPECT_EQ(FrameNamesOf(model).back(), "death308");
  // A figure in motion: the frames differ from one another.
  std::set<std::vector<std::uint8_t>> distinct;
  for (int f = 0; f < 198; ++f) distinct.insert(FrameBytes(file, f));
  EXPECT_GT(distinct.size(), 150u);
  test_support::ExpectAssimpReadsEveryFrame(model);

  // Pillow and ImageMagick agree with the preview, which shows the PCX;
  // the BMP holds the same picture before the palette reduction.
  const std::string skins = Output(
      "cd '" + folder + "/out' && /usr/bin/python3 -c \"from PIL import Image\n"
      "b, p, n = (Image.open('tris.' + e).convert('RGB') for e in ('bmp', 'pcx', 'png'))\n"
      "d = sum(abs(x - y) for x, y in zip(b.tobytes(), p.tobytes())) / len(b.tobytes())\n"
      "print(b.size, p.size, n.size, p.tobytes() == n.tobytes(), d < 12)\"");
  const std::string size = "(" + std::to_string(skinWidth) + ", " + std::to_string(skinHeight) + ")";
  EXPECT_EQ(skins, size + " " + size + " " + size + " True True\n");
  EXPECT_EQ(Output("compare -metric AE '" + folder + "/out/tris.pcx' '" + folder +
                   "/out/tris.png' null: 2>&1"),
            "0");

  // An earlier model stays until the new one is complete: here the PCX
  // cannot take its name, and the export fails after the model.
  ASSERT_TRUE(test_support::WriteFileBytes(model, {'o', 'l', 'd'}));
  fs::remove(folder + "/out/tris.pcx");
  fs::create_directories(folder + "/out/tris.pcx/taken");
  const Result failed = Vexo(folder, "demo -o out");
  EXPECT_EQ(failed.code, 1) << failed.err;
  EXPECT_EQ(ReadFileBytes(model), (std::vector<std::uint8_t>{'o', 'l', 'd'}));
  for (const std::string& name : FilesIn(folder + "/out"))
    EXPECT_THAT(name, Not(HasSubstr(".vexo-demo"))) << "left behind";
}

TEST(VexoCommand, ExportOptionsReachThePanel) {
  const std::string folder = test_support::FreshFolder("cli_export");
  fs::create_directories(folder + "/skins");
  ASSERT_EQ(Vexo(folder, "export demo -o base.md2").code, 0);
  const auto base = ReadFileBytes(folder + "/base.md2");

  // By name and by number; First Frame 40 samples model frame k at host
  // frame k; Scale 0.5 halves every coordinate.
  ASSERT_TRUE(fs::copy_file(folder + "/base.md2", folder + "/named.md2"));
  ASSERT_TRUE(fs::copy_file(folder + "/base.md2", folder + "/numbered.md2"));
  const Result named = Vexo(folder, "export demo -o named.md2 --start run1 --end run6 "
                                 "--first-frame 40 --scale 0.5");
  ASSERT_EQ(named.code, 0) << named.err;
  EXPECT_THAT(named.out, HasSubstr("updated named.md2"));
  EXPECT_THAT(named.out, HasSubstr("frames 40-45 (run1 to run6) exported"));
  ASSERT_EQ(Vexo(folder, "export --demo -o numbered --start 40 --end 45 --first-frame 40 "
                         "--scale 5e-1").code,
            0);
  const auto updated = ReadFileBytes(folder + "/named.md2");
  EXPECT_EQ(updated, ReadFileBytes(folder + "/numbered.md2"));
  ASSERT_EQ(updated.size(), base.size());
  const int vertices = I32At(base, 24);
  for (int f = 0; f < 198; ++f) {
    if (f < 40 || f > 45) {
      EXPECT_EQ(FrameBytes(updated, f), FrameBytes(base, f)) << "frame " << f;
      continue;
    }
    const auto half = test_support::Md2FrameOf(updated, f);
    const auto whole = test_support::Md2FrameOf(base, f);
    for (int v = 0; v < vertices; ++v)
      for (int axis = 0; axis < 3; ++axis)
        EXPECT_NEAR(half.Position(v, axis), 0.5f * whole.Position(v, axis),
                    0.5f * (half.scale[axis] + whole.scale[axis]))
            << "frame " << f << " vertex " << v;
  }

  // Start 100 from host frame 0: model frame 100 is the scene's first.
  ASSERT_EQ(Vexo(folder, "export demo -o base.md2 --start taunt06 --end taunt06").code, 0);
  const auto moved = ReadFileBytes(folder + "/base.md2");
  auto first = FrameBytes(base, 0);
  auto hundred = FrameBytes(moved, 100);
  std::fill(first.begin() + 24, first.begin() + 40, 0);  // the names differ
  std::fill(hundred.begin() + 24, hundred.begin() + 40, 0);
  EXPECT_EQ(hundred, first);

  // The plug-in judges a model it updates by its counts, not its first
  // bytes; vexo takes its success as one.
  auto renamed = moved;
  std::copy_n("XXXX", 4, renamed.begin());
  ASSERT_TRUE(test_support::WriteFileBytes(folder + "/renamed.md2", renamed));
  const Result foreign = Vexo(folder, "export demo -o renamed.md2 --start 3 --end 3");
  EXPECT_EQ(foreign.code, 0) << foreign.err;
  EXPECT_THAT(foreign.out, HasSubstr("updated renamed.md2"));

  // Skin names are cut at their first dot; by default the skin lies beside
  // the model.
  ASSERT_EQ(Vexo(folder, "export demo -o skins/m.md2 --pcx").code, 0);
  EXPECT_TRUE(FileExists(folder + "/skins/tris.pcx"));
  ASSERT_EQ(Vexo(folder, "export demo -o m2.md2 --skin skins/hero.tga --bmp --pcx").code, 0);
  EXPECT_TRUE(FileExists(folder + "/skins/hero.bmp"));
  EXPECT_TRUE(FileExists(folder + "/skins/hero.pcx"));
  EXPECT_FALSE(FileExists(folder + "/tris.bmp"));
}

TEST(VexoCommand, RefusedOptionsAndFailuresWriteNothing) {
  const std::string folder = test_support::FreshFolder("cli_refused");
  ASSERT_EQ(Vexo(folder, "export demo -o m.md2 --pcx").code, 0);
  WriteFrameListModel(folder + "/four.md2", {"walk1", "walk2", "idle", "attack"});
  const auto model = ReadFileBytes(folder + "/m.md2");
  const auto before = FilesIn(folder);

  const std::string counts = std::to_string(I32At(model, 32)) + " triangles, " +
                             std::to_string(I32At(model, 24)) + " vertices";
  const std::string mismatch =
      "File Error: Cannot save model.\n"
      "            (Is existing model of same vertex and face count?)\n"
      "  detail: File Error: m.md2 has " + counts + " and 198 frames; the export has " +
      std::to_string(I32At(model, 32)) + ", " + std::to_string(I32At(model, 24)) + " and 4\n";
  struct Case {
    const char* args;
    int code;
    const char* message;
  };
  const Case cases[] = {
      {"export demo -o m.md2 --scale abc", 2, "--scale: \"abc\" is not a decimal number"},
      {"export demo -o m.md2 --scale 1e40", 2, "not a finite 32-bit number"},
      {"export demo -o m.md2 --scale 0x2", 2, "is not a decimal number"},
      {"export demo -o m.md2 --scale ' 2'", 2, "is not a decimal number"},
      {"export demo -o m.md2 --first-frame -3", 2, "\"-3\" is not a frame number"},
      {"export demo -o m.md2 --first-frame 4294967296", 2, "beyond the largest frame number"},
      {"export demo -o m.md2 --first-frame 13421700 --start 0 --end 197", 2,
       "host frame 13421897 lies beyond the host's time line"},
      {"export demo -o m.md2 --start run7", 2, "--start: no frame is named \"run7\""},
      {"export demo -o m.md2 --end 198", 2, "--end: frame 198 is out of range"},
      {"export demo -o m.md2 --frames-from four.md2 --end run1", 2, "no frame is named \"run1\""},
      {"export demo -o m.md2 --frames-from missing.md2", 2, "there is no model missing.md2"},
      {"export demo -o nowhere/m.md2", 2, "the folder nowhere does not exist"},
      {"export demo -o m.md2 --preview", 2, "add --bmp or --pcx"},
      {"export demo -o m.md2 --pcx --skin .pcx", 2, "gives the skin files no name"},
      {"export demo -o .md2", 2, "gives the model file no name"},
      {"export scene.glb -o m.md2", 2, "cannot open scene.glb: no such file"},
      {"export demo", 2, "-o MODEL names the model to write"},
      {"export demo -o m.md2 --no-such-option", 2, "--no-such-option"},
      {"frames missing.md2", 2, "there is no model missing.md2"},
      // Failures the panel shows, with what the plug-in recorded.
      {"export demo -o m.md2 --start 10 --end 9 --pcx", 1,
       "Input error: Last frame must be greater than first frame\n"},
      {"export demo -o m.md2 --frames-from four.md2 --pcx", 1, mismatch.c_str()},
      {"--plugin /etc/hostname demo -o out", 1, "cannot load /etc/hostname as a module"},
  };
  for (const Case& c : cases) {
    const Result run = Vexo(folder, c.args);
    EXPECT_EQ(run.code, c.code) << c.args << "\n" << run.err;
    EXPECT_THAT(run.err, HasSubstr(c.message)) << c.args;
    EXPECT_EQ(FilesIn(folder), before) << c.args;
  }
  EXPECT_EQ(ReadFileBytes(folder + "/m.md2"), model);
}

TEST(VexoCommand, FrameListsFromTheDefaultsAndFromModels) {
  const std::string folder = test_support::FreshFolder("cli_frames");
  const Result defaults = Vexo(folder, "frames");
  ASSERT_EQ(defaults.code, 0) << defaults.err;
  EXPECT_THAT(defaults.out, HasSubstr("  0  stand01\n"));
  EXPECT_THAT(defaults.out, HasSubstr(" 40  run1\n"));
  EXPECT_THAT(defaults.out, HasSubstr("197  death308\n"));
  EXPECT_EQ(std::count(defaults.out.begin(), defaults.out.end(), '\n'), 198);

  WriteFrameListModel(folder + "/four.md2", {"walk1", "walk2", "idle", "attack"});
  // The plug-in reads the name up to its first dot, with .md2.
  const Result four = Vexo(folder, "frames four.pcx");
  ASSERT_EQ(four.code, 0) << four.err;
  EXPECT_EQ(four.out, "  0  walk1\n  1  walk2\n  2  idle\n  3  attack\n");

  std::ofstream(folder + "/bad.md2") << "IDPO and then nothing";
  const Result bad = Vexo(folder, "frames bad.md2");
  EXPECT_EQ(bad.code, 1);
  EXPECT_EQ(bad.err, "File Error: Cannot load new frame list\n");
  EXPECT_EQ(bad.out, "");

  // A new model takes the imported names; Start by name in that list.
  const Result imported =
      Vexo(folder, "export demo -o new.md2 --frames-from four.md2 --start idle --end attack");
  ASSERT_EQ(imported.code, 0) << imported.err;
  EXPECT_EQ(FrameNamesOf(folder + "/new.md2"),
            (std::vector<std::string>{"walk1", "walk2", "idle", "attack"}));
  EXPECT_THAT(imported.out, HasSubstr("frames 2-3 (idle to attack) exported"));
  const Result listed = Vexo(folder, "frames new");
  EXPECT_EQ(listed.out, four.out);

  // Names read from a model reach the terminal escaped: here an escape
  // sequence, a line break and bytes that are not UTF-8.
  WriteFrameListModel(folder + "/evil.md2", {"\x1b[31mred", "two\nlines", "\xff\xfe", "caf\xc3\xa9"});
  const Result evil = Vexo(folder, "frames evil.md2");
  ASSERT_EQ(evil.code, 0) << evil.err;
  EXPECT_EQ(evil.out, "  0  \\x1B[31mred\n  1  two\\x0Alines\n  2  \\xFF\\xFE\n  3  caf\xc3\xa9\n");
  const Result summary = Vexo(folder, "export demo -o evil-new.md2 --frames-from evil.md2");
  ASSERT_EQ(summary.code, 0) << summary.err;
  EXPECT_THAT(summary.out, HasSubstr("(\\x1B[31mred to caf\xc3\xa9) exported"));
  for (const char* args : {"check evil-new.md2", "check evil-new.md2 --json"}) {
    const Result checked = Vexo(folder, args);
    EXPECT_NE(checked.code, -1) << args;
    EXPECT_EQ(checked.out.find_first_of("\x1b\xff"), std::string::npos) << args;
  }
}

TEST(VexoCommand, ProgressOnlyOnATerminal) {
  const std::string folder = test_support::FreshFolder("cli_progress");
  // script runs vexo on a pseudo-terminal: a new model is filled with every
  // frame first, then the chosen ones are written again, unless they come
  // from the very host frames that filled them.
  const auto onTerminal = [&folder](const std::string& args) {
    return Output("cd '" + folder + "' && rm -f t.md2 && script -qec \"'" VEXO_BIN_DIR
                  "/vexo' export demo -o t.md2 " + args + "\" /dev/null");
  };
  const std::string shown = onTerminal("--end 9 --first-frame 5");
  EXPECT_THAT(shown, HasSubstr("\rwriting frames: 1 of 208"));
  EXPECT_THAT(shown, HasSubstr("\rwriting frames: 208 of 208\r\033[K"));
  EXPECT_THAT(shown, HasSubstr("wrote t.md2"));
  EXPECT_THAT(onTerminal("--end 9"), HasSubstr("\rwriting frames: 198 of 198\r\033[K"));
  const Result quiet = Vexo(folder, "export demo -o t.md2 --end 9");
  EXPECT_EQ(quiet.code, 0);
  EXPECT_THAT(quiet.err, Not(HasSubstr("writing frames")));
}

TEST(VexoCommand, OtherModulesAndTheVersion) {
  const std::string folder = test_support::FreshFolder("cli_modules");
  const vexo::PluginModule release4(VEXO_BIN_DIR "/Dorvane.dlu");
  const Result version = Vexo(folder, "--version");
  EXPECT_EQ(version.code, 0);
  EXPECT_THAT(version.out, HasSubstr(std::string("\n") + release4.Description() + "\n"));
  EXPECT_THAT(version.out, HasSubstr("Dorvane.dlu (for host release 4)"));

  const std::string release3 = VEXO_BIN_DIR "/release3/Dorvane.dlu";
  const Result older = Vexo(folder, "--plugin '" + release3 + "' --version");
  EXPECT_THAT(older.out, HasSubstr("(for host release 3)"));
  ASSERT_EQ(Vexo(folder, "demo -o r4").code, 0);
  const Result demo = Vexo(folder, "demo -o r3 --plugin '" + release3 + "'");
  ASSERT_EQ(demo.code, 0) << demo.err;
  EXPECT_EQ(ReadFileBytes(folder + "/r3/tris.md2"), ReadFileBytes(folder + "/r4/tris.md2"));
  EXPECT_EQ(ReadFileBytes(folder + "/r3/tris.pcx"), ReadFileBytes(folder + "/r4/tris.pcx"));

  // Release 2 reads every texture as a BMP, so the demo's TGA stops it;
  // it keeps no record of why.
  const Result release2 =
      Vexo(folder, "demo -o r2 --plugin '" VEXO_BIN_DIR "/release2/Dorvane.dlu'");
  EXPECT_EQ(release2.code, 1);
  EXPECT_EQ(release2.err, "Scene Error: Cannot load all Textures...\n"
                          "             Are they all .BMP?\n");
  EXPECT_FALSE(FileExists(folder + "/r2/tris.md2"));
}

}  // namespace
