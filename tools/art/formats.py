"""Writers for the game's media files: bitmap files (8-bit with a full colour table,
uncompressed or run-length coded, and 24-bit) and PCM RIFF WAVE files.

Pixel arrays are top row first, as drawn; bitmap files store the bottom row first.
"""

import struct

import numpy as np

FILE_HEADER_SIZE = 14
INFO_HEADER_SIZE = 40
RLE8 = 1
NONE = 0


def _literal(out, pixels):
    """Pixels that repeat too little for runs: an absolute run of 3 or more, padded to an
    even length; one or two pixels as runs of one (0, 1 and 2 after a 0 are escapes)."""
    if len(pixels) >= 3:
        out += bytes((0, len(pixels)))
        out += bytes(pixels)
        if len(pixels) & 1:
            out.append(0)
    else:
        for p in pixels:
            out += bytes((1, p))


def encode_rle8_row(row, out):
    """Appends one row as runs and absolute runs; no record crosses the row's end."""
    width = len(row)
    pending = []
    x = 0
    while x < width:
        run = 1
        while x + run < width and run < 255 and row[x + run] == row[x]:
            run += 1
        # A run of 3 or more always pays; a run of 2 pays only when it breaks no absolute run.
        if run >= 3 or (run == 2 and not pending):
            _literal(out, pending)
            pending = []
            out += bytes((run, row[x]))
            x += run
            continue
        pending.extend(int(v) for v in row[x:x + run])
        x += run
        if len(pending) >= 254:
            _literal(out, pending[:254])
            pending = pending[254:]
    _literal(out, pending)


def encode_rle8(pixels):
    """Run-length data of an 8-bit picture (rows top first): every row bottom-up, each
    closed by end-of-line, then end-of-bitmap."""
    out = bytearray()
    for row in pixels[::-1]:
        encode_rle8_row(list(int(v) for v in row), out)
        out += b"\x00\x00"
    out += b"\x00\x01"
    return bytes(out)


def decode_rle8(data, width, height):
    """Expands run-length data (without delta records) into rows top first; used to check
    the encoder independently of the game's reader."""
    bottom_up = np.zeros((height, width), dtype=np.uint8)
    x = y = pos = 0
    while pos + 2 <= len(data):
        count, value = data[pos], data[pos + 1]
        pos += 2
        if count:
            bottom_up[y, x:x + count] = value
            x += count
        elif value == 0:
            x, y = 0, y + 1
        elif value == 1:
            break
        else:
            bottom_up[y, x:x + value] = list(data[pos:pos + value])
            x += value
            pos += value + (value & 1)
    return bottom_up[::-1]


def _info_header(width, height, bits, compression, image_size):
    return struct.pack("<IiiHHIIiiII", INFO_HEADER_SIZE, width, height, 1, bits,
                       compression, image_size, 0, 0, 0, 0)


def _file(header, table, data):
    offset = FILE_HEADER_SIZE + len(header) + len(table)
    head = b"BM" + struct.pack("<IHHI", offset + len(data), 0, 0, offset)
    return head + header + table + data


def bitmap8(pixels, palette, compression):
    """An 8-bit bitmap file with the full 256-entry colour table (colours used 0)."""
    pixels = np.asarray(pixels, dtype=np.uint8)
    height, width = pixels.shape
    if compression == RLE8:
        data = encode_rle8(pixels)
    else:
        pad = (-width) % 4
        data = b"".join(bytes(row) + b"\x00" * pad for row in pixels[::-1])
    table = b"".join(bytes((int(b), int(g), int(r), 0)) for r, g, b in palette)
    assert len(table) == 1024
    return _file(_info_header(width, height, 8, compression, len(data)), table, data)


def bitmap24(rgb):
    """An uncompressed 24-bit bitmap file (rows of blue, green, red; no colour table)."""
    rgb = np.asarray(rgb, dtype=np.uint8)
    height, width, _ = rgb.shape
    pad = (-3 * width) % 4
    data = b"".join(bytes(row[:, ::-1].tobytes()) + b"\x00" * pad for row in rgb[::-1])
    return _file(_info_header(width, height, 24, NONE, len(data)), b"", data)


def wave(samples, rate, bits):
    """A mono PCM RIFF WAVE: the 16-byte fmt chunk, then the data chunk, nothing more
    (an odd-sized data chunk is not padded, so the file is exactly header plus samples)."""
    if bits == 16:
        data = np.asarray(samples, dtype="<i2").tobytes()
    else:
        data = np.asarray(samples, dtype=np.uint8).tobytes()
    block = bits // 8
    fmt = struct.pack("<HHIIHH", 1, 1, rate, rate * block, block, bits)
    body = b"WAVE" + b"fmt " + struct.pack("<I", len(fmt)) + fmt + b"data" + struct.pack("<I", len(data)) + data
    return b"RIFF" + struct.pack("<I", len(body)) + body
