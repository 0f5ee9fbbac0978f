// JPEG through libjpeg-turbo: scaled down in the DCT while decoding (by
// eighths) and row by row into the scaler for the rest.
//
// libjpeg reports errors by longjmp. Everything a read owns lives in
// JpegRead, outside the functions that call setjmp, so that a jump skips no
// destructor.
#include <cstdio>
// jpeglib.h needs FILE and size_t declared first.
#include <jerror.h>
#include <jpeglib.h>

#include <csetjmp>
#include <memory>
#include <string>
#include <vector>

#include "standalone/pictures/picture_limits.h"
#include "standalone/pictures/picture_readers.h"
#include "standalone/pictures/picture_scaling.h"

namespace vexo::readers {
namespace {

struct ErrorManager {
  jpeg_error_mgr base;
  std::jmp_buf jump;
  char message[JMSG_LENGTH_MAX] = "";
  bool endedEarly = false;
  bool tooLarge = false;
};

struct JpegRead {
  JpegRead() {
    info.err = jpeg_std_error(&errors.base);
    errors.base.error_exit = OnError;
    errors.base.emit_message = OnMessage;
  }
  ~JpegRead() {
    if (created) jpeg_destroy_decompress(&info);
  }
  JpegRead(const JpegRead&) = delete;
  JpegRead& operator=(const JpegRead&) = delete;

  static void OnError(j_common_ptr common) {
    auto* errors = reinterpret_cast<ErrorManager*>(common->err);
    const int code = common->err->msg_code;
    if (code == JERR_NO_BACKING_STORE || code == JERR_OUT_OF_MEMORY) {
      // A progressive picture keeps all its coefficients while decoding.
      errors->tooLarge = true;
    } else {
      (*common->err->format_message)(common, errors->message);
    }
    std::longjmp(errors->jump, 1);
  }
  // Warnings: data that stops short is an error here, since the decoder
  // would fill the rest of the picture with grey.
  static void OnMessage(j_common_ptr common, int level) {
    auto* errors = reinterpret_cast<ErrorManager*>(common->err);
    const int code = common->err->msg_code;
    if (level < 0 && (code == JWRN_JPEG_EOF || code == JWRN_HIT_MARKER)) errors->endedEarly = true;
  }

  jpeg_decompress_struct info{};
  ErrorManager errors;
  bool created = false;
  bool cmyk = false;
  std::vector<std::uint8_t> row, rgb;
  std::unique_ptr<RowReducer> reducer;
};

bool ReadHeader(JpegRead& read, const std::uint8_t* bytes, std::size_t size) {
  if (setjmp(read.errors.jump)) return false;
  jpeg_create_decompress(&read.info);
  read.created = true;
  read.info.mem->max_memory_to_use = kMaxDecoderWorkBytes;
  jpeg_mem_src(&read.info, bytes, static_cast<unsigned long>(size));
  jpeg_read_header(&read.info, TRUE);
  // CMYK pictures come out as CMYK and are turned into RGB below.
  read.cmyk = read.info.jpeg_color_space == JCS_CMYK || read.info.jpeg_color_space == JCS_YCCK;
  read.info.out_color_space = read.cmyk ? JCS_CMYK : JCS_RGB;
  return true;
}

// The smallest DCT scale n/8 that keeps the picture at least width x height.
void ChooseScale(JpegRead& read, int width, int height) {
  int eighths = 1;
  while (eighths < 8 &&
         ((static_cast<long long>(read.info.image_width) * eighths + 7) / 8 < width ||
          (static_cast<long long>(read.info.image_height) * eighths + 7) / 8 < height)) {
    ++eighths;
  }
  read.info.scale_num = static_cast<unsigned>(eighths);
  read.info.scale_denom = 8;
}

// RGB from CMYK; Adobe's files store the inks inverted.
void CmykToRgb(const JpegRead& read, const std::uint8_t* cmyk, std::uint8_t* rgb, JDIMENSION width) {
  const bool inverted = read.info.saw_Adobe_marker;
  for (JDIMENSION x = 0; x < width; ++x) {
    const int k = inverted ? cmyk[4 * x + 3] : 255 - cmyk[4 * x + 3];
    for (int c = 0; c < 3; ++c) {
      const int ink = inverted ? cmyk[4 * x + c] : 255 - cmyk[4 * x + c];
      rgb[3 * x + c] = static_cast<std::uint8_t>((ink * k + 127) / 255);
    }
  }
}

bool ReadRows(JpegRead& read, int width, int height) {
  if (setjmp(read.errors.jump)) return false;
  jpeg_start_decompress(&read.info);
  const JDIMENSION outWidth = read.info.output_width;
  read.row.resize(static_cast<std::size_t>(outWidth) * read.info.output_components);
  read.rgb.resize(static_cast<std::size_t>(outWidth) * 3);
  read.reducer = std::make_unique<RowReducer>(static_cast<int>(outWidth),
                                              static_cast<int>(read.info.output_height), width, height);
  while (read.info.output_scanline < read.info.output_height) {
    JSAMPROW row = read.row.data();
    jpeg_read_scanlines(&read.info, &row, 1);
    if (read.cmyk) {
      CmykToRgb(read, read.row.data(), read.rgb.data(), outWidth);
      read.reducer->AddRow(read.rgb.data());
    } else {
      read.reducer->AddRow(read.row.data());
    }
  }
  jpeg_finish_decompress(&read.info);
  return true;
}

[[noreturn]] void Fail(const JpegRead& read) {
  if (read.errors.tooLarge) {
    throw PictureError("decoding this JPEG picture of " + std::to_string(read.info.image_width) +
                       " x " + std::to_string(read.info.image_height) +
                       " pixels would take more than the " +
                       std::to_string(kMaxDecoderWorkBytes >> 20) + " MiB vexo allows its decoder");
  }
  throw PictureError(std::string("damaged JPEG picture: ") +
                     (read.errors.message[0] ? read.errors.message : "libjpeg cannot read it"));
}

}  // namespace

Size JpegSize(const std::uint8_t* bytes, std::size_t size) {
  JpegRead read;
  if (!ReadHeader(read, bytes, size)) Fail(read);
  return Size{static_cast<int>(read.info.image_width), static_cast<int>(read.info.image_height),
              kMaxStreamedPixels};
}

RgbImage DecodeJpeg(const std::uint8_t* bytes, std::size_t size, int width, int height) {
  JpegRead read;
  if (!ReadHeader(read, bytes, size)) Fail(read);
  ChooseScale(read, width, height);
  if (!ReadRows(read, width, height)) Fail(read);
  if (read.errors.endedEarly) throw PictureError("damaged JPEG picture: the data ends early");
  return read.reducer->Finish();
}

}  // namespace vexo::readers
