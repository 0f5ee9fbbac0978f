#include "standalone/import/up_axis.h"

#include <assimp/scene.h>

#include <cctype>

namespace vexo {
namespace {

// How a format's coordinates reach vexo.
enum class Convention {
  kYUp,            // Y-up, as stored
  kZUpTurned,      // Z-up, turned Y-up by the importer
  kZUp,            // Z-up, as stored
  kUnknown,
};

struct Format {
  const char* extensions;  // space-separated, each with a leading dot
  const char* name;
  Convention convention;
};

const Format kFormats[] = {
    {".gltf .glb", "glTF", Convention::kYUp},
    {".obj", "OBJ", Convention::kYUp},
    {".x", "DirectX X", Convention::kYUp},
    {".ms3d", "MilkShape 3D", Convention::kYUp},
    {".lwo .lws .lxo", "LightWave", Convention::kYUp},
    {".ac .ac3d .acc", "AC3D", Convention::kYUp},
    {".b3d", "Blitz3D", Convention::kYUp},
    {".mesh .xml", "Ogre", Convention::kYUp},
    {".x3d .x3db .wrl", "X3D", Convention::kYUp},
    {".irr .irrmesh", "Irrlicht", Convention::kYUp},
    {".sib", "Silo", Convention::kYUp},
    {".nff .enff", "NFF", Convention::kYUp},
    {".xgl .zgl", "XGL", Convention::kYUp},
    {".ply", "PLY", Convention::kYUp},
    {".3ds", "3DS", Convention::kZUpTurned},
    {".ase .ask", "ASE", Convention::kZUpTurned},
    {".md5mesh", "MD5", Convention::kZUpTurned},
    {".iqm", "IQM", Convention::kZUpTurned},
    {".md2 .md3 .mdc", "Quake", Convention::kZUpTurned},
    {".dxf", "DXF", Convention::kZUpTurned},
    {".blend", "Blender", Convention::kZUp},
    {".smd .vta", "SMD", Convention::kZUp},
    {".stl", "STL", Convention::kZUp},
    {".3mf", "3MF", Convention::kZUp},
    {".amf", "AMF", Convention::kZUp},
};

std::string Extension(const std::filesystem::path& file) {
  std::string ext = file.extension().string();
  for (char& c : ext) c = static_cast<char>(std::tolower(static_cast<unsigned char>(c)));
  return ext;
}

const Format* FormatOf(const std::string& ext) {
  for (const Format& format : kFormats) {
    const std::string list = std::string(" ") + format.extensions + " ";
    if (!ext.empty() && list.find(" " + ext + " ") != std::string::npos) return &format;
  }
  return nullptr;
}

// The up_axis a COLLADA file records, read back from the turn the importer
// puts on the top node (after the unit's scale) to deliver it Y-up.
char ColladaUpAxis(const aiScene& scene) {
  const aiMatrix4x4& m = scene.mRootNode->mTransformation;
  if (m.b3 > 0 && m.c2 < 0) return 'Z';
  if (m.a2 < 0 && m.b1 > 0) return 'X';
  return 'Y';
}

}  // namespace

bool IgnoresColladaUpAxis(UpAxis option) { return option != UpAxis::kAuto; }

UpAxisDecision DecideUpAxis(const aiScene& scene, const std::filesystem::path& file,
                            UpAxis option) {
  const std::string ext = Extension(file);
  const Format* format = FormatOf(ext);
  const Convention convention = format ? format->convention : Convention::kUnknown;
  bool fileYUp = false;
  char recorded = 0;  // COLLADA's up_axis
  std::string why;
  if (option != UpAxis::kAuto) {
    fileYUp = option == UpAxis::kY;
    why = "as --up says";
  } else if (ext == ".dae" || ext == ".zae") {
    fileYUp = true;  // as the importer delivers it
    recorded = ColladaUpAxis(scene);
    why = std::string("COLLADA's up_axis is ") + recorded + "_UP";
  } else if (ext == ".fbx") {
    int up = 1;
    if (scene.mMetaData) scene.mMetaData->Get("UpAxis", up);
    fileYUp = up != 2;
    why = "from the FBX header";
  } else if (format) {
    fileYUp = convention == Convention::kYUp;
    why = std::string(format->name) + (fileYUp ? " is Y-up" : " is Z-up");
  } else {
    why = "the format records no up axis";
  }

  UpAxisDecision decision;
  // A Z-up file that the importer turned Y-up is first turned back into
  // its own coordinates.
  if (convention == Convention::kZUpTurned) decision.correction = YUpToZUp();
  if (fileYUp) decision.correction = YUpToZUp() * decision.correction;
  const char axis = recorded ? recorded : fileYUp ? 'Y' : 'Z';
  decision.note = std::string(1, axis) + (axis == 'Z' ? "-up" : "-up, turned Z-up") + " (" + why + ")";
  return decision;
}

}  // namespace vexo
