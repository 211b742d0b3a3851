#!/usr/bin/env bash
# Builds the Debian package in build-package/ and runs Debian's checkers on
# what it installs: lintian on the .deb, appstreamcli on the metainfo,
# desktop-file-validate on the menu entry, groff on the man page. Exits
# non-zero on any complaint; every check runs, so one run shows them all.
set -euo pipefail
cd "$(dirname "$0")/.."
build=build-package

need=(cmake ninja cpack dpkg-buildflags dpkg-shlibdeps lintian appstreamcli desktop-file-validate groff)
for tool in "${need[@]}"; do
  command -v "$tool" >/dev/null || { echo "check-package: $tool is missing" >&2; exit 2; }
done

# Debian's own compiler and linker flags (fortified functions, stack
# protector, read-only relocations bound at start), as a package build of
# Debian's would use them.
export DEB_BUILD_MAINT_OPTIONS=hardening=+all
cxxflags="$(dpkg-buildflags --get CPPFLAGS) $(dpkg-buildflags --get CXXFLAGS)"
ldflags="$(dpkg-buildflags --get LDFLAGS)"

# Installed under /usr, the PDF module goes to the multiarch library folder
# (/usr/lib/<triplet>/marbelux/), which is no folder of the dynamic linker's.
cmake -S . -B "$build" -G Ninja -DCMAKE_BUILD_TYPE=Release -DCMAKE_INSTALL_PREFIX=/usr \
  -DMARBELUX_TESTS=OFF -DMARBELUX_BENCH=OFF -DMARBELUX_FUZZ=OFF \
  -DCMAKE_CXX_FLAGS="$cxxflags" -DCMAKE_EXE_LINKER_FLAGS="$ldflags" -DCMAKE_MODULE_LINKER_FLAGS="$ldflags" >/dev/null
cmake --build "$build" -j2
rm -f "$build"/marbelux_*.deb
(cd "$build" && cpack -G DEB >/dev/null)
debs=("$build"/marbelux_*.deb)
[ ${#debs[@]} -eq 1 ] && [ -f "${debs[0]}" ] || { echo "check-package: no single .deb in $build" >&2; exit 1; }
deb=${debs[0]}
echo "== $deb"

failures=0
fail() {
  echo "FAIL: $*" >&2
  failures=$((failures + 1))
}

# The checks look at the files as the package installs them.
root=$(mktemp -d)
trap 'rm -rf "$root"' EXIT
dpkg-deb -x "$deb" "$root"

echo "== lintian"
# Informational tags are shown too; the overrides shipped with the package
# say why each remaining tag stays.
lintian --fail-on error,warning --display-info "$deb" || fail "lintian"

echo "== appstreamcli"
# No info or pedantic hints at present either.
appstreamcli validate --no-net --pedantic "$root/usr/share/metainfo/de.orvenal.marbelux.metainfo.xml" ||
  fail "appstreamcli validate"

echo "== desktop-file-validate"
# It exits 0 on warnings and hints, so any output counts as a complaint.
out=$(desktop-file-validate "$root/usr/share/applications/de.orvenal.marbelux.desktop" 2>&1) || fail "desktop-file-validate"
[ -z "$out" ] || fail "desktop-file-validate: $out"

echo "== man page"
out=$(zcat "$root/usr/share/man/man1/marbelux.1.gz" | groff -man -ww -z 2>&1) || fail "groff"
[ -z "$out" ] || fail "groff: $out"

echo "== contents"
# What lintian cannot know is missing: files no Debian rule asks for, and
# the run-time needs no library check can see.
for f in usr/bin/marbelux usr/share/applications/de.orvenal.marbelux.desktop \
  usr/share/metainfo/de.orvenal.marbelux.metainfo.xml usr/share/icons/hicolor/64x64/apps/marbelux.png \
  usr/share/icons/hicolor/scalable/apps/marbelux.svg usr/share/lintian/overrides/marbelux \
  usr/lib/$(dpkg-architecture -qDEB_HOST_MULTIARCH)/marbelux/libmarbelux-pdf.so \
  usr/lib/$(dpkg-architecture -qDEB_HOST_MULTIARCH)/marbelux/libmarbelux-sane.so \
  usr/lib/$(dpkg-architecture -qDEB_HOST_MULTIARCH)/marbelux/libmarbelux-ocr.so; do
  [ -f "$root/$f" ] || fail "/$f is not in the package"
done
depends=$(dpkg-deb -f "$deb" Depends)
for p in fonts-liberation fonts-dejavu-core qt6-translations-l10n qt6-image-formats-plugins libqt6widgets6 \
  libsane1 libtesseract5 tesseract-ocr-deu tesseract-ocr-eng; do
  [[ ", $depends," == *", $p"[\ ,]* ]] || fail "Depends lacks $p: $depends"
done
# The version lives in the Debian changelog; the metainfo and the man page
# repeat it and must follow.
version=$(dpkg-deb -f "$deb" Version)
upstream=${version%-*}
grep -q "<release version=\"$upstream\"" "$root/usr/share/metainfo/de.orvenal.marbelux.metainfo.xml" ||
  fail "the metainfo has no release $upstream"
zcat "$root/usr/share/man/man1/marbelux.1.gz" | grep -q "^\.TH MARBELUX 1 .*\"marbelux $upstream\"" ||
  fail "the man page is not for version $upstream"

if ((failures)); then
  echo "check-package: $failures problem(s) with $deb" >&2
  exit 1
fi
echo "check-package: $deb passes"
