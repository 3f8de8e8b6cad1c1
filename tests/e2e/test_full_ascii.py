"""Which characters the bars carry, from the command line: with --full-ascii every ASCII
character, read by zbar exactly as it reads the peer's extended Code 39 (zint -b 9) for
the same text (zbar gives the pairs as drawn, it does not expand them); without it a text
with a character that the bars do not carry is refused, or with --lenient drawn as the
window draws it."""

import pytest

from tallyline_e2e import SLOW_TIMEOUT, decode, decode_file, headless_env, run

ENV = headless_env()

# Every group of pairs: lower case (+A-+Z), controls ($A-$Z, %A-%E), NUL (%U), DEL (%T),
# punctuation (/A-/L, /O, /Z, %F-%J, %K-%O, %P-%S), @ (%V), ` (%W), and the shift
# characters' own $ % / + as pairs.
PEER_TEXTS = [
    "abcdefghijklm", "nopqrstuvwxyz", "Item #42", "!\"#$%&'()*+,", "-./:;<=>?", "@[\\]^_`", "{|}~\x7f",
    "A\x00B", "\x01\x02\x1a", "\x1b\x1c\x1d\x1e\x1f", "tab\there\r\n", "user@example.com", "https://x.test/?q=a&b=c",
    "C:\\Temp\\x_1.txt", "50% off, $9.99 + tax", "MiXeD 39 CaSe", "<tag attr='v'/>", "a*b", "~/.config",
    "ASSET-0042/b", "\x7f\x00",
]


def zint_png(text, *options):
    """The peer's extended Code 39 of the text: every character escaped, NUL included."""
    escaped = "".join("\\\\" if c == "\\" else c if " " <= c < "\x7f" else f"\\x{ord(c):02x}" for c in text)
    done = run("zint", "-b", "9", "--esc", "--direct", "-d", escaped, *options, timeout=SLOW_TIMEOUT)
    assert done.returncode == 0, done.stderr
    return done.stdout


def our_png(binary, folder, text, *options):
    """Our PNG of the text: on standard output, or, for a NUL that no argument holds, as a batch of one line."""
    if "\x00" not in text:
        done = run(binary, "-o", "-", "--format", "png", "--full-ascii", *options, "--", text, env=ENV,
                   timeout=SLOW_TIMEOUT)
        assert (done.returncode, done.stderr) == (0, b""), done.stderr
        return done.stdout
    done = run(binary, "--batch", "-", "-d", str(folder), "--full-ascii", *options, input=text.encode(), env=ENV,
               timeout=SLOW_TIMEOUT)
    assert done.returncode == 0, done.stderr
    [written] = folder.iterdir()
    return written.read_bytes()


@pytest.mark.parametrize("check", [[], ["--check-digit"]], ids=["plain", "check digit"])
@pytest.mark.parametrize("text", PEER_TEXTS, ids=ascii)
def test_read_as_the_peer(binary, folder, text, check):
    peer = decode(zint_png(text, *(["--vers=1"] if check else [])))
    assert len(peer) == 1, f"the peer's symbol read as {peer}"
    assert decode(our_png(binary, folder, text, *check)) == peer


# A text with characters that the bars do not carry: arguments, status, standard error,
# what zbar reads from the file (nothing: no file).
HINT = "--lenient leaves them out of the bars"
CARRIED = [
    pytest.param(["ITEM#42"], 1, f"refused: the bars do not carry '#'; --full-ascii carries every ASCII character, "
                                 f"{HINT}", None, id="refused"),
    pytest.param(["item-42"], 0, "", "ITEM-42", id="lower case as capitals"),
    pytest.param(["Caf\u00e9 #1", "--full-ascii"], 1, f"refused: the bars do not carry '\u00e9'; Code 39 carries "
                                                      f"ASCII characters only, {HINT}", None, id="full ASCII, not ASCII"),
    pytest.param(["Caf\u00e9 #1", "--full-ascii", "--lenient"], 0, "warning: the bars leave out '\u00e9', which the "
                 "caption shows (--lenient)", "C+A+F /C1", id="full ASCII, lenient"),
]


@pytest.mark.parametrize("arguments, status, said, read", CARRIED)
def test_characters_not_carried(binary, folder, arguments, status, said, read):
    path = folder / "x.png"
    done = run(binary, *arguments, "-o", str(path), env=ENV, text=True, timeout=SLOW_TIMEOUT)
    assert (done.returncode, done.stdout, done.stderr) == (status, "", f"tallyline: {said}\n" if said else "")
    assert decode_file(path) == ([read] if read else [])


def test_full_ascii_names_case_apart(binary, folder):
    """Lower case draws bars of its own: each text its file, never one that differs in case alone."""
    out = folder / "out"
    done = run(binary, "--batch", "-", "-d", str(out), "--full-ascii", input="ab\nAB\nAb\n", env=ENV, text=True,
               timeout=SLOW_TIMEOUT)
    assert (done.returncode, done.stdout) == (0, f"tallyline: wrote 3 of 3 files to {out}\n"), done.stderr
    read = {path.name: decode_file(path) for path in out.iterdir()}
    assert read == {"%61%62.png": ["+A+B"], "AB.png": ["AB"], "A%62.png": ["A+B"]}
