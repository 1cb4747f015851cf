"""The game's icon for desktop menus: the player's ship of the "Machine" picture, drawn
again at each size the icon theme asks for, on a transparent background.

Sizes of 48 pixels and more are drawn four times finer and averaged down, so their edges
are smooth; the two small sizes are drawn pixel for pixel with hard edges and the ship a
quarter taller than true, so that wings, canopy and flame stay apart at 16 x 16."""

import numpy as np

import palette
import sprites

APP_ID = "example.vektrion.Vektrion"
SIZES = (16, 32, 48, 64, 128, 256)
SHIP_LEFT, SHIP_RIGHT = -1.5, 47.6  # the flame's tip and the nose, in picture pixels
MARGIN = 0.02  # of the icon's width, each side


def file_name(size):
    """The icon's file under assets/icons/."""
    return f"vektrion-{size}.png"


def view(size):
    """How many times finer than the icon the ship is drawn, and where it goes."""
    fine = 4 if size >= 48 else 1
    canvas = size * fine
    scale = canvas * (1 - 2 * MARGIN) / (SHIP_RIGHT - SHIP_LEFT)
    tall = 1.0 if fine > 1 else 1.25
    return fine, sprites.View(width=canvas, height=canvas, scale=scale, tall=tall,
                              left=canvas * MARGIN - SHIP_LEFT * scale,
                              top=canvas / 2 - 16 * scale * tall,
                              line=max(1, round(scale * 0.8)),
                              supersample=2 if canvas > 256 else 8, tiny=canvas < 24)


def icon(size):
    """The icon as rows of red, green, blue and alpha, top row first."""
    fine, where = view(size)
    entries = sprites.machine(where)
    rgb = palette.PALETTE[entries].astype(float)
    alpha = (entries != palette.BLACK).astype(float)
    return average_down(rgb, alpha, fine)


def average_down(rgb, alpha, fine):
    """Averages blocks of fine x fine pixels, colours weighted by their cover."""
    h, w = alpha.shape
    blocks = (h // fine, fine, w // fine, fine)
    count = alpha.reshape(blocks).sum(axis=(1, 3))
    paint = (rgb * alpha[..., None]).reshape(blocks + (3,)).sum(axis=(1, 3))
    colour = paint / np.maximum(count, 1)[..., None]
    out = np.dstack([np.rint(colour), np.rint(count / fine ** 2 * 255)])
    out[count == 0] = 0  # fully transparent pixels carry no colour
    return out.astype(np.uint8)
