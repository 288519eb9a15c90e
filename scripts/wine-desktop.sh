# Sourced by the screenshot scripts: starts the Windows program under Wine
# in a virtual desktop of SIZE on a display of its own, with a copy of the
# sample publication open, and builds the driving helper from HELPER_SOURCE.
# Defines run_helper ARGS... (on the editor's desktop, in the background)
# and capture NAME (crops the rectangle the helper wrote into
# docs/screenshots/NAME.png). Expects: repo, program (may be empty), SIZE,
# HELPER_SOURCE.
program="${program:-}"
if [ -z "$program" ]; then
    program="$(ls -t "$repo"/build*-win/win32/quirebound.exe "$repo"/build*/windows/win32/quirebound.exe 2>/dev/null | head -1 || true)"
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

x86_64-w64-mingw32-gcc -O1 -o "$work/helper.exe" "$HELPER_SOURCE"
cp -r "$repo/samples/lantern" "$work/lantern"
Xvfb "$display" -screen 0 "${SIZE}x24" -nolisten tcp >/dev/null 2>&1 &
xvfb=$!
sleep 1
export DISPLAY="$display" WINEPREFIX="$work/prefix" WINEDEBUG=-all WINEDLLOVERRIDES="mscoree,mshtml="
wineboot --init >/dev/null 2>&1 || true
wineserver -w || true
# Wine's own fonts (fonts-wine) draw the caption buttons as glyphs; this
# Wine does not look for them where the package puts them.
cp /usr/share/wine/fonts/*.ttf "$WINEPREFIX/drive_c/windows/Fonts/" 2>/dev/null || true
cd "$work/lantern"
wine explorer "/desktop=shot,$SIZE" "$program" 'Z:'"${work//\//\\}"'\lantern\lantern.opf' >/dev/null 2>&1 &

out="$repo/docs/screenshots"
mkdir -p "$out"
helper='Z:'"${work//\//\\}"'\helper.exe'
rect='Z:'"${work//\//\\}"'\rect.txt'

# In the background: an explorer that came first keeps the desktop, and
# does not return while the editor has windows on it.
run_helper() {
    wine explorer "/desktop=shot,$SIZE" "$helper" "$@" >/dev/null 2>&1 &
}

capture() {
    for _ in $(seq 100); do [ -s "$work/rect.txt" ] && break; sleep 0.2; done
    [ -s "$work/rect.txt" ] || { echo "nothing to capture for $1" >&2; exit 1; }
    read -r x y w h < <(tr -d '\r' < "$work/rect.txt")
    sleep 1
    import -display "$display" -window root "$work/full.png"
    convert "$work/full.png" -crop "${w}x${h}+${x}+${y}" +repage "$out/$1.png"
    echo "$out/$1.png (${w}x${h})"
}
