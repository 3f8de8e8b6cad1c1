"""What a batch promises, tested where it used to break: a file is whole or not there,
each text has a name of its own across runs, and any loss exits 1 with its reason.
Failures are made real: reads, closes and flushes failed by strace, signals sent to a
running batch, two batches into one folder, standard output a full device."""

import os
import random
import re
import resource
import signal
import subprocess
import time
from urllib.parse import unquote

import pytest

from tallyline_e2e import SLOW_TIMEOUT, decode_file, headless_env, run

ENV = headless_env()
PNG_END, PDF_END = b"IEND\xaeB`\x82", b"%%EOF\n"


def tallyline(binary, *arguments, **options):
    return run(binary, *arguments, env=ENV, **{"timeout": SLOW_TIMEOUT, **options})


def traced(binary, strace_options, *arguments, **options):
    """The program under strace, which fails the calls that strace_options name. A build
    under AddressSanitizer looks for leaks without its tracer: LeakSanitizer cannot run
    under ptrace."""
    env = dict(ENV, ASAN_OPTIONS=":".join(filter(None, [ENV.get("ASAN_OPTIONS"), "detect_leaks=0"])))
    return run("strace", "-f", "-o", "/dev/null", *strace_options, binary, *arguments, env=env, text=True,
               **{"timeout": SLOW_TIMEOUT, **options})


def whole(path):
    return path.read_bytes().endswith(PNG_END if path.suffix == ".png" else PDF_END)


@pytest.mark.parametrize("way, reason", [("a folder", "Is a directory"), ("closed", "Bad file descriptor")])
def test_standard_input_unreadable(binary, folder, way, reason):
    descriptor = os.open(folder, os.O_RDONLY)
    try:
        options = {"stdin": descriptor} if way == "a folder" else {"preexec_fn": lambda: os.close(0)}
        result = tallyline(binary, "--batch", "-", "-d", str(folder / "out"), text=True, **options)
    finally:
        os.close(descriptor)
    assert (result.returncode, result.stderr.splitlines()[-1]) == (1, f"tallyline: cannot read standard input: {reason}")


# A close or a flush that the kernel fails, as NFS and quotas report a write that failed.
# strace cannot single out the close of an unnamed file (its path stays "#inode
# (deleted)"), so the closes are those of a file written by its temporary name, as on
# a file system without unnamed files: strace refuses the unnamed file first. Its
# counters are each thread's own.
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
    for run_number in range(5):
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


def test_two_runs_into_one_folder(binary, folder):
    """Texts that used to share a name, written one run after the other and two at once:
    every file is its own text's, and every run says so truly."""
    first = [f"ITEM ${n}" for n in range(300)] + ["ab"]
    second = [f"ITEM %{n}" for n in range(300)] + ["ITEM_$"]
    lists = [folder / "first", folder / "second"]
    for path, texts in zip(lists, (first, second)):
        path.write_text("".join(f"{text}\n" for text in texts))
    for way, out in (("one after the other", folder / "after"), ("at once", folder / "once")):
        # "_" has no bars: written as drawn.
        commands = [[binary, "--batch", str(path), "-d", str(out), "--lenient"] for path in lists]
        if way == "at once":
            processes = [subprocess.Popen(command, env=ENV, stdout=subprocess.PIPE, stderr=subprocess.PIPE, text=True)
                         for command in commands]
            results = [(process.wait(timeout=SLOW_TIMEOUT), process.stdout.read()) for process in processes]
            for process in processes:
                process.stdout.close()
                process.stderr.close()
        else:
            results = [(done.returncode, done.stdout) for done in (tallyline(binary, *command[1:], text=True)
                                                                  for command in commands)]
        assert results == [(0, f"tallyline: wrote {len(texts)} of {len(texts)} files to {out}\n")
                           for texts in (first, second)], way
        names = {unquote(path.stem): path for path in out.iterdir()}
        assert sorted(names) == sorted(text.upper() for text in first + second), way
        for text in rng_sample(first + second):
            assert decode_file(names[text.upper()]) == [text.upper()], f"{way}: {text}"


def rng_sample(texts):
    return random.Random(7).sample(texts, 8)


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
    result = tallyline(binary, "--batch", str(few), "-d", str(folder / "out-few"), text=True)
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


# Texts that the toolkit would take for its own options, after "--"; and its option
# before it, which is the user's (and no option of ours), with no display to go to.
@pytest.mark.parametrize("text", ["-reverse", "-widgetcount", "-qwindowgeometry", "-platform"])
def test_toolkit_options_are_texts(binary, folder, text):
    result = tallyline(binary, "-o", str(folder / "r.png"), "--", text, text=True)
    assert (result.returncode, result.stderr) == (0, "")
    assert decode_file(folder / "r.png") == [text.upper()]


def test_toolkit_option_is_no_option(binary, folder):
    result = tallyline(binary, "-platform", "xcb", "ABC", "-o", str(folder / "p.png"), text=True)
    assert result.returncode == 2 and result.stderr.startswith("tallyline: Unknown options: p, l, a, t, f.")
    assert not list(folder.iterdir())
