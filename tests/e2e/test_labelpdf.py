"""A PDF of labels and a printed batch of labels, written and sent whole or not at all
whatever fails or stops them (a full disk, a write that fails or is lost, a kill), in
memory that does not grow with the list, their captions still text; and printing that
says what the print server did with the job, or that there is no server to do it."""

import array
import fcntl
import pathlib
import re
import subprocess
import termios
import time

import pytest

from conftest import private_cups_server
from tallyline_e2e import SLOW_TIMEOUT, headless_env, on_tmpfs, run, wait_for

OLD = b"%PDF-1.4 the old file, which a failed batch leaves as it was\n"
QUEUE = "Jobs"


def texts(count):
    return "".join(f"LBL-{n}\n" for n in range(count))


def sanitized(binary):
    return b"__asan_init" in pathlib.Path(binary).read_bytes()


def tallyline(binary, *arguments, stdin=None, env=None, trace=()):
    """The program, under strace when trace says what strace fails. LeakSanitizer cannot run
    under a tracer."""
    env = env or headless_env()
    if any("inject=write" in option for option in trace) and sanitized(binary):
        pytest.skip("the sanitizers write to probe memory: strace's count of writes would fail theirs")
    if trace:
        env = dict(env, ASAN_OPTIONS=":".join(filter(None, [env.get("ASAN_OPTIONS"), "detect_leaks=0"])))
    tracer = ["strace", "-f", "-o", "/dev/null", *trace] if trace else []
    return run(*tracer, binary, *arguments, env=env, input=stdin, text=True, timeout=SLOW_TIMEOUT)


def quiet_env(folder, **extra):
    """Temporary files and the toolkit's runtime folder where the test can see all that is left."""
    for name in ("tmp", "runtime"):
        (folder / name).mkdir(mode=0o700, exist_ok=True)
    return headless_env(**{"TMPDIR": str(folder / "tmp"), "XDG_RUNTIME_DIR": str(folder / "runtime"), **extra})


def jobs(server):
    return server.client("lpstat", "-W", "all", "-o", QUEUE).stdout.splitlines()


@pytest.fixture(scope="module")
def queue(cups_server):
    """A label printer's queue on a file of its own, for jobs that must never print."""
    output = cups_server.socket.parent / "queue"
    output.mkdir(mode=0o1777)
    output.chmod(0o1777)
    cups_server.add_label_printer(QUEUE, "zebra.ppd", "w144h72", 203, output / "printed")
    return cups_server


# How strace fails a write of the document, and the reason told. A write that the kernel
# claims but never makes loses a byte, which shifts all after it: reading back finds it.
WRITE_FAULTS = [
    pytest.param(["-e", "inject=write:error=ENOSPC:when=1"], "No space left on device", id="first write"),
    pytest.param(["-e", "inject=write:error=EIO:when=4"], "Input/output error", id="a later write"),
    pytest.param(["-e", "inject=write:retval=1:when=2"], "what was read back is not the PDF written", id="write lost"),
]
FLUSH_FAULT = pytest.param(["-e", "inject=fdatasync:error=EIO"], "Input/output error", id="flush")


@pytest.mark.parametrize("trace, reason", [*WRITE_FAULTS, FLUSH_FAULT])
def test_failed_pdf_keeps_the_old_file(binary, folder, trace, reason):
    pdf, listing = folder / "keep.pdf", folder / "list"
    listing.write_text(texts(300))
    pdf.write_bytes(OLD)
    result = tallyline(binary, "--batch", str(listing), "-o", str(pdf), trace=trace, env=quiet_env(folder))
    assert result.returncode == 1 and f"tallyline: Cannot write {pdf}: {reason}" in result.stderr, result.stderr
    assert result.stdout == f"tallyline: {pdf} not written, of 300 texts\n"
    assert pdf.read_bytes() == OLD
    assert sorted(path.name for path in folder.iterdir()) == ["keep.pdf", "list", "runtime", "tmp"]
    assert not list((folder / "tmp").iterdir())


def test_pdf_goes_to_standard_output_only_whole(binary, folder):
    listing = folder / "list"
    listing.write_text(texts(300))
    trace, reason = WRITE_FAULTS[2].values
    result = tallyline(binary, "--batch", str(listing), "-o", "-", "--format", "pdf", trace=trace, env=quiet_env(folder))
    assert (result.returncode, result.stdout) == (1, "") and reason in result.stderr, result.stderr
    assert not list((folder / "tmp").iterdir())


