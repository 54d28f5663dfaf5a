#!/usr/bin/env bash
# Builds and runs every test: the plain build, AddressSanitizer with
# UndefinedBehaviorSanitizer, ThreadSanitizer, then each fuzz target for a
# bounded time; the Debian package is built and must be clean under lintian.
# Installs what it needs first. Exits non-zero on any failure.
set -euo pipefail

root=$(cd "$(dirname "${BASH_SOURCE[0]}")/.." && pwd)
jobs=${JOBS:-2}
cd "$root"
bash scripts/setup.sh

# build_and_test DIR [CMAKE ARGS...]: configure, build everything, run CTest.
build_and_test() {
    local dir=$1
    shift
    echo "== ${dir}: configure and build"
    cmake -S "$root" -B "$root/$dir" -DQUELT_BENCH=OFF "$@" >/dev/null
    cmake --build "$root/$dir" -j "$jobs" >/dev/null
    echo "== ${dir}: tests"
    ctest --test-dir "$root/$dir" --output-on-failure -j "$jobs" | tee "$root/$dir/ctest.log"
    passed=$((passed + $(sed -n 's/.*tests passed, 0 tests failed out of \([0-9]*\).*/\1/p' "$root/$dir/ctest.log")))
}

passed=0

export ASAN_OPTIONS=detect_leaks=1:abort_on_error=0
export UBSAN_OPTIONS=halt_on_error=1:print_stacktrace=1
export TSAN_OPTIONS=halt_on_error=1:second_deadlock_stack=1:suppressions=$root/tests/tsan.supp

build_and_test build
echo "== package and lintian"
bash scripts/package.sh
build_and_test build-asan -DQUELT_SANITIZE=address
build_and_test build-tsan -DQUELT_SANITIZE=thread

echo "== fuzzers"
FUZZ_SECONDS=${FUZZ_SECONDS:-20} bash scripts/fuzz.sh "$root/build-fuzz" >"$root/build-fuzz.log" 2>&1 \
    || { tail -n 60 "$root/build-fuzz.log"; exit 1; }
grep -E '^== |stat::number_of_executed_units' "$root/build-fuzz.log"
echo "fuzzers: $(grep -c '^== ' "$root/build-fuzz.log") targets ran clean"
echo "tests: $passed passed, 0 failed"
