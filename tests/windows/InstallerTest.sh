#!/usr/bin/env bash
# The Windows installer under Wine, as a lab deploys it: silently for the
# current user and for all users, into the default folder and into one given
# with /D=. Each time the programs, the Start-menu entry (starting in the
# user's folder), the .kzt association (which opens a file in the viewer) and
# the entry in "Apps & features" must be there; the silent uninstall must leave
# no file, shortcut or registry key behind.
# Usage: InstallerTest.sh SETUP.exe WORK-DIR
set -euo pipefail
setup=$1 work=$2
source "$(dirname "$0")/../shell/XSession.sh"
require_tools Xvfb xdotool xwininfo wine wineserver

rm -rf "$work"
mkdir -p "$work"
export WINEPREFIX="$work/prefix" WINEDEBUG=-all WINEDLLOVERRIDES="mscoree,mshtml="
trap 'end_session; wineserver -k 2>/dev/null || true' EXIT
start_xvfb 1280x1024x24
unset QT_QPA_PLATFORM
wineboot --init >/dev/null 2>&1 || true
wineserver -w

uninstall_key='HKEY_CURRENT_USER\Software\Microsoft\Windows\CurrentVersion\Uninstall\QORN-V Sequenzbetrachter'
# The value of NAME (or the default value for /ve) under KEY, empty when missing.
reg_value() {
    local which=(/ve)
    [[ -z ${2:-} ]] || which=(/v "$2")
    { wine reg query "$1" "${which[@]}" 2>/dev/null || true; } | tr -d '\r' |
        awk -F'    ' 'NF >= 4 { print $4; exit }'
}
unix_path() { winepath -u "$1" 2>/dev/null | tr -d '\r'; }
# Every file and key the program could have left, as a list.
traces() {
    local hive=$1
    find "$WINEPREFIX/drive_c" -iname '*qornv*' -o -iname '*QORN-V*' | LC_ALL=C sort
    wine reg query "$hive\\Software\\Classes\\.kzt" >/dev/null 2>&1 && echo "$hive\\Software\\Classes\\.kzt"
    wine reg query "$hive\\Software\\Classes\\QORNV.Sequenz" >/dev/null 2>&1 &&
        echo "$hive\\Software\\Classes\\QORNV.Sequenz"
    wine reg query "${uninstall_key/HKEY_CURRENT_USER/$hive}" >/dev/null 2>&1 && echo "$uninstall_key"
    return 0
}

# Runs the command and waits for a viewer window showing the file, then ends it.
expect_viewer() {
    local what=$1
    shift
    "$@" >/dev/null 2>&1 &
    wait_long title_window "QORN-V Struktur: Ikosaeder" || fail "$what starts no viewer"
    wine taskkill /im qornv-viewer.exe >/dev/null 2>&1 || true
    wineserver -w
}

# The working folder a shortcut starts in: the UTF-16 string after those of
# its name and relative path, each there as the link's flags (offset 20) say.
number_at() { od -An -v --endian=little -tu"$3" -j "$2" -N "$3" "$1" | tr -d ' '; }
link_working_folder() {
    local link=$1 at=76 flags length bit
    flags=$(number_at "$link" 20 4)
    ((flags & 1)) && at=$((at + 2 + $(number_at "$link" $at 2)))
    ((flags & 2)) && at=$((at + $(number_at "$link" $at 4)))
    for bit in 4 8 16; do
        ((flags & bit)) || continue
        length=$(number_at "$link" $at 2)
        ((bit != 16)) || tail -c +$((at + 3)) "$link" | head -c $((2 * length)) |
            iconv -f UTF-16LE -t UTF-8 | tr -d '\0'
        at=$((at + 2 + 2 * length))
    done
}

