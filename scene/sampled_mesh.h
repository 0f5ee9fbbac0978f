// The combined mesh of all listed nodes at one host time.
#pragma once

#include <cstdint>

#include "plugin/host/geometry.h"
#include "plugin/host/host_release.h"

struct SkinTexture;

// Head of every sampled vertex, sampled face and skin texture.
struct ElementFlags {
  std::uint32_t flags = 0;
};

struct SampledVertex {
  ElementFlags head;
  Point3 position;  // world coordinates at the sample time
  float u = 0.0f;   // left 0 by sampling: coordinates live on face corners
  float v = 0.0f;
  SkinTexture* texture = nullptr;  // set by LinkFacesToTextures
};

// Where a face keeps the name of its bitmap: a reference to the host's text,
// or (release 2) a copy of it.
template <bool kCopied>
struct FaceBitmapNameField;

template <>
struct FaceBitmapNameField<false> {
  const char* text = nullptr;  // the host's text; null when there is none
  const char* get() const { return text; }
  void set(const char* name) { text = name; }
};

template <>
struct FaceBitmapNameField<true> {
  char text[release::kCopiedFaceBitmapNameSize] = {};
  const char* get() const { return text; }
  void set(const char* name);
};

struct SampledFace {
  ElementFlags head;
  FaceBitmapNameField<release::kCopiesBitmapNames> bitmapName;
  std::uint32_t a = 0, b = 0, c = 0;  // corners 0, 1, 2
  float u[3] = {0, 0, 0};
  float v[3] = {0, 0, 0};
  SkinTexture* texture = nullptr;  // set by LinkFacesToTextures
};

struct SampledMesh {
  SampledVertex* vertices = nullptr;
  SampledFace* faces = nullptr;
  std::int32_t vertexCount = 0;
  std::int32_t faceCount = 0;
};
