#!/usr/bin/env bash
# qornv-render writes the same bytes on every system: the statistics as CSV and
# JSON, a dump and the SVG picture of a fixed file and of the start-up sequence
# equal the files kept beside this script (written by the Linux build). The
# Windows build runs this under Wine, so its output is checked against Linux's.
# Usage: SameBytesTest.sh WORK-DIR QORNV-RENDER [WRAPPER...]
#   e.g. SameBytesTest.sh work build/tools/qornv-render
#        SameBytesTest.sh work qornv-render.exe build-windows/build/wine-run
#   SAME_BYTES_WRITE=1 writes the expected files anew instead of comparing.
set -euo pipefail
work=$1 render=$2
shift 2
wrapper=("$@")
expected="$(cd "$(dirname "$0")" && pwd)/same-bytes"
rm -rf "$work"
mkdir -p "$work"
cd "$work" # relative names: the same argument bytes on every system
printf '2026-12-08;12:00:00;PH;0000001;A;%s\n' 1 2 5 0 9 13 12 44 3 >run.kzt
printf 'QORN-V Lauf 1\n' >>run.kzt

outputs=(stats.csv stats.json octahedron.json dump.txt run.svg startup.svg)
"${wrapper[@]}" "$render" --stats run.kzt >stats.csv
"${wrapper[@]}" "$render" --stats --format json run.kzt >stats.json
"${wrapper[@]}" "$render" --stats --view octahedron --format json run.kzt >octahedron.json
"${wrapper[@]}" "$render" --dump --size 300x200 run.kzt >dump.txt
"${wrapper[@]}" "$render" -o run.svg run.kzt
"${wrapper[@]}" "$render" -o startup.svg
if [[ -n ${SAME_BYTES_WRITE:-} ]]; then
    cp "${outputs[@]}" "$expected/"
    echo "wrote ${outputs[*]} to $expected"
    exit 0
fi
status=0
for output in "${outputs[@]}"; do
    if ! cmp -s "$output" "$expected/$output"; then
        echo "FAIL: $output differs from the expected bytes:"
        diff "$expected/$output" "$output" | head -n 5 || true
        status=1
    fi
done
((status == 0)) && echo "the same bytes: ${outputs[*]}"
exit $status
