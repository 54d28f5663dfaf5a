#!/usr/bin/env bash
# The unloading host on a private Xvfb: Quelt.so through effEditOpen and the
# LV2 UI binary through instantiate, three openings each with dlclose between;
# then instantiations that cannot work (a parent that is no window, a server
# without GLX) answer NULL within a second.
# Usage: unload_test.sh UNLOADHOST PLUGIN BUNDLE
set -euo pipefail
host=$1 plugin=$2 bundle=$3
dir=$(mktemp -d /tmp/quelt-unload.XXXXXX)
pids=()
trap 'kill "${pids[@]}" 2>/dev/null || true; wait 2>/dev/null || true; rm -rf "$dir"' EXIT
# server NAME [XVFB ARGS...]: a private server; its display in $dir/NAME.
server() {
    local name=$1
    shift
    Xvfb -displayfd 3 -screen 0 1024x768x24 -nolisten tcp "$@" 3>"$dir/$name" >"$dir/$name.log" 2>&1 &
    pids+=($!)
    for _ in $(seq 100); do [ -s "$dir/$name" ] && break; sleep 0.05; done
}
server gl
server nogl -extension GLX
# Mesa's rasteriser on the calling thread: its own worker threads would be
# threads the thread sanitizer cannot see into.
export LP_NUM_THREADS=0
export DISPLAY=:$(cat "$dir/gl")
"$host" vst "$plugin"
"$host" lv2ui "$bundle"
"$host" badparent "$bundle"
DISPLAY=:$(cat "$dir/nogl") "$host" refuse "$bundle"
