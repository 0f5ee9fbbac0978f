#!/usr/bin/env bash
# The worst pictures of each kind that a scene can bring, through
#   vexo export SCENE -o OUT.md2 --pcx
# with the wall time and peak memory of each (a timed command, not a test):
#   - a 16384 x 16384 PNG of 0.8 MB (decoded row by row, scaled on the way);
#   - a 16384 x 16384 baseline JPEG (scaled in the DCT while decoding);
#   - a 16384 x 16384 progressive JPEG (its coefficients would need
#     1.5 GB: refused by the decoder's memory limit);
#   - a 4096 x 4096 run-length TGA (the largest picture decoded whole);
#   - an 8 MB run-length TGA claiming 16384 x 16384 (refused from its header);
#   - a 1 KB PNG claiming 16384 x 16384 (refused: too short for its size).
#
#   bench/picture_limits.sh           (builds nothing: run scripts/build.sh release first)
set -uo pipefail
root="$(cd "$(dirname "${BASH_SOURCE[0]}")/.." && pwd)"
vexo="${VEXO:-$root/build/release/bin/vexo}"
work="$root/build/picture-limits"
[ -x "$vexo" ] || { echo "picture_limits: build vexo first (scripts/build.sh release)" >&2; exit 1; }
rm -rf "$work" && mkdir -p "$work" && cd "$work" || exit 1

/usr/bin/python3 - <<'PY'
import struct, zlib
def chunk(kind, data):
    return struct.pack(">I", len(data)) + kind + data + struct.pack(">I", zlib.crc32(kind + data) & 0xFFFFFFFF)
def png(name, side, rows):
    pack = zlib.compressobj(9)
    data = b"".join(pack.compress(b"\0" + bytes([200, 120, 40]) * side) for _ in range(rows)) + pack.flush()
    head = chunk(b"IHDR", struct.pack(">IIBBBBB", side, side, 8, 2, 0, 0, 0))
    open(name, "wb").write(b"\x89PNG\r\n\x1a\n" + head + chunk(b"IDAT", data) + chunk(b"IEND", b""))
png("huge.png", 16384, 16384)
png("lying.png", 16384, 8)
# Run-length TGA: a header claiming 16384 x 16384 and 8 MB of runs.
head = bytes([0, 0, 10]) + bytes(5) + struct.pack("<HHHH", 0, 0, 16384, 16384) + bytes([24, 0])
open("claims.tga", "wb").write(head + bytes([0xFF, 10, 20, 30]) * (2 * 1024 * 1024))
from PIL import Image
flat = Image.new("RGB", (16384, 16384), (90, 140, 200))
flat.save("huge.jpg", quality=90)
flat.save("progressive.jpg", quality=90, progressive=True)
PY
convert -size 4096x4096 plasma:fractal -compress RLE big.tga

printf "%-16s %10s %8s %8s  %s\n" picture "file (MB)" "wall (s)" "peak (MB)" "result"
for picture in huge.png huge.jpg progressive.jpg big.tga claims.tga lying.png; do
  printf 'mtllib quad.mtl\nv 0 0 0\nv 1 0 0\nv 1 1 0\nvt 0 0\nvt 1 0\nvt 1 1\nusemtl Skin\nf 1/1 2/2 3/3\n' > quad.obj
  printf 'newmtl Skin\nmap_Kd %s\n' "$picture" > quad.mtl
  rm -rf vexo-textures out.md2
  /usr/bin/time -f "%e %M" -o time.txt "$vexo" export quad.obj -o out.md2 --pcx > out.txt 2> err.txt
  code=$?
  read -r wall peak < <(tail -1 time.txt)
  if [ "$code" -eq 0 ]; then result="converted: $(grep -o 'skin [0-9]* x [0-9]*' out.txt)"
  else result="exit $code: $(grep -m1 '^vexo:' err.txt | cut -c7-120)"; fi
  printf "%-16s %10.1f %8.2f %8d  %s\n" "$picture" "$(stat -c %s "$picture" | awk '{print $1 / 1048576}')" \
    "$wall" "$((peak / 1024))" "$result"
done
