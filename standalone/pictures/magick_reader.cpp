// Every format but PNG and JPEG through ImageMagick's MagickCore: BMP and
// TGA in all their forms, GIF, PSD, HDR, TIFF, WebP, DDS and PCX.
//
// The coder is the one the picture's own signature names (never chosen by
// MagickCore from the bytes or the name), only the first frame or layer is
// read, and MagickCore's own limits refuse pictures past ours before it
// allocates their pixels.
#include <chrono>
#include <cstdlib>
#include <cstring>
#include <memory>
#include <mutex>
#include <string>
#include <vector>

#include "standalone/pictures/colour_space.h"
#include "standalone/pictures/magick_library.h"
#include "standalone/pictures/picture_limits.h"
#include "standalone/pictures/picture_readers.h"
#include "standalone/pictures/picture_scaling.h"

namespace vexo::readers {
namespace {

// MagickCore for the whole process: set up on first use, its limits set.
void StartMagick() {
  static std::once_flag once;
  std::call_once(once, [] {
    const MagickLibrary& magick = Magick();
    magick.MagickCoreGenesis(nullptr, MagickFalse);
    magick.SetMagickResourceLimit(AreaResource, static_cast<MagickSizeType>(kMaxMagickPixels));
    magick.SetMagickResourceLimit(WidthResource, 65535);
    magick.SetMagickResourceLimit(HeightResource, 65535);
    magick.SetMagickResourceLimit(MemoryResource, 512u << 20);
    magick.SetMagickResourceLimit(MapResource, 512u << 20);
    // No pixel cache on disk, one thread. Time is limited per picture
    // (WithinDeadline): MagickCore's own time limit counts from the first
    // picture of the process and then ends the whole process.
    magick.SetMagickResourceLimit(DiskResource, 0);
    magick.SetMagickResourceLimit(ThreadResource, 1);
    magick.SetMagickResourceLimit(ListLengthResource, 64);
    std::atexit([] { Magick().MagickCoreTerminus(); });
  });
}

// How long one picture may take to read.
constexpr std::chrono::seconds kMaxReadTime(60);

// MagickCore's progress monitor: a coder stops reading when it returns false.
MagickBooleanType WithinDeadline(const char*, const MagickOffsetType, const MagickSizeType,
                                 void* deadline) {
  return std::chrono::steady_clock::now() < *static_cast<std::chrono::steady_clock::time_point*>(deadline)
             ? MagickTrue
             : MagickFalse;
}

// MagickCore's coder for a format: the format's own name.
const char* CoderOf(PictureFormat format) {
  const bool ours = format == PictureFormat::kUnknown || format == PictureFormat::kPng ||
                    format == PictureFormat::kJpeg || format == PictureFormat::kTim;
  return ours ? nullptr : PictureFormatName(format);
}

struct ImageDeleter {
  void operator()(Image* image) const { Magick().DestroyImageList(image); }
};
using ImagePtr = std::unique_ptr<Image, ImageDeleter>;

// Reads the first frame of the picture, or only its header when ping is set.
ImagePtr Read(PictureFormat format, const std::uint8_t* bytes, std::size_t size, bool ping) {
  const char* coder = CoderOf(format);
  if (!coder) throw PictureError("not a picture format vexo reads");
  StartMagick();
  const MagickLibrary& magick = Magick();
  std::unique_ptr<ImageInfo, ImageInfo* (*)(ImageInfo*)> info(magick.AcquireImageInfo(), magick.DestroyImageInfo);
  std::unique_ptr<ExceptionInfo, ExceptionInfo* (*)(ExceptionInfo*)> exception(magick.AcquireExceptionInfo(),
                                                                               magick.DestroyExceptionInfo);
  magick.CopyMagickString(info->magick, coder, MaxTextExtent);
  info->affirm = MagickTrue;
  info->scene = 0;
  info->number_scenes = 1;
  auto deadline = std::chrono::steady_clock::now() + kMaxReadTime;
  magick.SetImageInfoProgressMonitor(info.get(), WithinDeadline, &deadline);
  ImagePtr image(ping ? magick.PingBlob(info.get(), bytes, size, exception.get())
                      : magick.BlobToImage(info.get(), bytes, size, exception.get()));
  // A coder stopped by the monitor may hand back the rows it had.
  if (std::chrono::steady_clock::now() >= deadline)
    throw PictureError(std::string("the ") + PictureFormatName(format) + " picture takes more than " +
                       std::to_string(kMaxReadTime.count()) + " seconds to read");
  if (!image || exception->severity >= ErrorException) {
    // MagickCore's reasons end in the file and the place in its source.
    std::string reason = exception->reason ? exception->reason : "ImageMagick cannot read it";
    reason = reason.substr(0, reason.find(" `"));
    throw PictureError(std::string("damaged ") + PictureFormatName(format) + " picture: " + reason);
  }
  if (!ping) {
    // TGA and TIFF may store their rows from the bottom or right to left;
    // MagickCore keeps them as stored and says so.
    Image* oriented = magick.AutoOrientImage(image.get(), image->orientation, exception.get());
    if (!oriented) throw PictureError("the picture cannot be turned upright");
    image.reset(oriented);
  }
  return image;
}

void Export(Image* image, const char* map, StorageType type, void* pixels) {
  const MagickLibrary& magick = Magick();
  std::unique_ptr<ExceptionInfo, ExceptionInfo* (*)(ExceptionInfo*)> exception(magick.AcquireExceptionInfo(),
                                                                               magick.DestroyExceptionInfo);
  if (!magick.ExportImagePixels(image, 0, 0, image->columns, image->rows, map, type, pixels,
                                exception.get())) {
    throw PictureError("the picture's pixels cannot be read");
  }
}

}  // namespace

Size MagickSize(PictureFormat format, const std::uint8_t* bytes, std::size_t size) {
  const ImagePtr image = Read(format, bytes, size, true);
  return Size{static_cast<int>(std::min<std::size_t>(image->columns, 1u << 30)),
              static_cast<int>(std::min<std::size_t>(image->rows, 1u << 30)), kMaxMagickPixels};
}

RgbImage DecodeMagick(PictureFormat format, const std::uint8_t* bytes, std::size_t size, int width,
                      int height) {
  const ImagePtr image = Read(format, bytes, size, false);
  const int w = static_cast<int>(image->columns), h = static_cast<int>(image->rows);
  RgbImage picture;
  if (format == PictureFormat::kHdr) {
    // Linear light of any brightness, compressed for display.
    Magick().TransformImageColorspace(image.get(), RGBColorspace);
    std::vector<float> rgb(static_cast<std::size_t>(w) * h * 3);
    Export(image.get(), "RGB", FloatPixel, rgb.data());
    picture = ToneMap(rgb, w, h);
  } else {
    // CMYK, grey and the like as sRGB.
    Magick().TransformImageColorspace(image.get(), sRGBColorspace);
    picture.width = w;
    picture.height = h;
    picture.pixels.resize(static_cast<std::size_t>(w) * h * 3);
    Export(image.get(), "RGB", CharPixel, picture.pixels.data());
  }
  return Resize(picture, width, height);
}

}  // namespace vexo::readers
