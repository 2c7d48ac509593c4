#!/usr/bin/python3
"""Draws the 16 x 16 icons of the menu that a right-button drag into a field
asks with:

  dropmenu-method1.ico .. dropmenu-method4.ico   the four drop methods
  dropmenu-default.ico                           the submenu that sets the default

Needs only the standard library (the icon writer of draw-fields-switcher.py);
writes beside this script. Run it again after changing a picture and commit
its output.
"""
import importlib.util
import os

HERE = os.path.dirname(os.path.abspath(__file__))
_found = importlib.util.spec_from_file_location('switcher', os.path.join(HERE, 'draw-fields-switcher.py'))
_switcher = importlib.util.module_from_spec(_found)
_found.loader.exec_module(_switcher)
write_ico = _switcher.write_ico

INK = (40, 56, 96)
CELL = (250, 214, 64)
EDGE = (150, 110, 20)
ARROW = (40, 150, 60)
MARK = (200, 40, 40)


def blank():
    return [[None] * 16 for _ in range(16)]


def fill(img, x0, y0, x1, y1, c):
    for y in range(y0, y1 + 1):
        for x in range(x0, x1 + 1):
            img[y][x] = c


def smilie_cell(img, x0, y0, size=8):
    """A small yellow face in a framed cell."""
    fill(img, x0, y0, x0 + size - 1, y0 + size - 1, EDGE)
    fill(img, x0 + 1, y0 + 1, x0 + size - 2, y0 + size - 2, CELL)
    img[y0 + 2][x0 + 2] = INK
    img[y0 + 2][x0 + size - 3] = INK
    for x in range(x0 + 2, x0 + size - 2):
        img[y0 + size - 3][x] = INK


def arrow_down_right(img, c):
    for i in range(5):
        img[2 + i][9 + i] = c
    fill(img, 12, 6, 14, 6, c)
    fill(img, 14, 4, 14, 6, c)


def method1(img):
    # Moves the smilies: the cell and an arrow into the field.
    smilie_cell(img, 1, 1)
    arrow_down_right(img, ARROW)
    smilie_cell(img, 7, 8)


def method2(img):
    # Copies: two cells, the copy beside the original.
    smilie_cell(img, 1, 1)
    smilie_cell(img, 7, 8)
    fill(img, 12, 1, 12, 5, ARROW)
    fill(img, 10, 3, 14, 3, ARROW)


def method3(img):
    # Inserts before the cell under the drop: a cell and a bar.
    fill(img, 2, 2, 3, 13, INK)
    smilie_cell(img, 6, 4)


def method4(img):
    # Replaces what lies under the drop: a cell crossed out under the new one.
    smilie_cell(img, 7, 7)
    for i in range(7):
        img[1 + i][1 + i] = MARK
        img[1 + i][7 - i] = MARK


def default(img):
    # A check mark beside a cell: the method used without asking.
    smilie_cell(img, 1, 1)
    for i, (x, y) in enumerate([(6, 11), (7, 12), (8, 13), (9, 12), (10, 11), (11, 10), (12, 9), (13, 8), (14, 7)]):
        img[y][x] = ARROW
        img[y - 1][x] = ARROW


def main():
    for name, draw in [('method1', method1), ('method2', method2), ('method3', method3),
                       ('method4', method4), ('default', default)]:
        img = blank()
        draw(img)
        write_ico(os.path.join(HERE, 'dropmenu-%s.ico' % name), img)


if __name__ == '__main__':
    main()
