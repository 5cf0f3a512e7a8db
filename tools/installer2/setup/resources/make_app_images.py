#!/usr/bin/env python3
"""Draws the setup's application icon and dialog background.

    make_app_images.py ICON_PATH BITMAP_PATH

ICON_PATH receives an icon file with nine 32-bit images (32, then 16 to 256 pixels), BITMAP_PATH
a 24-bit bottom-up bitmap of 760 by 560 pixels. Both are drawn from the shapes below with the
standard library only, so every build makes the same bytes.

The mark is a snowy peak before a second ridge and a low sun on a deep blue-to-teal tile. The
background is a near-white wash that darkens softly towards the bottom left, where two faint
ridges echoing the mark run along the lowest rows and fade out to white on the right; the dialog
anchors the bitmap at its bottom-left corner, so the ridges stay at the bottom whatever the
dialog's height, and a dialog wider than the picture meets plain white at its right edge.
"""

import math
import struct
import zlib
import sys

# 32 pixels first: a control that takes the icon in its own size (a static with SS_REALSIZEIMAGE)
# gets the first image of the group.
ICON_SIZES = (32, 16, 20, 24, 40, 48, 64, 96, 256)
BITMAP_WIDTH = 760
BITMAP_HEIGHT = 560

TILE_TOP = (0x1D, 0x4E, 0x9A)
TILE_BOTTOM = (0x1B, 0x9C, 0x98)
GROUND = (0x13, 0x6F, 0x7A)
SUN = (0xFF, 0xC8, 0x57)
BACK_RIDGE = (0x8C, 0xC8, 0xD8)
RIDGE = (0xFF, 0xFF, 0xFF)
RIDGE_SHADE = (0xD2, 0xE9, 0xF0)


def clamp(value, low=0.0, high=1.0):
    return low if value < low else high if value > high else value


def mix(a, b, t):
    return tuple(a[i] + (b[i] - a[i]) * t for i in range(3))


def rounded_square_coverage(x, y, size, radius, pixel):
    """Coverage (0..1) of a pixel-sized sample at (x, y) by a rounded square filling the image."""
    inset = size * 0.04
    left, top, right, bottom = inset, inset, size - inset, size - inset
    cx = clamp(x, left + radius, right - radius)
    cy = clamp(y, top + radius, bottom - radius)
    distance = math.hypot(x - cx, y - cy)
    if left + radius <= x <= right - radius or top + radius <= y <= bottom - radius:
        edge = min(x - left, right - x, y - top, bottom - y)
        return clamp(edge / pixel + 0.5)
    return clamp((radius - distance) / pixel + 0.5)


def edge(distance, pixel):
    """Coverage of a sample `distance` pixels inside a straight edge (negative: outside)."""
    return clamp(distance / pixel + 0.5)


def icon_pixel(x, y, size):
    """Colour and alpha of the icon at the point (x, y), in pixels."""
    pixel = 1.0
    coverage = rounded_square_coverage(x, y, size, size * 0.2, pixel)
    if coverage <= 0.0:
        return (0, 0, 0), 0.0
    s = float(size)
    colour = mix(TILE_TOP, TILE_BOTTOM, clamp((y / s - 0.04) / 0.92))

    sun_x, sun_y, sun_r = 0.67 * s, 0.34 * s, 0.12 * s
    colour = mix(colour, SUN, edge(sun_r - math.hypot(x - sun_x, y - sun_y), pixel))

    floor = 0.77 * s
    # Back ridge: a broad peak at the right.
    back_peak_x, back_peak_y = 0.70 * s, 0.40 * s
    back_top = back_peak_y + abs(x - back_peak_x) * 0.95
    colour = mix(colour, BACK_RIDGE, edge(y - back_top, pixel) * edge(floor - y + 1, pixel))

    # Front ridge: the high peak at the left, its right face in shade.
    peak_x, peak_y = 0.36 * s, 0.25 * s
    front_top = peak_y + abs(x - peak_x) * 1.45
    front = edge(y - front_top, pixel) * edge(floor - y + 1, pixel)
    shade = edge((x - peak_x) - (y - peak_y) * 0.35, pixel)
    colour = mix(colour, mix(RIDGE, RIDGE_SHADE, shade), front)

    # The ground the ridges stand on keeps the tile's shape visible at the bottom.
    colour = mix(colour, GROUND, edge(y - floor, pixel))
    return colour, coverage


def render_icon(size):
    """Rows top-down of (b, g, r, a) tuples, supersampled for smooth edges."""
    samples = 4 if size <= 64 else 2
    rows = []
    for row in range(size):
        line = []
        for column in range(size):
            red = green = blue = alpha = 0.0
            for sy in range(samples):
                for sx in range(samples):
                    x = column + (sx + 0.5) / samples
                    y = row + (sy + 0.5) / samples
                    colour, a = icon_pixel(x, y, size)
                    red += colour[0] * a
                    green += colour[1] * a
                    blue += colour[2] * a
                    alpha += a
            n = samples * samples
            if alpha > 0:
                # Straight (not premultiplied) colour, as icon images carry it.
                line.append((round(blue / alpha), round(green / alpha), round(red / alpha),
                             round(alpha / n * 255)))
            else:
                line.append((0, 0, 0, 0))
        rows.append(line)
    return rows


