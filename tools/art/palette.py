"""The one 256-colour palette that every 8-bit picture of the game carries.

Entries 0-7 and 248-255 hold the display's 16 fixed colours; entries 8-247 hold colour
ramps, dark to light, none equal to another entry, so the image list rebuilds exactly this
table from the pictures and the 8-bit full-screen mode shows them unchanged.
"""

import numpy as np

# The fixed colours the display keeps at these entries.
FIXED = {
    0: (0, 0, 0), 1: (128, 0, 0), 2: (0, 128, 0), 3: (128, 128, 0),
    4: (0, 0, 128), 5: (128, 0, 128), 6: (0, 128, 128), 7: (192, 192, 192),
    248: (128, 128, 128), 249: (255, 0, 0), 250: (0, 255, 0), 251: (255, 255, 0),
    252: (0, 0, 255), 253: (255, 0, 255), 254: (0, 255, 255), 255: (255, 255, 255),
}

BLACK = 0
FUCHSIA = 253
WHITE = 255

# Ramps laid out from entry 8 upwards: (name, entry count, key colours dark to light).
RAMPS = [
    ("space", 8, [(3, 3, 7), (16, 10, 30)]),
    ("grey", 18, [(10, 10, 11), (246, 246, 246)]),
    ("steel", 22, [(12, 14, 22), (54, 62, 82), (120, 134, 160), (184, 198, 222), (236, 244, 255)]),
    ("blue", 24, [(4, 8, 38), (16, 42, 120), (34, 104, 214), (96, 180, 255), (226, 246, 255)]),
    ("fire", 28, [(36, 4, 2), (124, 16, 2), (214, 60, 4), (252, 140, 16), (255, 214, 90), (255, 252, 226)]),
    ("magenta", 22, [(22, 2, 28), (82, 10, 100), (164, 34, 186), (234, 110, 246), (255, 214, 254)]),
    ("green", 14, [(2, 18, 8), (16, 80, 28), (70, 186, 56), (206, 255, 168)]),
    ("rust", 20, [(18, 9, 6), (70, 32, 16), (136, 72, 36), (200, 140, 84), (244, 222, 182)]),
    ("teal", 14, [(0, 18, 22), (0, 72, 82), (34, 164, 156), (172, 255, 238)]),
    ("crimson", 18, [(20, 0, 6), (84, 2, 20), (170, 12, 40), (246, 70, 92), (255, 196, 204)]),
    ("violet", 16, [(10, 6, 28), (38, 20, 86), (96, 68, 176), (196, 178, 255)]),
    ("gold", 14, [(28, 18, 2), (112, 82, 8), (214, 174, 36), (255, 244, 178)]),
    ("rose", 22, [(30, 6, 20), (90, 22, 58), (160, 60, 110), (220, 120, 170), (255, 218, 236)]),
]


def _interpolate(keys, count):
    """`count` colours spread evenly along the polyline through `keys`."""
    keys = np.array(keys, dtype=float)
    t = np.linspace(0.0, len(keys) - 1, count)
    low = np.minimum(t.astype(int), len(keys) - 2)
    f = (t - low)[:, None]
    return np.rint(keys[low] * (1 - f) + keys[low + 1] * f).astype(int)


def _build():
    table = [None] * 256
    for index, colour in FIXED.items():
        table[index] = colour
    ramps = {}
    entry = 8
    for name, count, keys in RAMPS:
        ramps[name] = (entry, count)
        for colour in _interpolate(keys, count):
            colour = tuple(int(c) for c in colour)
            # Nudge a colour that another entry already has: a duplicate would be skipped
            # when the display's table is rebuilt and shift every later entry.
            while colour in table:
                colour = (colour[0], colour[1], min(255, colour[2] + 1) if colour[2] < 255 else 254)
            table[entry] = colour
            entry += 1
    assert entry == 248, entry
    assert len(set(table)) == 256
    return np.array(table, dtype=np.uint8), ramps


PALETTE, RAMP_ENTRIES = _build()


def ramp(name, level):
    """The entry at `level` (0 darkest .. 1 lightest, array or scalar) of a ramp."""
    start, count = RAMP_ENTRIES[name]
    step = np.clip(np.rint(np.asarray(level, dtype=float) * (count - 1)), 0, count - 1)
    return (start + step).astype(np.uint8)


def ramp_entries(name):
    start, count = RAMP_ENTRIES[name]
    return np.arange(start, start + count, dtype=np.uint8)


# 8 x 8 ordered-dither thresholds in 0..1 (exclusive), centred on 0.5.
_B2 = np.array([[0, 2], [3, 1]])
_B4 = np.block([[4 * _B2, 4 * _B2 + 2], [4 * _B2 + 3, 4 * _B2 + 1]])
BAYER8 = (np.block([[4 * _B4, 4 * _B4 + 2], [4 * _B4 + 3, 4 * _B4 + 1]]) + 0.5) / 64.0


def bayer(height, width):
    return np.tile(BAYER8, (height // 8 + 1, width // 8 + 1))[:height, :width]


def ramp_dithered(name, level, strength=1.0):
    """Ramp entries with ordered dithering between neighbouring steps of the ramp."""
    level = np.asarray(level, dtype=float)
    start, count = RAMP_ENTRIES[name]
    pos = np.clip(level, 0, 1) * (count - 1)
    pos = pos + (bayer(*level.shape) - 0.5) * strength
    step = np.clip(np.rint(pos), 0, count - 1)
    return (start + step).astype(np.uint8)


def nearest(rgb, allowed=None):
    """Index of the nearest palette entry for each pixel: RGB distance, green weighted a
    little above red and blue, so hues keep while brightness is matched closely."""
    rgb = np.asarray(rgb, dtype=float)
    entries = np.arange(256) if allowed is None else np.asarray(allowed)
    colours = PALETTE[entries].astype(float)
    weights = np.array([1.0, 1.2, 0.9])
    flat = rgb.reshape(-1, 3) * weights
    cw = colours * weights
    out = np.empty(len(flat), dtype=np.uint8)
    for begin in range(0, len(flat), 8192):
        chunk = flat[begin:begin + 8192]
        d = ((chunk[:, None, :] - cw[None, :, :]) ** 2).sum(axis=2)
        out[begin:begin + 8192] = entries[d.argmin(axis=1)]
    return out.reshape(rgb.shape[:-1])


def dither_to_palette(rgb, spread=18.0, allowed=None):
    """Ordered dithering of a true-colour image onto the palette: each pixel is offset by
    its threshold before taking the nearest entry, so smooth shading becomes a fine
    pattern of neighbouring ramp colours."""
    rgb = np.asarray(rgb, dtype=float)
    offset = (bayer(rgb.shape[0], rgb.shape[1]) - 0.5)[..., None] * spread
    return nearest(np.clip(rgb + offset, 0, 255), allowed)
