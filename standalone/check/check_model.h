// A whole check of a model and its skins, as vexo check and vexo export
// make it.
#pragma once

#include <optional>
#include <string>
#include <vector>

#include "standalone/check/file_stamp.h"
#include "standalone/md2/read_md2.h"

#include "standalone/check/finding.h"

namespace vexo::check {

struct ModelCheck {
  Findings findings;
  std::vector<std::string> skins;  // the skin files checked
};

// A model file read and checked on its own, with the file it was read
// from: what an export checks while the plug-in still writes the skin.
struct CheckedModelFile {
  md2::Reading reading;
  Findings findings;
  FileStamp stamp;
};

// Reads and checks the model file alone; nothing when it cannot be read or
// changed while it was read.
std::optional<CheckedModelFile> CheckModelFileAlone(const std::string& model);

// Checks the model and the given skins; with no skins given, those found
// beside the model (SkinsBeside) unless lookBeside is false. A model
// checked before (`checked`) is taken as it is when the file has not
// changed since. Throws md2::ReadError when the model cannot be read at
// all.
ModelCheck CheckModel(const std::string& model, const std::vector<std::string>& skins,
                      bool lookBeside = true, std::optional<CheckedModelFile> checked = {});

// The skins of a model found beside it: the files named like its skin
// names (their file names, in the model's folder), else MODEL.pcx, else
// tris.pcx (vexo export's default skin name).
std::vector<std::string> SkinsBeside(const std::string& model,
                                     const std::vector<std::string>& skinNames);

// The findings that touch the targets, each narrowed to them.
Findings ForTargets(const Findings& findings, EngineSet targets);

// "FILE: ENGINES: MESSAGE; FIX (OPTION)".
std::string FindingLine(const Finding& finding);
// The check as one JSON object: model, targets, skins, clean, findings.
std::string CheckJson(const std::string& model, EngineSet targets, const ModelCheck& check);

}  // namespace vexo::check
