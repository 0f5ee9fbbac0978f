#include "standalone/check/skin_rules.h"

#include <algorithm>
#include <cctype>
#include <filesystem>

#include "standalone/check/model_rules.h"
#include "standalone/skin/skin_damage.h"

namespace vexo::check {
namespace {

using std::to_string;
constexpr Engine kIdGl = Engine::kIdGl, kIdSoft = Engine::kIdSoft, kQ2pro = Engine::kQ2pro,
                 kKmq2 = Engine::kKmq2;
// The engines whose PCX loader is id's LoadPCX (ref_gl/gl_image.c,
// ref_soft/r_image.c, KMQuake2 renderer/r_image.c).
const EngineSet kIdPcxLoader{kIdGl, kIdSoft, kKmq2};
// The GL renderer's 8-bit upload takes at most 512 x 256 pixels
// (GL_Upload8 in ref_gl/gl_image.c: "GL_Upload8: too large").
constexpr std::int64_t kUpload8Pixels = 512 * 256;

std::string Size(int width, int height) { return to_string(width) + " x " + to_string(height); }

}  // namespace

void CheckPcxForm(const skin::PcxPicture& p, const std::string& f, Findings& out) {
  // LoadPCX wants manufacturer 10, version 5, run-length coding, 8 bits,
  // and xmax < 640, ymax < 480.
  if (p.manufacturer != 10 || p.version != 5 || p.encoding != 1 || p.bitsPerPixel != 8)
    Report(out, f, "pcx-form", EngineSet::Games(), true,
           "the picture is not a version 5, 8-bit, run-length PCX (manufacturer " +
               to_string(p.manufacturer) + ", version " + to_string(p.version) + ", encoding " +
               to_string(p.encoding) + ", " + to_string(p.bitsPerPixel) +
               " bits): the game's loader refuses it",
           "write the skin again (vexo export --pcx)");
  else if (!p.decoded)
    Report(out, f, "pcx-form", EngineSet::Games(), true,
           "the picture cannot be decoded: " + p.notDecoded,
           "write the skin again (vexo export --pcx)");
  if (p.xMax >= 640 || p.yMax >= 480)
    Report(out, f, "pcx-size", kIdPcxLoader, true,
           "the picture is " + Size(p.width(), p.height()) +
               ", larger than the 640 x 480 the loader reads: the skin does not load",
           "make the skin at most 640 x 480 (--max-texture scales the textures down)");
  if (p.width() > 8192 || p.height() > 8192)
    Report(out, f, "pcx-size", {kQ2pro}, true,
           "the picture is " + Size(p.width(), p.height()) + ", larger than Q2PRO's 8192",
           "make the skin smaller (--max-texture scales the textures down)");
  // LoadPCX decodes exactly xmax + 1 bytes a row and starts at x 0.
  if (p.decoded && (p.bytesPerLine != p.width() || p.xMin != 0 || p.yMin != 0))
    Report(out, f, "pcx-rows", kIdPcxLoader, false,
           "the rows hold " + to_string(p.bytesPerLine) + " bytes for " + to_string(p.width()) +
               " pixels from (" + to_string(p.xMin) + ", " + to_string(p.yMin) +
               "): the game's loader reads the skin sheared",
           "write the skin again (vexo export --pcx)");
}

namespace {

void CheckFit(const md2::Reading& r, const skin::PcxPicture& p, const std::string& f,
              Findings& out) {
  const std::int64_t pixels = std::int64_t(p.width()) * p.height();
  if (pixels > kUpload8Pixels)
    Report(out, f, "upload-size", {kIdGl}, true,
           "the skin has " + to_string(pixels) + " pixels (" + Size(p.width(), p.height()) +
               "), more than the 131072 (512 x 256) the GL renderer uploads: it stops with "
               "\"GL_Upload8: too large\"",
           "make the skin smaller (--max-texture scales the textures down)");
  const Md2Header& h = r.model.header;
  // The software renderer steps through the skin by the header's width
  // (ref_soft/r_alias.c); the GL renderer scales by fractions.
  if (p.width() != h.skinWidth || p.height() != h.skinHeight)
    Report(out, f, "skin-size", {kIdSoft}, false,
           "the picture is " + Size(p.width(), p.height()) + " but the model's skin is " +
               Size(h.skinWidth, h.skinHeight) + ": the software renderer maps it wrongly",
           "use the skin written with the model");
}

void CheckDamage(const md2::Reading& r, const skin::PcxPicture& p, const std::string& f,
                 Findings& out) {
  const skin::SkinDamage damage = skin::MeasureSkinDamage(r.model, p);
  // Index 255 is transparent under the alpha test of the GL renderers
  // (ref_gl/gl_image.c d_8to24table[255]; the ports keep it).
  if (damage.usedAt255)
    Report(out, f, "transparent-texels", EngineSet::GlRenderers(), false,
           to_string(damage.usedAt255) + " of the " + to_string(damage.usedTexels) +
               " texels the model shows are at palette index 255, which the GL renderers draw "
               "transparent: holes in the model",
           "move them to the nearest other colour", "--safe-palette");
  // R_FloodFillSkin (ref_gl/gl_image.c) runs on every 8-bit skin.
  if (damage.usedChangedByFill)
    Report(out, f, "flood-fill", {kIdGl}, false,
           "the GL renderer's flood fill from the top-left pixel (index " +
               to_string(p.At(0, 0)) + ") repaints " + to_string(damage.usedChangedByFill) +
               " of the " + to_string(damage.usedTexels) + " texels the model shows",
           "make the top-left pixel black", "--safe-palette");
}

std::string Lower(std::string text) {
  std::transform(text.begin(), text.end(), text.begin(),
                 [](unsigned char c) { return char(std::tolower(c)); });
  return text;
}

}  // namespace

void CheckPcxSkin(const md2::Reading& r, const skin::PcxPicture& p, const std::string& f,
                  Findings& out) {
  CheckPcxForm(p, f, out);
  if (!p.decoded) return;
  CheckFit(r, p, f, out);
  CheckDamage(r, p, f, out);
}

SkinFile ReadSkinFile(const std::string& path) {
  SkinFile skin{path, std::nullopt, {}};
  if (Lower(std::filesystem::path(path).extension().string()) != ".pcx") {
    // The original renderers load skins as PCX (LoadPCX); a BMP is not read.
    Report(skin.unread, path, "skin-format", kIdPcxLoader, true,
           "the game's renderers do not load " +
               std::filesystem::path(path).extension().string() + " skins",
           "use the PCX skin (vexo export --pcx)");
    return skin;
  }
  try {
    skin.picture = skin::ReadPcx(path);
  } catch (const skin::PcxError& e) {
    Report(skin.unread, path, "pcx-form", EngineSet::Games(), true, e.what(),
           "write the skin again (vexo export --pcx)");
  }
  return skin;
}

void CheckSkinFile(const md2::Reading& r, const SkinFile& skin, Findings& out) {
  out.insert(out.end(), skin.unread.begin(), skin.unread.end());
  if (skin.picture) CheckPcxSkin(r, *skin.picture, skin.path, out);
}

void CheckSkinFile(const md2::Reading& r, const std::string& path, Findings& out) {
  CheckSkinFile(r, ReadSkinFile(path), out);
}

}  // namespace vexo::check
