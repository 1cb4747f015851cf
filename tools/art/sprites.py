"""The craft of the game: the player's ship, the spinning disk, the attacker, the boss and
the shot that the ship and the boss fire. Each function returns palette entries, top row
first, with the picture's transparent entry wherever nothing is drawn."""

from dataclasses import dataclass

import numpy as np

import palette
from palette import ramp, ramp_dithered
from raster import SUPERSAMPLE, edge, ellipse, grid, lit_edges, polygon, shift


def mirror(points, axis):
    """The points mirrored about the horizontal line y = axis, in reverse order."""
    return [(x, 2 * axis - y) for x, y in reversed(points)]


def solid(coverage, threshold=0.5):
    return coverage >= threshold


def cylinder(y, centre, radius, light=0.55):
    """Brightness of a cylinder lying along x and lit from above: 0..1."""
    v = np.clip((y - centre) / radius, -1, 1)
    return np.clip(-v * light + np.sqrt(1 - v * v) * 0.85, 0, 1)


def paint(canvas, mask, values):
    canvas[mask] = values[mask] if np.ndim(values) else values


def edge_light(mask, level, up=0.16, down=0.2, width=1):
    """Raises the level on the mask's edges facing the light (top left) and lowers it on
    the far ones: a bevel `width` pixels wide."""
    e = lit_edges(mask, width=width)
    return level + up * (e > 0) - down * (e < 0)


def outline(canvas, mask, name, light=0.22, dark=0.04, width=1):
    """Dark outline, `width` pixels wide, on the silhouette's own border, a shade lighter
    where it faces the light."""
    e = lit_edges(mask, width=width)
    border = edge(mask, width=width)
    paint(canvas, border & (e > 0), ramp(name, light))
    paint(canvas, border & ~(e > 0), ramp(name, dark))


# ---- the player's ship


@dataclass(frozen=True)
class View:
    """Where the ship is drawn: the canvas size, canvas pixels per picture pixel (across,
    and `tall` times that down), the canvas position of the picture's origin, the width of
    outlines and bevels in canvas pixels, and the supersampling of the shapes' coverage.
    The default is the 48 x 32 picture itself; the icon draws the same ship at its sizes."""
    width: int = 48
    height: int = 32
    scale: float = 1.0
    tall: float = 1.0
    left: float = 0.0
    top: float = 0.0
    line: int = 1
    supersample: int = SUPERSAMPLE
    tiny: bool = False  # a pixel spans several of the picture's: fewer dark lines


