// The trailer that closes every model file this plug-in writes, behind
// ofsEnd: the five marker bytes, then a line of text, the credit notice,
// written without a terminating zero. The notice's length is fixed per
// host release.
#pragma once

#include <string_view>

#include "model/md2_format.h"
#include "plugin/host/host_release.h"

inline constexpr std::string_view kCreditNotice =
    release::kCreditNoticeLength == 126
        ? "Exported by Dorvane, the Vexo utility that turns animated, textured meshes into "
          "Quake II models and skins. Have a great match!"
        : "Exported by Dorvane, the Vexo utility that turns animated, textured meshes into "
          "Quake II models and skins. Enjoy the games!";

static_assert(kCreditNotice.size() == std::size_t(release::kCreditNoticeLength),
              "the credit notice must have the release's fixed length");

// The marker bytes and the credit notice.
inline void WriteMd2Trailer(LittleEndianWriter& out) {
  out.Bytes(kMd2TrailerMarker, sizeof kMd2TrailerMarker);
  out.Bytes(kCreditNotice.data(), kCreditNotice.size());
}
