"""What a batch promises, tested where it used to break or hang: a file is whole or not there, each text has a name of
its own across runs, any loss exits 1 with its reason, and nothing is left behind. Failures are made real: reads,
closes, flushes and kills by strace, signals sent once the program handles them, two batches into one folder, a FIFO,
standard output full or closed, special files where a file goes."""

import fcntl
import os
import pathlib
import random
import re
import signal
import socket
import stat
import subprocess
import time
from urllib.parse import unquote

import pytest

from tallyline_e2e import SLOW_TIMEOUT, decode_file, headless_env, run, tallyline, wait_for

ENV = headless_env()
# A build under AddressSanitizer looks for leaks without strace: LeakSanitizer cannot run under ptrace.
TRACED = dict(ENV, ASAN_OPTIONS=":".join(filter(None, [ENV.get("ASAN_OPTIONS"), "detect_leaks=0"])))
PNG_END, PDF_END = b"IEND\xaeB`\x82", b"%%EOF\n"


def traced(binary, strace_options, *arguments, **options):
    """The program under strace, which fails the calls that strace_options name."""
    return run("strace", "-f", "-o", "/dev/null", *map(str, strace_options), binary, *map(str, arguments), env=TRACED,
               text=True, **{"timeout": SLOW_TIMEOUT, **options})


def whole(path):
    return path.read_bytes().endswith(PNG_END if path.suffix == ".png" else PDF_END)


@pytest.mark.parametrize("way, reason", [("a folder", "Is a directory"), ("closed", "Bad file descriptor")])
def test_standard_input_unreadable(binary, folder, way, reason):
    descriptor = os.open(folder, os.O_RDONLY)
    try:
        options = {"stdin": descriptor} if way == "a folder" else {"preexec_fn": lambda: os.close(0)}
        result = tallyline(binary, "--batch", "-", "-d", str(folder / "out"), **options)
    finally:
        os.close(descriptor)
    assert (result.returncode, result.stderr.splitlines()[-1]) == (1, f"tallyline: cannot read standard input: {reason}")


# A close or a flush that the kernel fails, as NFS and quotas report a write that failed. strace cannot single out the
# close of an unnamed file (its path stays "#inode (deleted)"), so the closes are those of a file written by its
# temporary name, as on a file system without unnamed files: strace refuses the unnamed file first. Its counters are
# each thread's own.
BY_NAME = ["-P", "{out}", "-P", "{out}/.A.png.tallyline-0", "-e", "trace=openat,close",
           "-e", "inject=openat:error=EOPNOTSUPP:when=1", "-e", "inject=close:error=EIO"]
LATE_FAILURES = [
    pytest.param("batch close", BY_NAME, ["--batch", "{list}", "-d", "{out}"], "{list}:1: Cannot write {out}/A.png",
                 id="batch close"),
    pytest.param("batch sync", ["-e", "trace=syncfs", "-e", "inject=syncfs:error=EIO"],
                 ["--batch", "{list}", "-d", "{out}"], "Cannot write {out}", id="batch sync"),
    pytest.param("-o flush", ["-e", "trace=fdatasync", "-e", "inject=fdatasync:error=EIO"],
                 ["A", "-o", "{out}/A.png"], "Cannot write {out}/A.png", id="-o flush"),
    pytest.param("-o close", BY_NAME, ["A", "-o", "{out}/A.png"], "Cannot write {out}/A.png", id="-o close"),
]


@pytest.mark.parametrize("what, injected, arguments, reported", LATE_FAILURES)
def test_late_failure(binary, folder, what, injected, arguments, reported):
    out, listing = folder / "out", folder / "list"
    out.mkdir()
    listing.write_text("A\n")
    old = b"the old file"
    if what.startswith("-o"):
        (out / "A.png").write_bytes(old)
    names = {"out": out, "list": listing}
    result = traced(binary, [option.format(**names) for option in injected], *(a.format(**names) for a in arguments))
    assert result.returncode == 1 and f"tallyline: {reported.format(**names)}: Input/output error\n" in result.stderr, \
        result.stderr
    left = {path.name: path.read_bytes() for path in out.iterdir()}
    assert left == ({"A.png": old} if what.startswith("-o") else {} if what == "batch close" else left)
    assert not [name for name in left if name.startswith(".")], "a temporary file was left"


