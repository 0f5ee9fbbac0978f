#!/usr/bin/env bash
# Builds the plug-in for Windows with MinGW-w64 and tests it there: checks
# what the modules import and export, then drives the real panel under Wine
# on a virtual X display and compares the files it writes with those of the
# native build. Ends with one line: "windows: N passed, M failed".
#
#   scripts/test-windows.sh
#
# Everything lands in build/windows: the Windows build, the Wine prefix
# (made anew each run), the work folders of the tests, and panel.png, a
# screenshot of the open panel.
set -uo pipefail
root="$(cd "$(dirname "${BASH_SOURCE[0]}")/.." && pwd)"
# Build folders can be moved, e.g. to keep a second checkout's apart.
build="${VEXO_WINDOWS_BUILD:-$root/build/windows}"
native="${VEXO_NATIVE_BUILD:-$root/build/release}"
work="$build/wine-tests"
jobs="$(nproc 2>/dev/null || echo 2)"
modules=(bin/Dorvane.dlu bin/release3/Dorvane.dlu bin/release2/Dorvane.dlu)
# The plug-in may depend on these and nothing else: the system's DLLs and
# the host SDK's. The compiler's runtime is linked in.
allowed_imports="kernel32.dll msvcrt.dll user32.dll gdi32.dll comdlg32.dll comctl32.dll vexo_hostsdk.dll"

passed=0
failed=0
pass() { echo "PASS $1"; passed=$((passed + 1)); }
fail() { echo "FAIL $1"; failed=$((failed + 1)); }
finish() {
  echo "windows: $passed passed, $failed failed"
  [ "$failed" -eq 0 ]
  exit
}
# A step without which nothing else can run.
stop() {
  fail "$1"
  finish
}

# ---- Under the virtual display (this script runs itself under xvfb-run) ----

if [ "${1:-}" = "--under-display" ]; then
  results="$2"
  : > "$results"
  record() { echo "$1" >> "$results"; echo "$1"; }
  # Marks that the session reached its end rather than being cut short.
  finished() { touch "$results.end"; exit 0; }
  export WINEPREFIX="$work/prefix" WINEDEBUG=-all WINEDLLOVERRIDES="mscoree,mshtml=" WINEARCH=win64
  if ! xdpyinfo > /dev/null 2>&1; then
    record "FAIL display: the virtual X display ($DISPLAY) does not answer"
    finished
  fi
  # A fresh prefix, with Wine's virtual desktop: it acts as the window
  # manager, so modal dialogs get activated instead of stalling.
  rm -rf "$WINEPREFIX"
  if ! { timeout 180 wineboot --init &&
         timeout 60 wine reg add 'HKCU\Software\Wine\Explorer' /v Desktop /d Default /f &&
         timeout 60 wine reg add 'HKCU\Software\Wine\Explorer\Desktops' /v Default /d 1024x800 /f &&
         timeout 60 wineserver -w; } > "$work/wineboot.log" 2>&1; then
    record "FAIL wine prefix: wineboot failed or stalled (see $work/wineboot.log)"
    wineserver -k 2> /dev/null
    finished
  fi

  exe="$build/bin/vexo_windows_host.exe"
  tests="$build/bin/vexo_windows_tests.exe"
  reference="$(winepath -w "$work/reference" 2> /dev/null)"
  # run_test NAME TEST [MODULE]: one self-test in a folder of its own.
  run_test() {
    local name="$1" test="$2" module="${3:-bin/Dorvane.dlu}" dir="$work/run/$1" code
    mkdir -p "$dir"
    cp "$work"/reference/demo_* "$dir"/ 2> /dev/null
    (cd "$dir" && timeout -k 5 120 wine "$tests" --test "$test" \
        --module "$(winepath -w "$build/$module")" --reference "$reference" \
        > "$dir/output.txt" 2>&1)
    code=$?
    grep -v -e "Read access denied for device" -e "rundll32.exe" "$dir/output.txt" | sed 's/^/    /'
    case "$code" in
      0) record "PASS $name" ;;
      3) record "FAIL $name: stalled, ended by its watchdog; output in $dir" ;;
      124 | 137) record "FAIL $name: no end after 120 s (stalled dialog?); output in $dir" ;;
      *) record "FAIL $name: exit code $code; output in $dir" ;;
    esac
  }
  run_test registration registration
  run_test slots slots
  run_test release3-slots slots bin/release3/Dorvane.dlu
  run_test release2-slots slots bin/release2/Dorvane.dlu
  run_test panel panel
  run_test import import
  run_test export export
  run_test release3-panel older-release bin/release3/Dorvane.dlu
  run_test release2-panel older-release bin/release2/Dorvane.dlu

  # A screenshot of the open panel.
  shot="$work/shot"
  rm -rf "$shot" && mkdir -p "$shot"
  (cd "$shot" && timeout -k 5 90 wine "$exe" --show-until "$(winepath -w "$shot/done")" \
      --ready "$(winepath -w "$shot/ready")" > "$shot/output.txt" 2>&1) &
  shower=$!
  for _ in $(seq 1 300); do [ -f "$shot/ready" ] && break; sleep 0.1; done
  if [ -f "$shot/ready" ] && read -r left top width height < "$shot/ready" &&
     xwd -root -silent | /usr/bin/convert xwd:- -crop "${width}x${height}+${left}+${top}" +repage \
       "png:$build/panel.png" 2> "$shot/convert.txt"; then
    record "PASS screenshot ($build/panel.png)"
  else
    record "FAIL screenshot: the panel did not show within 30 s; see $shot"
  fi
  touch "$shot/done"
  wait "$shower"
  wineserver -k 2> /dev/null
  finished
