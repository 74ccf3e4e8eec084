#!/usr/bin/env bash
# Builds the libFuzzer harnesses with clang (AddressSanitizer and UBSan on) in
# build/fuzz and runs each for FUZZ_SECONDS seconds (default 60). New corpus
# entries go to build/fuzz/corpus/<fuzzer>; the seeds in fuzz/corpus are only read.
# Exits non-zero when a fuzzer finds a crash (the reproducer is in build/fuzz).
set -euo pipefail

root=$(cd "$(dirname "$0")/.." && pwd)
build="$root/build/fuzz"
seconds=${FUZZ_SECONDS:-60}
fuzzers=(scene_decoder_fuzzer scene_frame_reader_fuzzer cgi_request_fuzzer
  configuration_parser_fuzzer)

CC=clang CXX=clang++ cmake -S "$root" -B "$build" -G Ninja \
  -DCMAKE_BUILD_TYPE=Debug -DDW_BUILD_FUZZERS=ON -DDW_BUILD_TESTS=OFF \
  -DDW_SANITIZE=address,undefined \
  -DCMAKE_C_FLAGS=-fsanitize=fuzzer-no-link -DCMAKE_CXX_FLAGS=-fsanitize=fuzzer-no-link
ninja -C "$build" -j2 "${fuzzers[@]}"

for fuzzer in "${fuzzers[@]}"; do
  corpus="$build/corpus/$fuzzer"
  mkdir -p "$corpus"
  seeds="$root/fuzz/corpus/${fuzzer%_fuzzer}"
  echo "fuzz: $fuzzer for ${seconds}s"
  (cd "$build" && "$build/fuzz/$fuzzer" -max_total_time="$seconds" -max_len=65536 \
    -print_final_stats=1 "$corpus" "$seeds")
done
