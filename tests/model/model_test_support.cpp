#include "model_test_support.h"

#include <gtest/gtest.h>

#include <algorithm>
#include <cstring>

#include "scene/enumerate_nodes.h"
#include "scene/sample_mesh.h"

namespace model_test {

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

  EnumerateNodes(u.context, &host, kNodeHasMaterial | kNodeIsSelected);
  ok = SampleMesh(u.context, 0, u.context.nodeCount, &u.vertices, &u.faces, &u.vertexCount,
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

}  // namespace model_test
