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
# A display no other X server holds (its lock file names it).
number=$((90 + RANDOM % 100))
while [ -e "/tmp/.X$number-lock" ]; do number=$((number + 1)); done
display=":$number"
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
# Wine's own fonts (fonts-wine) draw the caption buttons as glyphs; this
# Wine does not look for them where the package puts them.
cp /usr/share/wine/fonts/*.ttf "$WINEPREFIX/drive_c/windows/Fonts/" 2>/dev/null || true
cd "$work/lantern"
wine explorer /desktop=shot,800x600 "$program" 'Z:'"${work//\//\\}"'\lantern\lantern.opf' >/dev/null 2>&1 &

out="$repo/docs/screenshots"
mkdir -p "$out"
helper='Z:'"${work//\//\\}"'\helper.exe'
rect='Z:'"${work//\//\\}"'\rect.txt'
# shoot NAME COMMAND [CAPTION [ID=TEXT ...]]: the main window after the
# command, or the dialog it opens with its controls filled in.
shoot() {
    local name="$1"
    shift
    rm -f "$work/rect.txt"
    # On the editor's desktop: a program started elsewhere cannot see it.
    wine explorer /desktop=shot,800x600 "$helper" "$1" "$rect" "${@:2}" >/dev/null 2>&1 || true
    for _ in $(seq 50); do [ -s "$work/rect.txt" ] && break; sleep 0.2; done
    read -r x y w h < <(tr -d '\r' < "$work/rect.txt")
    sleep 1
    import -display "$display" -window root "$work/full.png"
    convert "$work/full.png" -crop "${w}x${h}+${x}+${y}" +repage "$out/$name.png"
    echo "$out/$name.png (${w}x${h})"
    if [ $# -gt 1 ]; then
        wine explorer /desktop=shot,800x600 "$helper" 0 "$rect" "close:$2" >/dev/null 2>&1 || true
        sleep 1
    fi
}

# View menu commands: Manifest, Spine, MetaData, Tours, Guide.
shoot manifest 32788
shoot spine 32789
shoot metadata 32812
shoot tours 32790
shoot guide 32791
# The item dialogs, in add mode, filled in as a user would.
shoot dialog-manifest 32799 "Manifest Item" 1023=epilogue 1024=text/epilogue.htm 1029=text/x-oeb1-document
shoot dialog-spine 32804 "Spine Item" '#1006=lantern'
shoot dialog-metadata 32783 "MetaData Item" '#1028=dc:Publisher' '1027=Lantern Press'
shoot dialog-guide 32819 "Guide Item" 1030=Cover 1031=cover.htm 1032=cover
shoot dialog-tour 32826 "Tour Item" 1034=harbour '1035=The harbour walk'
shoot dialog-site 32826 "Site Item" '1038=The lamp room' 1036=text/ch3.htm#lamp
