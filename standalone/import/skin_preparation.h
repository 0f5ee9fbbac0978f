// The skin of an import: which picture each face of an exported node
// shows, the pictures vexo makes, the size every picture gets so that the
// plug-in can place them all, and the files the plug-in is given.
//
// Per material slot of a node the plug-in exports:
//   - a material with a picture shows it (tinted by a glTF base colour
//     factor); a picture that is not found is replaced by the material's
//     colour, with a note;
//   - a material without a picture, and a slot without a material, show
//     the node's vertex colours baked into cells (in glTF times the
//     material's colour), or else a swatch of the material's colour (grey
//     without a material).
// Without --max-texture vexo scales the scene's pictures down just enough
// for the plug-in's placement to succeed (skin_fit.h), with a note saying
// which and to what; --max-texture N caps them at N, "none" keeps them whole.
#pragma once

#include "standalone/import/import_options.h"
#include "standalone/import/scene_model.h"

namespace vexo {

// Whether the plug-in exports a node: a selected mesh node with a name the
// plug-in does not skip.
bool PluginExports(const ModelNode& node);

// Fills the model's pictures, the nodes' slot pictures and the skin
// summary, and rewrites the texture coordinates of faces that show a made
// picture. Writes the cache files when the options ask for an export.
// Throws ImportError: a picture that cannot be read or written, a mesh
// over the format's limits (for an export).
void PrepareSkin(SceneModel& model, const ImportOptions& options, bool gltf);

}  // namespace vexo
