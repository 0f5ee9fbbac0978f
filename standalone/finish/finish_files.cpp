#include "standalone/finish/finish_files.h"

#include "standalone/check/check_model.h"
#include "standalone/finish/gl_strips.h"
#include "standalone/finish/safe_palette.h"
#include "standalone/finish/skin_names.h"
#include "standalone/finish/vertex_normals.h"
#include "standalone/md2/read_md2.h"
#include "standalone/md2/write_md2.h"

namespace vexo::finish {
namespace {

using std::to_string;

md2::Model LoadModel(const std::string& path) {
  try {
    return md2::LoadMd2(path);
  } catch (const md2::ReadError& e) {
    throw FinishError(e.what());
  }
}

std::string SkinToRepair(const std::string& model, const std::string& skin,
                         const md2::Model& loaded) {
  if (!skin.empty()) return skin;
  for (const std::string& found : check::SkinsBeside(model, loaded.skinNames))
    if (found.size() >= 4 && found.compare(found.size() - 4, 4, ".pcx") == 0) return found;
  throw FinishError("--safe-palette: there is no PCX skin beside " + model +
                    "; name it with --skin");
}

}  // namespace

std::vector<std::string> FinishFiles(const std::string& modelPath, const std::string& skin,
                                     const FinishOptions& options) {
  if (!options.skinPaths.empty()) {
    const std::string problem = SkinNamesProblem(options.skinPaths);
    if (!problem.empty()) throw FinishError("--skin-path: " + problem);
  }
  md2::Model model = LoadModel(modelPath);
  std::vector<std::string> done;

  if (options.normals) {
    SetVertexNormals(model);
    done.push_back("set the vertex normals of its " + to_string(model.frames.size()) +
                   " frames from their triangles");
  }
  if (!options.skinPaths.empty()) {
    model.skinNames = options.skinPaths;
    std::string names;
    for (const std::string& name : options.skinPaths) names += (names.empty() ? "" : ", ") + name;
    done.push_back("named its skin " + names);
  }
  if (options.strips) {
    StripReport strips;
    try {
      strips = RebuildGlStrips(model);
    } catch (const std::runtime_error& e) {
      throw FinishError("--strips: " + modelPath + ": " + e.what());
    }
    done.push_back("rebuilt its GL commands as strips: " + to_string(strips.commandsBefore) +
                   " commands in " + to_string(strips.wordsBefore * 4) + " bytes became " +
                   to_string(strips.commandsAfter) + " in " + to_string(strips.wordsAfter * 4));
  }
  if (options.strictEnd && !model.trailer.empty()) {
    done.push_back("dropped the " + to_string(model.trailer.size()) + " bytes after its end");
    model.trailer.clear();
  }

  std::string skinPath;
  skin::PcxPicture picture;
  PaletteRepair repair;
  if (options.safePalette) {
    skinPath = SkinToRepair(modelPath, skin, model);
    try {
      picture = skin::ReadPcx(skinPath);
    } catch (const skin::PcxError& e) {
      throw FinishError(std::string("--safe-palette: ") + e.what());
    }
    if (!picture.decoded)
      throw FinishError("--safe-palette: " + skinPath + ": " + picture.notDecoded);
    repair = MakePaletteSafe(model, picture);
  }

  if (options.ChangesModel()) md2::WriteMd2(modelPath, model);
  if (options.safePalette) {
    if (repair.Changed() > 0) WritePcx(skinPath, picture);
    std::string what = skinPath + ": " + to_string(repair.Changed()) +
                       (repair.Changed() == 1 ? " pixel changed" : " pixels changed");
    if (repair.movedFrom255)
      what += ", " + to_string(repair.movedFrom255) + " from index 255 to its nearest colour " +
              to_string(repair.replacement);
    if (repair.topLeftBlackened)
      what += ", the top-left pixel made black so the GL renderer's flood fill leaves the skin";
    done.push_back(what);
  }
  return done;
}

}  // namespace vexo::finish
