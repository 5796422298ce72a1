#!/usr/bin/env bash
# Times qornv-render on a 3-million-line sequence file against the plainest
# tools that read the same bytes, and measures peak memory; SVG and PDF
# pictures are timed beside the PNG.
#
#   bench/compare-render.sh BUILD_DIR [RUNS]
#   WINDOWS_RELEASE=build-windows/stage/qornv-viewer-…-windows-x86_64 bench/compare-render.sh …
#     also times the Windows build under Wine against the Linux one (goal 1.5x)
#
# Goals: --check within 5x of `wc -l` (aim 3x) and at least 10x faster than
# awk splitting fields; -o (load and draw) at most 1.5x --check; --stats at
# most 1.2x --check with no more peak memory; peak memory under 150 MB for all;
# -o --scale 2 (the picture of a screen at 200 %) at most 1.5x -o.
set -euo pipefail

build=${1:?usage: compare-render.sh BUILD_DIR [RUNS]}
runs=${2:-5}
render="$build/tools/qornv-render"
[[ -x $render ]] || { echo "no qornv-render in $build/tools" >&2; exit 1; }
[[ -x /usr/bin/time ]] || { echo "needs /usr/bin/time (package time)" >&2; exit 1; }

work=$(mktemp -d /tmp/qornv-compare-XXXXXX)
trap 'rm -rf "$work"' EXIT
file="$work/run.kzt"
picture="$work/run.png"

# 3 million data lines of about 50 bytes, a tag line every thousand.
awk 'BEGIN {
    srand(2026)
    for (i = 0; i < 3000000; i++) {
        if (i % 1000 == 0) print "QORN-V Lauf 17 Block " i / 1000
        r = rand()
        node = r < 0.05 ? 0 : (r < 0.06 ? 14 + int(rand() * 86) : 1 + int(rand() * 13))
        printf "2026-12-08;12:%02d:%02d.%06d;PH;%07d;A;%d;0.%04d\n", \
            int(i / 60000) % 60, int(i / 1000) % 60, (i * 7919) % 1000000, i, node, i % 10000
    }
}' >"$file"
cat "$file" >/dev/null # into the page cache, as for every run below
bytes=$(stat -c %s "$file")

# Best wall time of $runs runs, in seconds.
best_time() {
    local best="" start end elapsed
    for ((i = 0; i < runs; i++)); do
        start=$(date +%s%N)
        "$@" >/dev/null 2>&1
        end=$(date +%s%N)
        elapsed=$((end - start))
        if [[ -z $best || $elapsed -lt $best ]]; then best=$elapsed; fi
    done
    awk -v ns="$best" 'BEGIN { printf "%.4f", ns / 1e9 }'
}

peak_mb() {
    /usr/bin/time -f %M -o "$work/rss" "$@" >/dev/null 2>&1
    awk '{ printf "%.1f", $1 / 1024 }' "$work/rss"
}

t_wc=$(best_time wc -l "$file")
t_awk=$(best_time awk -F';' '{print $6}' "$file")
t_check=$(best_time "$render" --check "$file")
t_stats=$(best_time "$render" --stats "$file")
t_stats_octa=$(best_time "$render" --stats --view octahedron --format json "$file")
t_picture=$(best_time "$render" -o "$picture" "$file")
t_picture2=$(best_time "$render" -o "$work/run2.png" --scale 2 "$file")
t_svg=$(best_time "$render" -o "$work/run.svg" "$file")
t_pdf=$(best_time "$render" -o "$work/run.pdf" "$file")
m_check=$(peak_mb "$render" --check "$file")
m_stats=$(peak_mb "$render" --stats "$file")
m_picture=$(peak_mb "$render" -o "$picture" "$file")
m_picture2=$(peak_mb "$render" -o "$work/run2.png" --scale 2 "$file")
m_svg=$(peak_mb "$render" -o "$work/run.svg" "$file")
m_pdf=$(peak_mb "$render" -o "$work/run.pdf" "$file")

ratio() { awk -v a="$1" -v b="$2" 'BEGIN { printf "%.2f", a / b }'; }
verdict() { awk -v v="$1" -v limit="$2" 'BEGIN { print (v <= limit ? "ok" : "MISSED") }'; }

