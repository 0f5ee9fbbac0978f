// vexo: a host of its own for the Dorvane plug-in, driven from the command
// line (see standalone/cli/).
#include <malloc.h>

#include "standalone/cli/commands.h"
#include "standalone/cli/isolated_import.h"

int main(int argc, char** argv) {
  // An export allocates and frees buffers of megabytes over and over (a
  // model's frames, once a pass; pictures; files read back). Kept in the
  // heap when freed, they are reused instead of mapped and zeroed afresh
  // each time: a third fewer page faults. vexo is short-lived, so memory
  // not handed back early costs nothing.
  mallopt(M_MMAP_THRESHOLD, 16 << 20);
  mallopt(M_TRIM_THRESHOLD, 32 << 20);
  // Its few threads share the one heap: an arena of a thread's own would
  // hold pages apart and add them to the peak.
  mallopt(M_ARENA_MAX, 1);
  const int code = vexo::cli::RunCommandLine(argc, argv);
  vexo::cli::ReportExitCode(code);
  return code;
}
