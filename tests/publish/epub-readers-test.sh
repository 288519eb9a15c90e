#!/usr/bin/env bash
# Five kinds of book made into EPUBs by the programs, as a user makes them,
# and read by the peers: epubcheck finds no error in any, and calibre, where
# it is installed, reads each with its whole text, its navigation entries
# and its cover (none for the book that has none).
set -euo pipefail
quirebound="$1"
import="$2"
source="$(cd "$(dirname "$0")/../.." && pwd)"
work="$(mktemp -d)"
trap 'rm -rf "$work"' EXIT
status=0
fail() {
    echo "FAIL: $*" >&2
    status=1
}

epubcheck_jar=/usr/share/java/epubcheck.jar
if [ ! -r "$epubcheck_jar" ] || ! command -v java >/dev/null; then
    echo "epubcheck is not installed (scripts/setup.sh installs it)" >&2
    [ -n "${CI:-}" ] && exit 1
    exit 0
fi

# 1. The sample.
cp -r "$source/samples/lantern" "$work/sample"
"$quirebound" -b --format epub "$work/sample/lantern.opf" >/dev/null

# 2. A UTF-8 text of 40 chapters, imported.
mkdir "$work/text"
for c in $(seq 1 40); do printf 'Chapter %d\nCafé — the night of the %dth storm, “quoted”.\n\n' "$c" "$c"; done \
    >"$work/text/story.txt"
"$import" --title "Forty Storms" --search 'Chapter \1\n' "$work/text/story.txt" >/dev/null
"$quirebound" -b --format epub "$work/text/story.opf" >/dev/null

# 3. PNG and JPEG pictures, and a cover chosen on the command line.
mkdir "$work/pictures"
# The cover lies outside the package's folder: the user's choice is read.
cp "$source/tests/publish/data/from-pandoc/media/cover.png" "$work/"
cp "$source/tests/publish/data/from-pandoc/media/file0.jpg" "$work/pictures/"
printf '<html><body><h1>The Dot</h1><p><img src="file0.jpg" alt="A dot"> A dot on the water.</p></body></html>' \
    >"$work/pictures/dot.htm"
cat >"$work/pictures/pictures.opf" <<'OPF'
<?xml version="1.0"?>
<package unique-identifier="pictures-1">
<metadata>
<dc:Title>Pictures</dc:Title>
</metadata>
<manifest>
<item id="dot" href="dot.htm" media-type="text/x-oeb1-document"/>
<item id="jpeg" href="file0.jpg" media-type="image/jpeg"/>
</manifest>
<spine>
<itemref idref="dot"/>
</spine>
<guide>
</guide>
</package>
OPF
"$quirebound" -b --cover "$work/cover.png" -o "$work/pictures/pictures.epub" \
    "$work/pictures/pictures.opf" >/dev/null

# 4. A package unpacked from an EPUB made by pandoc: made now where pandoc
# is installed, else the one made with it before.
mkdir "$work/pandoc"
if command -v pandoc >/dev/null; then
    data="$source/tests/publish/data/from-pandoc"
    mkdir "$work/markdown"
    cp "$data/book.md" "$data/media/cover.png" "$work/markdown/"
    cp "$data/media/file0.jpg" "$work/markdown/dot.jpg"
    (cd "$work/markdown" && pandoc book.md -o made.epub --epub-cover-image=cover.png)
    python3 -m zipfile -e "$work/markdown/made.epub" "$work/pandoc/unpacked"
    mv "$work/pandoc/unpacked/EPUB/"* "$work/pandoc/"
else
    cp -r "$source/tests/publish/data/from-pandoc/"* "$work/pandoc/"
fi
"$quirebound" -b --format epub "$work/pandoc/content.opf" >/dev/null

# 5. The pictures of every kind the .prc converts, with the guide's cover page.
cp -r "$source/tests/publish/data/pictures" "$work/kinds"
"$quirebound" -b --format epub "$work/kinds/pictures.opf" >/dev/null

# Book, the entries its navigation has, a text from its end, whether it has a cover.
books=(
    "sample/lantern.epub 4 the_sample_publication_of_Quirebound yes"
    "text/story.epub 40 the_night_of_the_40th_storm no"
    "pictures/pictures.epub 1 A_dot_on_the_water yes"
    "pandoc/content.epub 5 The_sun_rose_over_Gull_Point yes"
    "kinds/pictures.epub 2 The_PNG_again yes"
)
calibre=yes
command -v ebook-convert >/dev/null && command -v calibre-debug >/dev/null ||
    { calibre=""; echo "calibre is not installed: its reading is not tried" >&2; }
for row in "${books[@]}"; do
    read -r book entries text cover <<<"$row"
    text="${text//_/ }"
    java -XX:TieredStopAtLevel=1 -XX:+UseSerialGC -jar "$epubcheck_jar" "$work/$book" >"$work/check.txt" 2>&1 ||
        { cat "$work/check.txt" >&2; fail "epubcheck: $book"; }
    [ -z "$calibre" ] && continue
    ebook-convert "$work/$book" "$work/book.txt" >/dev/null 2>&1 || { fail "calibre cannot read $book"; continue; }
    grep -q "$text" "$work/book.txt" || fail "calibre does not find \"$text\" in $book"
    ! grep -q "Insert here the coverpage image" "$work/book.txt" || fail "$book has the import's placeholder"
    read -r found has_cover < <(calibre-debug -c "
from calibre.ebooks.oeb.polish.container import get_container
from calibre.ebooks.oeb.polish.toc import get_toc
from calibre.ebooks.oeb.polish.cover import find_cover_image
c = get_container('$work/$book')
print(len(list(get_toc(c).iterdescendants())), 'yes' if find_cover_image(c) else 'no')" 2>/dev/null)
    [ "$found" = "$entries" ] || fail "calibre finds $found navigation entries in $book, not $entries"
    [ "$has_cover" = "$cover" ] || fail "calibre's cover of $book: $has_cover, not $cover"
done
[ "$status" -eq 0 ] && echo "${#books[@]} EPUBs: no epubcheck error${calibre:+, read whole by calibre}"
exit "$status"
