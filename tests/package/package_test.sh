#!/usr/bin/env bash
# Unpacks the Debian package into a temporary root (dpkg-deb -x, no installation), starts the
# program from there on an X server (run under xvfb-run) and waits through the manual to the main
# window. Fails when the program loads its library or content from anywhere else, or writes
# anything into its own folder.
# Usage: package_test.sh PACKAGE.deb
set -u
deb=$1
[ -f "$deb" ] || { echo "package_test: no package at $deb" >&2; exit 1; }

name=package_test
source "$(dirname "$0")/../e2e/lib.sh"
root=$(mktemp -d)
app=
cleanup() {
  [ -n "$app" ] && { kill "$app" 2>/dev/null; wait "$app" 2>/dev/null; }
  rm -rf "$root"
}
trap cleanup EXIT
fail() {
  echo "package_test: $*" >&2
  [ -f "$root/program.log" ] && sed 's/^/  program: /' "$root/program.log" >&2
  exit 1
}

dpkg-deb -x "$deb" "$root/fs" || fail "dpkg-deb -x failed"
folder=$root/fs/usr/lib/vellora
[ -L "$root/fs/usr/bin/vellora" ] || fail "/usr/bin/vellora is not a link"
[ "$(readlink -f "$root/fs/usr/bin/vellora")" = "$(readlink -f "$folder/vellora")" ] ||
  fail "/usr/bin/vellora does not lead to /usr/lib/vellora/vellora"
for f in vellora libzelle.so zelle/zelle.obj inhalt/meshes.dat inhalt/glossar.dat audio/voice0.mp3 tests/test0.slf; do
  [ -e "$folder/$f" ] || fail "the package lacks /usr/lib/vellora/$f"
done
# Nothing in the program folder may be writable for anyone but its owner.
writable=$(find "$folder" -perm /022 ! -type l)
[ -z "$writable" ] || fail "writable for group or others: $writable"

# Path, size, modification time and mode of everything in the program folder.
manifest() { (cd "$folder" && find . -printf '%p %s %T@ %m\n' | LC_ALL=C sort); }
manifest >"$root/before"

export XDG_DATA_HOME=$root/xdg QT_QPA_PLATFORM=xcb
# Started from another directory through the link on the PATH, as a desktop entry does.
(cd / && exec "$root/fs/usr/bin/vellora") >"$root/program.log" 2>&1 &
app=$!

leave_manual

# The library and the content came from the unpacked folder.
grep -q " $folder/libzelle.so\$" "/proc/$app/maps" ||
  fail "libzelle.so was not loaded from $folder: $(grep libzelle "/proc/$app/maps" | head -n1)"
[ -d "$XDG_DATA_HOME/Vellora/Profile" ] || fail "no profile folder under \$XDG_DATA_HOME"

kill "$app"; wait "$app" 2>/dev/null; app=
manifest >"$root/after"
changes=$(diff "$root/before" "$root/after") || fail "the program changed its own folder:
$changes"
echo "package_test: $(basename "$deb") unpacked, started to its main window, its folder untouched"
