#include "standalone/pictures/png_writer.h"

#include <stb/stb_image_write.h>

#include <cstdint>
#include <string>
#include <vector>

#include "base/whole_file_writer.h"

namespace vexo {
namespace {

void Append(void* context, void* data, int size) {
  auto* bytes = static_cast<std::vector<std::uint8_t>*>(context);
  const auto* begin = static_cast<const std::uint8_t*>(data);
  bytes->insert(bytes->end(), begin, begin + size);
}

}  // namespace

void WritePng(const std::filesystem::path& path, const RgbImage& image) {
  if (image.width <= 0 || image.height <= 0 ||
      image.pixels.size() != std::size_t(image.width) * image.height * 3)
    throw PictureError("cannot write " + path.string() + ": a picture of " +
                       std::to_string(image.width) + " x " + std::to_string(image.height) +
                       " pixels is empty");
  std::vector<std::uint8_t> bytes;
  if (!stbi_write_png_to_func(Append, &bytes, image.width, image.height, 3, image.pixels.data(),
                              image.width * 3))
    throw PictureError("cannot write " + path.string() + ": the PNG encoder failed");
  WholeFileWriter file(path.string());
  if (!file.opened()) throw PictureError("cannot create " + file.temporaryPath());
  file.out().Bytes(bytes.data(), bytes.size());
  if (file.Finish() != WholeFileWriter::kWritten) throw PictureError("cannot write " + path.string());
}

}  // namespace vexo
