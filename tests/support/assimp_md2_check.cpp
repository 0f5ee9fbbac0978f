#include "tests/support/assimp_md2_check.h"

#include <assimp/config.h>
#include <assimp/postprocess.h>
#include <assimp/scene.h>
#include <gtest/gtest.h>

#include <assimp/Importer.hpp>
#include <cmath>

#include "tests/support/md2_file.h"

namespace test_support {

void ExpectAssimpReadsEveryFrame(const std::string& path) {
  Md2File model;
  std::string error;
  ASSERT_TRUE(ParseMd2(ReadFileBytes(path), &model, &error)) << path << ": " << error;

  for (int f = 0; f < model.numFrames; ++f) {
    SCOPED_TRACE("frame " + std::to_string(f));
    Assimp::Importer importer;
    importer.SetPropertyInteger(AI_CONFIG_IMPORT_MD2_KEYFRAME, f);
    const aiScene* scene = importer.ReadFile(path, 0);
    ASSERT_NE(scene, nullptr) << importer.GetErrorString();
    ASSERT_EQ(scene->mNumMeshes, 1u);
    const aiMesh* mesh = scene->mMeshes[0];
    ASSERT_EQ(mesh->mNumFaces, unsigned(model.numTriangles));
    ASSERT_TRUE(mesh->HasTextureCoords(0));
    const Md2FileFrame& frame = model.frames[f];

    for (int t = 0; t < model.numTriangles; ++t) {
      const aiFace& face = mesh->mFaces[t];
      ASSERT_EQ(face.mNumIndices, 3u);
      // assimp lists a triangle's corners in reverse.
      for (int j = 0; j < 3; ++j) {
        const unsigned index = face.mIndices[j];
        const int vertex = model.triangles[t].vertex[2 - j];
        const Md2FileTexCoord& texCoord = model.texCoords.at(model.triangles[t].texCoord[2 - j]);
        const aiVector3D& p = mesh->mVertices[index];
        const float read[3] = {p.x, p.y, p.z};
        for (int k = 0; k < 3; ++k) {
          const float expected = frame.Position(vertex, k);
          EXPECT_NEAR(read[k], expected, 1e-5f * (1.0f + std::fabs(expected)))
              << "triangle " << t << " corner " << j << " axis " << k;
        }
        const aiVector3D& uv = mesh->mTextureCoords[0][index];
        EXPECT_FLOAT_EQ(uv.x, float(texCoord.s) / float(model.skinWidth));
        EXPECT_FLOAT_EQ(uv.y, 1.0f - float(texCoord.t) / float(model.skinHeight));
      }
    }
  }
}

}  // namespace test_support
