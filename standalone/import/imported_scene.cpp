#include "standalone/import/imported_scene.h"

#include "standalone/import/scene_model.h"

namespace vexo {

ImportedScene::ImportedScene(std::shared_ptr<SceneModel> model, MemoryScene scene)
    : model_(std::move(model)), scene_(std::move(scene)) {
  for (const AnimationClip& clip : model_->clips) {
    clips_.push_back(ClipInfo{clip.name, clip.DurationSeconds(), clip.loops});
  }
}

ImportedScene::ImportedScene(ImportedScene&&) noexcept = default;
ImportedScene& ImportedScene::operator=(ImportedScene&&) noexcept = default;
ImportedScene::~ImportedScene() = default;

std::size_t ImportedScene::FindClip(const std::string& nameOrNumber) const {
  return vexo::FindClip(model_->clips, nameOrNumber, model_->source);
}

void ImportedScene::SetActiveClip(std::optional<std::size_t> clip) {
  model_->StopPosingAhead();
  if (clip && *clip >= model_->clips.size()) {
    throw ImportError("animation " + std::to_string(*clip) + " is out of range");
  }
  model_->activeClip = clip ? static_cast<int>(*clip) : -1;
  model_->secondsPerFrame = 1.0 / model_->fps;
}

std::optional<std::size_t> ImportedScene::activeClip() const {
  if (model_->activeClip < 0) return std::nullopt;
  return static_cast<std::size_t>(model_->activeClip);
}

double ImportedScene::ClipFrameTime(std::size_t clip, int k, int frameCount) const {
  if (clip >= model_->clips.size()) {
    throw ImportError("animation " + std::to_string(clip) + " is out of range");
  }
  const AnimationClip& c = model_->clips[clip];
  const int steps = c.loops ? frameCount : frameCount - 1;
  return steps > 0 ? c.DurationSeconds() * k / steps : 0.0;
}

void ImportedScene::MapClipToFrames(std::size_t clip, int frameCount) {
  if (frameCount < 1) {
    throw ImportError("a clip needs at least one frame, not " + std::to_string(frameCount));
  }
  SetActiveClip(clip);
  model_->secondsPerFrame = ClipFrameTime(clip, 1, frameCount);
}

void ImportedScene::StartPosingAhead(int firstFrame, int count) {
  model_->StartPosingAhead(firstFrame, count);
}

void ImportedScene::StopPosingAhead() { model_->StopPosingAhead(); }

double ImportedScene::fps() const { return model_->fps; }
int ImportedScene::ticksPerFrame() const { return model_->ticksPerFrame; }

std::vector<PreparedTexture> ImportedScene::PreparedTextures() const {
  std::vector<PreparedTexture> textures;
  for (const SkinPicture& picture : model_->pictures) textures.push_back(picture.prepared);
  return textures;
}

std::string ImportedScene::SkinDoesNotFitMessage() const {
  return model_->skin.fits ? "" : "the textures do not fit the skin: " + model_->skin.why;
}

const std::vector<std::string>& ImportedScene::notes() const { return model_->notes; }

void ImportedScene::DiscardCacheAdditions() { model_->cacheAdditions->RemoveAll(); }

}  // namespace vexo
