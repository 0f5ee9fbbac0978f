#include "standalone/import/gltf_interpolation.h"

#include <nlohmann/json.hpp>

extern "C" {
#include <b64/cdecode.h>
}

#include <algorithm>
#include <cctype>
#include <cstdint>
#include <cstring>
#include <optional>
#include <vector>

#include "base/little_endian.h"
#include "base/closing_file.h"
#include "base/whole_file_reader.h"

namespace vexo {
namespace {

using Json = nlohmann::json;

// A member of a JSON object; null when there is no such member (or no
// object), so that a file missing something reads as "not there".
const Json& Field(const Json& object, const char* name) {
  static const Json kNull;
  if (!object.is_object()) return kNull;
  const auto it = object.find(name);
  return it == object.end() ? kNull : *it;
}

constexpr int kByte = 5120, kUnsignedByte = 5121, kShort = 5122, kUnsignedShort = 5123,
              kFloat = 5126;

std::optional<std::string> ReadFile(const std::filesystem::path& file) {
  std::vector<std::uint8_t> bytes;
  std::string error;
  if (!ReadWholeFile(file.string(), bytes, error)) return std::nullopt;
  return std::string(bytes.begin(), bytes.end());
}

std::uint32_t U32At(const std::string& bytes, std::size_t at) {
  return ReadU32LE(reinterpret_cast<const std::uint8_t*>(bytes.data() + at));
}

// A glTF file split into its JSON and, for a binary file, the data chunk
// that its first buffer without a URI refers to.
struct GltfFile {
  Json json;
  std::string binaryChunk;
  std::filesystem::path folder;  // where relative URIs point
  bool filesOutsideFolder = false;
  std::vector<std::string>* notes = nullptr;
};

// Nothing when the file cannot be read or has no sampler that needs it.
std::optional<GltfFile> ReadGltf(const std::filesystem::path& file, bool binary) {
  const std::optional<std::string> bytes = ReadFile(file);
  if (!bytes) return std::nullopt;
  GltfFile gltf;
  gltf.folder = file.parent_path();
  std::string jsonText = *bytes;
  if (binary) {
    constexpr std::uint32_t kJsonChunk = 0x4E4F534A, kBinChunk = 0x004E4942;  // "JSON", "BIN"
    if (bytes->size() < 20 || bytes->compare(0, 4, "glTF") != 0) return std::nullopt;
    jsonText.clear();
    for (std::size_t at = 12; at + 8 <= bytes->size();) {
      const std::size_t length = U32At(*bytes, at);
      const std::uint32_t type = U32At(*bytes, at + 4);
      if (length > bytes->size() - at - 8) return std::nullopt;
      if (type == kJsonChunk && jsonText.empty()) jsonText = bytes->substr(at + 8, length);
      if (type == kBinChunk && gltf.binaryChunk.empty()) gltf.binaryChunk = bytes->substr(at + 8, length);
      at += 8 + length;
    }
  }
  // Most files blend every key: they need no parsing here.
  if (jsonText.find("\"STEP\"") == std::string::npos &&
      jsonText.find("\"CUBICSPLINE\"") == std::string::npos)
    return std::nullopt;
  gltf.json = Json::parse(jsonText, nullptr, false);
  if (gltf.json.is_discarded() || !gltf.json.is_object()) return std::nullopt;
  return gltf;
}

std::string DecodeBase64(const std::string& text) {
  std::string bytes(text.size() / 4 * 3 + 3, '\0');
  base64_decodestate state;
  base64_init_decodestate(&state);
  const int n = base64_decode_block(text.data(), static_cast<int>(text.size()), bytes.data(), &state);
  bytes.resize(static_cast<std::size_t>(n));
  return bytes;
}

// "%20" and the like in a relative URI.
std::string PercentDecoded(const std::string& uri) {
  std::string out;
  for (std::size_t i = 0; i < uri.size(); ++i) {
    if (uri[i] == '%' && i + 2 < uri.size() && std::isxdigit(static_cast<unsigned char>(uri[i + 1])) &&
        std::isxdigit(static_cast<unsigned char>(uri[i + 2]))) {
      out += static_cast<char>(std::stoi(uri.substr(i + 1, 2), nullptr, 16));
      i += 2;
    } else {
      out += uri[i];
    }
  }
  return out;
}

// A whole number member, or `fallback` when it is missing or no such number.
std::size_t SizeField(const Json& object, const char* name, std::size_t fallback = 0) {
  const Json& value = Field(object, name);
  return value.is_number_unsigned() ? value.get<std::size_t>() : fallback;
}

void Note(const GltfFile& gltf, const std::string& note) {
  if (gltf.notes) gltf.notes->push_back(note);
}

// The first byteLength bytes of a buffer file named by a relative URI: only
// a regular file (not a pipe or a device that never ends), and only inside
// the glTF file's folder unless the user allows otherwise. Empty when it is
// not read.
std::string ReadBufferFile(const GltfFile& gltf, const std::string& name, std::size_t byteLength) {
  namespace fs = std::filesystem;
  std::error_code error;
  const fs::path file = fs::weakly_canonical(gltf.folder / name, error);
  if (error) return "";
  if (!gltf.filesOutsideFolder) {
    const fs::path folder = fs::weakly_canonical(gltf.folder.empty() ? "." : gltf.folder, error);
    const fs::path inside = file.lexically_relative(folder);
    if (error || inside.empty() || *inside.begin() == "..") {
      Note(gltf, "the animation buffer " + name + " lies outside the scene's folder and was not "
                 "read; its step and cubic keys blend linearly (--allow-outside-files reads it)");
      return "";
    }
  }
  if (!fs::is_regular_file(file, error)) {
    Note(gltf, "the animation buffer " + name + " is not a regular file and was not read");
    return "";
  }
  ClosingFile in(file.string().c_str(), "rb");
  const std::int64_t size = in ? FileSize(in.get()) : -1;
  if (size < 0) return "";
  std::string bytes(std::min(byteLength, static_cast<std::size_t>(size)), '\0');
  bytes.resize(std::fread(bytes.data(), 1, bytes.size(), in.get()));
  return bytes;
}

// The bytes of every buffer: the binary chunk, a base64 data URI or a file
// beside the glTF file. A buffer that cannot be had stays empty, and the
// accessors on it are not read.
std::vector<std::string> LoadBuffers(const GltfFile& gltf) {
  std::vector<std::string> buffers;
  const Json& list = Field(gltf.json, "buffers");
  if (!list.is_array()) return buffers;
  for (const Json& buffer : list) {
    std::string bytes;
    if (!buffer.is_object() || !buffer.contains("uri")) {  // the binary chunk
      bytes = gltf.binaryChunk;
    } else if (Field(buffer, "uri").is_string()) {
      const std::string uri = Field(buffer, "uri").get<std::string>();
      const std::size_t comma = uri.find(',');
      if (uri.rfind("data:", 0) == 0) {
        if (comma != std::string::npos && comma >= 7 && uri.compare(comma - 7, 7, ";base64") == 0) {
          bytes = DecodeBase64(uri.substr(comma + 1));
        }
      } else if (uri.find(':') == std::string::npos) {
        bytes = ReadBufferFile(gltf, PercentDecoded(uri), SizeField(buffer, "byteLength"));
      }
    }
    buffers.push_back(std::move(bytes));
  }
  return buffers;
}


int ComponentCount(const std::string& type) {
  if (type == "SCALAR") return 1;
  if (type == "VEC2") return 2;
  if (type == "VEC3") return 3;
  if (type == "VEC4") return 4;
  return 0;
}

int ComponentSize(int componentType) {
  switch (componentType) {
    case kByte:
    case kUnsignedByte: return 1;
    case kShort:
    case kUnsignedShort: return 2;
    case kFloat: return 4;
    default: return 0;
  }
}

// One component as a number; integer components of animation output are
// normalised as glTF defines it.
double ComponentAt(const unsigned char* at, int componentType) {
  switch (componentType) {
    case kFloat: {
      float v;
      std::memcpy(&v, at, sizeof v);
      return v;
    }
    case kByte: {
      std::int8_t v;
      std::memcpy(&v, at, sizeof v);
      return std::max(v / 127.0, -1.0);
    }
    case kUnsignedByte: return *at / 255.0;
    case kShort: {
      std::int16_t v;
      std::memcpy(&v, at, sizeof v);
      return std::max(v / 32767.0, -1.0);
    }
    case kUnsignedShort: {
      std::uint16_t v;
      std::memcpy(&v, at, sizeof v);
      return v / 65535.0;
    }
    default: return 0;
  }
}

// The elements of an accessor, `components` numbers each; nothing when the
// accessor is sparse, of an unknown kind or reaches past its data.
std::optional<std::vector<double>> ReadAccessor(const Json& root,
                                                const std::vector<std::string>& buffers,
                                                const Json& indexField, int& components) {
  if (!indexField.is_number_unsigned()) return std::nullopt;
  const Json& accessors = Field(root, "accessors");
  const Json& views = Field(root, "bufferViews");
  const std::size_t index = indexField.get<std::size_t>();
  if (!accessors.is_array() || index >= accessors.size() || !views.is_array()) return std::nullopt;
  const Json& accessor = accessors[index];
  if (!accessor.is_object() || accessor.contains("sparse") ||
      !Field(accessor, "type").is_string() || !Field(accessor, "componentType").is_number_integer())
    return std::nullopt;
  const std::size_t viewIndex = SizeField(accessor, "bufferView", views.size());
  if (viewIndex >= views.size() || !views[viewIndex].is_object()) return std::nullopt;
  const Json& view = views[viewIndex];
  const std::size_t bufferIndex = SizeField(view, "buffer", buffers.size());
  if (bufferIndex >= buffers.size()) return std::nullopt;
  const std::string& data = buffers[bufferIndex];

  components = ComponentCount(Field(accessor, "type").get<std::string>());
  const int componentType = Field(accessor, "componentType").get<int>();
  const int size = ComponentSize(componentType);
  const std::size_t count = SizeField(accessor, "count");
  const std::size_t element = std::size_t(components) * std::size_t(size);
  const std::size_t stride = SizeField(view, "byteStride", element);
  const std::size_t viewStart = SizeField(view, "byteOffset");
  const std::size_t viewLength = SizeField(view, "byteLength");
  if (components == 0 || size == 0 || stride < element || count == 0 || viewStart > data.size())
    return std::nullopt;
  const std::size_t end = viewStart + std::min(viewLength, data.size() - viewStart);
  const std::size_t start = viewStart + SizeField(accessor, "byteOffset");
  if (start > end || end - start < element) return std::nullopt;
  // The last element starts (count - 1) strides after the first.
  if (count - 1 > (end - start - element) / stride) return std::nullopt;

  std::vector<double> values;
  values.reserve(count * std::size_t(components));
  const auto* bytes = reinterpret_cast<const unsigned char*>(data.data());
  for (std::size_t i = 0; i < count; ++i) {
    const unsigned char* at = bytes + start + i * stride;
    for (int c = 0; c < components; ++c) values.push_back(ComponentAt(at + c * size, componentType));
  }
  return values;
}

bool PartOfPath(const std::string& path, AnimatedPart& part) {
  if (path == "translation") part = AnimatedPart::kTranslation;
  else if (path == "rotation") part = AnimatedPart::kRotation;
  else if (path == "scale") part = AnimatedPart::kScale;
  else if (path == "weights") part = AnimatedPart::kWeights;
  else return false;
  return true;
}

// The importer's name of node `index`: its own, else "nodes[index]".
std::string NodeName(const Json& root, std::size_t index) {
  const Json& nodes = Field(root, "nodes");
  if (nodes.is_array() && index < nodes.size()) {
    const Json& name = Field(nodes[index], "name");
    if (name.is_string() && !name.get<std::string>().empty()) return name.get<std::string>();
  }
  return "nodes[" + std::to_string(index) + "]";
}

// Fills the tangents of a cubic spline: its output holds, per key, the
// in-tangent, the value and the out-tangent.
bool ReadTangents(const Json& root, const std::vector<std::string>& buffers, const Json& sampler,
                  GltfChannelKeys& keys) {
  int components = 0;
  const std::optional<std::vector<double>> output =
      ReadAccessor(root, buffers, Field(sampler, "output"), components);
  const std::size_t count = keys.times.size();
  if (!output || components < 3 || components > 4 ||
      output->size() != 3 * count * std::size_t(components))
    return false;
  const auto width = std::size_t(components);
  for (std::size_t k = 0; k < count; ++k) {
    std::array<double, 4> in{}, out{};
    for (std::size_t c = 0; c < width; ++c) {
      in[c] = (*output)[3 * k * width + c];
      out[c] = (*output)[(3 * k + 2) * width + c];
    }
    keys.inTangents.push_back(in);
    keys.outTangents.push_back(out);
  }
  return true;
}

}  // namespace

std::vector<GltfChannelKeys> ReadGltfChannelKeys(const std::filesystem::path& file,
                                                 bool filesOutsideFolder,
                                                 std::vector<std::string>* notes) {
  std::string extension = file.extension().string();
  for (char& c : extension) c = static_cast<char>(c >= 'A' && c <= 'Z' ? c - 'A' + 'a' : c);
  std::vector<GltfChannelKeys> found;
  if (extension != ".gltf" && extension != ".glb") return found;
  std::optional<GltfFile> gltf = ReadGltf(file, extension == ".glb");
  if (!gltf || !Field(gltf->json, "animations").is_array()) return found;
  gltf->filesOutsideFolder = filesOutsideFolder;
  gltf->notes = notes;
  const Json& root = gltf->json;
  std::vector<std::string> buffers;
  bool buffersLoaded = false;
  const Json& animations = Field(root, "animations");
  for (std::size_t a = 0; a < animations.size(); ++a) {
    const Json& animation = animations[a];
    if (!Field(animation, "channels").is_array() || !Field(animation, "samplers").is_array()) {
      continue;
    }
    const Json& samplers = Field(animation, "samplers");
    for (const Json& channel : Field(animation, "channels")) {
      const std::size_t samplerIndex = SizeField(channel, "sampler", samplers.size());
      const Json& target = Field(channel, "target");
      if (samplerIndex >= samplers.size() || !Field(target, "node").is_number_unsigned() ||
          !Field(target, "path").is_string())
        continue;
      const Json& sampler = samplers[samplerIndex];
      const Json& interpolationField = Field(sampler, "interpolation");
      const std::string interpolation =
          interpolationField.is_string() ? interpolationField.get<std::string>() : "LINEAR";
      GltfChannelKeys keys;
      keys.step = interpolation == "STEP";
      if (!keys.step && interpolation != "CUBICSPLINE") continue;
      if (!PartOfPath(Field(target, "path").get<std::string>(), keys.part)) continue;
      keys.animation = a;
      keys.node = NodeName(root, Field(target, "node").get<std::size_t>());
      if (!keys.step) {
        if (keys.part == AnimatedPart::kWeights) continue;
        if (!buffersLoaded) {
          buffers = LoadBuffers(*gltf);
          buffersLoaded = true;
        }
        int components = 0;
        const std::optional<std::vector<double>> times =
            ReadAccessor(root, buffers, Field(sampler, "input"), components);
        if (!times || components != 1) continue;
        keys.times = *times;
        if (!ReadTangents(root, buffers, sampler, keys)) continue;
      }
      found.push_back(std::move(keys));
    }
  }
  return found;
}

}  // namespace vexo
