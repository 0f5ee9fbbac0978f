// Dialog templates and bitmaps that modules register when they are loaded,
// found again by module instance and id as Windows finds resources.
#include "sdk/win32/src/win32_state.h"

namespace vexo::win32 {

void RegisterDialogTemplate(HINSTANCE module, WORD id, const DialogTemplate* dialog) {
  State().dialogTemplates[{module, id}] = dialog;
}

void RegisterBitmap(HINSTANCE module, WORD id, const unsigned char* dib, std::size_t size) {
  State().bitmaps[{module, id}] = BitmapResource{dib, size};
}

void UnregisterModuleResources(HINSTANCE module) {
  auto& state = State();
  for (auto it = state.dialogTemplates.begin(); it != state.dialogTemplates.end();)
    it = it->first.first == module ? state.dialogTemplates.erase(it) : std::next(it);
  for (auto it = state.bitmaps.begin(); it != state.bitmaps.end();)
    it = it->first.first == module ? state.bitmaps.erase(it) : std::next(it);
}

const DialogTemplate* FindDialogTemplate(HINSTANCE module, WORD id) {
  const auto& templates = State().dialogTemplates;
  const auto it = templates.find({module, id});
  return it == templates.end() ? nullptr : it->second;
}

const unsigned char* FindBitmapResource(HINSTANCE module, WORD id, std::size_t* size) {
  const auto& bitmaps = State().bitmaps;
  const auto it = bitmaps.find({module, id});
  if (it == bitmaps.end()) return nullptr;
  if (size) *size = it->second.size;
  return it->second.dib;
}

}  // namespace vexo::win32
