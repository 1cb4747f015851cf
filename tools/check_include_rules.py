#!/usr/bin/env python3
"""Checks the include rules of src/platform/ and the layers above it; prints each offending
line as FILE:LINE: why, and exits 1 when there is one.

The build already refuses an SDL header where the library is not linked to SDL; this check
also catches what linking cannot: a backend header included from where it may not be, and
SDL calls in the software device other than its surface and pixel-format routines."""
import re
import sys
from pathlib import Path

ROOT = Path(__file__).resolve().parent.parent
SRC = ROOT / "src"

INCLUDE = re.compile(r'^\s*#\s*include\s*[<"]([^>"]+)[>"]')
SDL_HEADER = re.compile(r"^(SDL[^/]*\.h|SDL2/.*|fontconfig/.*)$")
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

# For each folder under src/platform: the platform folders its files may include.
PLATFORM_INCLUDES = {
    "": {""},
    "toolkit": {"", "toolkit"},
    "audio": {"", "audio"},
    "fonts": {"fonts"},
    "soft": {"", "soft", "fonts"},
    "sdl": {"", "sdl", "toolkit", "audio", "soft", "fonts"},
    "headless": {"", "headless", "toolkit", "audio", "soft"},
}
# Folders whose files include no SDL, SDL_ttf or fontconfig header.
NO_SDL = {"", "toolkit", "audio"}


def platform_folder(path):
    parts = path.relative_to(SRC / "platform").parts
    return parts[0] if len(parts) > 1 else ""


def check_platform_file(folder, header):
    if header.startswith("platform/"):
        rest = header[len("platform/"):].split("/")
        target = rest[0] if len(rest) > 1 else ""
        if target not in PLATFORM_INCLUDES[folder]:
            return f"platform/{folder or '.'} may not include platform/{target or '.'}"
    elif folder in NO_SDL and SDL_HEADER.match(header):
        return f"platform/{folder or '.'} includes no SDL or font header"
    return None


# Above the platform, only the program picks the SDL backend and only the scripted run the headless one.
BACKEND_CHOOSERS = {"main.cpp": "platform/sdl/", "script": "platform/headless/"}


def picks_backend(path, header):
    chooser = BACKEND_CHOOSERS.get(path.relative_to(SRC).parts[0])
    return chooser is not None and header.startswith(chooser)


def problems_in(path):
    text = path.read_text(encoding="utf-8")
    in_platform = (SRC / "platform") in path.parents
    folder = platform_folder(path) if in_platform else None
    for line_no, line in enumerate(text.splitlines(), 1):
        match = INCLUDE.match(line)
        if match:
            header = match.group(1)
            if in_platform:
                why = check_platform_file(folder, header)
            elif picks_backend(path, header):
                why = None
            elif SDL_HEADER.match(header) or header.startswith(("platform/sdl/", "platform/headless/")):
                why = "only the platform talks to SDL and picks a backend"
            else:
                why = None
            if why:
                yield line_no, line.strip(), why
        if folder == "headless" and "sdl/" in line:
            yield line_no, line.strip(), "nothing under headless/ names sdl/"
        if folder == "soft":
            for name in SOFT_SDL_NAME.findall(line.split("//")[0]):
                if not SOFT_SDL_ALLOWED.match(name):
                    yield line_no, line.strip(), f"platform/soft uses SDL's surface routines only, not {name}"


def main():
    failures = 0
    for path in sorted(SRC.rglob("*.[ch]pp")):
        relative = path.relative_to(SRC)
        for line_no, line, why in problems_in(path):
            print(f"src/{relative}:{line_no}: {why}: {line}")
            failures += 1
    if failures:
        print(f"{failures} include rule(s) broken", file=sys.stderr)
        return 1
    print("platform include rules: ok")
    return 0


if __name__ == "__main__":
    sys.exit(main())
