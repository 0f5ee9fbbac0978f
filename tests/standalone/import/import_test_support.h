// Shared pieces of the import tests: a scratch folder, PNG pictures, and
// sampling an imported scene through the plug-in's own scene extraction.
#pragma once

#include <cstdint>
#include <filesystem>
#include <functional>
#include <string>
#include <vector>

#include "plugin/host/geometry.h"
#include "scene/sampled_mesh.h"
#include "standalone/memory_host.h"

namespace vexo::testing {

// A fresh folder under the system's temporary folder, removed afterwards.
class ScratchFolder {
 public:
  ScratchFolder();
  ~ScratchFolder();
  ScratchFolder(const ScratchFolder&) = delete;
  ScratchFolder& operator=(const ScratchFolder&) = delete;
  const std::filesystem::path& path() const { return path_; }
  std::filesystem::path operator/(const std::string& name) const { return path_ / name; }

 private:
  std::filesystem::path path_;
};

struct Rgb {
  std::uint8_t r = 0, g = 0, b = 0;
};
using PixelFunction = std::function<Rgb(int x, int y)>;  // y = 0 is the top row

std::vector<std::uint8_t> PngBytes(int width, int height, const PixelFunction& pixel);
void WritePng(const std::filesystem::path& path, int width, int height, const PixelFunction& pixel);
void WriteJpeg(const std::filesystem::path& path, int width, int height, const PixelFunction& pixel);
void WriteBmp(const std::filesystem::path& path, int width, int height, const PixelFunction& pixel);
void WriteText(const std::filesystem::path& path, const std::string& text);

// The combined mesh of the selected nodes (with a material when mapped is
// set) at a host time, as the plug-in samples it.
struct PluginSample {
  int result = 0;
  std::vector<Point3> positions;
  std::vector<SampledFace> faces;
  std::vector<std::string> bitmapNames;  // per face, "" for none
};
PluginSample SampleThroughPlugin(HostInterface& host, TimeValue time, bool mapped = true);

}  // namespace vexo::testing
