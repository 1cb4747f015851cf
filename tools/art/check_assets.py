"""Checks the committed pictures and sounds: python3 tools/art/check_assets.py BUILD_DIR.

For each picture: the catalogued size, depth, compression and layout; the colour table is
the palette; the run-length data decode (by our own encoder's inverse and by the game's
reader, BUILD_DIR/vektrion-picture) to exactly the pixels the generator draws; and the
image list's colour-table building reproduces the palette. For each sound: the format,
the data size, silent first and last samples, and that BUILD_DIR/vektrion-wave reads it.
For each icon: its size, that it holds exactly what the generator draws, with alpha, and
that its border is transparent.
Also writes BUILD_DIR/waveforms.png and BUILD_DIR/corrupcion-8bit.png to look at.
Exit status 1 on the first failure."""

import struct
import subprocess
import sys
import tempfile
from pathlib import Path

import numpy as np
from PIL import Image, ImageDraw

import formats
import icon
import palette
from pictures import ORDER
from sounds import SOUNDS

ROOT = Path(__file__).resolve().parents[2]
ASSETS = ROOT / "assets"
FIXED_ENTRIES = sorted(palette.FIXED)


def fail(message):
    print("FAILED:", message)
    sys.exit(1)


def read_ppm(path):
    data = path.read_bytes()
    parts = data.split(maxsplit=4)
    width, height = int(parts[1]), int(parts[2])
    return np.frombuffer(parts[4][: width * height * 3], np.uint8).reshape(height, width, 3)


def decode_with_reader(tool, path):
    with tempfile.TemporaryDirectory() as tmp:
        out = Path(tmp) / "out.ppm"
        run = subprocess.run([str(tool), str(path), str(out)], capture_output=True, text=True)
        if run.returncode != 0:
            fail(f"{path.name}: the picture reader refused it: {run.stderr.strip()}")
        return read_ppm(out)


def rebuilt_colour_table(tables):
    """The image list's colour-table building: the 16 fixed colours, then every new
    colour of the 8-bit pictures in order into the lowest free entry."""
    table = [None] * 256
    for index, colour in palette.FIXED.items():
        table[index] = colour
    for colours in tables:
        for colour in colours:
            if colour in table:
                continue
            if None not in table:
                break
            table[table.index(None)] = colour
    return table


def check_picture(picture, tool):
    path = ASSETS / "pictures" / picture.file
    data = path.read_bytes()
    _, size, _, _, offset = struct.unpack_from("<2sIHHI", data)
    (head, width, height, planes, bits, compression, image_size,
     _, _, used, _) = struct.unpack_from("<IiiHHIIiiII", data, 14)
    table_bytes = 1024 if bits == 8 else 0
    expect = (40, picture.width, picture.height, 1, picture.bits, picture.compression, 0)
    if (head, width, height, planes, bits, compression, used) != expect:
        fail(f"{picture.file}: header {(head, width, height, planes, bits, compression, used)} != {expect}")
    if offset != 54 + table_bytes or size != len(data) or len(data) != 54 + table_bytes + image_size:
        fail(f"{picture.file}: file size or pixel offset inconsistent")
    drawn = picture.draw()
    expected_rgb = drawn if bits == 24 else palette.PALETTE[drawn]
    colours = []
    if bits == 8:
        table = np.frombuffer(data[54:54 + 1024], np.uint8).reshape(256, 4)
        colours = [tuple(int(c) for c in row[2::-1]) for row in table]
        if not np.array_equal(table[:, 2::-1], palette.PALETTE) or table[:, 3].any():
            fail(f"{picture.file}: colour table differs from the palette")
        if compression == formats.RLE8:
            own = formats.decode_rle8(data[1078:], width, height)
            if not np.array_equal(own, drawn):
                fail(f"{picture.file}: run-length data do not decode to the drawn pixels")
        if picture.key == palette.FUCHSIA and (drawn == palette.FUCHSIA).all():
            fail(f"{picture.file}: nothing drawn")
    decoded = decode_with_reader(tool, path)
    if not np.array_equal(decoded, expected_rgb):
        fail(f"{picture.file}: the game's reader shows other pixels than were drawn")
    pixel_bytes = image_size if compression else len(data) - offset
    print(f"ok  {picture.name:15} {width:3} x {height:3} x {bits:2}  file {len(data):6} bytes, "
          f"pixel data {pixel_bytes:6} bytes")
    return colours


def check_corrupcion_matches_palette(build):
    picture = next(p for p in ORDER if p.bits == 24)
    rgb = read_ppm_via(picture, build)
    matched = palette.PALETTE[palette.nearest(rgb.astype(float))]
    off = np.abs(matched.astype(int) - rgb.astype(int)).max(axis=2)
    Image.fromarray(np.hstack([rgb, matched])).save(build / "corrupcion-8bit.png")
    print(f"ok  corrupcion by nearest palette colour: {np.mean(off == 0) * 100:.1f} % of pixels "
          f"unchanged, largest channel difference {off.max()}")
    if off.max() > 8:
        fail("corrupcion has colours far from the palette")


