#include "standalone/pictures/gif_writer.h"

#include <gif_lib.h>

#include <cstdint>
#include <memory>
#include <string>

#include "base/whole_file_writer.h"

namespace vexo {
namespace {

int Append(GifFileType* gif, const GifByteType* data, int size) {
  auto* bytes = static_cast<std::vector<std::uint8_t>*>(gif->UserData);
  bytes->insert(bytes->end(), data, data + size);
  return size;
}

struct MapDeleter {
  void operator()(ColorMapObject* map) const { GifFreeMapObject(map); }
};

// A GIF's size fields and giflib's quantiser count in 16 and 32 bits.
constexpr std::int64_t kMostPixels = std::int64_t{1} << 28;

}  // namespace

void WriteGif(const std::filesystem::path& path, const std::vector<RgbImage>& frames,
              int delayCentiseconds) {
  const auto fail = [&path](const std::string& why) {
    throw PictureError("cannot write " + path.string() + ": " + why);
  };
  if (frames.empty()) fail("an animation needs at least one frame");
  const int width = frames[0].width, height = frames[0].height;
  if (width <= 0 || height <= 0 || width > 0xFFFF || height > 0xFFFF)
    fail("a GIF frame holds 1 to 65535 pixels a side");
  const std::size_t frameSize = std::size_t(width) * height;
  if (std::int64_t(frameSize) * std::int64_t(frames.size()) > kMostPixels)
    fail("the animation has more than " + std::to_string(kMostPixels) + " pixels");
  for (const RgbImage& frame : frames)
    if (frame.width != width || frame.height != height || frame.pixels.size() != frameSize * 3)
      fail("the frames are not all of one size");

  // Every frame's pixels as one tall picture, for one palette.
  const std::size_t pixels = frameSize * frames.size();
  std::vector<GifByteType> red(pixels), green(pixels), blue(pixels), indices(pixels);
  for (std::size_t f = 0; f < frames.size(); ++f)
    for (std::size_t i = 0; i < frameSize; ++i) {
      red[f * frameSize + i] = frames[f].pixels[3 * i];
      green[f * frameSize + i] = frames[f].pixels[3 * i + 1];
      blue[f * frameSize + i] = frames[f].pixels[3 * i + 2];
    }
  int colours = 256;
  std::unique_ptr<ColorMapObject, MapDeleter> map(GifMakeMapObject(colours, nullptr));
  if (!map) fail("out of memory");
  if (GifQuantizeBuffer(unsigned(width), unsigned(height * frames.size()), &colours, red.data(),
                        green.data(), blue.data(), indices.data(), map->Colors) != GIF_OK)
    fail("the colours could not be reduced to 256");

  std::vector<std::uint8_t> bytes;
  int error = 0;
  GifFileType* gif = EGifOpen(&bytes, Append, &error);
  if (!gif) fail("giflib cannot start a file");
  EGifSetGifVersion(gif, true);
  bool ok = EGifPutScreenDesc(gif, width, height, 8, 0, map.get()) == GIF_OK;
  // The application extension that makes viewers repeat the animation.
  static const char kLoop[] = "NETSCAPE2.0";
  static const GifByteType kForEver[] = {1, 0, 0};
  ok = ok && EGifPutExtensionLeader(gif, APPLICATION_EXT_FUNC_CODE) == GIF_OK &&
       EGifPutExtensionBlock(gif, 11, kLoop) == GIF_OK &&
       EGifPutExtensionBlock(gif, 3, kForEver) == GIF_OK &&
       EGifPutExtensionTrailer(gif) == GIF_OK;
  for (std::size_t f = 0; ok && f < frames.size(); ++f) {
    GraphicsControlBlock control{};
    control.DisposalMode = DISPOSE_DO_NOT;
    control.DelayTime = delayCentiseconds;
    control.TransparentColor = NO_TRANSPARENT_COLOR;
    GifByteType extension[4];
    EGifGCBToExtension(&control, extension);
    ok = EGifPutExtension(gif, GRAPHICS_EXT_FUNC_CODE, 4, extension) == GIF_OK &&
         EGifPutImageDesc(gif, 0, 0, width, height, false, nullptr) == GIF_OK;
    for (int y = 0; ok && y < height; ++y)
      ok = EGifPutLine(gif, &indices[f * frameSize + std::size_t(y) * width], width) == GIF_OK;
  }
  if (!ok) error = gif->Error;
  int closeError = 0;
  if (EGifCloseFile(gif, &closeError) != GIF_OK && ok) {
    ok = false;
    error = closeError;
  }
  if (!ok) {
    const char* why = GifErrorString(error);
    fail(why ? why : "giflib failed");
  }

  WholeFileWriter file(path.string());
  if (!file.opened()) throw PictureError("cannot create " + file.temporaryPath());
  file.out().Bytes(bytes.data(), bytes.size());
  if (file.Finish() != WholeFileWriter::kWritten) fail("the file could not be written");
}

}  // namespace vexo
