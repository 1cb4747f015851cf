"""The catalogue of the game's nine pictures: stored name, file, size, bit depth,
compression, pattern size and transparent entry, with the function that draws each."""

from dataclasses import dataclass
from typing import Callable, Optional

import effects
import gameover
import logo
import palette
import sprites
from formats import NONE, RLE8


@dataclass(frozen=True)
class Picture:
    name: str          # the name the game looks the picture up by
    file: str          # under assets/pictures/
    width: int
    height: int
    bits: int
    compression: int
    pattern: tuple     # pattern width and height; (0, 0) for one pattern
    key: Optional[int]  # palette entry of the transparent colour; None when opaque
    draw: Callable


ORDER = [
    Picture("Star", "star.bmp", 128, 64, 8, RLE8, (16, 16), palette.BLACK, effects.stars),
    Picture("Enemy-disk", "enemy_disk.bmp", 128, 32, 8, RLE8, (32, 32), palette.BLACK, sprites.disk),
    Picture("Enemy-Attacker", "enemy_attacker.bmp", 96, 32, 8, NONE, (48, 32), palette.FUCHSIA, sprites.attacker),
    Picture("Enemy-boss", "enemy_boss.bmp", 179, 56, 8, RLE8, (0, 0), palette.FUCHSIA, sprites.boss),
    Picture("Bounce", "bounce.bmp", 16, 8, 8, RLE8, (0, 0), palette.BLACK, sprites.bounce),
    Picture("Explosion", "explosion.bmp", 192, 32, 8, RLE8, (48, 32), palette.BLACK, effects.explosion),
    Picture("Machine", "machine.bmp", 48, 32, 8, RLE8, (0, 0), palette.BLACK, sprites.machine),
    Picture("Logo", "logo.bmp", 600, 89, 8, RLE8, (0, 0), palette.BLACK, logo.logo),
    Picture("corrupcion", "corrupcion.bmp", 400, 309, 24, NONE, (0, 0), None, gameover.corrupcion),
]

PICTURES = {p.name: p for p in ORDER}
