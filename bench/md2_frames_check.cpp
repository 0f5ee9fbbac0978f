// Reads every frame of an MD2 model with assimp, as the broad-set survey
// checks what vexo wrote: exit 0 when each frame loads with the model's
// vertex and triangle counts, 1 (with the reason on stderr) otherwise.
//
//   md2_frames_check MODEL
#include <assimp/Importer.hpp>
#include <assimp/config.h>
#include <assimp/scene.h>

#include <cstdio>
#include <fstream>

int main(int argc, char** argv) {
  if (argc != 2) {
    std::fprintf(stderr, "usage: md2_frames_check MODEL\n");
    return 2;
  }
  // The frame count is the header's eleventh 32-bit field.
  std::ifstream in(argv[1], std::ios::binary);
  unsigned char header[44] = {};
  if (!in.read(reinterpret_cast<char*>(header), sizeof header)) {
    std::fprintf(stderr, "%s: too short for a model\n", argv[1]);
    return 1;
  }
  const int frames = header[40] | header[41] << 8 | header[42] << 16 | header[43] << 24;
  unsigned vertices = 0, faces = 0;
  for (int frame = 0; frame < frames; ++frame) {
    Assimp::Importer importer;
    importer.SetPropertyInteger(AI_CONFIG_IMPORT_MD2_KEYFRAME, frame);
    const aiScene* scene = importer.ReadFile(argv[1], 0);
    if (!scene || scene->mNumMeshes != 1) {
      std::fprintf(stderr, "%s: assimp cannot read frame %d: %s\n", argv[1], frame,
                   importer.GetErrorString());
      return 1;
    }
    const aiMesh* mesh = scene->mMeshes[0];
    if (frame > 0 && (mesh->mNumVertices != vertices || mesh->mNumFaces != faces)) {
      std::fprintf(stderr, "%s: frame %d differs from frame 0\n", argv[1], frame);
      return 1;
    }
    vertices = mesh->mNumVertices;
    faces = mesh->mNumFaces;
  }
  return 0;
}
