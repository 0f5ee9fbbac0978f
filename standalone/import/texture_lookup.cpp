#include "standalone/import/texture_lookup.h"

#include <assimp/scene.h>

#include <algorithm>
#include <cctype>
#include <system_error>
#include <vector>

namespace fs = std::filesystem;

namespace vexo {
namespace {

bool Exists(const fs::path& path) {
  std::error_code error;
  return fs::is_regular_file(path, error);
}

fs::path Absolute(const fs::path& path) {
  std::error_code error;
  fs::path absolute = fs::absolute(path, error);
  return (error ? path : absolute).lexically_normal();
}

// "%20" and the like, as URIs in scene files write them.
std::string DecodePercent(const std::string& text) {
  std::string out;
  for (std::size_t i = 0; i < text.size(); ++i) {
    if (text[i] == '%' && i + 2 < text.size() && std::isxdigit(static_cast<unsigned char>(text[i + 1])) &&
        std::isxdigit(static_cast<unsigned char>(text[i + 2]))) {
      out.push_back(static_cast<char>(std::stoi(text.substr(i + 1, 2), nullptr, 16)));
      i += 2;
    } else {
      out.push_back(text[i]);
    }
  }
  return out;
}

}  // namespace

std::string TextureSource::Describe() const {
  return embedded ? "embedded texture " + reference : file.string();
}

TextureSource ResolveTexture(const aiScene& scene, const std::string& reference,
                             const fs::path& sceneFolder) {
  TextureSource source;
  source.reference = reference;
  if (const aiTexture* embedded = scene.GetEmbeddedTexture(reference.c_str())) {
    source.embedded = embedded;
    for (unsigned i = 0; i < scene.mNumTextures; ++i) {
      if (scene.mTextures[i] == embedded) source.embeddedIndex = static_cast<int>(i);
    }
    source.found = true;
    return source;
  }
  std::string text = reference;
  if (text.rfind("file://", 0) == 0) text = text.substr(7);
  std::replace(text.begin(), text.end(), '\\', '/');
  std::vector<fs::path> candidates;
  for (const std::string& name : {text, DecodePercent(text)}) {
    const fs::path path(name);
    candidates.push_back(path.is_absolute() ? path : sceneFolder / path);
    if (path.has_filename()) candidates.push_back(sceneFolder / path.filename());
  }
  for (const fs::path& candidate : candidates) {
    if (Exists(candidate)) {
      source.file = Absolute(candidate);
      source.found = true;
      return source;
    }
  }
  source.file = Absolute(candidates.front());
  return source;
}

}  // namespace vexo
