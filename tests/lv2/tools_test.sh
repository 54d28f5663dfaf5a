#!/usr/bin/env bash
# The bundle under Debian's LV2 tools, on a private LV2_PATH holding only it:
# lv2_validate finds no error, lv2info lists both variants with their ports,
# ranges, defaults and ten presets, and lv2apply on a float WAV writes the
# samples `plughost process` writes with the same parameters (compared by
# samples: lv2apply's file carries the time of writing), whose output is the
# same bytes every time.
# Usage: tools_test.sh BUNDLE PLUGHOST PLUGIN [sanitized]
set -euo pipefail
bundle=$1 plughost=$2 plugin=$3 sanitized=${4:-}
dir=$(mktemp -d /tmp/quelt-lv2-tools.XXXXXX)
trap 'rm -rf "$dir"' EXIT
mkdir "$dir/path"
ln -s "$bundle" "$dir/path/Quelt.lv2"
export LV2_PATH=$dir/path
base=http://zorv.example/plugins/quelt
fail() { echo "FAIL: $*"; exit 1; }

lv2_validate "$bundle"/*.ttl >"$dir/validate.log" 2>&1 || true
grep -q "Found 0 errors" "$dir/validate.log" || { cat "$dir/validate.log"; fail "lv2_validate"; }

listed=$(lv2ls)
for variant in stereo mono; do
    grep -qx "$base#$variant" <<<"$listed" || fail "lv2ls misses $variant"
    info=$(lv2info "$base#$variant")
    for want in "Symbol:      thresh" "Minimum:     -100.000000" "Default:     -70.000000" \
        "Symbol:      fade" "Symbol:      attack" "Maximum:     30.000000" \
        "Designation: http://lv2plug.in/ns/lv2core#enabled" "Symbol:      gain" \
        "Gentle gate"; do
        grep -qF -- "$want" <<<"$info" || fail "lv2info $variant lacks '$want'"
    done
    # The ports carry natural values: a logarithmic hint on dB would bend generic sliders.
    grep -qF "port-props#logarithmic" <<<"$info" && fail "lv2info $variant: a logarithmic port"
    presets=$(awk '/^\tPresets:/ { on = 1; next } /^$/ { on = 0 } on' <<<"$info" | wc -l)
    [ "$presets" -eq 10 ] || fail "$variant lists $presets presets"
done

if [ -n "$sanitized" ]; then
    echo "lv2apply skipped: a sanitized DSP binary cannot load into the uninstrumented tool"
    exit 0
fi
# Two seconds of stereo 32-bit float: tone bursts over quiet noise.
python3 - "$dir/in.wav" <<'PY'
import math, random, struct, sys
rate, frames = 44100, 88200
random.seed(7)
data = bytearray()
for i in range(frames):
    loud = (i // 5000) % 2 == 0
    for c in range(2):
        tone = 0.25 * math.sin(i * (0.02 + 0.005 * c)) if loud else 0.0
        data += struct.pack('<f', tone + random.uniform(-1e-4, 1e-4))
fmt = struct.pack('<HHIIHH', 3, 2, rate, rate * 8, 8, 32)
with open(sys.argv[1], 'wb') as f:
    f.write(b'RIFF' + struct.pack('<I', 36 + len(data)) + b'WAVEfmt ' + struct.pack('<I', 16) + fmt)
    f.write(b'data' + struct.pack('<I', len(data)) + data)
PY
lv2apply -i "$dir/in.wav" -o "$dir/lv2.wav" -c thresh -48 -c fade 0.2 -c attack 4.5 "$base#stereo"
"$plughost" --plugin "$plugin" process "$dir/in.wav" "$dir/vst.wav" \
    --param Thresh=-48 --param Fade=0.2 --param Attack=4.5 >/dev/null 2>&1
# samples FILE: the format and data chunks' bytes, whatever else the file holds.
samples() {
    python3 - "$1" <<'PY'
import struct, sys
raw = open(sys.argv[1], 'rb').read()
at, chunks = 12, {}
while at + 8 <= len(raw):
    name, size = raw[at:at + 4], struct.unpack('<I', raw[at + 4:at + 8])[0]
    chunks[name] = raw[at + 8:at + 8 + size]
    at += 8 + size + (size & 1)
fmt = chunks[b'fmt ']
sys.stdout.write(fmt[:16].hex() + ' ' + chunks[b'data'].hex())
PY
}
[ "$(samples "$dir/lv2.wav")" = "$(samples "$dir/vst.wav")" ] || fail "lv2apply and plughost process differ"
[ "$(samples "$dir/in.wav")" = "$(samples "$dir/lv2.wav")" ] && fail "the gate left the signal as it was"
sleep 1.1  # into another second of the clock
"$plughost" --plugin "$plugin" process "$dir/in.wav" "$dir/again.wav" \
    --param Thresh=-48 --param Fade=0.2 --param Attack=4.5 >/dev/null 2>&1
cmp "$dir/vst.wav" "$dir/again.wav" || fail "plughost process wrote other bytes the second time"
echo "all LV2 tool checks passed"