def icon_image(size):
    """One icon image: BITMAPINFOHEADER, 32-bit colour rows and the AND mask, bottom-up."""
    rows = render_icon(size)
    header = struct.pack("<IiiHHIIiiII", 40, size, size * 2, 1, 32, 0, 0, 0, 0, 0, 0)
    colour = bytearray()
    for line in reversed(rows):
        for b, g, r, a in line:
            colour += bytes((b, g, r, a))
    mask_stride = ((size + 31) // 32) * 4
    mask = bytearray()
    for line in reversed(rows):
        bits = bytearray(mask_stride)
        for column, (_, _, _, a) in enumerate(line):
            if a == 0:
                bits[column // 8] |= 0x80 >> (column % 8)
        mask += bits
    return header + bytes(colour) + bytes(mask)


def png_image(size):
    """The 256-pixel image as PNG, as icon files carry their largest image: a quarter of a
    megabyte less in every setup."""
    raw = bytearray()
    for line in render_icon(size):
        raw.append(0)  # filter type None
        for b, g, r, a in line:
            raw += bytes((r, g, b, a))

    def chunk(kind, data):
        return (struct.pack(">I", len(data)) + kind + data +
                struct.pack(">I", zlib.crc32(kind + data) & 0xFFFFFFFF))

    header = struct.pack(">IIBBBBB", size, size, 8, 6, 0, 0, 0)  # 8-bit RGBA
    return (b"\x89PNG\r\n\x1a\n" + chunk(b"IHDR", header) +
            chunk(b"IDAT", zlib.compress(bytes(raw), 9)) + chunk(b"IEND", b""))


def icon_file():
    images = [png_image(size) if size >= 256 else icon_image(size) for size in ICON_SIZES]
    directory = struct.pack("<HHH", 0, 1, len(images))
    offset = 6 + 16 * len(images)
    entries = b""
    for size, image in zip(ICON_SIZES, images):
        edge = 0 if size >= 256 else size
        entries += struct.pack("<BBBBHHII", edge, edge, 0, 0, 1, 32, len(image), offset)
        offset += len(image)
    return directory + entries + b"".join(images)


WASH_TOP = (0xFF, 0xFF, 0xFF)
WASH_BOTTOM = (0xE8, 0xF1, 0xF8)
FAR_RIDGE = (0xDA, 0xE8, 0xF2)
NEAR_RIDGE = (0xC8, 0xDF, 0xEA)
GLOW = (0xFF, 0xF1, 0xD2)


def far_ridge(x):
    return 80 + 18 * math.sin(x / 97.0 + 0.8) + 12 * math.sin(x / 41.0 + 2.1) - 0.03 * x


def near_ridge(x):
    return 44 + 12 * math.sin(x / 123.0 + 2.6) + 8 * math.sin(x / 37.0) - 0.04 * x


def background_pixel(x, y):
    """Colour at pixel (x, y), y counted from the bottom row up."""
    height_from_top = (BITMAP_HEIGHT - 1 - y) / (BITMAP_HEIGHT - 1)
    # Everything fades to plain white towards the right edge, so that a dialog wider than the
    # picture shows no seam where the picture ends.
    calm = clamp(1.0 - (x - 420) / 300.0)
    colour = mix(WASH_TOP, WASH_BOTTOM, clamp((height_from_top - 0.35) / 0.65) ** 1.6 * calm)
    # A low sun glowing softly behind the ridges at the left.
    glow = clamp(1.0 - math.hypot(x - 120, y - 90) / 150.0) ** 2
    colour = mix(colour, GLOW, glow * 0.5)
    far = clamp(far_ridge(x) - y + 0.5)
    colour = mix(colour, FAR_RIDGE, far * calm)
    near = clamp(near_ridge(x) - y + 0.5)
    colour = mix(colour, NEAR_RIDGE, near * calm)
    return colour


def bitmap_file():
    stride = (BITMAP_WIDTH * 3 + 3) & ~3
    pixels = bytearray()
    for y in range(BITMAP_HEIGHT):  # bottom-up: the first row stored is the lowest one
        row = bytearray()
        for x in range(BITMAP_WIDTH):
            r, g, b = background_pixel(x, y)
            row += bytes((round(b), round(g), round(r)))
        row += bytes(stride - len(row))
        pixels += row
    info = struct.pack("<IiiHHIIiiII", 40, BITMAP_WIDTH, BITMAP_HEIGHT, 1, 24, 0, len(pixels),
                       2835, 2835, 0, 0)
    header = struct.pack("<2sIHHI", b"BM", 14 + len(info) + len(pixels), 0, 0, 14 + len(info))
    return header + info + bytes(pixels)


def main(argv):
    if len(argv) != 3:
        sys.stderr.write(__doc__)
        return 2
    with open(argv[1], "wb") as icon:
        icon.write(icon_file())
    with open(argv[2], "wb") as bitmap:
        bitmap.write(bitmap_file())
    return 0


if __name__ == "__main__":
    sys.exit(main(sys.argv))
