"""Light and fire: the star patterns the scrolling star layers are tiled from, and the
four steps of the explosion. Both are keyed on black, so every drawn pixel uses a
non-black entry."""

import numpy as np

import palette
from palette import ramp, ramp_dithered
from raster import grid, sample_noise

def star_catalogue():
    """Pattern index -> stars drawn in it, each star as its centre (x, y) inside the
    16 x 16 pattern, core radius, spike length, brightness (0..1) and tinting ramp. The far layer draws only patterns 29-31 and
    the middle one 25-31, so those are faint and small; the near layer adds 17-24, the
    big bright ones. Patterns 0-16 are a mixed field of the same kinds."""
    big = [
        [(7.5, 7.5, 1.6, 6.5, 1.0, "grey")],
        [(7.5, 7.5, 1.4, 5.5, 1.0, "blue")],
        [(7.5, 7.5, 1.4, 4.5, 0.95, "gold")],
        [(7.5, 7.5, 1.2, 3.5, 0.9, "fire")],
        [(7.5, 7.5, 1.1, 5.0, 0.9, "teal")],
        [(7.5, 7.5, 1.3, 7.0, 0.95, "grey")],
        [(7.5, 7.5, 1.0, 3.0, 0.85, "crimson")],
        [(6.5, 8.5, 1.0, 3.0, 0.85, "blue"), (11.5, 4.5, 0.5, 0.0, 0.6, "gold")],
    ]
    small = [
        [(7.5, 7.5, 0.8, 1.6, 0.8, "grey")],
        [(7.5, 7.5, 0.75, 1.4, 0.75, "blue")],
        [(7.5, 7.5, 0.75, 1.3, 0.72, "gold")],
        [(7.5, 7.5, 0.7, 1.2, 0.7, "teal")],
    ]
    tiny = [
        [(7.5, 7.5, 0.5, 0.0, 0.7, "grey")],
        [(7.5, 7.5, 0.5, 0.0, 0.72, "blue")],
        [(7.5, 7.5, 0.5, 0.0, 0.72, "gold")],
    ]
    mixed = [
        [(4.5, 5.5, 0.5, 0.0, 0.6, "grey"), (11.5, 10.5, 0.5, 0.0, 0.5, "blue")],
        [(7.5, 7.5, 1.2, 4.0, 0.85, "violet")],
        [(7.5, 7.5, 0.8, 1.5, 0.75, "fire")],
        [(3.5, 3.5, 0.5, 0, 0.5, "grey"), (8.5, 9.5, 0.6, 1.0, 0.7, "gold"), (12.5, 5.5, 0.5, 0, 0.45, "blue")],
        [(7.5, 7.5, 1.5, 6.0, 1.0, "blue")],
        [(7.5, 7.5, 0.6, 0.0, 0.7, "violet")],
        [(7.5, 7.5, 0.9, 2.5, 0.85, "grey")],
        [(5.5, 9.5, 0.7, 1.2, 0.7, "teal"), (10.5, 5.5, 0.7, 1.2, 0.7, "crimson")],
        [(7.5, 7.5, 1.3, 5.0, 0.95, "gold")],
        [(7.5, 7.5, 0.6, 0.0, 0.7, "grey")],
        [(7.5, 7.5, 1.0, 2.8, 0.85, "magenta")],
        [(7.5, 7.5, 0.7, 1.3, 0.7, "blue")],
        [(4.5, 11.5, 0.5, 0, 0.55, "gold"), (11.5, 3.5, 0.5, 0, 0.55, "grey")],
        [(7.5, 7.5, 1.4, 6.5, 1.0, "teal")],
        [(7.5, 7.5, 0.8, 2.0, 0.8, "crimson")],
        [(7.5, 7.5, 0.6, 0.0, 0.72, "teal")],
        [(7.5, 7.5, 1.1, 3.5, 0.9, "blue")],
    ]
    catalogue = mixed + big + small + tiny
    assert len(catalogue) == 32
    return catalogue


