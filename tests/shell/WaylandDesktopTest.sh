#!/usr/bin/env bash
# The native Wayland viewer on headless compositors, as a person uses it.
#   sway SCALE: tiled by sway on an output at scale 1 or 2. The start-up
#     picture is the one qornv-render draws; the menus switch the view with
#     title and ticks; "Löschen" stays across the viewer's own dialogs; a name
#     typed into the requester opens (and a missing one brings "Fehler!"); the
#     file shown grows on screen as it grows; "Schliesen" ends with status 0.
#   closes: sway closes two viewers at once, 30 times; each ends within 1 s.
#   weston: the start-up picture under weston's desktop shell.
# Every run prints how long the first picture took.
# Usage: WaylandDesktopTest.sh VIEWER QORNV-RENDER POINTER-HELPER WORK-DIR sway 1|2 | closes | weston
set -euo pipefail
viewer=$1 render=$2 pointer_helper=$3 work=$4 mode=$5 scale=${6:-1}
source "$(dirname "$0")/WaylandSession.sh"
require_tools convert compare

rm -rf "$work"
mkdir -p "$work/home" "$work/config"
trap end_wayland_session EXIT
export HOME="$work/home" XDG_CONFIG_HOME="$work/config"

# The output: 700x600 logical pixels, room for the 540x540 window and its
# dialogs.
output_size=$(awk -v s="$scale" 'BEGIN { printf "%dx%d", 700 * s, 600 * s }')

# Starts the viewer and waits for its window and the first picture (the white
# centre node); says how long that took.
start_viewer() {
    local started
    started=$(date +%s%N)
    "$viewer" "$@" >"$work/viewer.log" 2>&1 &
    viewer_pid=$!
    wait_long title_window "QORN-V Struktur: Ikosaeder" || fail "no viewer window"
    wait_long picture_shown || fail "no picture in the window"
    echo "first picture after $((($(date +%s%N) - started) / 1000000)) ms"
}
picture_shown() {
    local x y w h _
    read -r x y w h _ <<<"$window"
    shot
    [[ $(count_colour "$(device "$x")" "$(device "$y")" "$(device "$w")" "$(device "$h")" FFFFFF) -gt 0 ]]
}

# qornv-render's picture at the screen's scale. ARGUMENTS go to qornv-render.
render_expected() {
    "$render" -o "$work/expected.png" --scale "$scale" "$@" || fail "qornv-render failed: $*"
}

# The drawing area's top-left W x H logical pixels against qornv-render's
# picture of the same size, without the frame's border and caption that the
# window draws over the picture. Prints how many pixels differ.
differing() {
    local w=$1 h=$2 frame
    frame=(-fill none -stroke black -strokewidth "$(device 6)"
        -draw "rectangle $(device 15),$(device 15) $(device 525),$(device 505)"
        -fill black -stroke none -draw "rectangle 0,0 $(device "$w"),$(device 32)")
    convert "$work/screen.png" -crop "$(device "$w")x$(device "$h")+$left+$((top + menu_line))" +repage \
        "${frame[@]}" "$work/view.png"
    convert "$work/expected.png" -crop "$(device "$w")x$(device "$h")+0+0" +repage \
        "${frame[@]}" "$work/expected-view.png"
    compare -metric AE "$work/view.png" "$work/expected-view.png" null: 2>&1 |
        awk '{ printf "%d\n", $1 + 0.5; exit }' || true
}
# Waits for the view to show qornv-render's picture for ARGUMENTS, drawn at
# the layout's size: W x H, the client area's size once a command placed the
# diagram (the menu-bar line counted), 540x540 at start.
expect_render() {
    local what=$1 w=$2 h=$3
    shift 3
    render_expected --size "${w}x$h" "$@"
    local rows=$((h - menu_line / scale))
    ((rows <= client_h - menu_line / scale)) || rows=$((client_h - menu_line / scale))
    wait_until eval 'shot && [[ $(differing $w $rows) == 0 ]]' ||
        fail "$what: $(differing "$w" "$rows") pixels differ from qornv-render's picture"
}

