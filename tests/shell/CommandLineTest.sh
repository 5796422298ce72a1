#!/usr/bin/env bash
# Without X11 or Wayland the viewer says why on stderr and exits with status 1
# instead of letting Qt abort.
# Usage: NoDisplayTest.sh VIEWER
set -uo pipefail
errors=$(env -u DISPLAY -u WAYLAND_DISPLAY -u QT_QPA_PLATFORM "$1" 2>&1 >/dev/null)
status=$?
echo "status $status: $errors"
[[ $status == 1 ]] || { echo "FAIL: exit status $status, not 1"; exit 1; }
grep -q "DISPLAY" <<<"$errors" || { echo "FAIL: the message does not name DISPLAY"; exit 1; }
