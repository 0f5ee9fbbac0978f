// The one error style of the vexo host: a failure is thrown as a
// vexo::Error whose message says what is wrong and names the file or value
// it is about ("out/tris.md2: its frames do not lie inside the file"). The
// kinds derived from it (UsageError, ImportError, ModuleError, ...) tell
// the command line which exit code to give; the verbs let them pass up to
// RunCommandLine, which prints "vexo: message". Nothing on the host side
// hands failures back through out-parameters.
#pragma once

#include <stdexcept>

namespace vexo {

class Error : public std::runtime_error {
 public:
  using std::runtime_error::runtime_error;
};

}  // namespace vexo
