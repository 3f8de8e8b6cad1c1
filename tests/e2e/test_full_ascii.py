"""--full-ascii against the peer: zbar reads our PNG of each text exactly as it reads zint's
extended Code 39 (-b 9) of it, the pairs as drawn, since zbar does not expand them."""

import pathlib
import tempfile

import pytest

from tallyline_e2e import SLOW_TIMEOUT, decode, decode_file, headless_env, run

# Every group of pairs: lower case (+A-+Z), controls ($A-$Z, %A-%E), NUL (%U), DEL (%T),
# punctuation (/A-/L, /O, /Z, %F-%J, %K-%O, %P-%S), @ (%V), ` (%W), and $ % / + as pairs.
PEER_TEXTS = [
    "abcdefghijklm", "nopqrstuvwxyz", "Item #42", "!\"#$%&'()*+,", "-./:;<=>?", "@[\\]^_`", "{|}~\x7f", "A\x00B",
    "\x01\x02\x1a", "\x1b\x1c\x1d\x1e\x1f", "tab\there", "user@example.com", "https://x.test/?q=a&b=c",
    "C:\\Temp\\x_1.txt", "50% off, $9.99 + tax", "MiXeD 39 CaSe", "<tag attr='v'/>", "a*b", "~/.config",
    "ASSET-0042/b", "\x7f\x00",
]
SAFE = set("ABCDEFGHIJKLMNOPQRSTUVWXYZ0123456789-_.")


@pytest.fixture(scope="module", params=[[], ["--check-digit"]], ids=["plain", "check digit"])
def ours(binary, request):
    """Each text's PNG from one --full-ascii batch (its names escape every byte but capitals,
    digits, - _ and .), and the options it was drawn with."""
    with tempfile.TemporaryDirectory(prefix="tallyline-e2e-") as folder:
        done = run(binary, "--batch", "-", "-d", folder, "--full-ascii", *request.param, env=headless_env(),
                   input="".join(f"{text}\n" for text in PEER_TEXTS).encode(), timeout=SLOW_TIMEOUT)
        assert done.returncode == 0, done.stderr
        name = lambda text: "".join(chr(b) if chr(b) in SAFE else f"%{b:02X}" for b in text.encode()) + ".png"
        yield {text: pathlib.Path(folder, name(text)) for text in PEER_TEXTS}, request.param


@pytest.mark.parametrize("text", PEER_TEXTS, ids=ascii)
def test_read_as_the_peer(ours, text):
    files, options = ours
    escaped = "".join("\\\\" if c == "\\" else c if " " <= c < "\x7f" else f"\\x{ord(c):02x}" for c in text)
    peer = run("zint", "-b", "9", "--esc", "--direct", "-d", escaped, *(["--vers=1"] if options else []),
               timeout=SLOW_TIMEOUT).stdout
    assert len(decode(peer)) == 1 and decode_file(files[text]) == decode(peer)
