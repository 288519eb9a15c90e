#!/usr/bin/env bash
# Configures and builds the native tree and, beside it, the Windows tree and
# the sanitizer tree (build/windows, build/sanitize).
set -euo pipefail
cd "$(dirname "$0")/.."
bash scripts/setup.sh
cmake -S . -B build -G Ninja -DCMAKE_BUILD_TYPE=Release -DQB_ALL_TREES=ON >/dev/null
cmake --build build -j2
