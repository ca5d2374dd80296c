#!/usr/bin/env bash
# Builds the Debian package vellora_<version>_<arch>.deb from a built program folder
# (build/dist, or $BUILD_DIR/dist) into $OUT_DIR (default: the build folder) and prints its path.
# The program folder goes to /usr/lib/vellora/ as a whole, read-only; /usr/bin/vellora links to it.
# Needs dpkg-dev, fakeroot and librsvg2-bin (the icons are drawn from packaging/vellora.svg).
set -euo pipefail
cd "$(dirname "$0")/.."
root_dir=$PWD
build=${BUILD_DIR:-build}
[ "${build:0:1}" = / ] || build=$root_dir/$build
dist=$build/dist
out=${OUT_DIR:-$build}
[ -x "$dist/vellora" ] && [ -f "$dist/libzelle.so" ] || {
  echo "package.sh: $dist holds no built program; run scripts/build.sh first" >&2; exit 1; }

version=$(sed -n 's/^project(Vellora VERSION \([0-9.]*\).*/\1/p' CMakeLists.txt)
arch=$(dpkg --print-architecture)
stage=$(mktemp -d)
trap 'rm -rf "$stage"' EXIT
pkg=$stage/vellora
lib=$pkg/usr/lib/vellora

install -d "$lib" "$pkg/usr/bin" "$pkg/usr/share/doc/vellora" "$pkg/usr/share/man/man1" \
  "$pkg/usr/share/applications" "$pkg/usr/share/metainfo" "$pkg/DEBIAN"
# The whole program folder: executable, library and every content folder.
install -m 0755 "$dist/vellora" "$lib/vellora"
install -m 0644 "$dist/libzelle.so" "$lib/libzelle.so"
for d in zelle inhalt tests audio hilfe; do
  [ -d "$dist/$d" ] && cp -r "$dist/$d" "$lib/"
done
find "$lib" -type d -exec chmod 0755 {} +
find "$lib" -type f ! -name vellora ! -name libzelle.so -exec chmod 0644 {} +
strip --strip-unneeded --remove-section=.comment --remove-section=.note "$lib/libzelle.so" "$lib/vellora"
# The build's run path also names the build folder; installed, the program finds its library
# beside itself only.
printf 'file(RPATH_SET FILE "%s" NEW_RPATH "$ORIGIN")\n' "$lib/vellora" >"$stage/rpath.cmake"
cmake -P "$stage/rpath.cmake" >/dev/null
ln -s ../lib/vellora/vellora "$pkg/usr/bin/vellora"

install -m 0644 packaging/de.vellora.Vellora.desktop "$pkg/usr/share/applications/"
install -m 0644 packaging/de.vellora.Vellora.metainfo.xml "$pkg/usr/share/metainfo/"
install -m 0644 packaging/copyright "$pkg/usr/share/doc/vellora/copyright"
gzip -9n -c packaging/vellora.1 > "$pkg/usr/share/man/man1/vellora.1.gz"
printf 'vellora (%s) unstable; urgency=medium\n\n  * Release %s.\n\n -- Vellora-Team <kontakt@vellora.de>  %s\n' \
  "$version" "$version" "$(date -R -d 2026-12-10)" | gzip -9n > "$pkg/usr/share/doc/vellora/changelog.gz"
for size in 16 32 48 64 128 256; do
  d=$pkg/usr/share/icons/hicolor/${size}x${size}/apps
  install -d "$d"
  rsvg-convert --width=$size --height=$size --format=png packaging/vellora.svg -o "$d/vellora.png"
done
install -d "$pkg/usr/share/icons/hicolor/scalable/apps"
install -m 0644 packaging/vellora.svg "$pkg/usr/share/icons/hicolor/scalable/apps/vellora.svg"
find "$pkg/usr/share" -type f -exec chmod 0644 {} +

# Library dependencies from the binaries, plus what the program loads at run time.
mkdir -p "$stage/debian"
printf 'Source: vellora\n\nPackage: vellora\nArchitecture: any\n' > "$stage/debian/control"
shlibs=$(cd "$stage" && dpkg-shlibdeps -O -l"$lib" -e"$lib/vellora" -e"$lib/libzelle.so" 2>/dev/null |
  sed -n 's/^shlibs:Depends=//p')
# The xcb platform comes with libqt6gui6; MP3 decoding with GStreamer's good plugins; the
# software renderer and EGL driver from Mesa; the two font families the forms are measured in.
runtime="gstreamer1.0-plugins-base, gstreamer1.0-plugins-good, fonts-open-sans, fonts-liberation2, libegl-mesa0, libgl1-mesa-dri"
size=$(du -sk --exclude=DEBIAN "$pkg" | cut -f1)
cat > "$pkg/DEBIAN/control" <<CONTROL
Package: vellora
Version: $version
Architecture: $arch
Maintainer: Vellora-Team <kontakt@vellora.de>
Installed-Size: $size
Depends: $shlibs, $runtime
Section: education
Priority: optional
Homepage: https://vellora.de/
Description: learning program about the plant cell (German)
 Vellora is a German-language learning program about the plant cell for
 pupils: an interactive 3D model of the cell with a detail view, text and
 spoken version for every part, exercises (self-check, multiple choice,
 cloze) whose results are kept in password-protected learning profiles, and
 a glossary with search, pictures and cross references.
CONTROL
(cd "$pkg" && find usr -type f -print0 | LC_ALL=C sort -z | xargs -0 md5sum) >"$pkg/DEBIAN/md5sums"
chmod 0644 "$pkg/DEBIAN/md5sums"
mkdir -p "$out"
deb=$out/vellora_${version}_${arch}.deb
fakeroot dpkg-deb --build -Zxz "$pkg" "$deb" >/dev/null
echo "$deb"
