#!/usr/bin/env bash
# Every speed figure of the program in one run, from one Release build: the
# window's start and memory beside a bare window of the toolkit, a keystroke
# to its repainted barcode, the batch against zint for PNG and SVG, the PNG
# files' size beside libpng's, and a multi-page PDF of many labels, each
# label's share of its time.
# Usage: all.sh [BUILD]   (default: build-release; configure it with
# -DCMAKE_BUILD_TYPE=Release and build everything first)
set -euo pipefail
here=$(cd "$(dirname "$0")" && pwd)
build=${1:-$here/../build-release}
tallyline=$build/app/tallyline
[ -x "$tallyline" ] || { echo "no program at $tallyline: build it first"; exit 2; }
# Files are written and read on tmpfs where there is one, so that the disk
# does not time itself into the figures.
if [ -d /dev/shm ] && [ -w /dev/shm ]; then export TMPDIR=/dev/shm; fi

echo "== Start to first drawn window and memory, beside the bare window (goal: at most 1.10 each)"
"$here/start_vs_bare.sh" "$build"

echo
echo "== Keystroke to repainted barcode, shapes and screen reader's description included (goal: at most 140 us),"
echo "   beside the same keystroke in the toolkit's bare window, which draws nothing: three alternating rounds"
for _ in 1 2 3; do
  QT_QPA_PLATFORM=offscreen "$build/bench/bench_mainwindow" --benchmark_filter='Keystroke$' \
    --benchmark_format=csv 2>/dev/null | grep '^"BM_'
done | python3 -c '
import csv, statistics, sys
wall = {}
for row in csv.reader(sys.stdin):
    wall.setdefault(row[0], []).append(float(row[2]))
ours, bare = statistics.median(wall["BM_Keystroke"]), statistics.median(wall["BM_BareKeystroke"])
print(f"tallyline {ours:.0f} us, bare window {bare:.0f} us, ratio {ours / bare:.2f}")'

echo
echo "== Batch of 10,000 texts against zint"
"$here/batch_vs_zint.sh" "$tallyline" 3

echo
echo "== PNG files beside the same pixels written by libpng at level 9 (goal: none larger)"
"$here/png_size_vs_libpng.sh" "$build" || true

echo
echo "== One multi-page PDF of 10,000 labels (--batch LIST -o FILE.pdf; goal: at most 50 us a label),"
echo "   and its peak memory beside that of 1,000 and 100,000 labels (goal: within 10%)"
[ -x /usr/bin/time ] || { echo "/usr/bin/time is missing: apt-get install time"; exit 2; }
work=$(mktemp -d)
trap 'rm -rf "$work"' EXIT
for count in 1000 10000 100000; do
  awk -v n="$count" 'BEGIN { for (i = 1; i <= n; ++i) printf "LABEL-%05d\n", i }' > "$work/texts-$count"
done
if ! "$tallyline" --batch "$work/texts-1000" -o "$work/labels.pdf" > /dev/null 2>&1 || [ ! -s "$work/labels.pdf" ]; then
  echo "not available"
  exit 0
fi
# Seconds and peak KiB of one run.
measure() { /usr/bin/time -f '%e %M' "$tallyline" --batch "$work/texts-$1" -o "$work/labels.pdf" 2>&1 > /dev/null | tail -n 1; }
times=()
for _ in 1 2 3; do times+=("$(measure 10000)"); done
median=$(printf '%s\n' "${times[@]}" | sort -g | sed -n 2p)
awk -v s="${median% *}" 'BEGIN { printf "median of 3: %.3f s, %.1f us a label\n", s, s * 100 }'
peaks=("$(measure 1000)" "${median}" "$(measure 100000)")
awk -v a="${peaks[0]#* }" -v b="${peaks[1]#* }" -v c="${peaks[2]#* }" \
  'BEGIN { printf "peak memory: %d KiB for 1,000 labels, %d for 10,000, %d for 100,000 (%.2fx)\n", a, b, c, c / a }'
