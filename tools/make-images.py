#!/usr/bin/env python3
"""Draws the program's icons and pictures and writes them into resources/images/.

Run it after changing a picture; its output is committed, so builds need no image tools.
"""
import math
import os
import struct

OUT = os.path.join(os.path.dirname(os.path.abspath(__file__)), "..", "resources", "images")

# The 16 colours of a 4-bit icon (the standard Windows palette), as RGB.
PALETTE16 = [
    (0, 0, 0), (128, 0, 0), (0, 128, 0), (128, 128, 0), (0, 0, 128), (128, 0, 128), (0, 128, 128),
    (192, 192, 192), (128, 128, 128), (255, 0, 0), (0, 255, 0), (255, 255, 0), (0, 0, 255),
    (255, 0, 255), (0, 255, 255), (255, 255, 255),
]


def ico_file(images):
    """images: list of (width, height, dib bytes). Returns the .ico file bytes."""
    header = struct.pack("<HHH", 0, 1, len(images))
    offset = 6 + 16 * len(images)
    entries, data = b"", b""
    for width, height, dib, colours, bpp in images:
        entries += struct.pack("<BBBBHHII", width % 256, height % 256, colours, 0, 1, bpp, len(dib), offset)
        offset += len(dib)
        data += dib
    return header + entries + data


