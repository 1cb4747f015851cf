"""The title logo: "VEKTRION" in heavy chamfered letters drawn as polygons, leaning
forward, with a chrome face (blue sky above the horizon line, magenta below), a bevel
lit from the upper left, a dark outline and a drop shadow, on black."""

import numpy as np

import palette
from palette import ramp, ramp_dithered
from raster import dilate, grid, inset, polygons, shift

WORD = "VEKTRION"
H = 62       # letter height
S = 15       # stroke width
K = 9        # corner chamfer
GAP = 11
SLANT = 0.2  # forward lean: x grows by this much per pixel of height


def chamfered_box(x0, y0, x1, y1, k=K, corners="abcd"):
    """A rectangle whose corners a (top left), b (top right), c (bottom right) and
    d (bottom left) are cut when named."""
    pts = []
    pts += [(x0, y0 + k), (x0 + k, y0)] if "a" in corners else [(x0, y0)]
    pts += [(x1 - k, y0), (x1, y0 + k)] if "b" in corners else [(x1, y0)]
    pts += [(x1, y1 - k), (x1 - k, y1)] if "c" in corners else [(x1, y1)]
    pts += [(x0 + k, y1), (x0, y1 - k)] if "d" in corners else [(x0, y1)]
    return pts


def letter_shapes():
    """Each letter as (width, shapes) in a box of height H; shapes are polygons, and
    ("cut", polygon) removes a counter."""
    m0, m1 = H / 2 - S / 2, H / 2 + S / 2
    bowl = 36
    return {
        "V": (66, [[(0, 0), (S + 3, 0), (33, H - 24), (66 - S - 3, 0), (66, 0), (42, H), (24, H)]]),
        "E": (50, [chamfered_box(0, 0, S, H, corners="ad"), chamfered_box(0, 0, 50, S, corners="a"),
                   chamfered_box(0, m0, 43, m1, 0), chamfered_box(0, H - S, 50, H, corners="d")]),
        "K": (58, [chamfered_box(0, 0, S, H, corners="ad"),
                   [(S - 2, m0 - 1), (39, 0), (58, 0), (S + 14, m1 + 3), (S - 2, m1 + 3)],
                   [(S + 12, m0 + 2), (58, H), (39, H), (S + 2, m1 - 2)]]),
        "T": (58, [chamfered_box(0, 0, 58, S, corners="ab"), chamfered_box(29 - S / 2, 0, 29 + S / 2, H, 0)]),
        "R": (56, [chamfered_box(0, 0, S, H, corners="ad"), chamfered_box(0, 0, 56, bowl, 13, "bc"),
                   ("cut", chamfered_box(S, S - 1, 56 - S, bowl - S + 1, 5, "bc")),
                   [(24, bowl - 4), (42, bowl - 4), (57, H), (38, H)]]),
        "I": (S, [chamfered_box(0, 0, S, H, 0)]),
        "O": (62, [chamfered_box(0, 0, 62, H, 16),
                   ("cut", chamfered_box(S, S, 62 - S, H - S, 7))]),
        "N": (60, [chamfered_box(0, 0, S, H, corners="ad"), chamfered_box(60 - S, 0, 60, H, corners="bc"),
                   [(0, 0), (S + 4, 0), (60, H - 10), (60, H), (60 - S - 4, H), (0, 10)]]),
    }


def word_shapes(word, width, top):
    """The shapes of each letter of the word, centred across the width, and the left
    edge of each letter's upright box (its top-left corner once leaned)."""
    shapes = letter_shapes()
    total = sum(shapes[ch][0] for ch in word) + GAP * (len(word) - 1) + SLANT * H
    left = (width - total) / 2
    letters, lefts = [], []
    for ch in word:
        letter_width, polys = shapes[ch]
        moved_polys = []
        for poly in polys:
            cut = poly and poly[0] == "cut"
            pts = poly[1] if cut else poly
            moved = [(left + px + SLANT * (H - py), top + py) for px, py in pts]
            moved_polys.append(("cut", moved) if cut else moved)
        letters.append(moved_polys)
        lefts.append(left + SLANT * H)
        left += letter_width + GAP
    return letters, lefts


def logo():
    w, h, top = 600, 89, 9
    y, x = grid(h, w)
    # Letters one by one so one letter's counter cannot cut into its neighbour.
    letters = np.zeros((h, w), bool)
    shapes, lefts = word_shapes(WORD, w, top)
    for ch_shapes in shapes:
        letters |= polygons(w, h, ch_shapes) >= 0.5
    canvas = np.full((h, w), palette.BLACK, np.uint8)

    shadow = shift(letters, 4, 3) & ~letters
    outline = dilate(dilate(letters)) & ~letters
    canvas[shadow] = ramp("violet", 0.12)
    canvas[outline] = ramp("space", 0.55)

    # Chrome face: sky blue darkening up to the horizon line, then magenta brightening
    # downwards; the bevel lightens edges facing the upper left and darkens the others.
    v = np.clip((y - top) / H, 0, 1)
    depth = inset(letters, 4)
    gy, gx = np.gradient(np.minimum(depth, 4.0))
    bevel = np.clip((gx + gy) * 0.7, -1, 1) * (depth < 4)
    upper = v < 0.52
    sky = 0.94 - 0.62 * (v / 0.52) ** 1.3 + 0.28 * bevel
    ground = 0.28 + 0.55 * ((v - 0.52) / 0.48) + 0.28 * bevel
    face = np.where(upper, ramp_dithered("blue", sky, 1.2), ramp_dithered("magenta", ground, 1.2))
    canvas[letters] = face[letters]
    horizon = letters & (np.abs(v - 0.52) < 0.5 / H * 2) & (depth >= 2)
    canvas[horizon] = palette.WHITE

    # Two glints on upper left corners.
    for gxc, gyc in ((lefts[WORD.index("K")] + 3, top + 2), (lefts[WORD.index("N")] + 2, top + 2)):
        d_x, d_y = np.abs(x - gxc), np.abs(y - gyc)
        sparkle = ((d_y < 0.6) & (d_x < 7)) | ((d_x < 0.6) & (d_y < 6)) | ((d_x < 1.6) & (d_y < 1.6))
        canvas[sparkle] = np.where((d_x + d_y) < 3, palette.WHITE, ramp("blue", 0.85))[sparkle]
    return canvas
