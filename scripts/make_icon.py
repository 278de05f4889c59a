#!/usr/bin/env python3
"""Draws the program icon: the same face at 16, 20, 24, 32, 40 and 48 pixels,
each image with a 256-colour palette and a transparency mask, written as one
Windows .ico file (plain Python, no imaging library, so the icon can be rebuilt
anywhere). The notification area and the caption take the small size (16 at
96 DPI, 20 and 24 at 120 and 144 DPI), the task switcher the large one (32, 40,
48 at the same settings): each image is computed from the design at its own
size, so the system never has to shrink or stretch one.

  make_icon.py [out.ico]     default: src/app/pallimo.ico beside this script's tree

The face is designed on a 32-pixel grid and computed at 4x4 samples per pixel
of each size, so that its inner edges are smooth; pixels less than half
covered by the face are transparent. The outline is a pixel wide or more
at every size, so that the smallest images keep it.
"""
import math
import os
import struct
import sys

SIZES = (16, 20, 24, 32, 40, 48)
DESIGN = 32.0  # the grid the face below is drawn on
SAMPLES = 4

OUTLINE = (120, 72, 0)
FACE_LIGHT = (255, 236, 96)
FACE_DARK = (240, 168, 0)
INK = (40, 24, 0)
WHITE = (255, 255, 255)
CHEEK = (255, 140, 60)

CX, CY, R = 16.0, 16.0, 15.0


def face_colour(x, y, outline=1.4):
    """Colour of the design at a point, or None outside the face; `outline` is
    the width of the rim in design units."""
    d = math.hypot(x - CX, y - CY)
    if d > R:
        return None
    if d > R - outline:
        return OUTLINE
    # Eyes: upright ellipses with a small highlight.
    for ex in (11.2, 20.8):
        if ((x - ex) / 2.1) ** 2 + ((y - 11.5) / 3.4) ** 2 <= 1.0:
            if math.hypot(x - (ex - 0.6), y - 10.2) < 0.9:
                return WHITE
            return INK
    # Smile: a thick arc below the centre.
    dm = math.hypot(x - CX, y - 15.0)
    ang = math.degrees(math.atan2(y - 15.0, x - CX))
    if 25 <= ang <= 155 and abs(dm - 9.0) < 1.1:
        return INK
    # Rounded ends of the smile.
    for a in (25, 155):
        px = CX + 9.0 * math.cos(math.radians(a))
        py = 15.0 + 9.0 * math.sin(math.radians(a))
        if math.hypot(x - px, y - py) < 1.1:
            return INK
    # Cheeks.
    for ex in (7.5, 24.5):
        if math.hypot(x - ex, y - 18.5) < 2.2:
            return blend(CHEEK, shade(x, y), 0.45)
    return shade(x, y)


def shade(x, y):
    # Light from the top left, in a few steps so the palette stays small.
    t = math.hypot(x - 11.0, y - 10.0) / (R * 1.45)
    t = min(1.0, round(t * 8) / 8.0)
    return blend(FACE_DARK, FACE_LIGHT, t)


def blend(a, b, t):
    """a*t + b*(1-t)."""
    return tuple(int(round(a[i] * t + b[i] * (1 - t))) for i in range(3))


def render(size):
    scale = DESIGN / size
    outline = max(1.4, scale)  # one pixel at least
    pixels = []  # rows from the top: (r, g, b) or None
    for py in range(size):
        row = []
        for px in range(size):
            acc = [0, 0, 0]
            hits = 0
            for sy in range(SAMPLES):
                for sx in range(SAMPLES):
                    c = face_colour((px + (sx + 0.5) / SAMPLES) * scale,
                                    (py + (sy + 0.5) / SAMPLES) * scale, outline)
                    if c is not None:
                        hits += 1
                        for i in range(3):
                            acc[i] += c[i]
            if hits * 2 < SAMPLES * SAMPLES:
                row.append(None)
            else:
                row.append(tuple(int(round(v / hits)) for v in acc))
        pixels.append(row)
    return pixels


def palette_for(pixels):
    """Up to 256 colours: exact when they fit, else channels coarsened until they do."""
    step = 1
    while True:
        def q(c):
            return tuple(min(255, (v // step) * step + step // 2) for v in c) if step > 1 else c
        colours = sorted({q(c) for row in pixels for c in row if c is not None})
        if len(colours) <= 255:
            return [(0, 0, 0)] + colours, q  # entry 0: under the transparent pixels
        step *= 2


def image_bytes(pixels):
    """One image of the file: BITMAPINFOHEADER, palette, colour rows, mask rows."""
    size = len(pixels)
    mask_row = (size + 31) // 32 * 4  # bits, padded to whole DWORDs
    palette, q = palette_for(pixels)
    index = {c: i for i, c in enumerate(palette)}
    xor = bytearray()
    mask = bytearray()
    for row in reversed(pixels):  # bottom-up
        for c in row:
            xor.append(0 if c is None else index[q(c)])
        bits = 0
        for x, c in enumerate(row):
            if c is None:
                bits |= 1 << (mask_row * 8 - 1 - x)
        mask += bits.to_bytes(mask_row, "big")  # colour rows of 16..48 bytes are DWORD aligned
    pal = bytearray()
    for i in range(256):
        r, g, b = palette[i] if i < len(palette) else (0, 0, 0)
        pal += bytes((b, g, r, 0))
    header = struct.pack("<IiiHHIIiiII", 40, size, size * 2, 1, 8, 0, len(xor) + len(mask),
                         0, 0, 256, 0)
    return header + pal + xor + mask


def ico_bytes(images):
    """The .ico file: a directory of (size, image bytes), smallest first, then the images."""
    out = struct.pack("<HHH", 0, 1, len(images))
    offset = 6 + 16 * len(images)
    for size, image in images:
        out += struct.pack("<BBBBHHII", size, size, 0, 0, 1, 8, len(image), offset)
        offset += len(image)
    for _, image in images:
        out += image
    return out


def main():
    here = os.path.dirname(os.path.abspath(__file__))
    out = sys.argv[1] if len(sys.argv) > 1 else os.path.join(here, "..", "src", "app", "pallimo.ico")
    data = ico_bytes([(size, image_bytes(render(size))) for size in SIZES])
    with open(out, "wb") as f:
        f.write(data)
    print("%s: %d bytes" % (os.path.normpath(out), len(data)))


if __name__ == "__main__":
    main()
