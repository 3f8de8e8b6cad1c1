#!/usr/bin/env bash
# Our batch against zint's, on the same 10,000 texts, for PNG and for SVG:
# wall time, files per second and the ratio, the median of a few runs each.
# Both draw Code 39 with two-pixel modules. Usage: batch_vs_zint.sh [TALLYLINE] [RUNS]
set -euo pipefail
root=$(cd "$(dirname "$0")/.." && pwd)
tallyline=${1:-$root/build-release/app/tallyline}
runs=${2:-5}
[ -x "$tallyline" ] || { echo "no program at $tallyline: build it first (./scripts/run builds build-release)"; exit 2; }
command -v zint > /dev/null || { echo "zint is missing: apt-get install zint"; exit 2; }

work=$(mktemp -d)
trap 'rm -rf "$work"' EXIT
# Mixed lengths from 1 to 23, characters with and without bars, some lower case.
python3 - "$work/texts" << 'PYTHON'
import random, sys
random.seed(39)
alphabet = "0123456789ABCDEFGHIJKLMNOPQRSTUVWXYZ-. $/+%abcxyz#"
with open(sys.argv[1], "w") as texts:
    for _ in range(10000):
        texts.write("".join(random.choice(alphabet) for _ in range(random.randint(1, 23))).strip() or "X")
        texts.write("\n")
PYTHON

# Median wall seconds of a command run into a fresh folder.
median_seconds() {  # median_seconds COMMAND...
  local times=()
  for _ in $(seq "$runs"); do
    rm -rf "$work/out" && mkdir "$work/out"
    local start end
    start=$(date +%s.%N)
    "$@" > /dev/null 2>&1 || true
    end=$(date +%s.%N)
    times+=("$(awk -v a="$start" -v b="$end" 'BEGIN { print b - a }')")
  done
  printf '%s\n' "${times[@]}" | sort -g | sed -n "$(( (runs + 1) / 2 ))p"
}

printf '%-6s %-10s %10s %12s %10s\n' format maker seconds files/s "µs/file"
for format in png svg; do
  ours=$(median_seconds "$tallyline" --batch "$work/texts" -d "$work/out" --format "$format")
  theirs=$(median_seconds zint --batch -i "$work/texts" -b 8 --filetype="$format" -o "$work/out/~~~~~.$format")
  for maker in tallyline zint; do
    seconds=$([ "$maker" = tallyline ] && echo "$ours" || echo "$theirs")
    awk -v f="$format" -v m="$maker" -v s="$seconds" 'BEGIN { printf "%-6s %-10s %10.3f %12.0f %10.1f\n", f, m, s, 10000 / s, s * 100 }'
  done
  awk -v f="$format" -v a="$ours" -v b="$theirs" 'BEGIN { printf "%-6s ratio ours/zint: %.2f\n", f, a / b }'
done
