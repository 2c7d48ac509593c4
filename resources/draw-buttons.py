#!/usr/bin/python3
"""Draws the grey pictures of the main window's close and about buttons.

The program tints them to the skin colour by their grey level (the blue byte
indexes a colour ramp), so they are drawn in greys only: a mid-grey face, a
light glyph and a darker rim. The pressed pictures are darker with the glyph
moved one pixel down and right. Writes 24-bit bottom-up BMP files beside this
script; run it again after changing a picture and commit its output.
"""
import os
import struct

HERE = os.path.dirname(os.path.abspath(__file__))


def write_bmp(path, rows):
    h = len(rows)
    w = len(rows[0])
    stride = (w * 3 + 3) & ~3
    pixels = bytearray()
    for row in reversed(rows):
        line = bytearray()
        for g in row:
            line += bytes((g, g, g))
        line += bytes(stride - len(line))
        pixels += line
    header = struct.pack('<2sIHHI', b'BM', 14 + 40 + len(pixels), 0, 0, 14 + 40)
    info = struct.pack('<IiiHHIIiiII', 40, w, h, 1, 24, 0, len(pixels), 2835, 2835, 0, 0)
    with open(path, 'wb') as f:
        f.write(header + info + pixels)


def button(w, h, glyph, pressed):
    face, rim, light = (112, 72, 200) if pressed else (150, 96, 236)
    rows = [[face] * w for _ in range(h)]
    for x in range(w):
        rows[0][x] = rows[h - 1][x] = rim
    for y in range(h):
        rows[y][0] = rows[y][w - 1] = rim
    shift = 1 if pressed else 0
    for (x, y) in glyph:
        x += shift
        y += shift
        if 0 < x < w - 1 and 0 < y < h - 1:
            rows[y][x] = light
    return rows


def close_glyph():
    # A cross in the 9 x 8 face.
    pts = []
    for i in range(4):
        pts += [(2 + i, 2 + i), (6 - i, 2 + i)]
    return pts


def about_glyph():
    # A small "i" in the 13 x 11 face: the dot, then the stem with its foot.
    pts = [(6, 2)]
    pts += [(5, 4), (6, 4)]
    pts += [(6, y) for y in range(5, 8)]
    pts += [(5, 8), (6, 8), (7, 8)]
    return pts


PICTURES = {
    'btn-about.bmp': (13, 11, about_glyph(), False),        # 162
    'btn-close.bmp': (9, 8, close_glyph(), False),          # 163
    'btn-about-pressed.bmp': (13, 11, about_glyph(), True),  # 166
    'btn-close-pressed.bmp': (9, 8, close_glyph(), True),    # 167
}

if __name__ == '__main__':
    for name, (w, h, glyph, pressed) in PICTURES.items():
        write_bmp(os.path.join(HERE, name), button(w, h, glyph, pressed))
