#!/usr/bin/env bash
# A list of one text repeated against as many distinct texts: a repeat must cost
# no more than a text of its own (it once cost time that grew with the square of
# the list). Wall time and peak memory, the median of a few runs each, on a tmpfs
# of its own. Run as root. Usage: batch_repeats.sh [TALLYLINE] [LINES] [RUNS]
set -euo pipefail
root=$(cd "$(dirname "$0")/.." && pwd)
tallyline=${1:-$root/build-release/app/tallyline}
lines=${2:-10000}
runs=${3:-3}
[ -x "$tallyline" ] || { echo "no program at $tallyline: build it first (./scripts/run builds build-release)"; exit 2; }
[ -x /usr/bin/time ] || { echo "/usr/bin/time is missing: apt-get install time"; exit 2; }
[ "${TALLYLINE_IN_TMPFS:-}" ] || exec unshare --mount --propagation private env TALLYLINE_IN_TMPFS=1 "$0" "$tallyline" "$lines" "$runs"

work=$(mktemp -d)
mount -t tmpfs tmpfs "$work"
trap 'umount "$work"; rmdir "$work"' EXIT
awk -v n="$lines" 'BEGIN { for (i = 0; i < n; ++i) print "REPEATED 39" }' > "$work/repeated"
seq -f "DISTINCT %.0f" "$lines" > "$work/distinct"

printf '%-10s %8s %10s %12s\n' list lines seconds "peak KiB"
for list in repeated distinct; do
  measures=()
  for _ in $(seq "$runs"); do
    rm -rf "$work/out"
    measures+=("$(/usr/bin/time -f '%e %M' "$tallyline" --batch "$work/$list" -d "$work/out" 2>&1 > /dev/null | tail -n 1)")
  done
  median=$(printf '%s\n' "${measures[@]}" | sort -g | sed -n "$(( (runs + 1) / 2 ))p")
  printf '%-10s %8d %10s %12s\n' "$list" "$lines" ${median}
done