def and_mask(width, height, opaque):
    row_bytes = ((width + 31) // 32) * 4
    out = b""
    for y in reversed(range(height)):
        row = bytearray(row_bytes)
        for x in range(width):
            if not opaque(x, y):
                row[x // 8] |= 0x80 >> (x % 8)
        out += bytes(row)
    return out


def dib_4bit(rows):
    """rows: 16 strings of palette indexes in hex, '.' for transparent."""
    width = height = len(rows)
    info = struct.pack("<IiiHHIIiiII", 40, width, height * 2, 1, 4, 0, 0, 0, 0, 16, 0)
    palette = b"".join(struct.pack("<BBBB", b, g, r, 0) for r, g, b in PALETTE16)
    pixels = b""
    for row in reversed(rows):
        line = bytearray()
        for x in range(0, width, 2):
            hi = 0 if row[x] == "." else int(row[x], 16)
            lo = 0 if row[x + 1] == "." else int(row[x + 1], 16)
            line.append(hi << 4 | lo)
        pixels += bytes(line)
    mask = and_mask(width, height, lambda x, y: rows[y][x] != ".")
    return (width, height, info + palette + pixels + mask, 16, 4)


def dib_32bit(size, pixel):
    """pixel(x, y) -> (r, g, b, a) with y from the top."""
    info = struct.pack("<IiiHHIIiiII", 40, size, size * 2, 1, 32, 0, 0, 0, 0, 0, 0)
    pixels = b""
    for y in reversed(range(size)):
        for x in range(size):
            r, g, b, a = pixel(x, y)
            pixels += struct.pack("<BBBB", b, g, r, a)
    mask = and_mask(size, size, lambda x, y: pixel(x, y)[3] > 0)
    return (size, size, info + pixels + mask, 0, 32)


# A red exclamation mark and a red question mark (9 = red), each with a black shadow (0).
EXCLAMATION = [
    "................",
    "......99........",
    ".....9999.......",
    ".....99990......",
    ".....99990......",
    ".....99990......",
    "......9900......",
    "......9900......",
    "......9900......",
    ".......00.......",
    "................",
    "......99........",
    ".....99990......",
    "......9900......",
    ".......00.......",
    "................",
]
QUESTION = [
    "................",
    ".....9999.......",
    "....999999......",
    "...990..990.....",
    "...990..990.....",
    "....00..990.....",
    "........990.....",
    ".......9900.....",
    "......9900......",
    "......990.......",
    ".......00.......",
    "......99........",
    ".....99990......",
    "......9900......",
    ".......00.......",
    "................",
]


def app_sample(u, v):
    """The application's drawing: a page under a magnifying glass.
    u, v in 0..1 from the top left. Returns RGBA or None."""
    # Magnifier: ring, lens, handle.
    cx, cy, r = 0.58, 0.42, 0.26
    d = math.hypot(u - cx, v - cy)
    hx, hy = u - cx, v - cy
    along = (hx + hy) / math.sqrt(2)
    across = abs(hx - hy) / math.sqrt(2)
    if r + 0.02 < along < 0.62 and across < 0.065:
        return (90, 60, 30, 255)
    if r - 0.05 <= d <= r + 0.03:
        return (20, 50, 140, 255)
    if d < r - 0.05:
        return (170, 215, 255, 200)
    # Page with a folded corner and text lines.
    if 0.08 <= u <= 0.62 and 0.06 <= v <= 0.94:
        if u - 0.48 > v - 0.06:
            return None
        if abs(u - 0.48 - (v - 0.06)) < 0.03 or u < 0.11 or u > 0.59 or v < 0.09 or v > 0.91:
            return (60, 60, 60, 255)
        if 0.16 < u < 0.54 and any(abs(v - line) < 0.022 for line in (0.30, 0.42, 0.54, 0.66, 0.78)):
            return (120, 120, 120, 255)
        return (255, 255, 255, 255)
    return None


def app_pixel(size):
    """The application icon, drawn with 4x4 supersampling."""
    sample = app_sample

    def pixel(x, y):
        total, rgb = 0, [0, 0, 0]
        for sy in range(4):
            for sx in range(4):
                c = sample((x + (sx + 0.5) / 4) / size, (y + (sy + 0.5) / 4) / size)
                if c:
                    a = c[3]
                    total += a
                    for i in range(3):
                        rgb[i] += c[i] * a
        if total == 0:
            return (0, 0, 0, 0)
        return (rgb[0] // total, rgb[1] // total, rgb[2] // total, total // 16)

    return pixel


def bmp_24bit(size, pixel):
    """pixel(x, y) -> (r, g, b) with y from the top. Returns the .bmp file bytes."""
    row_bytes = (size * 3 + 3) // 4 * 4
    pixels = b""
    for y in reversed(range(size)):
        row = bytearray()
        for x in range(size):
            r, g, b = pixel(x, y)
            row += bytes((b, g, r))
        pixels += bytes(row) + bytes(row_bytes - len(row))
    info = struct.pack("<IiiHHIIiiII", 40, size, size, 1, 24, 0, len(pixels), 2835, 2835, 0, 0)
    header = struct.pack("<2sIHHI", b"BM", 14 + len(info) + len(pixels), 0, 0, 14 + len(info))
    return header + info + pixels


# The about page's picture: the application icon's page and magnifier, large,
# on pure blue, which the page draws as transparent.
PICTURE_TRANSPARENT = (0, 0, 255)


def picture_pixel(size):
    """Edges against the transparent blue are hard (half the samples decide), so
    no blue fringe shows; edges between the drawing's own colours are smoothed."""
    lens_opaque = (170, 215, 255)

    def sample(u, v):
        c = app_sample(u, v)
        if c is None:
            return None
        return lens_opaque if c[3] < 255 else c[:3]

    def pixel(x, y):
        covered = []
        for sy in range(4):
            for sx in range(4):
                c = sample((x + (sx + 0.5) / 4) / size, (y + (sy + 0.5) / 4) / size)
                if c:
                    covered.append(c)
        if len(covered) < 8:
            return PICTURE_TRANSPARENT
        return tuple(sum(c[i] for c in covered) // len(covered) for i in range(3))

    return pixel


def write(name, data):
    with open(os.path.join(OUT, name), "wb") as f:
        f.write(data)


def main():
    os.makedirs(OUT, exist_ok=True)
    write("exclamation.ico", ico_file([dib_4bit(EXCLAMATION)]))
    write("question.ico", ico_file([dib_4bit(QUESTION)]))
    write("velmora.ico", ico_file([dib_32bit(s, app_pixel(s)) for s in (16, 32, 48, 64)]))
    write("about.bmp", bmp_24bit(250, picture_pixel(250)))


if __name__ == "__main__":
    main()
