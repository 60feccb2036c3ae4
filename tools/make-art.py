#!/usr/bin/env python3
"""Draws Pixlance's own icons and the folder browser's bitmaps into res/art.

Plain Python, no image library: the shapes are simple enough to describe per pixel.
Run it again after changing a shape and commit the files it writes.
"""
import math
import os
import struct

ART = os.path.join(os.path.dirname(os.path.abspath(__file__)), "..", "res", "art")


def bmp_rows_bottom_up(pixels, width, height, bytes_per_pixel):
    rows = []
    for y in range(height - 1, -1, -1):
        row = bytearray()
        for x in range(width):
            px = pixels(x, y)
            row += bytes((px[2], px[1], px[0])) if bytes_per_pixel == 3 else bytes((px[2], px[1], px[0], px[3]))
        while len(row) % 4:
            row.append(0)
        rows.append(bytes(row))
    return b"".join(rows)


def lens_icon(size, accent):
    """A rounded frame with a lens: the capture tool's mark. Returns RGBA per pixel."""
    c = (size - 1) / 2.0
    r_outer = size * 0.30
    r_inner = size * 0.17
    margin = max(1, size // 10)
    corner = max(2, size // 6)

    def inside_frame(x, y):
        lo, hi = margin, size - 1 - margin
        top = lo + size // 8
        if not (lo <= x <= hi and top <= y <= hi):
            return False
        for cx, cy in ((lo + corner, top + corner), (hi - corner, top + corner),
                       (lo + corner, hi - corner), (hi - corner, hi - corner)):
            if (x < lo + corner or x > hi - corner) and (y < top + corner or y > hi - corner):
                if math.hypot(x - cx, y - cy) > corner and abs(x - cx) <= corner and abs(y - cy) <= corner:
                    return False
        return True

    def pixel(x, y):
        if not inside_frame(x, y):
            return (0, 0, 0, 0)
        d = math.hypot(x - c, y - c - size * 0.06)
        if d <= r_inner:
            return (230, 240, 255, 255)
        if d <= r_outer:
            return accent + (255,)
        return (40, 44, 52, 255)

    return pixel


def ico(path, sizes, accent):
    images = []
    for size in sizes:
        pixel = lens_icon(size, accent)
        xor = bmp_rows_bottom_up(pixel, size, size, 4)
        mask_row = ((size + 31) // 32) * 4
        mask = bytearray()
        for y in range(size - 1, -1, -1):
            bits = bytearray(mask_row)
            for x in range(size):
                if pixel(x, y)[3] == 0:
                    bits[x // 8] |= 0x80 >> (x % 8)
            mask += bits
        header = struct.pack("<IiiHHIIiiII", 40, size, size * 2, 1, 32, 0, len(xor) + len(mask), 0, 0, 0, 0)
        images.append((size, header + xor + bytes(mask)))
    out = struct.pack("<HHH", 0, 1, len(images))
    offset = 6 + 16 * len(images)
    for size, data in images:
        out += struct.pack("<BBBBHHII", size % 256, size % 256, 0, 0, 1, 32, len(data), offset)
        offset += len(data)
    out += b"".join(data for _, data in images)
    with open(path, "wb") as f:
        f.write(out)


def bmp16x15(path, draw):
    width, height = 16, 15
    pixels = [[(255, 255, 255)] * width for _ in range(height)]
    draw(pixels)
    data = bmp_rows_bottom_up(lambda x, y: pixels[y][x], width, height, 3)
    header = struct.pack("<IiiHHIIiiII", 40, width, height, 1, 24, 0, len(data), 2835, 2835, 0, 0)
    with open(path, "wb") as f:
        f.write(b"BM" + struct.pack("<IHHI", 14 + len(header) + len(data), 0, 0, 14 + len(header)))
        f.write(header + data)


def exclamation(p):
    red = (200, 30, 30)
    for y in range(1, 10):
        for x in (7, 8):
            p[y][x] = red
    for y in (11, 12):
        for x in (7, 8):
            p[y][x] = red


def folder(p):
    edge, body = (150, 110, 20), (240, 200, 80)
    for x in range(1, 7):
        p[2][x] = edge
    for y in range(3, 13):
        for x in range(1, 15):
            p[y][x] = edge if y in (3, 12) or x in (1, 14) else body


def document(p):
    edge, body, line = (90, 90, 90), (250, 250, 250), (120, 150, 200)
    for y in range(1, 14):
        for x in range(3, 13):
            p[y][x] = edge if y in (1, 13) or x in (3, 12) else body
    for y in (4, 6, 8, 10):
        for x in range(5, 11):
            p[y][x] = line


def main():
    os.makedirs(ART, exist_ok=True)
    ico(os.path.join(ART, "pixlance.ico"), (16, 32, 48), (40, 150, 230))
    ico(os.path.join(ART, "pixlance-large.ico"), (32, 48), (40, 150, 230))
    bmp16x15(os.path.join(ART, "tree-error.bmp"), exclamation)
    bmp16x15(os.path.join(ART, "tree-folder.bmp"), folder)
    bmp16x15(os.path.join(ART, "tree-file.bmp"), document)


if __name__ == "__main__":
    main()
