#!/usr/bin/env bash
# Publishing speed and memory: a large generated publication (about 4 MB of
# text over 60 chapters with links between them and repeated pictures) and a
# one-document publication of a 4 MB public-domain text in paragraphs, each
# published several times with quirebound -b, the one-document one also as
# an EPUB (--format epub). Prints median wall time and peak resident memory.
#
# The large publication's e-book is then imported back with quirebound-import
# (time and peak memory of reading the .prc and writing the publication).
#
# A third book has 2,000 chapters in 100 documents, marked by id, and a
# contents page linking every one of them; it reports the unresolved links
# (none are expected) and peak memory. "publish-bench.sh contents" runs that
# book alone, without the side-by-side converter.
#
# A fourth book holds PNG and JPEG pictures: one of a camera's 24 megapixels,
# a 4000 x 3000 PNG with transparency and twenty 800 x 600 photographs; it
# shows what decoding and shrinking them costs ("publish-bench.sh pictures"
# runs it alone).
set -euo pipefail
cd "$(dirname "$0")/.."
runs=${RUNS:-5}
only=${1:-all}

# Median wall seconds and peak resident kilobytes of a command, run $runs times.
measure() {
    local walls=() peaks=()
    for ((i = 0; i < runs; i++)); do
        /usr/bin/time -v -o "$work/time.txt" "$@" >/dev/null 2>"$work/stderr.txt" || {
            cat "$work/stderr.txt" >&2
            return 1
        }
        walls+=("$(awk -F': ' '/Elapsed \(wall clock\)/ {n = split($2, t, ":"); s = 0; for (k = 1; k <= n; k++) s = s * 60 + t[k]; print s}' "$work/time.txt")")
        peaks+=("$(awk -F': ' '/Maximum resident set size/ {print $2}' "$work/time.txt")")
    done
    local wall peak
    wall=$(printf '%s\n' "${walls[@]}" | sort -g | awk '{a[NR] = $1} END {print a[int((NR + 1) / 2)]}')
    peak=$(printf '%s\n' "${peaks[@]}" | sort -g | tail -1)
    echo "$wall $peak"
}

# The contents book: 100 documents of 20 chapters, each chapter a heading
# with an id and a few paragraphs; the contents page links all 2,000.
# write_package FILE TITLE MANIFEST SPINE: a package whose contents page
# "toc.htm" comes first, then the given items and spine entries.
write_package() {
    cat >"$1" <<OPF
<?xml version="1.0"?>
<package unique-identifier="id">
<metadata>
<dc:Title>$2</dc:Title>
</metadata>
<manifest>
<item id="toc" href="toc.htm" media-type="text/x-oeb1-document"/>
$3</manifest>
<spine>
<itemref idref="toc"/>
$4</spine>
<guide>
<reference type="toc" title="Contents" href="toc.htm"/>
</guide>
</package>
OPF
}

contents_book() {
    local dir="$work/contents" manifest="" spine="" toc="" d c n
    mkdir -p "$dir/text"
    local paragraph="A short paragraph of the chapter, enough to give each heading some text to stand over."
    for ((d = 1; d <= 100; d++)); do
        {
            printf '<html>\n<head><title>Part %d</title></head>\n<body>\n' "$d"
            for ((c = 1; c <= 20; c++)); do
                n=$(((d - 1) * 20 + c))
                printf '<h2 class="chapter"\n    id="c%d">Chapter %d</h2>\n' "$n" "$n"
                for ((p = 1; p <= 6; p++)); do printf '<p>%s</p>\n' "$paragraph"; done
                toc+="<p><a href=\"text/part$d.htm#c$n\">Chapter $n</a></p>"$'\n'
            done
            printf '</body>\n</html>\n'
        } >"$dir/text/part$d.htm"
        manifest+="<item id=\"part$d\" href=\"text/part$d.htm\" media-type=\"text/x-oeb1-document\"/>"$'\n'
        spine+="<itemref idref=\"part$d\"/>"$'\n'
    done
    printf '<html><body>\n<h1>Contents</h1>\n%s</body></html>\n' "$toc" >"$dir/toc.htm"
    write_package "$dir/contents.opf" "Two Thousand Chapters" "$manifest" "$spine"
    local wall peak unresolved
    read -r wall peak < <(measure "$program" -b "$dir/contents.opf")
    unresolved=$(sed -n 's/^Publishing report: \([0-9]*\) internal link.*/\1/p' "$work/stderr.txt")
    printf '%-44s %10s %12s\n' "2,000 chapters, contents page (quirebound)" "$wall" "$peak"
    echo "contents book: ${unresolved:-0} unresolved links, e-book $(stat -c %s "$dir/contents.prc") bytes"
}

