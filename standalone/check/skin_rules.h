// The rules a skin must keep for each engine, checked with the model that
// uses it: the picture file, its size, and what the GL renderer does to
// the texels the model's triangles show.
#pragma once

#include <optional>
#include <string>

#include "standalone/check/finding.h"
#include "standalone/md2/read_md2.h"
#include "standalone/skin/pcx_picture.h"

namespace vexo::check {

// A skin file read ahead of its check: its PCX picture, or the findings
// that say why there is none (these need no model).
struct SkinFile {
  std::string path;
  std::optional<skin::PcxPicture> picture;
  Findings unread;
};
SkinFile ReadSkinFile(const std::string& skinPath);

// A skin file of any kind: PCX pictures are checked in full; the original
// engine loads no other kind.
void CheckSkinFile(const md2::Reading& model, const std::string& skinPath, Findings& findings);
void CheckSkinFile(const md2::Reading& model, const SkinFile& skin, Findings& findings);

// The rules of a PCX picture that was read (path names it in findings).
void CheckPcxSkin(const md2::Reading& model, const skin::PcxPicture& picture,
                  const std::string& path, Findings& findings);

// Whether the game's loaders take the picture at all: its kind and size.
void CheckPcxForm(const skin::PcxPicture& picture, const std::string& path, Findings& findings);

}  // namespace vexo::check
