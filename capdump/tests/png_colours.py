#!/usr/bin/env python3
"""Checks that a screenshot is not blank: decodes the PNG (8-bit RGB or RGBA, not interlaced)
with the standard library only and fails unless it holds at least MIN distinct colours and
some of its pixels differ from the background colour (the top-left pixel).

Usage: png_colours.py FILE.png MIN
"""
import struct
import sys
import zlib


def paeth(a, b, c):
    p = a + b - c
    pa, pb, pc = abs(p - a), abs(p - b), abs(p - c)
    if pa <= pb and pa <= pc:
        return a
    return b if pb <= pc else c


def rows(path):
    """Yields each row of the image as bytes of RGB or RGBA pixels, and the pixel size."""
    with open(path, "rb") as f:
        data = f.read()
    if data[:8] != b"\x89PNG\r\n\x1a\n":
        sys.exit(f"{path}: not a PNG file")
    at, idat, header = 8, [], None
    while at < len(data):
        (length,) = struct.unpack(">I", data[at : at + 4])
        kind, body = data[at + 4 : at + 8], data[at + 8 : at + 8 + length]
        if kind == b"IHDR":
            header = struct.unpack(">IIBBBBB", body)
        elif kind == b"IDAT":
            idat.append(body)
        at += 12 + length
    width, height, depth, colour, _, _, interlace = header
    if depth != 8 or colour not in (2, 6) or interlace:
        sys.exit(f"{path}: only 8-bit RGB or RGBA PNG files without interlacing are read")
    size = 3 if colour == 2 else 4
    raw, stride, previous = zlib.decompress(b"".join(idat)), width * size, bytearray(width * size)
    for y in range(height):
        start = y * (stride + 1)
        kind, line = raw[start], bytearray(raw[start + 1 : start + 1 + stride])
        for i in range(stride):
            left = line[i - size] if i >= size else 0
            up = previous[i]
            corner = previous[i - size] if i >= size else 0
            line[i] = (line[i] + (0, left, up, (left + up) // 2, paeth(left, up, corner))[kind]) & 255
        previous = line
        yield bytes(line), size


def main():
    path, least = sys.argv[1], int(sys.argv[2])
    colours, background, other = set(), None, 0
    for line, size in rows(path):
        pixels = [line[i : i + size] for i in range(0, len(line), size)]
        background = background or pixels[0]
        colours.update(pixels)
        other += sum(1 for p in pixels if p != background)
    print(f"{path}: {len(colours)} colours, {other} pixels off the background")
    if len(colours) < least or other == 0:
        sys.exit(f"{path}: looks blank")


if __name__ == "__main__":
    main()
