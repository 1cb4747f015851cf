"""Small drawing helpers for the generators: anti-aliased coverage of polygons and
ellipses, edges and insets of masks, and seeded value noise."""

import numpy as np
from PIL import Image, ImageDraw

SUPERSAMPLE = 8


def _coverage(width, height, draw, ss):
    img = Image.new("L", (width * ss, height * ss), 0)
    draw(ImageDraw.Draw(img), ss)
    a = np.asarray(img, dtype=float) / 255.0
    return a.reshape(height, ss, width, ss).mean(axis=(1, 3))


def polygon(width, height, points, ss=SUPERSAMPLE):
    """Coverage (0..1) of a polygon given in pixel coordinates (pixel centres at +0.5)."""
    return _coverage(width, height,
                     lambda d, s: d.polygon([(x * s, y * s) for x, y in points], fill=255), ss)


def polygons(width, height, shapes, ss=SUPERSAMPLE):
    """Coverage of several polygons; a shape given as ("cut", points) is removed."""
    def draw(d, s):
        for shape in shapes:
            fill = 255
            if shape and shape[0] == "cut":
                shape, fill = shape[1], 0
            d.polygon([(x * s, y * s) for x, y in shape], fill=fill)
    return _coverage(width, height, draw, ss)


def ellipse(width, height, cx, cy, rx, ry, ss=SUPERSAMPLE):
    return _coverage(width, height,
                     lambda d, s: d.ellipse([(cx - rx) * s, (cy - ry) * s, (cx + rx) * s, (cy + ry) * s],
                                            fill=255), ss)


def grid(height, width):
    """Pixel-centre coordinates (y, x)."""
    return np.mgrid[0:height, 0:width].astype(float) + 0.5


def shift(mask, dy, dx, fill=False):
    out = np.full_like(mask, fill)
    h, w = mask.shape
    ys, yd = (slice(0, h - dy), slice(dy, h)) if dy >= 0 else (slice(-dy, h), slice(0, h + dy))
    xs, xd = (slice(0, w - dx), slice(dx, w)) if dx >= 0 else (slice(-dx, w), slice(0, w + dx))
    out[yd, xd] = mask[ys, xs]
    return out


NEIGHBOURS4 = [(-1, 0), (1, 0), (0, -1), (0, 1)]
NEIGHBOURS8 = NEIGHBOURS4 + [(-1, -1), (-1, 1), (1, -1), (1, 1)]


def erode(mask, neighbours=NEIGHBOURS4):
    out = mask.copy()
    for dy, dx in neighbours:
        out &= shift(mask, dy, dx)
    return out


def dilate(mask, neighbours=NEIGHBOURS8):
    out = mask.copy()
    for dy, dx in neighbours:
        out |= shift(mask, dy, dx)
    return out


def edge(mask, neighbours=NEIGHBOURS4, width=1):
    """Pixels of the mask that touch a pixel outside it; with a greater width, those up
    to `width` steps from the outside."""
    inner = mask
    for _ in range(width):
        inner = erode(inner, neighbours)
    return mask & ~inner


def rim(mask, neighbours=NEIGHBOURS8):
    """Pixels outside the mask that touch it."""
    return dilate(mask, neighbours) & ~mask


def inset(mask, limit):
    """Steps from the outside (1 on the edge), up to `limit`, alternating 4- and
    8-neighbour erosion so the steps follow an octagon rather than a diamond."""
    depth = np.zeros(mask.shape, dtype=float)
    current = mask.copy()
    for step in range(limit):
        depth += current
        current = erode(current, NEIGHBOURS4 if step % 2 == 0 else NEIGHBOURS8)
    return depth


def lit_edges(mask, light=(-1, -1), width=1):
    """For edge pixels, +1 where the outside lies towards the light, -1 away from it;
    `width` is how far towards the light (or away from it) the outside is looked for."""
    ly, lx = light[0] * width, light[1] * width
    towards = mask & ~shift(mask, -ly, -lx)  # the pixel towards the light is outside
    away = mask & ~shift(mask, ly, lx)
    return towards.astype(float) - away.astype(float)


def value_noise(height, width, cell, rng, octaves=1, persistence=0.5):
    """Smooth noise in 0..1: a random lattice every `cell` pixels, smoothly interpolated,
    summed over octaves of halving cell size."""
    total = np.zeros((height, width))
    amplitude, norm = 1.0, 0.0
    for _ in range(octaves):
        gh, gw = int(height / cell) + 2, int(width / cell) + 2
        lattice = rng.random((gh, gw))
        y, x = np.mgrid[0:height, 0:width] / cell
        y0, x0 = y.astype(int), x.astype(int)
        fy, fx = y - y0, x - x0
        fy, fx = fy * fy * (3 - 2 * fy), fx * fx * (3 - 2 * fx)
        top = lattice[y0, x0] * (1 - fx) + lattice[y0, x0 + 1] * fx
        bottom = lattice[y0 + 1, x0] * (1 - fx) + lattice[y0 + 1, x0 + 1] * fx
        total += amplitude * (top * (1 - fy) + bottom * fy)
        norm += amplitude
        amplitude *= persistence
        cell = max(cell / 2, 1)
    return total / norm


def sample_noise(lattice, y, x):
    """Samples a lattice of random values at real coordinates (wrapping), smoothly."""
    gh, gw = lattice.shape
    y0, x0 = np.floor(y).astype(int), np.floor(x).astype(int)
    fy, fx = y - y0, x - x0
    fy, fx = fy * fy * (3 - 2 * fy), fx * fx * (3 - 2 * fx)
    y0, x0 = y0 % gh, x0 % gw
    y1, x1 = (y0 + 1) % gh, (x0 + 1) % gw
    top = lattice[y0, x0] * (1 - fx) + lattice[y0, x1] * fx
    bottom = lattice[y1, x0] * (1 - fx) + lattice[y1, x1] * fx
    return top * (1 - fy) + bottom * fy


def fbm(y, x, rng, octaves=5, size=64):
    """Fractal noise in about 0..1 at real coordinates, from seeded lattices."""
    total, amplitude, norm = 0.0, 1.0, 0.0
    for octave in range(octaves):
        lattice = rng.random((size, size))
        scale = 2.0 ** octave
        total = total + amplitude * sample_noise(lattice, y * scale + 17.3 * octave, x * scale + 9.1 * octave)
        norm += amplitude
        amplitude *= 0.5
    return total / norm
