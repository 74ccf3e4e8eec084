#!/usr/bin/env bash
# Installs what the build needs, then builds and runs every test: the debug
# build, the AddressSanitizer + UndefinedBehaviorSanitizer build, and the
# ThreadSanitizer build (threaded tests).
set -euo pipefail
cd "$(dirname "$0")/.."

scripts/bootstrap.sh

for preset in debug asan tsan; do
  echo "== ${preset} =="
  cmake --preset "${preset}" >/dev/null
  cmake --build --preset "${preset}" -- -j2
  ctest --preset "${preset}"
done