if [[ $mode == weston ]]; then
    start_weston "$output_size"
    # weston has no list of windows: the picture is found on the screen by
    # node 1, the one scharlach disc (worn down, so that the small one of the
    # window's icon vanishes).
    title_window() { window=0; }
    shot() { (cd "$work" && rm -f wayland-screenshot*.png && weston-screenshooter >/dev/null 2>&1 &&
        mv wayland-screenshot*.png screen.png); }
    node1() { convert "$1" -fill black +opaque "#E6009B" -fill white -opaque "#E6009B" \
        -morphology Erode Disk:2 -trim \
        -format '%X %Y\n' info: 2>/dev/null | tr -d +; }
    picture_shown() { shot && [[ -n $(node1 "$work/screen.png") && $(node1 "$work/screen.png") != -1* ]]; }
    start_viewer
    render_expected
    read -r sx sy < <(node1 "$work/screen.png")
    read -r ex ey < <(node1 "$work/expected.png")
    inner="460x400+40+40"
    convert "$work/screen.png" -crop "540x540+$((sx - ex))+$((sy - ey))" +repage -crop "$inner" \
        +repage "$work/view.png"
    convert "$work/expected.png" -crop "$inner" +repage "$work/expected-view.png"
    diff=$(compare -metric AE "$work/view.png" "$work/expected-view.png" null: 2>&1 | awk '{ print $1 + 0 }')
    [[ $diff == 0 ]] || fail "under weston $diff pixels differ from qornv-render's picture"
    echo "weston: the start-up picture is qornv-render's"
    exit 0
fi

start_sway "$output_size" "$scale" "$pointer_helper"

if [[ $mode == closes ]]; then
    # Both windows tiled side by side, closed by sway in one command.
    for run in $(seq 30); do
        "$viewer" >"$work/viewer-a.log" 2>&1 &
        a=$!
        "$viewer" >"$work/viewer-b.log" 2>&1 &
        b=$!
        wait_long eval '[[ $(windows_of $a) == 1 && $(windows_of $b) == 1 ]]' ||
            fail "run $run: the two windows did not appear"
        swaymsg -q '[app_id="de.qornv.viewer"] kill'
        closed=$(date +%s%N)
        wait_steps=20 wait_until eval '! kill -0 $a 2>/dev/null && ! kill -0 $b 2>/dev/null' ||
            { kill -9 $a $b 2>/dev/null; fail "run $run: a viewer outlived its window by 1 s"; }
        for pid in $a $b; do
            wait "$pid" || fail "run $run: exit status $? after the close"
        done
        gone_ms+=("$((($(date +%s%N) - closed) / 1000000))")
    done
    echo "30 double closes: every viewer gone, status 0, at most" \
        "$(printf '%s\n' "${gone_ms[@]}" | sort -n | tail -n 1) ms after the close"
    exit 0
fi

# GNOME's session with a Qt before 6.8: the viewer asks Qt for X11 before Qt
# starts. An X display that does not answer shows it: the viewer names that
# one alone and ends, though sway would have taken its window.
if [[ ${QORNV_GNOME_TAKES_X11:-0} == 1 ]]; then
    env -u QT_QPA_PLATFORM DISPLAY=:4711 XDG_CURRENT_DESKTOP=ubuntu:GNOME timeout 20 "$viewer" \
        >"$work/gnome.log" 2>&1 || true
    grep -qF "antwortet nicht (DISPLAY=»:4711«)" "$work/gnome.log" ||
        fail "GNOME's session: the viewer did not turn to X11: $(cat "$work/gnome.log")"
fi

start_viewer
read -r x y client_w client_h _ <<<"$window"
left=$(device "$x") top=$(device "$y")
echo "client area ${client_w}x$client_h at $x,$y (logical), scale $scale"
shot
find_menu_line
expect_render "the start-up picture" 540 540
expect_frame_edges count_colour B8B8B8

# The menu whose title lies at X: clicked until what changed below the menu
# bar is a popup's size (device pixels: popup_left popup_top width height).
popup_box() {
    shot
    convert "$work/before.png" "$work/screen.png" -compose difference -composite \
        -crop "+0+$((top + menu_line))" -colorspace gray -threshold 0 -trim \
        -format '%X %Y %w %h\n' info: 2>/dev/null | tr -d +
}
popup_open() {
    local w h
    read -r popup_left popup_top w h < <(popup_box)
    ((w > $(device 80) && h > $(device 60)))
}
open_menu() {
    local attempt
    shot
    cp "$work/screen.png" "$work/before.png"
    for attempt in 1 2 3; do
        click $((x + $1)) $((y + 9))
        wait_until popup_open && return 0
    done
    return 1
}
# Closes the open menu and waits until the screen is as before it opened, but
# for the pointer's arrow, which shows until it has been still for a moment.
popup_gone() {
    local w h
    read -r _ _ w h < <(popup_box)
    ((${w:-0} < $(device 24) && ${h:-0} < $(device 24)))
}
close_menu() { key_until Escape popup_gone || fail "the menu stays open"; }
choose() {
    local rows=(0 11 33 57)
    open_menu "$1" || fail "the menu at $1 did not open"
    click $(((popup_left + $(device 30)) / scale)) $(((popup_top + $(device "${rows[$2]}")) / scale))
}

