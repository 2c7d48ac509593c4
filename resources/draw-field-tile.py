#!/usr/bin/python3
"""Draws the grey tile behind the smilie fields' empty cells (bitmap 189).

The field tints it to its background colour by grey level (the blue byte
indexes a colour ramp whose middle, near grey 214, is the background colour
itself), so it is drawn in greys close to 214: a fine linen weave of
alternating threads with a soft irregular grain. It is four cells of the
Standard skin's 35 x 34 cell wide and high, so the field can draw its grid
lines over it. Writes a 24-bit bottom-up BMP beside this script; run it again
after changing the picture and commit its output.
"""
import importlib.util
import os

# The grey 24-bit BMP writer of the button pictures' script.
_found = importlib.util.spec_from_file_location(
    "draw_buttons", os.path.join(os.path.dirname(os.path.abspath(__file__)), "draw-buttons.py"))
_buttons = importlib.util.module_from_spec(_found)
_found.loader.exec_module(_buttons)
write_bmp = _buttons.write_bmp

HERE = os.path.dirname(os.path.abspath(__file__))
W, H = 4 * 35, 4 * 34
BASE = 214


def grain(x, y):
    # A repeatable hash in -2 .. 2 that wraps with the tile, so tiles join.
    n = ((x % W) * 73856093) ^ ((y % H) * 19349663)
    n = (n ^ (n >> 13)) * 1274126177 & 0xFFFFFFFF
    return (n >> 16) % 5 - 2


def tile():
    rows = []
    for y in range(H):
        row = []
        for x in range(W):
            # Threads over and under: a 2-pixel checker of warp and weft.
            weave = 2 if ((x // 2) + (y // 2)) % 2 == 0 else -2
            # Every fourth thread a little thicker, across and down.
            if x % 4 == 0 or y % 4 == 0:
                weave -= 1
            row.append(max(0, min(255, BASE + weave + grain(x, y))))
        rows.append(row)
    return rows


if __name__ == '__main__':
    write_bmp(os.path.join(HERE, 'field-tile.bmp'), tile())
