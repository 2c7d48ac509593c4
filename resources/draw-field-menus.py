#!/usr/bin/python3
"""Draws the 16 x 16 icons of the smilie fields' menus.

  fieldmenu-*.ico   one icon per menu item of the field, smilie, Edit and
                    Smilies menus: paste and the paste history, the sort and
                    arrange commands, insert rows, adding and making smilies,
                    selecting, cut, copy, delete, export, downloads,
                    properties, undo and redo

They share the palette of the tab menu's icons (resources/draw-fields-switcher.py,
whose icon writer this script uses): a dark ink, white pages, the yellow face
of the program's icon, and one blue, green and red for actions. Needs only
the standard library; writes beside this script. Run it again after changing
a picture and commit its output.
"""
import importlib.util
import os

HERE = os.path.dirname(os.path.abspath(__file__))

# The 32-bit icon writer of the field tabs' script.
_found = importlib.util.spec_from_file_location("draw_fields_switcher",
                                               os.path.join(HERE, "draw-fields-switcher.py"))
_switcher = importlib.util.module_from_spec(_found)
_found.loader.exec_module(_switcher)
write_ico = _switcher.write_ico

INK = (40, 40, 40)
FRAME = (90, 90, 90)
WHITE = (255, 255, 255)
PALE = (210, 210, 210)
FACE = (250, 204, 60)
FACE_INK = (60, 40, 0)
BLUE = (0, 150, 255)
DEEP_BLUE = (0, 100, 200)
GREEN = (40, 160, 40)
RED = (210, 40, 30)
BOARD = (176, 120, 56)
SKY = (150, 210, 255)
HILL = (64, 176, 56)


# --- pixels ----------------------------------------------------------------------------

def blank():
    return [[None] * 16 for _ in range(16)]


def put(img, x, y, c):
    if 0 <= x < 16 and 0 <= y < 16:
        img[y][x] = c


def rect(img, x0, y0, x1, y1, c):
    """Fills x0 <= x < x1, y0 <= y < y1."""
    for y in range(y0, y1):
        for x in range(x0, x1):
            put(img, x, y, c)


def box(img, x0, y0, x1, y1, fill, rim):
    rect(img, x0, y0, x1, y1, rim)
    rect(img, x0 + 1, y0 + 1, x1 - 1, y1 - 1, fill)


def line(img, x0, y0, x1, y1, c):
    n = max(abs(x1 - x0), abs(y1 - y0))
    for i in range(n + 1):
        put(img, round(x0 + (x1 - x0) * i / max(n, 1)), round(y0 + (y1 - y0) * i / max(n, 1)), c)


def disc(img, cx, cy, r, fill, rim=None):
    for y in range(16):
        for x in range(16):
            d = (x - cx) ** 2 + (y - cy) ** 2
            if d <= r * r:
                put(img, x, y, rim if rim is not None and d > (r - 1) ** 2 else fill)


def pixels(img, x0, y0, rows, c):
    """rows: strings where '#' sets a pixel."""
    for dy, row in enumerate(rows):
        for dx, ch in enumerate(row):
            if ch == '#':
                put(img, x0 + dx, y0 + dy, c)


# --- shared pieces ---------------------------------------------------------------------

def page(img, x0, y0, x1, y1, lines=True):
    box(img, x0, y0, x1, y1, WHITE, FRAME)
    if lines:
        for y in range(y0 + 3, y1 - 2, 2):
            rect(img, x0 + 2, y, x1 - 2, y + 1, PALE)


def face(img, cx, cy, r):
    """The program's yellow face; (cx, cy) the centre of its pixels."""
    disc(img, cx, cy, r + 0.5, FACE, FACE_INK)
    e = max(1, round(r / 2.5))
    put(img, round(cx - e), round(cy - e), FACE_INK)
    put(img, round(cx + e), round(cy - e), FACE_INK)
    rect(img, round(cx - e), round(cy + e), round(cx + e) + 1, round(cy + e) + 1, FACE_INK)


