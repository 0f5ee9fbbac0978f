#include "standalone/import/clip_mapping.h"

#include "standalone/import/import_options.h"

namespace vexo {

ClipMapping ParseClipMapping(const std::string& text) {
  const std::size_t colon = text.rfind(':');
  const std::size_t dash = colon == std::string::npos ? std::string::npos : text.find('-', colon);
  ClipMapping mapping;
  if (dash != std::string::npos) {
    mapping.clip = text.substr(0, colon);
    mapping.firstFrame = text.substr(colon + 1, dash - colon - 1);
    mapping.lastFrame = text.substr(dash + 1);
  }
  if (mapping.clip.empty() || mapping.firstFrame.empty() || mapping.lastFrame.empty()) {
    throw ImportError("--map \"" + text + "\": expected CLIP:FIRST-LAST, e.g. Run:run1-run6");
  }
  return mapping;
}

}  // namespace vexo
