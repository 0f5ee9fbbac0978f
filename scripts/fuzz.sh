#!/usr/bin/env bash
# Runs the fuzz harnesses of tests/fuzz with libFuzzer, each for a while:
#   scripts/fuzz.sh [--time SECONDS] [HARNESS...]
# Every harness by default, 30 seconds each (the smoke run of
# scripts/test.sh). Builds build/fuzz first (scripts/build.sh fuzz).
#
# Each harness keeps what it learns in build/fuzz/corpus/NAME, so a later
# run goes on from there; it starts from the seeds and regression inputs in
# tests/fuzz/corpus/NAME. A finding is written to build/fuzz/findings/NAME/
# and makes the script fail (an input that was only slow is kept there too,
# but does not); the whole output is in build/fuzz/logs/NAME.log.
#
# scene_import runs on past crashes, because assimp (not built by us) can
# crash on a hostile file: each crash is then replayed, and passes only when
# it happened inside assimp and `vexo info` reports the file as a failed
# import (exit 2), which is how vexo contains it, or when it does not crash
# at all when replayed alone (it is then marked .unreproduced).
# The whole script is one block, read before it runs: a run of hours is not
# disturbed when the file changes meanwhile.
{
set -euo pipefail
root="$(cd "$(dirname "${BASH_SOURCE[0]}")/.." && pwd)"
seconds=30
harnesses=()
while [ $# -gt 0 ]; do
  case "$1" in
    --time) seconds="$2"; shift 2 ;;
    -h | --help) sed -n '2,17p' "$0" | sed 's/^# \{0,1\}//'; exit 0 ;;
    -*) echo "fuzz.sh: unknown option $1" >&2; exit 2 ;;
    *) harnesses+=("$1"); shift ;;
  esac
