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
echo "== One multi-page PDF of 10,000 labels (--batch LIST -o FILE.pdf)"
work=$(mktemp -d)
trap 'rm -rf "$work"' EXIT
for i in $(seq 10000); do printf 'LABEL-%05d\n' "$i"; done > "$work/texts"
if ! "$tallyline" --batch "$work/texts" -o "$work/labels.pdf" > /dev/null 2>&1 || [ ! -s "$work/labels.pdf" ]; then
  echo "not available"
  exit 0
fi
times=()
for _ in 1 2 3; do
  rm -f "$work/labels.pdf"
  start=$(date +%s.%N)
  "$tallyline" --batch "$work/texts" -o "$work/labels.pdf" > /dev/null 2>&1
  end=$(date +%s.%N)
  times+=("$(awk -v a="$start" -v b="$end" 'BEGIN { print b - a }')")
done
median=$(printf '%s\n' "${times[@]}" | sort -g | sed -n 2p)
awk -v s="$median" 'BEGIN { printf "median of 3: %.3f s, %.1f us a label\n", s, s * 100 }'