echo "file: $(awk -v b="$bytes" 'BEGIN { printf "%.1f MB", b / 1e6 }'), $(wc -l <"$file") lines; best of $runs runs"
printf '%-34s %9s %9s %10s\n' "command" "seconds" "MB/s" "peak MB"
row() { printf '%-34s %9s %9.0f %10s\n' "$1" "$2" "$(awk -v b="$bytes" -v t="$2" 'BEGIN { print b / 1e6 / t }')" "$3"; }
row "wc -l" "$t_wc" "-"
row "awk -F';' '{print \$6}'" "$t_awk" "-"
row "qornv-render --check" "$t_check" "$m_check"
row "qornv-render --stats" "$t_stats" "$m_stats"
row "qornv-render --stats (octa, json)" "$t_stats_octa" "-"
row "qornv-render -o (load and draw)" "$t_picture" "$m_picture"
row "qornv-render -o --scale 2" "$t_picture2" "$m_picture2"
row "qornv-render -o run.svg" "$t_svg" "$m_svg"
row "qornv-render -o run.pdf" "$t_pdf" "$m_pdf"
echo "picture files: $(stat -c '%n %s B' "$picture" "$work/run.svg" "$work/run.pdf" | sed "s|$work/||" | paste -sd ' ')"
echo
check_wc=$(ratio "$t_check" "$t_wc")
awk_check=$(ratio "$t_awk" "$t_check")
picture_check=$(ratio "$t_picture" "$t_check")
printf '%-44s %7s  %s\n' "--check / wc -l        (goal <= 5, aim 3)" "$check_wc" "$(verdict "$check_wc" 5)"
printf '%-44s %7s  %s\n' "awk / --check          (goal >= 10)" "$awk_check" \
    "$(awk -v v="$awk_check" 'BEGIN { print (v >= 10 ? "ok" : "MISSED") }')"
printf '%-44s %7s  %s\n' "-o / --check           (goal <= 1.5)" "$picture_check" "$(verdict "$picture_check" 1.5)"
scaled_picture=$(ratio "$t_picture2" "$t_picture")
printf '%-44s %7s  %s\n' "-o --scale 2 / -o      (goal <= 1.5)" "$scaled_picture" "$(verdict "$scaled_picture" 1.5)"
stats_check=$(ratio "$t_stats" "$t_check")
printf '%-44s %7s  %s\n' "--stats / --check      (goal <= 1.2)" "$stats_check" "$(verdict "$stats_check" 1.2)"
printf '%-44s %7s  %s\n' "peak MB --stats        (goal <= --check)" "$m_stats" "$(verdict "$m_stats" "$m_check")"
printf '%-44s %7s  %s\n' "peak MB --check        (goal < 150)" "$m_check" "$(verdict "$m_check" 149.9)"
printf '%-44s %7s  %s\n' "peak MB -o             (goal < 150)" "$m_picture" "$(verdict "$m_picture" 149.9)"
printf '%-44s %7s  %s\n' "peak MB -o --scale 2   (goal < 150)" "$m_picture2" "$(verdict "$m_picture2" 149.9)"

# The Windows build under Wine on the same file, when one is given: a started
# Wine server first, so its start-up is not counted.
if [[ -n ${WINDOWS_RELEASE:-} ]]; then
    wine_render="$WINDOWS_RELEASE/qornv-render.exe"
    [[ -f $wine_render ]] || { echo "no qornv-render.exe in $WINDOWS_RELEASE" >&2; exit 1; }
    export WINEDEBUG=-all
    wineserver -p10 2>/dev/null || true
    wine "$wine_render" --version >/dev/null 2>&1
    t_wine_check=$(best_time wine "$wine_render" --check "$file")
    t_wine_version=$(best_time wine "$wine_render" --version)
    cmp -s <("$render" --stats "$file") <(wine "$wine_render" --stats "$file") &&
        same="same bytes" || same="DIFFERENT bytes"
    echo
    printf '%-44s %7s\n' "wine qornv-render.exe --version (start)" "$t_wine_version"
    printf '%-44s %7s\n' "wine qornv-render.exe --check" "$t_wine_check"
    wine_linux=$(ratio "$t_wine_check" "$t_check")
    printf '%-44s %7s  %s\n' "Wine / Linux --check   (goal <= 1.5)" "$wine_linux" "$(verdict "$wine_linux" 1.5)"
    echo "--stats on Windows and Linux: $same"
fi
