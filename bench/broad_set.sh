#!/usr/bin/env bash
# Exports every scene file of Debian's assimp-testmodels with
#   vexo export FILE -o OUT.md2 --pcx
# and no other option, checks what each export wrote (assimp reads every
# frame of the model back; Pillow and ImageMagick decode the skin alike)
# and prints how many convert and why the others do not.
#
#   bench/broad_set.sh [VEXO_OPTION...]     e.g. --max-texture 128
#
# Installs the models if they are missing (needs root, as install-deps.sh).
# Works in build/broad-set: one line per file in results.txt, the output of
# the failed ones in failed/. Files that hold no triangle mesh (animations
# alone, cameras, empty files) are listed but not counted.
set -uo pipefail
root="$(cd "$(dirname "${BASH_SOURCE[0]}")/.." && pwd)"
vexo="${VEXO:-$root/build/release/bin/vexo}"
models=/usr/share/assimp/models
work="$root/build/broad-set"

"$root/scripts/install-deps.sh" "$root/scripts/packages-broad-set.txt" > /dev/null || exit 1
[ -x "$vexo" ] || { echo "broad_set: build vexo first (scripts/build.sh release)" >&2; exit 1; }
command -v assimp > /dev/null || { echo "broad_set: assimp (assimp-utils) is missing" >&2; exit 1; }
[ -x "$root/build/release/bin/md2_frames_check" ] ||
  { echo "broad_set: build the benchmarks first (scripts/build.sh release)" >&2; exit 1; }

rm -rf "$work" && mkdir -p "$work/out" "$work/failed"
results="$work/results.txt"
: > "$results"

# The extensions assimp reads, lower case, without the dot.
extensions=" $(assimp listext | tr ';' '\n' | sed -n 's/^\*\.//p' | tr 'A-Z' 'a-z' | tr '\n' ' ') "

# Why an export failed, from what vexo printed.
reason_of() {
  local err="$1" code="$2"
  case "$code" in
    124) echo "ran over 120 s"; return ;;
    0 | 1 | 2) ;;
    *) echo "crashed (exit $code)"; return ;;
  esac
  case "$err" in
    *"holds no triangle mesh"*) echo "no mesh" ;;
    *"cannot import"* | *"cannot open"* | *"not a finite number"*)
      echo "the importer refuses the file, or it is broken" ;;
    *"more than an MD2 model can hold"*) echo "too many vertices or triangles for the format" ;;
    *"Unable to place all textures"*) echo "the textures do not fit the skin" ;;
    *"has no diffuse texture"*) echo "a material has only a colour" ;;
    *"not found"*) echo "a texture file is not found" ;;
    *"cannot read texture"* | *"Could not load"*) echo "a texture cannot be read" ;;
    *"Nothing to save"*) echo "nothing to save" ;;
    *) echo "other: $(grep -v '^ ' <<< "$err" | tail -1 | cut -c1-100)" ;;
  esac
}

# Checks an export's files; prints what is wrong, nothing when all is well.
check_written() {
  local model="$1" skin="$2"
  "$root/build/release/bin/md2_frames_check" "$model" 2> /dev/null ||
    { echo "assimp cannot read every frame of the model"; return; }
  /usr/bin/python3 - "$skin" <<'PY' || echo "the skin decodes differently in Pillow and ImageMagick"
import subprocess, sys
from PIL import Image
path = sys.argv[1]
pillow = Image.open(path).convert("RGB")
magick = subprocess.run(["convert", path, "-depth", "8", "rgb:-"], capture_output=True, check=True).stdout
sys.exit(0 if pillow.tobytes() == magick else 1)
PY
}

total=0
converted=0
skipped=0
while IFS= read -r file; do
  name="${file##*/}"
  ext="${name##*.}"
  ext="${ext,,}"
  [[ "$name" == *.* && "$extensions" == *" $ext "* ]] || continue
  # Parts of other files, not scenes of their own.
  case "$ext" in md5anim | md5camera | mot | xml) continue ;; esac
  n=$((total + skipped + 1))
  out="$work/out/$n"
  mkdir -p "$out"
  err="$(cd "$out" && timeout -k 5 120 "$vexo" export "$file" -o "$out/model.md2" --pcx "$@" 2>&1 > /dev/null)"
  code=$?
  rel="${file#"$models"/}"
  if [ "$code" -eq 0 ]; then
    problem="$(check_written "$out/model.md2" "$out/tris.pcx")"
    if [ -z "$problem" ]; then
      missing="$(grep -c "is not found" <<< "$err")"
      if [ "$missing" -gt 0 ]; then
        echo "OK $rel: $missing texture(s) not found, shown in their material's colour" >> "$results"
      else
        echo "OK $rel" >> "$results"
      fi
      converted=$((converted + 1))
      total=$((total + 1))
      rm -rf "$out"
      continue
    fi
    reason="written, but $problem"
  else
    reason="$(reason_of "$err" "$code")"
  fi
  if [ "$reason" = "no mesh" ]; then
    echo "SKIP $rel: holds no triangle mesh" >> "$results"
    skipped=$((skipped + 1))
  else
    echo "FAIL $rel: $reason" >> "$results"
    printf '%s\n%s\n' "$file" "$err" > "$work/failed/$n.txt"
    total=$((total + 1))
  fi
  rm -rf "$out"
done < <(dpkg -L assimp-testmodels | grep "^$models/" | sort)

echo "broad set: $converted of $total scene files with meshes convert with no option" \
     "($skipped files without a mesh left out)"
grep '^FAIL' "$results" | sed 's/^FAIL [^:]*: //' | sort | uniq -c | sort -rn
missing="$(grep -c '^OK .*not found' "$results")"
echo "($missing of the converted files miss texture files, shown in their materials' colours)"
echo "per file: $results"
