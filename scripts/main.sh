#!/usr/bin/env bash
# Sets up, builds the quirebound program and publishes the sample book with
# it, printing where the e-book went and how large it is.
set -euo pipefail
cd "$(dirname "$0")/.."
bash scripts/setup.sh
cmake -S . -B build -G Ninja -DCMAKE_BUILD_TYPE=Release >/dev/null
cmake --build build --target quirebound -j2 >/dev/null

# The sample is published from a copy, so the source tree stays clean.
work=build/sample
rm -rf "$work"
mkdir -p "$work"
cp -R samples/lantern "$work/"
build/publish/quirebound -b "$work/lantern/lantern.opf" >/dev/null
ebook="$(pwd)/$work/lantern/lantern.prc"
echo "Published the sample e-book: $ebook ($(stat -c %s "$ebook") bytes)"
