#include "standalone/cli/preview_sheet_export.h"

#include <cmath>
#include <cstdio>
#include <filesystem>

#include "standalone/cli/option_checks.h"
#include "standalone/cli/panel_export.h"
#include "standalone/import/clip_mapping.h"
#include "standalone/md2/read_md2.h"
#include "standalone/pictures/png_writer.h"
#include "standalone/render/preview_sheet.h"
#include "standalone/render/skin_texture.h"

namespace vexo::cli {
namespace {

namespace fs = std::filesystem;

constexpr int kFramesPerRange = 4;
constexpr int kSize = 160;

// Frames first ... last (inclusive), at most kFramesPerRange of them spread
// evenly, the first and the last among them.
std::vector<int> Spread(int first, int last) {
  const int count = last - first + 1;
  std::vector<int> frames;
  for (int i = 0; i < std::min(count, kFramesPerRange); ++i)
    frames.push_back(count <= kFramesPerRange
                         ? first + i
                         : first + int(std::lround(double(i) * (count - 1) / (kFramesPerRange - 1))));
  return frames;
}

std::string Seconds(double seconds) {
  char text[32];
  std::snprintf(text, sizeof text, "%.2f s", seconds);
  return text;
}

// The model frames to show and when the plug-in sampled the scene for each.
std::vector<render::PreviewFrame> PreviewFrames(const ExportOptions& options,
                                                const PanelSettings& settings,
                                                const std::vector<std::string>& names,
                                                int ticksPerFrame, ImportedScene* imported) {
  std::vector<render::PreviewFrame> frames;
  if (!options.maps.empty() && imported) {
    // Each clip spread over its range: model frame first + k at host frame k.
    for (const std::string& text : options.maps) {
      const ClipMapping mapping = ParseClipMapping(text);
      const std::size_t clip = imported->FindClip(mapping.clip);
      const int first = ResolveFrame("--map", mapping.firstFrame, names);
      const int count = ResolveFrame("--map", mapping.lastFrame, names) - first + 1;
      for (const int frame : Spread(first, first + count - 1)) {
        const int k = frame - first;
        frames.push_back({frame, TimeValue(k) * ticksPerFrame,
                          imported->clips()[clip].name + " " +
                              Seconds(imported->ClipFrameTime(clip, k, count)),
                          [imported, clip, count] { imported->MapClipToFrames(clip, count); }});
      }
    }
    return frames;
  }
  // Model frame start + k at host frame First Frame + k.
  const int start = settings.start ? ResolveFrame("--start", *settings.start, names) : 0;
  const int end = settings.end ? ResolveFrame("--end", *settings.end, names) : int(names.size()) - 1;
  const std::uint32_t first = settings.firstFrame ? CheckHostFrame("--first-frame", *settings.firstFrame) : 0;
  for (const int frame : Spread(start, end)) {
    const std::uint32_t hostFrame = first + std::uint32_t(frame - start);
    frames.push_back({frame, TimeValue(std::int64_t(hostFrame) * ticksPerFrame),
                      "scene frame " + std::to_string(hostFrame), nullptr});
  }
  return frames;
}

}  // namespace

void CheckPreviewSheet(const ExportOptions& options) {
  if (options.previewSheet) CheckFileToWrite("--preview-sheet", *options.previewSheet);
}

int WritePreviewSheet(const ExportOptions& options, const PanelSettings& settings,
                      MemoryScene& scene, ImportedScene* imported, Reporter& reporter) {
  const std::string model = ModelFileName(settings.model);
  const std::string skinFile = settings.pcx   ? SkinFileName(settings.skin, ".pcx")
                               : settings.bmp ? SkinFileName(settings.skin, ".bmp")
                                              : "";
  try {
    const md2::Model written = md2::LoadMd2(model);
    std::vector<std::string> names;
    for (const md2::Frame& frame : written.frames) names.push_back(frame.Name());
    render::Texture skin;
    bool eightBit = false;
    if (!skinFile.empty()) skin = render::ReadSkinTexture(skinFile, true, eightBit);

    render::PreviewRequest request;
    request.frames = PreviewFrames(options, settings, names, scene.ticksPerFrame(), imported);
    request.views = {*render::FindView("front"), *render::FindView("side")};
    request.size = kSize;
    request.scale = settings.scale ? CheckScale(*settings.scale) : 1.0f;
    request.skin = skinFile.empty() ? nullptr : &skin;
    std::vector<std::string> problems;
    const RgbImage sheet = render::PreviewSheet(
        scene, written, request,
        "scene as posed | " + fs::path(model).filename().string() + " as the game draws it; front, side",
        problems);
    WritePng(*options.previewSheet, sheet);
    std::printf("wrote %s (%d x %d pixels): %zu frames of the scene beside the model\n",
                options.previewSheet->c_str(), sheet.width, sheet.height, request.frames.size());
    for (const std::string& problem : problems) reporter.Warning("preview sheet: " + problem);
  } catch (const Error& e) {
    reporter.Error("preview sheet: " + std::string(e.what()));
    return kExitFailed;
  }
  return kExitDone;
}

}  // namespace vexo::cli
