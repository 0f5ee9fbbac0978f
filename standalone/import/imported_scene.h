// A scene file imported into the in-memory scene, shown to the plug-in as a
// modelling host would show it.
//
//   vexo::ImportOptions options;
//   options.path = "player.glb";
//   options.textureCache = vexo::TextureCacheFolder("out/tris.md2");
//   vexo::ImportedScene imported = vexo::ImportScene(options);
//   vexo::MemoryHost host(imported.TakeScene());
//   // The plug-in now sees "Scene Root" holding the file's node tree.
//
// Nodes. The file's top node hangs under "Scene Root"; every node keeps the
// file's name. A node with meshes gets one mesh joining them (see
// mesh_welding.h) and the material its faces use: one material as it is, two
// or more as a multi-material whose slots the faces' material indices name.
// Faces without a material leave the node without one ("not mapped") or, in
// a multi-material, leave their slot empty. Mesh nodes are selected unless
// the options name the ones to select.
//
// Time. One clip at a time is on the timeline. By default host frame f
// shows the clip at f / fps seconds; MapClipToFrames spreads a clip over a
// range of frames instead. The host asks each node for its transform and
// mesh at a host time; both follow the active clip.
#pragma once

#include <cstddef>
#include <memory>
#include <optional>
#include <string>
#include <vector>

#include "standalone/import/import_options.h"
#include "standalone/import/texture_cache.h"
#include "standalone/memory_scene.h"

namespace vexo {

class SceneModel;

struct ClipInfo {
  std::string name;
  double durationSeconds = 0;
  // The pose at the end equals the pose at the start.
  bool loops = false;
};

class ImportedScene {
 public:
  ImportedScene(std::shared_ptr<SceneModel> model, MemoryScene scene);
  ImportedScene(ImportedScene&&) noexcept;
  ImportedScene& operator=(ImportedScene&&) noexcept;
  ~ImportedScene();

  // The scene as the host holds it. TakeScene hands it over (to a
  // MemoryHost); the imported scene keeps driving its animation.
  MemoryScene& scene() { return scene_; }
  MemoryScene TakeScene() { return std::move(scene_); }

  const std::vector<ClipInfo>& clips() const { return clips_; }
  // A clip by name, or by its number when no clip has that name. Throws
  // ImportError naming the clips there are.
  std::size_t FindClip(const std::string& nameOrNumber) const;

  // Puts a clip on the timeline, host frame f showing it at f / fps
  // seconds; no clip shows the bind pose.
  void SetActiveClip(std::optional<std::size_t> clip);
  std::optional<std::size_t> activeClip() const;

  // Puts a clip on the timeline spread over frameCount host frames: host
  // frame k (k = 0 ... frameCount - 1) shows ClipFrameTime(clip, k,
  // frameCount). For a mapping of model frames Start ... End, frameCount is
  // End - Start + 1 and the plug-in's First Frame is 0, so model frame
  // Start + k shows the clip at that time.
  void MapClipToFrames(std::size_t clip, int frameCount);
  // Clip time in seconds of frame k of frameCount. A looping clip's frames
  // lie duration / frameCount apart, so that the frame after the last would
  // be the first again and the model loops without a doubled pose; any
  // other clip's frames lie duration / (frameCount - 1) apart, the last one
  // showing the clip's end.
  double ClipFrameTime(std::size_t clip, int k, int frameCount) const;

  double fps() const;
  int ticksPerFrame() const;

  // Poses the exported meshes for host frames firstFrame ... firstFrame +
  // count - 1 on a second thread while the plug-in samples them; stopped by
  // StopPosingAhead, a change of the timeline or the end of the scene.
  void StartPosingAhead(int firstFrame, int count);
  void StopPosingAhead();

  // The pictures the plug-in will load for the skin, as it will read them.
  std::vector<PreparedTexture> PreparedTextures() const;
  // What to tell the user when the plug-in cannot place the textures: the
  // --max-texture value that makes them fit, or why none does.
  std::string SkinDoesNotFitMessage() const;
  // Lines about what vexo did in the user's stead (textures scaled to fit,
  // a missing texture replaced by its material's colour, ...).
  const std::vector<std::string>& notes() const;
  // Takes away what the import added to the texture cache: the export
  // failed.
  void DiscardCacheAdditions();

  const SceneModel& model() const { return *model_; }

 private:
  std::shared_ptr<SceneModel> model_;
  MemoryScene scene_;
  std::vector<ClipInfo> clips_;
};

// Imports a scene file. Throws ImportError: a missing file, a file the
// importer refuses, a scene without triangle meshes, an unknown clip or node
// name, bad options, a texture that cannot be read, and (when preparing
// textures) meshes over the format's limits or a texture that cannot be
// written. A failed import leaves nothing in the texture cache.
ImportedScene ImportScene(const ImportOptions& options);

}  // namespace vexo
