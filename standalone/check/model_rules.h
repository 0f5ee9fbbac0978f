// The rules a model file must keep for each engine, from the engines' own
// loaders and renderers (the source file is named beside each rule).
#pragma once

#include "standalone/check/finding.h"
#include "standalone/md2/read_md2.h"

namespace vexo::check {

// Every rule of the model file alone. A file that is no MD2 at all (its
// ident) gets that one finding, and nothing more is checked.
void CheckModelFile(const md2::Reading& reading, Findings& findings);

// The parts: header, counts and layout; triangles, frames and names; the
// GL command list against the triangle list.
void CheckModelLayout(const md2::Reading& reading, Findings& findings);
void CheckModelContent(const md2::Reading& reading, Findings& findings);
void CheckGlCommands(const md2::Reading& reading, Findings& findings);

// Adds a finding about `file`.
void Report(Findings& findings, const std::string& file, const char* rule, EngineSet engines,
            bool refused, std::string message, std::string fix, std::string option = "");

}  // namespace vexo::check
