#!/usr/bin/env bash
# Screenshots of the editor's main window, one per section, and of the six
# item dialogs, for the README: starts the Windows program under Wine in a
# virtual desktop on a display of its own, opens a copy of the sample
# publication and saves docs/screenshots/{manifest,spine,metadata,tours,guide}.png
# and docs/screenshots/dialog-*.png.
# Usage: scripts/screenshots.sh [path/to/quirebound.exe]
set -euo pipefail
repo="$(cd "$(dirname "$0")/.." && pwd)"
program="${1:-}"
SIZE=800x600
HELPER_SOURCE="$repo/scripts/screenshot-helper.c"
source "$repo/scripts/wine-desktop.sh"

# shoot NAME COMMAND [CAPTION [ID=TEXT ...]]: the main window after the
# command, or the dialog it opens with its controls filled in.
shoot() {
    local name="$1"
    shift
    rm -f "$work/rect.txt"
    run_helper "$1" "$rect" "${@:2}"
    capture "$name"
    if [ $# -gt 1 ]; then
        run_helper 0 "$rect" "close:$2"
        sleep 2
    fi
}

# View menu commands: Manifest, Spine, MetaData, Tours, Guide.
shoot manifest 32788
shoot spine 32789
shoot metadata 32812
shoot tours 32790
shoot guide 32791
# The item dialogs, in add mode, filled in as a user would.
shoot dialog-manifest 32799 "Manifest Item" 1023=epilogue 1024=text/epilogue.htm 1029=text/x-oeb1-document
shoot dialog-spine 32804 "Spine Item" '#1006=ch3'
shoot dialog-metadata 32783 "MetaData Item" '#1028=dc:Publisher' '1027=Lantern Press'
shoot dialog-guide 32819 "Guide Item" 1030=Cover 1031=cover.htm 1032=cover
shoot dialog-tour 32826 "Tour Item" 1034=harbour '1035=The harbour walk'
shoot dialog-site 32826 "Site Item" '1038=The lamp room' 1036=text/ch3.htm#lamp
