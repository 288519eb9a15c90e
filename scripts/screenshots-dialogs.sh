#!/usr/bin/env bash
# Screenshots of the New publication dialog and of each Publishing Wizard
# page, for the README: starts the Windows program under Wine in a virtual
# desktop on a display of its own with a copy of the sample publication and
# saves docs/screenshots/{new,publish-welcome,publish-options,publish-final,publish-epub-options}.png.
# Usage: scripts/screenshots-dialogs.sh [path/to/quirebound.exe]
set -euo pipefail
repo="$(cd "$(dirname "$0")/.." && pwd)"
program="${1:-}"
SIZE=1024x768
HELPER_SOURCE="$repo/scripts/screenshot-dialogs-helper.c"
source "$repo/scripts/wine-desktop.sh"

# The wizard first: New closes the open package.
for shot in publish-welcome:welcome publish-options:options publish-final:final publish-epub-options:epub-options \
    new:new; do
    name="${shot%%:*}"
    rm -f "$work/rect.txt"
    run_helper "${shot##*:}" "$rect"
    capture "$name"
done
