// Writes pictures as a looping GIF animation (giflib): one palette of 256
// colours for every frame, chosen by giflib's median cut over all of their
// pixels, so colours do not flicker from frame to frame.
#pragma once

#include <filesystem>
#include <vector>

#include "standalone/pictures/picture.h"

namespace vexo {

// The frames, all of one size, each shown for delay hundredths of a second,
// repeated for ever. Written whole or not at all; throws PictureError naming
// the file on failure.
void WriteGif(const std::filesystem::path& path, const std::vector<RgbImage>& frames,
              int delayCentiseconds);

}  // namespace vexo
