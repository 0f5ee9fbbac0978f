#!/usr/bin/env bash
# Installs what is missing, builds, and runs the main job on the built-in
# demo scene.
set -euo pipefail
root="$(cd "$(dirname "${BASH_SOURCE[0]}")/.." && pwd)"
"$root/scripts/install-deps.sh"
"$root/scripts/build.sh" release
"$root/build/release/bin/vexo" demo "$@"
