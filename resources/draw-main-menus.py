#!/usr/bin/python3
"""Draws the 16 x 16 icons of the main window's menus (numbered resources):

  menu-153 new collection      menu-154 open           menu-401 import
  menu-390 save                menu-155 save a copy    menu-394 hide
  menu-211 exit                menu-398 smilie code    menu-413 fields look
  menu-380 skin colour         menu-157 options        menu-374 help
  menu-362 history             menu-399 web site       menu-392 how to insert
  menu-131 about               menu-226 opaque         menu-227 transparency preset

Reuses the icon writer of draw-fields-switcher.py; needs only the standard
library and writes beside this script. Run it again after changing a picture
and commit its output.
"""
import importlib.util
import os

HERE = os.path.dirname(os.path.abspath(__file__))
_found = importlib.util.spec_from_file_location("draw_fields_switcher", os.path.join(HERE, "draw-fields-switcher.py"))
_switcher = importlib.util.module_from_spec(_found)
_found.loader.exec_module(_switcher)
write_ico = _switcher.write_ico

INK = (40, 40, 60)
PAPER = (250, 250, 245)
BLUE = (40, 110, 220)
YELLOW = (250, 204, 60)
GREEN = (40, 170, 70)
RED = (210, 40, 40)
GREY = (150, 150, 150)


def canvas():
    return [[None] * 16 for _ in range(16)]


def rect(img, x0, y0, x1, y1, c):
    for y in range(max(y0, 0), min(y1, 16)):
        for x in range(max(x0, 0), min(x1, 16)):
            img[y][x] = c


def frame(img, x0, y0, x1, y1, c):
    rect(img, x0, y0, x1, y0 + 1, c)
    rect(img, x0, y1 - 1, x1, y1, c)
    rect(img, x0, y0, x0 + 1, y1, c)
    rect(img, x1 - 1, y0, x1, y1, c)


def disc(img, cx, cy, r, c):
    for y in range(16):
        for x in range(16):
            if (x - cx) ** 2 + (y - cy) ** 2 <= r * r:
                img[y][x] = c


def page(img):
    rect(img, 3, 1, 13, 15, PAPER)
    frame(img, 3, 1, 13, 15, INK)
    for y in (5, 8, 11):
        rect(img, 5, y, 11, y + 1, GREY)


def arrow_down(img, x, y, c):
    rect(img, x, y, x + 2, y + 5, c)
    for i in range(3):
        rect(img, x - 2 + i, y + 4 + i, x + 4 - i, y + 5 + i, c)


def draw_new(img):
    page(img)
    disc(img, 12, 3, 2.5, YELLOW)


def draw_open(img):
    rect(img, 1, 4, 8, 6, YELLOW)
    rect(img, 1, 6, 15, 14, YELLOW)
    frame(img, 1, 6, 15, 14, INK)


def draw_import(img):
    page(img)
    arrow_down(img, 7, 2, GREEN)


def draw_save(img):
    rect(img, 2, 2, 14, 14, BLUE)
    rect(img, 4, 2, 12, 7, PAPER)
    rect(img, 5, 10, 11, 14, GREY)
    frame(img, 2, 2, 14, 14, INK)


def draw_copy(img):
    rect(img, 5, 1, 14, 12, PAPER)
    frame(img, 5, 1, 14, 12, INK)
    rect(img, 2, 4, 11, 15, PAPER)
    frame(img, 2, 4, 11, 15, INK)


def draw_hide(img):
    rect(img, 1, 3, 15, 11, PAPER)
    frame(img, 1, 3, 15, 11, INK)
    rect(img, 1, 3, 15, 5, BLUE)
    rect(img, 10, 13, 15, 15, INK)


def draw_exit(img):
    for i in range(12):
        rect(img, 2 + i, 2 + i, 4 + i, 3 + i, RED)
        rect(img, 12 - i, 2 + i, 14 - i, 3 + i, RED)


def draw_code(img):
    for i in range(5):
        rect(img, 5 - i, 3 + i, 7 - i, 4 + i, INK)
        rect(img, 1 + i, 8 + i, 3 + i, 9 + i, INK)
        rect(img, 9 + i, 3 + i, 11 + i, 4 + i, INK)
        rect(img, 13 - i, 8 + i, 15 - i, 9 + i, INK)


def draw_look(img):
    for y in range(3):
        for x in range(3):
            rect(img, 1 + 5 * x, 1 + 5 * y, 5 + 5 * x, 5 + 5 * y, (YELLOW, BLUE, GREEN)[(x + y) % 3])


def draw_colour(img):
    disc(img, 8, 8, 6.5, INK)
    disc(img, 8, 8, 5.5, PAPER)
    disc(img, 5, 6, 1.5, RED)
    disc(img, 9, 4, 1.5, YELLOW)
    disc(img, 12, 8, 1.5, GREEN)
    disc(img, 8, 11, 1.5, BLUE)


def draw_options(img):
    disc(img, 8, 8, 6, GREY)
    for x, y in ((7, 0), (7, 14), (0, 7), (14, 7)):
        rect(img, x, y, x + 2, y + 2, GREY)
    disc(img, 8, 8, 2.5, PAPER)


def draw_help(img):
    disc(img, 8, 8, 7, BLUE)
    rect(img, 6, 3, 10, 5, PAPER)
    rect(img, 9, 5, 11, 8, PAPER)
    rect(img, 7, 8, 9, 10, PAPER)
    rect(img, 7, 11, 9, 13, PAPER)


def draw_history(img):
    page(img)
    rect(img, 5, 3, 11, 4, INK)


def draw_web(img):
    disc(img, 8, 8, 7, BLUE)
    rect(img, 1, 7, 15, 9, GREEN)
    rect(img, 7, 1, 9, 15, GREEN)
    disc(img, 8, 8, 3, BLUE)


def draw_howto(img):
    disc(img, 8, 8, 7, YELLOW)
    rect(img, 5, 5, 7, 7, INK)
    rect(img, 9, 5, 11, 7, INK)
    rect(img, 4, 10, 12, 11, INK)
    rect(img, 5, 11, 11, 12, INK)


def draw_about(img):
    disc(img, 8, 8, 7, BLUE)
    rect(img, 7, 3, 9, 5, PAPER)
    rect(img, 7, 6, 9, 13, PAPER)


def draw_opaque(img):
    rect(img, 2, 2, 14, 14, BLUE)
    frame(img, 2, 2, 14, 14, INK)


def draw_preset(img):
    for y in range(2, 14):
        for x in range(2, 14):
            img[y][x] = BLUE if (x + y) % 2 == 0 else None
    frame(img, 2, 2, 14, 14, INK)


ICONS = ((153, draw_new), (154, draw_open), (401, draw_import), (390, draw_save), (155, draw_copy),
         (394, draw_hide), (211, draw_exit), (398, draw_code), (413, draw_look), (380, draw_colour),
         (157, draw_options), (374, draw_help), (362, draw_history), (399, draw_web), (392, draw_howto),
         (131, draw_about), (226, draw_opaque), (227, draw_preset))


def main():
    for number, draw in ICONS:
        img = canvas()
        draw(img)
        write_ico(os.path.join(HERE, 'menu-%d.ico' % number), img)


if __name__ == '__main__':
    main()