def plus(img, x, y, c=GREEN):
    """A plus of 5 x 5 with its top-left at (x, y), on a white rim."""
    rect(img, x + 1, y - 1, x + 4, y + 6, WHITE)
    rect(img, x - 1, y + 1, x + 6, y + 4, WHITE)
    rect(img, x + 2, y, x + 3, y + 5, c)
    rect(img, x, y + 2, x + 5, y + 3, c)
    rect(img, x + 1, y + 1, x + 4, y + 4, c)
    rect(img, x + 2, y, x + 3, y + 5, c)
    put(img, x + 1, y + 1, WHITE); put(img, x + 3, y + 1, WHITE)
    put(img, x + 1, y + 3, WHITE); put(img, x + 3, y + 3, WHITE)


def clipboard(img):
    box(img, 2, 2, 14, 16, BOARD, (110, 70, 30))
    rect(img, 4, 4, 12, 14, WHITE)
    for y in (7, 9, 11):
        rect(img, 5, y, 11, y + 1, PALE)
    box(img, 5, 0, 11, 4, (200, 200, 200), INK)


def cells(img, filled, size=3, gap=1, origin=(0, 1)):
    """A 4 x 4 grid of cells; filled: set of (column, row)."""
    ox, oy = origin
    for r in range(4):
        for c in range(4):
            x, y = ox + c * (size + gap), oy + r * (size + gap)
            if (c, r) in filled:
                box(img, x, y, x + size + 1, y + size + 1, FACE, FACE_INK)
            else:
                rect(img, x, y, x + size + 1, y + size + 1, PALE)
                rect(img, x + 1, y + 1, x + size, y + size, (236, 236, 236))


def arrow_down(img, cx, y0, y1, c):
    rect(img, cx - 1, y0, cx + 2, y1 - 3, c)
    for i in range(4):
        rect(img, cx - 3 + i, y1 - 4 + i, cx + 4 - i, y1 - 3 + i, c)


def curved_arrow(img, to_left):
    """An arc over the top whose open end carries a head pointing down."""
    arc = [(11, 12), (12, 11), (12, 10), (12, 9), (12, 8), (11, 7), (11, 6), (10, 5), (9, 4), (8, 4), (7, 4),
           (6, 4), (5, 5), (4, 6)]
    shape = blank()
    for x, y in arc:
        for dx, dy in ((0, 0), (1, 0), (0, 1)):
            put(shape, x + dx, y + dy, DEEP_BLUE)
    pixels(shape, 1, 7, ["#######", " ##### ", "  ###  ", "   #   "], DEEP_BLUE)
    for y in range(16):
        for x in range(16):
            c = shape[y][x] if to_left else shape[y][15 - x]
            if c is not None:
                img[y][x] = c


# --- the icons -------------------------------------------------------------------------

def draw_paste(img):
    clipboard(img)
    face(img, 8, 10, 3)


def draw_paste_history(img):
    clipboard(img)
    disc(img, 11, 11, 5, WHITE, DEEP_BLUE)
    rect(img, 11, 8, 12, 12, INK)
    rect(img, 11, 11, 14, 12, INK)


def draw_large_group(img):
    for y in (4, 11):
        for x in (4, 11):
            face(img, x, y, 3)


def draw_sort(img):
    for i, w in enumerate((11, 8, 5, 3)):
        box(img, 0, 1 + i * 3, 2 + w, 5 + i * 3, PALE, FRAME)
    arrow_down(img, 13, 1, 15, DEEP_BLUE)


def draw_sort_text(img):
    box(img, 0, 0, 8, 16, WHITE, FRAME)
    pixels(img, 1, 2, [" ### ", "#   #", "#####", "#   #", "#   #"], INK)
    pixels(img, 1, 9, ["#####", "   # ", "  #  ", " #   ", "#####"], INK)
    arrow_down(img, 11, 1, 15, DEEP_BLUE)


def draw_sort_picture_size(img):
    box(img, 1, 10, 5, 14, FACE, FACE_INK)
    box(img, 7, 2, 15, 14, FACE, FACE_INK)
    rect(img, 9, 5, 10, 7, FACE_INK); rect(img, 12, 5, 13, 7, FACE_INK); rect(img, 9, 10, 13, 11, FACE_INK)
    rect(img, 0, 15, 16, 16, FRAME)


