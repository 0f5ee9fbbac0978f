#include "standalone/import/import_options.h"

namespace vexo {

std::filesystem::path TextureCacheFolder(const std::filesystem::path& outputFile) {
  return outputFile.parent_path() / "vexo-textures";
}

}  // namespace vexo
