#include "model_test_support.h"

#include <assimp/config.h>
#include <assimp/postprocess.h>
#include <assimp/scene.h>
#include <gtest/gtest.h>

#include <algorithm>
#include <assimp/Importer.hpp>
#include <cmath>
#include <cstring>
#include <filesystem>
#include <fstream>
#include <iterator>

namespace model_test {

namespace fs = std::filesystem;

std::string FreshFolder(const std::string& name) {
  const fs::path folder = fs::path(::testing::TempDir()) / ("vexo_model_" + name);
  fs::remove_all(folder);
  fs::create_directories(folder);
  return folder.string();
}

std::vector<std::uint8_t> ReadFileBytes(const std::string& path) {
  std::ifstream in(path, std::ios::binary);
  return std::vector<std::uint8_t>(std::istreambuf_iterator<char>(in), {});
}

void WriteFileBytes(const std::string& path, const std::vector<std::uint8_t>& bytes) {
  std::ofstream out(path, std::ios::binary | std::ios::trunc);
  out.write(reinterpret_cast<const char*>(bytes.data()), std::streamsize(bytes.size()));
}

bool FileExists(const std::string& path) { return fs::exists(path); }

PreparedExport::PreparedExport(vexo::MemoryHost& h, std::vector<std::string> names, int imageWidth,
                               int imageHeight, int skinWidth, int skinHeight)
    : host(h) {
  ExportUtility& u = *utility;
  if (!names.empty()) {
    u.frameNames.count = static_cast<std::int32_t>(names.size());
    for (std::size_t i = 0; i < names.size(); ++i) {
      std::memset(u.frameNames.names[i], 0, kFrameNameSize);
      std::strncpy(u.frameNames.names[i], names[i].c_str(), kFrameNameSize - 1);
    }
  }
  texture.image.info.width = imageWidth;
  texture.image.info.height = imageHeight;
  std::strcpy(texture.image.name, "skin.bmp");
  u.skinWidth = skinWidth;
  u.skinHeight = skinHeight;

  u.context.EnumerateNodes(&host, kNodeHasMaterial | kNodeIsSelected);
  ok = u.context.SampleMesh(0, u.context.nodeCount, &u.vertices, &u.faces, &u.vertexCount,
                            &u.faceCount, 0) == 1;
  if (!ok || u.faceCount == 0) return;
  texture.uMin = texture.uMax = u.faces[0].u[0];
  texture.vMin = texture.vMax = u.faces[0].v[0];
  for (int i = 0; i < u.faceCount; ++i) {
    SampledFace& face = u.faces[i];
    face.texture = &texture;
    for (int k = 0; k < 3; ++k) {
      texture.uMin = std::min(texture.uMin, face.u[k]);
      texture.vMin = std::min(texture.vMin, face.v[k]);
    }
  }
}

std::int32_t I32At(const std::vector<std::uint8_t>& bytes, std::size_t offset) {
  std::uint32_t v = 0;
  for (int i = 3; i >= 0; --i) v = (v << 8) | bytes.at(offset + i);
  return static_cast<std::int32_t>(v);
}

float F32At(const std::vector<std::uint8_t>& bytes, std::size_t offset) {
  const std::uint32_t bits = static_cast<std::uint32_t>(I32At(bytes, offset));
  float v;
  std::memcpy(&v, &bits, 4);
  return v;
}

FileFrame FrameOf(const std::vector<std::uint8_t>& file, int frame) {
  const std::size_t numVertices = std::size_t(I32At(file, 24));
  const std::size_t at = std::size_t(I32At(file, 56)) + std::size_t(frame) * (40 + 4 * numVertices);
  FileFrame f;
  for (int k = 0; k < 3; ++k) {
    f.scale[k] = F32At(file, at + 4 * k);
    f.translate[k] = F32At(file, at + 12 + 4 * k);
  }
  const char* name = reinterpret_cast<const char*>(&file.at(at + 24));
  f.name.assign(name, strnlen(name, 16));
  f.vertexBytes.assign(file.begin() + long(at + 40),
                       file.begin() + long(at + 40 + 4 * numVertices));
  return f;
}

void ExpectAssimpReadsEveryFrame(const std::string& path) {
  const std::vector<std::uint8_t> file = ReadFileBytes(path);
  const int skinWidth = I32At(file, 8);
  const int skinHeight = I32At(file, 12);
  const int numTriangles = I32At(file, 32);
  const int numFrames = I32At(file, 40);
  const std::size_t ofsTexCoords = std::size_t(I32At(file, 48));
  const std::size_t ofsTriangles = std::size_t(I32At(file, 52));
  auto u16 = [&](std::size_t at) { return int(file.at(at) | (file.at(at + 1) << 8)); };
  auto i16 = [&](std::size_t at) { return int(std::int16_t(u16(at))); };

  for (int f = 0; f < numFrames; ++f) {
    SCOPED_TRACE("frame " + std::to_string(f));
    Assimp::Importer importer;
    importer.SetPropertyInteger(AI_CONFIG_IMPORT_MD2_KEYFRAME, f);
    const aiScene* scene = importer.ReadFile(path, 0);
    ASSERT_NE(scene, nullptr) << importer.GetErrorString();
    ASSERT_EQ(scene->mNumMeshes, 1u);
    const aiMesh* mesh = scene->mMeshes[0];
    ASSERT_EQ(mesh->mNumFaces, unsigned(numTriangles));
    ASSERT_TRUE(mesh->HasTextureCoords(0));
    const FileFrame frame = FrameOf(file, f);

    for (int t = 0; t < numTriangles; ++t) {
      const aiFace& face = mesh->mFaces[t];
      ASSERT_EQ(face.mNumIndices, 3u);
      // assimp lists a triangle's corners in reverse.
      for (int j = 0; j < 3; ++j) {
        const unsigned index = face.mIndices[j];
        const int vertex = u16(ofsTriangles + 12 * t + 2 * (2 - j));
        const int texCoord = u16(ofsTriangles + 12 * t + 6 + 2 * (2 - j));
        const aiVector3D& p = mesh->mVertices[index];
        const float read[3] = {p.x, p.y, p.z};
        for (int k = 0; k < 3; ++k) {
          const float expected = frame.Position(vertex, k);
          EXPECT_NEAR(read[k], expected, 1e-5f * (1.0f + std::fabs(expected)))
              << "triangle " << t << " corner " << j << " axis " << k;
        }
        const aiVector3D& uv = mesh->mTextureCoords[0][index];
        EXPECT_FLOAT_EQ(uv.x, float(i16(ofsTexCoords + 4 * texCoord)) / float(skinWidth));
        EXPECT_FLOAT_EQ(uv.y,
                        1.0f - float(i16(ofsTexCoords + 4 * texCoord + 2)) / float(skinHeight));
      }
    }
  }
}

}  // namespace model_test
