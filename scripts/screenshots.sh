#!/usr/bin/env bash
# Builds the plug-in and the host tool, then photographs the editor on a
# private Xvfb while the demo signal plays through it: docs/editor-gate.png
# (page 1, 2 s into the demo, also at scale 2 as docs/editor-gate@2x.png) and
# docs/editor-about.png (the About tab clicked);
# then the three pages of the catalogue skin through the skin preview:
# docs/catalogue-dials.png, docs/catalogue-switches.png, docs/catalogue-meters.png.
set -euo pipefail

root=$(cd "$(dirname "${BASH_SOURCE[0]}")/.." && pwd)
cd "$root"
bash scripts/setup.sh
cmake -S "$root" -B "$root/build" -DQUELT_BENCH=OFF >/dev/null
cmake --build "$root/build" -j "${JOBS:-2}" --target Quelt plughost >/dev/null

work=$(mktemp -d)
exec 3>"$work/display"
Xvfb -displayfd 3 -screen 0 1280x800x24 -nolisten tcp >/dev/null 2>&1 &
server=$!
trap 'kill $server 2>/dev/null; rm -rf "$work"' EXIT
for _ in $(seq 100); do [ -s "$work/display" ] && break; sleep 0.1; done
export DISPLAY=":$(head -n1 "$work/display")"

tool="$root/build/tools/plughost"
export QUELT_SCALE=1
"$tool" gui --seconds 2.5 --screenshot "$work/gate.ppm"
QUELT_SCALE=2 "$tool" gui --seconds 2.5 --screenshot "$work/gate2x.ppm"
"$tool" gui --seconds 2.5 --click 290,11 --screenshot "$work/about.ppm"
skin="$root/skins/catalogue.txt"
"$tool" skin "$skin" --seconds 3.5 --screenshot "$work/dials.ppm" >/dev/null
"$tool" skin "$skin" --seconds 3.5 --click 237,11 --screenshot "$work/switches.ppm" >/dev/null
"$tool" skin "$skin" --seconds 3.5 --click 295,11 --screenshot "$work/meters.ppm" >/dev/null
mkdir -p "$root/docs"
/usr/bin/python3 - "$work" "$root/docs" <<'PY'
import sys
from PIL import Image
work, docs = sys.argv[1], sys.argv[2]
for name, out in (("gate", "editor-gate.png"), ("gate2x", "editor-gate@2x.png"),
                  ("about", "editor-about.png"),
                  ("dials", "catalogue-dials.png"), ("switches", "catalogue-switches.png"),
                  ("meters", "catalogue-meters.png")):
    Image.open(f"{work}/{name}.ppm").save(f"{docs}/{out}", optimize=True)
PY
echo "wrote docs/editor-gate.png, docs/editor-gate@2x.png, docs/editor-about.png and docs/catalogue-*.png"
