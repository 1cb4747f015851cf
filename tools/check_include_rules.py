#!/usr/bin/env python3
"""Checks the include rules of docs/architecture.md over src/: which room (folder) may
include which, and that only the platform talks to SDL; prints each offending line as
FILE:LINE: why, and exits 1 when there is one.

The build already refuses an SDL header where the library is not linked to SDL, and a
header of a library a layer is not linked to; this check also catches what linking cannot:
the order of the rooms that share a library (game/ and app/'s rooms, graphics/, media/ and
sprite/), a backend header included from anywhere but its chooser, and SDL calls in the
software device other than its surface and pixel-format routines."""
import re
import sys
from pathlib import Path

ROOT = Path(__file__).resolve().parent.parent
SRC = ROOT / "src"

INCLUDE = re.compile(r'^\s*#\s*include\s*([<"])([^>"]+)[>"]')
SDL_HEADER = re.compile(r"^(SDL[^/]*\.h|SDL2/.*|fontconfig/.*)$")
# libpng's header belongs to platform/png alone.
PNG_HEADER = re.compile(r"^(png\.h|pngconf\.h|libpng[0-9]*/.*)$")
# What the software device may call of SDL: surfaces, rectangles, pixel formats, palettes.
SOFT_SDL_NAME = re.compile(r"\b(SDL_\w+|TTF_\w+|Fc[A-Z]\w+)")
SOFT_SDL_ALLOWED = re.compile(
    r"SDL_(Surface|Rect|Point|Color|Palette|PixelFormat|BlendMode|bool|TRUE|FALSE|"
    r"PIXELFORMAT_\w+|ISPIXELFORMAT_\w+|BITSPERPIXEL|BYTESPERPIXEL|BLENDMODE_\w+|MUSTLOCK|"
    r"CreateRGBSurface\w*|FreeSurface|DuplicateSurface|ConvertSurface\w*|LockSurface|UnlockSurface|"
    r"SetSurface\w+|GetSurface\w+|SetColorKey|GetColorKey|HasColorKey|FillRects?|BlitSurface|"
    r"BlitScaled|UpperBlit\w*|LowerBlit\w*|MapRGBA?|GetRGBA?|AllocPalette|FreePalette|"
    r"SetPaletteColors|AllocFormat|FreeFormat|MasksToPixelFormatEnum|PixelFormatEnumToMasks|"
    r"IntersectRect|HasIntersection|RectEmpty|RectEquals|UnionRect)$"
)

# What the layers above the platform may use of it: the service interfaces and the toolkit.
PLATFORM_FACE = {"platform", "platform/toolkit"}
# The multimedia layer and what it stands on.
MEDIA = {"graphics", "media", "sprite"} | PLATFORM_FACE
# The game's layer below app/: what every room of app/ may use.
GAME = {"game", "assets"} | MEDIA
APP_ROOMS = {"app", "app/window", "app/settings", "app/replays", "app/screenshots", "app/controls"}

# Each room of src/ (a folder; "" is src/ itself, the program's entry) and the rooms its
# files may include besides their own. runtime/ is below every room and may be included
# from any. A file belongs to the deepest room that holds it.
ROOMS = {
    "runtime": set(),
    "platform": set(),
    "platform/toolkit": {"platform"},
    "platform/audio": {"platform"},
    "platform/fonts": set(),
    "platform/soft": {"platform", "platform/fonts"},
    "platform/png": set(),
    "platform/sdl": {"platform", "platform/toolkit", "platform/audio", "platform/soft", "platform/fonts",
                     "platform/png"},
    "platform/headless": {"platform", "platform/toolkit", "platform/audio", "platform/soft", "platform/png"},
    "graphics": PLATFORM_FACE,
    "media": PLATFORM_FACE,
    "sprite": {"graphics"},
    "assets": set(),
    "game": MEDIA,
    "app/controls": GAME,
    "app/window": GAME | {"app/controls"},
    "app/replays": GAME | {"app/window"},
    "app/screenshots": GAME | {"app/window"},
    "app/settings": GAME | {"app/window", "app/controls"},
    "app": GAME | APP_ROOMS,
    "script": GAME | APP_ROOMS | {"platform/headless"},
    "": APP_ROOMS | {"platform/sdl", "assets"},
}
# Rooms whose files include no SDL, SDL_ttf or fontconfig header.
SDL_ROOMS = {"platform/fonts", "platform/soft", "platform/sdl", "platform/headless"}
NO_SDL = set(ROOMS) - SDL_ROOMS


def room_of(relative_folder):
    """The deepest room holding a folder given relative to src/, or None for a folder of
    no room."""
    parts = relative_folder.split("/") if relative_folder else []
    for length in range(len(parts), -1, -1):
        room = "/".join(parts[:length])
        if room in ROOMS:
            return room
    return None


def check_include(room, header):
    if PNG_HEADER.match(header):
        return None if room == "platform/png" else f"{room or 'src'}/ leaves libpng to platform/png"
    if SDL_HEADER.match(header):
        return None if room not in NO_SDL else f"{room or 'src'}/ includes no SDL or font header"
    target = room_of(str(Path(header).parent)) if "/" in header else None
    if target is None:
        return f"{header} is in no room of src/"
    if target == room or target == "runtime" or target in ROOMS[room]:
        return None
    return f"{room or 'src'}/ may not include {target}/"


def problems_in(path):
    text = path.read_text(encoding="utf-8")
    folder = path.parent.relative_to(SRC).as_posix()
    room = room_of("" if folder == "." else folder)
    if room is None:
        yield 1, path.name, "the file is in no room of src/"
        return
    for line_no, line in enumerate(text.splitlines(), 1):
        match = INCLUDE.match(line)
        if match:
            quoted, header = match.group(1) == '"', match.group(2)
            outside = SDL_HEADER.match(header) or PNG_HEADER.match(header)
            why = check_include(room, header) if quoted or outside else None
            if why:
                yield line_no, line.strip(), why
        if room == "platform/headless" and "sdl/" in line:
            yield line_no, line.strip(), "nothing under headless/ names sdl/"
        if room == "platform/soft":
            for name in SOFT_SDL_NAME.findall(line.split("//")[0]):
                if not SOFT_SDL_ALLOWED.match(name):
                    yield line_no, line.strip(), f"platform/soft uses SDL's surface routines only, not {name}"


def main():
    failures = 0
    files = 0
    for path in sorted(SRC.rglob("*.[ch]pp")):
        files += 1
        relative = path.relative_to(SRC)
        for line_no, line, why in problems_in(path):
            print(f"src/{relative}:{line_no}: {why}: {line}")
            failures += 1
    if failures:
        print(f"{failures} include rule(s) broken", file=sys.stderr)
        return 1
    print(f"include rules: ok ({files} files in {len(ROOMS)} rooms)")
    return 0


if __name__ == "__main__":
    sys.exit(main())
