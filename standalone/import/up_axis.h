// Which way is up in an imported scene, and the turn that makes Z point up
// as in the host's world.
//
// A format that records its up axis is taken at its word: FBX in its
// header; COLLADA in up_axis (also inside a zipped .zae), which the
// importer applies, delivering the scene Y-up. Every other format follows
// its own convention, whatever the importer does on the way:
//   - Y-up: glTF, OBJ, DirectX X, MilkShape 3D, LightWave, AC3D, Blitz3D,
//     Ogre, X3D and VRML, Irrlicht, Silo, NFF, XGL, PLY;
//   - Z-up, turned Y-up by the importer (turned back here): 3DS, ASE, MD5,
//     IQM, the Quake formats MD2, MD3 and MDC, DXF;
//   - Z-up as stored: Blender, Source SMD, STL, 3MF, AMF;
//   - any other format records nothing and is taken as Z-up.
// --up overrides the file's axis.
#pragma once

#include <filesystem>
#include <string>

#include "standalone/import/import_options.h"
#include "standalone/import/transform_math.h"

struct aiScene;

namespace vexo {

struct UpAxisDecision {
  // Turns the delivered scene Z-up; applied above the file's top node.
  Mat4 correction;
  std::string note;  // which axis, and why it is taken so
};

// Whether the importer must be asked to leave COLLADA's up_axis alone (it
// must when --up overrides it).
bool IgnoresColladaUpAxis(UpAxis option);

UpAxisDecision DecideUpAxis(const aiScene& scene, const std::filesystem::path& file, UpAxis option);

}  // namespace vexo
