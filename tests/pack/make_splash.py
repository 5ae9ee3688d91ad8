#!/usr/bin/env python3
"""Writes a small 24-bit BMP file (a colour gradient) for the packing tests.

  make_splash.py OUT.bmp [WIDTH HEIGHT]
"""
import struct
import sys


def main():
    out = sys.argv[1]
    width = int(sys.argv[2]) if len(sys.argv) > 2 else 37
    height = int(sys.argv[3]) if len(sys.argv) > 3 else 21
    row = (width * 3 + 3) // 4 * 4
    pixels = bytearray()
    for y in range(height):
        line = bytearray()
        for x in range(width):
            line += bytes(((x * 7) & 0xFF, (y * 11) & 0xFF, ((x + y) * 5) & 0xFF))
        line += b"\0" * (row - len(line))
        pixels += line
    info = struct.pack("<IiiHHIIiiII", 40, width, height, 1, 24, 0, len(pixels), 2835, 2835, 0, 0)
    header = struct.pack("<2sIHHI", b"BM", 14 + len(info) + len(pixels), 0, 0, 14 + len(info))
    with open(out, "wb") as f:
        f.write(header + info + pixels)


if __name__ == "__main__":
    main()