def star_pattern(stars):
    y, x = grid(16, 16)
    light = np.zeros((16, 16))
    tint = np.full((16, 16), "grey", dtype=object)
    for cx, cy, radius, spike, brightness, name in stars:
        dx, dy = x - cx, y - cy
        core = np.exp(-(dx * dx + dy * dy) / (2 * radius * radius))
        rays = 0.0
        if spike > 0:
            rays = (np.exp(-np.abs(dx) / (spike / 2.2)) * np.exp(-dy * dy / 0.18) +
                    np.exp(-np.abs(dy) / (spike / 2.2)) * np.exp(-dx * dx / 0.18)) * 0.75
        value = brightness * np.clip(core + rays, 0, 1)
        tint = np.where(value > light, name, tint)
        light = np.maximum(light, value)
    pattern = np.full((16, 16), palette.BLACK, np.uint8)
    for name in set(tint.ravel()):
        here = (tint == name) & (light > 0.12)
        # Faint halo pixels take the ramp's dim end, the centre its white-hot end.
        pattern[here] = ramp(name, 0.15 + 0.85 * light)[here]
    return pattern


def stars():
    sheet = np.full((64, 128), palette.BLACK, np.uint8)
    for index, stars_in in enumerate(star_catalogue()):
        row, col = divmod(index, 8)
        sheet[row * 16:(row + 1) * 16, col * 16:(col + 1) * 16] = star_pattern(stars_in)
    return sheet


# ---- the explosion


def explosion():
    rng = np.random.default_rng(1977)
    lattice = rng.random((32, 32))
    sparks = rng.random((24, 3))
    return np.hstack([explosion_frame(f, lattice, sparks) for f in range(4)])


def explosion_frame(frame, lattice, sparks):
    """A flash that swells into a fireball, breaks up, and leaves a dim ring of smoke
    and embers (the step a one-shot explosion stays on)."""
    w, h, cx, cy = 48, 32, 24.0, 16.0
    y, x = grid(h, w)
    dx, dy = x - cx, (y - cy) * 1.3
    r = np.hypot(dx, dy)
    angle = np.arctan2(dy, dx)
    radius = (9.0, 12.5, 15.0, 16.5)[frame]
    edge_noise = sample_noise(lattice, np.cos(angle) * 2.2 + 5, np.sin(angle) * 2.2 + 5 + frame * 0.7)
    swirl = sample_noise(lattice, y / 3.2 + frame * 1.9, x / 3.2 + frame * 2.3)
    d = r / (radius * (0.72 + 0.5 * edge_noise))
    hot = (1.6, 1.25, 0.95, 0.7)[frame]
    heat = np.clip(1 - d, 0, 1) ** 0.7 * hot + (swirl - 0.5) * (0.5 + 0.2 * frame)
    if frame >= 2:  # the centre burns out into a ring
        heat -= np.clip(1 - r / (radius * (0.35 + 0.15 * frame)), 0, 1) * (0.5 * frame - 0.6)
    canvas = np.full((h, w), palette.BLACK, np.uint8)
    body = (d < 1) & (heat > 0.06)
    smoke_limit = (0.0, 0.18, 0.36, 0.52)[frame]
    smoke = body & (heat < smoke_limit)
    fire = body & ~smoke
    paint_fire = ramp_dithered("fire", np.clip((heat - smoke_limit) / (hot - smoke_limit) * 0.95 + 0.12, 0, 1), 0.9)
    canvas[fire] = paint_fire[fire]
    shade = np.clip(0.24 + 0.8 * heat, 0.2, 0.6) - 0.08 * (dy > 0)
    canvas[smoke] = ramp_dithered("rust" if frame < 3 else "grey", shade * (1.0 if frame < 3 else 0.75))[smoke]
    # Embers thrown outwards, travelling further each step.
    if frame >= 1:
        for a, speed, size in sparks[: 8 + 4 * frame]:
            dist = radius * (0.7 + 0.5 * speed) + frame * 2.5
            sx, sy = cx + np.cos(a * 2 * np.pi) * dist, cy + np.sin(a * 2 * np.pi) * dist / 1.3
            spot = (np.abs(x - sx) < 0.5 + 0.6 * size) & (np.abs(y - sy) < 0.5 + 0.3 * size)
            canvas[spot] = ramp("fire", 0.95 - 0.18 * frame + 0.1 * size)
    return canvas
