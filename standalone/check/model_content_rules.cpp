// Triangles, frames and names.
#include <cstdint>
#include <string>

#include "plugin/frame_name_table.h"
#include "standalone/check/model_rules.h"
#include "standalone/md2/normal_directions.h"

namespace vexo::check {
namespace {

using std::to_string;

// No loader checks triangle indices; they read whatever vertex or texture
// coordinate the index reaches (ref_gl/gl_mesh.c, ref_soft/r_alias.c).
void CheckIndices(const md2::Reading& r, Findings& out) {
  const md2::Model& m = r.model;
  std::int64_t badVertex = 0, badTexCoord = 0;
  for (const Md2Triangle& t : m.triangles) {
    for (int k = 0; k < 3; ++k) {
      if (t.vertexIndex[k] >= m.header.numVertices) ++badVertex;
      if (r.texCoords.inFile && t.texCoordIndex[k] >= m.texCoords.size()) ++badTexCoord;
    }
  }
  if (badVertex)
    Report(out, r.path, "triangle-indices", EngineSet::All(), true,
           to_string(badVertex) + " triangle corners name a vertex past the model's " +
               to_string(m.header.numVertices) + ": the renderers read outside the frame",
           "export the model again (vexo export)");
  if (badTexCoord)
    Report(out, r.path, "triangle-indices", EngineSet::All(), true,
           to_string(badTexCoord) + " triangle corners name a texture coordinate past the " +
               to_string(m.texCoords.size()) + " of the model: the renderers read outside them",
           "export the model again (vexo export)");
}

// The software renderer takes the pixel positions of the triangle list as
// they are (ref_soft/r_alias.c); positions outside the skin read outside
// it, and the GL renderer repeats the skin there.
void CheckTexCoords(const md2::Reading& r, Findings& out) {
  const md2::Model& m = r.model;
  std::int64_t outside = 0;
  for (const Md2Triangle& t : m.triangles) {
    for (int k = 0; k < 3; ++k) {
      if (t.texCoordIndex[k] >= m.texCoords.size()) continue;
      const Md2TexCoord& c = m.texCoords[t.texCoordIndex[k]];
      if (c.s < 0 || c.s > m.header.skinWidth || c.t < 0 || c.t > m.header.skinHeight) ++outside;
    }
  }
  if (outside)
    Report(out, r.path, "texture-coordinates", EngineSet::Games(), false,
           to_string(outside) + " triangle corners lie outside the " +
               to_string(m.header.skinWidth) + " x " + to_string(m.header.skinHeight) +
               " skin: the software renderer reads outside it, the GL renderer repeats it",
           "keep the mesh's texture coordinates within 0 to 1");
}

// Lighting takes each vertex's normal byte as an index into the 162
// directions (ref_gl/gl_mesh.c r_avertexnormals, ref_soft/r_alias.c);
// Q2PRO sets indices past them to 0 (src/refresh/models.c), the others
// read past the table.
void CheckNormals(const md2::Reading& r, Findings& out) {
  std::int64_t pastTable = 0;
  std::vector<std::size_t> flat;  // frames whose every normal is 0
  for (std::size_t f = 0; f < r.model.frames.size(); ++f) {
    // Without a branch a vertex: a frame holds thousands.
    int anyNormal = 0;
    std::int64_t past = 0;
    for (const Md2Vertex& v : r.model.frames[f].vertices) {
      anyNormal |= v.normalIndex;
      past += int(v.normalIndex >= md2::kNormalCount);
    }
    pastTable += past;
    if (!anyNormal && !r.model.frames[f].vertices.empty()) flat.push_back(f);
  }
  if (pastTable)
    Report(out, r.path, "normal-index",
           {Engine::kIdGl, Engine::kIdSoft, Engine::kYamagi, Engine::kKmq2}, false,
           to_string(pastTable) + " vertex normals are past the 162 directions: they are lit "
                                  "from outside the lighting table",
           "set the normals from the mesh", "--normals");
  if (flat.empty()) return;
  // Frames updated in place by the plug-in lose their normals again.
  const std::string which =
      flat.size() == r.model.frames.size()
          ? "every vertex normal is 0: the game lights the model flat"
          : to_string(flat.size()) + " frames (the first: " + to_string(flat[0]) + ", \"" +
                r.model.frames[flat[0]].Name() + "\") have every vertex normal 0: the game lights them flat";
  Report(out, r.path, "flat-normals", EngineSet::Games(), false,
         which, "set the normals from the mesh", "--normals");
}

// Models other than players are drawn with the skins named inside them
// (ref_gl/gl_model.c loads them); a player's skin comes from its folder
// (client/menu.c).
void CheckSkinNames(const md2::Reading& r, Findings& out) {
  if (r.model.header.numSkins == 0)
    Report(out, r.path, "skin-name", EngineSet::Games(), false,
           "the model names no skin: fine for a player model, but a monster, item or weapon "
           "shows no texture",
           "name the skin's path in the game", "--skin-path");
}

// The game plays a player's animations by frame number, in the order of
// the 198 player frames (game/m_player.h).
void CheckFrameNames(const md2::Reading& r, Findings& out) {
  const auto& frames = r.model.frames;
  if (frames.empty()) return;
  if (frames.size() != std::size_t(kDefaultFrameNameCount)) {
    Report(out, r.path, "player-frames", EngineSet::Games(), false,
           to_string(frames.size()) +
               " frames, not the 198 of the game's player animations: fine for a monster, item "
               "or weapon, but a player model plays the wrong frames",
           "for a player model, export with the default frame list (vexo frames)");
    return;
  }
  int differ = 0, first = -1;
  for (int k = 0; k < kDefaultFrameNameCount; ++k) {
    if (frames[k].Name() != kDefaultFrameNames[k]) {
      ++differ;
      if (first < 0) first = k;
    }
  }
  if (differ)
    Report(out, r.path, "player-frames", EngineSet::Games(), false,
           to_string(differ) + " of the 198 frames are not named as the player animations "
                               "expect them (frame " +
               to_string(first) + " is \"" + frames[first].Name() + "\", not \"" +
               kDefaultFrameNames[first] + "\"): a player model plays the wrong frames",
           "for a player model, export with the default frame list (vexo frames)");
}

}  // namespace

void CheckModelContent(const md2::Reading& r, Findings& out) {
  CheckIndices(r, out);
  CheckTexCoords(r, out);
  CheckNormals(r, out);
  CheckSkinNames(r, out);
  CheckFrameNames(r, out);
}

}  // namespace vexo::check
