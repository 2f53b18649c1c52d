#!/bin/sh
# Fuzzes the snapshot reader: configures a clang build with libFuzzer, AddressSanitizer and
# UndefinedBehaviorSanitizer in build-fuzz/, then runs the target for N seconds (default 10),
# starting from the seed corpus in fuzz/corpus/. Inputs that find new paths are kept in
# build-fuzz/corpus/; an input that crashes is saved in build-fuzz/findings/ and fails the run.
# Usage: scripts/fuzz.sh [seconds]
set -eu
cd "$(dirname "$0")/.."
seconds="${1:-10}"
cmake -S . -B build-fuzz -DCMAKE_BUILD_TYPE=RelWithDebInfo -DCMAKE_CXX_COMPILER=clang++ \
    -DQUARTO_BUILD_FUZZ=ON -DQUARTO_BUILD_TESTS=OFF -DQUARTO_BUILD_BENCH=OFF >/dev/null
cmake --build build-fuzz -j2 --target quarto_snapshot_fuzz
mkdir -p build-fuzz/corpus build-fuzz/findings
build-fuzz/fuzz/quarto_snapshot_fuzz -max_total_time="$seconds" -timeout=10 -rss_limit_mb=2048 \
    -max_len=200000 -dict=fuzz/snapshot.dict -artifact_prefix=build-fuzz/findings/ -print_final_stats=1 \
    build-fuzz/corpus fuzz/corpus
