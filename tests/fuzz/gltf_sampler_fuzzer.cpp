// The glTF sampler reader (step and cubic-spline keys read from the file's
// JSON and buffers) on untrusted .gltf and .glb files. A buffer may name
// "keys.bin", which lies beside the input, or come inline as a data URI.
#include <cstdlib>
#include <cstring>

#include "fuzz_input_file.h"
#include "standalone/import/gltf_interpolation.h"

extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t* data, std::size_t size) {
  static const bool bufferWritten = [] {
    // Key times 0, 0.5, 1 and then values counting up, as floats.
    std::uint8_t keys[256];
    for (std::size_t i = 0; i < sizeof keys / 4; ++i) {
      const float value = i < 3 ? 0.5f * float(i) : float(i);
      std::memcpy(keys + 4 * i, &value, 4);
    }
    fuzz::WriteInputFile("keys.bin", keys, sizeof keys);
    return true;
  }();
  (void)bufferWritten;
  const bool binary = size >= 4 && std::memcmp(data, "glTF", 4) == 0;
  const std::string path = fuzz::WriteInputFile(binary ? "scene.glb" : "scene.gltf", data, size);
  std::vector<std::string> notes;
  double sum = 0;
  for (const vexo::GltfChannelKeys& channel : vexo::ReadGltfChannelKeys(path, false, &notes)) {
    if (!channel.step && (channel.inTangents.size() != channel.times.size() ||
                          channel.outTangents.size() != channel.times.size()))
      std::abort();  // a cubic key without its tangents
    for (double t : channel.times) sum += t;
    for (const auto& tangent : channel.inTangents) sum += tangent[0] + tangent[3];
  }
  // Keeps the reads from being optimised away.
  if (sum == 1e300) std::abort();
  return 0;
}
