"""Writes a contact sheet of the game's pictures: python3 tools/art/contact_sheet.py BUILD_DIR.

Every picture is decoded by the game's own reader (BUILD_DIR/vektrion-picture), shown
enlarged with its patterns outlined and numbered, its transparent colour as a grey
checkerboard, and once more at its real size on black; then the palette, a made-up
playing frame at real size, and the desktop icon at each size on a dark and a light
ground. The sheet goes to BUILD_DIR/contact-sheet.png."""

import subprocess
import sys
import tempfile
from pathlib import Path

import numpy as np
from PIL import Image, ImageDraw, ImageFont

import icon
import palette
from check_assets import read_ppm
from pictures import ORDER, PICTURES

ROOT = Path(__file__).resolve().parents[2]
FONT = "/usr/share/fonts/truetype/dejavu/DejaVuSans.ttf"
BOLD = "/usr/share/fonts/truetype/dejavu/DejaVuSans-Bold.ttf"
SHEET_WIDTH = 1240
BACKGROUND = (28, 28, 34)
SCALES = {"Star": 5, "Enemy-disk": 6, "Enemy-Attacker": 6, "Enemy-boss": 5, "Bounce": 12,
          "Explosion": 5, "Machine": 10, "Logo": 2, "corrupcion": 2}


def decode(build, picture):
    with tempfile.TemporaryDirectory() as tmp:
        out = Path(tmp) / "p.ppm"
        subprocess.run([str(build / "vektrion-picture"), str(ROOT / "assets" / "pictures" / picture.file),
                        str(out)], check=True)
        return read_ppm(out)


def key_mask(picture, rgb):
    if picture.key is None:
        return np.zeros(rgb.shape[:2], bool)
    return (rgb == palette.PALETTE[picture.key]).all(axis=2)


