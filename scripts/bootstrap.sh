#!/usr/bin/env bash
# Installs every Debian package that the build, the tests and the demo need.
# Idempotent and non-interactive: packages already present are left alone.
#   scripts/bootstrap.sh          host build, tests and demo
#   scripts/bootstrap.sh --armhf  also the armhf cross toolchain, libraries and qemu
set -euo pipefail

host_packages=(
  build-essential cmake ninja-build pkg-config clang clang-format
  libgtest-dev libgmock-dev libbenchmark-dev
  libglib2.0-dev libjansson-dev libpolyclipping-dev libsystemd-dev libsoup-3.0-dev libboost-dev
  dbus curl python3 file binutils
  libcairo2 libpng-dev
)

# The armhf twins of the host libraries, for the camera build (CMake preset armhf)
# and its tests under qemu-user. libsoup-3.0-dev:armhf cannot be installed: on
# bookworm it needs libsysprof-4-dev:armhf, which drags in the armhf GTK 4 and
# gobject-introspection development packages, and those conflict with their amd64
# twins. The armhf run-time library libsoup-3.0-0:armhf installs cleanly; the cross
# build takes it with the host's headers through
# cmake/toolchains/armhf-pkgconfig/libsoup-3.0.pc.
# libcairo2 is loaded at run time by the alarm overlay and needs no -dev package;
# libpng-dev serves the tool that turns palette overlays into pictures.
armhf_packages=(
  crossbuild-essential-armhf qemu-user
  libgtest-dev:armhf libgmock-dev:armhf libbenchmark-dev:armhf
  libglib2.0-dev:armhf libjansson-dev:armhf libpolyclipping-dev:armhf
  libsystemd-dev:armhf libsoup-3.0-0:armhf libboost-dev:armhf
  libcairo2:armhf libpng-dev:armhf
)

want_armhf=0
[[ "${1:-}" == "--armhf" ]] && want_armhf=1

sudo_if_needed() {
  if [[ $(id -u) -eq 0 ]]; then "$@"; else sudo "$@"; fi
}

missing() {
  local pkg
  for pkg in "$@"; do
    dpkg-query -W -f='${Status}' "$pkg" 2>/dev/null | grep -q 'install ok installed' || echo "$pkg"
  done
}

packages=("${host_packages[@]}")
if [[ $want_armhf -eq 1 ]]; then
  if ! dpkg --print-foreign-architectures | grep -qx armhf; then
    sudo_if_needed dpkg --add-architecture armhf
    sudo_if_needed apt-get update -q
  fi
  packages+=("${armhf_packages[@]}")
fi

mapfile -t todo < <(missing "${packages[@]}")
if [[ ${#todo[@]} -eq 0 ]]; then
  echo "bootstrap: all packages present"
  exit 0
fi
echo "bootstrap: installing ${todo[*]}"
export DEBIAN_FRONTEND=noninteractive
sudo_if_needed apt-get update -q
sudo_if_needed apt-get install -y -q --no-install-recommends "${todo[@]}"