def read_ppm_via(picture, build):
    return decode_with_reader(build / "vektrion-picture", ASSETS / "pictures" / picture.file)


def check_sound(sound, tool):
    path = ASSETS / "sounds" / sound.file
    data = path.read_bytes()
    riff, riff_size, wave, fmt_id, fmt_size = struct.unpack_from("<4sI4s4sI", data)
    tag, channels, rate, per_second, align, bits = struct.unpack_from("<HHIIHH", data, 20)
    data_id, data_size = struct.unpack_from("<4sI", data, 36)
    block = sound.bits // 8
    want = (b"RIFF", len(data) - 8, b"WAVE", b"fmt ", 16, 1, 1, sound.rate, sound.rate * block, block,
            sound.bits, b"data", sound.samples * block, len(data))
    got = (riff, riff_size, wave, fmt_id, fmt_size, tag, channels, rate, per_second, align, bits,
           data_id, data_size, 44 + data_size)
    if got != want:
        fail(f"{sound.file}: {got} != {want}")
    if sound.bits == 16:
        samples = np.frombuffer(data[44:], "<i2").astype(int)
        silence = 0
    else:
        samples = np.frombuffer(data[44:], np.uint8).astype(int)
        silence = 128
    if samples[0] != silence or samples[-1] != silence:
        fail(f"{sound.file}: does not start and end on silence ({samples[0]}, {samples[-1]})")
    # A click is a jump away from silence right at either end: the fades keep the first
    # and last four samples close to it.
    edges = np.concatenate([samples[:4], samples[-4:]]) - silence
    limit = 0.15 * (32767 if sound.bits == 16 else 127)
    if np.abs(edges).max() > limit:
        fail(f"{sound.file}: its first or last samples jump away from silence")
    with tempfile.TemporaryDirectory() as tmp:
        run = subprocess.run([str(tool), str(path), str(Path(tmp) / "w.wav")], capture_output=True, text=True)
        if run.returncode != 0:
            fail(f"{sound.file}: the wave reader refused it: {run.stderr.strip()}")
    peak = np.abs(samples - silence).max() / (32767 if sound.bits == 16 else 127)
    print(f"ok  {sound.name:10} {rate} Hz {bits}-bit, {data_size} data bytes, first/last sample "
          f"{samples[0]}/{samples[-1]}, peak {peak:.2f} of full scale")
    return (samples - silence) / (32767 if sound.bits == 16 else 127)


def check_icon(size):
    path = ASSETS / "icons" / icon.file_name(size)
    with Image.open(path) as img:
        mode, shape, pixels = img.mode, img.size, np.asarray(img)
    if mode != "RGBA" or shape != (size, size):
        fail(f"{path.name}: {mode} {shape}, not RGBA {size} x {size}")
    if not np.array_equal(pixels, icon.icon(size)):
        fail(f"{path.name}: differs from what the generator draws")
    alpha = pixels[..., 3]
    if alpha[0].any() or alpha[-1].any() or alpha[:, 0].any() or alpha[:, -1].any():
        fail(f"{path.name}: the border is not transparent")
    print(f"ok  icon {size:3} x {size:3}  {np.mean(alpha == 255) * 100:4.1f} % opaque, "
          f"{np.mean(alpha == 0) * 100:4.1f} % transparent")


def plot_waveforms(waves, path):
    width, row = 900, 140
    img = Image.new("RGB", (width, row * len(waves)), (16, 16, 24))
    draw = ImageDraw.Draw(img)
    for i, (name, samples) in enumerate(waves):
        top, mid = i * row, i * row + row // 2
        draw.line([(0, mid), (width, mid)], fill=(60, 60, 80))
        # Each column spans the samples under it and joins its neighbour, so short sounds
        # draw as a line and long ones as their envelope.
        at = np.linspace(0, len(samples), width + 1).astype(int)
        for x in range(width):
            chunk = samples[at[x]:max(at[x + 1], at[x] + 1) + 1]
            draw.line([(x, mid - chunk.max() * 60), (x, mid - chunk.min() * 60)], fill=(120, 200, 255))
        draw.text((6, top + 4), f"{name}  ({len(samples)} samples)", fill=(255, 255, 255))
    img.save(path)


def main(argv):
    build = Path(argv[1]) if len(argv) > 1 else ROOT / "build"
    tables = [check_picture(p, build / "vektrion-picture") for p in ORDER]
    rebuilt = rebuilt_colour_table([t for t in tables if t])
    if rebuilt != [tuple(int(c) for c in e) for e in palette.PALETTE]:
        fail("the image list's colour table would differ from the palette")
    print("ok  the image list rebuilds the palette entry for entry")
    check_corrupcion_matches_palette(build)
    waves = [(s.name, check_sound(s, build / "vektrion-wave")) for s in SOUNDS]
    plot_waveforms(waves, build / "waveforms.png")
    for size in icon.SIZES:
        check_icon(size)
    print(f"wrote {build / 'waveforms.png'} and {build / 'corrupcion-8bit.png'}")


if __name__ == "__main__":
    main(sys.argv)
