#include "model/model_tables.h"

#include <cmath>

#include "texture/skin/skin_texture.h"

namespace {

// A skin position in pixels, truncated toward zero; false when it is not
// finite or does not fit 16 bits.
bool SkinPixel(double position, std::int16_t* pixel) {
  if (!(position > -32769.0 && position < 32768.0)) return false;
  *pixel = static_cast<std::int16_t>(static_cast<std::int32_t>(position));
  return true;
}

}  // namespace

int BuildModelTables(const SampledFace* faces, std::int32_t faceCount, std::int32_t vertexCount,
                     std::int32_t skinWidth, std::int32_t skinHeight, Md2TexCoord* texCoords,
                     Md2Triangle* triangles, Md2GlTriangle* glTriangles) {
  if (skinWidth <= 0 || skinHeight <= 0) return 0;
  // Corners in file order: the winding is reversed.
  static const int kCornerOrder[3] = {0, 2, 1};

  for (std::int32_t i = 0; i < faceCount; ++i) {
    const SampledFace& face = faces[i];
    const SkinTexture* texture = face.texture;
    if (!texture) return 0;
    const std::uint32_t corners[3] = {face.a, face.b, face.c};
    const double width = texture->image.Width();
    const double height = texture->image.Height();

    double s[3], t[3];
    for (int k = 0; k < 3; ++k) {
      if (corners[k] >= std::uint32_t(vertexCount)) return 0;
      s[k] = width * (double(face.u[k]) - double(texture->uMin)) + double(texture->x);
      t[k] = height * (double(face.v[k]) - double(texture->vMin)) + double(texture->y);
      Md2TexCoord& tc = texCoords[3 * i + k];
      if (!SkinPixel(s[k], &tc.s) || !SkinPixel(t[k], &tc.t)) return 0;
    }

    Md2Triangle& triangle = triangles[i];
    Md2GlTriangle& gl = glTriangles[i];
    gl.count = -3;
    for (int j = 0; j < 3; ++j) {
      const int k = kCornerOrder[j];
      // The format's indices are 16 bits; the caller keeps counts within them.
      triangle.vertexIndex[j] = static_cast<std::uint16_t>(corners[k]);
      triangle.texCoordIndex[j] = static_cast<std::uint16_t>(3 * i + k);
      gl.vertices[j].s = static_cast<float>(s[k] / skinWidth);
      gl.vertices[j].t = static_cast<float>(t[k] / skinHeight);
      gl.vertices[j].vertexIndex = static_cast<std::int32_t>(corners[k]);
    }
  }
  return 1;
}
