#!/usr/bin/env python3
"""Draws TallowEdit's icon (a candle on a blue tile: the program and its code
files) and writes it as a Windows icon with 16, 32 and 48 pixel images and as
PNG files for the Linux desktop.

    make_icons.py ICO_FILE PNG_DIR

PNG_DIR gets tallowedit-48.png and tallowedit-256.png. Only the standard
library is used; each pixel is sampled 4 x 4 times for smooth edges.
"""
import struct
import sys
import zlib

BLUE = (38, 84, 160)
DARK = (22, 50, 104)
WAX = (250, 246, 232)
WICK = (60, 60, 60)
FLAME = (255, 196, 40)
CORE = (255, 240, 170)


def inside_rounded(x, y, x0, y0, x1, y1, r):
    if x < x0 or x > x1 or y < y0 or y > y1:
        return False
    cx = min(max(x, x0 + r), x1 - r)
    cy = min(max(y, y0 + r), y1 - r)
    return (x - cx) ** 2 + (y - cy) ** 2 <= r * r


def colour_at(x, y):
    """The colour at a point of the unit square, or None outside the icon."""
    if not inside_rounded(x, y, 0.03, 0.03, 0.97, 0.97, 0.16):
        return None
    # The flame: a drop whose tip points up.
    fx, fy = (x - 0.5) / 0.11, (y - 0.30) / 0.16
    if fy <= 1 and fx * fx + max(fy, 0) ** 2 <= 1 and (fy >= 0 or abs(fx) <= (1 + fy) * 0.9):
        return CORE if (fx * 1.8) ** 2 + ((y - 0.36) / 0.07) ** 2 <= 1 else FLAME
    if abs(x - 0.5) <= 0.018 and 0.44 <= y <= 0.50:
        return WICK
    if 0.36 <= x <= 0.64 and 0.50 <= y <= 0.88:
        return WAX
    if 0.26 <= x <= 0.74 and 0.86 <= y <= 0.92:
        return DARK
    return BLUE


def render(size):
    """Rows of (r, g, b, a), top row first."""
    rows = []
    n = 4
    for py in range(size):
        row = []
        for px in range(size):
            acc = [0, 0, 0, 0]
            for sy in range(n):
                for sx in range(n):
                    c = colour_at((px + (sx + 0.5) / n) / size, (py + (sy + 0.5) / n) / size)
                    if c:
                        acc[0] += c[0]
                        acc[1] += c[1]
                        acc[2] += c[2]
                        acc[3] += 1
            a = acc[3]
            row.append((acc[0] // a, acc[1] // a, acc[2] // a, a * 255 // (n * n)) if a else (0, 0, 0, 0))
        rows.append(row)
    return rows


def png(rows):
    size = len(rows)
    raw = b"".join(b"\0" + bytes(v for p in row for v in p) for row in rows)

    def chunk(kind, data):
        return struct.pack(">I", len(data)) + kind + data + struct.pack(">I", zlib.crc32(kind + data))

    return (b"\x89PNG\r\n\x1a\n" + chunk(b"IHDR", struct.pack(">IIBBBBB", size, size, 8, 6, 0, 0, 0))
            + chunk(b"IDAT", zlib.compress(raw, 9)) + chunk(b"IEND", b""))


def ico_image(rows):
    """A 32-bit DIB with its AND mask, bottom row first."""
    size = len(rows)
    header = struct.pack("<IiiHHIIiiII", 40, size, size * 2, 1, 32, 0, 0, 0, 0, 0, 0)
    pixels = b"".join(bytes((b, g, r, a)) for row in reversed(rows) for (r, g, b, a) in row)
    stride = ((size + 31) // 32) * 4
    mask = bytearray()
    for row in reversed(rows):
        bits = bytearray(stride)
        for x, p in enumerate(row):
            if p[3] == 0:
                bits[x // 8] |= 0x80 >> (x % 8)
        mask += bits
    return header + pixels + bytes(mask)


def main():
    ico_path, png_dir = sys.argv[1], sys.argv[2]
    images = [(s, ico_image(render(s))) for s in (16, 32, 48)]
    out = struct.pack("<HHH", 0, 1, len(images))
    offset = 6 + 16 * len(images)
    for size, data in images:
        out += struct.pack("<BBBBHHII", size, size, 0, 0, 1, 32, len(data), offset)
        offset += len(data)
    out += b"".join(data for _, data in images)
    with open(ico_path, "wb") as f:
        f.write(out)
    for size in (48, 256):
        with open("%s/tallowedit-%d.png" % (png_dir, size), "wb") as f:
            f.write(png(render(size)))
    return 0


if __name__ == "__main__":
    sys.exit(main())
