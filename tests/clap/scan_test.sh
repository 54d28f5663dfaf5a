#!/usr/bin/env bash
# Debian's Qtractor plug-in scanner, headless, lists both gates of
# Quelt.clap: names, audio ins and outs, four parameters, an editor.
# Usage: scan_test.sh QUELT.CLAP [sanitized]
set -euo pipefail
clap=$1 sanitized=${2:-}
if [ -n "$sanitized" ]; then
    echo "skipped: a sanitized plug-in cannot load into the uninstrumented scanner"
    exit 0
fi
scanner=/usr/lib/$(gcc -dumpmachine)/qtractor/qtractor_plugin_scan
listed=$(echo "CLAP:$clap" | QT_QPA_PLATFORM=offscreen timeout 60 "$scanner" 2>/dev/null)
echo "$listed"
for want in "CLAP|Quelt|2:2|0:0|4:0|GUI" "CLAP|Quelt Mono|1:1|0:0|4:0|GUI"; do
    grep -qF "$want" <<<"$listed" || { echo "FAIL: the scanner does not list $want"; exit 1; }
done
