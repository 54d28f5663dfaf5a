#!/usr/bin/env bash
# Builds the libFuzzer targets with clang and runs each for a bounded time.
# Usage: scripts/fuzz.sh [build-dir]      (default: build-fuzz in the repository)
# Environment: FUZZ_SECONDS per target (default 20), FUZZ_JOBS build jobs (default 2).
# New inputs go to <build-dir>/fuzz-corpus/<target>, crashes to <build-dir>/fuzz-artifacts;
# the committed seeds in tests/fuzz/corpus are only read. Exits non-zero if a target fails.
set -euo pipefail

root=$(cd "$(dirname "${BASH_SOURCE[0]}")/.." && pwd)
build=$(realpath -m "${1:-$root/build-fuzz}")
seconds=${FUZZ_SECONDS:-20}
jobs=${FUZZ_JOBS:-2}

cmake -S "$root" -B "$build" \
    -DCMAKE_C_COMPILER=clang -DCMAKE_CXX_COMPILER=clang++ \
    -DCMAKE_BUILD_TYPE=RelWithDebInfo \
    -DQUELT_FUZZ=ON -DQUELT_SANITIZE=address -DQUELT_TESTS=OFF -DQUELT_BENCH=OFF >/dev/null
cmake --build "$build" --target quelt_fuzzers -j "$jobs"

status=0
while read -r name binary seeds; do
    corpus=$build/fuzz-corpus/$name
    artifacts=$build/fuzz-artifacts
    mkdir -p "$corpus" "$artifacts"
    echo "== $name: ${seconds}s"
    if ! "$binary" -max_total_time="$seconds" -print_final_stats=1 \
            -artifact_prefix="$artifacts/$name-" "$corpus" "$seeds"; then
        echo "== $name FAILED (artifacts in $artifacts)"
        status=1
    fi
done < "$build/tests/fuzz/targets.txt"
exit $status
