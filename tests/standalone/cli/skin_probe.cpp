#include "tests/standalone/cli/skin_probe.h"

#include <assimp/Importer.hpp>
#include <assimp/scene.h>

#include <cstdio>
#include <fstream>
#include <sstream>
#include <string>

namespace vexo::testing {

std::vector<Colour> TriangleColours(const std::filesystem::path& model,
                                    const std::filesystem::path& skin) {
  Assimp::Importer importer;
  const aiScene* scene = importer.ReadFile(model.string(), 0);
  if (!scene || scene->mNumMeshes != 1) return {};
  const aiMesh* mesh = scene->mMeshes[0];
  if (!mesh->HasTextureCoords(0)) return {};
  // The middle of each triangle in texture coordinates (assimp's v is up).
  const std::filesystem::path points = skin.string() + ".points";
  {
    std::ofstream out(points);
    for (unsigned f = 0; f < mesh->mNumFaces; ++f) {
      float u = 0, v = 0;
      for (unsigned k = 0; k < 3; ++k) {
        u += mesh->mTextureCoords[0][mesh->mFaces[f].mIndices[k]].x / 3;
        v += mesh->mTextureCoords[0][mesh->mFaces[f].mIndices[k]].y / 3;
      }
      out << u << " " << v << "\n";
    }
  }
  const std::string command =
      "/usr/bin/python3 -c \"import sys\nfrom PIL import Image\n"
      "im = Image.open(sys.argv[1]).convert('RGB')\n"
      "for line in open(sys.argv[2]):\n"
      "  u, v = map(float, line.split())\n"
      "  x = min(int(u * im.width), im.width - 1); y = min(int((1 - v) * im.height), im.height - 1)\n"
      "  print(*im.getpixel((x, y)))\n\" '" + skin.string() + "' '" + points.string() + "'";
  std::vector<Colour> colours;
  if (std::FILE* pipe = popen(command.c_str(), "r")) {
    int r, g, b;
    while (std::fscanf(pipe, "%d %d %d", &r, &g, &b) == 3) colours.push_back({r, g, b});
    pclose(pipe);
  }
  std::filesystem::remove(points);
  return colours;
}

}  // namespace vexo::testing
