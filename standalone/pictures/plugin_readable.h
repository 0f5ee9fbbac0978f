// Whether the plug-in's own picture loaders read a file as it is, so that
// vexo can hand it over untouched instead of converting it.
//
// The loaders take uncompressed 4-, 8- and 24-bit BMP pictures stored bottom
// row first; TGA pictures colour-mapped with 24-bit entries, true-colour of
// 24 or 32 bits and grey of 8, raw or run-length, not interleaved; and 4- and
// 8-bit TIM pictures. They pick the loader by the first ".bmp", ".tga" or
// ".tim" (lower or upper case) anywhere in the path, which must be the
// file's own kind.
#pragma once

#include <cstddef>
#include <cstdint>
#include <filesystem>
#include <optional>

namespace vexo {

// The picture's size when the plug-in reads it as it is; nothing when it
// does not. bytes: the whole file. maxPixels: the largest picture the
// plug-in may be given to load whole.
struct PluginPicture {
  int width = 0;
  int height = 0;
};
std::optional<PluginPicture> PluginReadsAsIs(const std::filesystem::path& file,
                                             const std::uint8_t* bytes, std::size_t size,
                                             std::int64_t maxPixels);

// The kind of loader the plug-in picks for a path: ".bmp", ".tga", ".tim",
// or an empty string when the path names none.
const char* PluginLoaderFor(const std::filesystem::path& file);

}  // namespace vexo
