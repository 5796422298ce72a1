#!/usr/bin/env bash
# The Windows viewer under Wine on a real X server with openbox, as a person
# uses it: the start-up picture is the one qornv-render.exe draws (on Wine's
# button-face colour), the menus switch the view with title and ticks,
# "Löschen" bares the nodes, "Öffnen" takes a name typed into the system's
# file dialog and shows "Fehler!" for a missing file, a run with the dialog
# leaves the user's registry and folders as they were, a file given as
# argument with umlauts and CJK characters in its name opens and is followed as it grows, and "Schliesen"
# ends the program with status 0. It runs the release folder as unpacked from
# the zip, in a Wine prefix of its own: Qt finds its plugins and German texts
# through the folder's qt.conf, the DLLs beside the programs.
# Usage: WineDesktopTest.sh RELEASE-FOLDER WORK-DIR
set -euo pipefail
release=$1 work=$2
source "$(dirname "$0")/../shell/XSession.sh"
require_tools Xvfb xdotool xwininfo xprop xwd convert compare openbox wine wineserver

rm -rf "$work"
mkdir -p "$work"
# A Wine prefix of the test's own: its first start takes a while, once.
export WINEPREFIX="$work/prefix" WINEDEBUG=-all WINEDLLOVERRIDES="mscoree,mshtml="
unset WINEPATH
stop_wine() { wineserver -k 2>/dev/null || true; }
trap 'end_session; stop_wine' EXIT
start_xvfb 1280x1024x24
unset QT_QPA_PLATFORM # Qt's own Windows platform
start_openbox
wineboot --init >/dev/null 2>&1 || true
wineserver -w

# The viewer as start_viewer starts it: a program of its own, under Wine.
viewer="$work/viewer"
printf '#!/bin/sh\nexec wine "%s" "$@"\n' "$release/qornv-viewer.exe" >"$viewer"
chmod +x "$viewer"
render() { wine "$release/qornv-render.exe" "$@"; }
# Wine's own complaints (a Unix root has no volume serial number) say nothing
# of the viewer; the screen at the failure says more.
fail() {
    echo "FAIL: $*"
    xwd -root -silent 2>/dev/null | convert xwd:- "$work/failure.png" 2>/dev/null || true
    local id
    for id in $(xdotool search --classname "$viewer_class" 2>/dev/null); do
        echo "window $id: $(xdotool getwindowname "$id" 2>/dev/null) $(xwininfo -id "$id" | grep -E 'Map State')"
    done
    [[ ! -f $work/viewer.log ]] || grep -v 'FS volume label and serial' "$work/viewer.log" |
        sed 's/^/viewer: /'
    exit 1
}

# Wine names its windows' class after the program.
viewer_class=qornv-viewer.exe

# A window of the viewer is drawn: black text or rims on its face. Wine maps a
# dialog before it has painted it, and takes keys only once it has.
drawn() {
    local id
    id=$(xdotool search --name "^$1\$" 2>/dev/null | head -n 1)
    [[ -n $id ]] && xwd -id "$id" -silent 2>/dev/null | convert xwd:- -format %c histogram:info:- |
        grep -q '#000000'
}
confirm_error() {
    wait_long drawn "Fehler!" || fail "the error box is not drawn"
    # As a person reads the box first: a key at once may reach Wine before
    # the box has taken the focus.
    sleep 1
    confirm_error_box || fail "error box stays open"
    # The menus that follow are the main window's again (title_window keeps
    # the window it found).
    wait_until title_window "QORN-V Struktur: Ikosaeder" || fail "no viewer window after Fehler!"
}

# Whether item ROW (1 or 2) of the "Ansicht" menu shows its tick: dark pixels
# of the check mark in the menu's tick column.
tick_shown() {
    local px py popup dark centres=(0 14 37)
    xdotool mousemove --window "$window" "$ansicht" 9 click 1
    wait_until open_popup >/dev/null || fail "the Ansicht menu did not open"
    read -r px py popup < <(open_popup)
    wait_until popup_drawn "$popup" || fail "the Ansicht menu is not drawn"
    dark=$(xwd -id "$popup" -silent | convert xwd:- -crop "22x20+3+$((centres[$1] - 10))" +repage \
        -colorspace Gray -threshold 30% -format %c histogram:info:- | awk '/#000000/ { print $1 + 0 }')
    xdotool key Escape
    wait_until eval '! open_popup >/dev/null' || fail "the Ansicht menu stays open"
    ((${dark:-0} > 5))
}
expect_ticked() {
    local other=$((3 - $1))
    tick_shown "$1" && ! tick_shown "$other" || fail "item $1 of Ansicht is not the one ticked"
}

file="$work/Messung Grüße 測定.kzt"
# A name as a Windows user types it: drive Z: and backslashes.
windows_name() { printf 'Z:%s' "${1//\//\\}"; }
# The user's part of the registry and the user's folders in the prefix.
user_state() {
    # Wine keeps pointer and desktop settings of its own under Temporary System
    # Parameters as the test moves the pointer; they are not the viewer's.
    { wine reg query HKCU /s 2>/dev/null || true; } | tr -d '\r' | grep -v '^$' |
        awk '/^HKEY_/ { wine = index($0, "HKEY_CURRENT_USER\\Software\\Wine\\Temporary System Parameters") == 1 } !wine' >"$work/$1.reg"
    find "$WINEPREFIX/drive_c/users" | sort >"$work/$1.files"
}
line() {
    local node
    for node; do printf "2026-12-08;12:00:00;PH;%07d;A;%s\n" "$RANDOM" "$node"; done
}