def machine(view=View()):
    """The player's ship, flying right. The canvas must be symmetric about the ship's
    centre line (picture row 16), as the lower half mirrors the upper one."""
    w, h, c, t = view.width, view.height, 16.0, view.line
    y, x = grid(h, w)
    sx, sy = view.scale, view.scale * view.tall
    y, x = (y - view.top) / sy, (x - view.left) / sx  # in picture pixels
    canvas = np.full((h, w), palette.BLACK, np.uint8)
    flip = np.flipud  # rows y and 31 - y lie mirrored about the ship's centre line

    def shape(points, threshold=0.5):
        placed = [(view.left + sx * px, view.top + sy * py) for px, py in points]
        return solid(polygon(w, h, placed, view.supersample), threshold)

    def oval(cx, cy, rx, ry, threshold=0.5):
        return solid(ellipse(w, h, view.left + sx * cx, view.top + sy * cy, sx * rx, sy * ry,
                             view.supersample), threshold)

    top = [(8, 11.6), (13, 10.8), (24, 11.2), (34, 12.2), (41, 13.8), (47.6, 15.7)]
    body = shape(top + mirror(top, c))
    wing_up = shape([(14, 12.6), (32, 12.6), (20, 2.6), (13.5, 2.2), (11.5, 3.2)])
    wings = wing_up | flip(wing_up)
    pod_up = shape([(10, 1.4), (23, 1.4), (25, 2.5), (23, 3.6), (10, 3.6)])
    pods = pod_up | flip(pod_up)
    nozzle = shape([(5.5, 12.6), (9, 12.0), (9, 20.0), (5.5, 19.4)])
    flame = shape([(6, 13.2), (2, 14.2), (-1.5, 16), (2, 17.8), (6, 18.8)], 0.4) & ~nozzle
    hull = body | wings | pods | nozzle

    # Wings: flat, the upper one catching more light, a crimson stripe along the leading
    # edge of each.
    wing_level = np.where(wing_up, 0.58, 0.42) - 0.012 * np.abs(x - 20)
    paint(canvas, wings, ramp("steel", edge_light(wings, wing_level, width=t)))
    lead_up = wing_up & shape([(29, 12.6), (32.5, 12.6), (20.5, 2.6), (17, 2.6)], 0.45)
    paint(canvas, lead_up, ramp("crimson", 0.62))
    paint(canvas, flip(lead_up), ramp("crimson", 0.46))
    paint(canvas, pods, ramp("steel", edge_light(pods, 0.74 - 0.012 * np.abs(x - 15), width=t)))
    paint(canvas, pods & (x > 22), ramp("gold", 0.85))

    # Fuselage: a lit cylinder, brighter towards the nose; dark air intakes at the wing
    # roots and a red band behind the canopy.
    level = cylinder(y, c - 0.4, 4.8) * (0.74 + 0.006 * x) + 0.02
    paint(canvas, body, ramp("steel", edge_light(body, level, width=t)))
    intake_up = shape([(14, 11.2), (22, 11.6), (22, 13.0), (14, 12.8)], 0.45)
    paint(canvas, body & intake_up, ramp("steel", 0.1))
    paint(canvas, body & flip(intake_up), ramp("steel", 0.06))
    band = body & (x > 21) & (x < 23.5)
    paint(canvas, band, ramp("crimson", cylinder(y, c, 4.3) * 0.55 + 0.3))
    paint(canvas, nozzle, ramp("steel", 0.16 + 0.14 * cylinder(y, c, 3.8)))
    paint(canvas, nozzle & (x < 7), ramp("steel", 0.32))

    # The canopy: deep blue glass with a bright glint towards the front.
    glass = oval(32.5, c, 6.4, 2.7)
    glint = oval(34.5, c - 1.1, 2.6, 0.8, 0.4)
    paint(canvas, glass, ramp("blue", 0.32 + 0.32 * cylinder(y, c, 2.7)))
    if not view.tiny:
        paint(canvas, glass & edge(glass, width=t), ramp("blue", 0.14))
    paint(canvas, glint, ramp("blue", 0.96))

    if view.tiny:
        paint(canvas, hull & (lit_edges(hull) < 0), ramp("steel", 0.04))
    else:
        outline(canvas, hull, "steel", width=t)
    paint(canvas, edge(pods, width=t) & (x > 23), ramp("gold", 0.5))

    # The engine's flame: white core, yellow, orange, red at the tip.
    heat = np.clip(1.25 - (7 - x) / 7.5 - np.abs(y - c) / 3.0, 0, 1)
    paint(canvas, flame, ramp("fire", 0.28 + 0.72 * heat))
    return canvas


def disk():
    return np.hstack([disk_frame(f) for f in range(4)])


