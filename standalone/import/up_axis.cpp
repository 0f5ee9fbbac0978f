#include "standalone/import/up_axis.h"

#include <assimp/scene.h>

#include <cctype>

namespace vexo {
namespace {

std::string Extension(const std::filesystem::path& file) {
  std::string ext = file.extension().string();
  for (char& c : ext) c = static_cast<char>(std::tolower(static_cast<unsigned char>(c)));
  return ext;
}

}  // namespace

bool IgnoresColladaUpAxis(UpAxis option) { return option != UpAxis::kAuto; }

UpAxisDecision DecideUpAxis(const aiScene& scene, const std::filesystem::path& file,
                            UpAxis option) {
  const std::string ext = Extension(file);
  // Formats whose importer turns the file's Z-up coordinates Y-up; turning
  // them back gives the file's own coordinates.
  const bool importerTurned = ext == ".3ds" || ext == ".md5mesh";
  bool fileYUp = false;
  std::string why;
  if (option != UpAxis::kAuto) {
    fileYUp = option == UpAxis::kY;
    why = "as --up says";
  } else if (ext == ".gltf" || ext == ".glb") {
    fileYUp = true;
    why = "glTF is Y-up";
  } else if (ext == ".dae") {
    fileYUp = true;
    why = "COLLADA arrives Y-up from its up_axis";
  } else if (ext == ".fbx") {
    int up = 1;
    if (scene.mMetaData) scene.mMetaData->Get("UpAxis", up);
    fileYUp = up != 2;
    why = "from the FBX header";
  } else if (importerTurned) {
    why = "the format is Z-up";
  } else {
    why = "the format records no up axis";
  }

  UpAxisDecision decision;
  if (importerTurned) decision.correction = YUpToZUp();
  if (fileYUp) decision.correction = YUpToZUp() * decision.correction;
  decision.note = std::string(fileYUp ? "Y-up, turned Z-up" : "Z-up") + " (" + why + ")";
  return decision;
}

}  // namespace vexo
