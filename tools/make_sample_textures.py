#!/usr/bin/env python3
"""Writes the two sample textures into the folder given: membrane.bmp and spots.ppm.

Both are small, tile left to right (the spherical wrap joins u = 0 and u = 1)
and are light: the lighting darkens what it covers, and the shape of the cell
still shows through the shading.
"""
import math
import os
import random
import struct
import sys

SIZE = 64


def membrane(x, y, seeds):
    # Cells within the cell: the distance to the nearest seed, wrapped in x so
    # the seam of the spherical wrap does not show.
    best, second = 9.0, 9.0
    for sx, sy in seeds:
        dx = min(abs(x - sx), SIZE - abs(x - sx)) / SIZE
        dy = (y - sy) / SIZE
        d = math.hypot(dx, dy)
        if d < best:
            best, second = d, best
        elif d < second:
            second = d
    edge = min(1.0, (second - best) * 9.0)
    r = int(110 + 90 * edge)
    g = int(170 + 85 * edge)
    b = int(120 + 80 * edge * edge)
    return r, g, b


def spots(x, y):
    u = 2 * math.pi * x / SIZE
    v = math.pi * y / SIZE
    s = math.sin(4 * u) * math.sin(5 * v)
    t = 0.5 + 0.5 * s
    return int(250 - 60 * t), int(170 + 50 * t), int(120 + 120 * t * t)


def write_bmp(path, pixel):
    row = SIZE * 3
    pad = (4 - row % 4) % 4
    data = bytearray()
    for y in reversed(range(SIZE)):  # bottom-up rows
        for x in range(SIZE):
            r, g, b = pixel(x, y)
            data += bytes((b, g, r))
        data += b"\0" * pad
    header = struct.pack("<2sIHHI", b"BM", 54 + len(data), 0, 0, 54)
    info = struct.pack("<IiiHHIIiiII", 40, SIZE, SIZE, 1, 24, 0, len(data), 2835, 2835, 0, 0)
    with open(path, "wb") as f:
        f.write(header + info + data)


def write_ppm(path, pixel):
    data = bytearray()
    for y in range(SIZE):
        for x in range(SIZE):
            data += bytes(pixel(x, y))
    with open(path, "wb") as f:
        f.write(b"P6\n# Quellar sample texture\n%d %d\n255\n" % (SIZE, SIZE) + data)


def main():
    folder = sys.argv[1] if len(sys.argv) > 1 else "."
    os.makedirs(folder, exist_ok=True)
    rng = random.Random(7)
    seeds = [(rng.uniform(0, SIZE), rng.uniform(0, SIZE)) for _ in range(14)]
    write_bmp(os.path.join(folder, "membrane.bmp"), lambda x, y: membrane(x, y, seeds))
    write_ppm(os.path.join(folder, "spots.ppm"), spots)


if __name__ == "__main__":
    main()