def draw_sort_data_size(img):
    for i, h in enumerate((4, 8, 12)):
        box(img, 1 + i * 5, 15 - h, 5 + i * 5, 15, BLUE, DEEP_BLUE)
    rect(img, 0, 15, 16, 16, FRAME)


def draw_sort_date(img):
    box(img, 1, 2, 15, 15, WHITE, FRAME)
    rect(img, 1, 2, 15, 5, RED)
    rect(img, 4, 1, 5, 4, INK); rect(img, 11, 1, 12, 4, INK)
    for y in (7, 10):
        for x in (3, 6, 9, 12):
            rect(img, x, y, x + 2, y + 2, PALE)
    rect(img, 9, 10, 11, 12, RED)


def draw_sort_usage(img):
    star = ["       #       ", "      ###      ", "      ###      ", "     #####     ", "###############",
            " ############# ", "  ###########  ", "   #########   ", "   #########   ", "  ###########  ",
            "  #####-#####  ", " ####     #### ", " ###       ### ", "##           ##"]
    pixels(img, 0, 1, star, FACE_INK)
    inner = [r.replace('-', ' ') for r in star]
    for y, row in enumerate(inner):
        for x, ch in enumerate(row):
            if ch == '#' and 0 < x < 14 and all(
                    0 <= yy < len(inner) and 0 <= xx < len(row) and inner[yy][xx] == '#'
                    for xx, yy in ((x - 1, y), (x + 1, y), (x, y - 1), (x, y + 1))):
                put(img, x, y + 1, FACE)


def draw_random(img):
    box(img, 1, 1, 15, 15, WHITE, INK)
    for x, y in ((4, 4), (10, 4), (7, 7), (4, 10), (10, 10)):
        rect(img, x, y, x + 2, y + 2, RED if (x, y) == (7, 7) else INK)


def draw_pack(img):
    cells(img, {(c, r) for r in range(2) for c in range(4)} | {(0, 2), (1, 2)})


def draw_every_other_cell(img):
    cells(img, {(c, r) for r in range(4) for c in range(4) if (c + r) % 2 == 0})


def draw_every_other_row(img):
    cells(img, {(c, r) for r in (0, 2) for c in range(4)})


def draw_spread_out(img):
    cells(img, {(c, r) for r in (0, 2) for c in (0, 2)})


def draw_insert_rows(img):
    cells(img, {(c, r) for r in (0, 3) for c in range(4)})
    rect(img, 0, 5, 16, 12, None)
    for x in range(0, 16, 2):
        put(img, x, 8, GREEN)
    rect(img, 5, 6, 11, 11, WHITE)
    plus(img, 6, 6)


def draw_add_files(img):
    rect(img, 1, 4, 7, 6, (220, 170, 40))
    box(img, 1, 5, 14, 14, (250, 204, 60), (160, 110, 20))
    rect(img, 2, 7, 13, 8, (255, 230, 140))
    plus(img, 10, 10)


def draw_new(img):
    for x, y in ((7, 0), (7, 14), (0, 7), (14, 7)):
        rect(img, x, y, x + 2, y + 2, FACE_INK)
    for (x0, y0, x1, y1) in ((2, 2, 4, 4), (12, 2, 14, 4), (2, 12, 4, 14), (12, 12, 14, 14)):
        rect(img, x0, y0, x1, y1, FACE_INK)
    face(img, 8, 8, 5)


def draw_new_smilie(img):
    face(img, 6, 7, 6)
    plus(img, 10, 10)


def draw_new_phrase(img):
    box(img, 0, 1, 14, 10, WHITE, INK)
    rect(img, 3, 10, 5, 12, INK); put(img, 3, 12, INK)
    for y in (3, 5, 7):
        rect(img, 2, y, 12 - (y == 7) * 4, y + 1, FRAME)
    plus(img, 10, 10)


def draw_select_all(img):
    cells(img, {(c, r) for r in range(1, 3) for c in range(1, 3)}, origin=(0, 0))
    for i in range(16):
        if i % 3 != 2:
            for x, y in ((i, 0), (i, 15), (0, i), (15, i)):
                put(img, x, y, DEEP_BLUE)