user_state before
start_viewer
read -r left top < <(client_origin)
shot
find_menu_line
echo "client area at $left,$top, menu bar $menu_line px"

# Inside the frame, where the picture alone shows; the background of the
# expected picture in Wine's face colour, read beside the frame.
inner="460x400+40+40"
face=$(pixel $((left + 5)) $((top + menu_line + 5)))
view_shot() {
    shot
    convert "$work/screen.png" -crop "$(device 540)x$(($(device 540) - menu_line))+$left+$((top + menu_line))" \
        +repage -crop "$inner" +repage "$work/view.png"
}
expected_picture() {
    render -o "$work/full.png" "$@" || fail "qornv-render.exe could not draw $*"
    convert "$work/full.png" -fill "#$face" -opaque "#EFEFEF" -crop "$inner" +repage \
        "$work/expected.png"
}
differing() {
    compare -metric AE "$work/view.png" "$work/expected.png" null: 2>&1 |
        awk '{ printf "%d\n", $1 + 0.5; exit }' || true
}
shows_expected() { view_shot && [[ $(differing) == 0 ]]; }
expect_picture() {
    local what=$1
    shift
    expected_picture "$@"
    wait_until shows_expected || fail "$what: $(differing) pixels differ from qornv-render's picture"
}

expect_picture "the start-up picture"
wait_until title_window "QORN-V Struktur: Ikosaeder" || fail "no icosahedron title"

choose $ansicht 2 # Oktaaedrisch
wait_until title_window "QORN-V Struktur: Oktaeder" || fail "no octahedron title"
expect_picture "the start-up octahedron" --view octahedron
expect_ticked 2
choose $ansicht 1 # Ikosaedrisch
wait_until title_window "QORN-V Struktur: Ikosaeder" || fail "no icosahedron title"
expect_picture "the start-up picture again"
expect_ticked 1
choose $ansicht 3 # Löschen
: >"$work/empty.kzt"
expect_picture "Löschen" "$work/empty.kzt"

# A missing file: "Fehler!", and the view stays.
choose $sequenz 1
wait_until title_window "Photonensequenz-Datei öffnen:" || fail "no requester"
request_file "$(windows_name "$work/missing")" title_window "Fehler!" ||
    fail "no error box for a missing file"
confirm_error

# A name typed into the requester, without its extension.
typed="$work/lauf.kzt"
line 1 2 3 4 >"$typed"
choose $sequenz 1
wait_until title_window "Photonensequenz-Datei öffnen:" || fail "no requester"
request_file "$(windows_name "${typed%.kzt}")" eval '! title_window "Photonensequenz-Datei öffnen:"' ||
    fail "requester stays open"
# A search while Wine takes the requester's windows down may find nothing.
wait_until title_window "QORN-V Struktur: Ikosaeder" || fail "no viewer window after the requester"
expect_picture "the file typed into the requester" "$typed"
line 6 7 >>"$typed"
expect_picture "two lines appended" "$typed"

choose $sequenz 3 # Schliesen
expect_exit Schliesen wait_long
# Neither Qt's settings (HKCU\Software\QtProject) nor anything else.
user_state after
diff "$work/before.reg" "$work/after.reg" >"$work/registry.diff" ||
    fail "the run changed the registry: $(head -n 20 "$work/registry.diff")"
diff "$work/before.files" "$work/after.files" >"$work/files.diff" ||
    fail "the run wrote into the user's folders: $(head -n 20 "$work/files.diff")"

# A file given as argument, with umlauts and CJK characters in its name, shown
# at once and followed as it grows.
line 1 2 3 4 >"$file"
start_viewer "Z:$file"
expect_picture "the file given as argument" "$file"
line 6 7 >>"$file"
expect_picture "two lines appended" "$file"
printf "2026-12-08;12:00:00;PH;1;A;1" >>"$file"
expect_picture "an unended line" "$file"
printf "2\n" >>"$file"
expect_picture "the line ended as step 12" "$file"
for _ in $(seq 20); do line 2 11 5 8 3; done >>"$file"
expect_picture "a hundred lines" "$file"
choose $sequenz 3 # Schliesen
expect_exit Schliesen wait_long
# At 150 %, the default of many laptops, set as Windows sets it (144 dpi):
# the diagram as qornv-render draws it at that scale, and the frame whole.
# (Wine hands no QT_ variable of the Unix environment to a Windows program.)
scale=1.5
wine reg add 'HKCU\Control Panel\Desktop' /v LogPixels /t REG_DWORD /d 144 /f >/dev/null 2>&1
wineserver -w
start_viewer
read -r left top < <(client_origin)
shot
find_menu_line
inner="$(device 460)x$(device 400)+$(device 40)+$(device 40)"
expect_picture "the start-up picture at $scale" --scale $scale
# The frame's colour is the style's: the one colour beside the face across
# its right edge.
frame=$(convert "$work/screen.png" -crop "$(device 30)x1+$((left + $(device 510)))+$((top + menu_line + $(device 260)))" \
    +repage -format %c histogram:info:- | grep -vi "#$face" | sort -rn | awk -F'#' 'NR == 1 { print substr($2, 1, 6) }')
expect_frame_edges count_colour "$frame"
choose $sequenz 3 # Schliesen
expect_exit Schliesen wait_long
echo "Wine: start-up picture, menus, Löschen, Öffnen, Fehler!, nothing written, following, Schliesen, 150 %"
