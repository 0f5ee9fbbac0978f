// The import options as the vexo command reads them.
#include <gtest/gtest.h>

#include <CLI/CLI.hpp>

#include "standalone/import/clip_mapping.h"
#include "standalone/import/import_command_line.h"

namespace vexo {
namespace {

TEST(ImportCommandLine, OptionsFillTheImportOptionsAndRefuseBadValues) {
  CLI::App app;
  CLI::App& verb = *app.add_subcommand("export");
  ImportOptions options;
  std::string scene;
  verb.add_option("scene", scene)->required();
  AddImportOptions(verb, options);
  app.parse("export --up Z --select head --select legs --animation none --fps 24 "
            "--max-texture 240 player.glb",
            false);
  EXPECT_EQ(scene, "player.glb");
  EXPECT_EQ(options.up, UpAxis::kZ);
  EXPECT_EQ(options.select, (std::vector<std::string>{"head", "legs"}));
  EXPECT_EQ(options.animation, "none");
  EXPECT_EQ(options.fps, 24.0);
  EXPECT_EQ(options.maxTexture, 240);

  for (const char* bad : {"export --up x a.glb", "export --fps 0 a.glb",
                          "export --max-texture 0 a.glb"}) {
    CLI::App again;
    CLI::App& export_ = *again.add_subcommand("export");
    ImportOptions fresh;
    export_.add_option("scene", scene);
    AddImportOptions(export_, fresh);
    EXPECT_THROW(again.parse(bad, false), CLI::ParseError) << bad;
  }
}

TEST(ImportCommandLine, ClipMappingsSplitIntoClipAndFrameRange) {
  const ClipMapping run = ParseClipMapping("Armature|Run:run1-run6");
  EXPECT_EQ(run.clip, "Armature|Run");
  EXPECT_EQ(run.firstFrame, "run1");
  EXPECT_EQ(run.lastFrame, "run6");
  const ClipMapping timed = ParseClipMapping("rig:Walk:0-39");
  EXPECT_EQ(timed.clip, "rig:Walk");
  EXPECT_EQ(timed.lastFrame, "39");
  for (const char* bad : {"Idle", "Idle:stand01", ":a-b", "Idle:-b", "Idle:a-"}) {
    EXPECT_THROW(ParseClipMapping(bad), ImportError) << bad;
  }
}

}  // namespace
}  // namespace vexo
