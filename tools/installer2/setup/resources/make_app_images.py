#!/usr/bin/env python3
"""Draws the setup's application icon and dialog background.

    make_app_images.py ICON_PATH BITMAP_PATH

ICON_PATH receives an icon file with nine 32-bit images (32, then 16 to 256 pixels), those of 48
pixels and more stored as PNG; BITMAP_PATH a bottom-up bitmap of 760 by 960 pixels with 256
palette colours, run-length encoded (BI_RLE8). Both are drawn from the shapes below with the
standard library only, so every build makes the same bytes.

The mark is a snowy peak before a second ridge and a low sun on a deep blue-to-teal tile. The
background is a near-white wash that darkens softly towards the bottom left, where two faint
ridges echoing the mark run along the lowest rows. The dialog never scales the bitmap: one
taller than the dialog shows its lowest rows, one shorter starts at its top with white below,
so the picture is taller than the dialog at up to twice the standard DPI and keeps its ridges
at the bottom. Beyond its right edge the dialog meets plain white, so the whole picture fades
smoothly to exactly that white towards its right and top edges.
"""

import math
import struct
import zlib
import sys

# 32 pixels first: a control that takes the icon in its own size (a static with SS_REALSIZEIMAGE)
# gets the first image of the group.
ICON_SIZES = (32, 16, 20, 24, 40, 48, 64, 96, 256)
BITMAP_WIDTH = 760
BITMAP_HEIGHT = 960

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


# Images of this size and larger are stored as PNG: a fraction of the uncompressed colour rows
# and mask in every setup. Smaller ones stay uncompressed for the widest support.
PNG_MIN_SIZE = 48


def png_image(size):
    """One icon image as PNG."""
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
    images = [png_image(size) if size >= PNG_MIN_SIZE else icon_image(size) for size in ICON_SIZES]
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
# The wash darkens over this many of the lowest rows; the sun's glow and the ridges stay lower.
WASH_HEIGHT = 364


def far_ridge(x):
    return 80 + 18 * math.sin(x / 97.0 + 0.8) + 12 * math.sin(x / 41.0 + 2.1) - 0.03 * x


def near_ridge(x):
    return 44 + 12 * math.sin(x / 123.0 + 2.6) + 8 * math.sin(x / 37.0) - 0.04 * x


# The picture ends in plain white this far from its right edge, so that the white the dialog
# paints beyond it continues the picture without a seam. Upwards the wash itself meets white
# without a kink, well below the top.
WHITE_MARGIN = 16
DIALOG_WHITE = (0xFF, 0xFF, 0xFF)
# The fade starts this far from the right edge; a smoother step has no kink where it begins or
# ends, so the eye sees no edge there.
RIGHT_FADE = 440

PALETTE_SIZE = 256
BI_RLE8 = 1


def smoother_step(t):
    t = clamp(t)
    return t * t * t * (t * (t * 6 - 15) + 10)


def background_pixel(x, y):
    """Colour at pixel (x, y), y counted from the bottom row up."""
    colour = mix(WASH_TOP, WASH_BOTTOM, clamp(1.0 - y / WASH_HEIGHT) ** 1.6)
    # A low sun glowing softly behind the ridges at the left.
    glow = clamp(1.0 - math.hypot(x - 120, y - 90) / 150.0) ** 2
    colour = mix(colour, GLOW, glow * 0.5)
    far = clamp(far_ridge(x) - y + 0.5)
    colour = mix(colour, FAR_RIDGE, far)
    near = clamp(near_ridge(x) - y + 0.5)
    colour = mix(colour, NEAR_RIDGE, near)
    right = smoother_step((BITMAP_WIDTH - WHITE_MARGIN - x) / RIGHT_FADE)
    return mix(DIALOG_WHITE, colour, right)


def background_rows():
    """Rows bottom-up (the first row stored is the lowest one) of (r, g, b) tuples."""
    # Above the wash nothing is drawn: those rows are plain white and need no drawing.
    white = [DIALOG_WHITE] * BITMAP_WIDTH
    return [[tuple(round(c) for c in background_pixel(x, y)) for x in range(BITMAP_WIDTH)]
            if y < WASH_HEIGHT else list(white) for y in range(BITMAP_HEIGHT)]


