// The resource script as the stand-in registered it, against what the
// Windows resource compiler makes of the same script, and the stand-in's
// resource compiler refusing what it cannot read.
#include <gtest/gtest.h>
#include <unistd.h>

#include <cctype>
#include <cstdio>
#include <cstdlib>
#include <filesystem>
#include <fstream>
#include <map>
#include <string>
#include <vector>

#include "plugin/module_instance.h"
#include "tests/support/bytes.h"
#include "vexo_win32_host.h"

namespace {

namespace fs = std::filesystem;
namespace win32 = vexo::win32;

std::vector<std::uint8_t> ReadBytes(const fs::path& path) {
  return test_support::ReadFileBytes(path.string());
}

// A compiled resource file (.res), read field by field.
class ResReader {
 public:
  explicit ResReader(const std::vector<std::uint8_t>& bytes) : b_(bytes) {}
  std::uint16_t U16(std::size_t& at) const {
    at += 2;
    return test_support::U16At(b_, at - 2);
  }
  std::uint32_t U32(std::size_t& at) const {
    at += 4;
    return test_support::U32At(b_, at - 4);
  }
  // A name or ordinal: text, or "#n" for an ordinal.
  std::string NameOrOrdinal(std::size_t& at) const {
    if (U16(at) == 0xFFFF) return "#" + std::to_string(U16(at));
    at -= 2;
    std::string text;
    for (std::uint16_t c; (c = U16(at)) != 0;) text += static_cast<char>(c);
    return text;
  }