@pytest.mark.parametrize("where", ["output", "TMPDIR"])
def test_pdf_on_a_small_disk(binary, folder, where):
    """The document is written where it goes, not in TMPDIR: only the output's own folder
    can be too small for it, and then the old file stays."""
    listing, disk = folder / "list", folder / "disk"
    listing.write_text(texts(300))
    pdf = (disk if where == "output" else folder) / "keep.pdf"
    env = quiet_env(folder, **({"TMPDIR": str(disk)} if where == "TMPDIR" else {}))
    files = {"keep.pdf": OLD} if where == "output" else {}
    result, left = on_tmpfs(disk, "64k", [binary, "--batch", str(listing), "-o", str(pdf)], files, env=env)
    assert left == files
    if where == "output":
        assert (result.returncode, result.stderr) == (1, f"tallyline: Cannot write {pdf}: No space left on device\n")
    else:
        assert result.returncode == 0, result.stderr
        assert re.search(r"^Pages:\s+300$", run("pdfinfo", str(pdf), text=True).stdout, re.MULTILINE)


@pytest.mark.parametrize("trace, reason", [*WRITE_FAULTS, pytest.param(None, "No space left on device", id="TMPDIR full")])
def test_failed_job_is_not_sent(binary, folder, queue, monkeypatch, trace, reason):
    """A print job is written whole in TMPDIR and read back before it is sent."""
    queue.use(monkeypatch)
    listing, tmp = folder / "list", folder / "tmp"
    listing.write_text(texts(300))
    before = jobs(queue)
    command, env = ["--batch", str(listing), "--print", "--printer", QUEUE], quiet_env(folder)
    if trace is None:
        result, left = on_tmpfs(tmp, "64k", [binary, *command], {}, env=env)
    else:
        result, left = tallyline(binary, *command, env=env, trace=trace), list(tmp.iterdir())
    assert result.returncode == 1 and result.stdout == "tallyline: no label printed, of 300 texts\n", result.stderr
    assert f"tallyline: printing failed: Cannot write {tmp}/tallyline-job.pdf: {reason}" in result.stderr, result.stderr
    assert not left, "the job's document was left in TMPDIR"
    assert jobs(queue) == before, "a job was sent"


@pytest.mark.parametrize("made", ["pdf", "print"])
def test_killed_batch_leaves_nothing(binary, folder, queue, monkeypatch, made):
    queue.use(monkeypatch)
    listing = folder / "list"
    listing.write_text(texts(100_000))
    before = jobs(queue)
    made_by = ["-o", str(folder / "labels.pdf")] if made == "pdf" else ["--print", "--printer", QUEUE]
    with subprocess.Popen([binary, "--batch", str(listing), *made_by], env=quiet_env(folder),
                          stdout=subprocess.DEVNULL, stderr=subprocess.DEVNULL) as process:
        time.sleep(1.5)
        process.kill()
    assert sorted(path.name for path in folder.iterdir()) == ["list", "runtime", "tmp"]
    assert not list((folder / "tmp").iterdir())
    assert jobs(queue) == before, "a job was sent"


def peak_kib(command, env):
    """The command's peak memory, counted by a parent of its own: a child forked from this
    process would start its count at this process's size. A hundred thousand labels of a
    debug build take half a minute alone, and several on a busy machine."""
    done = run("time", "-f", "%M", *command, env=env, text=True, timeout=5 * SLOW_TIMEOUT)
    assert done.returncode == 0, done.stderr
    return int(done.stderr.splitlines()[-1])


@pytest.mark.parametrize("made", ["pdf", "print"])
def test_memory_does_not_grow_with_the_list(binary, folder, queue, monkeypatch, made):
    if sanitized(binary):
        pytest.skip("AddressSanitizer keeps freed memory in quarantine: the peak grows with the work done")
    queue.use(monkeypatch)
    queue.client("cupsdisable", QUEUE)  # the jobs wait, unprinted, and are cancelled
    peaks = {}
    try:
        for count in (1_000, 100_000):
            listing = folder / f"list-{count}"
            listing.write_text(texts(count))
            made_by = ["-o", str(folder / f"{count}.pdf")] if made == "pdf" else ["--print", "--printer", QUEUE]
            peaks[count] = peak_kib([binary, "--batch", str(listing), *made_by], quiet_env(folder))
    finally:
        queue.client("cancel", "-a", QUEUE)
        queue.client("cupsenable", QUEUE)
    assert peaks[100_000] <= 1.1 * peaks[1_000], f"peaks of {peaks} KiB"


ONE_AND_FIVE = [
    pytest.param(["--print", "W-1"], None, ("", ""), id="one label"),
    pytest.param(["--batch", "-", "--print"], texts(5), ("tallyline: no label printed, of 5 texts\n",
                                                        "tallyline: printed 5 of 5 labels\n"), id="five"),
]
WAITING = [
    pytest.param(["cupsdisable", QUEUE], "the job is queued on a stopped printer", id="stopped"),
    pytest.param(["lpadmin", "-p", QUEUE, "-o", "job-hold-until-default=indefinite"],
                 "the print server holds the job (job-hold-until-specified)", id="held"),
]


