#!/usr/bin/env bash
# Our PNG files beside the same pixels written by libpng at compression level
# 9 (png_size_vs_libpng): the benchmark's 10,000 texts at --scale 1 and the
# first 200 of them at --scale 4 and --scale 10, each scale's total, how many
# files are larger than libpng's, and the worst file. The exit status is 3
# when any file is larger.
# Usage: png_size_vs_libpng.sh [BUILD] [TMPFS]
set -euo pipefail
root=$(cd "$(dirname "$0")/.." && pwd)
build=${1:-$root/build-release}
tmpfs=${2:-/dev/shm}
tallyline=$build/app/tallyline
compare=$build/bench/png_size_vs_libpng
[ -x "$tallyline" ] && [ -x "$compare" ] || { echo "no program or comparer in $build: build it first"; exit 2; }

work=$(mktemp -d -p "$tmpfs")
trap 'rm -rf "$work"' EXIT
python3 "$root/bench/batch_texts.py" "$work/texts"
head -n 200 "$work/texts" > "$work/texts200"

status=0
for run in "1 texts" "4 texts200" "10 texts200"; do
  set -- $run
  rm -rf "$work/out"
  "$tallyline" --batch "$work/$2" -d "$work/out" --scale "$1" > /dev/null 2>&1 || true
  printf -- '--scale %-3s ' "$1"
  "$compare" "$work/out" || status=$?
done
exit "$status"