def enlarged(picture, rgb, scale):
    hole = key_mask(picture, rgb).repeat(scale, 0).repeat(scale, 1)
    big = rgb.repeat(scale, 0).repeat(scale, 1)
    y, x = np.mgrid[0:big.shape[0], 0:big.shape[1]]
    checker = np.where(((y // 6 + x // 6) % 2 == 0)[..., None], 52, 70).astype(np.uint8)
    img = Image.fromarray(np.where(hole[..., None], checker, big))
    draw = ImageDraw.Draw(img)
    pw, ph = picture.pattern if picture.pattern != (0, 0) else (picture.width, picture.height)
    small = ImageFont.truetype(FONT, 11)
    for index in range((picture.width // pw) * (picture.height // ph)):
        row, col = divmod(index, picture.width // pw)
        box = [col * pw * scale, row * ph * scale, (col + 1) * pw * scale - 1, (row + 1) * ph * scale - 1]
        draw.rectangle(box, outline=(255, 200, 40))
        if pw != picture.width or ph != picture.height:
            draw.text((box[0] + 3, box[1] + 1), str(index), font=small, fill=(255, 200, 40))
    return img


def on_black(picture, rgb):
    """The picture at its real size as the game draws it on the black screen."""
    hole = key_mask(picture, rgb)
    return Image.fromarray(np.where(hole[..., None], 0, rgb).astype(np.uint8))


def label(picture):
    patterns = (picture.width // picture.pattern[0]) * (picture.height // picture.pattern[1]) \
        if picture.pattern != (0, 0) else 1
    key = {None: "opaque", palette.BLACK: "transparent black", palette.FUCHSIA: "transparent fuchsia"}[picture.key]
    compression = "RLE8" if picture.compression == 1 else "uncompressed"
    return (f'"{picture.name}"  {picture.width} x {picture.height}, {picture.bits}-bit {compression}, '
            f'{patterns} pattern{"s" if patterns > 1 else ""}, {key}  ({picture.file})')


def palette_section():
    cell = 22
    img = Image.new("RGB", (16 * cell, 16 * cell), BACKGROUND)
    draw = ImageDraw.Draw(img)
    for index, colour in enumerate(palette.PALETTE):
        row, col = divmod(index, 16)
        draw.rectangle([col * cell, row * cell, col * cell + cell - 2, row * cell + cell - 2],
                       fill=tuple(int(c) for c in colour))
    return img


def patterns_of(picture, rgb):
    pw, ph = picture.pattern if picture.pattern != (0, 0) else (picture.width, picture.height)
    hole = key_mask(picture, rgb)
    out = []
    for top in range(0, picture.height - ph + 1, ph):
        for left in range(0, picture.width - pw + 1, pw):
            out.append((rgb[top:top + ph, left:left + pw], ~hole[top:top + ph, left:left + pw]))
    return out


def playing_frame(decoded):
    """A made-up moment of play at real size: star layers, the ship firing, disks,
    attackers, the boss with a shot, and explosions."""
    frame = np.zeros((480, 640, 3), np.uint8)
    rng = np.random.default_rng(5)
    stars = patterns_of(PICTURES["Star"], decoded["Star"])

    def put(name, index, x, y):
        rgb, solid_ = patterns_of(PICTURES[name], decoded[name])[index]
        h, w = solid_.shape
        x0, y0 = max(x, 0), max(y, 0)
        x1, y1 = min(x + w, 640), min(y + h, 480)
        if x1 <= x0 or y1 <= y0:
            return
        region = frame[y0:y1, x0:x1]
        s = solid_[y0 - y:y1 - y, x0 - x:x1 - x]
        region[s] = rgb[y0 - y:y1 - y, x0 - x:x1 - x][s]

    for low, count in ((29, 60), (25, 45), (17, 30)):
        for _ in range(count):
            index = int(rng.integers(low, 32))
            rgb, solid_ = stars[index]
            x, y = int(rng.integers(0, 624)), int(rng.integers(0, 464))
            frame[y:y + 16, x:x + 16][solid_] = rgb[solid_]
    put("Machine", 0, 60, 224)
    for i, x in enumerate((120, 200, 290)):
        put("Bounce", 0, x, 236)
    for i, (x, y) in enumerate(((300, 90), (345, 120), (390, 140))):
        put("Enemy-disk", i % 4, x, y)
    for i, (x, y) in enumerate(((240, 330), (300, 360))):
        put("Enemy-Attacker", i % 2, x, y)
    put("Enemy-boss", 0, 448, 210)
    put("Bounce", 0, 400, 234)
    put("Explosion", 1, 330, 236)
    put("Explosion", 2, 150, 380)
    return Image.fromarray(frame)


def icon_section():
    """The committed icons at real size on a dark and on a light ground, and the two
    smallest enlarged eight and four times on a checkerboard."""
    gap = 8
    row_width = sum(icon.SIZES) + gap * (len(icon.SIZES) + 1)
    img = Image.new("RGBA", (row_width + 2 * 128 + 3 * gap, 2 * (256 + 2 * gap)), BACKGROUND + (255,))
    for row, ground in enumerate(((12, 12, 16), (236, 236, 240))):
        top = row * (256 + 2 * gap)
        img.paste(Image.new("RGBA", (row_width, 256 + 2 * gap), ground + (255,)), (0, top))
        x = gap
        for size in icon.SIZES:
            img.alpha_composite(Image.open(ROOT / "assets" / "icons" / icon.file_name(size)), (x, top + gap))
            x += size + gap
    y, x = np.mgrid[0:128, 0:128]
    checker = Image.fromarray(np.where(((y // 8 + x // 8) % 2 == 0), 52, 70).astype(np.uint8)).convert("RGBA")
    for i, size in enumerate((16, 32)):
        big = Image.open(ROOT / "assets" / "icons" / icon.file_name(size)).resize((128, 128), Image.NEAREST)
        left = row_width + gap + i * (128 + gap)
        img.paste(checker, (left, gap))
        img.alpha_composite(big, (left, gap))
    return img.convert("RGB")


def main(argv):
    build = Path(argv[1]) if len(argv) > 1 else ROOT / "build"
    title, text = ImageFont.truetype(BOLD, 16), ImageFont.truetype(FONT, 13)
    blocks = []
    decoded = {}
    for picture in ORDER:
        rgb = decode(build, picture)
        decoded[picture.name] = rgb
        blocks.append((label(picture), [enlarged(picture, rgb, SCALES[picture.name]), on_black(picture, rgb)]))
    blocks.append(("The palette every 8-bit picture carries (entries 0-255, row by row)", [palette_section()]))
    blocks.append(("A made-up moment of play at real size", [playing_frame(decoded)]))
    blocks.append((f"The desktop icon ({icon.APP_ID}) at {', '.join(map(str, icon.SIZES))} pixels; "
                   "16 and 32 enlarged", [icon_section()]))

    height = 20 + sum(24 + max(img.height for img in imgs) + 20 for _, imgs in blocks)
    sheet = Image.new("RGB", (SHEET_WIDTH, height), BACKGROUND)
    draw = ImageDraw.Draw(sheet)
    draw.text((16, 4), "Vektrion pictures, as the game's reader decodes them", font=text, fill=(170, 170, 190))
    y = 24
    for caption, imgs in blocks:
        draw.text((16, y), caption, font=title, fill=(240, 240, 240))
        y += 24
        x = 16
        for img in imgs:
            sheet.paste(img, (x, y))
            x += img.width + 16
        y += max(img.height for img in imgs) + 20
    out = build / "contact-sheet.png"
    sheet.save(out)
    print(f"wrote {out}")


if __name__ == "__main__":
    main(sys.argv)
