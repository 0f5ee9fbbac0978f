#include "gltf_writer.h"

#include <algorithm>
#include <cstring>
#include <fstream>
#include <limits>
#include <stdexcept>

namespace vexo::testing {
namespace {

std::string Base64(const std::vector<std::uint8_t>& data) {
  static const char* digits = "ABCDEFGHIJKLMNOPQRSTUVWXYZabcdefghijklmnopqrstuvwxyz0123456789+/";
  std::string out;
  for (std::size_t i = 0; i < data.size(); i += 3) {
    std::uint32_t n = std::uint32_t{data[i]} << 16;
    if (i + 1 < data.size()) n |= std::uint32_t{data[i + 1]} << 8;
    if (i + 2 < data.size()) n |= data[i + 2];
    out += digits[(n >> 18) & 63];
    out += digits[(n >> 12) & 63];
    out += i + 1 < data.size() ? digits[(n >> 6) & 63] : '=';
    out += i + 2 < data.size() ? digits[n & 63] : '=';
  }
  return out;
}

std::string Number(float value) {
  char text[32];
  std::snprintf(text, sizeof text, "%.9g", value);
  return text;
}

int ComponentCount(const std::string& type) {
  if (type == "SCALAR") return 1;
  if (type == "VEC2") return 2;
  if (type == "VEC3") return 3;
  if (type == "VEC4") return 4;
  if (type == "MAT4") return 16;
  throw std::invalid_argument("unknown accessor type " + type);
}

}  // namespace

int GltfWriter::View(const void* data, std::size_t size) {
  while (data_.size() % 4 != 0) data_.push_back(0);
  const std::size_t offset = data_.size();
  const auto* bytes = static_cast<const std::uint8_t*>(data);
  data_.insert(data_.end(), bytes, bytes + size);
  views_.push_back("{\"buffer\":0,\"byteOffset\":" + std::to_string(offset) +
                   ",\"byteLength\":" + std::to_string(size) + "}");
  return static_cast<int>(views_.size() - 1);
}

int GltfWriter::Floats(const std::vector<float>& values, const char* type) {
  const int components = ComponentCount(type);
  const int view = View(values.data(), values.size() * sizeof(float));
  std::string accessor = "{\"bufferView\":" + std::to_string(view) +
                         ",\"componentType\":5126,\"count\":" +
                         std::to_string(values.size() / components) + ",\"type\":\"" + type + "\"";
  if (components == 3 || components == 1) {
    std::string min = "[", max = "[";
    for (int c = 0; c < components; ++c) {
      float lo = std::numeric_limits<float>::max(), hi = -lo;
      for (std::size_t i = c; i < values.size(); i += components) {
        lo = std::min(lo, values[i]);
        hi = std::max(hi, values[i]);
      }
      min += (c ? "," : "") + Number(lo);
      max += (c ? "," : "") + Number(hi);
    }
    accessor += ",\"min\":" + min + "],\"max\":" + max + "]";
  }
  accessors_.push_back(accessor + "}");
  return static_cast<int>(accessors_.size() - 1);
}

int GltfWriter::Indices(const std::vector<std::uint16_t>& values) {
  const int view = View(values.data(), values.size() * 2);
  accessors_.push_back("{\"bufferView\":" + std::to_string(view) +
                       ",\"componentType\":5123,\"count\":" + std::to_string(values.size()) +
                       ",\"type\":\"SCALAR\"}");
  return static_cast<int>(accessors_.size() - 1);
}

int GltfWriter::Joints(const std::vector<std::uint8_t>& values) {
  const int view = View(values.data(), values.size());
  accessors_.push_back("{\"bufferView\":" + std::to_string(view) +
                       ",\"componentType\":5121,\"count\":" + std::to_string(values.size() / 4) +
                       ",\"type\":\"VEC4\"}");
  return static_cast<int>(accessors_.size() - 1);
}

int GltfWriter::Bytes(const std::vector<std::uint8_t>& bytes) { return View(bytes.data(), bytes.size()); }

std::string GltfWriter::Json(const std::string& bufferUri, const std::string& members) const {
  std::string json = "{\"asset\":{\"version\":\"2.0\"},\"buffers\":[{\"byteLength\":" +
                     std::to_string(data_.size()) + bufferUri + "}]";
  json += ",\"bufferViews\":[";
  for (std::size_t i = 0; i < views_.size(); ++i) json += (i ? "," : "") + views_[i];
  json += "],\"accessors\":[";
  for (std::size_t i = 0; i < accessors_.size(); ++i) json += (i ? "," : "") + accessors_[i];
  return json + "]," + members + "}";
}

void GltfWriter::Write(const std::filesystem::path& path, const std::string& members) const {
  std::ofstream out(path, std::ios::binary);
  out << Json(",\"uri\":\"data:application/octet-stream;base64," + Base64(data_) + "\"", members);
  if (!out) throw std::runtime_error("cannot write " + path.string());
}

void GltfWriter::WriteBinary(const std::filesystem::path& path, const std::string& members) const {
  // Chunks are padded to 4 bytes: JSON with spaces, the data with zeros.
  std::string json = Json("", members);
  while (json.size() % 4 != 0) json += ' ';
  std::string data(data_.begin(), data_.end());
  while (data.size() % 4 != 0) data += '\0';
  std::string bytes = "glTF";
  auto u32 = [&bytes](std::size_t v) {
    for (int i = 0; i < 4; ++i) bytes += static_cast<char>(v >> (8 * i) & 0xFF);
  };
  u32(2);
  u32(12 + 8 + json.size() + 8 + data.size());
  u32(json.size());
  bytes += "JSON" + json;
  u32(data.size());
  bytes += std::string("BIN\0", 4) + data;
  std::ofstream out(path, std::ios::binary);
  out << bytes;
  if (!out) throw std::runtime_error("cannot write " + path.string());
}

}  // namespace vexo::testing