@pytest.mark.parametrize("number", [signal.SIGINT, signal.SIGTERM, signal.SIGKILL], ids=lambda n: n.name)
def test_signal_leaves_whole_files(binary, folder, number):
    """Over several runs, a signal at a random moment leaves only whole files under
    their names; SIGINT and SIGTERM end the run with 128 and their number."""
    rng = random.Random(int(number))
    listing = folder / "list"
    listing.write_text("".join(f"SIGNAL {n}\n" for n in range(100_000)))
    for run_number in range(3):
        out = folder / f"out{run_number}"
        form = rng.choice(["png", "pdf"])
        with subprocess.Popen([binary, "--batch", str(listing), "-d", str(out), "--format", form], env=ENV,
                              stdout=subprocess.PIPE, stderr=subprocess.PIPE, text=True) as process:
            time.sleep(rng.uniform(0.3, 1.5))
            process.send_signal(number)
            stdout, stderr = process.communicate(timeout=SLOW_TIMEOUT)
        if number == signal.SIGKILL:
            assert process.returncode == -signal.SIGKILL
        else:
            assert process.returncode == 128 + number and \
                f"tallyline: stopped by signal {int(number)}; the rest of {listing} was not written\n" in stderr, stderr
            assert re.fullmatch(rf"tallyline: wrote \d+ of \d+ files to {re.escape(str(out))}\n", stdout)
        files = list(out.iterdir())
        broken = [path.name for path in files if path.name.startswith(".") or not whole(path)]
        assert files and not broken, f"run {run_number}: {len(broken)} of {len(files)} files cut or hidden: {broken[:5]}"


def test_signal_stops_a_round(binary, folder):
    """The texts go to the writers in rounds of a few hundred; a signal stops them between two files, not at the end
    of the round. Each file is made slow to start, a tenth of a second, so that the signal comes early in a round."""
    listing, out = folder / "list", folder / "out"
    listing.write_text("".join(f"ROUND {n}\n" for n in range(300)))
    out.mkdir()
    with subprocess.Popen(["strace", "-f", "-o", "/dev/null", "-P", str(out), "-e", "trace=openat,open",
                           "-e", "inject=openat,open:delay_enter=100000", binary, "--batch", str(listing), "-d", str(out)],
                          env=TRACED, stdout=subprocess.PIPE, stderr=subprocess.PIPE, text=True) as tracer:
        assert wait_for(lambda: list(out.iterdir())), "nothing was written"
        os.kill(int(pathlib.Path(f"/proc/{tracer.pid}/task/{tracer.pid}/children").read_text().split()[0]),
                signal.SIGTERM)
        stdout, stderr = tracer.communicate(timeout=SLOW_TIMEOUT)
    written = re.search(r"wrote (\d+) of", stdout)
    assert tracer.returncode == 128 + signal.SIGTERM and written and int(written[1]) < 16, stdout + stderr