def disk_frame(frame):
    """One of the disk's four turning steps: the painted sectors and the rim lights
    advance a quarter of their spacing each step, so the loop turns without a jump."""
    w = h = 32
    cx, cy, rx, ry = 16.0, 15.5, 15.2, 6.6
    y, x = grid(h, w)
    canvas = np.full((h, w), palette.BLACK, np.uint8)
    top = solid(ellipse(w, h, cx, cy, rx, ry))
    under = solid(ellipse(w, h, cx, cy + 3.2, rx - 0.6, ry - 0.4))
    rim_band = under & ~top
    dome = solid(ellipse(w, h, cx, cy - 3.4, 6.6, 6.2)) & (y < cy - 0.6)
    body = top | under | dome

    u, v = (x - cx) / rx, (y - cy) / ry
    angle = np.arctan2(v, u)
    sectors = 8
    turn = frame * (2 * np.pi / sectors) / 2  # two sectors make one period; four steps per period
    sector = np.floor((angle + turn) / (2 * np.pi / sectors)).astype(int) % 2
    light = np.clip(0.62 - 0.28 * u - 0.42 * v, 0, 1)
    face = np.where(sector == 0, ramp("magenta", 0.18 + 0.55 * light), ramp("violet", 0.18 + 0.6 * light))
    paint(canvas, top, face)
    r = np.sqrt(u * u + v * v)
    paint(canvas, top & (r > 0.78), ramp("steel", 0.25 + 0.55 * light))
    paint(canvas, top & (r > 0.78) & edge_mask_up(top), ramp("steel", 0.8))

    paint(canvas, rim_band, ramp("steel", np.clip(0.3 - 0.2 * u, 0.05, 1)))
    # Rim lights: eight around the rim, those on the near side show.
    for k in range(8):
        phi = k * 2 * np.pi / 8 + turn
        if np.sin(phi) < 0.15:
            continue
        lx = cx + (rx - 1.8) * np.cos(phi)
        spot = (np.abs(x - lx) < 1.0) & rim_band & (y > cy + ry - 1.2) & (y < cy + ry + 2.2)
        paint(canvas, spot, ramp("gold", 0.9 if k % 2 else 0.7))

    paint(canvas, dome, ramp("green", 0.1 + 0.85 * sphere(x, y, cx, cy - 3.4, 6.6, 6.2)))
    glint = solid(ellipse(w, h, cx - 2.4, cy - 6.6, 1.5, 1.1), 0.4)
    paint(canvas, glint, ramp("green", 1.0))
    outline(canvas, body, "violet", light=0.3, dark=0.05)
    return canvas


def sphere(x, y, cx, cy, rx, ry):
    """Brightness of a sphere lit from the upper left: 0..1."""
    nx, ny = np.clip((x - cx) / rx, -1, 1), np.clip((y - cy) / ry, -1, 1)
    nz = np.sqrt(np.clip(1 - nx * nx - ny * ny, 0, 1))
    return np.clip(-0.45 * nx - 0.55 * ny + 0.7 * nz, 0, 1)


def edge_mask_up(mask):
    """Pixels of the mask whose upper neighbour is outside it."""
    return mask & ~shift(mask, 1, 0)


def attacker():
    return np.hstack([attacker_frame(f) for f in range(2)])


def attacker_frame(frame):
    """The attacker facing left; the two frames differ in the engine's flame."""
    w, h, c = 48, 32, 16.0
    y, x = grid(h, w)
    canvas = np.full((h, w), palette.FUCHSIA, np.uint8)
    flip = np.flipud

    top = [(1.2, 15.4), (8, 12.4), (20, 10.2), (33, 10.6), (38, 12.6)]
    body = solid(polygon(w, h, top + mirror(top, c)))
    prong_up = solid(polygon(w, h, [(0.5, 8.8), (6, 7.2), (20, 8.0), (24, 10.6), (12, 11.0), (4, 10.4)]))
    fin_up = solid(polygon(w, h, [(17, 10.6), (25, 2.6), (31, 0.8), (35, 1.2), (33, 5), (33, 11)]))
    engine = solid(polygon(w, h, [(33, 11.2), (40.5, 12.0), (40.5, 20.0), (33, 20.8)]))
    prongs, fins = prong_up | flip(prong_up), fin_up | flip(fin_up)
    hull = body | prongs | fins | engine

    paint(canvas, fins, ramp("rust", edge_light(fins, np.where(fin_up, 0.5, 0.34) - 0.01 * np.abs(x - 28))))
    stripe_up = fin_up & solid(polygon(w, h, [(24, 6.0), (33.5, 1.0), (34.5, 2.6), (25, 7.6)]), 0.45)
    paint(canvas, stripe_up, ramp("gold", 0.62))
    paint(canvas, flip(stripe_up), ramp("gold", 0.45))
    paint(canvas, prongs, ramp("steel", edge_light(prongs, np.where(prong_up, 0.62, 0.42) + 0.006 * (24 - x))))
    level = cylinder(y, c - 0.4, 5.8) * 0.64 + 0.08
    paint(canvas, body, ramp("crimson", edge_light(body, level)))
    plates = body & ((np.abs(x - 22) < 0.6) | (np.abs(x - 28.5) < 0.6))
    paint(canvas, plates, ramp("crimson", level * 0.5))
    paint(canvas, engine, ramp("steel", 0.2 + 0.35 * cylinder(y, c, 4.2)))
    paint(canvas, engine & (np.abs(x - 36.5) < 0.6), ramp("steel", 0.12))

    # A single glowing eye where a cockpit would be.
    eye = solid(ellipse(w, h, 13.5, c, 4.0, 1.9))
    paint(canvas, eye, ramp("fire", np.clip(1.0 - np.hypot((x - 12.5) / 4.0, (y - c + 0.3) / 1.9) * 0.7, 0, 1)))
    outline(canvas, hull, "crimson", light=0.25, dark=0.03)
    paint(canvas, eye & edge(eye), ramp("crimson", 0.2))

    # The engine's flame flickers between a long and a short tongue.
    reach = 47.8 if frame == 0 else 44.5
    flame = solid(polygon(w, h, [(40.5, 12.8), (reach - 3, 14.6), (reach, 16), (reach - 3, 17.4), (40.5, 19.2)]), 0.4)
    heat = np.clip(1.2 - (x - 40.5) / (reach - 40.5) - np.abs(y - c) / (3.4 if frame == 0 else 2.6), 0, 1)
    paint(canvas, flame, ramp("blue" if frame == 0 else "teal", 0.35 + 0.65 * heat))
    return canvas


