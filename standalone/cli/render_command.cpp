// vexo render MODEL [-o OUT.png] [--animated OUT.gif] [options]: a model's
// frames drawn as the game's GL renderer draws them, as a contact sheet
// and as a looping animation.
#include <cstdio>
#include <filesystem>

#include "standalone/check/check_model.h"
#include "standalone/cli/commands.h"
#include "standalone/cli/option_checks.h"
#include "standalone/cli/render_choices.h"
#include "standalone/md2/read_md2.h"
#include "standalone/pictures/gif_writer.h"
#include "standalone/pictures/png_writer.h"
#include "standalone/render/model_sheet.h"
#include "standalone/render/skin_texture.h"

namespace vexo::cli {
namespace {

namespace fs = std::filesystem;

constexpr int kSmallestSize = 16, kLargestSize = 2048;
// The most pixels one sheet or animation may hold (about 100 MB of colour).
constexpr std::int64_t kMostPixels = std::int64_t{1} << 25;
// The game steps its models' animations ten times a second.
constexpr int kGameFrameCentiseconds = 10;

void CheckPixels(const char* what, std::size_t pictures, int size) {
  const std::int64_t pixels = std::int64_t(pictures) * (size + 16) * (size + 16);
  if (pixels > kMostPixels)
    throw UsageError(std::string(what) + " would hold " + std::to_string(pictures) +
                     " pictures of " + std::to_string(size) + " x " + std::to_string(size) +
                     " pixels, more than vexo draws at once; choose fewer frames or views, or a "
                     "smaller --size");
}

// "1 frame", "6 frames".
std::string Count(std::size_t n, const char* thing) {
  return std::to_string(n) + " " + thing + (n == 1 ? "" : "s");
}

std::string SkinOf(const RenderOptions& options, const md2::Model& model) {
  std::error_code ec;
  if (!options.skin.empty()) {
    if (!fs::is_regular_file(options.skin, ec)) throw UsageError("--skin: there is no file " + options.skin);
    return options.skin;
  }
  const auto beside = check::SkinsBeside(options.model, model.skinNames);
  return beside.empty() ? "" : beside.front();
}

}  // namespace

int RunRender(const RenderOptions& options, Reporter& reporter) {
  if (options.output.empty() && options.animated.empty())
    throw UsageError("name what to write: -o OUT.png for a sheet, --animated OUT.gif for an animation");
  if (options.size < kSmallestSize || options.size > kLargestSize)
    throw UsageError("--size: " + std::to_string(options.size) + " is not from " +
                     std::to_string(kSmallestSize) + " to " + std::to_string(kLargestSize));
  if (!options.output.empty()) CheckFileToWrite("-o", options.output);
  if (!options.animated.empty()) CheckFileToWrite("--animated", options.animated);
  const std::vector<render::View> views = ParseViews("--views", options.views);
  std::error_code ec;
  if (!fs::is_regular_file(options.model, ec)) throw UsageError("there is no model " + options.model);

  md2::Model model;
  try {
    model = md2::LoadMd2(options.model);
  } catch (const md2::ReadError& e) {
    reporter.Error(e.what());
    return kExitUsage;
  }
  std::vector<std::string> names;
  for (const md2::Frame& frame : model.frames) names.push_back(frame.Name());
  const std::vector<int> sheetFrames = ChooseFrames(options.frames, options.animation, names);
  std::vector<int> animationFrames = sheetFrames;
  if (!options.frames && !options.animation) {
    animationFrames.clear();
    for (std::size_t i = 0; i < names.size(); ++i) animationFrames.push_back(int(i));
  }
  if (!options.output.empty()) CheckPixels("the sheet", sheetFrames.size() * views.size(), options.size);
  if (!options.animated.empty())
    CheckPixels("the animation", animationFrames.size() * views.size(), options.size);

  const std::string skinFile = SkinOf(options, model);
  render::Texture skin;
  bool eightBit = false;
  if (!skinFile.empty()) {
    try {
      skin = render::ReadSkinTexture(skinFile, !options.plain, eightBit);
    } catch (const Error& e) {
      reporter.Error(e.what());
      return kExitUsage;
    }
  }
  if (skinFile.empty())
    reporter.Warning("no skin beside " + options.model + " (--skin names one): drawn without one");
  else if (!eightBit)
    reporter.Warning(skinFile + " is not an 8-bit PCX, which is all the game loads: drawn with "
                     "its colours as they are");

  render::ModelPictureRequest request;
  request.views = views;
  request.size = options.size;
  request.skin = skinFile.empty() ? nullptr : &skin;
  request.gameLighting = !options.plain;
  std::string problem;
  try {
    if (!options.output.empty()) {
      request.frames = sheetFrames;
      const std::string title =
          fs::path(options.model).filename().string() +
          (skinFile.empty() ? "" : " with " + fs::path(skinFile).filename().string()) +
          (options.plain ? ": plain" : ": as the GL renderer draws it");
      const RgbImage sheet = render::ModelSheet(model, request, title, problem);
      WritePng(options.output, sheet);
      std::printf("wrote %s (%d x %d pixels): %s in %s\n", options.output.c_str(), sheet.width,
                  sheet.height, Count(sheetFrames.size(), "frame").c_str(),
                  Count(views.size(), "view").c_str());
    }
    if (!options.animated.empty()) {
      request.frames = animationFrames;
      const std::vector<RgbImage> frames = render::ModelAnimation(model, request, problem);
      WriteGif(options.animated, frames, kGameFrameCentiseconds);
      std::printf("wrote %s (%d x %d pixels): %s at 10 a second, looping\n",
                  options.animated.c_str(), frames.front().width, frames.front().height,
                  Count(frames.size(), "frame").c_str());
    }
  } catch (const PictureError& e) {
    reporter.Error(e.what());
    return kExitFailed;
  }
  if (!problem.empty())
    reporter.Warning(options.model + ": " + problem + ": the GL renderer draws only what is drawn here");
  return kExitDone;
}

}  // namespace vexo::cli