# The pictures book: one document showing every picture once.
pictures_book() {
    local dir="$work/pictures" body="" manifest="" n
    mkdir -p "$dir"
    convert -size 4000x6000 gradient:navy-gold -rotate 90 -quality 90 "$dir/camera.jpg"
    convert -size 4000x3000 "gradient:rgba(200,30,30,1)-rgba(30,30,200,0.3)" PNG32:"$dir/wide.png"
    for ((n = 1; n <= 20; n++)); do
        convert -size 800x600 -seed $n plasma:fractal -quality 85 "$dir/photo$n.jpg"
        body+="<p>Photograph $n: <img src=\"photo$n.jpg\"></p>"$'\n'
    done
    printf '<html><body>\n<h1>Pictures</h1>\n<img src="camera.jpg"><img src="wide.png">\n%s</body></html>\n' \
        "$body" >"$dir/toc.htm"
    write_package "$dir/pictures.opf" "Pictures" "" ""
    local wall peak
    read -r wall peak < <(measure "$program" -b "$dir/pictures.opf")
    printf '%-44s %10s %12s\n' "22 PNG and JPEG pictures, 24 MP (quirebound)" "$wall" "$peak"
}

if [ "$only" = contents ] || [ "$only" = pictures ]; then
    cmake -S . -B build -G Ninja -DCMAKE_BUILD_TYPE=Release >/dev/null
    cmake --build build --target quirebound -j2 >/dev/null
    program="$(pwd)/build/publish/quirebound"
    work="$(pwd)/build/bench-publish"
    rm -rf "${work:?}/$only"
    mkdir -p "$work"
    printf '%-44s %10s %12s\n' "publication" "median s" "peak RSS KB"
    "${only}_book"
    exit 0
fi

bash scripts/setup.sh
need=()
for package in bible-kjv time; do
    dpkg-query -W -f='${Status}' "$package" 2>/dev/null | grep -q "install ok installed" || need+=("$package")
