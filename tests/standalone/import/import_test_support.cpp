#include "import_test_support.h"

#include <stdlib.h>

#include <fstream>
#include <stdexcept>

#include "scene/enumerate_nodes.h"
#include "scene/sample_mesh.h"

#pragma GCC diagnostic push
#pragma GCC diagnostic ignored "-Wunused-function"
#pragma GCC diagnostic ignored "-Wmissing-field-initializers"
#define STB_IMAGE_WRITE_STATIC
#define STB_IMAGE_WRITE_IMPLEMENTATION
#include <stb/stb_image_write.h>
#pragma GCC diagnostic pop

namespace vexo::testing {

ScratchFolder::ScratchFolder() {
  std::string pattern = (std::filesystem::temp_directory_path() / "vexo-import-XXXXXX").string();
  if (!mkdtemp(pattern.data())) throw std::runtime_error("cannot make a scratch folder");
  path_ = pattern;
}

ScratchFolder::~ScratchFolder() {
  std::error_code ignored;
  std::filesystem::remove_all(path_, ignored);
}

namespace {

std::vector<std::uint8_t> RgbRows(int width, int height, const PixelFunction& pixel) {
  std::vector<std::uint8_t> rgb;
  for (int y = 0; y < height; ++y) {
    for (int x = 0; x < width; ++x) {
      const Rgb c = pixel(x, y);
      rgb.insert(rgb.end(), {c.r, c.g, c.b});
    }
  }
  return rgb;
}

}  // namespace

void WriteBmp(const std::filesystem::path& path, int width, int height, const PixelFunction& pixel) {
  const std::vector<std::uint8_t> rgb = RgbRows(width, height, pixel);
  if (!stbi_write_bmp(path.c_str(), width, height, 3, rgb.data())) {
    throw std::runtime_error("cannot write " + path.string());
  }
}

void WriteJpeg(const std::filesystem::path& path, int width, int height, const PixelFunction& pixel) {
  const std::vector<std::uint8_t> rgb = RgbRows(width, height, pixel);
  if (!stbi_write_jpg(path.c_str(), width, height, 3, rgb.data(), 90)) {
    throw std::runtime_error("cannot write " + path.string());
  }
}

std::vector<std::uint8_t> PngBytes(int width, int height, const PixelFunction& pixel) {
  const std::vector<std::uint8_t> rgb = RgbRows(width, height, pixel);
  std::vector<std::uint8_t> png;
  stbi_write_png_to_func(
      [](void* context, void* data, int size) {
        auto* out = static_cast<std::vector<std::uint8_t>*>(context);
        const auto* bytes = static_cast<const std::uint8_t*>(data);
        out->insert(out->end(), bytes, bytes + size);
      },
      &png, width, height, 3, rgb.data(), width * 3);
  return png;
}

void WritePng(const std::filesystem::path& path, int width, int height, const PixelFunction& pixel) {
  const std::vector<std::uint8_t> png = PngBytes(width, height, pixel);
  std::ofstream out(path, std::ios::binary);
  out.write(reinterpret_cast<const char*>(png.data()), static_cast<std::streamsize>(png.size()));
  if (!out) throw std::runtime_error("cannot write " + path.string());
}

void WriteText(const std::filesystem::path& path, const std::string& text) {
  std::ofstream out(path, std::ios::binary);
  out << text;
  if (!out) throw std::runtime_error("cannot write " + path.string());
}

PluginSample SampleThroughPlugin(HostInterface& host, TimeValue time, bool mapped) {
  PluginSample sample;
  ExportContext context;
  const int criteria = kNodeIsSelected | (mapped ? kNodeHasMaterial : 0);
  if (!EnumerateNodes(context, &host, criteria)) return sample;
  SampledVertex* vertices = nullptr;
  SampledFace* faces = nullptr;
  std::int32_t vertexCount = 0, faceCount = 0;
  sample.result =
      SampleMesh(context, 0, context.nodeCount, &vertices, &faces, &vertexCount, &faceCount, time);
  if (sample.result) {
    for (std::int32_t i = 0; i < vertexCount; ++i) sample.positions.push_back(vertices[i].position);
    for (std::int32_t i = 0; i < faceCount; ++i) {
      sample.faces.push_back(faces[i]);
      const char* name = faces[i].bitmapName.get();
      sample.bitmapNames.push_back(name ? name : "");
    }
  }
  delete[] vertices;
  delete[] faces;
  return sample;
}

}  // namespace vexo::testing
