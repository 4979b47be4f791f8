#!/usr/bin/env python3
"""Draws the program's icon and writes it as a Windows icon file with 16, 32 and 48 pixel images.

Usage: tools/make-icon.py [OUTPUT]   (default: core/kavlib.ico next to this script's folder)

The picture is what the program does: a grid of grey pixels, dark at one corner and light at
the other, on a rounded blue tile, with an orange gain arrow at the lower right. Each size is
drawn on its own pixel grid (not scaled from a larger one), with 8 x 8 supersampling for the
rounded edges. Python's standard library only, so the icon can be remade anywhere.
"""
import struct
import sys
from pathlib import Path

SIZES = (16, 32, 48)
SUPERSAMPLE = 8  # samples per pixel along each axis

TILE_TOP = (46, 96, 158)      # the blue tile, top
TILE_BOTTOM = (24, 56, 104)   # and bottom
TILE_EDGE = (14, 34, 66)      # its one-pixel outline
ARROW = (247, 148, 29)        # the gain arrow
ARROW_EDGE = (120, 60, 0)


def mix(a, b, t):
    return tuple(round(a[i] + (b[i] - a[i]) * t) for i in range(3))


def inside_rounded_square(x, y, size, radius):
    """True when the point (in pixel units, 0..size) lies inside the rounded tile."""
    cx = min(max(x, radius), size - radius)
    cy = min(max(y, radius), size - radius)
    return (x - cx) ** 2 + (y - cy) ** 2 <= radius ** 2


def inside_arrow(x, y, size):
    """An upward arrow in the lower-right quarter: a triangle head over a stem."""
    left, right = size * 0.58, size * 0.94
    top, bottom = size * 0.50, size * 0.94
    mid = (left + right) / 2
    head_bottom = top + (bottom - top) * 0.5
    if top <= y <= head_bottom:
        half = (right - left) / 2 * (y - top) / (head_bottom - top)
        return abs(x - mid) <= half
    stem = (right - left) * 0.18
    return head_bottom < y <= bottom and abs(x - mid) <= stem


def grid_cells(size):
    """Cell count along each axis, cell size and gap: the pixel grid inside the tile."""
    if size <= 16:
        return 4, 3, 0
    if size <= 32:
        return 5, 4, 1
    return 6, 6, 1


def pixel_colour(px, py, size):
    """RGBA of one icon pixel, averaged over its supersamples."""
    radius = size * 0.2
    cells, cell, gap = grid_cells(size)
    span = cells * cell + (cells - 1) * gap
    origin = (size - span) // 2
    total = [0.0, 0.0, 0.0, 0.0]
    n = SUPERSAMPLE
    for sy in range(n):
        for sx in range(n):
            x = px + (sx + 0.5) / n
            y = py + (sy + 0.5) / n
            if not inside_rounded_square(x, y, size, radius):
                continue
            rgb = mix(TILE_TOP, TILE_BOTTOM, y / size)
            if not inside_rounded_square(x - 1, y - 1, size - 2, radius - 1):
                rgb = TILE_EDGE
            gx, gy = int(x) - origin, int(y) - origin
            if 0 <= gx < span and 0 <= gy < span:
                col, row = gx // (cell + gap), gy // (cell + gap)
                if gx % (cell + gap) < cell and gy % (cell + gap) < cell:
                    level = round(255 * (col + row) / (2 * (cells - 1)))
                    rgb = (level, level, level)
            if inside_arrow(x, y, size):
                rgb = ARROW
                if not all(inside_arrow(x + dx, y + dy, size) for dx, dy in ((-1, 0), (1, 0), (0, 1))):
                    rgb = ARROW_EDGE
            total[0] += rgb[0]
            total[1] += rgb[1]
            total[2] += rgb[2]
            total[3] += 255
    count = n * n
    alpha = total[3] / count
    if alpha == 0:
        return (0, 0, 0, 0)
    covered = total[3] / 255
    return (round(total[0] / covered), round(total[1] / covered), round(total[2] / covered), round(alpha))


def icon_image(size):
    """One icon image as a 32-bit DIB (rows bottom-up, BGRA) followed by its AND mask."""
    rows = [[pixel_colour(x, y, size) for x in range(size)] for y in range(size)]
    header = struct.pack("<IiiHHIIiiII", 40, size, size * 2, 1, 32, 0, 0, 0, 0, 0, 0)
    colour = bytearray()
    for row in reversed(rows):
        for r, g, b, a in row:
            colour += bytes((b, g, r, a))
    mask_stride = ((size + 31) // 32) * 4
    mask = bytearray()
    for row in reversed(rows):
        bits = bytearray(mask_stride)
        for x, (_, _, _, a) in enumerate(row):
            if a == 0:
                bits[x // 8] |= 0x80 >> (x % 8)
        mask += bits
    return header + bytes(colour) + bytes(mask)


def icon_file(sizes):
    images = [icon_image(s) for s in sizes]
    out = bytearray(struct.pack("<HHH", 0, 1, len(images)))
    offset = 6 + 16 * len(images)
    for size, data in zip(sizes, images):
        out += struct.pack("<BBBBHHII", size % 256, size % 256, 0, 0, 1, 32, len(data), offset)
        offset += len(data)
    for data in images:
        out += data
    return bytes(out)


def main():
    default = Path(__file__).resolve().parent.parent / "core" / "kavlib.ico"
    target = Path(sys.argv[1]) if len(sys.argv) > 1 else default
    target.write_bytes(icon_file(SIZES))
    print(f"wrote {target} ({', '.join(str(s) for s in SIZES)} pixels)")


if __name__ == "__main__":
    main()