def draw_cut(img):
    for cx in (4, 11):
        disc(img, cx, 12, 3, WHITE, INK)
    line(img, 5, 9, 11, 0, FRAME); line(img, 6, 9, 12, 0, FRAME)
    line(img, 10, 9, 4, 0, FRAME); line(img, 9, 9, 3, 0, FRAME)
    put(img, 7, 6, INK); put(img, 8, 6, INK)


def draw_copy(img):
    page(img, 1, 1, 10, 12)
    page(img, 6, 4, 15, 15)


def draw_delete(img):
    for i in range(12):
        for d in (0, 1):
            put(img, 2 + i + d, 2 + i, RED)
            put(img, 13 - i - d, 2 + i, RED)
    for i in range(12):
        put(img, 2 + i, 2 + i + 1, (150, 20, 10))
        put(img, 13 - i, 2 + i + 1, (150, 20, 10))


def draw_export(img):
    page(img, 1, 1, 11, 15, lines=False)
    face(img, 6, 8, 3)
    rect(img, 9, 7, 14, 10, WHITE)
    rect(img, 9, 8, 14, 9, GREEN)
    for i in range(3):
        rect(img, 12 + i, 6 + i, 13 + i, 11 - i, GREEN)


def draw_stop_download(img):
    arrow_down(img, 6, 0, 12, BLUE)
    disc(img, 11, 11, 4.6, RED, (150, 20, 10))
    rect(img, 9, 10, 14, 12, WHITE)


def draw_download(img):
    arrow_down(img, 8, 0, 12, BLUE)
    rect(img, 1, 10, 3, 15, FRAME); rect(img, 13, 10, 15, 15, FRAME); rect(img, 1, 13, 15, 15, FRAME)


def draw_properties_picture(img):
    box(img, 0, 2, 16, 14, SKY, INK)
    disc(img, 11, 5, 1.5, FACE)
    for x in range(1, 15):
        rect(img, x, 13 - (6 - abs(x - 6) // 2 if x < 12 else 3), x + 1, 13, HILL)


def draw_properties_phrase(img):
    page(img, 2, 0, 14, 16)
    rect(img, 4, 4, 12, 5, INK); rect(img, 4, 7, 10, 8, INK); rect(img, 4, 10, 12, 11, INK)


def draw_undo(img):
    curved_arrow(img, True)


def draw_redo(img):
    curved_arrow(img, False)


# (resource id, file name, drawing); the ids are those the menus load.
ICONS = [
    (215, 'paste', draw_paste),
    (213, 'paste-history', draw_paste_history),
    (166, 'large-group', draw_large_group),
    (209, 'sort', draw_sort),
    (179, 'sort-text', draw_sort_text),
    (233, 'sort-picture-size', draw_sort_picture_size),
    (231, 'sort-data-size', draw_sort_data_size),
    (228, 'sort-date', draw_sort_date),
    (232, 'sort-usage', draw_sort_usage),
    (152, 'sort-random', draw_random),
    (183, 'arrange-pack', draw_pack),
    (182, 'arrange-every-other-cell', draw_every_other_cell),
    (180, 'arrange-every-other-row', draw_every_other_row),
    (178, 'arrange-spread-out', draw_spread_out),
    (184, 'insert-rows', draw_insert_rows),
    (358, 'add-files', draw_add_files),
    (198, 'new', draw_new),
    (199, 'new-smilie', draw_new_smilie),
    (200, 'new-phrase', draw_new_phrase),
    (201, 'select-all', draw_select_all),
    (186, 'cut', draw_cut),
    (190, 'copy', draw_copy),
    (187, 'delete', draw_delete),
    (359, 'export', draw_export),
    (207, 'stop-download', draw_stop_download),
    (206, 'download', draw_download),
    (208, 'properties-picture', draw_properties_picture),
    (210, 'properties-phrase', draw_properties_phrase),
    (341, 'undo', draw_undo),
    (342, 'redo', draw_redo),
]


def icon(draw):
    img = blank()
    draw(img)
    return img


def main():
    for _, name, draw in ICONS:
        write_ico(os.path.join(HERE, 'fieldmenu-%s.ico' % name), icon(draw))


if __name__ == '__main__':
    main()
