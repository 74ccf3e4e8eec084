#!/usr/bin/env bash
# Installs what the build needs, then builds and runs every test:
#   - the fuzz harnesses, each for a bounded time (scripts/fuzz.sh);
#   - the camera build (32-bit ARM hard-float) with its tests under qemu
#     (scripts/test-armhf.sh);
#   - the host builds: debug, AddressSanitizer + UndefinedBehaviorSanitizer,
#     and ThreadSanitizer (the tests labelled "threads" and what they need).
set -euo pipefail
cd "$(dirname "$0")/.."

scripts/bootstrap.sh
scripts/fuzz.sh
scripts/test-armhf.sh

for preset in debug asan tsan; do
  echo "== ${preset} =="
  cmake --preset "${preset}" >/dev/null
  if [[ "${preset}" == tsan ]]; then
    # Test names are their targets: build only the tests the preset runs.
    mapfile -t targets < <(ctest --preset tsan -N | sed -n 's/^ *Test *#[0-9]*: //p')
    cmake --build --preset tsan --target "${targets[@]}" -- -j2
  else
    cmake --build --preset "${preset}" -- -j2
  fi
  ctest --preset "${preset}"
done
