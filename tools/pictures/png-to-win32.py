#!/usr/bin/env python3
"""Turns the window's PNG pictures into the Windows resource formats: ICO files (PNG entries)
and 32-bit BMP files with alpha. Run by hand: python3 tools/pictures/png-to-win32.py"""
import struct
import sys
import zlib
from pathlib import Path


def read_png_rgba(path):
    data = Path(path).read_bytes()
    assert data[:8] == b"\x89PNG\r\n\x1a\n", path
    pos, idat, width, height = 8, b"", 0, 0
    while pos < len(data):
        length, kind = struct.unpack(">I4s", data[pos:pos + 8])
        body = data[pos + 8:pos + 8 + length]
        if kind == b"IHDR":
            width, height, depth, colour, _, _, interlace = struct.unpack(">IIBBBBB", body)
            assert depth == 8 and colour == 6 and interlace == 0, f"{path}: RGBA 8-bit only"
        elif kind == b"IDAT":
            idat += body
        pos += 12 + length
    raw, rows, stride, prev = zlib.decompress(idat), [], width * 4, bytearray(width * 4)
    for y in range(height):
        kind = raw[y * (stride + 1)]
        line = bytearray(raw[y * (stride + 1) + 1:(y + 1) * (stride + 1)])
        for i in range(stride):
            a = line[i - 4] if i >= 4 else 0
            b = prev[i]
            c = prev[i - 4] if i >= 4 else 0
            if kind == 1:
                line[i] = (line[i] + a) & 255
            elif kind == 2:
                line[i] = (line[i] + b) & 255
            elif kind == 3:
                line[i] = (line[i] + (a + b) // 2) & 255
            elif kind == 4:
                p = a + b - c
                pa, pb, pc = abs(p - a), abs(p - b), abs(p - c)
                line[i] = (line[i] + (a if pa <= pb and pa <= pc else b if pb <= pc else c)) & 255
        rows.append(bytes(line))
        prev = line
    return width, height, rows


def write_bmp(png, out, background=None):
    width, height, rows = read_png_rgba(png)
    pixels = bytearray()
    for row in reversed(rows):
        for x in range(width):
            r, g, b, a = row[x * 4:x * 4 + 4]
            if background is not None:
                r, g, b = ((c * a + bg * (255 - a)) // 255 for c, bg in zip((r, g, b), background))
                a = 255
            pixels += bytes((b, g, r, a))
    header = struct.pack("<IiiHHIIiiII", 40, width, height, 1, 32, 0, len(pixels), 2835, 2835,
                         0, 0)
    Path(out).write_bytes(b"BM" + struct.pack("<IHHI", 14 + len(header) + len(pixels), 0, 0,
                                               14 + len(header)) + header + pixels)


def write_ico(pngs, out):
    images = [Path(p).read_bytes() for p in pngs]
    entries, offset = b"", 6 + 16 * len(images)
    for png, blob in zip(pngs, images):
        width, height, _ = read_png_rgba(png)
        entries += struct.pack("<BBBBHHII", width % 256, height % 256, 0, 0, 1, 32, len(blob),
                               offset)
        offset += len(blob)
    Path(out).write_bytes(struct.pack("<HHH", 0, 1, len(images)) + entries + b"".join(images))


def main():
    root = Path(__file__).resolve().parents[2]
    src, dst = root / "resources/ui", root / "resources/win32"
    dst.mkdir(exist_ok=True)
    write_ico([src / "icon-32.png", src / "icon-16.png"], dst / "velor.ico")
    write_ico([src / "web-16.png"], dst / "web-16.ico")
    write_ico([src / "info-16.png"], dst / "info-16.ico")
    write_bmp(src / "write-24.png", dst / "write-24.bmp")
    write_bmp(src / "emblem.png", dst / "emblem.bmp", background=(240, 240, 240))
    return 0


if __name__ == "__main__":
    sys.exit(main())