 private:
  const std::vector<std::uint8_t>& b_;
};

struct Resource {
  std::string type, name;
  std::vector<std::uint8_t> data;
};

std::vector<Resource> ReadRes(const std::vector<std::uint8_t>& bytes) {
  std::vector<Resource> resources;
  const ResReader r(bytes);
  for (std::size_t at = 0; at + 8 <= bytes.size();) {
    std::size_t p = at;
    const std::uint32_t dataSize = r.U32(p);
    const std::uint32_t headerSize = r.U32(p);
    Resource res;
    res.type = r.NameOrOrdinal(p);
    res.name = r.NameOrOrdinal(p);
    res.data.assign(bytes.begin() + at + headerSize, bytes.begin() + at + headerSize + dataSize);
    if (dataSize > 0) resources.push_back(res);
    at = (at + headerSize + dataSize + 3) & ~std::size_t{3};
  }
  return resources;
}

std::string Upper(std::string s) {
  for (char& c : s) c = static_cast<char>(std::toupper(static_cast<unsigned char>(c)));
  return s;
}

void ExpectSameDialog(const std::vector<std::uint8_t>& data, const win32::DialogTemplate& t) {
  const ResReader r(data);
  std::size_t at = 0;
  EXPECT_EQ(r.U32(at), t.style);
  EXPECT_EQ(r.U32(at), t.exStyle);
  const int count = r.U16(at);
  ASSERT_EQ(count, t.controlCount);
  EXPECT_EQ(static_cast<std::int16_t>(r.U16(at)), t.x);
  EXPECT_EQ(static_cast<std::int16_t>(r.U16(at)), t.y);
  EXPECT_EQ(static_cast<std::int16_t>(r.U16(at)), t.cx);
  EXPECT_EQ(static_cast<std::int16_t>(r.U16(at)), t.cy);
  EXPECT_EQ(r.NameOrOrdinal(at), "");  // no menu
  EXPECT_EQ(r.NameOrOrdinal(at), "");  // the standard dialog class
  EXPECT_EQ(r.NameOrOrdinal(at), t.caption ? t.caption : "");
  if (t.style & DS_SETFONT) {
    EXPECT_EQ(r.U16(at), t.pointSize);
    EXPECT_EQ(r.NameOrOrdinal(at), t.typeface);
  }
  const std::map<std::string, std::string> classes = {
      {"#128", "BUTTON"}, {"#129", "EDIT"}, {"#130", "STATIC"}, {"#131", "LISTBOX"}};
  for (int i = 0; i < count; ++i) {
    const win32::ControlTemplate& c = t.controls[i];
    SCOPED_TRACE("control " + std::to_string(i));
    at = (at + 3) & ~std::size_t{3};
    EXPECT_EQ(r.U32(at), c.style);
    EXPECT_EQ(r.U32(at), c.exStyle);
    EXPECT_EQ(static_cast<std::int16_t>(r.U16(at)), c.x);
    EXPECT_EQ(static_cast<std::int16_t>(r.U16(at)), c.y);
    EXPECT_EQ(static_cast<std::int16_t>(r.U16(at)), c.cx);
    EXPECT_EQ(static_cast<std::int16_t>(r.U16(at)), c.cy);
    EXPECT_EQ(r.U16(at), static_cast<std::uint16_t>(c.id));
    const std::string windowClass = r.NameOrOrdinal(at);
    EXPECT_EQ(classes.count(windowClass) ? classes.at(windowClass) : Upper(windowClass),
              Upper(c.windowClass));
    EXPECT_EQ(r.NameOrOrdinal(at), c.text);
    at += r.U16(at);  // creation data
  }
}

TEST(ResourceScript, StandInTemplatesAreWhatTheWindowsResourceCompilerBuilds) {
  const std::string windres = VEXO_WINDRES;
  if (windres.empty()) GTEST_SKIP() << "no Windows resource compiler installed";
  const fs::path res = fs::temp_directory_path() / ("vexo_dorvane_" + std::to_string(getpid()) + ".res");
  const std::string command = windres + " \"" VEXO_RESOURCE_SCRIPT "\" -O res -o \"" + res.string() + "\"";
  ASSERT_EQ(std::system(command.c_str()), 0) << command;
  const std::vector<Resource> resources = ReadRes(ReadBytes(res));
  fs::remove(res);

  const HINSTANCE module = ThisModuleHandle();
  int dialogs = 0, bitmaps = 0;
  for (const Resource& r : resources) {
    ASSERT_EQ(r.name[0], '#') << "named resources are not read by the stand-in";
    const auto id = static_cast<WORD>(std::stoi(r.name.substr(1)));
    SCOPED_TRACE(r.type + " " + r.name);
    if (r.type == "#5") {
      const win32::DialogTemplate* t = win32::FindDialogTemplate(module, id);
      ASSERT_NE(t, nullptr);
      ExpectSameDialog(r.data, *t);
      ++dialogs;
    } else if (r.type == "#2") {
      std::size_t size = 0;
      const unsigned char* dib = win32::FindBitmapResource(module, id, &size);
      ASSERT_NE(dib, nullptr);
      EXPECT_EQ(std::vector<std::uint8_t>(dib, dib + size), r.data);
      ++bitmaps;
    } else {
      ADD_FAILURE() << "resource type the stand-in does not know";
    }
  }
  EXPECT_EQ(dialogs, 2);
  EXPECT_EQ(bitmaps, 1);
}

TEST(ResourceScript, CompilerRefusesWhatItCannotReadAndWritesNothing) {
  const fs::path folder = fs::temp_directory_path() / ("vexo_rc_" + std::to_string(getpid()));
  fs::create_directories(folder);
  const char* scripts[] = {
      "1 DIALOG 0, 0, 10, 10\nBEGIN\n  SCROLLBAR 5, 0, 0, 1, 1\nEND\n",  // unknown control
      "1 DIALOG 0, 0, 10, 10\nSTYLE WS_CHILD | NO_SUCH_STYLE\nBEGIN\nEND\n",
      "1 BITMAP \"missing.bmp\"\n",
      "1 DIALOG 0, 0, 10, 10\nBEGIN\n  LTEXT \"open, 1, 0, 0, 1, 1\nEND\n",
      "NAMED DIALOG 0, 0, 10, 10\nBEGIN\nEND\n",
  };
  for (const char* script : scripts) {
    std::ofstream(folder / "bad.rc") << script;
    const fs::path out = folder / "bad.cpp";
    const std::string command = std::string("\"") + VEXO_RC_TO_CPP + "\" \"" + (folder / "bad.rc").string() +
                                "\" \"" + out.string() + "\" anchor 2>/dev/null";
    EXPECT_NE(std::system(command.c_str()), 0) << script;
    EXPECT_FALSE(fs::exists(out)) << script;
  }
  fs::remove_all(folder);
}

}  // namespace
