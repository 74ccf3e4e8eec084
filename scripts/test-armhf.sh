#!/usr/bin/env bash
# Builds everything for the camera (32-bit ARM, hard-float) and runs the tests
# under qemu-arm:
#   1. installs the cross toolchain, the armhf libraries and qemu (bootstrap --armhf)
#   2. configures and builds the armhf preset in build/armhf
#   3. checks that the deliverables and the tests really are armhf hard-float binaries
#   4. runs CTest under qemu-user (the preset's emulator); its summary ends the output
# Exits non-zero on the first failure.
set -euo pipefail

repo=$(cd "$(dirname "${BASH_SOURCE[0]}")/.." && pwd)
build_dir="$repo/build/armhf"
cd "$repo"

step() { echo "== test-armhf: $*"; }
fail() { echo "test-armhf: FAILED: $*" >&2; exit 1; }

step "bootstrap"
scripts/bootstrap.sh --armhf

step "configure"
# --fresh: changes to the toolchain file take effect; built objects are kept.
cmake --preset armhf --fresh

step "build"
started=$SECONDS
cmake --build --preset armhf
echo "test-armhf: build took $((SECONDS - started)) s"

# `file` names the class, byte order, machine and EABI version; the hard-float
# ABI is a flag in the ELF header that only readelf shows.
check_binary() {
  local path=$1 description flags
  [[ -f "$path" ]] || fail "$path was not built"
  description=$(file -b "$path")
  flags=$(readelf -h "$path" | sed -n 's/^ *Flags: *//p')
  if [[ "$description" != "ELF 32-bit LSB "*", ARM, EABI5 "* ]]; then
    fail "$path is not a 32-bit ARM EABI5 binary: $description"
  fi
  if [[ "$flags" != *"hard-float ABI"* ]]; then
    fail "$path does not use the hard-float ABI: $flags"
  fi
  echo "test-armhf: ${path#"$repo"/}: $description; $flags"
}

step "binary format"
check_binary "$build_dir/app/main/dwellwatch"
check_binary "$build_dir/gpukernels/libgpukernelpack.so"
check_binary "$build_dir/thermal/registration/libpictor_thermal_sensors.so"
check_binary "$build_dir/gpukernels/tests/gpu_kernel_pack_test"

step "tests under qemu-arm"
ctest --preset armhf
