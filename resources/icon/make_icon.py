#!/usr/bin/env python3
"""Draws the window icon: an assembly tree of three parts on a teal tile, with a renaming arrow.

Plain Python (zlib) so it needs nothing installed: python3 make_icon.py > velmora.png
"""
import struct
import sys
import zlib

SIZE = 64
SAMPLES = 4  # per axis, for smooth edges

TEAL = (22, 110, 122)
WHITE = (250, 250, 245)
LINE = (190, 225, 228)
AMBER = (240, 160, 40)


def rounded_rect(x, y, x0, y0, x1, y1, r):
    if not (x0 <= x <= x1 and y0 <= y <= y1):
        return False
    cx = min(max(x, x0 + r), x1 - r)
    cy = min(max(y, y0 + r), y1 - r)
    return (x - cx) ** 2 + (y - cy) ** 2 <= r * r


def segment(x, y, ax, ay, bx, by, w):
    dx, dy = bx - ax, by - ay
    t = max(0.0, min(1.0, ((x - ax) * dx + (y - ay) * dy) / (dx * dx + dy * dy)))
    px, py = ax + t * dx, ay + t * dy
    return (x - px) ** 2 + (y - py) ** 2 <= w * w / 4


def triangle(x, y, a, b, c):
    def side(p, q):
        return (q[0] - p[0]) * (y - p[1]) - (q[1] - p[1]) * (x - p[0])
    s1, s2, s3 = side(a, b), side(b, c), side(c, a)
    return (s1 >= 0 and s2 >= 0 and s3 >= 0) or (s1 <= 0 and s2 <= 0 and s3 <= 0)


def colour_at(x, y):
    """Colour of one sample, or None outside the tile; later shapes are drawn over earlier ones."""
    if not rounded_rect(x, y, 1, 1, 63, 63, 10):
        return None
    colour = TEAL
    if segment(x, y, 32, 20, 17, 40, 3) or segment(x, y, 32, 20, 47, 40, 3):
        colour = LINE
    for bx, by in ((24, 9), (9, 37), (39, 37)):
        if rounded_rect(x, y, bx, by, bx + 16, by + 12, 2.5):
            colour = WHITE
    if segment(x, y, 18, 56, 40, 56, 4) or triangle(x, y, (38, 50), (38, 62), (48, 56)):
        colour = AMBER
    return colour


def pixel(px, py):
    r = g = b = a = 0
    for sy in range(SAMPLES):
        for sx in range(SAMPLES):
            c = colour_at(px + (sx + 0.5) / SAMPLES, py + (sy + 0.5) / SAMPLES)
            if c is not None:
                r, g, b, a = r + c[0], g + c[1], b + c[2], a + 1
    if a == 0:
        return (0, 0, 0, 0)
    return (r // a, g // a, b // a, 255 * a // (SAMPLES * SAMPLES))


def png(width, height, rows):
    def chunk(kind, data):
        body = kind + data
        return struct.pack(">I", len(data)) + body + struct.pack(">I", zlib.crc32(body) & 0xFFFFFFFF)
    raw = b"".join(b"\0" + bytes(v for p in row for v in p) for row in rows)
    return (b"\x89PNG\r\n\x1a\n" + chunk(b"IHDR", struct.pack(">IIBBBBB", width, height, 8, 6, 0, 0, 0))
            + chunk(b"IDAT", zlib.compress(raw, 9)) + chunk(b"IEND", b""))


if __name__ == "__main__":
    rows = [[pixel(x, y) for x in range(SIZE)] for y in range(SIZE)]
    sys.stdout.buffer.write(png(SIZE, SIZE, rows))
