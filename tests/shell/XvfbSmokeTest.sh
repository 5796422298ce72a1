#!/usr/bin/env bash
# The real binary on a real X server: the window appears with its title, shows
# the start-up picture, and a close request ends it with status 0.
# Usage: XvfbSmokeTest.sh VIEWER CLOSE-HELPER WORK-DIR
set -euo pipefail
viewer=$1 close_helper=$2 work=$3
source "$(dirname "$0")/XSession.sh"
require_tools Xvfb xdotool xwininfo xprop xwd convert

rm -rf "$work"
mkdir -p "$work"
trap end_session EXIT
start_xvfb 1024x768x24
start_viewer
title="QORN-V Struktur: Ikosaeder"
xprop -id "$window" _NET_WM_NAME | grep -qF "\"$title\"" || fail "_NET_WM_NAME"

read -r left top < <(client_origin)
shot
find_menu_line
node1=$(pixel $((left + 400)) $((top + menu_line + 195)))
[[ $node1 == E6009B ]] || fail "node 1 is #$node1, not scharlach #E6009B"
echo "window $window at $left,$top, menu-bar line $menu_line, node 1 #$node1"

"$close_helper" "$window"
expect_exit "the close request"
echo "closed with exit status 0"
