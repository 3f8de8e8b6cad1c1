#!/usr/bin/env bash
# Our batch against zint's, on the same 10,000 texts, for PNG and for SVG:
# wall time, files per second and the ratio. Both draw Code 39 with two-pixel
# modules and quiet zones (ours its default ten modules, zint --quietzones),
# into a tmpfs so that the disk is not what is measured. The rounds alternate
# between the two programs, so that a slower spell of the machine falls on
# both; each figure is the median of the rounds.
# Usage: batch_vs_zint.sh [TALLYLINE] [ROUNDS] [TMPFS]
set -euo pipefail
root=$(cd "$(dirname "$0")/.." && pwd)
tallyline=${1:-$root/build-release/app/tallyline}
rounds=${2:-3}
tmpfs=${3:-/dev/shm}
[ -x "$tallyline" ] || { echo "no program at $tallyline: build it first (./scripts/run builds build-release)"; exit 2; }
command -v zint > /dev/null || { echo "zint is missing: apt-get install zint"; exit 2; }
[ "$(stat -f -c %T "$tmpfs")" = tmpfs ] || { echo "$tmpfs is not a tmpfs: name one as the third argument"; exit 2; }

work=$(mktemp -d -p "$tmpfs")
trap 'rm -rf "$work"' EXIT
python3 "$root/bench/batch_texts.py" "$work/texts"
files=$(wc -l < "$work/texts")

# Wall seconds of a command run into a fresh folder.
seconds() {  # seconds COMMAND...
  rm -rf "$work/out" && mkdir "$work/out"
  local start end
  start=$(date +%s.%N)
  "$@" > /dev/null 2>&1 || true
  end=$(date +%s.%N)
  awk -v a="$start" -v b="$end" 'BEGIN { print b - a }'
}

median() { printf '%s\n' "$@" | sort -g | sed -n "$(( ($# + 1) / 2 ))p"; }

printf '%-6s %-10s %10s %12s %10s\n' format maker seconds files/s "µs/file"
for format in png svg; do
  ours=() theirs=()
  for _ in $(seq "$rounds"); do
    ours+=("$(seconds "$tallyline" --batch "$work/texts" -d "$work/out" --format "$format")")
    theirs+=("$(seconds zint --batch -i "$work/texts" -b 8 --quietzones --filetype="$format" \
                        -o "$work/out/~~~~~.$format")")
  done
  ours_median=$(median "${ours[@]}")
  theirs_median=$(median "${theirs[@]}")
  for maker in tallyline zint; do
    s=$([ "$maker" = tallyline ] && echo "$ours_median" || echo "$theirs_median")
    awk -v f="$format" -v m="$maker" -v s="$s" -v n="$files" \
      'BEGIN { printf "%-6s %-10s %10.3f %12.0f %10.1f\n", f, m, s, n / s, s * 1e6 / n }'
  done
  awk -v f="$format" -v a="$ours_median" -v b="$theirs_median" 'BEGIN { printf "%-6s ratio ours/zint: %.2f\n", f, a / b }'
done