def boss():
    """The boss facing left: a heavy dark hull with forward claws, a bridge on top, a keel
    below, rear fins, a long cannon at the centre of its front (its shots leave from
    there) and a glowing eye; transparent wherever the hull is not, as it collides by
    pixels."""
    w, h, c = 179, 56, 28.0
    y, x = grid(h, w)
    canvas = np.full((h, w), palette.FUCHSIA, np.uint8)
    flip = np.flipud

    hull_top = [(15, 27), (36, 16.5), (60, 10.5), (128, 9), (150, 6.5), (167, 7), (173, 12)]
    hull = solid(polygon(w, h, hull_top + mirror(hull_top, c)))
    bridge = solid(polygon(w, h, [(76, 11), (86, 3.5), (92, 3.5), (96, 1.0), (118, 1.0), (130, 9.5)]))
    keel = solid(polygon(w, h, [(84, 45), (94, 52.5), (124, 52.5), (134, 46)]))
    fin_up = solid(polygon(w, h, [(138, 9), (157, 0.5), (170, 0.5), (165, 8)]))
    claw_up = solid(polygon(w, h, [(20, 19), (40, 6.5), (64, 2.0), (78, 4.0), (58, 8.5), (40, 16.5)]))
    fins, claws = fin_up | flip(fin_up), claw_up | flip(claw_up)
    barrel = solid(polygon(w, h, [(2, 25.6), (30, 25.6), (30, 30.4), (2, 30.4)]))
    muzzle = solid(polygon(w, h, [(0, 24.2), (5, 24.2), (5, 31.8), (0, 31.8)]))
    nozzle_rows = (16.0, 28.0, 40.0)
    nozzles = np.zeros((h, w), bool)
    for ny in nozzle_rows:
        nozzles |= solid(polygon(w, h, [(168, ny - 3.4), (177, ny - 4.4), (177, ny + 4.4), (168, ny + 3.4)]))
    body = hull | bridge | keel
    shape = body | claws | fins | barrel | muzzle | nozzles

    # The hull: dark gunmetal, shaded as a cylinder by ordered dithering.
    level = cylinder(y, c - 3, 22, light=0.6) * 0.44 + 0.03 + 0.001 * (x - 90)
    paint(canvas, body, ramp_dithered("steel", edge_light(body, level, 0.14, 0.06)))
    paint(canvas, bridge, ramp_dithered("steel", edge_light(bridge, 0.46 - 0.01 * (y - 1), 0.16, 0.06)))
    paint(canvas, keel, ramp_dithered("steel", edge_light(keel, 0.16 - 0.006 * (y - 46), 0.08, 0.04)))
    paint(canvas, fins, ramp_dithered("crimson", edge_light(fins, np.where(fin_up, 0.42, 0.22), 0.16, 0.08)))

    # Armour plates along the flanks with a few seams, and a red running light.
    side = np.abs(y - c)
    plate = hull & (side > 10.5) & (side < 17.5) & (x > 44) & (x < 164)
    paint(canvas, plate, ramp_dithered("violet", np.where(y < c, 0.36, 0.18) - 0.001 * np.abs(x - 100)))
    seam_x = (np.abs(x - 62) < 0.5) | (np.abs(x - 84) < 0.5) | (np.abs(x - 118) < 0.5) | (np.abs(x - 142) < 0.5)
    paint(canvas, body & ((seam_x & (x > 44)) | ((np.abs(side - 10.5) < 0.5) & (x > 40) & (x < 166))), ramp("space", 0.6))
    paint(canvas, hull & (side < 1.2) & (x > 38) & (x < 166) & (np.abs(x - 100) > 11), ramp("crimson", 0.45))
    ports = hull & (np.abs(side - 6) < 1.1) & ((x - 40) % 8 < 3) & (x > 42) & (x < 80)
    paint(canvas, ports, ramp("space", 0.3))
    paint(canvas, ports & (y < c) & ((x - 40) % 8 < 1), ramp("crimson", 0.7))
    windows = bridge & (np.abs(y - 5.5) < 1) & ((x - 97) % 5 < 2.5) & (x > 96) & (x < 120)
    paint(canvas, windows, ramp("crimson", 0.78))
    vents = plate & (np.abs(side - 14) < 1.1) & ((x - 48) % 12 < 6) & (x > 130) & (x < 162)
    paint(canvas, vents, ramp("fire", np.where(y < c, 0.6, 0.45)))

    # The forward claws and the cannon.
    claw_level = np.where(claw_up, 0.56, 0.3) - 0.004 * np.abs(x - 50)
    paint(canvas, claws, ramp_dithered("crimson", edge_light(claws, claw_level, 0.16, 0.08)))
    paint(canvas, claws & (np.abs(x - 58) < 0.6), ramp("crimson", 0.1))
    paint(canvas, barrel, ramp("steel", cylinder(y, c, 2.6) * 0.6 + 0.1))
    paint(canvas, barrel & ((x - 8) % 7 < 1), ramp("steel", 0.12))
    paint(canvas, muzzle, ramp("steel", cylinder(y, c, 3.8) * 0.65 + 0.12))
    paint(canvas, muzzle & (x < 1.2) & (np.abs(y - c) < 2), ramp("magenta", 0.85))

    # The eye: a glowing iris with a dark slit, in a heavy ring.
    r = np.hypot((x - 100) / 10.0, (y - c) / 7.0)
    eye = r < 1
    paint(canvas, eye, ramp("steel", 0.1 + 0.1 * (y < c)))
    iris = r < 0.78
    paint(canvas, iris, ramp("fire", np.clip(1.1 - 1.1 * r, 0, 1)))
    paint(canvas, iris & (r > 0.62), ramp("crimson", 0.5))
    paint(canvas, iris & (np.abs(x - 100) < 1.0) & (np.abs(y - c) < 4.2), ramp("crimson", 0.12))

    # Thrusters with blue-white exhaust cores.
    paint(canvas, nozzles, ramp("steel", 0.16 + 0.22 * cylinder(y, c, 24)))
    for ny in nozzle_rows:
        glow = nozzles & (x > 174) & (np.abs(y - ny) < 3.2)
        paint(canvas, glow, ramp("blue", np.clip(1.0 - np.abs(y - ny) / 3.5, 0, 1) * 0.7 + 0.3))

    outline(canvas, shape, "violet", light=0.2, dark=0.03)
    return canvas


def bounce():
    """A small bright plasma bolt, the same both ways, since the ship fires it to the
    right and the boss to the left: white core, cyan glow, deep blue fringe."""
    w, h = 16, 8
    y, x = grid(h, w)
    canvas = np.full((h, w), palette.BLACK, np.uint8)
    r = np.hypot((x - 8) / 7.6, (y - 4) / 3.7)
    glow = r < 1
    heat = np.clip(1.0 - r, 0, 1)
    paint(canvas, glow, ramp("blue", 0.3 + 1.2 * heat))
    core = np.hypot((x - 8) / 4.6, (y - 4) / 1.6) < 1
    paint(canvas, core, palette.WHITE)
    return canvas
