// Writes small glTF 2.0 files for tests and benchmarks: binary data is
// gathered into one base64 buffer inside the .gltf, and the caller writes
// the rest of the JSON with the accessor numbers this hands out.
#pragma once

#include <cstdint>
#include <filesystem>
#include <string>
#include <vector>

namespace vexo::testing {

class GltfWriter {
 public:
  // Accessors; the returned number goes into the JSON. Three-component
  // float data gets the min and max that POSITION needs.
  int Floats(const std::vector<float>& values, const char* type);
  int Indices(const std::vector<std::uint16_t>& values);
  int Joints(const std::vector<std::uint8_t>& values);  // VEC4 of bytes
  // A buffer view holding raw bytes (an embedded picture).
  int Bytes(const std::vector<std::uint8_t>& bytes);

  // Writes the file: members is the JSON of everything but asset,
  // buffers, bufferViews and accessors, e.g. "\"nodes\":[...],\"meshes\":[...]".
  void Write(const std::filesystem::path& path, const std::string& members) const;
  // The same as a binary glTF (.glb): the JSON chunk and the data chunk.
  void WriteBinary(const std::filesystem::path& path, const std::string& members) const;

 private:
  int View(const void* data, std::size_t size);
  std::string Json(const std::string& bufferUri, const std::string& members) const;

  std::vector<std::uint8_t> data_;
  std::vector<std::string> views_;
  std::vector<std::string> accessors_;
};

}  // namespace vexo::testing
