// vexo's PCX reader on untrusted skins: read, checked against a small model
// whose corners lie inside, on the edge of and outside the skin, and a
// decoded picture written back and read again unchanged.
#include <cstdlib>

#include "fuzz_input_file.h"
#include "standalone/check/skin_rules.h"
#include "standalone/skin/pcx_picture.h"

namespace {

vexo::md2::Reading ModelFor(const vexo::skin::PcxPicture& picture) {
  vexo::md2::Reading reading;
  vexo::md2::Model& model = reading.model;
  model.header.skinWidth = picture.width();
  model.header.skinHeight = picture.height();
  const std::int16_t w = std::int16_t(picture.width()), h = std::int16_t(picture.height());
  model.texCoords = {{0, 0}, {w, 0}, {0, h}, {std::int16_t(w / 2), std::int16_t(h / 3)},
                     {-3, 7}, {std::int16_t(2 * w + 1), std::int16_t(-h)}};
  model.triangles = {{{0, 1, 2}, {0, 1, 2}}, {{0, 1, 2}, {3, 4, 5}}};
  model.header.numTexCoords = std::int32_t(model.texCoords.size());
  model.header.numTriangles = std::int32_t(model.triangles.size());
  return reading;
}

}  // namespace

extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t* data, std::size_t size) {
  const std::string path = fuzz::WriteInputFile("skin.pcx", data, size);
  vexo::skin::PcxPicture picture;
  try {
    picture = vexo::skin::ReadPcx(std::vector<std::uint8_t>(data, data + size), path);
  } catch (const vexo::skin::PcxError&) {
    return 0;
  }
  vexo::check::Findings findings;
  vexo::check::CheckPcxSkin(ModelFor(picture), picture, path, findings);
  if (!picture.decoded) return 0;
  const std::string copy = fuzz::InputFolder() + "/copy.pcx";
  vexo::skin::WritePcx(copy, picture);
  if (vexo::skin::ReadPcx(copy).Indices() != picture.Indices()) std::abort();
  return 0;
}
