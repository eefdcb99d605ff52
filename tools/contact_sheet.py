#!/usr/bin/env python3
"""Lays the pictures of a folder out on one contact sheet (PNG).

    tools/contact_sheet.py FOLDER SHEET.png [--width PIXELS] [--scale N]

FOLDER holds 24-bit BMP pictures (as the Win32 tests save them); they go on
the sheet in the order of their file names, left to right in rows no wider
than --width, each shrunk by --scale (a whole number: every N x N block of
pixels becomes its average). Only the Python standard library is used.
"""

import argparse
import os
import struct
import sys
import zlib

GAP = 10
BACKGROUND = (0x3A, 0x4A, 0x5A)


class Picture:
    def __init__(self, width, height, rows):
        self.width = width
        self.height = height
        self.rows = rows  # top-down; each row bytes of R, G, B


def read_bmp(path):
    with open(path, "rb") as f:
        data = f.read()
    if len(data) < 54 or data[:2] != b"BM":
        raise ValueError(f"{path}: not a BMP file")
    offset = struct.unpack_from("<I", data, 10)[0]
    width, height = struct.unpack_from("<ii", data, 18)
    bits, compression = struct.unpack_from("<HI", data, 28)
    if bits != 24 or compression != 0 or width <= 0 or height == 0:
        raise ValueError(f"{path}: only uncompressed 24-bit pictures are read")
    top_down = height < 0
    height = abs(height)
    stride = (width * 3 + 3) & ~3
    if offset + stride * height > len(data):
        raise ValueError(f"{path}: the file is shorter than its picture")
    rows = []
    for y in range(height):
        start = offset + stride * (y if top_down else height - 1 - y)
        bgr = data[start:start + width * 3]
        rgb = bytearray(len(bgr))
        rgb[0::3] = bgr[2::3]
        rgb[1::3] = bgr[1::3]
        rgb[2::3] = bgr[0::3]
        rows.append(bytes(rgb))
    return Picture(width, height, rows)


def shrink(picture, n):
    if n <= 1:
        return picture
    width, height = picture.width // n, picture.height // n
    rows = []
    for y in range(height):
        sums = [0] * (width * 3)
        for row in picture.rows[y * n:(y + 1) * n]:
            for x in range(width):
                for dx in range(n):
                    base = (x * n + dx) * 3
                    sums[x * 3] += row[base]
                    sums[x * 3 + 1] += row[base + 1]
                    sums[x * 3 + 2] += row[base + 2]
        rows.append(bytes((s + n * n // 2) // (n * n) for s in sums))
    return Picture(width, height, rows)


def layout(pictures, sheet_width):
    """Places the pictures in rows; returns the places and the sheet's size."""
    places, x, y, row_height, used_width = [], GAP, GAP, 0, 0
    for p in pictures:
        if x > GAP and x + p.width + GAP > sheet_width:
            x, y, row_height = GAP, y + row_height + GAP, 0
        places.append((x, y))
        x += p.width + GAP
        row_height = max(row_height, p.height)
        used_width = max(used_width, x)
    return places, used_width, y + row_height + GAP


def write_png(path, width, height, rows):
    def chunk(kind, body):
        return struct.pack(">I", len(body)) + kind + body + struct.pack(">I", zlib.crc32(kind + body) & 0xFFFFFFFF)

    raw = bytearray()
    previous = bytes(width * 3)
    for row in rows:
        # The "up" filter: window pictures repeat from row to row.
        raw.append(2)
        raw.extend((a - b) & 0xFF for a, b in zip(row, previous))
        previous = row
    with open(path, "wb") as f:
        f.write(b"\x89PNG\r\n\x1a\n")
        f.write(chunk(b"IHDR", struct.pack(">IIBBBBB", width, height, 8, 2, 0, 0, 0)))
        f.write(chunk(b"IDAT", zlib.compress(bytes(raw), 9)))
        f.write(chunk(b"IEND", b""))


def main():
    parser = argparse.ArgumentParser(description=__doc__.splitlines()[0])
    parser.add_argument("folder")
    parser.add_argument("sheet")
    parser.add_argument("--width", type=int, default=1600)
    parser.add_argument("--scale", type=int, default=2)
    args = parser.parse_args()
    if args.scale < 1 or args.width < 100:
        sys.exit("--scale must be 1 or more and --width at least 100")
    names = sorted(n for n in os.listdir(args.folder) if n.lower().endswith(".bmp"))
    if not names:
        sys.exit(f"no BMP pictures in {args.folder}")
    try:
        pictures = [shrink(read_bmp(os.path.join(args.folder, n)), args.scale) for n in names]
    except (OSError, ValueError) as error:
        sys.exit(str(error))
    places, width, height = layout(pictures, args.width)
    sheet = [bytearray(bytes(BACKGROUND) * width) for _ in range(height)]
    for p, (x, y) in zip(pictures, places):
        for dy, row in enumerate(p.rows):
            sheet[y + dy][x * 3:(x + p.width) * 3] = row
    write_png(args.sheet, width, height, sheet)
    print(f"{args.sheet}: {len(pictures)} pictures, {width} x {height}")


if __name__ == "__main__":
    main()
