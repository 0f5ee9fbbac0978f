// A whole check of a model and its skins, as vexo check and vexo export
// make it.
#pragma once

#include <string>
#include <vector>

#include "standalone/check/finding.h"

namespace vexo::check {

struct ModelCheck {
  Findings findings;
  std::vector<std::string> skins;  // the skin files checked
};

// Checks the model and the given skins; with no skins given, those found
// beside the model (SkinsBeside) unless lookBeside is false. Throws
// md2::ReadError when the model cannot be read at all.
ModelCheck CheckModel(const std::string& model, const std::vector<std::string>& skins,
                      bool lookBeside = true);

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
