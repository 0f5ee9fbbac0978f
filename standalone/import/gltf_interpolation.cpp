#include "standalone/import/gltf_interpolation.h"

#include <nlohmann/json.hpp>

#include <cstdint>
#include <fstream>
#include <iterator>

namespace vexo {
namespace {

using Json = nlohmann::json;

std::uint32_t U32At(const std::string& bytes, std::size_t at) {
  std::uint32_t v = 0;
  for (int i = 3; i >= 0; --i) v = v << 8 | static_cast<unsigned char>(bytes[at + i]);
  return v;
}

// The JSON chunk of a binary glTF file, or an empty string.
std::string GlbJsonChunk(const std::string& bytes) {
  constexpr std::uint32_t kJsonChunk = 0x4E4F534A;  // "JSON"
  if (bytes.size() < 20 || bytes.compare(0, 4, "glTF") != 0) return "";
  const std::uint32_t length = U32At(bytes, 12);
  if (U32At(bytes, 16) != kJsonChunk || length > bytes.size() - 20) return "";
  return bytes.substr(20, length);
}

// The importer's name of node `index`: its own, else "nodes[index]".
std::string NodeName(const Json& nodes, std::size_t index) {
  if (nodes.is_array() && index < nodes.size()) {
    const Json& node = nodes[index];
    if (node.is_object() && node.contains("name") && node["name"].is_string()) {
      std::string name = node["name"].get<std::string>();
      if (!name.empty()) return name;
    }
  }
  return "nodes[" + std::to_string(index) + "]";
}

bool PartOfPath(const std::string& path, AnimatedPart& part) {
  if (path == "translation") part = AnimatedPart::kTranslation;
  else if (path == "rotation") part = AnimatedPart::kRotation;
  else if (path == "scale") part = AnimatedPart::kScale;
  else if (path == "weights") part = AnimatedPart::kWeights;
  else return false;
  return true;
}

}  // namespace

std::vector<HeldChannel> HeldChannelsOfGltfJson(const std::string& text) {
  std::vector<HeldChannel> held;
  const Json root = Json::parse(text, nullptr, false);
  if (root.is_discarded() || !root.is_object() || !root.contains("animations")) return held;
  const Json& animations = root["animations"];
  const Json& nodes = root.contains("nodes") ? root["nodes"] : Json();
  if (!animations.is_array()) return held;
  for (std::size_t a = 0; a < animations.size(); ++a) {
    const Json& animation = animations[a];
    if (!animation.is_object() || !animation.contains("channels") ||
        !animation.contains("samplers"))
      continue;
    const Json& samplers = animation["samplers"];
    const Json& channels = animation["channels"];
    if (!samplers.is_array() || !channels.is_array()) continue;
    for (const Json& channel : channels) {
      if (!channel.is_object() || !channel.contains("sampler") || !channel.contains("target")) {
        continue;
      }
      const Json& sampler = channel["sampler"];
      const Json& target = channel["target"];
      if (!sampler.is_number_unsigned() || sampler.get<std::size_t>() >= samplers.size() ||
          !target.is_object() || !target.contains("node") || !target["node"].is_number_unsigned() ||
          !target.contains("path") || !target["path"].is_string()) {
        continue;
      }
      const Json& used = samplers[sampler.get<std::size_t>()];
      if (!used.is_object() || !used.contains("interpolation") ||
          used["interpolation"] != "STEP") {
        continue;
      }
      HeldChannel entry;
      if (!PartOfPath(target["path"].get<std::string>(), entry.part)) continue;
      entry.animation = a;
      entry.node = NodeName(nodes, target["node"].get<std::size_t>());
      held.push_back(entry);
    }
  }
  return held;
}

std::vector<HeldChannel> ReadGltfHeldChannels(const std::filesystem::path& file) {
  std::string extension = file.extension().string();
  for (char& c : extension) c = static_cast<char>(c >= 'A' && c <= 'Z' ? c - 'A' + 'a' : c);
  if (extension != ".gltf" && extension != ".glb") return {};
  std::ifstream in(file, std::ios::binary);
  if (!in) return {};
  const std::string bytes((std::istreambuf_iterator<char>(in)), std::istreambuf_iterator<char>());
  return HeldChannelsOfGltfJson(extension == ".glb" ? GlbJsonChunk(bytes) : bytes);
}

}  // namespace vexo
