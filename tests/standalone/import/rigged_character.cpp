#include "tests/standalone/import/rigged_character.h"

#include <algorithm>
#include <cmath>
#include <cstdint>
#include <vector>

#include "tests/standalone/import/gltf_writer.h"
#include "tests/standalone/import/import_test_support.h"

namespace vexo::testing {
namespace {

std::string Number(int n) { return std::to_string(n); }

}  // namespace

void WriteRiggedCharacter(const std::filesystem::path& folder, const std::string& name,
                          const CharacterShape& shape) {
  const int bones = std::max(2, shape.bones);
  std::string images, textures, materials;
  for (int m = 0; m < shape.materials; ++m) {
    const std::string picture = name + "_skin" + Number(m) + (shape.jpegTextures ? ".jpg" : ".png");
    const int size = shape.textureSize;
    const PixelFunction pixel = [m, size, jpeg = shape.jpegTextures](int x, int y) {
      // A JPEG gets fine detail, as a painted texture has, for its coder to work on.
      const int detail = jpeg ? ((x * 7 + y * 13) ^ (x * y)) & 31 : 0;
      return Rgb{static_cast<std::uint8_t>(x * 223 / size + detail),
                 static_cast<std::uint8_t>(y * 223 / size + detail),
                 static_cast<std::uint8_t>(m ? 200 : 90)};
    };
    if (shape.jpegTextures) {
      WriteJpeg(folder / picture, size, size, pixel);
    } else {
      WritePng(folder / picture, size, size, pixel);
    }
    const std::string comma = m ? "," : "";
    images += comma + "{\"uri\":\"" + picture + "\"}";
    textures += comma + "{\"source\":" + Number(m) + "}";
    materials += comma + "{\"name\":\"" + name + "_material" + Number(m) +
                 "\",\"pbrMetallicRoughness\":{\"baseColorTexture\":{\"index\":" + Number(m) + "}}}";
  }

  // The body: rings up glTF's y, each vertex bound to the two nearest bones.
  std::vector<float> positions, uvs, weights;
  std::vector<std::uint8_t> joints;
  const float boneLength = shape.height / bones;
  for (int ring = 0; ring < shape.rings; ++ring) {
    const float y = shape.height * ring / (shape.rings - 1);
    const float along = std::clamp(y / boneLength - 0.5f, 0.0f, bones - 1.0f);
    const int lower = std::min(static_cast<int>(along), bones - 2);
    const float blend = std::clamp(along - lower, 0.0f, 1.0f);
    for (int column = 0; column <= shape.around; ++column) {
      const float a = 2 * static_cast<float>(M_PI) * (column % shape.around) / shape.around;
      positions.insert(positions.end(), {0.3f * std::cos(a), y, 0.3f * std::sin(a)});
      uvs.insert(uvs.end(), {static_cast<float>(column) / shape.around,
                             static_cast<float>(ring) / (shape.rings - 1)});
      joints.insert(joints.end(), {static_cast<std::uint8_t>(lower),
                                   static_cast<std::uint8_t>(lower + 1), 0, 0});
      weights.insert(weights.end(), {1 - blend, blend, 0, 0});
    }
  }
  // Bands of rings alternate between the materials.
  std::vector<std::vector<std::uint16_t>> bands(static_cast<std::size_t>(shape.materials));
  for (int ring = 0; ring + 1 < shape.rings; ++ring) {
    std::vector<std::uint16_t>& band =
        bands[static_cast<std::size_t>(ring / std::max(1, shape.bandRings) % shape.materials)];
    for (int column = 0; column < shape.around; ++column) {
      const auto i = static_cast<std::uint16_t>(ring * (shape.around + 1) + column);
      const auto up = static_cast<std::uint16_t>(i + shape.around + 1);
      band.insert(band.end(), {i, up, static_cast<std::uint16_t>(i + 1),
                               static_cast<std::uint16_t>(i + 1), up,
                               static_cast<std::uint16_t>(up + 1)});
    }
  }
  std::vector<float> inverseBind, times;
  for (int b = 0; b < bones; ++b) {
    inverseBind.insert(inverseBind.end(),
                       {1, 0, 0, 0, 0, 1, 0, 0, 0, 0, 1, 0, 0, -b * boneLength, 0, 1});
  }
  for (int f = 0; f < shape.frames; ++f) times.push_back(f / 30.0f);

  GltfWriter gltf;
  const int position = gltf.Floats(positions, "VEC3");
  const int uv = gltf.Floats(uvs, "VEC2");
  const int joint = gltf.Joints(joints);
  const int weight = gltf.Floats(weights, "VEC4");
  const int ibm = gltf.Floats(inverseBind, "MAT4");
  const int input = gltf.Floats(times, "SCALAR");
  std::string primitives;
  for (std::size_t m = 0; m < bands.size(); ++m) {
    primitives += std::string(m ? "," : "") + "{\"attributes\":{\"POSITION\":" + Number(position) +
                  ",\"TEXCOORD_0\":" + Number(uv) + ",\"JOINTS_0\":" + Number(joint) +
                  ",\"WEIGHTS_0\":" + Number(weight) + "},\"indices\":" +
                  Number(gltf.Indices(bands[m])) + ",\"material\":" + Number(static_cast<int>(m)) + "}";
  }

  // Bones: node 1 up to node `bones`, each turning to and fro about z.
  std::string samplers, channels, nodes;
  for (int b = 0; b < bones; ++b) {
    std::vector<float> rotations;
    for (int f = 0; f < shape.frames; ++f) {
      const float angle = 0.4f * std::sin(2 * static_cast<float>(M_PI) * f / shape.frames + b);
      rotations.insert(rotations.end(), {0, 0, std::sin(angle / 2), std::cos(angle / 2)});
    }
    const int output = gltf.Floats(rotations, "VEC4");
    const std::string comma = b ? "," : "";
    samplers += comma + "{\"input\":" + Number(input) + ",\"output\":" + Number(output) + "}";
    channels += comma + "{\"sampler\":" + Number(b) + ",\"target\":{\"node\":" + Number(b + 1) +
                ",\"path\":\"rotation\"}}";
    nodes += ",{\"name\":\"" + name + "_bone" + Number(b) + "\"" +
             (b ? ",\"translation\":[0," + std::to_string(boneLength) + ",0]" : "") +
             (b + 1 < bones ? ",\"children\":[" + Number(b + 2) + "]" : "") + "}";
  }
  std::string joints_list;
  for (int b = 0; b < bones; ++b) joints_list += std::string(b ? "," : "") + Number(b + 1);
  std::string meshes = "{\"primitives\":[" + primitives + "]}";
  std::string top = "0,1";

  // The morph part: a square whose one target lifts its far edge, the clip
  // raising the target's weight from 0 to 1.
  if (shape.morphPart) {
    const int facePosition = gltf.Floats({0, 0, 1, 1, 0, 1, 1, 1, 1, 0, 1, 1}, "VEC3");
    const int faceUv = gltf.Floats({0, 0, 1, 0, 1, 1, 0, 1}, "VEC2");
    const int lift = gltf.Floats({0, 0, 0, 0, 0, 0, 0, 0, 0.5f, 0, 0, 0.5f}, "VEC3");
    const int faceIndices = gltf.Indices({0, 1, 2, 0, 2, 3});
    std::vector<float> weightKeys;
    for (int f = 0; f < shape.frames; ++f) weightKeys.push_back(static_cast<float>(f) / (shape.frames - 1));
    const int weightOutput = gltf.Floats(weightKeys, "SCALAR");
    meshes += ",{\"primitives\":[{\"attributes\":{\"POSITION\":" + Number(facePosition) +
              ",\"TEXCOORD_0\":" + Number(faceUv) + "},\"indices\":" + Number(faceIndices) +
              ",\"material\":0,\"targets\":[{\"POSITION\":" + Number(lift) + "}]}],\"weights\":[0]}";
    const int faceNode = bones + 1;
    nodes += ",{\"name\":\"" + name + "_face\",\"mesh\":1}";
    samplers += ",{\"input\":" + Number(input) + ",\"output\":" + Number(weightOutput) + "}";
    channels += ",{\"sampler\":" + Number(bones) + ",\"target\":{\"node\":" + Number(faceNode) +
                ",\"path\":\"weights\"}}";
    top += "," + Number(faceNode);
  }

  gltf.Write(folder / (name + ".gltf"),
             "\"scene\":0,\"scenes\":[{\"nodes\":[" + top + "]}],"
             "\"nodes\":[{\"name\":\"" + name + "_body\",\"mesh\":0,\"skin\":0}" + nodes + "],"
             "\"skins\":[{\"joints\":[" + joints_list + "],\"inverseBindMatrices\":" + Number(ibm) +
                 "}],"
             "\"meshes\":[" + meshes + "],\"materials\":[" + materials + "],"
             "\"textures\":[" + textures + "],\"images\":[" + images + "],"
             "\"animations\":[{\"name\":\"sway\",\"samplers\":[" + samplers + "],\"channels\":[" +
                 channels + "]}]");
}

}  // namespace vexo::testing
