#!/usr/bin/env bash
# The Windows installer as a user meets it, in the fresh Wine prefix that
# scripts/wine-fresh-run.sh made: a silent install, the installed program
# publishing the installed sample, the .opf association (a package opened
# through it shows in the editor), and a silent uninstall that leaves nothing
# behind.
set -euo pipefail
setup="$1"
fail() {
    echo "FAIL: $*" >&2
    exit 1
}
# A value of a key, or its default value when no name is given.
value() {
    local name=(/ve)
    [ -z "${2:-}" ] || name=(/v "$2")
    wine reg query "$1" "${name[@]}" 2>/dev/null | tr -d '\r' | sed -n 's/^.*REG_SZ    //p'
}
uninstall_key='HKCU\Software\Microsoft\Windows\CurrentVersion\Uninstall\QuireboundPublisher'
classes='HKCU\Software\Classes'
machine='HKLM\Software\Classes'

wine "$setup" /S || fail "the installer ended with status $?"
windows_dir="$(value "$uninstall_key" InstallLocation)"
[ -n "$windows_dir" ] || fail "no install location in the uninstall entry"
dir="$(winepath -u "$windows_dir" 2>/dev/null)"
for file in quirebound.exe quirebound-import.exe uninstall.exe help/index.htm samples/lantern/lantern.opf \
    samples/lantern/text/ch1.htm samples/lantern/images/lantern.gif; do
    [ -f "$dir/$file" ] || fail "not installed: $file"
done
shortcut="$(find "$WINEPREFIX/drive_c/users" -name 'Quirebound Publisher.lnk')"
[ -n "$shortcut" ] || fail "no Start-menu entry"
# Its working folder is the install folder, where help\index.htm is found;
# in the file, a string ends where the next one's length begins.
starts_there=false
while IFS= read -r text; do
    [[ "$text" != *"$windows_dir" ]] || starts_there=true
done < <(strings -el "$shortcut")
$starts_there || fail "the Start-menu entry does not start in $windows_dir"

# The install folder's name has a blank: Wine hands the path over in quotes.
wine "$windows_dir\\quirebound.exe" -b "$windows_dir\\samples\\lantern\\lantern.opf" >/dev/null ||
    fail "publishing the installed sample failed"
ebook="$dir/samples/lantern/lantern.prc"
[ "$(dd if="$ebook" bs=1 skip=60 count=8 2>/dev/null)" = TEXtREAd ] || fail "no PalmDOC e-book at $ebook"
[ "$(stat -c %s "$ebook")" -gt 3000 ] || fail "the e-book is too small to hold the sample"

[ "$(value "$classes\\.opf")" = Quirebound.Package ] || fail ".opf is not associated"
command="$(value "$classes\\Quirebound.Package\\shell\\open\\command")"
[ "$command" = "\"$windows_dir\\quirebound.exe\" \"%1\"" ] || fail "the .opf command line is: $command"
# Wine reads file types only from the machine's classes; the installer has
# administrator rights here and registers them there too.
[ "$(value "$machine\\.opf")" = Quirebound.Package ] || fail ".opf is not associated machine-wide"

# Opened as a double-click opens it, from a folder whose name has a blank:
# the editor's title names the package once it is loaded.
books="$WINEPREFIX/drive_c/my books"
mkdir -p "$books"
cp -r "$dir/samples/lantern" "$books/"
# In the background: without the association, start waits on its message box.
wine start /unix "$books/lantern/lantern.opf" &
opened=false
for _ in $(seq 120); do
    if xwininfo -root -tree | grep -qF '"Quirebound Publisher - lantern.opf"'; then
        opened=true
        break
    fi
    sleep 0.5
done
$opened || fail "opening $books/lantern/lantern.opf through its association showed no editor naming it"
# The editor runs until it is closed: end this prefix's programs.
wineserver -k
wineserver -w

uninstall="$(value "$uninstall_key" QuietUninstallString)"
[ "$uninstall" = "\"$windows_dir\\uninstall.exe\" /S" ] || fail "the quiet uninstall command is: $uninstall"
wine "$windows_dir\\uninstall.exe" /S
# The uninstaller goes on from a copy of itself: wait for every process.
wineserver -w
[ ! -e "$dir" ] || fail "left behind: $(find "$dir")"
[ ! -e "$shortcut" ] || fail "the Start-menu entry is left"
for key in "$uninstall_key" "$classes\\.opf" "$classes\\Quirebound.Package" "$machine\\.opf" \
    "$machine\\Quirebound.Package"; do
    ! wine reg query "$key" >/dev/null 2>&1 || fail "the registry key $key is left"
done
wineserver -w
! grep -i quirebound "$WINEPREFIX/user.reg" "$WINEPREFIX/system.reg" || fail "the registry still names the program"
echo "installed, published, associated and uninstalled"
