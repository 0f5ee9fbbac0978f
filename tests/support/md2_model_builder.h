// Whole MD2 models and PCX skins for tests, built byte by byte (with
// ByteBuilder) from what the formats say, sharing no code with the
// plug-in's writer or the host's reader: skins, texture coordinates,
// triangles, frames, GL commands and a trailer, each set as a test needs.
#pragma once

#include <array>
#include <cstdint>
#include <string>
#include <vector>

#include "tests/support/bytes.h"

namespace test_support {

struct Md2Model {
  struct Vertex {
    std::uint8_t x = 0, y = 0, z = 0, normal = 0;
  };
  struct Frame {
    float scale[3] = {1, 1, 1};
    float translate[3] = {0, 0, 0};
    std::string name;
    std::vector<Vertex> vertices;
  };
  struct Triangle {
    std::uint16_t vertex[3];
    std::uint16_t texCoord[3];
  };
  struct TexCoord {
    std::int16_t s, t;
  };

  std::string ident = "IDP2";
  std::int32_t version = 8;
  std::int32_t skinWidth = 16, skinHeight = 16;
  std::vector<std::string> skins;
  std::vector<TexCoord> texCoords;
  std::vector<Triangle> triangles;
  std::vector<Frame> frames;
  // Empty: one 3-vertex fan per triangle, with s and t as fractions of the
  // skin size, and the closing 0.
  std::vector<std::int32_t> glCommands;
  int paddingBeforeGlCommands = 0;  // zero bytes between the frames and the GL commands
  int frameSizeExtra = 0;           // zero bytes after each frame's vertices
  Bytes trailer;

  Bytes Build() const;
  // The GL commands the file gets (glCommands, or the fans).
  std::vector<std::int32_t> GlWords() const;
};

// Header fields by byte offset.
enum Md2HeaderField : std::size_t {
  kSkinWidth = 8, kSkinHeight = 12, kFrameSize = 16, kNumSkins = 20, kNumVertices = 24,
  kNumTexCoords = 28, kNumTriangles = 32, kNumGlCommands = 36, kNumFrames = 40,
  kOfsSkins = 44, kOfsTexCoords = 48, kOfsTriangles = 52, kOfsFrames = 56,
  kOfsGlCommands = 60, kOfsEnd = 64
};

// A cube of side 250 around the origin, two triangles a face, wound as the
// game draws front faces (clockwise seen from outside); one frame.
// faceNormals[i] is the outward normal of triangle i.
Md2Model Box(std::vector<std::array<double, 3>>* faceNormals = nullptr);
// A sphere of radius 125 around the origin, `rings` rings of `around`
// vertices and a vertex at each pole, wound as Box; one frame.
Md2Model Sphere(int rings, int around);
// Box with 198 frames named as the player animations, one skin name, every
// normal byte 1 and texture coordinates inside its 16 x 16 skin: a model
// every rule passes.
Md2Model GoodModel();

// An 8-bit run-length PCX: every pixel written as a run of one, then the
// byte 12 and the palette. indices: width x height, top row first.
using Palette = std::array<std::uint8_t, 768>;
Palette GreyPalette();  // entry i is (i, i, i), but 255 is (200, 0, 0)
Bytes Pcx(int width, int height, const Bytes& indices, const Palette& palette = GreyPalette());

}  // namespace test_support
