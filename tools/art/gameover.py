"""The game-over picture "corrupcion": a blue world being eaten by a glowing violet
corruption, seen from space beside a red nebula, with the player's ship drifting broken
in front. Painted in true colour, then ordered-dithered onto the game's palette so the
8-bit full-screen mode, which matches it to that palette, shows it unchanged."""

import numpy as np
from PIL import Image

import palette
import sprites
from raster import fbm, grid

W, H = 400, 309


def mix(a, b, t):
    t = np.asarray(t, dtype=float)[..., None]
    return np.asarray(a, float) * (1 - t) + np.asarray(b, float) * t


def smoothstep(e0, e1, v):
    t = np.clip((v - e0) / (e1 - e0), 0, 1)
    return t * t * (3 - 2 * t)


def space(rng, y, x):
    """Deep space: a dark gradient, a red and violet nebula, and seeded stars."""
    sky = mix((6, 4, 16), (22, 4, 14), y / H)
    cloud = fbm(y / 70.0, x / 70.0, rng, octaves=5)
    wisps = fbm(y / 28.0 + 3, x / 28.0 + 7, rng, octaves=4)
    density = smoothstep(0.45, 0.8, cloud * 0.8 + wisps * 0.35 - 0.1 + 0.25 * (x / W) - 0.2 * (y / H))
    sky = mix(sky, mix((90, 10, 40), (150, 40, 120), wisps), density * 0.75)
    sky = mix(sky, (240, 120, 160), smoothstep(0.78, 1.0, density * wisps * 1.6) * 0.5)
    light = np.zeros((H, W))
    for sy, sx, bright in rng.random((220, 3)):
        py, px = int(sy * H), int(sx * W)
        light[py, px] = max(light[py, px], 0.3 + 0.7 * bright ** 3)
    for sy, sx in rng.random((6, 2)):
        py, px = int(sy * H * 0.9) + 4, int(sx * W * 0.95) + 4
        for d in range(-3, 4):
            light[py, np.clip(px + d, 0, W - 1)] = max(light[py, np.clip(px + d, 0, W - 1)], 1 - abs(d) / 4)
            light[np.clip(py + d, 0, H - 1), px] = max(light[np.clip(py + d, 0, H - 1), px], 1 - abs(d) / 4)
    return mix(sky, (235, 240, 255), light)


def planet(rng, y, x, cx, cy, radius):
    """The world's colour and its coverage; its lower right is corrupted."""
    nx, ny = (x - cx) / radius, (y - cy) / radius
    rr = nx * nx + ny * ny
    inside = rr < 1
    nz = np.sqrt(np.clip(1 - rr, 0, 1))
    lon, lat = np.arctan2(nx, nz), np.arcsin(np.clip(-ny, -1, 1))
    u, v = lat * 3.2 + 11, lon * 3.2 + 23

    land = fbm(u, v, rng, octaves=6)
    clouds = fbm(u * 1.7 + 40, v * 2.6 + 40, rng, octaves=5)
    ocean = mix((10, 40, 120), (40, 110, 210), smoothstep(0.2, 0.5, land))
    ground = mix((40, 110, 40), (150, 120, 70), smoothstep(0.58, 0.75, land))
    surface = np.where((land > 0.52)[..., None], ground, ocean)
    surface = mix(surface, (235, 240, 250), smoothstep(0.55, 0.78, clouds) * 0.85)

    # The corruption spreads from the lower right: noise pushed by the distance from there.
    origin = np.array([0.55, 0.45, 0.7]) / np.linalg.norm([0.55, 0.45, 0.7])
    reach = nx * origin[0] + ny * origin[1] + nz * origin[2]
    rot = fbm(u * 0.9 + 70, v * 0.9 + 70, rng, octaves=6)
    corrupt = reach + (rot - 0.5) * 1.1
    taken = smoothstep(0.18, 0.26, corrupt)
    front = np.exp(-((corrupt - 0.18) / 0.05) ** 2)
    veins_noise = fbm(u * 2.2 + 90, v * 2.2 + 90, rng, octaves=5)
    veins = np.clip(1 - np.abs(veins_noise - 0.5) * 14, 0, 1)
    rotten = mix((12, 4, 22), (60, 10, 70), smoothstep(0.3, 0.7, rot))
    rotten = mix(rotten, (230, 60, 220), veins * 0.9)

    # Light from the upper left; the corrupted side glows by itself.
    light_dir = np.array([-0.62, -0.5, 0.6]) / np.linalg.norm([-0.62, -0.5, 0.6])
    lit = np.clip(nx * light_dir[0] + ny * light_dir[1] + nz * light_dir[2], 0, 1)
    shade = 0.08 + 0.92 * smoothstep(0.0, 0.6, lit)
    colour = surface * shade[..., None]
    colour = mix(colour, rotten * (0.5 + 0.5 * shade[..., None] + veins[..., None] * 0.6), taken)
    colour = mix(colour, (255, 110, 40), front * 0.85)
    colour = mix(colour, (255, 230, 160), front * np.clip(veins + (rot > 0.55), 0, 1) * 0.4)
    # Atmosphere: a thin blue rim on the lit limb, a sickly magenta one where it is taken.
    limb = smoothstep(0.82, 1.0, np.sqrt(rr)) * inside
    colour = mix(colour, mix((120, 190, 255), (255, 80, 200), taken), limb * (0.35 + 0.65 * lit) * 0.9)
    return np.clip(colour, 0, 255), inside


