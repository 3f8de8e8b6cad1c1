"""Where a batch lost lines, hung or left files behind. Reads fail and kills come through
strace; signals are sent once the program handles them."""

import fcntl
import os
import re
import signal
import socket
import stat
import subprocess

import pytest

from tallyline_e2e import SLOW_TIMEOUT, headless_env, run, wait_for

ENV = headless_env()
# LeakSanitizer cannot run under strace's ptrace.
TRACED = dict(ENV, ASAN_OPTIONS=":".join(filter(None, [ENV.get("ASAN_OPTIONS"), "detect_leaks=0"])))


def strace(binary, injected, *arguments, **options):
    return run("strace", "-f", "-o", "/dev/null", *map(str, injected), binary, *map(str, arguments), env=TRACED,
               text=True, timeout=SLOW_TIMEOUT, **options)


def names(folder):
    return sorted(path.name for path in folder.iterdir()) if folder.exists() else []


@pytest.mark.parametrize("listing, output", [("FIFO", "-d"), ("-", "-o")])
def test_read_fails_in_a_fifo(binary, folder, listing, output):
    """The second read fails, its third line cut: both batches write the two lines before it,
    nothing of the cut one, and name the loss, for a list named or on standard input."""
    fifo, out = folder / "fifo", folder / "out"
    os.mkfifo(fifo)
    with subprocess.Popen(["sh", "-c", f"exec >{fifo}; printf 'A1\\nA2\\nA'; sleep 1; echo 3"]), \
            open(fifo if listing == "-" else os.devnull) as stdin:
        result = strace(binary, ["-P", fifo, "-e", "trace=read", "-e", "inject=read:error=EIO:when=2"],
                        "--batch", fifo if listing == "FIFO" else "-", output,
                        out if output == "-d" else folder / "labels.pdf", stdin=stdin)
    name = fifo if listing == "FIFO" else "standard input"
    assert result.returncode == 1 and \
        f"tallyline: cannot read {name} past line 2: Input/output error" in result.stderr, result.stderr
    assert names(out) == (["A1.png", "A2.png"] if output == "-d" else [])


def handles(process, number):
    caught = re.search(r"SigCgt:\s*(\w+)", open(f"/proc/{process.pid}/status", encoding="ascii").read())
    return int(caught[1], 16) >> (number - 1) & 1


@pytest.mark.parametrize("source, number, written", [
    ("pipe", 0, 2), ("non-blocking pipe", 0, 2), ("pipe", signal.SIGHUP, 1), ("/dev/zero", signal.SIGINT, 0),
    ("FIFO", signal.SIGTERM, 0)])
def test_list_that_keeps_the_batch_waiting(binary, folder, source, number, written):
    """A line is written as it comes, a descriptor that does not block is waited on, and a
    signal ends a wait for a pipe's next line, an endless line's end, a FIFO's writer."""
    read_end, write_end = os.pipe()
    os.set_blocking(read_end, source != "non-blocking pipe")
    listing, out = {"/dev/zero": "/dev/zero", "FIFO": folder / "fifo"}.get(source, "-"), folder / "out"
    if source == "FIFO":
        os.mkfifo(listing)
    with subprocess.Popen([binary, "--batch", str(listing), "-d", str(out)], stdin=read_end, env=ENV,
                          stdout=subprocess.PIPE, stderr=subprocess.PIPE, text=True) as process:
        try:
            os.close(read_end)
            if source.endswith("pipe"):
                os.write(write_end, b"N1\n")
                assert wait_for(lambda: names(out) == ["N1.png"]), "the first line is not written as it came"
            assert wait_for(lambda: handles(process, number or signal.SIGTERM)), "the batch is not reading yet"
            if number:
                process.send_signal(number)
            else:
                os.write(write_end, b"N2\n")
            os.close(write_end)
            stderr = process.communicate(timeout=SLOW_TIMEOUT)[1]
        finally:
            process.kill()
    assert process.returncode == (128 + number if number else 0), stderr
    assert names(out) == [f"N{n}.png" for n in range(1, written + 1)]


MAKE = {"named pipe": os.mkfifo, "socket": lambda path: socket.socket(socket.AF_UNIX).bind(str(path)),
        "device": lambda path: os.mknod(path, stat.S_IFCHR | 0o600, os.makedev(1, 3))}


@pytest.mark.parametrize("kind", MAKE)
@pytest.mark.parametrize("how", ["-o", "--batch"])
def test_special_file_where_a_file_goes(binary, folder, kind, how):
    """Refused and left as it is, and never opened: a FIFO would block the batch."""
    target = folder / "A.png"
    try:
        MAKE[kind](target)
    except PermissionError:
        pytest.skip(f"this user may not make a {kind}")
    (folder / "list").write_text("A\n")
    arguments = ["A", "-o", target] if how == "-o" else ["--batch", folder / "list", "-d", folder]
    result = run(binary, *map(str, arguments), env=ENV, text=True, timeout=SLOW_TIMEOUT)
    assert result.returncode == 1 and f"Cannot write {target}: it is a {kind}\n" in result.stderr, result.stderr
    assert not stat.S_ISREG(target.lstat().st_mode)


@pytest.mark.parametrize("by_name", [False, True], ids=["unnamed files", "no unnamed files"])
def test_leftovers_of_a_kill(binary, folder, by_name):
    """What a kill before the rename left is removed by the next run into the folder, but not
    a file that a run holds or that is not ours; nothing is left in TMPDIR either."""
    run(binary, "OLD", "-o", str(folder / "A.png"), env=ENV, check=True)
    unnamed = ["-e", "inject=openat:error=EOPNOTSUPP:when=1"] if by_name else []
    strace(binary, ["-P", folder, "-P", folder / ".A.png.tallyline-0", "-e", "trace=openat,rename", *unnamed,
                    "-e", "inject=rename:signal=SIGKILL"], "NEW", "-o", folder / "A.png")
    assert ".A.png.tallyline-0" in names(folder)
    (folder / ".notes.tallyline-draft").write_text("the user's")
    with open(folder / ".B.png.tallyline-3", "w") as held:
        fcntl.flock(held, fcntl.LOCK_EX)
        env = {**{k: v for k, v in ENV.items() if k != "XDG_RUNTIME_DIR"}, "TMPDIR": str(folder)}
        run(binary, "C", "-o", str(folder / "C.png"), env=env, check=True)
    assert names(folder) == [".B.png.tallyline-3", ".notes.tallyline-draft", "A.png", "C.png"]


def test_later_repeat_named_and_output_closed(binary, folder):
    """Of two lines that share a file the later is named as there already, whichever worker
    is first; a summary that a closed pipe did not take is a loss, not a SIGPIPE."""
    (folder / "list").write_text("".join(f"R{n}\nR{n}\n" for n in range(100)))
    read_end, write_end = os.pipe()
    os.close(read_end)
    result = subprocess.run([binary, "--batch", str(folder / "list"), "-d", str(folder / "out")], stdout=write_end,
                            stderr=subprocess.PIPE, env=ENV, text=True, timeout=SLOW_TIMEOUT, check=False)
    os.close(write_end)
    assert re.findall(r":(\d+): .* is there already", result.stderr) == [str(n) for n in range(2, 201, 2)]
    assert (result.returncode, result.stderr.splitlines()[-1]) == \
        (1, "tallyline: cannot write to standard output: Broken pipe")
