#include "standalone/import/texture_lookup.h"

#include <assimp/scene.h>

#include <algorithm>
#include <cctype>
#include <deque>
#include <optional>
#include <system_error>
#include <vector>

namespace fs = std::filesystem;

namespace vexo {
namespace {

// How many folders above the scene's the end of a path is looked for in.
constexpr int kHighestFolder = 2;
// How far the search by name goes below the scene's folder.
constexpr int kDeepestFolder = 4;
constexpr int kMostFolders = 2000;

bool IsFile(const fs::path& path) {
  std::error_code error;
  return fs::is_regular_file(path, error);
}

bool IsFolder(const fs::path& path) {
  std::error_code error;
  return fs::is_directory(path, error);
}

fs::path Absolute(const fs::path& path) {
  std::error_code error;
  fs::path absolute = fs::absolute(path, error);
  return (error ? path : absolute).lexically_normal();
}

bool SameIgnoringCase(const std::string& a, const std::string& b) {
  return a.size() == b.size() &&
         std::equal(a.begin(), a.end(), b.begin(), [](char x, char y) {
           return std::tolower(static_cast<unsigned char>(x)) == std::tolower(static_cast<unsigned char>(y));
         });
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

// The reference's folders and name, whatever the separators; a drive
// letter and empty parts are dropped.
std::vector<std::string> Parts(std::string text) {
  if (text.rfind("file://", 0) == 0) text = text.substr(7);
  std::replace(text.begin(), text.end(), '\\', '/');
  if (text.size() >= 2 && std::isalpha(static_cast<unsigned char>(text[0])) && text[1] == ':') {
    text = text.substr(2);
  }
  std::vector<std::string> parts;
  std::size_t start = 0;
  while (start <= text.size()) {
    const std::size_t end = std::min(text.find('/', start), text.size());
    if (end > start) parts.push_back(text.substr(start, end - start));
    start = end + 1;
  }
  return parts;
}

// base/parts, each part matched ignoring case where the exact name is not
// there; ".." climbs.
std::optional<fs::path> Follow(fs::path base, const std::vector<std::string>& parts, std::size_t first) {
  for (std::size_t i = first; i < parts.size(); ++i) {
    const std::string& part = parts[i];
    const bool last = i + 1 == parts.size();
    if (part == ".") continue;
    if (part == "..") {
      base = base.parent_path();
      continue;
    }
    fs::path next = base / part;
    if (!(last ? IsFile(next) : IsFolder(next))) {
      std::error_code error;
      bool found = false;
      for (fs::directory_iterator it(base, error), end; !error && it != end; it.increment(error)) {
        if (SameIgnoringCase(it->path().filename().string(), part) &&
            (last ? IsFile(it->path()) : IsFolder(it->path()))) {
          next = it->path();
          found = true;
          break;
        }
      }
      if (!found) return std::nullopt;
    }
    base = next;
  }
  return base;
}

// The nearest file of that name (ignoring case) below the folder.
std::optional<fs::path> SearchByName(const fs::path& folder, const std::string& name) {
  std::deque<std::pair<fs::path, int>> queue{{folder, 0}};
  int visited = 0;
  while (!queue.empty() && visited++ < kMostFolders) {
    const auto [dir, depth] = queue.front();
    queue.pop_front();
    std::vector<fs::path> folders;
    std::error_code error;
    for (fs::directory_iterator it(dir, error), end; !error && it != end; it.increment(error)) {
      if (it->is_symlink(error)) continue;
      if (it->is_directory(error)) {
        folders.push_back(it->path());
      } else if (SameIgnoringCase(it->path().filename().string(), name) && IsFile(it->path())) {
        return it->path();
      }
    }
    if (depth + 1 > kDeepestFolder) continue;
    std::sort(folders.begin(), folders.end());
    for (const fs::path& f : folders) queue.emplace_back(f, depth + 1);
  }
  return std::nullopt;
}

std::optional<fs::path> FindFile(const std::string& reference, const fs::path& sceneFolder) {
  const std::vector<std::string> parts = Parts(reference);
  if (parts.empty()) return std::nullopt;
  // An absolute path that is there.
  const fs::path asWritten(reference);
  if (asWritten.is_absolute() && IsFile(asWritten)) return asWritten;
  // A relative path, unless a root or drive made it absolute elsewhere.
  const bool rooted = !reference.empty() && (reference[0] == '/' || reference[0] == '\\' ||
                                             (reference.size() > 1 && reference[1] == ':'));
  if (!rooted) {
    if (auto found = Follow(sceneFolder, parts, 0)) return found;
  }
  // The end of the path, from its last folders down to the name alone;
  // climbs out of the folder are not followed here. A project's other
  // folders lie beside the scene's: the ends with a folder are also looked
  // for from the folders above it.
  const fs::path base = Absolute(sceneFolder);
  for (std::size_t first = 0; first < parts.size(); ++first) {
    if (std::find(parts.begin() + static_cast<long>(first), parts.end(), "..") != parts.end()) continue;
    fs::path from = base;
    for (int up = 0; up <= kHighestFolder; ++up, from = from.parent_path()) {
      if (up > 0 && (first + 1 == parts.size() || from == from.parent_path())) break;
      if (auto found = Follow(from, parts, first)) return found;
    }
  }
  return SearchByName(sceneFolder, parts.back());
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
  const fs::path folder = sceneFolder.empty() ? fs::path(".") : sceneFolder;
  for (const std::string& text : {reference, DecodePercent(reference)}) {
    if (const auto found = FindFile(text, folder)) {
      source.file = Absolute(*found);
      source.found = true;
      return source;
    }
  }
  const std::vector<std::string> parts = Parts(reference);
  fs::path expected = folder;
  for (const std::string& part : parts) expected /= part;
  source.file = Absolute(parts.empty() ? folder / reference : expected);
  return source;
}

}  // namespace vexo
