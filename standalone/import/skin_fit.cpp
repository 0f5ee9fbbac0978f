#include "standalone/import/skin_fit.h"

#include <algorithm>
#include <cmath>

namespace vexo {

std::string TextureTooLargeMessage(const std::string& fileName, int width, int height) {
  return "texture " + fileName + " is " + std::to_string(width) + " x " + std::to_string(height) +
         " pixels and does not fit the " + std::to_string(kSkinAreaSide) + " x " +
         std::to_string(kSkinAreaSide) + " skin area; --max-texture " +
         std::to_string(kSkinAreaSide) + " scales it down while it is prepared";
}

std::string SkinDoesNotFitMessage(const std::vector<PreparedTexture>& textures) {
  const std::size_t count = std::max<std::size_t>(1, textures.size());
  const int perRow = static_cast<int>(std::ceil(std::sqrt(static_cast<double>(count))));
  const int side = kSkinAreaSide / perRow;
  std::string text = "the " + std::to_string(textures.size()) +
                     (textures.size() == 1 ? " texture does" : " textures do") +
                     " not fit into the " + std::to_string(kSkinAreaSide) + " x " +
                     std::to_string(kSkinAreaSide) + " skin area";
  for (const PreparedTexture& t : textures) {
    if (t.width > side || t.height > side) {
      text += "; " + t.fileName + " is " + std::to_string(t.width) + " x " +
              std::to_string(t.height);
    }
  }
  return text + "; --max-texture " + std::to_string(side) +
         " scales every texture down to at most " + std::to_string(side) +
         " pixels a side while preparing it";
}

}  // namespace vexo
