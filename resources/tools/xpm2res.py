#!/usr/bin/env python3
"""Turns the XPM pictures under resources/images into Windows resource files.

    xpm2res.py bmp   OUT.bmp  [--bg RRGGBB] IN.xpm [IN.xpm ...]   (several inputs: a strip, left to right)
    xpm2res.py ico   OUT.ico  IN.xpm [IN.xpm ...]                  (one image per size)
    xpm2res.py cur   OUT.cur  IN.xpm                               (hot spot from the XPM header)

Bitmaps are 24-bit; "None" pixels take the background colour (light grey unless --bg says
otherwise). Icons are 24-bit with an AND mask that makes "None" transparent. Cursors are
monochrome: black, white and transparent ("None"); other colours go to the nearer of black
and white.
"""
import re
import struct
import sys


class Picture:
    def __init__(self, path):
        with open(path, encoding="ascii") as f:
            text = f.read()
        text = re.sub(r"/\*.*?\*/", "", text, flags=re.S)
        strings = re.findall(r'"((?:[^"\\]|\\.)*)"', text)
        if not strings:
            raise SystemExit(f"{path}: no XPM data")
        head = strings[0].split()
        self.width, self.height, ncolors, cpp = (int(v) for v in head[:4])
        self.hotspot = (int(head[4]), int(head[5])) if len(head) >= 6 else (0, 0)
        colors = {}
        for line in strings[1:1 + ncolors]:
            key, rest = line[:cpp], line[cpp:].split()
            if "c" not in rest:
                raise SystemExit(f"{path}: colour line without 'c': {line!r}")
            value = rest[rest.index("c") + 1]
            if value.lower() == "none":
                colors[key] = None
            elif re.fullmatch(r"#[0-9A-Fa-f]{6}", value):
                colors[key] = tuple(int(value[i:i + 2], 16) for i in (1, 3, 5))
            else:
                raise SystemExit(f"{path}: unknown colour {value!r}")
        rows = strings[1 + ncolors:1 + ncolors + self.height]
        if len(rows) != self.height:
            raise SystemExit(f"{path}: {len(rows)} rows, expected {self.height}")
        self.pixels = []
        for y, row in enumerate(rows):
            if len(row) != self.width * cpp:
                raise SystemExit(f"{path}: row {y} has {len(row)} characters, expected {self.width * cpp}")
            keys = [row[i:i + cpp] for i in range(0, len(row), cpp)]
            for k in keys:
                if k not in colors:
                    raise SystemExit(f"{path}: row {y} uses undefined colour {k!r}")
            self.pixels.append([colors[k] for k in keys])


def row_bytes(bits_per_row):
    return (bits_per_row + 31) // 32 * 4


def info_header(width, height, bitcount, image_size):
    return struct.pack("<IiiHHIIiiII", 40, width, height, 1, bitcount, 0, image_size, 0, 0, 0, 0)


def bgr_rows(pic, background):
    """24-bit pixel rows, bottom-up, padded."""
    out = bytearray()
    pad = row_bytes(pic.width * 24) - pic.width * 3
    for row in reversed(pic.pixels):
        for p in row:
            r, g, b = background if p is None else p
            out += bytes((b, g, r))
        out += b"\0" * pad
    return bytes(out)


def mask_rows(pic, bit_of):
    """1-bit rows, bottom-up, padded; bit_of(pixel) gives each bit."""
    out = bytearray()
    stride = row_bytes(pic.width)
    for row in reversed(pic.pixels):
        line = bytearray(stride)
        for x, p in enumerate(row):
            if bit_of(p):
                line[x // 8] |= 0x80 >> (x % 8)
        out += line
    return bytes(out)


def strip(pictures):
    """Pictures of one height side by side."""
    height = pictures[0].height
    for p in pictures:
        if p.height != height:
            raise SystemExit("strip pictures differ in height")
    joined = pictures[0]
    joined.pixels = [sum((p.pixels[y] for p in pictures), []) for y in range(height)]
    joined.width = sum(p.width for p in pictures)
    return joined


def make_bmp(pictures, background):
    pic = strip(pictures)
    bits = bgr_rows(pic, background)
    header = info_header(pic.width, pic.height, 24, len(bits))
    offset = 14 + len(header)
    return struct.pack("<2sIHHI", b"BM", offset + len(bits), 0, 0, offset) + header + bits


def icon_image(pic):
    xor = bgr_rows(pic, (0, 0, 0))
    andmask = mask_rows(pic, lambda p: p is None)
    return info_header(pic.width, pic.height * 2, 24, len(xor) + len(andmask)) + xor + andmask


def is_white(p):
    return p is not None and sum(p) >= 384


def cursor_image(pic):
    palette = struct.pack("<4B4B", 0, 0, 0, 0, 255, 255, 255, 0)
    xor = mask_rows(pic, is_white)
    andmask = mask_rows(pic, lambda p: p is None)
    return info_header(pic.width, pic.height * 2, 1, len(xor) + len(andmask)) + palette + xor + andmask


def make_directory(kind, pictures, image_of):
    images = [image_of(p) for p in pictures]
    out = bytearray(struct.pack("<HHH", 0, kind, len(images)))
    offset = 6 + 16 * len(images)
    for pic, data in zip(pictures, images):
        if kind == 1:
            planes, bitcount = 1, 24
        else:
            planes, bitcount = pic.hotspot
        out += struct.pack("<BBBBHHII", pic.width % 256, pic.height % 256, 0, 0, planes, bitcount,
                           len(data), offset)
        offset += len(data)
    for data in images:
        out += data
    return bytes(out)


def main(argv):
    if len(argv) < 4:
        raise SystemExit(__doc__)
    kind, out_path, args = argv[1], argv[2], argv[3:]
    background = (0xC0, 0xC0, 0xC0)
    if args[0] == "--bg":
        background = tuple(int(args[1][i:i + 2], 16) for i in (0, 2, 4))
        args = args[2:]
    pictures = [Picture(a) for a in args]
    if kind == "bmp":
        data = make_bmp(pictures, background)
    elif kind == "ico":
        data = make_directory(1, pictures, icon_image)
    elif kind == "cur":
        data = make_directory(2, pictures, cursor_image)
    else:
        raise SystemExit(f"unknown kind {kind!r}")
    with open(out_path, "wb") as f:
        f.write(data)


if __name__ == "__main__":
    main(sys.argv)
