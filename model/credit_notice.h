// The line of text that closes every model file this plug-in writes,
// behind the marker bytes of the trailer. Written without a terminating
// zero; its length is fixed per host release.
#pragma once

#include <string_view>

#include "plugin/host/host_release.h"

inline constexpr std::string_view kCreditNotice =
    release::kCreditNoticeLength == 126
        ? "Exported by Dorvane, the Vexo utility that turns animated, textured meshes into "
          "Quake II models and skins. Have a great match!"
        : "Exported by Dorvane, the Vexo utility that turns animated, textured meshes into "
          "Quake II models and skins. Enjoy the games!";

static_assert(kCreditNotice.size() == std::size_t(release::kCreditNoticeLength),
              "the credit notice must have the release's fixed length");
