#!/usr/bin/env bash
# Installs what is missing, builds vexo and the plug-in modules it loads
# (no tests, no benchmarks), and runs the main job on the built-in demo
# scene.
set -euo pipefail
root="$(cd "$(dirname "${BASH_SOURCE[0]}")/.." && pwd)"
"$root/scripts/install-deps.sh"
"$root/scripts/build.sh" release vexo
"$root/build/release/bin/vexo" demo "$@"
