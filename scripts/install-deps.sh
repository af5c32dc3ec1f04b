#!/usr/bin/env bash
# Installs the Debian packages the project builds and tests with. As root it installs
# what is missing; otherwise it prints the apt-get line to run.
set -euo pipefail

packages=(
  cmake ninja-build g++ pkg-config
  zlib1g-dev libdeflate-dev libturbojpeg0-dev libgif-dev libpng-dev
  qt6-base-dev libgl-dev
  qtbase5-dev python3-pyqt5 python3-pyqt6
  libgtest-dev libgmock-dev libbenchmark-dev libspng-dev
  clang libclang-rt-14-dev
  xvfb xauth
  librsvg2-bin txt2man
  desktop-file-utils appstream shared-mime-info
  libgimp2.0-dev libgdk-pixbuf-2.0-dev
  python3-gi gir1.2-gdkpixbuf-2.0 libgdk-pixbuf2.0-bin
  gimp
  ca-certificates openssl
)

missing=()
for p in "${packages[@]}"; do
  dpkg-query -W -f='${Status}' "$p" 2>/dev/null | grep -q "install ok installed" || missing+=("$p")
done
[ ${#missing[@]} -eq 0 ] && exit 0

if [ "$(id -u)" -ne 0 ]; then
  echo "Missing packages. Run as root:"
  echo "  apt-get update && apt-get install -y ${missing[*]}"
  exit 1
fi
echo "Installing: ${missing[*]}"
export DEBIAN_FRONTEND=noninteractive
apt-get update -qq
apt-get install -y -qq --no-install-recommends "${missing[@]}" >/dev/null
