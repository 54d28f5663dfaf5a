#!/usr/bin/env bash
# CPU per JACK period of quelt's process callback at 64, 256 and 1024
# frames, in ns per frame, under a private JACK server on its dummy driver
# with the dummy capture ports (silence) connected for 4 s each: on average
# (a loaded machine preempts some periods) and in the fastest period.
# Usage: jack_bench.sh QUELT QUELT_JACK_TIMING.so   (both from the bench build)
set -euo pipefail
quelt=$1 timing=$2
dir=$(mktemp -d /tmp/quelt-jackbench.XXXXXX)
trap 'pkill -P $$ 2>/dev/null || true; wait 2>/dev/null || true; rm -rf "$dir"' EXIT
export JACK_DEFAULT_SERVER=quelt-bench-$$ JACK_NO_AUDIO_RESERVATION=1
for period in 64 256 1024; do
    jackd --no-realtime --sync -n "$JACK_DEFAULT_SERVER" -d dummy -r 48000 -p "$period" >"$dir/jackd.log" 2>&1 &
    server=$!
    for _ in $(seq 100); do jack_lsp >/dev/null 2>&1 && break; sleep 0.1; done
    QUELT_TIMING_REPORT=$dir/timing LD_PRELOAD=$timing "$quelt" --headless --no-state --name bench \
        --connect-in system:capture_1,system:capture_2 >/dev/null &
    app=$!
    sleep 4
    kill -TERM "$app"
    wait "$app"
    kill "$server"
    wait "$server" 2>/dev/null || true
    read -r _ periods _ frames _ ns _ fastest <"$dir/timing"
    awk -v p="$period" -v n="$periods" -v f="$frames" -v t="$ns" -v m="$fastest" \
        'BEGIN { printf "jack period %4d: %6d periods, %.2f ns/frame on average, %.2f in the fastest period\n", p, n, t / f, m / p }'
done
