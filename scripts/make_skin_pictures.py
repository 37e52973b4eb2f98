#!/usr/bin/env python3
"""Writes the skin pictures of the reference host's bundled scenario
(host/scenarios/skin/): a knob of 16 frames for JogShuttle, as PNG with its
metadata, and a joystick handle as BMP with a "_mask.bmp" alpha mask.

    scripts/make_skin_pictures.py [FOLDER]
"""
import math
import os
import struct
import sys
import zlib

SAMPLES = 4  # per axis, for smooth edges


def png(path, width, height, rgba_rows):
    def chunk(kind, data):
        body = kind + data
        return struct.pack(">I", len(data)) + body + struct.pack(">I", zlib.crc32(body) & 0xFFFFFFFF)

    raw = b"".join(b"\x00" + bytes(row) for row in rgba_rows)
    header = struct.pack(">IIBBBBB", width, height, 8, 6, 0, 0, 0)
    with open(path, "wb") as out:
        out.write(b"\x89PNG\r\n\x1a\n" + chunk(b"IHDR", header) + chunk(b"IDAT", zlib.compress(raw, 9))
                  + chunk(b"IEND", b""))


def bmp(path, width, height, rgb_rows):
    """24-bit BMP, rows from the bottom as the format stores them."""
    stride = (width * 3 + 3) & ~3
    pixels = b""
    for row in reversed(rgb_rows):
        line = b"".join(bytes((b, g, r)) for r, g, b in row)
        pixels += line + b"\x00" * (stride - len(line))
    header = struct.pack("<2sIHHI", b"BM", 54 + len(pixels), 0, 0, 54)
    info = struct.pack("<IiiHHIIiiII", 40, width, height, 1, 24, 0, len(pixels), 2835, 2835, 0, 0)
    with open(path, "wb") as out:
        out.write(header + info + pixels)


def coverage(inside, x, y):
    hits = 0
    for sy in range(SAMPLES):
        for sx in range(SAMPLES):
            if inside(x + (sx + 0.5) / SAMPLES, y + (sy + 0.5) / SAMPLES):
                hits += 1
    return hits / (SAMPLES * SAMPLES)


def knob_frame(size, turn):
    """A dark knob with a light rim and a pointer line at `turn` (0..1) of 300 degrees."""
    c = size / 2.0
    radius = size / 2.0 - 2.0
    angle = math.radians(-240.0 + 300.0 * turn)  # from lower left, clockwise on screen
    px, py = math.cos(angle), math.sin(angle)
    rows = []
    for y in range(size):
        row = []
        for x in range(size):
            body = coverage(lambda u, v: (u - c) ** 2 + (v - c) ** 2 <= radius ** 2, x, y)

            def on_pointer(u, v):
                du, dv = u - c, v - c
                along = du * px + dv * py
                across = abs(du * py - dv * px)
                return radius * 0.35 <= along <= radius * 0.9 and across <= size * 0.045

            pointer = coverage(on_pointer, x, y)
            d = math.hypot(x + 0.5 - c, y + 0.5 - c) / radius
            shade = 70 + 60 * (1.0 - min(d, 1.0)) - 30 * ((y + 0.5) / size)
            rim = 1.0 if 0.88 < d <= 1.0 else 0.0
            r = g = b = shade
            r, g, b = r + (150 - r) * rim, g + (170 - g) * rim, b + (190 - b) * rim
            r, g, b = r + (250 - r) * pointer, g + (190 - g) * pointer, b + (60 - b) * pointer
            row += [int(max(0, min(255, v))) for v in (r, g, b)] + [int(round(255 * body))]
        rows.append(row)
    return rows


def main():
    folder = sys.argv[1] if len(sys.argv) > 1 else os.path.join(
        os.path.dirname(os.path.abspath(__file__)), "..", "host", "scenarios", "skin")
    os.makedirs(folder, exist_ok=True)

    frames, size = 16, 48
    rows = []
    for frame in range(frames):
        rows += knob_frame(size, frame / (frames - 1))
    png(os.path.join(folder, "jog.png"), size, size * frames, rows)
    with open(os.path.join(folder, "jog.txt"), "w", newline="\n") as out:
        out.write("type animated\nframe_size 48 48\n")

    # The handle: an orange ball lit from the top left; its mask is black on the ball.
    size = 24
    c = size / 2.0
    radius = size / 2.0 - 1.0
    colour, mask = [], []
    for y in range(size):
        crow, mrow = [], []
        for x in range(size):
            lit = max(0.0, 1.0 - math.hypot(x + 0.5 - c * 0.7, y + 0.5 - c * 0.7) / (radius * 1.6))
            crow.append((int(200 + 55 * lit), int(90 + 130 * lit), int(30 + 120 * lit)))
            body = coverage(lambda u, v: (u - c) ** 2 + (v - c) ** 2 <= radius ** 2, x, y)
            level = int(round(255 * (1.0 - body)))
            mrow.append((level, level, level))
        colour.append(crow)
        mask.append(mrow)
    bmp(os.path.join(folder, "ball.bmp"), size, size, colour)
    bmp(os.path.join(folder, "ball_mask.bmp"), size, size, mask)


if __name__ == "__main__":
    main()