@pytest.mark.parametrize("stopping, said", WAITING)
@pytest.mark.parametrize("arguments, stdin, summary", ONE_AND_FIVE)
def test_waiting_job_is_printed_and_named(binary, queue, monkeypatch, stopping, said, arguments, stdin, summary):
    """A job counts as printed once the server has it, and the warning says why it waits."""
    queue.use(monkeypatch)
    queue.client(*stopping)
    try:
        result = tallyline(binary, *arguments, "--printer", QUEUE, stdin=stdin)
    finally:
        for command in (["cancel", "-a", QUEUE], ["cupsenable", QUEUE],
                        ["lpadmin", "-p", QUEUE, "-o", "job-hold-until-default=no-hold"]):
            queue.client(*command)
    assert (result.returncode, result.stdout) == (0, summary[1]), result.stderr
    assert f"tallyline: warning: {said}" in result.stderr


@pytest.mark.parametrize("printer", [[], ["--printer", "Labels"]], ids=["default", "named"])
@pytest.mark.parametrize("arguments, stdin, summary", ONE_AND_FIVE)
def test_unreachable_print_server(binary, folder, printer, arguments, stdin, summary):
    nowhere = folder / "cups.sock"
    env = {name: value for name, value in headless_env(CUPS_SERVER=str(nowhere), HOME=str(folder)).items()
           if name not in ("LPDEST", "PRINTER")}
    result = tallyline(binary, *arguments, *printer, stdin=stdin, env=env)
    assert (result.returncode, result.stdout) == (1, summary[0])
    assert result.stderr == f"tallyline: printing failed: The print server {nowhere} cannot be reached\n"


def unread(pipe):
    """The bytes written into the pipe that its reader has not taken yet."""
    count = array.array("i", [0])
    fcntl.ioctl(pipe.fileno(), termios.FIONREAD, count)
    return count[0]


def test_print_server_went_away(binary, monkeypatch):
    """The server is gone between finding the printer and sending the job."""
    with private_cups_server() as server:
        server.use(monkeypatch)
        output = server.socket.parent / "gone"
        server.add_label_printer("Gone", "zebra.ppd", "w144h72", 203, output)
        process = subprocess.Popen([binary, "--batch", "-", "--print", "--printer", "Gone"], env=headless_env(),
                                   stdin=subprocess.PIPE, stdout=subprocess.PIPE, stderr=subprocess.PIPE, text=True)
        process.stdin.write(texts(3))
        process.stdin.flush()
        # The printer found, the batch has read the list so far and waits for the rest.
        assert wait_for(lambda: unread(process.stdin) == 0, timeout=SLOW_TIMEOUT)
    stdout, stderr = process.communicate(timeout=SLOW_TIMEOUT)
    assert (process.returncode, stdout, stderr) == \
        (1, "tallyline: no label printed, of 3 texts\n", "tallyline: printing failed: The print server went away\n")


def test_captions_stay_text(binary, folder):
    """300 glyphs, more than one of the document's own fonts holds, from more than one face:
    each page's caption reads back as its text, in order, and its bars as what they carry."""
    pool = [chr(code) for code in [*range(0x2200, 0x2300), *range(0x2500, 0x2580)]]
    lines = [f"T{n}-{''.join(pool[n * 12:n * 12 + 12])}" for n in range(30)]
    pdf = folder / "text.pdf"
    assert tallyline(binary, "--batch", "-", "-o", str(pdf), "--lenient", stdin="\n".join(lines)).returncode == 0
    assert run("pdffonts", str(pdf), text=True).stdout.count("Type 3") >= 2
    run("pdftoppm", "-r", "150", "-png", str(pdf), str(folder / "page"), check=True)
    for number, line in enumerate(lines, 1):
        text = run("pdftotext", "-raw", "-f", str(number), "-l", str(number), str(pdf), "-", text=True).stdout
        assert text.strip() == line
        page = folder / f"page-{number:02d}.png"
        assert run("zbarimg", "-q", "--raw", str(page), text=True).stdout == f"T{number - 1}-\n"


def test_page_measured_exactly(binary, folder):
    """10 mm is 28.35 points, not the 28 whole points that the toolkit would round it to."""
    result = tallyline(binary, "--batch", "-", "-o", str(folder / "small.pdf"), "--page-mm", "10x10", stdin="A1\n")
    assert result.returncode == 1 and "and this one is 10.0 mm" in result.stderr, result.stderr
