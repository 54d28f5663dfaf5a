#!/usr/bin/env bash
# Quelt.clap exports only clap_entry and needs no C++ runtime of the
# system's; Debian's Qtractor plug-in scanner, headless, lists both of its
# gates: names, audio ins and outs, four parameters, an editor.
# Usage: scan_test.sh QUELT.CLAP [sanitized]
set -euo pipefail
clap=$1 sanitized=${2:-}
if [ -n "$sanitized" ]; then
    echo "skipped: a sanitized plug-in cannot load into the uninstrumented scanner"
    exit 0
fi
exported=$(nm -D --defined-only "$clap" | awk '{ print $3 }' | grep -vxE '_init|_fini|_edata|_end|__bss_start' || true)
[ "$exported" = clap_entry ] || { echo "FAIL: exports: $exported"; exit 1; }
! readelf -d "$clap" | grep -qE 'NEEDED.*(libstdc\+\+|libgcc_s)' || { echo "FAIL: links the C++ runtime"; exit 1; }
scanner=/usr/lib/$(gcc -dumpmachine)/qtractor/qtractor_plugin_scan
listed=$(echo "CLAP:$clap" | QT_QPA_PLATFORM=offscreen timeout 60 "$scanner" 2>/dev/null)
echo "$listed"
for want in "CLAP|Quelt|2:2|0:0|4:0|GUI" "CLAP|Quelt Mono|1:1|0:0|4:0|GUI"; do
    grep -qF "$want" <<<"$listed" || { echo "FAIL: the scanner does not list $want"; exit 1; }
done
