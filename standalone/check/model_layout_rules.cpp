// Header, counts and section layout.
#include <string>

#include "standalone/check/engine_limits.h"
#include "standalone/check/model_rules.h"

namespace vexo::check {
namespace {

using std::to_string;
constexpr Engine kIdGl = Engine::kIdGl, kIdSoft = Engine::kIdSoft, kYamagi = Engine::kYamagi,
                 kQ2pro = Engine::kQ2pro, kKmq2 = Engine::kKmq2, kThreeJs = Engine::kThreeJs;

// KMQuake2 refuses more than the game's 4096 triangles and 512 frames,
// Q2PRO more than its own limits; id's loaders do not check the limits
// their header declares.
void ReportOverLimit(Findings& out, const std::string& f, const char* rule, std::int64_t count,
                     const char* what, int gameLimit, int q2proLimit, const char* fix) {
  if (count <= gameLimit) return;
  const bool q2pro = count > q2proLimit;
  Report(out, f, rule,
         q2pro ? EngineSet{kKmq2, kQ2pro, kIdGl, kIdSoft} : EngineSet{kKmq2, kIdGl, kIdSoft}, true,
         to_string(count) + " " + what + ", more than the game's " + to_string(gameLimit) +
             ": KMQuake2" +
             (q2pro ? " and Q2PRO (over " + to_string(q2proLimit) + ") do" : std::string(" does")) +
             " not load the model; id's loaders do not check",
         fix);
}

void CheckCounts(const md2::Reading& r, Findings& out) {
  const Md2Header& h = r.model.header;
  const std::string& f = r.path;
  // Every loader refuses a model without vertices, texture coordinates,
  // triangles or frames (ref_gl/gl_model.c Mod_LoadAliasModel; Yamagi
  // src/client/refresh/files/models.c; Q2PRO src/refresh/models.c;
  // KMQuake2 renderer/r_model.c).
  const std::pair<const char*, std::int32_t> needed[] = {{"vertices", h.numVertices},
                                                         {"texture coordinates", h.numTexCoords},
                                                         {"triangles", h.numTriangles},
                                                         {"frames", h.numFrames}};
  for (const auto& [what, count] : needed)
    if (count <= 0)
      Report(out, f, "empty-model", EngineSet::Games(), true,
             std::string("the model has ") + to_string(count) + " " + what +
                 ": the game does not load it",
             "export a mesh with at least one textured triangle");

  if (h.numVertices > kGameMaxVertices)
    Report(out, f, "vertex-count", {kIdGl, kIdSoft, kYamagi, kQ2pro, kKmq2}, true,
           to_string(h.numVertices) + " vertices, more than the game's 2048: the model does not load",
           "export it again with --fit id (or reduce the mesh below 2048 vertices: merge vertices, "
           "decimate, or split the model)");
  else if (h.numVertices > kSoftMaxVertices)
    Report(out, f, "vertex-count", {kIdSoft}, true,
           to_string(h.numVertices) +
               " vertices, more than the 2000 of the software renderer's vertex array: it "
               "overruns the array",
           "export it again with --fit id (or reduce the mesh below 2000 vertices)");

  ReportOverLimit(out, f, "triangle-count", h.numTriangles, "triangles", kGameMaxTriangles,
                  kQ2proMaxTriangles,
                  "export it again with --fit id (or reduce the mesh below 4096 triangles)");
  ReportOverLimit(out, f, "frame-count", h.numFrames, "frames", kGameMaxFrames, kQ2proMaxFrames,
                  "keep the model to 512 frames");

  // id's loaders keep 32 skins in an array they overrun; Q2PRO and
  // KMQuake2 refuse more; Yamagi uses the first 32.
  if (h.numSkins > kGameMaxSkins)
    Report(out, f, "skin-count", {kIdGl, kIdSoft, kQ2pro, kKmq2, kYamagi}, true,
           to_string(h.numSkins) +
               " skin names, more than 32: id's loaders overrun their skin array, Q2PRO and "
               "KMQuake2 do not load the model, Yamagi uses the first 32",
           "name at most 32 skins");

  // The skin size in the header: the id loaders and Yamagi refuse a skin
  // taller than 480 (ref_gl/gl_model.c, models.c); Q2PRO wants 1 to 8192.
  if (h.skinHeight > kGameMaxSkinHeight)
    Report(out, f, "skin-height", {kIdGl, kIdSoft, kYamagi}, true,
           "the skin is " + to_string(h.skinHeight) + " pixels tall, more than 480: the model "
                                                      "does not load",
           "keep the skin at most 480 pixels tall");
  if (h.skinHeight < 1 || h.skinHeight > kQ2proMaxSkinSize)
    Report(out, f, "skin-height", {kQ2pro}, true,
           "the skin height " + to_string(h.skinHeight) + " is not 1 to 8192: it does not load",
           "give the model a skin of at least one pixel");
}

// Q2PRO checks that every section lies inside the file and is aligned for
// its records (src/refresh/models.c); the other loaders read wherever the
// header points, past the file's end included.
void CheckSections(const md2::Reading& r, Findings& out) {
  const Md2Header& h = r.model.header;
  const std::string& f = r.path;
  for (const md2::Section* s : {&r.skins, &r.texCoords, &r.triangles, &r.frames, &r.glCommands}) {
    if (s->inFile) continue;
    Report(out, f, "section-bounds", EngineSet::All(), true,
           std::string("the ") + s->name + " (" + to_string(s->count) + " from byte " +
               to_string(s->offset) + ") do not lie inside the file's " + to_string(r.fileSize) +
               " bytes: Q2PRO and three.js refuse the model, the other loaders read outside it",
           "write the model again (vexo export)");
  }
  const std::pair<const md2::Section*, int> alignments[] = {
      {&r.texCoords, 2}, {&r.triangles, 2}, {&r.frames, 4}, {&r.glCommands, 4}};
  for (const auto& [s, alignment] : alignments)
    if (s->count > 0 && s->offset % alignment != 0)
      Report(out, f, "section-alignment", {kQ2pro}, true,
             std::string("the ") + s->name + " start at byte " + to_string(s->offset) +
                 ", not a multiple of " + to_string(alignment) + ": Q2PRO does not load it",
             "write the model again (vexo export)");
  if (h.frameSize % 4 != 0)
    Report(out, f, "section-alignment", {kQ2pro}, true,
           "the frame size " + to_string(h.frameSize) + " is not a multiple of 4: Q2PRO does not "
                                                        "load it",
           "write the model again (vexo export)");

  // A frame holds a 40-byte header and 4 bytes a vertex. Smaller frames
  // overlap: every loader reads the next frame's bytes as vertices; Q2PRO
  // and quake2ts refuse any other size.
  const std::int64_t exact = Md2FrameSize(h.numVertices);
  if (h.numVertices > 0 && h.frameSize != exact)
    Report(out, f, "frame-size", r.frameSizeFits ? EngineSet{kQ2pro} : EngineSet::All(), true,
           "the frame size is " + to_string(h.frameSize) + " bytes, not the " + to_string(exact) +
               " of " + to_string(h.numVertices) + " vertices",
           "write the model again (vexo export)");

  // Yamagi refuses an ofs_end past the file (src/client/refresh/files/
  // models.c); three.js's MD2Loader wants it to be the file's size exactly.
  if (h.ofsEnd > r.fileSize)
    Report(out, f, "end-offset", {kYamagi, kThreeJs}, true,
           "ofsEnd " + to_string(h.ofsEnd) + " lies past the file's " + to_string(r.fileSize) +
               " bytes: Yamagi and three.js do not load it",
           "write the model again (vexo export)");
  else if (h.ofsEnd < r.fileSize)
    Report(out, f, "end-offset", {kThreeJs}, true,
           to_string(r.fileSize - h.ofsEnd) +
               " bytes follow ofsEnd: three.js's MD2Loader refuses the file",
           "drop the bytes after ofsEnd", "--strict-end");

  const std::int64_t block = ModelBlockBytes(h.ofsEnd);
  if (block > kModelBlock)
    Report(out, f, "model-size", {kIdGl, kIdSoft}, true,
           "the model needs " + to_string(block) +
               " bytes, more than the loader's 2 MiB block (2097152): it does not load",
           "fewer vertices (export it again with --fit id) or frames: " + to_string(h.numFrames) + " frames of " +
               to_string(h.numVertices) + " vertices take " +
               to_string(std::int64_t(h.numFrames) * h.frameSize) + " bytes");
}

}  // namespace

void CheckModelLayout(const md2::Reading& r, Findings& out) {
  CheckCounts(r, out);
  CheckSections(r, out);
}

void CheckModelFile(const md2::Reading& r, Findings& out) {
  const Md2Header& h = r.model.header;
  // Every loader picks the format by the first four bytes (Mod_ForName in
  // ref_gl/gl_model.c and the ports' equivalents); three.js checks them too.
  if (h.ident != kMd2Ident) {
    Report(out, r.path, "ident", EngineSet::All(), true,
           "the file does not start with IDP2: it is no Quake 2 model",
           "export the model again (vexo export)");
    return;
  }
  if (h.version != kMd2Version)
    Report(out, r.path, "version", EngineSet::All(), true,
           "the model is version " + to_string(h.version) + ", not 8: it does not load",
           "export the model again (vexo export)");
  CheckModelLayout(r, out);
  CheckModelContent(r, out);
  CheckGlCommands(r, out);
}

void Report(Findings& findings, const std::string& file, const char* rule, EngineSet engines,
            bool refused, std::string message, std::string fix, std::string option) {
  findings.push_back(
      {rule, engines, refused, file, std::move(message), std::move(fix), std::move(option)});
}

}  // namespace vexo::check
