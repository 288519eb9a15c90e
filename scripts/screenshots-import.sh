#!/usr/bin/env bash
# Screenshots of each Import Wizard page and of the heading preview, for the
# README: starts the Windows program under Wine in a virtual desktop on a
# display of its own and saves docs/screenshots/import-*.png.
# Usage: scripts/screenshots-import.sh [path/to/quirebound.exe]
set -euo pipefail
repo="$(cd "$(dirname "$0")/.." && pwd)"
program="${1:-}"
SIZE=1024x768
HELPER_SOURCE="$repo/scripts/screenshot-import-helper.c"
source "$repo/scripts/wine-desktop.sh"

# A short novel to import, where a user keeps books.
mkdir -p "$WINEPREFIX/drive_c/books"
{
    for chapter in 1 2 3 4 5 6 7 8 9 10 11 12; do
        printf 'Chapter %s\r\nThe lamp on Gull Point burned all night.\r\n\r\n' "$chapter"
    done
} > "$WINEPREFIX/drive_c/books/gull-point.txt"
printf '<html><body><h1>Chapter 1</h1><p>The lamp.</p></body></html>' > "$WINEPREFIX/drive_c/books/gull-point.htm"

for name in welcome source lineends search preview tags metadata final; do
    rm -f "$work/rect.txt"
    source_path='C:\books\gull-point.txt'
    [ "$name" = tags ] && source_path='C:\books\gull-point.htm'
    run_helper "$name" "$rect" "$source_path"
    capture "import-$name"
done

# A published e-book imported back: File, Import, PRC DOC File..., then the
# editor with the publication it made.
wine "$program" -b 'Z:'"${work//\//\\}"'\lantern\lantern.opf' >/dev/null 2>&1 || true
cp "$work/lantern/lantern.prc" "$WINEPREFIX/drive_c/books/gull-point.prc"
for name in source final opened; do
    rm -f "$work/rect.txt"
    run_helper "ebook-$name" "$rect" 'C:\books\gull-point.prc'
    capture "import-ebook-$name"
done