# Whether item ROW (1 or 2) of "Ansicht" shows its tick: the check mark's
# dark pixels in its box.
tick_shown() {
    local rows=(0 11 33) dark
    open_menu $ansicht || fail "the Ansicht menu did not open"
    dark=$(convert "$work/screen.png" -crop "$(device 14)x$(device 14)+$((popup_left + $(device 8)))+$((popup_top + $(device $((rows[$1] - 7)))))" \
        +repage -colorspace gray -threshold 30% -format %c histogram:info:- | awk '/#000000/ { print $1 + 0 }')
    close_menu
    ((${dark:-0} > $(device 3)))
}
expect_ticked() {
    tick_shown "$1" && ! tick_shown $((3 - $1)) || fail "item $1 of Ansicht is not the one ticked"
}
expect_title() { wait_until title_window "QORN-V Struktur: $1" || fail "no title \"QORN-V Struktur: $1\""; }

# A path shows thousands of red pixels; bare nodes only node 2's red disc.
red_in_view() { shot; count_colour "$left" "$((top + menu_line))" "$(device "$client_w")" "$(device 440)" FF0000; }
path_floor=$((300 * scale * scale)) bare_ceiling=$((150 * scale * scale))
bare_shown() { (($(red_in_view) < bare_ceiling)); }
expect_bare() {
    local _
    wait_until bare_shown || fail "$1: path still shown ($(red_in_view) red pixels)"
    for _ in 1 2 3 4; do bare_shown || fail "$1: the path came back ($(red_in_view) red pixels)"; done
}

request_file() {
    local name=$1 attempt
    shift
    for attempt in 1 2 3; do
        keys -M ctrl a -m ctrl "$name" -k Return
        wait_until "$@" && return 0
        title_window "Photonensequenz-Datei öffnen:" && ! title_window "Fehler!" || return 1
    done
    return 1
}
open_requester() {
    choose $sequenz 1
    wait_long window_focused "Photonensequenz-Datei öffnen:" || fail "no requester"
    # As a person looks first: keys at once may come before Qt has given the
    # name field the focus.
    sleep 0.5
}
# KEY is sent again while the rest of the arguments (a command) do not
# succeed, at most three times: on a loaded machine a key may come before the
# window that has just appeared takes it.
key_until() {
    local key=$1 attempt
    shift
    for attempt in 1 2 3; do
        keys -k "$key"
        wait_until "$@" && return 0
    done
    return 1
}
cancel_requester() { key_until Escape eval '! title_window "Photonensequenz-Datei öffnen:"'; }
confirm_error() {
    wait_long window_focused "Fehler!" || fail "the error box has not the keyboard"
    sleep 0.5
    key_until Return eval '! title_window "Fehler!"' || fail "error box stays open"
}

expect_title Ikosaeder
expect_ticked 1
choose $ansicht 2 # Oktaaedrisch
expect_title Oktaeder
expect_ticked 2
# No file yet: the octahedron has no path, placed anew in the whole client area.
expect_render "the octahedron" "$client_w" "$client_h" --view octahedron
choose $ansicht 1 # Ikosaedrisch
expect_title Ikosaeder
expect_render "the icosahedron again" "$client_w" "$client_h"

# "Löschen" stays while the requester comes and goes and "Fehler!" is confirmed.
choose $ansicht 3 # Löschen
expect_bare "Löschen"
open_requester
cancel_requester || fail "requester stays open after Escape"
expect_bare "the requester cancelled after Löschen"
open_requester
request_file "$work/missing" title_window "Fehler!" || fail "no error box for a missing file"
confirm_error
expect_bare "Fehler! confirmed after Löschen"
title_window "QORN-V Struktur: Ikosaeder"

# A typed name without its extension opens the file; the view follows it.
file="$work/Messung Grüße.kzt"
line() {
    local node
    for node; do printf "2026-12-08;12:00:00;PH;%07d;A;%s\n" "$RANDOM" "$node"; done
}
line 1 2 3 4 >"$file"
open_requester
request_file "${file%.kzt}" eval '! title_window "Photonensequenz-Datei öffnen:"' || fail "requester stays open"
title_window "QORN-V Struktur: Ikosaeder"
expect_render "the file typed into the requester" "$client_w" "$client_h" "$file"
line 6 7 0 9 13 10 >>"$file"
expect_render "the file grown" "$client_w" "$client_h" "$file"
for _ in $(seq 20); do line 2 11 5 8 3; done >>"$file"
expect_render "the file grown by a hundred lines" "$client_w" "$client_h" "$file"

choose $sequenz 3 # Schliesen
expect_exit Schliesen
echo "sway at scale $scale: picture, menus, ticks, titles, requester, Fehler!, Löschen, growth, Schliesen"
