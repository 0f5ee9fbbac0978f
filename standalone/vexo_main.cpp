// vexo: a host of its own for the Dorvane plug-in, driven from the command
// line (see standalone/cli/).
#include "standalone/cli/commands.h"

int main(int argc, char** argv) { return vexo::cli::RunCommandLine(argc, argv); }
