#!/usr/bin/env bash
# A keystroke to the repainted barcode (BM_Keystroke) beside the same
# benchmark built from an earlier revision, in three alternating rounds on
# this machine. A figure measured for that revision on another machine then
# gives ours there: its figure times the ratio. Builds the revision's
# benchmark, Release, in a folder of its own that it removes afterwards.
# Usage: keystroke_vs_revision.sh REVISION [BUILD]   (BUILD: ours, default build-release)
set -euo pipefail
root=$(cd "$(dirname "$0")/.." && pwd)
revision=${1:?usage: $0 REVISION [BUILD]}
build=${2:-$root/build-release}
ours=$build/bench/bench_mainwindow
[ -x "$ours" ] || { echo "no $ours: build $build first"; exit 2; }

work=$(mktemp -d)
cleanup() {
  git -C "$root" worktree remove --force "$work/tree" 2> /dev/null || true
  rm -rf "$work"
}
trap cleanup EXIT
git -C "$root" worktree add --quiet --detach "$work/tree" "$revision"
cmake -S "$work/tree" -B "$work/build" -G Ninja -DCMAKE_BUILD_TYPE=Release > /dev/null
cmake --build "$work/build" --target bench_mainwindow -j "$(nproc)" > /dev/null
theirs=$work/build/bench/bench_mainwindow

for _ in 1 2 3; do
  for binary in "$theirs" "$ours"; do
    QT_QPA_PLATFORM=offscreen "$binary" --benchmark_filter='^BM_Keystroke$' --benchmark_format=csv 2>/dev/null |
      grep '^"BM_Keystroke"' | sed "s|^|$([ "$binary" = "$ours" ] && echo ours || echo theirs),|"
  done
done | python3 -c '
import csv, statistics, sys
wall = {}
for row in csv.reader(sys.stdin):
    wall.setdefault(row[0], []).append(float(row[3]))
ours, theirs = statistics.median(wall["ours"]), statistics.median(wall["theirs"])
print(f"keystroke, median of 3 alternating rounds: ours {ours:.0f} us, '"$revision"' {theirs:.0f} us, ratio {ours / theirs:.2f}")'
