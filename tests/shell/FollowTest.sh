#!/usr/bin/env bash
# The real viewer follows a sequence file that another process writes, on a
# real X server with no window manager or under openbox: after each append the
# screen shows the picture qornv-render draws of the file as it then stands; a
# file renamed over it is drawn anew; a deleted file leaves the picture until a
# file of that name appears again; growth while "Fehler!" is open waits until
# the box is confirmed.
# With `cuts`, without a window manager: lines cut by the writer at every byte
# position, also around "Löschen", instead.
# Usage: FollowTest.sh VIEWER QORNV-RENDER WORK-DIR nowm|openbox|cuts
set -euo pipefail
viewer=$1 render=$2 work=$3 mode=$4
source "$(dirname "$0")/XSession.sh"
require_tools Xvfb xdotool xwininfo xprop import convert compare
[[ $mode != openbox ]] || require_wm openbox

rm -rf "$work"
mkdir -p "$work/home" "$work/config"
trap end_session EXIT
start_xvfb 1280x1024x24
[[ $mode != openbox ]] || start_openbox

file="$work/run.kzt"
# One data line per node number given.
line() {
    local node
    for node; do printf "2026-12-08;12:00:00;PH;%07d;A;%s\n" "$RANDOM" "$node"; done
}
line 1 2 3 4 >"$file"
HOME="$work/home" XDG_CONFIG_HOME="$work/config" start_viewer "$file"
read -r left top < <(client_origin)

shot
find_menu_line

# Inside SequenceFrame's border, where the picture alone shows.
inner="460x400+40+40"
view_shot() {
    shot
    convert "$work/screen.png" -crop "540x$((540 - menu_line))+$left+$((top + menu_line))" \
        +repage -crop "$inner" +repage "$work/view.png"
}
# The picture of the file as it stands, cut as the screen is, with the part
# that `mask` (WxH+X+Y in drawing-area pixels) names blacked out in both.
mask=""
expected_picture() {
    "$render" -o "$work/full.png" "$file" || fail "qornv-render could not draw the file"
    convert "$work/full.png" -crop "$inner" +repage "$work/expected.png"
}
differing() {
    local a="$work/view.png" b="$work/expected.png"
    if [[ -n $mask ]]; then
        read -r w h x y <<<"$(tr 'x+' '  ' <<<"$mask")"
        local box="rectangle $((x - 40)),$((y - 40)) $((x - 40 + w)),$((y - 40 + h))"
        convert "$a" -fill black -draw "$box" "$work/view-masked.png"
        convert "$b" -fill black -draw "$box" "$work/expected-masked.png"
        a="$work/view-masked.png" b="$work/expected-masked.png"
    fi
    # Newer ImageMagick prints the count as a fraction with its normalised value, "N.F (F)".
    compare -metric AE "$a" "$b" null: 2>&1 | awk '{ printf "%d\n", $1 + 0.5; exit }' || true
}
shows_file() { view_shot && [[ $(differing) == 0 ]]; }
expect_file() {
    expected_picture
    wait_until shows_file || fail "$1: $(differing) pixels differ from the file's picture"
}

expect_file "the file given on the command line"

# A writer that flushes in blocks cuts lines anywhere: each line below is cut
# at every byte position, its first part shown as it stands, then completed.
# After "Löschen" the completion shows only the path since then: the line
# alone, from node 4, or nothing when it gave no new step.
if [[ $mode == cuts ]]; then
    cut_lines=($';;;;;12\n' $'QORN-V Lauf\n' $';;;;;123\n')
    for text in "${cut_lines[@]}"; do
        for ((k = 0; k <= ${#text}; k++)); do
            line 1 2 3 4 >"$file"
            expect_file "written anew before ${text%$'\n'} cut at $k"
            printf %s "${text:0:k}" >>"$file"
            expect_file "${text%$'\n'} cut at $k"
            printf %s "${text:k}" >>"$file"
            expect_file "${text%$'\n'} cut at $k, completed"
        done
    done
    for text in "${cut_lines[@]}"; do
        for ((k = 0; k < ${#text}; k++)); do
            line 1 2 3 4 >"$file"
            expect_file "written anew before Löschen, ${text%$'\n'} cut at $k"
            printf %s "${text:0:k}" >>"$file"
            expect_file "${text%$'\n'} cut at $k, before Löschen"
            choose $ansicht 3 # Löschen
            shown=$';;;;;4\n'
            [[ $text != "${cut_lines[0]}" || $k == $((${#text} - 1)) ]] || shown+=$text
            printf %s "${text:k}" >>"$file"
            printf %s "$shown" >"$work/shown.kzt"
            saved=$file file="$work/shown.kzt"
            expected_picture
            file=$saved
            wait_until shows_file ||
                fail "Löschen, ${text%$'\n'} cut at $k, completed: $(differing) pixels differ"
        done
    done
    choose $sequenz 3 # Schliesen
    expect_exit Schliesen
    echo "lines cut at every byte show as the file stands, after Löschen only what came since"
    exit 0
fi
# Appends of whole lines, of a line in pieces (a provisional step read again),
# a tag line and a marker step.
line 6 7 >>"$file"
expect_file "two lines appended"
printf "2026-12-08;12:00:00;PH;1;A;1" >>"$file"
expect_file "an unended line"
printf "2\n" >>"$file"
expect_file "the line ended as step 12"
{ echo "QORN-V Lauf 2"; line 0 9 13 10; } >>"$file"
expect_file "a tag line, a marker and three steps"
for _ in $(seq 20); do line 2 11 5 8 3; done >>"$file"
expect_file "a hundred lines"

# Written anew elsewhere and renamed over the file.
line 13 12 11 10 >"$work/new.kzt"
mv "$work/new.kzt" "$file"
expect_file "a file renamed over it"

# Deleted: the picture stays; a file of that name appearing again is read.
expected_picture
rm "$file"
sleep 1.2
shows_file || fail "the picture changed when the file vanished: $(differing) pixels"
line 3 4 5 >"$file"
expect_file "a file of that name again"

# Growth while "Fehler!" is open waits: outside the box the picture stays.
expected_picture
choose $sequenz 1
wait_until title_window "Photonensequenz-Datei öffnen:" || fail "no requester"
request_file "$work/missing" title_window "Fehler!" || fail "no error box for a missing file"
read -r bx by bw bh < <(xwininfo -id "$window" | awk '/Absolute upper-left X/ { x = $NF }
    /Absolute upper-left Y/ { y = $NF } /Width:/ { w = $NF } /Height:/ { h = $NF }
    END { print x, y, w, h }')
# The box with room for a window manager's frame.
mask="$((bw + 60))x$((bh + 60))+$((bx - left - 30))+$((by - top - menu_line - 30))"
cp "$work/expected.png" "$work/before.png"
line 6 2 8 10 12 >>"$file"
expected_picture
cp "$work/expected.png" "$work/view.png"
cp "$work/before.png" "$work/expected.png"
(($(differing) > 0)) || fail "the growth would not show outside the box"
sleep 1.2
shows_file || fail "the view changed while Fehler! was open: $(differing) pixels"
title_window "Fehler!"
confirm_error_box || fail "error box stays open"
title_window "QORN-V Struktur: Ikosaeder"
mask=""
expect_file "growth once the box is confirmed"

choose $sequenz 3 # Schliesen
expect_exit Schliesen
echo "$mode: the view follows appends, replacement and deletion; growth waits behind Fehler!"
