#include "tests/support/md2_model_builder.h"

#include <cmath>
#include <cstring>

#include "plugin/frame_name_table.h"

namespace test_support {
namespace {

using Vertex = Md2Model::Vertex;
using Frame = Md2Model::Frame;

std::int32_t AsWord(float v) {
  std::int32_t w;
  std::memcpy(&w, &v, 4);
  return w;
}

// The box's corners: corner i is at (x, y, z) = bits 0, 1, 2 of i.
constexpr int kFaces[6][4] = {{0, 2, 3, 1}, {4, 5, 7, 6}, {0, 1, 5, 4},
                              {2, 6, 7, 3}, {0, 4, 6, 2}, {1, 3, 7, 5}};  // anticlockwise outside
constexpr double kFaceNormals[6][3] = {{0, 0, -1}, {0, 0, 1},  {0, -1, 0},
                                       {0, 1, 0},  {-1, 0, 0}, {1, 0, 0}};

Frame OneFrame(int vertexCount) {
  Frame frame;
  frame.name = "frame1";
  for (float& t : frame.translate) t = -125;
  frame.vertices.resize(std::size_t(vertexCount));
  return frame;
}

}  // namespace

std::vector<std::int32_t> Md2Model::GlWords() const {
  if (!glCommands.empty()) return glCommands;
  std::vector<std::int32_t> words;
  for (const Triangle& t : triangles) {
    words.push_back(-3);
    for (int k = 0; k < 3; ++k) {
      const TexCoord& c = texCoords.at(t.texCoord[k]);
      words.push_back(AsWord(float(c.s) / float(skinWidth)));
      words.push_back(AsWord(float(c.t) / float(skinHeight)));
      words.push_back(t.vertex[k]);
    }
  }
  words.push_back(0);
  return words;
}

Bytes Md2Model::Build() const {
  const std::int32_t numVertices = frames.empty() ? 0 : std::int32_t(frames[0].vertices.size());
  const std::int32_t frameSize = 40 + 4 * numVertices + frameSizeExtra;
  const std::vector<std::int32_t> gl = GlWords();
  const std::int32_t ofsSkins = 68;
  const std::int32_t ofsTexCoords = ofsSkins + 64 * std::int32_t(skins.size());
  const std::int32_t ofsTriangles = ofsTexCoords + 4 * std::int32_t(texCoords.size());
  const std::int32_t ofsFrames = ofsTriangles + 12 * std::int32_t(triangles.size());
  const std::int32_t ofsGl =
      ofsFrames + frameSize * std::int32_t(frames.size()) + paddingBeforeGlCommands;
  const std::int32_t ofsEnd = ofsGl + 4 * std::int32_t(gl.size());

  ByteBuilder out;
  out.Text(ident.c_str(), 4);
  for (std::int32_t v : {version, skinWidth, skinHeight, frameSize, std::int32_t(skins.size()),
                         numVertices, std::int32_t(texCoords.size()),
                         std::int32_t(triangles.size()), std::int32_t(gl.size()),
                         std::int32_t(frames.size()), ofsSkins, ofsTexCoords, ofsTriangles,
                         ofsFrames, ofsGl, ofsEnd})
    out.I32(v);
  for (const std::string& skin : skins) out.Text(skin.c_str(), 64);
  for (const TexCoord& c : texCoords) out.I16(c.s).I16(c.t);
  for (const Triangle& t : triangles) {
    for (std::uint16_t v : t.vertex) out.U16(v);
    for (std::uint16_t v : t.texCoord) out.U16(v);
  }
  for (const Frame& frame : frames) {
    for (float v : frame.scale) out.F32(v);
    for (float v : frame.translate) out.F32(v);
    out.Text(frame.name.c_str(), 16);
    for (const Vertex& v : frame.vertices) out.U8(v.x).U8(v.y).U8(v.z).U8(v.normal);
    out.Fill(std::size_t(frameSizeExtra));
  }
  out.Fill(std::size_t(paddingBeforeGlCommands));
  for (std::int32_t w : gl) out.I32(w);
  out.Append(trailer);
  return out.data;
}

Md2Model Box(std::vector<std::array<double, 3>>* faceNormals) {
  Md2Model m;
  m.texCoords = {{4, 4}, {12, 4}, {12, 12}, {4, 12}};
  Frame frame = OneFrame(8);
  for (int i = 0; i < 8; ++i)
    frame.vertices[i] = {std::uint8_t(i & 1 ? 250 : 0), std::uint8_t(i & 2 ? 250 : 0),
                         std::uint8_t(i & 4 ? 250 : 0), 0};
  m.frames.push_back(frame);
  for (int f = 0; f < 6; ++f) {
    const int* q = kFaces[f];
    // Anticlockwise (a, b, c) and (a, c, d) outside become (a, c, b), (a, d, c).
    m.triangles.push_back({{std::uint16_t(q[0]), std::uint16_t(q[2]), std::uint16_t(q[1])}, {0, 2, 1}});
    m.triangles.push_back({{std::uint16_t(q[0]), std::uint16_t(q[3]), std::uint16_t(q[2])}, {0, 3, 2}});
    if (faceNormals)
      for (int k = 0; k < 2; ++k)
        faceNormals->push_back({kFaceNormals[f][0], kFaceNormals[f][1], kFaceNormals[f][2]});
  }
  return m;
}

Md2Model Sphere(int rings, int around) {
  Md2Model m;
  m.texCoords = {{4, 4}, {12, 4}, {8, 12}};
  const double pi = std::acos(-1.0);
  std::vector<std::array<double, 3>> points;
  points.push_back({0, 0, 125});
  for (int r = 1; r <= rings; ++r) {
    const double polar = pi * r / (rings + 1);
    for (int a = 0; a < around; ++a) {
      const double azimuth = 2 * pi * a / around;
      points.push_back({125 * std::sin(polar) * std::cos(azimuth),
                        125 * std::sin(polar) * std::sin(azimuth), 125 * std::cos(polar)});
    }
  }
  points.push_back({0, 0, -125});
  Frame frame = OneFrame(int(points.size()));
  for (std::size_t i = 0; i < points.size(); ++i)
    frame.vertices[i] = {std::uint8_t(std::lround(points[i][0] + 125)),
                         std::uint8_t(std::lround(points[i][1] + 125)),
                         std::uint8_t(std::lround(points[i][2] + 125)), 0};
  m.frames.push_back(frame);
  // Each triangle is wound so that (p2 - p0) x (p1 - p0) points away from
  // the centre: clockwise seen from outside.
  auto add = [&](int a, int b, int c) {
    const auto& p = points;
    const double u[3] = {p[c][0] - p[a][0], p[c][1] - p[a][1], p[c][2] - p[a][2]};
    const double v[3] = {p[b][0] - p[a][0], p[b][1] - p[a][1], p[b][2] - p[a][2]};
    const double n[3] = {u[1] * v[2] - u[2] * v[1], u[2] * v[0] - u[0] * v[2],
                         u[0] * v[1] - u[1] * v[0]};
    const double out = n[0] * (p[a][0] + p[b][0] + p[c][0]) + n[1] * (p[a][1] + p[b][1] + p[c][1]) +
                       n[2] * (p[a][2] + p[b][2] + p[c][2]);
    if (out > 0)
      m.triangles.push_back({{std::uint16_t(a), std::uint16_t(b), std::uint16_t(c)}, {0, 1, 2}});
    else
      m.triangles.push_back({{std::uint16_t(a), std::uint16_t(c), std::uint16_t(b)}, {0, 2, 1}});
  };
  const int south = int(points.size()) - 1;
  for (int a = 0; a < around; ++a) {
    const int next = (a + 1) % around;
    add(0, 1 + a, 1 + next);
    for (int r = 0; r + 1 < rings; ++r) {
      const int here = 1 + r * around, below = here + around;
      add(here + a, below + a, below + next);
      add(here + a, below + next, here + next);
    }
    add(south, 1 + (rings - 1) * around + next, 1 + (rings - 1) * around + a);
  }
  return m;
}

Md2Model GoodModel() {
  Md2Model m = Box();
  m.skins = {"models/test/box.pcx"};
  const Frame first = m.frames[0];
  m.frames.clear();
  for (int k = 0; k < kDefaultFrameNameCount; ++k) {
    Frame frame = first;
    frame.name = kDefaultFrameNames[k];
    for (Vertex& v : frame.vertices) v.normal = 1;
    m.frames.push_back(frame);
  }
  return m;
}

Palette GreyPalette() {
  Palette palette;
  for (int i = 0; i < 256; ++i)
    for (int c = 0; c < 3; ++c) palette[3 * i + c] = std::uint8_t(i);
  palette[765] = 200;
  palette[766] = palette[767] = 0;
  return palette;
}

Bytes Pcx(int width, int height, const Bytes& indices, const Palette& palette) {
  ByteBuilder out;
  out.U8s({10, 5, 1, 8}).U16(0).U16(0).U16(std::uint16_t(width - 1)).U16(std::uint16_t(height - 1));
  out.Fill(53).U8(1).U16(std::uint16_t(width)).Fill(60);
  for (std::uint8_t index : indices) out.U8(0xC1).U8(index);
  out.U8(12);
  for (std::uint8_t c : palette) out.U8(c);
  return out.data;
}

}  // namespace test_support
