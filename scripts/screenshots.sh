#!/usr/bin/env bash
# Screenshots of the editor's main window, one per section, for the README:
# starts the Windows program under Wine in a virtual desktop on a display of
# its own, opens a copy of the sample publication and saves
# docs/screenshots/{manifest,spine,metadata,tours,guide}.png.
# Usage: scripts/screenshots.sh [path/to/quirebound.exe]
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

x86_64-w64-mingw32-gcc -O1 -o "$work/helper.exe" "$repo/scripts/screenshot-helper.c"
cp -r "$repo/samples/lantern" "$work/lantern"
Xvfb "$display" -screen 0 800x600x24 -nolisten tcp >/dev/null 2>&1 &
xvfb=$!
sleep 1
export DISPLAY="$display" WINEPREFIX="$work/prefix" WINEDEBUG=-all WINEDLLOVERRIDES="mscoree,mshtml="
wineboot --init >/dev/null 2>&1 || true
wineserver -w || true
cd "$work/lantern"
wine explorer /desktop=shot,800x600 "$program" 'Z:'"${work//\//\\}"'\lantern\lantern.opf' >/dev/null 2>&1 &

out="$repo/docs/screenshots"
mkdir -p "$out"
# View menu commands: Manifest, Spine, MetaData, Tours, Guide.
for shot in manifest:32788 spine:32789 metadata:32812 tours:32790 guide:32791; do
    name="${shot%%:*}"
    rm -f "$work/rect.txt"
    # On the editor's desktop: a program started elsewhere cannot see it.
    wine explorer /desktop=shot,800x600 'Z:'"${work//\//\\}"'\helper.exe' "${shot##*:}" 'Z:'"${work//\//\\}"'\rect.txt' >/dev/null 2>&1 || true
    for _ in $(seq 50); do [ -s "$work/rect.txt" ] && break; sleep 0.2; done
    read -r x y w h < <(tr -d '\r' < "$work/rect.txt")
    sleep 1
    import -display "$display" -window root "$work/full.png"
    convert "$work/full.png" -crop "${w}x${h}+${x}+${y}" +repage "$out/$name.png"
    echo "$out/$name.png (${w}x${h})"
done
