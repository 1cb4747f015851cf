"""Writes the game's pictures, sounds and desktop icon from their generators:
python3 tools/art/make_assets.py [ASSETS_DIR]  (default: assets/ of the repository).
Seeded throughout, so running it twice writes identical bytes."""

import sys
from pathlib import Path

from PIL import Image

import formats
import icon
import palette
from pictures import ORDER
from sounds import SOUNDS

ROOT = Path(__file__).resolve().parents[2]


def picture_bytes(picture):
    drawn = picture.draw()
    if picture.bits == 24:
        return formats.bitmap24(drawn)
    return formats.bitmap8(drawn, palette.PALETTE, picture.compression)


def main(argv):
    out = Path(argv[1]) if len(argv) > 1 else ROOT / "assets"
    (out / "pictures").mkdir(parents=True, exist_ok=True)
    (out / "sounds").mkdir(parents=True, exist_ok=True)
    (out / "icons").mkdir(parents=True, exist_ok=True)
    for picture in ORDER:
        data = picture_bytes(picture)
        (out / "pictures" / picture.file).write_bytes(data)
        print(f"{picture.file:20} {len(data):7} bytes  {picture.name}")
    for sound in SOUNDS:
        data = formats.wave(sound.make(), sound.rate, sound.bits)
        (out / "sounds" / sound.file).write_bytes(data)
        print(f"{sound.file:20} {len(data):7} bytes  {sound.name}")
    for size in icon.SIZES:
        path = out / "icons" / icon.file_name(size)
        Image.fromarray(icon.icon(size), "RGBA").save(path)
        print(f"{path.name:20} {path.stat().st_size:7} bytes  icon {size} x {size}")


if __name__ == "__main__":
    main(sys.argv)