# OPTION (/CURRENTUSER or /ALLUSERS), its hive, the folder the installation
# must land in as a glob, the working folder its Start-menu entry must start
# in, and a folder to give with /D= or none.
check_mode() {
    local option=$1 hive=$2 key=${uninstall_key/HKEY_CURRENT_USER/$2} expected=$3 start=$4
    local given=(${5:+"/D=$5"})
    [[ -z $(traces "$hive") ]] || fail "traces before installing: $(traces "$hive")"
    wine "$setup" /S "$option" "${given[@]}" || fail "$option ${given[*]}: the installer failed"
    wineserver -w
    option="$option ${given[*]}"
    local folder
    folder=$(reg_value "$key" InstallLocation)
    [[ -n $folder ]] || fail "$option: no entry in Apps & features"
    # A leading * stands for the user's own folders; the rest is matched as it is.
    [[ $folder == "$expected" || ($expected == '*'* && $folder == *"${expected#\*}") ]] ||
        fail "$option: installed to $folder, not $expected"
    [[ $(reg_value "$key" DisplayVersion) =~ ^[0-9]+\.[0-9]+\.[0-9]+$ ]] || fail "$option: no version"
    [[ $(reg_value "$key" UninstallString) == *Uninstall.exe* ]] || fail "$option: no uninstaller"
    local unix
    unix=$(unix_path "$folder")
    for program in qornv-viewer.exe qornv-render.exe qornv-render-picture.exe Qt6Widgets.dll \
        plugins/platforms/qwindows.dll translations/qtbase_de.qm Uninstall.exe; do
        [[ -f $unix/$program ]] || fail "$option: $program is not installed in $unix"
    done
    local link
    link=$(find "$WINEPREFIX/drive_c" -name 'QORN-V Sequenzbetrachter.lnk' | head -n 1)
    [[ -n $link ]] || fail "$option: no Start-menu entry"
    [[ $(link_working_folder "$link") == "$start" ]] ||
        fail "$option: the Start-menu entry starts in $(link_working_folder "$link"), not $start"
    [[ $(reg_value "$hive\\Software\\Classes\\.kzt") == QORNV.Sequenz ]] ||
        fail "$option: .kzt is not associated"
    [[ $(reg_value "$hive\\Software\\Classes\\QORNV.Sequenz\\shell\\open\\command") == *qornv-viewer.exe*%1* ]] ||
        fail "$option: no open command for .kzt"
    [[ $(reg_value "$hive\\Software\\Classes\\QORNV.Sequenz\\DefaultIcon") == *qornv-viewer.exe* ]] ||
        fail "$option: no icon for .kzt"

    # The open command as registered, run as Explorer runs it on a double-click,
    # starts the viewer with the file. Wine's own shell reads only the machine's
    # classes (Windows merges the user's in), so `start` is tried for all users.
    printf ';;;;;%s\n' 1 2 3 >"$work/lauf.kzt"
    local command program
    command=$(reg_value "$hive\\Software\\Classes\\QORNV.Sequenz\\shell\\open\\command")
    program=$(sed -n 's/^"\([^"]*\)" "%1"$/\1/p' <<<"$command")
    [[ -n $program ]] || fail "$option: the open command is not '\"PROGRAM\" \"%1\"': $command"
    expect_viewer "$option, the registered command" wine "$program" "$(winepath -w "$work/lauf.kzt")"
    if [[ $hive == HKEY_LOCAL_MACHINE ]]; then
        expect_viewer "$option, as the shell opens it" wine start /unix "$work/lauf.kzt"
    fi

    # The uninstaller copies itself away and ends at once; the copy's end is
    # the end of all Wine processes.
    wine "$unix/Uninstall.exe" /S "${option%% *}" || fail "$option: the uninstaller failed"
    wineserver -w
    [[ -z $(traces "$hive") ]] || fail "$option: left behind: $(traces "$hive")"
    echo "$option: installed to $folder, associated, uninstalled without a trace"
}

documents=$(wine cmd /c 'echo %USERPROFILE%\Documents' 2>/dev/null | tr -d '\r')
folder='C:\Messplatz\QORNV'
check_mode /CURRENTUSER HKEY_CURRENT_USER '*\Programs\QORN-V Sequenzbetrachter' "$documents"
check_mode /CURRENTUSER HKEY_CURRENT_USER "$folder" "$documents" "$folder"
check_mode /ALLUSERS HKEY_LOCAL_MACHINE '*\Program Files\QORN-V Sequenzbetrachter' '%USERPROFILE%'
check_mode /ALLUSERS HKEY_LOCAL_MACHINE "$folder" '%USERPROFILE%' "$folder"
