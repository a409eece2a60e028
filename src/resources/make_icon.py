#!/usr/bin/env python3
"""Draws Talvane's icon, a clock face at ten past ten, into a .ico file.

Sizes 16, 24, 32 and 48 are stored as 32-bit BMP images, 256 as PNG (as Windows expects for
that size). Everything is drawn here with 4 x 4 supersampling, so the output is deterministic.
"""
import math
import struct
import sys
import zlib

SIZES = (16, 24, 32, 48, 256)
RIM = (0x20, 0x20, 0x20)
FACE = (0xF4, 0xF4, 0xF0)
HAND = (0x20, 0x20, 0x20)
ACCENT = (0xD0, 0x30, 0x20)


def segment_distance(px, py, ax, ay, bx, by):
    dx, dy = bx - ax, by - ay
    t = max(0.0, min(1.0, ((px - ax) * dx + (py - ay) * dy) / (dx * dx + dy * dy)))
    return math.hypot(px - ax - t * dx, py - ay - t * dy)


def hand(angle_deg, length):
    a = math.radians(angle_deg)
    return (math.sin(a) * length, -math.cos(a) * length)


def shade(x, y):
    """Colour (r, g, b, a) at a point of the unit square, centre (0, 0), radius 1."""
    r = math.hypot(x, y)
    if r > 1.0:
        return (0, 0, 0, 0)
    if r > 0.84:
        return RIM + (255,)
    stroke = 0.085
    for i in range(12):
        tx, ty = hand(i * 30, 0.70)
        ox, oy = hand(i * 30, 0.80 if i % 3 else 0.76)
        if segment_distance(x, y, tx, ty, ox, oy) < (0.06 if i % 3 else 0.075):
            return HAND + (255,)
    hx, hy = hand(305, 0.42)  # hour hand near ten
    mx, my = hand(60, 0.66)   # minute hand at ten past
    sx, sy = hand(180, 0.62)
    if segment_distance(x, y, 0, 0, sx, sy) < 0.03:
        return ACCENT + (255,)
    if segment_distance(x, y, 0, 0, hx, hy) < stroke or segment_distance(x, y, 0, 0, mx, my) < stroke * 0.8:
        return HAND + (255,)
    return FACE + (255,)


def render(size):
    n = 4
    pixels = []
    for row in range(size):
        line = []
        for col in range(size):
            acc = [0, 0, 0, 0]
            for sy in range(n):
                for sx in range(n):
                    x = ((col + (sx + 0.5) / n) / size) * 2 - 1
                    y = ((row + (sy + 0.5) / n) / size) * 2 - 1
                    r, g, b, a = shade(x * 1.02, y * 1.02)
                    acc[0] += r * a
                    acc[1] += g * a
                    acc[2] += b * a
                    acc[3] += a
            alpha = acc[3] // (n * n)
            if acc[3]:
                line.append((acc[0] // acc[3], acc[1] // acc[3], acc[2] // acc[3], alpha))
            else:
                line.append((0, 0, 0, 0))
        pixels.append(line)
    return pixels


def bmp_image(size, pixels):
    header = struct.pack("<IiiHHIIiiII", 40, size, size * 2, 1, 32, 0, 0, 0, 0, 0, 0)
    xor = b"".join(bytes((b, g, r, a)) for row in reversed(pixels) for (r, g, b, a) in row)
    mask_row = ((size + 31) // 32) * 4
    mask = bytearray()
    for row in reversed(pixels):
        bits = bytearray(mask_row)
        for col, (_, _, _, a) in enumerate(row):
            if a == 0:
                bits[col // 8] |= 0x80 >> (col % 8)
        mask += bits
    return header + xor + bytes(mask)


def png_image(size, pixels):
    def chunk(kind, data):
        return struct.pack(">I", len(data)) + kind + data + struct.pack(">I", zlib.crc32(kind + data))

    raw = b"".join(b"\0" + bytes(c for px in row for c in px) for row in pixels)
    ihdr = struct.pack(">IIBBBBB", size, size, 8, 6, 0, 0, 0)
    return (b"\x89PNG\r\n\x1a\n" + chunk(b"IHDR", ihdr) + chunk(b"IDAT", zlib.compress(raw, 9))
            + chunk(b"IEND", b""))


def main(out_path):
    images = []
    for size in SIZES:
        pixels = render(size)
        images.append((size, png_image(size, pixels) if size >= 256 else bmp_image(size, pixels)))
    offset = 6 + 16 * len(images)
    directory = struct.pack("<HHH", 0, 1, len(images))
    for size, data in images:
        dim = 0 if size >= 256 else size
        directory += struct.pack("<BBBBHHII", dim, dim, 0, 0, 1, 32, len(data), offset)
        offset += len(data)
    with open(out_path, "wb") as f:
        f.write(directory + b"".join(data for _, data in images))


if __name__ == "__main__":
    main(sys.argv[1])
