// What the model-file tests share: an export prepared as the save command
// leaves it before the model step, byte access to written files, and an
// independent check of every frame with assimp's MD2 reader.
#pragma once

#include <cstdint>
#include <memory>
#include <string>
#include <vector>

#include "plugin/export_utility.h"
#include "standalone/memory_host.h"

namespace model_test {

// An empty folder of its own for one test.
std::string FreshFolder(const std::string& name);
std::vector<std::uint8_t> ReadFileBytes(const std::string& path);
void WriteFileBytes(const std::string& path, const std::vector<std::uint8_t>& bytes);
bool FileExists(const std::string& path);

// The utility after node listing, sampling at host time 0 and texture
// placement: every face of the mesh is linked to `texture`.
struct PreparedExport {
  vexo::MemoryHost& host;
  std::unique_ptr<ExportUtility> utility = std::make_unique<ExportUtility>();
  SkinTexture texture;

  // Frame names come from `names` (the table keeps its defaults when empty).
  PreparedExport(vexo::MemoryHost& host, std::vector<std::string> names, int imageWidth,
                 int imageHeight, int skinWidth, int skinHeight);
  // True when the listing and sampling succeeded.
  bool ok = false;
};

// Little-endian fields of a file, read by offset.
std::int32_t I32At(const std::vector<std::uint8_t>& bytes, std::size_t offset);
float F32At(const std::vector<std::uint8_t>& bytes, std::size_t offset);

// One frame of a file as its bytes say: the decoded position of vertex i
// is translate + scale * byte on each axis.
struct FileFrame {
  float scale[3];
  float translate[3];
  std::string name;
  std::vector<std::uint8_t> vertexBytes;  // 4 per vertex
  float Position(int vertex, int axis) const {
    return translate[axis] + scale[axis] * vertexBytes[4 * vertex + axis];
  }
};
FileFrame FrameOf(const std::vector<std::uint8_t>& file, int frame);

// Loads every frame of the file with assimp and expects its positions,
// corner order and texture coordinates to match what the file's bytes say.
void ExpectAssimpReadsEveryFrame(const std::string& path);

}  // namespace model_test