def distance(a, b):
    return (a[0] - b[0]) ** 2 + (a[1] - b[1]) ** 2 + (a[2] - b[2]) ** 2


def weighted_mean(colours, counts):
    total = sum(counts[c] for c in colours)
    return tuple(sum(c[i] * counts[c] for c in colours) / total for i in range(3))


def median_cut(counts, size):
    """Up to `size` boxes of colours: the box with the largest weighted squared error is split
    at the weighted median of its widest channel until there are enough."""
    def error(box):
        mean = weighted_mean(box, counts)
        return sum(distance(c, mean) * counts[c] for c in box)

    boxes = [(error(list(counts)), sorted(counts))]
    while len(boxes) < size:
        boxes.sort(key=lambda box: (-box[0], box[1][0]))
        worst_error, worst = boxes[0]
        if worst_error == 0:
            break
        channel = max(range(3), key=lambda i: max(c[i] for c in worst) - min(c[i] for c in worst))
        worst.sort(key=lambda c: (c[channel], c))
        half = sum(counts[c] for c in worst) / 2
        seen = 0
        for cut, colour in enumerate(worst[:-1], start=1):
            seen += counts[colour]
            if seen >= half:
                break
        low, high = worst[:cut], worst[cut:]
        boxes[0:1] = [(error(low), low), (error(high), high)]
    return [box for _, box in boxes]


def background_palette(rows):
    """256 colours for the picture: the dialog's white first, the others fitted to the picture's
    own colours weighted by their area, so that its gradients show no bands."""
    counts = {}
    for row in rows:
        for colour in row:
            counts[colour] = counts.get(colour, 0) + 1
    counts.pop(DIALOG_WHITE, None)
    if len(counts) < PALETTE_SIZE:
        centres = sorted(counts)
    else:
        centres = [weighted_mean(box, counts) for box in median_cut(counts, PALETTE_SIZE - 1)]
        # A few rounds of k-means move each colour to the centre of the colours it stands for.
        for _ in range(4):
            members = [[] for _ in centres]
            for colour in counts:
                closest = min(range(len(centres)), key=lambda i: distance(colour, centres[i]))
                members[closest].append(colour)
            centres = [weighted_mean(m, counts) if m else centres[i] for i, m in enumerate(members)]
        centres = sorted({tuple(round(c) for c in centre) for centre in centres})
    return [DIALOG_WHITE] + centres


def rle8_row(indices):
    """One row in BI_RLE8: runs as (count, index), other stretches in absolute mode, then the
    end-of-line escape."""
    out = bytearray()
    literal = []

    def flush():
        while literal:
            chunk = literal[:255]
            del literal[:255]
            if len(chunk) < 3:  # absolute mode starts at three; shorter ones are runs of one
                for index in chunk:
                    out.extend((1, index))
            else:
                out.extend((0, len(chunk)))
                out.extend(chunk)
                if len(chunk) % 2:
                    out.append(0)  # absolute runs end on a 16-bit boundary

    i = 0
    while i < len(indices):
        j = i
        while j < len(indices) and indices[j] == indices[i] and j - i < 255:
            j += 1
        if j - i >= 2:
            flush()
            out.extend((j - i, indices[i]))
        else:
            literal.append(indices[i])
        i = j
    flush()
    out.extend((0, 0))
    return out


def bitmap_file():
    rows = background_rows()
    palette = background_palette(rows)
    nearest = {}
    pixels = bytearray()
    for row in rows:
        indices = []
        for colour in row:
            index = nearest.get(colour)
            if index is None:
                index = min(range(len(palette)), key=lambda i: distance(colour, palette[i]))
                nearest[colour] = index
            indices.append(index)
        pixels += rle8_row(indices)
    pixels += bytes((0, 1))  # end of bitmap
    colours = b"".join(bytes((b, g, r, 0)) for r, g, b in palette)
    info = struct.pack("<IiiHHIIiiII", 40, BITMAP_WIDTH, BITMAP_HEIGHT, 1, 8, BI_RLE8, len(pixels),
                       2835, 2835, len(palette), 0)
    offset = 14 + len(info) + len(colours)
    header = struct.pack("<2sIHHI", b"BM", offset + len(pixels), 0, 0, offset)
    return header + info + colours + bytes(pixels)


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