done
if [ ${#need[@]} -gt 0 ]; then
    sudo=""
    [ "$(id -u)" -eq 0 ] || sudo=sudo
    $sudo apt-get update -qq
    DEBIAN_FRONTEND=noninteractive $sudo apt-get install -y -qq --no-install-recommends "${need[@]}" >/dev/null
fi
cmake -S . -B build -G Ninja -DCMAKE_BUILD_TYPE=Release >/dev/null
cmake --build build --target quirebound quirebound-import -j2 >/dev/null
program="$(pwd)/build/publish/quirebound"
importer="$(pwd)/build/import/quirebound-import"

work="$(pwd)/build/bench-publish"
rm -rf "$work"
mkdir -p "$work/large/text" "$work/large/pics" "$work/single"

# The one-document publication: the text fetched now, never committed.
bible -f Gen1:1-Rev22:21 >"$work/single/text.txt"
{
    printf '<html><head><title>Text</title></head><body>\n'
    sed -e 's/&/\&amp;/g; s/</\&lt;/g; s/^/<p>/; s/$/<\/p>/' "$work/single/text.txt"
    printf '</body></html>\n'
} >"$work/single/text.htm"
cat >"$work/single/single.opf" <<'OPF'
<?xml version="1.0"?>
<package unique-identifier="id">
<metadata>
<dc:Title>One Long Text</dc:Title>
</metadata>
<manifest>
<item id="text" href="text.htm" media-type="text/x-oeb1-document"/>
</manifest>
<spine>
<itemref idref="text"/>
</spine>
<guide>
</guide>
</package>
OPF

# The large publication: 60 chapters of about 70 KB, each linking to the
# next and back to the contents, with three pictures used again and again.
for n in 1 2 3; do
    convert -size $((40 * n))x$((30 * n)) "plasma:fractal" -seed $n +dither -colors 16 "$work/large/pics/p$n.gif"
done
chapters=60
manifest=""
spine=""
toc=""
paragraph="The reader goes on through the long chapter, line after line of plain words that fill the page and the record alike, until the next heading comes."
for ((c = 1; c <= chapters; c++)); do
    next=$((c % chapters + 1))
    {
        printf '<html><body>\n<h2><a name="top">Chapter %d</a></h2>\n' "$c"
        for ((s = 1; s <= 16; s++)); do
            printf '<h3><a name="s%d">Section %d</a></h3>\n' "$s" "$s"
            for ((p = 1; p <= 28; p++)); do printf '<p>%s</p>\n' "$paragraph"; done
            printf '<p><img src="../pics/p%d.gif"> See <a href="ch%d.htm#s%d">the next chapter</a> or <a href="../toc.htm">the contents</a>.</p>\n' \
                $(((s % 3) + 1)) "$next" "$s"
        done
        printf '</body></html>\n'
    } >"$work/large/text/ch$c.htm"
    manifest+="<item id=\"ch$c\" href=\"text/ch$c.htm\" media-type=\"text/x-oeb1-document\"/>"$'\n'
    spine+="<itemref idref=\"ch$c\"/>"$'\n'
    toc+="<p><a href=\"text/ch$c.htm#top\">Chapter $c</a></p>"$'\n'
done
printf '<html><body>\n<h1>Contents</h1>\n%s</body></html>\n' "$toc" >"$work/large/toc.htm"
write_package "$work/large/large.opf" "A Large Book" \
    "${manifest}<item id=\"p1\" href=\"pics/p1.gif\" media-type=\"image/gif\"/>"$'\n' "$spine"

text_bytes=$(stat -c %s "$work/single/text.txt")
large_bytes=$(cat "$work/large/text/"*.htm | wc -c)
read -r single_wall single_peak < <(measure "$program" -b "$work/single/single.opf")
read -r epub_wall epub_peak < <(measure "$program" -b --format epub "$work/single/single.opf")
read -r large_wall large_peak < <(measure "$program" -b "$work/large/large.opf")
mkdir -p "$work/imported"
read -r import_wall import_peak < <(measure "$importer" --replace --dest "$work/imported" "$work/large/large.prc")

printf '%-44s %10s %12s\n' "publication" "median s" "peak RSS KB"
printf '%-44s %10s %12s\n' "one document, $text_bytes bytes of text (quirebound)" "$single_wall" "$single_peak"
printf '%-44s %10s %12s\n' "the same as EPUB (quirebound --format epub)" "$epub_wall" "$epub_peak"
printf '%-44s %10s %12s\n' "$chapters chapters, $large_bytes bytes (quirebound)" "$large_wall" "$large_peak"
printf '%-44s %10s %12s\n' "its $(stat -c %s "$work/large/large.prc")-byte .prc (quirebound-import)" "$import_wall" "$import_peak"
contents_book
pictures_book
echo "e-books: $(stat -c %s "$work/single/single.prc") and $(stat -c %s "$work/large/large.prc") bytes;" \
    "EPUB $(stat -c %s "$work/single/single.epub") bytes"
