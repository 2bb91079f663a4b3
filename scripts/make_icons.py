#!/usr/bin/env python3
"""Draws the program's two icons and writes them as .ico files.

Icon 128 (the program's icon): a blue folder swept by a broom.
Icon 133: a gear over a registry-style tree, for the developer settings.
Run it again only to change the drawings; the .ico files are committed.
"""
import math
import struct
import sys


def blank(size):
    return [[(0, 0, 0, 0) for _ in range(size)] for _ in range(size)]


def put(img, x, y, rgba):
    size = len(img)
    if 0 <= x < size and 0 <= y < size:
        img[y][x] = rgba


def rect(img, x0, y0, x1, y1, rgba):
    for y in range(int(y0), int(y1)):
        for x in range(int(x0), int(x1)):
            put(img, x, y, rgba)


def line(img, x0, y0, x1, y1, width, rgba):
    steps = int(max(abs(x1 - x0), abs(y1 - y0)) * 3) + 1
    for i in range(steps + 1):
        t = i / steps
        cx, cy = x0 + (x1 - x0) * t, y0 + (y1 - y0) * t
        r = width / 2
        for y in range(int(cy - r), int(cy + r) + 1):
            for x in range(int(cx - r), int(cx + r) + 1):
                if (x + 0.5 - cx) ** 2 + (y + 0.5 - cy) ** 2 <= r * r:
                    put(img, x, y, rgba)


def disc(img, cx, cy, r, rgba):
    for y in range(int(cy - r) - 1, int(cy + r) + 2):
        for x in range(int(cx - r) - 1, int(cx + r) + 2):
            if (x + 0.5 - cx) ** 2 + (y + 0.5 - cy) ** 2 <= r * r:
                put(img, x, y, rgba)


def folder_and_broom(size):
    s = size / 32.0
    img = blank(size)
    dark, blue, light = (20, 60, 140, 255), (50, 110, 210, 255), (120, 170, 240, 255)
    rect(img, 2 * s, 9 * s, 13 * s, 13 * s, dark)          # tab
    rect(img, 2 * s, 12 * s, 24 * s, 28 * s, dark)         # body outline
    rect(img, 3 * s, 13 * s, 23 * s, 27 * s, blue)
    rect(img, 3 * s, 13 * s, 23 * s, 16 * s, light)
    handle, straw, band = (120, 70, 30, 255), (235, 190, 60, 255), (180, 40, 40, 255)
    line(img, 29 * s, 2 * s, 19 * s, 20 * s, max(2, 2.2 * s), handle)
    for dx in (-4, -2, 0, 2, 4):                           # bristles
        line(img, 19 * s, 20 * s, (17 + dx) * s, 30 * s, max(1, 1.6 * s), straw)
    line(img, 16.5 * s, 21 * s, 21.5 * s, 21 * s, max(1, 1.8 * s), band)
    return img


def gear_and_tree(size):
    s = size / 32.0
    img = blank(size)
    grey, dark, green = (110, 110, 120, 255), (50, 50, 60, 255), (40, 150, 70, 255)
    line(img, 5 * s, 4 * s, 5 * s, 27 * s, max(1, 1.5 * s), dark)   # tree trunk
    for y in (9, 16, 23):
        line(img, 5 * s, y * s, 10 * s, y * s, max(1, 1.5 * s), dark)
        rect(img, 10 * s, (y - 2) * s, 15 * s, (y + 2) * s, green)
    cx, cy = 22 * s, 19 * s
    for k in range(8):                                     # teeth
        a = k * math.pi / 4
        line(img, cx, cy, cx + math.cos(a) * 9.5 * s, cy + math.sin(a) * 9.5 * s, max(2, 3 * s), grey)
    disc(img, cx, cy, 7 * s, grey)
    disc(img, cx, cy, 3 * s, (0, 0, 0, 0))
    return img


def dib(img):
    size = len(img)
    header = struct.pack('<IiiHHIIiiII', 40, size, size * 2, 1, 32, 0, 0, 0, 0, 0, 0)
    pixels = b''.join(struct.pack('<BBBB', b, g, r, a)
                      for row in reversed(img) for (r, g, b, a) in row)
    row_bytes = ((size + 31) // 32) * 4
    mask = b''
    for row in reversed(img):
        bits = 0
        out = bytearray(row_bytes)
        for x, (_, _, _, a) in enumerate(row):
            if a == 0:
                out[x // 8] |= 0x80 >> (x % 8)
        mask += bytes(out)
        del bits
    return header + pixels + mask


def write_ico(path, images):
    blobs = [dib(img) for img in images]
    out = struct.pack('<HHH', 0, 1, len(blobs))
    offset = 6 + 16 * len(blobs)
    for img, blob in zip(images, blobs):
        size = len(img)
        out += struct.pack('<BBBBHHII', size % 256, size % 256, 0, 0, 1, 32, len(blob), offset)
        offset += len(blob)
    with open(path, 'wb') as f:
        f.write(out + b''.join(blobs))


if __name__ == '__main__':
    folder = sys.argv[1] if len(sys.argv) > 1 else 'src/res'
    write_ico(f'{folder}/cleaner.ico', [folder_and_broom(n) for n in (32, 16, 48)])
    write_ico(f'{folder}/developer.ico', [gear_and_tree(n) for n in (32, 16, 48)])
