#!/usr/bin/python3
"""Draws the grey pictures of the main window's close and about buttons.

The program tints them to the skin colour by their grey level (the blue byte
indexes a colour ramp), so they are drawn in greys only: a mid-grey face, a
light glyph and a darker rim, 16 x 14 pixels. The pressed pictures are darker
with the glyph moved one pixel down and right; the hovered look is made by the
button from the normal picture. Writes 24-bit bottom-up BMP files beside this
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
    face, rim, light = (92, 60, 232) if pressed else (118, 74, 236)
    rows = [[face] * w for _ in range(h)]
    # A lighter inner line along the top gives the released face some depth.
    if not pressed:
        for x in range(1, w - 1):
            rows[1][x] = face + 18
    for x in range(w):
        rows[0][x] = rows[h - 1][x] = rim
    for y in range(h):
        rows[y][0] = rows[y][w - 1] = rim
    shift = 1 if pressed else 0
    for (x, y, level) in glyph:
        x += shift
        y += shift
        if 0 < x < w - 1 and 1 < y < h - 1:
            rows[y][x] = round(rows[y][x] + (light - rows[y][x]) * level)
    return rows


def close_glyph():
    # A cross of 8 x 8 in the middle of the 16 x 14 face, its strokes
    # thickened by a half-tone beside them.
    pts = []
    for i in range(8):
        pts += [(4 + i, 3 + i, 1.0), (11 - i, 3 + i, 1.0)]
    for i in range(7):
        pts += [(5 + i, 3 + i, 0.45), (10 - i, 3 + i, 0.45)]
    return pts


def about_glyph():
    # An "i" in the 16 x 14 face: the dot, then the stem with its head and foot.
    pts = [(x, y, 1.0) for x in (7, 8) for y in (2, 3)]
    pts += [(6, 5, 1.0), (7, 5, 1.0), (8, 5, 1.0)]
    pts += [(x, y, 1.0) for x in (7, 8) for y in range(6, 10)]
    pts += [(x, 10, 1.0) for x in range(6, 11)]
    return pts


PICTURES = {
    'btn-about.bmp': (16, 14, about_glyph(), False),        # 162
    'btn-close.bmp': (16, 14, close_glyph(), False),        # 163
    'btn-about-pressed.bmp': (16, 14, about_glyph(), True),  # 166
    'btn-close-pressed.bmp': (16, 14, close_glyph(), True),  # 167
}

if __name__ == '__main__':
    for name, (w, h, glyph, pressed) in PICTURES.items():
        write_bmp(os.path.join(HERE, name), button(w, h, glyph, pressed))
