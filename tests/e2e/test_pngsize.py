"""A PNG wider or taller than common readers take (16,384 pixels on a side) is still written
whole, with a warning on standard error; a smaller one gets no warning; the status is 0."""

import re
import struct
import zlib

import pytest

from tallyline_e2e import SLOW_TIMEOUT, headless_env, run

LARGEST_READ = 16384
LONG = ("TALLY-2026/" * 8)[:80]


def whole_png_size(path):
    """The width and height of a PNG whose chunks all keep their CRC and whose image data
    inflates to exactly its rows."""
    data = path.read_bytes()
    assert data[:8] == b"\x89PNG\r\n\x1a\n"
    at, image, header = 8, b"", None
    while at < len(data):
        (length,) = struct.unpack(">I", data[at:at + 4])
        kind, body = data[at + 4:at + 8], data[at + 8:at + 8 + length]
        assert struct.unpack(">I", data[at + 8 + length:at + 12 + length])[0] == zlib.crc32(kind + body), kind
        header = body if kind == b"IHDR" else header
        image += body if kind == b"IDAT" else b""
        at += 12 + length
    assert kind == b"IEND" and at == len(data)
    width, height, depth, colour = struct.unpack(">IIBB", header[:10])
    channels = {0: 1, 2: 3}[colour]
    assert depth == 8 and len(zlib.decompress(image)) == height * (width * channels + 1)
    return width, height


@pytest.mark.parametrize("texts", [[LONG], ["A"], ["A", LONG]], ids=["too wide", "within", "batch"])
def test_large_png_warned_and_whole(binary, folder, texts):
    if len(texts) == 1:
        files = [folder / "label.png"]
        arguments = [texts[0], "-o", str(files[0])]
    else:
        (folder / "texts").write_text("\n".join(texts) + "\n")
        files = [folder / "out" / f"{text.replace('/', '%2F')}.png" for text in texts]
        arguments = ["--batch", str(folder / "texts"), "-d", str(folder / "out")]
    result = run(binary, *arguments, "--scale", "8", env=headless_env(), text=True, timeout=SLOW_TIMEOUT)
    assert result.returncode == 0, result.stderr
    warnings = re.findall(r"(?:(\d+): )?warning: the PNG is (\d+) x (\d+) pixels", result.stderr)
    expected = []
    for line, path in enumerate(files, start=1):
        width, height = whole_png_size(path)
        if max(width, height) > LARGEST_READ:
            expected.append((str(line) if len(files) > 1 else "", str(width), str(height)))
    assert warnings == expected
    assert any(max(whole_png_size(path)) > LARGEST_READ for path in files) == (LONG in texts)
