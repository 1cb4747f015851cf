"""Quick look at drawn pictures while working on them: python3 preview.py NAME... writes
/tmp/preview.png with each picture enlarged over a checkerboard where it is transparent."""

import sys

import numpy as np
from PIL import Image

import palette
import pictures


def enlarge(indices, key, scale):
    rgb = palette.PALETTE[indices]
    h, w = indices.shape
    y, x = np.mgrid[0:h * scale, 0:w * scale]
    checker = np.where(((y // 4 + x // 4) % 2)[..., None] == 0, 40, 64).astype(np.uint8)
    big = rgb.repeat(scale, 0).repeat(scale, 1)
    if key is not None:
        hole = (indices == key).repeat(scale, 0).repeat(scale, 1)
        big = np.where(hole[..., None], checker, big)
    return big


def main(names):
    tiles = []
    for name in names:
        picture = pictures.PICTURES[name]
        drawn = picture.draw()
        if drawn.ndim == 3:
            tiles.append(drawn)
            continue
        scale = max(1, min(8, 900 // drawn.shape[1]))
        tiles.append(enlarge(drawn, picture.key, scale))
        tiles.append(enlarge(drawn, picture.key, 1))
    width = max(t.shape[1] for t in tiles)
    sheet = np.full((sum(t.shape[0] + 8 for t in tiles), width, 3), 20, np.uint8)
    y = 0
    for t in tiles:
        sheet[y:y + t.shape[0], :t.shape[1]] = t
        y += t.shape[0] + 8
    Image.fromarray(sheet).save("/tmp/preview.png")


if __name__ == "__main__":
    main(sys.argv[1:])
