#!/usr/bin/env python3
"""Draws the program's icons and bitmaps and writes them into resources/images/.

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


def bmp_file(width, height, pixel):
    """A 24-bit .bmp; pixel(x, y) -> (r, g, b) with y from the top."""
    row_bytes = (width * 3 + 3) // 4 * 4
    pixels = b""
    for y in reversed(range(height)):
        row = bytearray()
        for x in range(width):
            r, g, b = pixel(x, y)
            row += bytes((b, g, r))
        pixels += bytes(row) + bytes(row_bytes - len(row))
    info = struct.pack("<IiiHHIIiiII", 40, width, height, 1, 24, 0, len(pixels), 2835, 2835, 0, 0)
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


def dib_8bit(size, pixel):
    """A 256-colour icon image: the colours that pixel(x, y) -> (r, g, b, a) uses make its palette."""
    colours = []
    for y in range(size):
        for x in range(size):
            r, g, b, a = pixel(x, y)
            if a and (r, g, b) not in colours:
                colours.append((r, g, b))
    colours = colours[:255]
    info = struct.pack("<IiiHHIIiiII", 40, size, size * 2, 1, 8, 0, 0, 0, 0, 256, 0)
    palette = b"".join(struct.pack("<BBBB", b, g, r, 0) for r, g, b in colours)
    palette += bytes(4 * (256 - len(colours)))
    pixels = b""
    for y in reversed(range(size)):
        row = bytearray()
        for x in range(size):
            r, g, b, a = pixel(x, y)
            row.append(nearest(colours, (r, g, b)) if a else 0)
        pixels += bytes(row) + bytes((4 - size % 4) % 4)
    mask = and_mask(size, size, lambda x, y: pixel(x, y)[3] > 0)
    return (size, size, info + palette + pixels + mask, 0, 8)


def nearest(colours, rgb):
    return min(range(len(colours)), key=lambda i: sum((colours[i][k] - rgb[k]) ** 2 for k in range(3)))


# Pictures for the toolbar, the tray menu and the tray icon. Each is a function of u, v in 0..1
# from the top left that returns an (r, g, b) colour or None for the background. They share one
# palette, so the toolbar, the menu and the icons look like one set.
INK = (20, 50, 140)
LIGHT = (170, 215, 255)
GOLD = (225, 170, 40)
RED = (200, 40, 40)
GREEN = (40, 150, 60)
WHITE = (255, 255, 255)


def gear(u, v):
    d = math.hypot(u - 0.5, v - 0.5)
    angle = math.atan2(v - 0.5, u - 0.5)
    tooth = 0.40 if math.cos(angle * 8) > 0.3 else 0.31
    if d < 0.13:
        return None
    if d < tooth:
        return INK if d > tooth - 0.05 or d < 0.18 else LIGHT
    return None


def help_mark(u, v):
    d = math.hypot(u - 0.5, v - 0.5)
    if d > 0.44:
        return None
    if d > 0.39:
        return INK
    # A question mark: an arc, a stem and a dot.
    arc = math.hypot(u - 0.5, v - 0.38)
    if 0.08 < arc < 0.16 and (v < 0.40 or u > 0.5):
        return WHITE
    if abs(u - 0.5) < 0.05 and 0.44 < v < 0.60:
        return WHITE
    if math.hypot(u - 0.5, v - 0.72) < 0.06:
        return WHITE
    return (60, 110, 210)


def padlock(opened):
    def draw(u, v):
        if 0.22 <= u <= 0.78 and 0.45 <= v <= 0.90:
            edge = u < 0.26 or u > 0.74 or v < 0.49 or v > 0.86
            if math.hypot(u - 0.5, v - 0.63) < 0.05 or (abs(u - 0.5) < 0.025 and 0.63 < v < 0.76):
                return INK
            return (150, 105, 15) if edge else GOLD
        # The shackle: an arch above the body, lifted and turned aside when open.
        cx, cy = (0.62, 0.30) if opened else (0.5, 0.40)
        d = math.hypot(u - cx, v - cy)
        leg = v > cy and v < (0.45 if not opened else 0.40)
        if 0.14 < d < 0.21 and v <= cy:
            return (120, 120, 130)
        if leg and (abs(u - (cx - 0.175)) < 0.035 and not opened or abs(u - (cx + 0.175)) < 0.035):
            return (120, 120, 130)
        return None
    return draw


def exit_door(u, v):
    if 0.18 <= u <= 0.58 and 0.10 <= v <= 0.90:
        if u < 0.22 or u > 0.54 or v < 0.14 or v > 0.86:
            return (110, 70, 30)
        if math.hypot(u - 0.48, v - 0.52) < 0.035:
            return GOLD
        return (175, 120, 60)
    # An arrow pointing out of the door.
    if 0.50 <= u <= 0.80 and abs(v - 0.5) < 0.06:
        return RED
    if 0.72 <= u <= 0.92 and abs(v - 0.5) < (0.92 - u) * 1.2:
        return RED
    return None


def about_mark(u, v):
    d = math.hypot(u - 0.5, v - 0.5)
    if d > 0.44:
        return None
    if d > 0.38:
        return INK
    if math.hypot(u - 0.5, v - 0.30) < 0.07 or (abs(u - 0.5) < 0.06 and 0.42 < v < 0.76):
        return WHITE
    return (60, 110, 210)


def main_window(u, v):
    if not (0.08 <= u <= 0.92 and 0.14 <= v <= 0.86):
        return None
    if v < 0.30:
        return INK
    if u < 0.12 or u > 0.88 or v > 0.82:
        return INK
    if u < 0.36:
        return LIGHT
    return WHITE


def check_version(u, v):
    # A globe with a green arrow going round it.
    d = math.hypot(u - 0.5, v - 0.5)
    if 0.36 < d < 0.45 and not (u > 0.5 and v < 0.5):
        return GREEN
    if u > 0.55 and v < 0.45 and abs((u - 0.55) - (0.45 - v)) < 0.06 and u < 0.85:
        return GREEN
    if d <= 0.32:
        if abs(u - 0.5) < 0.03 or abs(v - 0.5) < 0.03 or abs(math.hypot((u - 0.5) * 2.2, v - 0.5) - 0.32) < 0.03:
            return INK
        return LIGHT
    return None


def tray_mark(u, v):
    # The application icon's magnifier, alone: it reads at 16 pixels.
    d = math.hypot(u - 0.42, v - 0.42)
    hx, hy = u - 0.42, v - 0.42
    along = (hx + hy) / math.sqrt(2)
    across = abs(hx - hy) / math.sqrt(2)
    if 0.30 < along < 0.68 and across < 0.09:
        return (90, 60, 30)
    if 0.22 <= d <= 0.34:
        return INK
    if d < 0.22:
        return LIGHT
    return None


def supersampled(draw, width, height, background, blend):
    """Edges are smoothed towards `blend`, the colour the picture is shown on, not towards the
    transparent background colour, which would leave a coloured fringe."""
    def pixel(x, y):
        total, hits = [0, 0, 0], 0
        for sy in range(3):
            for sx in range(3):
                c = draw((x + (sx + 0.5) / 3) / width, (y + (sy + 0.5) / 3) / height)
                hits += c is not None
                for i in range(3):
                    total[i] += (c or blend)[i]
        return tuple(t // 9 for t in total) if hits else background
    return pixel


def square(draw, width, height):
    """Draws a square picture centred in a wider image."""
    offset = (width - height) / 2 / width

    def placed(u, v):
        su = (u - offset) * width / height
        return draw(su, v) if 0 <= su <= 1 else None
    return placed


def icon_pixel(draw, size):
    def pixel(x, y):
        c = draw((x + 0.5) / size, (y + 0.5) / size)
        return (c[0], c[1], c[2], 255) if c else (0, 0, 0, 0)
    return pixel


def rows_4bit(draw, size):
    rows = []
    for y in range(size):
        row = ""
        for x in range(size):
            c = draw((x + 0.5) / size, (y + 0.5) / size)
            row += "." if c is None else "%x" % nearest(PALETTE16, c)
        rows.append(row)
    return rows


# Toolbar bitmaps, 40 x 32 on pure blue (the mask colour), and tray-menu bitmaps, 20 x 20 on black
# (drawn transparent); the numbers are the resource ids.
TOOLBAR = {95: gear, 24: help_mark, 93: padlock(False), 31: padlock(True), 25: exit_door}
MENU = {87: about_mark, 88: exit_door, 89: help_mark, 90: main_window, 92: padlock(False), 94: check_version}


# The display scales the bitmaps are drawn for, in per cent; the program picks the nearest.
SCALES = (100, 150, 200)


def scaled_name(stem, scale):
    return "%s.bmp" % stem if scale == 100 else "%s-%d.bmp" % (stem, scale)


def write(name, data):
    with open(os.path.join(OUT, name), "wb") as f:
        f.write(data)


def main():
    os.makedirs(OUT, exist_ok=True)
    write("exclamation.ico", ico_file([dib_4bit(EXCLAMATION)]))
    write("question.ico", ico_file([dib_4bit(QUESTION)]))
    # Windows takes the image drawn for the size it needs at the display's scale.
    write("velmora.ico", ico_file([dib_32bit(s, app_pixel(s)) for s in (16, 20, 24, 32, 48, 64, 256)]))
    # Each scale is drawn at its own size, so nothing is a stretched copy.
    for scale in SCALES:
        toolbar_width, toolbar_height, menu_size = 40 * scale // 100, 32 * scale // 100, 20 * scale // 100
        for number, draw in TOOLBAR.items():
            write(scaled_name("toolbar%d" % number, scale),
                  bmp_file(toolbar_width, toolbar_height,
                           supersampled(square(draw, toolbar_width, toolbar_height), toolbar_width, toolbar_height,
                                        (0, 0, 255), (212, 208, 200))))
        for number, draw in MENU.items():
            write(scaled_name("menu%d" % number, scale),
                  bmp_file(menu_size, menu_size, supersampled(draw, menu_size, menu_size, (0, 0, 0), (240, 240, 240))))
    # The small-icon sizes at 100, 125, 150 and 200 %.
    write("tray256.ico", ico_file([dib_8bit(s, icon_pixel(tray_mark, s)) for s in (16, 20, 24, 32)]))
    write("tray16.ico", ico_file([dib_4bit(rows_4bit(tray_mark, 16))]))
    for scale in SCALES:
        size = 250 * scale // 100
        write(scaled_name("about", scale), bmp_file(size, size, picture_pixel(size)))


if __name__ == "__main__":
    main()
