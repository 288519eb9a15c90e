#!/usr/bin/env bash
# Runs a Windows program under Wine in a prefix made for this run alone
# (inside QB_FRESH_PREFIX_BASE, or the current folder), so its registry and
# files start clean; the prefix is removed afterwards. A shell script (a
# test that runs several programs) is run by bash with WINEPREFIX set.
set -euo pipefail
base="${QB_FRESH_PREFIX_BASE:-$PWD}"
mkdir -p "$base"
prefix="$(mktemp -d "$base/wineprefix-fresh.XXXXXX")"
export WINEPREFIX="$prefix"
export WINEDEBUG=-all
export WINEDLLOVERRIDES="mscoree,mshtml=${WINEDLLOVERRIDES:+;$WINEDLLOVERRIDES}"
cleanup() {
    # Only this prefix's server: other runs keep theirs.
    wineserver -k >/dev/null 2>&1 || true
    rm -rf "$prefix"
}
trap cleanup EXIT
wineboot --init >/dev/null 2>&1 || true
wineserver -w || true
run=(wine)
[[ "${1:-}" != *.sh ]] || run=(bash)
status=0
if [ -z "${DISPLAY:-}" ] && command -v xvfb-run >/dev/null; then
    xvfb-run -a -s "-screen 0 1024x768x24" "${run[@]}" "$@" || status=$?
else
    "${run[@]}" "$@" || status=$?
fi
exit "$status"
