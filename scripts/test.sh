#!/usr/bin/env bash
# Installs what is missing, builds the release and the two sanitizer
# configurations (gcc's, and clang's with its function-pointer check) and
# runs every test in each, runs each fuzz harness for 30 seconds, then
# builds for Windows and runs the Windows tests under Wine
# (scripts/test-windows.sh).
set -euo pipefail
root="$(cd "$(dirname "${BASH_SOURCE[0]}")/.." && pwd)"
# Both package lists up front: some native tests compare with what the
# Windows resource compiler builds.
"$root/scripts/install-deps.sh" "$root/scripts/packages.txt" "$root/scripts/packages-windows.txt"
# The independent MD2 readers some tests run in node (three.js, quake2ts).
"$root/scripts/install-node-modules.sh"
status=0
for config in release asan clang-asan; do
  echo "== $config: build"
  "$root/scripts/build.sh" "$config"
  echo "== $config: test"
  (cd "$root/build/$config" && ctest --output-on-failure -j"$(nproc 2>/dev/null || echo 2)") || status=1
done
# Every fuzz harness for a short while (tests/fuzz; scripts/fuzz.sh runs
# them longer).
echo "== fuzz: 30 s a harness"
"$root/scripts/fuzz.sh" --time 30 || status=1
# The Windows build, driven under Wine; its reference files come from the
# release build above.
echo "== windows: build and test under Wine"
"$root/scripts/test-windows.sh" || status=1
exit $status
