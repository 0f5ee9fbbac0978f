// PNG through libpng, row by row into the scaler: a picture that is not
// interlaced never needs its full size in memory.
//
// libpng reports errors by longjmp. Everything a read owns lives in PngRead,
// outside the functions that call setjmp, so that a jump skips no
// destructor.
#include <png.h>

#include <cstring>
#include <string>
#include <vector>

#include "standalone/pictures/picture_limits.h"
#include "standalone/pictures/picture_readers.h"
#include "standalone/pictures/picture_scaling.h"

namespace vexo::readers {
namespace {

struct PngRead {
  PngRead(const std::uint8_t* bytes, std::size_t size) : data(bytes), size(size) {}
  ~PngRead() { png_destroy_read_struct(&png, &info, nullptr); }
  PngRead(const PngRead&) = delete;
  PngRead& operator=(const PngRead&) = delete;

  const std::uint8_t* data;
  std::size_t size;
  std::size_t at = 0;
  char error[256] = "";
  png_structp png = nullptr;
  png_infop info = nullptr;
  Size picture;
  int passes = 1;
  std::vector<std::uint8_t> rows;  // one row, or the whole picture when interlaced
};

void ReadBytes(png_structp png, png_bytep out, png_size_t length) {
  auto* read = static_cast<PngRead*>(png_get_io_ptr(png));
  if (length > read->size - read->at) png_error(png, "the file ends early");
  std::memcpy(out, read->data + read->at, length);
  read->at += length;
}

void OnError(png_structp png, png_const_charp message) {
  auto* read = static_cast<PngRead*>(png_get_error_ptr(png));
  std::snprintf(read->error, sizeof read->error, "%s", message ? message : "damaged PNG data");
  png_longjmp(png, 1);
}

void OnWarning(png_structp, png_const_charp) {}

// Reads the header and sets up 8-bit RGB output; false on an error.
bool StartRead(PngRead& read) {
  read.png = png_create_read_struct(PNG_LIBPNG_VER_STRING, &read, OnError, OnWarning);
  if (!read.png) return false;
  read.info = png_create_info_struct(read.png);
  if (!read.info) return false;
  if (setjmp(png_jmpbuf(read.png))) return false;
  png_set_read_fn(read.png, &read, ReadBytes);
  png_read_info(read.png, read.info);
  png_set_expand(read.png);  // palette and grey below 8 bits, tRNS
  png_set_scale_16(read.png);
  png_set_strip_alpha(read.png);
  png_set_gray_to_rgb(read.png);
  read.passes = png_set_interlace_handling(read.png);
  png_read_update_info(read.png, read.info);
  read.picture.width = static_cast<int>(png_get_image_width(read.png, read.info));
  read.picture.height = static_cast<int>(png_get_image_height(read.png, read.info));
  // An interlaced picture is decoded whole before it is scaled.
  read.picture.mostPixels = read.passes > 1 ? kMaxWholePixels : kMaxStreamedPixels;
  return png_get_rowbytes(read.png, read.info) == static_cast<png_size_t>(read.picture.width) * 3;
}

// Hands every row to the reducer; false on an error.
bool ReadRows(PngRead& read, RowReducer& reducer) {
  if (setjmp(png_jmpbuf(read.png))) return false;
  const std::size_t rowBytes = static_cast<std::size_t>(read.picture.width) * 3;
  if (read.passes == 1) {
    for (int y = 0; y < read.picture.height; ++y) {
      png_read_row(read.png, read.rows.data(), nullptr);
      reducer.AddRow(read.rows.data());
    }
  } else {
    // Each pass fills in more pixels of every row.
    for (int pass = 0; pass < read.passes; ++pass) {
      for (int y = 0; y < read.picture.height; ++y) {
        png_read_row(read.png, read.rows.data() + y * rowBytes, nullptr);
      }
    }
    for (int y = 0; y < read.picture.height; ++y) reducer.AddRow(read.rows.data() + y * rowBytes);
  }
  png_read_end(read.png, nullptr);
  return true;
}

[[noreturn]] void Fail(const PngRead& read) {
  throw PictureError(std::string("damaged PNG picture: ") +
                     (read.error[0] ? read.error : "libpng cannot read it"));
}

}  // namespace

Size PngSize(const std::uint8_t* bytes, std::size_t size) {
  PngRead read(bytes, size);
  if (!StartRead(read)) Fail(read);
  return read.picture;
}

RgbImage DecodePng(const std::uint8_t* bytes, std::size_t size, int width, int height) {
  PngRead read(bytes, size);
  if (!StartRead(read)) Fail(read);
  const std::size_t rowBytes = static_cast<std::size_t>(read.picture.width) * 3;
  read.rows.resize(read.passes == 1 ? rowBytes : rowBytes * static_cast<std::size_t>(read.picture.height));
  RowReducer reducer(read.picture.width, read.picture.height, width, height);
  if (!ReadRows(read, reducer)) Fail(read);
  return reducer.Finish();
}

}  // namespace vexo::readers
