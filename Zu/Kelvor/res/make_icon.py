#!/usr/bin/env python3
"""Draws the program icon kelvor.png: a tooth on a blue tile with a red removal badge.

Run from this folder: python3 make_icon.py
"""
import struct
import zlib

SIZE = 48
SAMPLES = 4  # per axis, for smooth edges

BLUE = (31, 94, 160)
WHITE = (250, 250, 250)
RED = (200, 40, 40)


def in_rounded_rect(x, y, left, top, right, bottom, radius):
    cx = min(max(x, left + radius), right - radius)
    cy = min(max(y, top + radius), bottom - radius)
    return (x - cx) ** 2 + (y - cy) ** 2 <= radius ** 2 and left <= x <= right and top <= y <= bottom


def in_ellipse(x, y, cx, cy, rx, ry):
    return ((x - cx) / rx) ** 2 + ((y - cy) / ry) ** 2 <= 1.0


def in_tooth(x, y):
    crown = in_ellipse(x, y, 17.5, 17, 8, 8) or in_ellipse(x, y, 28.5, 17, 8, 8) \
        or (12 <= x <= 34 and 17 <= y <= 25)
    notch = in_ellipse(x, y, 23, 9, 3.5, 3)
    left_root = in_ellipse(x, y, 16.5, 25, 4.5, 14) and y >= 25
    right_root = in_ellipse(x, y, 29.5, 25, 4.5, 14) and y >= 25
    return (crown and not notch) or left_root or right_root


def in_badge(x, y):
    return in_ellipse(x, y, 37, 37, 9, 9)


def in_minus(x, y):
    return 31 <= x <= 43 and 35.5 <= y <= 38.5


def colour(x, y):
    """RGBA of one sample point."""
    if in_badge(x, y):
        return WHITE + (255,) if in_minus(x, y) else RED + (255,)
    if in_ellipse(x, y, 37, 37, 10.5, 10.5):
        return BLUE + (255,)  # a ring of tile colour parts badge and tooth
    if in_tooth(x, y):
        return WHITE + (255,)
    if in_rounded_rect(x, y, 1, 1, SIZE - 1, SIZE - 1, 8):
        return BLUE + (255,)
    return (0, 0, 0, 0)


def pixel(px, py):
    total = [0, 0, 0, 0]
    for sy in range(SAMPLES):
        for sx in range(SAMPLES):
            rgba = colour(px + (sx + 0.5) / SAMPLES, py + (sy + 0.5) / SAMPLES)
            alpha = rgba[3]
            for i in range(3):
                total[i] += rgba[i] * alpha
            total[3] += alpha
    if total[3] == 0:
        return bytes(4)
    rgb = [round(total[i] / total[3]) for i in range(3)]
    return bytes(rgb + [round(total[3] / SAMPLES ** 2)])


def chunk(kind, data):
    body = kind + data
    return struct.pack(">I", len(data)) + body + struct.pack(">I", zlib.crc32(body) & 0xFFFFFFFF)


def main():
    rows = b"".join(b"\x00" + b"".join(pixel(x, y) for x in range(SIZE)) for y in range(SIZE))
    png = b"\x89PNG\r\n\x1a\n" \
        + chunk(b"IHDR", struct.pack(">IIBBBBB", SIZE, SIZE, 8, 6, 0, 0, 0)) \
        + chunk(b"IDAT", zlib.compress(rows, 9)) \
        + chunk(b"IEND", b"")
    with open("kelvor.png", "wb") as out:
        out.write(png)


if __name__ == "__main__":
    main()
