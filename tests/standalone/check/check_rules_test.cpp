// Each rule of the check against small files written byte by byte: one
// good model and skin that every engine takes, then one fault each, which
// must bring its rule with the engines it affects (and leave the file
// readable). Then every truncation of a good file, and three.js's own
// verdict against the check's.
#include <gmock/gmock.h>
#include <gtest/gtest.h>

#include <filesystem>
#include <functional>

#include "standalone/check/check_model.h"
#include "standalone/check/model_rules.h"
#include "standalone/md2/read_md2.h"
#include "tests/support/bytes.h"
#include "tests/support/md2_model_builder.h"
#include "tests/support/scratch_folder.h"
#include "tests/support/vexo_run.h"

namespace {

namespace fs = std::filesystem;
using namespace test_support;
using vexo::check::Engine;
using vexo::check::EngineSet;

constexpr Engine kIdGl = Engine::kIdGl, kIdSoft = Engine::kIdSoft, kYamagi = Engine::kYamagi,
                 kQ2pro = Engine::kQ2pro, kKmq2 = Engine::kKmq2, kThreeJs = Engine::kThreeJs;

// The good skin: 16 x 16, black at the top-left, grey 100 elsewhere.
std::vector<std::uint8_t> GoodSkin() {
  std::vector<std::uint8_t> indices(256, 100);
  indices[0] = 0;
  return indices;
}

struct Fault {
  std::string name;
  std::string rule;
  EngineSet engines;
  std::function<void(Md2Model&)> model = [](Md2Model&) {};
  std::function<void(std::vector<std::uint8_t>&)> bytes = [](std::vector<std::uint8_t>&) {};
  std::function<std::vector<std::uint8_t>()> skin = [] { return Pcx(16, 16, GoodSkin()); };
  std::string skinName = "box.pcx";
};

void SetVertexCount(Md2Model& m, int count) {
  m.frames.resize(1);
  m.frames[0].vertices.resize(std::size_t(count), Md2Model::Vertex{1, 1, 1, 1});
}

std::vector<Fault> Faults() {
  const EngineSet games = EngineSet::Games(), all = EngineSet::All();
  return {
      {"wrong ident", "ident", all, [](Md2Model& m) { m.ident = "IDP3"; }},
      {"version 7", "version", all, [](Md2Model& m) { m.version = 7; }},
      {"no triangles", "empty-model", games, [](Md2Model& m) { m.triangles.clear(); }},
      {"2049 vertices", "vertex-count", {kIdGl, kIdSoft, kYamagi, kQ2pro, kKmq2},
       [](Md2Model& m) { SetVertexCount(m, 2049); }},
      {"2001 vertices", "vertex-count", {kIdSoft}, [](Md2Model& m) { SetVertexCount(m, 2001); }},
      {"4097 triangles", "triangle-count", {kIdGl, kIdSoft, kKmq2},
       [](Md2Model& m) { m.triangles.resize(4097, m.triangles[0]); }},
      {"6145 triangles", "triangle-count", {kIdGl, kIdSoft, kKmq2, kQ2pro},
       [](Md2Model& m) { m.triangles.resize(6145, m.triangles[0]); }},
      {"513 frames", "frame-count", {kIdGl, kIdSoft, kKmq2},
       [](Md2Model& m) { m.frames.resize(513, m.frames[0]); }},
      {"33 skins", "skin-count", games, [](Md2Model& m) { m.skins.resize(33, "a.pcx"); }},
      {"skin 481 tall", "skin-height", {kIdGl, kIdSoft, kYamagi},
       [](Md2Model& m) { m.skinHeight = 481; }},
      {"frames past the end", "section-bounds", all, {},
       [](std::vector<std::uint8_t>& b) { PutU32At(b, kOfsFrames, std::uint32_t(I32At(b, kOfsEnd))); }},
      {"GL commands off 4 bytes", "section-alignment", {kQ2pro},
       [](Md2Model& m) { m.paddingBeforeGlCommands = 2; }},
      {"frame size 4 more", "frame-size", {kQ2pro}, [](Md2Model& m) { m.frameSizeExtra = 4; }},
      {"frame size 4 less", "frame-size", all, {},
       [](std::vector<std::uint8_t>& b) { PutU32At(b, kFrameSize, std::uint32_t(I32At(b, kFrameSize) - 4)); }},
      {"ofsEnd past the file", "end-offset", {kYamagi, kThreeJs}, {},
       [](std::vector<std::uint8_t>& b) { PutU32At(b, kOfsEnd, std::uint32_t(I32At(b, kOfsEnd) + 1)); }},
      {"a trailer", "end-offset", {kThreeJs}, [](Md2Model& m) { m.trailer = {1, 2, 3}; }},
      {"model over 2 MiB", "model-size", {kIdGl, kIdSoft},
       [](Md2Model& m) {
         SetVertexCount(m, 2000);
         m.frames.resize(263, m.frames[0]);
       }},
      {"vertex index 8", "triangle-indices", all, [](Md2Model& m) { m.triangles[3].vertex[1] = 8; }},
      {"texture coordinate outside", "texture-coordinates", games,
       [](Md2Model& m) { m.texCoords[2].s = 17; }},
      {"GL commands without their 0", "gl-commands", {kIdGl, kYamagi},
       [](Md2Model& m) { m.glCommands = m.GlWords(), m.glCommands.pop_back(); }},
      {"GL commands missing a triangle", "gl-triangles", games,
       [](Md2Model& m) {
         m.glCommands = m.GlWords();
         m.glCommands.erase(m.glCommands.begin(), m.glCommands.begin() + 10);
       }},
      {"GL commands on another part of the skin", "gl-triangles", games,
       [](Md2Model& m) {
         m.glCommands = m.GlWords();
         m.glCommands[1] = 0;  // s of the first corner: 0.0 instead of 0.75
       }},
      {"every normal 0", "flat-normals", games,
       [](Md2Model& m) {
         for (Md2Model::Frame& f : m.frames)
           for (Md2Model::Vertex& v : f.vertices) v.normal = 0;
       }},
      {"a normal past the table", "normal-index", {kIdGl, kIdSoft, kYamagi, kKmq2},
       [](Md2Model& m) { m.frames[5].vertices[2].normal = 162; }},
      {"no skin name", "skin-name", games, [](Md2Model& m) { m.skins.clear(); }},
      {"a frame renamed", "player-frames", games, [](Md2Model& m) { m.frames[40].name = "walk1"; }},
      {"PCX version 3", "pcx-form", games, {}, {},
       [] {
         auto pcx = Pcx(16, 16, GoodSkin());
         pcx[1] = 3;
         return pcx;
       }},
      {"PCX 641 wide", "pcx-size", {kIdGl, kIdSoft, kKmq2}, {}, {},
       [] { return Pcx(641, 16, std::vector<std::uint8_t>(641 * 16, 0)); }},
      {"skin over 512 x 256 pixels", "upload-size", {kIdGl}, {}, {},
       [] { return Pcx(520, 256, std::vector<std::uint8_t>(520 * 256, 0)); }},
      {"a shown texel at 255", "transparent-texels", EngineSet::GlRenderers(), {}, {},
       [] {
         auto indices = GoodSkin();
         indices[8 * 16 + 8] = 255;
         return Pcx(16, 16, indices);
       }},
      {"a flood fill from the top-left", "flood-fill", {kIdGl}, {}, {},
       [] { return Pcx(16, 16, std::vector<std::uint8_t>(256, 7)); }},
      {"a PCX claiming 65535 x 65535 pixels", "pcx-form", games, {}, {},
       [] {
         auto pcx = Pcx(1, 1, {0});
         pcx[8] = pcx[9] = pcx[10] = pcx[11] = pcx[66] = pcx[67] = 0xFF;
         return pcx;
       }},
      {"a BMP skin", "skin-format", {kIdGl, kIdSoft, kKmq2}, {}, {},
       [] { return std::vector<std::uint8_t>{'B', 'M'}; }, "box.bmp"},
  };
}

std::string Describe(const vexo::check::Findings& findings) {
  std::string text;
  for (const auto& f : findings) text += "  " + f.rule + ": " + vexo::check::FindingLine(f) + "\n";
  return text;
}

TEST(CheckRules, TheGoodFileIsCleanAndEachFaultBreaksItsRuleForItsEngines) {
  const std::string folder = FreshFolder("check_rules");
  WriteFileBytes(folder + "/box.md2", GoodModel().Build());
  WriteFileBytes(folder + "/box.pcx", Pcx(16, 16, GoodSkin()));
  const auto good = vexo::check::CheckModel(folder + "/box.md2", {});
  EXPECT_EQ(good.skins, std::vector<std::string>{folder + "/box.pcx"});
  EXPECT_TRUE(good.findings.empty()) << Describe(good.findings);

  for (const Fault& fault : Faults()) {
    Md2Model model = GoodModel();
    if (fault.model) fault.model(model);
    std::vector<std::uint8_t> bytes = model.Build();
    if (fault.bytes) fault.bytes(bytes);
    const std::string path = folder + "/fault.md2", skin = folder + "/" + fault.skinName;
    WriteFileBytes(path, bytes);
    WriteFileBytes(skin, fault.skin());
    const auto check = vexo::check::CheckModel(path, {skin});
    const auto found = std::find_if(check.findings.begin(), check.findings.end(),
                                    [&](const auto& f) { return f.rule == fault.rule; });
    ASSERT_NE(found, check.findings.end()) << fault.name << "\n" << Describe(check.findings);
    EXPECT_EQ(found->engines.Names(), fault.engines.Names()) << fault.name;
    EXPECT_FALSE(found->message.empty() || found->fix.empty()) << fault.name;
    fs::remove(skin);
  }
}

// Every prefix of a good file is read, checked or refused without reading
// outside it (the sanitizer build watches).
TEST(CheckRules, EveryTruncationIsCheckedOrRefused) {
  const std::vector<std::uint8_t> bytes = GoodModel().Build();
  for (std::size_t size = 0; size < bytes.size(); size += size < 400 ? 1 : 97) {
    const std::vector<std::uint8_t> cut(bytes.begin(), bytes.begin() + long(size));
    try {
      const vexo::md2::Reading reading = vexo::md2::ReadMd2(cut, "cut.md2");
      vexo::check::Findings findings;
      vexo::check::CheckModelFile(reading, findings);
      EXPECT_FALSE(findings.empty()) << size;
      EXPECT_NE(vexo::md2::UnusableReason(reading), "") << size;
    } catch (const vexo::md2::ReadError&) {
      EXPECT_LT(size, 68u);
    }
  }
  // A file far larger than any model is refused before it is read.
  const std::string huge = test_support::FreshFolder("check_huge") + "/huge.md2";
  test_support::WriteFileBytes(huge, bytes);
  std::filesystem::resize_file(huge, std::uintmax_t(1) << 30);
  EXPECT_THROW(vexo::md2::ReadMd2(huge), vexo::md2::ReadError);
}

// three.js's MD2Loader, run in node, loads exactly the files the check
// finds nothing wrong with for the threejs target.
TEST(CheckRules, ThreeJsAgreesWithTheCheck) {
  const std::string folder = FreshFolder("check_threejs");
  std::vector<std::pair<std::string, std::vector<std::uint8_t>>> files;
  files.push_back({"good", GoodModel().Build()});
  Md2Model trailer = GoodModel();
  trailer.trailer = {0x52, 0, 0x27};
  files.push_back({"trailer", trailer.Build()});
  Md2Model version = GoodModel();
  version.version = 6;
  files.push_back({"version", version.Build()});
  auto past = GoodModel().Build();
  PutU32At(past, kOfsEnd, std::uint32_t(I32At(past, kOfsEnd) + 8));
  files.push_back({"end past the file", past});
  for (const auto& [name, bytes] : files) {
    const std::string path = folder + "/" + name + ".md2";
    WriteFileBytes(path, bytes);
    const std::string three = test_support::NodeReader("three", path);
    ASSERT_THAT(three, ::testing::HasSubstr("loaded"))
        << "node cannot run three.js: scripts/install-node-modules.sh installs it";
    const auto check = vexo::check::CheckModel(path, {}, false);
    const bool clean =
        vexo::check::ForTargets(check.findings, EngineSet{kThreeJs}).empty();
    EXPECT_EQ(three.find("\"loaded\":true") != std::string::npos, clean) << name << ": " << three;
  }
}

}  // namespace
