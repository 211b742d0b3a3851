#!/usr/bin/env bash
# Sets up a Debian 12 machine for Marbelux, builds it, and then either
# starts the program ("run") or runs the whole test suite ("test").
set -euo pipefail
mode="${1:-run}"
cd "$(dirname "$0")/.."

packages=(
  cmake ninja-build g++ ccache pkg-config
  qt6-base-dev qt6-base-dev-tools qt6-base-private-dev libqt6printsupport6 libgl-dev qt6-translations-l10n
  libgif-dev libjpeg62-turbo-dev libpng-dev libcups2-dev libpoppler-qt6-dev qt6-image-formats-plugins
  libsane-dev libtesseract-dev tesseract-ocr-deu tesseract-ocr-eng
  libgtest-dev libbenchmark-dev
  clang-14 libclang-rt-14-dev
  fonts-liberation fonts-dejavu-core
  cups cups-client cups-bsd cups-filters ghostscript poppler-utils
)
missing=()
for p in "${packages[@]}"; do
  dpkg-query -W -f='${Status}' "$p" 2>/dev/null | grep -q "install ok installed" || missing+=("$p")
done
if ((${#missing[@]})); then
  sudo=""
  [ "$(id -u)" -eq 0 ] || sudo="sudo"
  $sudo apt-get update -qq
  DEBIAN_FRONTEND=noninteractive $sudo apt-get install -y -qq "${missing[@]}"
fi

cmake --preset default >/dev/null
case "$mode" in
  # The program and the modules it loads; the tests are not needed for it.
  run) cmake --build --preset default --target marbelux && exec ./build/marbelux ;;
  test) cmake --build --preset default && ctest --preset default ;;
  *) echo "usage: $0 run|test" >&2; exit 2 ;;
esac
