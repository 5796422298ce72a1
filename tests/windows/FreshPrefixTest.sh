#!/usr/bin/env bash
# Programs that start together on a new Wine prefix all run: the build's
# icons do so on a fresh clone. Before wine-run made a new prefix alone, three
# such starts failed in about every other round, so three rounds of four show
# it in most runs.
set -euo pipefail
wine_run="$1" program="$2" work="$3"
rm -rf "$work" && mkdir -p "$work"
for round in 1 2 3; do
    export QORNV_WINEPREFIX="$work/prefix-$round"
    pids=()
    for start in 1 2 3 4; do
        "$wine_run" "$program" 48 "$work/icon-$round-$start.png" 2>"$work/err-$round-$start" &
        pids[start]=$!
    done
    for start in 1 2 3 4; do
        wait "${pids[start]}" || {
            echo "round $round, start $start failed:" >&2
            cat "$work/err-$round-$start" >&2
            exit 1
        }
    done
    WINEPREFIX="$QORNV_WINEPREFIX" wineserver -k 2>/dev/null || true
done
