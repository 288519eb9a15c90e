#!/usr/bin/env bash
# Builds the benchmarks in the native tree and runs each of them.
set -euo pipefail
cd "$(dirname "$0")/.."
bash scripts/setup.sh
cmake -S . -B build -G Ninja -DCMAKE_BUILD_TYPE=Release >/dev/null
targets=$(ls bench/*.cpp 2>/dev/null | xargs -r -n1 basename | sed 's/\.cpp$//')
for target in $targets; do
    cmake --build build --target "$target" -j2
    "build/bench/$target"
done
