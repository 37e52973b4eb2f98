#!/usr/bin/env python3
"""Writes QUORVSTINSTALLER.ico: a weather vane on a blue disc, 32 x 32 and
16 x 16 pixels in the 16 colours of the standard Windows palette.

    python3 make_icon.py QUORVSTINSTALLER.ico
"""
import math
import struct
import sys

PALETTE = [
    (0x00, 0x00, 0x00), (0x80, 0x00, 0x00), (0x00, 0x80, 0x00), (0x80, 0x80, 0x00),
    (0x00, 0x00, 0x80), (0x80, 0x00, 0x80), (0x00, 0x80, 0x80), (0xC0, 0xC0, 0xC0),
    (0x80, 0x80, 0x80), (0xFF, 0x00, 0x00), (0x00, 0xFF, 0x00), (0xFF, 0xFF, 0x00),
    (0x00, 0x00, 0xFF), (0xFF, 0x00, 0xFF), (0x00, 0xFF, 0xFF), (0xFF, 0xFF, 0xFF),
]
BLACK, NAVY, TEAL, SILVER, YELLOW, BLUE, WHITE = 0, 4, 6, 7, 11, 12, 15


def inside_triangle(x, y, a, b, c):
    def side(p, q):
        return (q[0] - p[0]) * (y - p[1]) - (q[1] - p[1]) * (x - p[0])
    s1, s2, s3 = side(a, b), side(b, c), side(c, a)
    return (s1 >= 0 and s2 >= 0 and s3 >= 0) or (s1 <= 0 and s2 <= 0 and s3 <= 0)


def near_segment(x, y, a, b, width):
    ax, ay = a
    bx, by = b
    dx, dy = bx - ax, by - ay
    t = max(0.0, min(1.0, ((x - ax) * dx + (y - ay) * dy) / (dx * dx + dy * dy)))
    return math.hypot(x - (ax + t * dx), y - (ay + t * dy)) <= width


def colour_at(x, y):
    """The picture in units of a 32-pixel icon; None is transparent."""
    r = math.hypot(x - 16, y - 16)
    if r > 15.6:
        return None
    if r > 14.2:
        return BLACK
    if r > 12.8:
        return BLUE
    # The vane: an arrow pointing to the upper right, its tail feathered.
    if inside_triangle(x, y, (25.0, 7.0), (16.5, 10.0), (22.0, 15.5)):
        return YELLOW
    if near_segment(x, y, (8.5, 23.5), (20.0, 12.0), 1.3):
        return YELLOW
    if inside_triangle(x, y, (7.0, 19.0), (10.5, 19.5), (6.0, 24.0)):
        return WHITE
    if inside_triangle(x, y, (12.5, 25.0), (12.0, 21.5), (7.5, 26.0)):
        return WHITE
    # Four compass ticks.
    if (abs(x - 16) < 1.2 and (r > 10.5)) or (abs(y - 16) < 1.2 and r > 10.5):
        return SILVER
    return NAVY


def image(size):
    scale = 32 / size
    pixels = []
    for row in range(size):
        line = []
        for column in range(size):
            line.append(colour_at((column + 0.5) * scale, (row + 0.5) * scale))
        pixels.append(line)
    header = struct.pack('<IiiHHIIiiII', 40, size, 2 * size, 1, 4, 0, 0, 0, 0, 16, 0)
    palette = b''.join(struct.pack('BBBB', b, g, r, 0) for r, g, b in PALETTE)
    colour_row = (size * 4 + 31) // 32 * 4
    mask_row = (size + 31) // 32 * 4
    colours = b''
    mask = b''
    for line in reversed(pixels):  # bottom-up rows
        row = bytearray(colour_row)
        bits = bytearray(mask_row)
        for column, index in enumerate(line):
            if index is None:
                bits[column // 8] |= 0x80 >> (column % 8)
                index = 0
            row[column // 2] |= index << (4 if column % 2 == 0 else 0)
        colours += bytes(row)
        mask += bytes(bits)
    return header + palette + colours + mask


def main(path):
    images = [image(32), image(16)]
    data = struct.pack('<HHH', 0, 1, len(images))
    offset = 6 + 16 * len(images)
    for size, body in zip((32, 16), images):
        data += struct.pack('<BBBBHHII', size, size, 16, 0, 1, 4, len(body), offset)
        offset += len(body)
    with open(path, 'wb') as out:
        out.write(data + b''.join(images))


if __name__ == '__main__':
    main(sys.argv[1] if len(sys.argv) > 1 else 'QUORVSTINSTALLER.ico')