fi

# ---- Build, static checks, native reference, then the display part ---------

"$root/scripts/install-deps.sh" "$root/scripts/packages-windows.txt" || stop "installing the Windows tools"

echo "== windows: build"
toolchain=()
# The toolchain is chosen once, when the build folder is made.
[ -f "$build/CMakeCache.txt" ] || toolchain=(-DCMAKE_TOOLCHAIN_FILE="$root/cmake/mingw-w64-x86_64.cmake")
cmake -S "$root" -B "$build" "${toolchain[@]}" -DCMAKE_BUILD_TYPE=Release -DVEXO_WARNINGS_AS_ERRORS=ON \
  > /dev/null || stop "configuring the Windows build"
cmake --build "$build" -j"$jobs" > "$build/build.log" 2>&1 || {
  tail -40 "$build/build.log"
  stop "the Windows build (log: $build/build.log)"
}

echo "== windows: modules"
objdump=x86_64-w64-mingw32-objdump
for module in "${modules[@]}"; do
  file="$build/$module"
  headers="$("$objdump" -p "$file" 2> /dev/null)" || { fail "$module: not a Windows module"; continue; }
  if ! grep -q "file format pei-x86-64" <<< "$headers" || ! grep -qx $'\tDLL' <<< "$headers"; then
    fail "$module: not a 64-bit Windows DLL"
    continue
  fi
  bad=""
  for dll in $(awk '/DLL Name:/ {print tolower($3)}' <<< "$headers"); do
    grep -qw -- "$dll" <<< "$allowed_imports" || bad="$bad $dll"
  done
  if [ -z "$bad" ]; then pass "$module imports only system DLLs and vexo_hostsdk.dll"
  else fail "$module imports$bad"; fi
  # The host finds its entry points by their plain names; nothing may be
  # decorated (stdcall "@N", MSVC "?...") but the one C++ member of the
  # host SDK that the release-4 module defines.
  exports=" $(sed -n '/\[Ordinal\/Name Pointer\] Table/,/^$/p' <<< "$headers" | awk '/\[/ && NR > 1 {print $NF}' | tr '\n' ' ')"
  missing=""
  for name in LibDescription LibNumberClasses LibClassDesc LibVersion; do
    [[ "$exports" == *" $name "* ]] || missing="$missing $name"
  done
  member="_ZN9ClassDesc13GetRsrcStringEi"
  decorated="$(tr ' ' '\n' <<< "$exports" | grep -v -e '^$' -e "^$member\$" | grep -v '^[A-Za-z_][A-Za-z0-9_]*$' | tr '\n' ' ')"
  if [ "$module" = "bin/Dorvane.dlu" ]; then
    [[ "$exports" == *" $member "* ]] || missing="$missing ClassDesc::GetRsrcString"
  elif [[ "$exports" == *" $member "* ]]; then
    decorated="$decorated ClassDesc::GetRsrcString (only release 4 defines it)"
  fi
  if [ -z "$missing" ] && [ -z "$decorated" ]; then pass "$module exports plain names:$exports"
  else fail "$module exports:$exports; missing:${missing:- none}; unexpected: ${decorated:-none}"; fi
done

echo "== windows: native reference export"
if [ ! -f "$native/CMakeCache.txt" ]; then
  if [ -n "${VEXO_NATIVE_BUILD:-}" ]; then
    cmake -S "$root" -B "$native" -DCMAKE_BUILD_TYPE=Release -DVEXO_WARNINGS_AS_ERRORS=ON > /dev/null
  else
    "$root/scripts/build.sh" release > /dev/null
  fi || stop "configuring the native release build"
fi
mkdir -p "$work"
rm -rf "$work/reference" "$work/run"
if cmake --build "$native" -j"$jobs" --target vexo_windows_reference > "$work/reference-build.log" 2>&1 &&
   "$native/bin/vexo_windows_reference" "$work/reference"; then
  pass "native reference export"
else
  fail "native reference export (the export comparison will fail too)"
fi

echo "== windows: panel under Wine"
results="$work/results.txt"
: > "$results"
rm -f "$results.end"
timeout -k 10 900 xvfb-run -a -s "-screen 0 1024x800x24 -nolisten tcp" \
  "$0" --under-display "$results" || echo "   (the display session ended with code $?)"
while read -r verdict rest; do
  case "$verdict" in
    PASS) passed=$((passed + 1)) ;;
    FAIL) failed=$((failed + 1)) ;;
  esac
done < "$results"
if [ ! -s "$results" ]; then
  fail "the Wine tests reported nothing (xvfb-run missing or the display did not start)"
elif [ ! -f "$results.end" ]; then
  fail "the Wine session was cut short (after 15 minutes, or killed) before all tests ran"
fi
finish