def halo(y, x, cx, cy, radius):
    """The glow of the atmosphere just outside the world's edge."""
    r = np.hypot(x - cx, y - cy) / radius
    return np.clip(1 - (r - 1) / 0.08, 0, 1) * (r >= 1)


def wreck(rng, scale=2, angle=-24):
    """The player's ship, broken behind the wings and tumbling: two pieces of the game's
    own sprite with torn, burning edges, enlarged, turned and pulled apart."""
    drawn = sprites.machine()
    rgb = palette.PALETTE[drawn].astype(float)
    alpha = np.where(drawn == palette.BLACK, 0, 255)
    tear = 24 + np.rint(rng.random(32) * 3 - 1).astype(int)  # a jagged break, row by row
    cols = np.arange(48)[None, :]
    pieces = []
    for keep, turn in ((cols < tear[:, None], angle - 16), (cols >= tear[:, None], angle + 10)):
        near = np.abs(cols - tear[:, None]) < 2
        part_rgb = np.where((near & (rng.random((32, 48)) < 0.6))[..., None], (255, 120, 30), rgb)
        part = np.dstack([part_rgb, np.where(keep, alpha, 0)]).astype(np.uint8)
        img = Image.fromarray(part, "RGBA").resize((48 * scale, 32 * scale), Image.NEAREST)
        pieces.append(img.rotate(turn, resample=Image.NEAREST, expand=True))
    return pieces


def corrupcion():
    rng = np.random.default_rng(20010921)
    y, x = grid(H, W)
    picture = space(rng, y, x)
    cx, cy, radius = 236, 196, 128
    glow = halo(y, x, cx, cy, radius)
    picture = mix(picture, (200, 60, 170), glow * 0.6)
    world, inside = planet(rng, y, x, cx, cy, radius)
    picture = np.where(inside[..., None], world, picture)

    canvas = Image.fromarray(np.clip(picture, 0, 255).astype(np.uint8))
    back, front = wreck(rng)
    at_back, at_front = (10, 214), (58, 186)
    canvas.paste(back, at_back, back)
    canvas.paste(front, at_front, front)
    painted = np.asarray(canvas, dtype=float)
    # The wreck is lit only by the burning world: darkened, and reddened towards it.
    ship = np.zeros((H, W), bool)
    for piece, at in ((back, at_back), (front, at_front)):
        alpha = np.asarray(piece)[..., 3] > 0
        ph, pw = alpha.shape
        ship[at[1]:at[1] + ph, at[0]:at[0] + pw] |= alpha[:H - at[1], :W - at[0]]
    tint = np.clip((x - 20) / 160, 0, 1)[..., None]
    burning = (painted[..., 0] > 240) & (painted[..., 1] < 140)
    lit_ship = painted * (0.55 + 0.25 * tint) * np.array([1.0, 0.85, 0.9]) + np.array([30, 0, 10]) * tint
    lit_ship = np.where(burning[..., None], painted, lit_ship)
    painted = np.where(ship[..., None], lit_ship, painted)
    for dy, dx, size in rng.random((14, 3)):
        py, px = int(170 + dy * 110), int(10 + dx * 120)
        if not inside[py, px]:
            painted[py:py + 1 + int(size * 2), px:px + 1 + int(size * 3)] = (90, 70, 80) if size < 0.6 else (255, 170, 60)
    indices = palette.dither_to_palette(painted, spread=22.0)
    return palette.PALETTE[indices]
