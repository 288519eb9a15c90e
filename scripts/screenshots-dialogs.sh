#!/usr/bin/env bash
# Screenshots of the New publication dialog and of each Publishing Wizard
# page, for the README: starts the Windows program under Wine in a virtual
# desktop on a display of its own with a copy of the sample publication and
# saves docs/screenshots/{new,publish-welcome,publish-options,publish-final}.png.
# Usage: scripts/screenshots-dialogs.sh [path/to/quirebound.exe]
set -euo pipefail
repo="$(cd "$(dirname "$0")/.." && pwd)"
program="${1:-}"
if [ -z "$program" ]; then
    program="$(ls -t "$repo"/build*-win/editor/quirebound.exe "$repo"/build*/windows/editor/quirebound.exe 2>/dev/null | head -1 || true)"
fi
program="$(realpath "$program" 2>/dev/null || true)"
[ -f "$program" ] || { echo "no quirebound.exe found; build the Windows tree or name it" >&2; exit 1; }
for tool in Xvfb wine import convert x86_64-w64-mingw32-gcc; do
    command -v "$tool" >/dev/null || {
        echo "$tool is missing: apt-get install xvfb wine imagemagick gcc-mingw-w64-x86-64" >&2
        exit 1
    }
done

work="$(mktemp -d)"
display=":$((90 + RANDOM % 100))"
cleanup() {
    WINEPREFIX="$work/prefix" wineserver -k >/dev/null 2>&1 || true
    [ -n "${xvfb:-}" ] && kill "$xvfb" 2>/dev/null || true
    rm -rf "$work"
}
trap cleanup EXIT

x86_64-w64-mingw32-gcc -O1 -o "$work/helper.exe" "$repo/scripts/screenshot-dialogs-helper.c"
cp -r "$repo/samples/lantern" "$work/lantern"
Xvfb "$display" -screen 0 1024x768x24 -nolisten tcp >/dev/null 2>&1 &
xvfb=$!
sleep 1
export DISPLAY="$display" WINEPREFIX="$work/prefix" WINEDEBUG=-all WINEDLLOVERRIDES="mscoree,mshtml="
wineboot --init >/dev/null 2>&1 || true
wineserver -w || true
cd "$work/lantern"
wine explorer /desktop=shot,1024x768 "$program" 'Z:'"${work//\//\\}"'\lantern\lantern.opf' >/dev/null 2>&1 &

out="$repo/docs/screenshots"
mkdir -p "$out"
# The wizard first: New closes the open package.
for shot in publish-welcome:welcome publish-options:options publish-final:final new:new; do
    name="${shot%%:*}"
    rm -f "$work/rect.txt"
    # On the editor's desktop: a program started elsewhere cannot see it.
    wine explorer /desktop=shot,1024x768 'Z:'"${work//\//\\}"'\helper.exe' "${shot##*:}" 'Z:'"${work//\//\\}"'\rect.txt' >/dev/null 2>&1 || true
    for _ in $(seq 100); do [ -s "$work/rect.txt" ] && break; sleep 0.2; done
    [ -s "$work/rect.txt" ] || { echo "no $name dialog" >&2; exit 1; }
    read -r x y w h < <(tr -d '\r' < "$work/rect.txt")
    sleep 1
    import -display "$display" -window root "$work/full.png"
    convert "$work/full.png" -crop "${w}x${h}+${x}+${y}" +repage "$out/$name.png"
    echo "$out/$name.png (${w}x${h})"
done
