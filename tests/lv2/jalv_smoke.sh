#!/usr/bin/env bash
# Smoke test a user can repeat: jalv loads the stereo plug-in from the built
# bundle with its editor on a private Xvfb, a JACK server on its dummy driver
# running the audio, and shows the editor (a 330 x 195 window appears).
# Usage: jalv_smoke.sh BUNDLE [sanitized]
set -euo pipefail
bundle=$1 sanitized=${2:-}
if [ -n "$sanitized" ]; then
    echo "skipped: a sanitized bundle cannot load into the uninstrumented jalv"
    exit 0
fi
dir=$(mktemp -d /tmp/quelt-jalv.XXXXXX)
pids=()
cleanup() {
    for pid in "${pids[@]}"; do kill "$pid" 2>/dev/null || true; done
    wait 2>/dev/null || true
    rm -rf "$dir"
}
trap cleanup EXIT
mkdir "$dir/path"
ln -s "$bundle" "$dir/path/Quelt.lv2"
display=:$((200 + $$ % 500))
Xvfb "$display" -screen 0 1024x768x24 -nolisten tcp >"$dir/xvfb.log" 2>&1 &
pids+=($!)
export DISPLAY=$display JACK_DEFAULT_SERVER=quelt-$$ LV2_PATH=$dir/path
export JACK_NO_AUDIO_RESERVATION=1
jackd --no-realtime -n "quelt-$$" -d dummy -r 48000 -p 256 >"$dir/jack.log" 2>&1 &
pids+=($!)
for _ in $(seq 50); do xdpyinfo >/dev/null 2>&1 && break; sleep 0.1; done
sleep 1
jalv.gtk3 http://zorv.example/plugins/quelt#stereo >"$dir/jalv.log" 2>&1 </dev/null &
pids+=($!)
for _ in $(seq 100); do
    if xwininfo -root -tree 2>/dev/null | grep -q ' 330x195+'; then
        echo "jalv shows the editor"
        exit 0
    fi
    sleep 0.1
done
cat "$dir/jalv.log" "$dir/jack.log"
echo "FAIL: no editor window under jalv"
exit 1
