#!/usr/bin/env bash
# The Debian package as a user meets it: built with cpack, unpacked into a
# temporary root, its programs run from there on its own sample, its manual
# pages rendered.
set -euo pipefail
build="$1"
version="$2"
fail() {
    echo "FAIL: $*" >&2
    exit 1
}
work="$(mktemp -d)"
trap 'rm -rf "$work"' EXIT

cpack -G DEB --config "$build/CPackConfig.cmake" -B "$build/packages" >"$work/cpack.log" ||
    { cat "$work/cpack.log"; fail "cpack"; }
deb="$build/packages/quirebound_${version}_$(dpkg --print-architecture).deb"
[ "$(dpkg-deb -f "$deb" Package Version | tr '\n' ' ')" = "Package: quirebound Version: $version " ] ||
    fail "control fields: $(dpkg-deb -f "$deb")"
dpkg-deb -f "$deb" Depends | grep -q libc6 || fail "no dependency on the C library"
dpkg-deb -x "$deb" "$work/root"
root="$work/root"
bin="$root/usr/bin"
[ -f "$root/usr/share/doc/quirebound/copyright" ] || fail "no copyright file"

for program in quirebound quirebound-import; do
    [ "$("$bin/$program" --version)" = "$program $version" ] || fail "$program --version"
    "$bin/$program" --help | grep -q "^Usage: $program " || fail "$program --help"
    page="$root/usr/share/man/man1/$program.1.gz"
    [ -f "$page" ] || fail "no manual page $program(1)"
    # Warnings of the formatter count as faults of the page.
    text="$(zcat "$page" | groff -man -Tutf8 -P-cbou -ww 2>"$work/warnings")"
    [ ! -s "$work/warnings" ] || fail "$program(1): $(cat "$work/warnings")"
    grep -Eq "^ +$program +- " <<<"$text" || fail "$program(1) has no name line"
done

cp -r "$root/usr/share/doc/quirebound/sample/lantern" "$work/lantern"
"$bin/quirebound" -b "$work/lantern/lantern.opf" >/dev/null || fail "publishing the sample"
[ "$(dd if="$work/lantern/lantern.prc" bs=1 skip=60 count=8 2>/dev/null)" = TEXtREAd ] ||
    fail "no PalmDOC e-book from the sample"

printf 'Chapter 1\nThe light was green.\nChapter 2\nThe storm came.\n' >"$work/story.txt"
package="$("$bin/quirebound-import" --title Story --search 'Chapter \1\n' "$work/story.txt")" ||
    fail "importing a text"
[ "$package" = "$work/story.opf" ] || fail "the import wrote $package"
[ "$(grep -c 'href="story_1.htm#Chap\.' "$work/story_TOC.htm")" = 2 ] || fail "the import did not find both chapters"
echo "package built, unpacked and run"
