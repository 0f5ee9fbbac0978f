#include "standalone/pictures/png_writer.h"

#include <png.h>

#include <csetjmp>
#include <cstdint>
#include <string>
#include <vector>

#include "base/whole_file_writer.h"

namespace vexo {
namespace {

// libpng's state for one picture, and where its bytes go; libpng reports
// failures by a long jump, so nothing here owns anything but plain bytes.
struct PngWrite {
  PngWrite() { png = png_create_write_struct(PNG_LIBPNG_VER_STRING, this, OnError, OnWarning); }
  ~PngWrite() { png_destroy_write_struct(&png, info ? &info : nullptr); }
  PngWrite(const PngWrite&) = delete;
  PngWrite& operator=(const PngWrite&) = delete;

  static void OnError(png_structp png, png_const_charp) { png_longjmp(png, 1); }
  static void OnWarning(png_structp, png_const_charp) {}
  static void Append(png_structp png, png_bytep data, png_size_t size) {
    auto* bytes = static_cast<std::vector<std::uint8_t>*>(png_get_io_ptr(png));
    bytes->insert(bytes->end(), data, data + size);
  }
  static void Flush(png_structp) {}

  png_structp png = nullptr;
  png_infop info = nullptr;
};

// The PNG file's bytes; false when libpng failed.
bool Encode(const RgbImage& image, std::vector<std::uint8_t>& bytes) {
  PngWrite write;
  if (!write.png) return false;
  write.info = png_create_info_struct(write.png);
  if (!write.info) return false;
  if (setjmp(png_jmpbuf(write.png))) return false;
  png_set_write_fn(write.png, &bytes, PngWrite::Append, PngWrite::Flush);
  png_set_IHDR(write.png, write.info, png_uint_32(image.width), png_uint_32(image.height), 8,
               PNG_COLOR_TYPE_RGB, PNG_INTERLACE_NONE, PNG_COMPRESSION_TYPE_DEFAULT,
               PNG_FILTER_TYPE_DEFAULT);
  // Fast compression: these pictures are mostly flat colour, which every
  // level packs well; the highest levels cost several times the time.
  png_set_compression_level(write.png, 2);
  png_write_info(write.png, write.info);
  for (int y = 0; y < image.height; ++y)
    png_write_row(write.png, image.pixels.data() + std::size_t(y) * image.width * 3);
  png_write_end(write.png, nullptr);
  return true;
}

}  // namespace

void WritePng(const std::filesystem::path& path, const RgbImage& image) {
  if (image.width <= 0 || image.height <= 0 ||
      image.pixels.size() != std::size_t(image.width) * image.height * 3)
    throw PictureError("cannot write " + path.string() + ": a picture of " +
                       std::to_string(image.width) + " x " + std::to_string(image.height) +
                       " pixels is empty");
  std::vector<std::uint8_t> bytes;
  if (!Encode(image, bytes)) throw PictureError("cannot write " + path.string() + ": libpng failed");
  WholeFileWriter file(path.string());
  if (!file.opened()) throw PictureError("cannot create " + file.temporaryPath());
  file.out().Bytes(bytes.data(), bytes.size());
  if (file.Finish() != WholeFileWriter::kWritten) throw PictureError("cannot write " + path.string());
}

}  // namespace vexo