def test_two_runs_into_one_folder(binary, folder):
    """Texts that used to share a name, written by two runs at once into one folder: every
    file is its own text's, and each run says so truly."""
    first = [f"ITEM ${n}" for n in range(300)] + ["ab"]
    second = [f"ITEM %{n}" for n in range(300)] + ["ITEM_$"]
    out, lists = folder / "out", [folder / "first", folder / "second"]
    for path, texts in zip(lists, (first, second)):
        path.write_text("".join(f"{text}\n" for text in texts))
    # "_" has no bars: written as drawn.
    processes = [subprocess.Popen([binary, "--batch", str(path), "-d", str(out), "--lenient"], env=ENV,
                                  stdout=subprocess.PIPE, stderr=subprocess.DEVNULL, text=True) for path in lists]
    results = [process.communicate(timeout=SLOW_TIMEOUT)[0] for process in processes]
    assert results == [f"tallyline: wrote {len(texts)} of {len(texts)} files to {out}\n" for texts in (first, second)]
    assert all(process.returncode == 0 for process in processes)
    names = {unquote(path.stem): path for path in out.iterdir()}
    assert sorted(names) == sorted(text.upper() for text in first + second)
    for text in random.Random(7).sample(first + second, 8):
        assert decode_file(names[text.upper()]) == [text.upper()], text


def peak_kib(binary, listing, out):
    """The peak memory of the batch, in KiB, read as the kernel counted it for the child."""
    command = ["python3", "-c", "import resource, subprocess, sys; subprocess.run(sys.argv[1:], capture_output=True); "
               "print(resource.getrusage(resource.RUSAGE_CHILDREN).ru_maxrss)",
               binary, "--batch", str(listing), "-d", str(out)]
    return int(run(*command, env=ENV, text=True, timeout=240).stdout)


def test_repeats_keep_memory_flat(binary, folder):
    """A repeated text is written once and named as a repeat; the memory does not grow
    with the list (about 99 bytes a text would be 2 MiB more here)."""
    if b"__asan_init" in open(binary, "rb").read():
        pytest.skip("AddressSanitizer keeps freed memory in quarantine: the peak grows with the work done")
    few, many = folder / "few", folder / "many"
    few.write_text("SAME\n" * 1_000)
    many.write_text("SAME\n" * 20_000)
    grown = peak_kib(binary, many, folder / "out-many") - peak_kib(binary, few, folder / "out-few")
    assert grown < 1024, f"the peak grew by {grown} KiB"
    result = tallyline(binary, "--batch", str(few), "-d", str(folder / "out-few"))
    assert result.returncode == 0 and result.stdout.endswith("; 1000 were there already, the same\n")
    assert result.stderr.splitlines()[0] == \
        f"tallyline: {few}:1: {folder}/out-few/SAME.png is there already, the same barcode; not written again"


# Standard output that takes nothing: each says so, and its status says it failed.
FULL_OUTPUT = [
    pytest.param(["--help"], 2, id="help"),
    pytest.param(["--version"], 2, id="version"),
    pytest.param(["--batch", "{list}", "-d", "{folder}/out"], 1, id="batch summary"),
    pytest.param(["A", "-o", "-", "--format", "png"], 1, id="a file"),
]


@pytest.mark.parametrize("arguments, status", FULL_OUTPUT)
def test_full_standard_output(binary, folder, arguments, status):
    listing = folder / "list"
    listing.write_text("A\n")
    with open("/dev/full", "w") as full:
        result = subprocess.run([binary, *(a.format(list=listing, folder=folder) for a in arguments)], env=ENV,
                                stdout=full, stderr=subprocess.PIPE, text=True, timeout=SLOW_TIMEOUT, check=False)
    assert (result.returncode, result.stderr) == \
        (status, "tallyline: cannot write to standard output: No space left on device\n")


# Texts that the toolkit would take for its own options, after "--"; and its option before it, which is the user's
# (and no option of ours), with no display to go to.
@pytest.mark.parametrize("text", ["-reverse", "-platform"])
def test_toolkit_options_are_texts(binary, folder, text):
    result = tallyline(binary, "-o", str(folder / "r.png"), "--", text)
    assert (result.returncode, result.stderr) == (0, "")
    assert decode_file(folder / "r.png") == [text.upper()]


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
        result = traced(binary, ["-P", fifo, "-e", "trace=read", "-e", "inject=read:error=EIO:when=2"],
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
    traced(binary, ["-P", folder, "-P", folder / ".A.png.tallyline-0", "-e", "trace=openat,rename", *unnamed,
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
