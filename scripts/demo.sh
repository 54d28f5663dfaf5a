#!/usr/bin/env bash
# Builds Quelt.so and the host tool, then gates a generated demo signal
# through the plug-in: writes out/demo-in.wav and out/demo-out.wav and prints
# a before/after summary. Extra arguments go to the tool's demo command.
set -euo pipefail

root=$(cd "$(dirname "${BASH_SOURCE[0]}")/.." && pwd)
cd "$root"
bash scripts/setup.sh
cmake -S "$root" -B "$root/build" -DQUELT_BENCH=OFF >/dev/null
cmake --build "$root/build" -j "${JOBS:-2}" --target Quelt plughost >/dev/null
mkdir -p "$root/out"
"$root/build/tools/plughost" demo "$root/out" "$@"
