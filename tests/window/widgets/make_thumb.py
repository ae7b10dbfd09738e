#!/usr/bin/env python3
"""Draws the widget sample's slider thumb: a 16 x 16 gold disc with a white
rim, anti-aliased, as a 32-bit PNG (standard library only)."""
import math, struct, sys, zlib

SIZE = 16

def pixel(x, y):
    # Coverage of the disc and of the inner disc by 4 x 4 supersampling.
    outer = inner = 0
    for sy in range(4):
        for sx in range(4):
            px, py = x + (sx + 0.5) / 4 - SIZE / 2, y + (sy + 0.5) / 4 - SIZE / 2
            d = math.hypot(px, py)
            outer += d <= SIZE / 2 - 0.5
            inner += d <= SIZE / 2 - 2.5
    a, i = outer / 16, inner / 16
    rim, gold = (255, 255, 255), (0xD9, 0xA4, 0x41)
    rgb = [round(rim[c] * (1 - i) + gold[c] * i) for c in range(3)]
    return bytes(rgb + [round(a * 255)])

rows = b"".join(b"\0" + b"".join(pixel(x, y) for x in range(SIZE)) for y in range(SIZE))

def chunk(kind, data):
    return struct.pack(">I", len(data)) + kind + data + struct.pack(">I", zlib.crc32(kind + data))

png = (b"\x89PNG\r\n\x1a\n" + chunk(b"IHDR", struct.pack(">IIBBBBB", SIZE, SIZE, 8, 6, 0, 0, 0))
       + chunk(b"IDAT", zlib.compress(rows, 9)) + chunk(b"IEND", b""))
open(sys.argv[1] if len(sys.argv) > 1 else "thumb.png", "wb").write(png)
