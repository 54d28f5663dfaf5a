#!/usr/bin/env bash
# The LV2 linter, strict and with its real-time and UI checks, on both
# variants with the editor on a private Xvfb: no FAIL, and no WARN but the
# author's e-mail and homepage (the project has neither yet). lv2_validate
# reports neither an error nor a warning.
# The dynamic loader is allowed among the DSP binary's libraries: every
# process has it, and the static C++ runtime's thread-local exception state
# needs its __tls_get_addr.
# Usage: lint_test.sh BUNDLE LINTER [sanitized]
set -euo pipefail
bundle=$1 linter=$2 sanitized=${3:-}
if [ -n "$sanitized" ]; then
    echo "skipped: the linter preloads itself into an uninstrumented process"
    exit 0
fi
base=http://zorv.example/plugins/quelt
dir=$(mktemp -d /tmp/quelt-lint.XXXXXX)
xvfb=
cleanup() {
    [ -n "$xvfb" ] && kill "$xvfb" 2>/dev/null
    wait 2>/dev/null || true
    rm -rf "$dir"
}
trap cleanup EXIT
fail() { echo "FAIL: $*"; exit 1; }

mkdir "$dir/path"
ln -s "$bundle" "$dir/path/Quelt.lv2"
(cd "$dir" && lv2_validate "$bundle"/*.ttl >validate.log 2>&1) || true
grep -q "Found 0 errors" "$dir/validate.log" || { cat "$dir/validate.log"; fail "lv2_validate errors"; }
! grep -qi "warn" "$dir/validate.log" || { grep -i warn "$dir/validate.log"; fail "lv2_validate warnings"; }

display=:$((700 + $$ % 200))
Xvfb "$display" -screen 0 1024x768x24 -nolisten tcp >"$dir/xvfb.log" 2>&1 &
xvfb=$!
export DISPLAY=$display LV2_PATH=/usr/lib/lv2:$dir/path
for _ in $(seq 50); do xdpyinfo >/dev/null 2>&1 && break; sleep 0.1; done

allowed='Plugin Author Email|Plugin Author Homepage'
for variant in stereo mono; do
    log=$dir/$variant.log
    "$linter" -Mnopack -Sall -l 'ld-linux-x86-64.so.2' "$base#$variant" >"$log" 2>&1 \
        || { cat "$log"; fail "$variant: the linter failed"; }
    grep -q 'UI Instantiation' "$log" || { cat "$log"; fail "$variant: the UI was not checked"; }
    ! grep -q '\[FAIL\]' "$log" || { grep -A3 '\[FAIL\]' "$log"; fail "$variant: FAIL"; }
    unexpected=$(grep '\[WARN\]' "$log" | grep -vE "$allowed" || true)
    [ -z "$unexpected" ] || { grep -A3 '\[WARN\]' "$log"; fail "$variant: unexpected WARN"; }
    echo "$variant: lint clean ($(grep -c '\[PASS\]' "$log") passed)"
done
