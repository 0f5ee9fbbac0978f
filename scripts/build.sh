#!/usr/bin/env bash
# Configures and builds one configuration, whole or only the given targets:
#   scripts/build.sh release|asan|clang-asan [TARGET...]
#   release     optimised build in build/release
#   asan        debug build with AddressSanitizer and UBSan in build/asan
#   clang-asan  the same built by clang, whose UBSan also checks calls
#               through function pointers of another type, in build/clang-asan
#   fuzz        the libFuzzer harnesses (tests/fuzz), built by clang with
#               both sanitizers, in build/fuzz (scripts/fuzz.sh runs them)
set -euo pipefail
root="$(cd "$(dirname "${BASH_SOURCE[0]}")/.." && pwd)"
config="${1:-release}"
shift || true
targets=()
for target in "$@"; do targets+=(--target "$target"); done
jobs="$(nproc 2>/dev/null || echo 2)"
case "$config" in
  release) args=(-DCMAKE_BUILD_TYPE=Release) ;;
  asan) args=(-DCMAKE_BUILD_TYPE=Debug -DVEXO_SANITIZE=ON -DVEXO_BUILD_BENCH=OFF) ;;
  clang-asan) args=(-DCMAKE_BUILD_TYPE=Debug -DVEXO_SANITIZE=ON -DVEXO_BUILD_BENCH=OFF
                    -DCMAKE_C_COMPILER=clang -DCMAKE_CXX_COMPILER=clang++) ;;
  fuzz) args=(-DCMAKE_BUILD_TYPE=RelWithDebInfo -DVEXO_SANITIZE=ON -DVEXO_FUZZ=ON
              -DVEXO_BUILD_TESTS=OFF -DVEXO_BUILD_BENCH=OFF -DVEXO_HOST_RELEASES=4
              -DCMAKE_C_COMPILER=clang -DCMAKE_CXX_COMPILER=clang++) ;;
  *) echo "build.sh: unknown configuration '$config' (release, asan, clang-asan or fuzz)" >&2; exit 2 ;;
esac
cmake -S "$root" -B "$root/build/$config" -DVEXO_WARNINGS_AS_ERRORS=ON "${args[@]}" > /dev/null
cmake --build "$root/build/$config" -j"$jobs" "${targets[@]}"
