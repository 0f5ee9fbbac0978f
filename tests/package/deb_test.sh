#!/usr/bin/env bash
# The Debian package made from this build, unpacked into an empty folder
# away from the build tree: its vexo runs the demo from there with the
# package's own module, and the package names its dependencies on Debian's
# packages.
#
#   tests/package/deb_test.sh BUILD_FOLDER
set -uo pipefail
build="$1"
work="$(mktemp -d)"
trap 'rm -rf "$work"' EXIT
fail() { echo "FAIL: $1"; [ -f "${2:-}" ] && cat "$2"; exit 1; }

(cd "$build" && cpack -G DEB -B "$work/package" > "$work/cpack.log" 2>&1) ||
  fail "cpack could not make the package" "$work/cpack.log"
deb="$(ls "$work"/package/*.deb 2> /dev/null | head -1)"
[ -n "$deb" ] || fail "cpack made no .deb" "$work/cpack.log"

dpkg -I "$deb" > "$work/info" || fail "dpkg -I cannot read $deb"
grep -q '^ Package: vexo$' "$work/info" || fail "the package is not named vexo" "$work/info"
for dependency in libassimp5 libc6 libstdc++6 libmagickcore-6.q16hdri-6; do
  grep -q "^ Depends:.*\b$dependency\b" "$work/info" || fail "Depends does not name $dependency" "$work/info"
done
if grep -q "^ Depends:.*vexo" "$work/info"; then fail "Depends names the package's own libraries" "$work/info"; fi

dpkg -x "$deb" "$work/root" || fail "dpkg -x cannot unpack $deb"
for file in usr/bin/vexo usr/lib/vexo/Dorvane.dlu usr/lib/vexo/release3/Dorvane.dlu \
            usr/lib/vexo/release2/Dorvane.dlu usr/lib/vexo/libvexo_hostsdk.so \
            usr/share/doc/vexo/README.md; do
  [ -e "$work/root/$file" ] || fail "the package has no $file"
done
if readelf -d "$work/root/usr/bin/vexo" "$work"/root/usr/lib/vexo/*.dlu | grep -q "$build"; then
  fail "the programs look for libraries in the build folder"
fi

# Run from the unpacked tree, with the build tree out of reach of its name.
cd "$work"
"$work/root/usr/bin/vexo" --version > version.txt 2>&1 || fail "vexo --version failed" version.txt
grep -q "^$work/root/usr/lib/vexo/Dorvane.dlu" version.txt ||
  fail "vexo did not load the package's module" version.txt
"$work/root/usr/bin/vexo" demo -o demo > demo.txt 2>&1 || fail "vexo demo failed" demo.txt
for file in tris.md2 tris.bmp tris.pcx; do
  [ -s "demo/$file" ] || fail "vexo demo wrote no demo/$file" demo.txt
done
echo "PASS: $(basename "$deb") unpacked in $work runs vexo demo"
