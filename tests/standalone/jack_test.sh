#!/usr/bin/env bash
# quelt under a private JACK server on its dummy driver: the command line's
# statuses, the start line, the ports and the connections asked for; a
# signal played through it by a test client equals `plughost process` of the
# same signal at the JACK period as block size (stereo and mono, and after a
# period change while running); settings
# kept across a SIGTERM and a restart, a corrupt file set aside as FILE.bad,
# and the server going away ending quelt with status 1, its settings saved.
# The window on a private Xvfb: titled, drawn, a drag on Thresh saved at
# exit, closing it ends quelt with status 0.
# The process callback, under the preloaded counting interposer while a
# signal plays through, neither allocates nor locks nor writes.
# Usage: jack_test.sh QUELT JACKCLIENT PLUGHOST PLUGIN WINDOWCHECK RTPRELOAD
set -euo pipefail
quelt=$1 player=$2 plughost=$3 plugin=$4 windowcheck=$5 rtpreload=$6
dir=$(mktemp -d /tmp/quelt-jack.XXXXXX)
jackd_pid= xvfb_pid=
cleanup() {
    pkill -P $$ 2>/dev/null || true
    [ -n "$jackd_pid" ] && kill "$jackd_pid" 2>/dev/null
    [ -n "$xvfb_pid" ] && kill "$xvfb_pid" 2>/dev/null
    wait 2>/dev/null || true
    rm -rf "$dir"
}
trap cleanup EXIT
fail() { echo "FAIL: $*"; for f in "$dir"/*.log; do echo "== $f"; cat "$f"; done; exit 1; }
export JACK_DEFAULT_SERVER=quelt-test-$$ JACK_NO_AUDIO_RESERVATION=1
export XDG_CONFIG_HOME=$dir/config
unset DISPLAY

# status WANT COMMAND...: runs it, its status must be WANT.
status() {
    local want=$1 got=0
    shift
    "$@" >"$dir/out.log" 2>"$dir/err.log" || got=$?
    [ "$got" = "$want" ] || fail "$* exited $got, not $want"
}

status 0 "$quelt" --help
grep -q -- '--connect-in A\[,B\]    connect our inputs to these ports' "$dir/out.log" || fail "--help"
status 0 "$quelt" --version
for bad in --bogus "--program 12" "--param Loud=3" "--param Thresh=x" --name; do
    # shellcheck disable=SC2086
    status 2 "$quelt" $bad
done
start=$(date +%s%N)
status 1 "$quelt" --headless --no-state
grep -q "cannot reach a JACK server" "$dir/err.log" || fail "no message without a server"
[ $(( ($(date +%s%N) - start) / 1000000 )) -lt 3000 ] || fail "gave up on the server only after 3 s"

jackd --no-realtime --sync -n "$JACK_DEFAULT_SERVER" -d dummy -r 48000 -p 256 >"$dir/jackd.log" 2>&1 &
jackd_pid=$!
for _ in $(seq 100); do jack_lsp >/dev/null 2>&1 && break; sleep 0.1; done

quelt_pid=
# launch NAME ARGS...: quelt in the background as client NAME, its start line awaited.
launch() {
    local name=$1
    shift
    "$quelt" --headless --name "$name" "$@" >"$dir/$name.log" 2>"$dir/$name.err.log" &
    quelt_pid=$!
    for _ in $(seq 100); do grep -q "^Quelt: client '$name'" "$dir/$name.log" && return 0; sleep 0.05; done
    fail "$name did not start"
}
# stop: SIGTERM, then status 0 wanted.
stop() {
    local got=0
    kill -TERM "$quelt_pid"
    wait "$quelt_pid" || got=$?
    [ "$got" = 0 ] || fail "quelt exited $got on SIGTERM"
}

# Bursts over hiss as 32-bit float WAV, the same samples for both hosts.
python3 - "$dir/stereo.wav" "$dir/mono.wav" <<'EOF'
import math, random, struct, sys
random.seed(7)
frames = 48000
for path, channels in ((sys.argv[1], 2), (sys.argv[2], 1)):
    samples = []
    for i in range(frames):
        for c in range(channels):
            loud = ((i + 400 * c) // 3000) % 3 != 1
            samples.append((0.3 * math.sin(i * (0.02 + 0.004 * c)) if loud else 0.0) + random.uniform(-2e-4, 2e-4))
    data = struct.pack("<%df" % len(samples), *samples)
    fmt = struct.pack("<HHIIHH", 3, channels, 48000, 48000 * 4 * channels, 4 * channels, 32)
    with open(path, "wb") as out:
        out.write(b"RIFF" + struct.pack("<I", 4 + 8 + len(fmt) + 8 + len(data)) + b"WAVE")
        out.write(b"fmt " + struct.pack("<I", len(fmt)) + fmt + b"data" + struct.pack("<I", len(data)) + data)
EOF
params=(--param Thresh=-30 --param Fade=0.1 --param Attack=2)
for variant in stereo mono; do
    channels=2 mono=() ports="in_1 in_2 out_1 out_2"
    if [ "$variant" = mono ]; then channels=1 mono=(--mono) ports="in out"; fi
    "$plughost" --plugin "$plugin" process "$dir/$variant.wav" "$dir/$variant-ref.wav" "${params[@]}" \
        --block 256 --inputs "$channels" --outputs "$channels" >"$dir/plughost.log" 2>&1 || fail "plughost"
    launch "q-$variant" --no-state "${mono[@]}" "${params[@]}"
    grep -qx "Quelt: client 'q-$variant' at 48000 Hz, 256 frames; Thresh -30.0 dB, Attack 2.0 ms, Fade 0.10 s" \
        "$dir/q-$variant.log" || fail "start line: $(cat "$dir/q-$variant.log")"
    listed=$(jack_lsp | sed -n "s/^q-$variant://p" | sort | tr '\n' ' ')
    [ "$listed" = "$(tr ' ' '\n' <<<"$ports" | sort | tr '\n' ' ')" ] || fail "$variant ports: $listed"
    [ -z "$(jack_lsp -c "q-$variant:${ports%% *}" | sed 1d)" ] || fail "connected without being asked"
    "$player" "q-$variant" "$channels" "$dir/$variant.wav" "$dir/$variant-ref.wav" >>"$dir/player.log" 2>&1 \
        || fail "$variant: the recording is not plughost's output"
    stop
done
grep "frames equal" "$dir/player.log"

# A period change while quelt runs: the output is plughost's at the new block size.
launch q-period --no-state "${params[@]}"
jack_bufsize 1024 >"$dir/bufsize.log" 2>&1 || fail "jack_bufsize"
"$plughost" --plugin "$plugin" process "$dir/stereo.wav" "$dir/period-ref.wav" "${params[@]}" \
    --block 1024 --inputs 2 --outputs 2 >"$dir/plughost.log" 2>&1 || fail "plughost"
"$player" q-period 2 "$dir/stereo.wav" "$dir/period-ref.wav" >>"$dir/player.log" 2>&1 \
    || fail "after a period change: the recording is not plughost's output"
stop
jack_bufsize 256 >"$dir/bufsize.log" 2>&1 || fail "jack_bufsize"

QUELT_RT_REPORT=$dir/rt.txt LD_PRELOAD=$rtpreload launch q-rt --no-state "${params[@]}"
"$player" q-rt 2 "$dir/stereo.wav" "$dir/stereo-ref.wav" >>"$dir/player.log" 2>&1 || fail "q-rt output"
stop
read -r _ rtcalls _ allocations _ locks _ writes <"$dir/rt.txt"
[ "$rtcalls" -gt 100 ] && [ "$allocations$locks$writes" = 000 ] \
    || fail "the process callback: $(cat "$dir/rt.txt")"
echo "process callback: $(cat "$dir/rt.txt")"

launch q-wired --no-state --connect-in system:capture_1,system:capture_2 \
    --connect-out system:playback_1,system:playback_2
for pair in "system:capture_1 q-wired:in_1" "system:capture_2 q-wired:in_2" \
            "q-wired:out_1 system:playback_1" "q-wired:out_2 system:playback_2"; do
    jack_lsp -c "${pair% *}" | grep -qx "   ${pair#* }" || fail "not connected: $pair"
done
stop

bank=$dir/config/quelt/state.bank
launch q-kept --param Thresh=-42
stop
[ -s "$bank" ] || fail "no settings saved in the default place"
launch q-kept
grep -q "Thresh -42.0 dB" "$dir/q-kept.log" || fail "the setting did not survive a restart"
stop
printf 'not a bank' >"$bank"
launch q-kept
grep -q "warning: cannot read the settings" "$dir/q-kept.err.log" || fail "no warning for a corrupt file"
[ -f "$bank.bad" ] || fail "the corrupt file was not kept as .bad"
stop

Xvfb -displayfd 3 -screen 0 1024x768x24 -nolisten tcp 3>"$dir/display" >"$dir/xvfb.log" 2>&1 &
xvfb_pid=$!
for _ in $(seq 100); do [ -s "$dir/display" ] && break; sleep 0.05; done
got=0
DISPLAY=:$(cat "$dir/display") "$quelt" --name "Quelt window" --state "$dir/window.bank" --param Thresh=-60 \
    >"$dir/window.log" 2>&1 &
quelt_pid=$!
DISPLAY=:$(cat "$dir/display") "$windowcheck" "Quelt window" >"$dir/windowcheck.log" 2>&1 || fail "the window"
wait "$quelt_pid" || got=$?
[ "$got" = 0 ] || fail "quelt exited $got when its window was closed"
launch q-after --state "$dir/window.bank"
! grep -q "Thresh -60.0 dB" "$dir/q-after.log" || fail "the drag in the window was not saved"
stop

launch q-orphan --state "$dir/orphan.bank" --param Thresh=-33
kill "$jackd_pid"
wait "$jackd_pid" 2>/dev/null || true
jackd_pid=
got=0
wait "$quelt_pid" || got=$?
[ "$got" = 1 ] || fail "quelt exited $got when the server went away"
grep -q "JACK server shut down" "$dir/q-orphan.err.log" || fail "no message when the server went away"
[ -s "$dir/orphan.bank" ] || fail "settings not saved when the server went away"
echo "quelt under JACK: statuses, ports, connections, settings and output as asked"