done
all=$(sed -n 's/^vexo_add_fuzzer(\([a-z_]*\).*/\1/p' "$root/tests/fuzz/CMakeLists.txt")
[ ${#harnesses[@]} -gt 0 ] || read -r -d '' -a harnesses <<< "$all" || true
for name in "${harnesses[@]}"; do
  grep -qx "$name" <<< "$all" || { echo "fuzz.sh: no harness '$name' (harnesses: $(echo $all))" >&2; exit 2; }
done

build="$root/build/fuzz"
targets=(vexo)
for name in "${harnesses[@]}"; do targets+=("fuzz_$name"); done
# One build at a time: several runs of this script may start together.
mkdir -p "$build"
flock "$build/.build-lock" "$root/scripts/build.sh" fuzz "${targets[@]}" > "$build/build.log" 2>&1 ||
  { tail -40 "$build/build.log" >&2; exit 1; }

export TMPDIR="$build/tmp"
mkdir -p "$TMPDIR" "$build/logs"
export ASAN_OPTIONS="detect_leaks=1:allocator_may_return_null=0"
export LSAN_OPTIONS="suppressions=$root/tests/fuzz/lsan-suppressions.txt"
export UBSAN_OPTIONS="print_stacktrace=1:halt_on_error=1"

# Where an input crashes when replayed alone: "assimp" when the first frame
# that is not the sanitizers', libFuzzer's or the C library's lies in
# assimp, "none" when it does not crash at all, else "ours".
crash_site() {
  local harness="$1" input="$2" report code=0
  report=$("$build/bin/fuzz_$harness" "$input" 2>&1) || code=$?
  if [ "$code" -eq 0 ]; then echo none; return; fi
  if grep -E '^ +#[0-9]+ ' <<< "$report" |
    grep -vE 'libclang_rt|compiler-rt|__interceptor_|__asan|__ubsan|__sanitizer|fuzzer::|operator new|malloc|libc\.so|libstdc\+\+| (nptl|signal|stdlib|string|libio|csu|io)/' |
    head -1 | grep -q 'libassimp'; then
    echo assimp
  else
    echo ours
  fi
}

# Whether vexo turns a scene_import input into a failed import (exit 2).
vexo_refuses() {
  local input="$1"
  local extensions
  # The harness's own table, which the input's first byte indexes.
  read -r -a extensions <<< "$(sed -n '/kExtensions\[\] = {/,/};/p' "$root/tests/fuzz/scene_import_fuzzer.cpp" |
    grep -o '"[a-z0-9]*"' | tr -d '"' | tr '\n' ' ')"
  local first
  first=$(od -An -tu1 -N1 "$input" | tr -d ' ')
  [ -n "$first" ] || return 0
  local scene="$TMPDIR/replay.${extensions[$((first % ${#extensions[@]}))]}"
  tail -c +2 "$input" > "$scene"
  local code=0
  "$build/bin/vexo" info "$scene" --import-time 20 > /dev/null 2>&1 || code=$?
  rm -f "$scene"
  [ "$code" -eq 2 ]
}

status=0
for name in "${harnesses[@]}"; do
  corpus="$build/corpus/$name"
  findings="$build/findings/$name"
  log="$build/logs/$name.log"
  mkdir -p "$corpus" "$findings"
  rm -f "$findings"/*
  options=(-max_total_time="$seconds" -timeout=25 -rss_limit_mb=2560 -print_final_stats=1
           -artifact_prefix="$findings/")
  [ "$name" = scene_import ] &&
    options+=(-fork=1 -ignore_crashes=1 -ignore_ooms=1 -ignore_timeouts=1)
  code=0
  nice "$build/bin/fuzz_$name" "${options[@]}" "$corpus" "$root/tests/fuzz/corpus/$name" \
    > "$log" 2>&1 || code=$?
  runs=$(sed -n 's/^stat::number_of_executed_units: *//p' "$log" | tail -1)
  [ -n "$runs" ] || runs=$(grep -oE '^#[0-9]+' "$log" | tail -1 | tr -d '#')
  coverage=$(grep -oE 'cov: [0-9]+ ft: [0-9]+' "$log" | tail -1)
  [ -n "$coverage" ] || coverage=$(grep -oE 'cov: [0-9]+' "$log" | tail -1)
  summary="$name: ${runs:-0} runs in ${seconds} s, ${coverage:-no coverage}, corpus $(ls "$corpus" | wc -l) files"
  if [ "$name" = scene_import ]; then
    # Crashes, stalls and memory blow-ups inside assimp pass when vexo
    # refuses the file. A crash that does not happen again when its input
    # is replayed alone came from what earlier inputs left behind in the
    # same process (vexo imports one file a process); it is kept, marked,
    # for a person to look at.
    contained=0
    unreproduced=0
    for input in "$findings"/*; do
      [ -e "$input" ] || continue
      case "$(basename "$input")" in slow-unit-*) continue ;; esac
      site=assimp
      case "$(basename "$input")" in crash-* | leak-*) site=$(crash_site "$name" "$input") ;; esac
      if [ "$site" = none ]; then
        unreproduced=$((unreproduced + 1))
        mv "$input" "$input.unreproduced"
      elif [ "$site" = assimp ] && vexo_refuses "$input"; then
        contained=$((contained + 1))
        mv "$input" "$input.contained"
      fi
    done
    [ $contained -eq 0 ] || summary+=", $contained inside assimp, each refused by vexo (exit 2)"
    [ $unreproduced -eq 0 ] || summary+=", $unreproduced not crashing when replayed alone"
    code=0
  fi
  # Inputs that only took long (over 10 s, in a sanitizer build) are kept
  # but are no finding.
  slow=$(ls "$findings" | grep -c '^slow-unit-' || true)
  [ "$slow" -eq 0 ] || summary+=", $slow slow inputs kept"
  left=$(ls "$findings" | grep -vE '\.(contained|unreproduced)$|^slow-unit-' || true)
  if [ "$code" -ne 0 ] || [ -n "$left" ]; then
    echo "$summary: FINDING (exit $code) $(echo $left); see $log"
    status=1
  else
    echo "$summary: no finding"
  fi
done
exit $status
}
