// The import options on the vexo command line, for the verbs that read a
// scene file (export, info): --up, --select, --animation, --fps and
// --max-texture. The scene file itself is the verb's positional argument.
#pragma once

#include <CLI/App.hpp>

#include <string>

#include "standalone/import/import_options.h"

namespace vexo {

// Adds the options to a verb; parsing fills `options`.
void AddImportOptions(CLI::App& verb, ImportOptions& options);

// The first import option given on the verb's command line ("--up", ...),
// or an empty string when none was.
std::string FirstImportOptionGiven(const CLI::App& verb);

}  // namespace vexo
