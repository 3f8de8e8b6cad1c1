#!/usr/bin/env bash
# The window's start and memory beside the toolkit's floor, a bare window of
# a text box and a picture (bench/bare_window.cpp), both started the same way
# on an X server of the script's own: milliseconds from the start of the
# process to its first frame drawn, the processor time it took to get there
# (steadier than the wall clock on a busy machine), and its resident memory
# (VmRSS, and the peak VmHWM) at that frame, as the preloaded mark
# (bench/FirstPaintMark.cpp) reads them. Each round starts the two programs in
# turn, STARTS times each, and takes the medians; the figures are the medians
# of the rounds. It names too what the window maps by its first frame that only
# a print or a picture file needs: their loading, relocation and memory would
# be paid at every start, though few runs print or read a picture file.
# Usage: start_vs_bare.sh [BUILD] [ROUNDS] [STARTS]
set -euo pipefail
root=$(cd "$(dirname "$0")/.." && pwd)
build=${1:-$root/build-release}
rounds=${2:-3}
starts=${3:-9}
program=$build/app/tallyline
bare=$build/bench/bench_bare_window
mark=$build/bench/libbench_first_paint_mark.so
for file in "$program" "$bare" "$mark"; do
  [ -e "$file" ] || { echo "no $file: build $build first"; exit 2; }
done
for tool in Xvfb dbus-daemon; do
  command -v "$tool" > /dev/null || { echo "$tool is missing"; exit 2; }
done

python3 - "$program" "$bare" "$mark" "$rounds" "$starts" << 'PYTHON'
import os, statistics, subprocess, sys, tempfile, time

program, bare, mark_library, rounds, starts = sys.argv[1], sys.argv[2], sys.argv[3], int(sys.argv[4]), int(sys.argv[5])
work = tempfile.mkdtemp()
# Ahead of other work on the machine where allowed (root), the X server and
# the programs alike: they inherit it.
try:
    os.nice(-15)
except PermissionError:
    pass
mark = os.path.join(work, "mark")
runtime = os.path.join(work, "runtime")
os.mkdir(runtime, 0o700)

# An X server and a session bus of our own, as a desktop has: the toolkit
# asks the bus whether a screen reader listens.
read_end, write_end = os.pipe()
xvfb = subprocess.Popen(["Xvfb", "-displayfd", str(write_end), "-screen", "0", "1280x1024x24", "-nolisten", "tcp"],
                        pass_fds=[write_end], stderr=subprocess.DEVNULL)
os.close(write_end)
display = ":" + os.read(read_end, 64).decode().strip()
bus = subprocess.Popen(["dbus-daemon", "--session", "--nofork", "--print-address=1"],
                       stdout=subprocess.PIPE, stderr=subprocess.DEVNULL, text=True)
address = bus.stdout.readline().strip()

env = {
    "PATH": os.environ.get("PATH", "/usr/bin:/bin"),
    "HOME": os.environ.get("HOME", work),
    "LANG": "C.UTF-8",
    "DISPLAY": display,
    "XDG_RUNTIME_DIR": runtime,
    "DBUS_SESSION_BUS_ADDRESS": address,
    "QT_QPA_PLATFORM": "xcb",
    "LD_PRELOAD": mark_library,
    "TALLYLINE_FIRST_PAINT_MARK": mark,
}

def start(binary):
    """Milliseconds to the first frame and of processor time, and MiB resident and at peak then."""
    if os.path.exists(mark):
        os.unlink(mark)
    begun = time.monotonic_ns()
    process = subprocess.Popen([binary], env=env, stdout=subprocess.DEVNULL, stderr=subprocess.DEVNULL)
    try:
        process.wait(timeout=60)
    except subprocess.TimeoutExpired:
        process.kill()
        raise SystemExit(f"{binary} drew nothing within a minute")
    if not os.path.exists(mark):
        raise SystemExit(f"{binary} ended with status {process.returncode} before its first frame")
    with open(mark) as file:
        painted, processor, rss, hwm = map(int, file.read().split())
    return (painted - begun) / 1e6, processor / 1e6, rss / 1024, hwm / 1024

try:
    names = {"bare": bare, "tallyline": program}
    for binary in names.values():
        start(binary)  # caches warmed, for either
    results = {name: [] for name in names}
    for round_number in range(rounds):
        # Start by start, the two programs take turns: a load that comes and
        # goes on the machine falls on both alike.
        runs = {name: [] for name in names}
        for _ in range(starts):
            for name, binary in names.items():
                runs[name].append(start(binary))
        for name in names:
            results[name].append(tuple(statistics.median(run[i] for run in runs[name]) for i in range(4)))
    print(f"window start and memory: median of {rounds} alternating rounds, each the median of {starts} starts")
    print(f"{'':18} {'bare':>8} {'tallyline':>10} {'ratio':>6}   rounds (tallyline)")
    for i, (label, unit) in enumerate([("start to drawn", "ms"), ("processor", "ms"),
                                          ("VmRSS then", "MiB"), ("VmHWM then", "MiB")]):
        ours = statistics.median(r[i] for r in results["tallyline"])
        floor = statistics.median(r[i] for r in results["bare"])
        each = " ".join(f"{r[i]:.1f}" for r in results["tallyline"])
        print(f"{label + ' (' + unit + ')':18} {floor:8.1f} {ours:10.1f} {ours / floor:6.2f}   {each}")
    start(program)
    with open(mark + ".maps") as maps:
        mapped = maps.read()
    later = [path for path in ("/libcups.so", "/plugins/printsupport/", "/plugins/imageformats/", "/libjpeg.so")
             if path in mapped]
    print(f"mapped at the first frame, of what only a print or a picture file needs: {', '.join(later) or 'nothing'}")
finally:
    bus.terminate()
    xvfb.terminate()
    bus.wait()
    xvfb.wait()
PYTHON
