#!/usr/bin/python3
"""Draws the pictures of the field tabs and the field properties dialog.

  collections-*.bmp          the collections button beside the field tabs in
                             its four states (normal, pressed, focused,
                             disabled), 24 x 12, in greys: the program tints
                             them by their grey level
  tabmenu-*.ico              the 16 x 16 icons of the tab menu
  program.ico, document.ico  the program's icon and its collection files' icon
  field-properties.gif / field-properties-mask.gif
                             the field properties dialog's picture and its
                             opacity picture (grey level = opacity)

Needs only the standard library; writes beside this script. Run it again
after changing a picture and commit its output.
"""
import os
import struct

HERE = os.path.dirname(os.path.abspath(__file__))


# --- writers ---------------------------------------------------------------------------

def write_bmp(path, rows):
    """rows: lists of (r, g, b); a 24-bit bottom-up BMP."""
    h, w = len(rows), len(rows[0])
    stride = (w * 3 + 3) & ~3
    pixels = bytearray()
    for row in reversed(rows):
        line = bytearray()
        for r, g, b in row:
            line += bytes((b, g, r))
        pixels += line + bytes(stride - len(line))
    header = struct.pack('<2sIHHI', b'BM', 14 + 40 + len(pixels), 0, 0, 14 + 40)
    info = struct.pack('<IiiHHIIiiII', 40, w, h, 1, 24, 0, len(pixels), 2835, 2835, 0, 0)
    with open(path, 'wb') as f:
        f.write(header + info + pixels)


def write_ico(path, rows):
    """rows: 16 lists of (r, g, b) or None (transparent); a 32-bit icon with its AND mask."""
    n = len(rows)
    xor = bytearray()
    for row in reversed(rows):
        for p in row:
            xor += bytes((0, 0, 0, 0)) if p is None else bytes((p[2], p[1], p[0], 255))
    mask_stride = ((n + 31) // 32) * 4
    andm = bytearray()
    for row in reversed(rows):
        bits = 0
        for x, p in enumerate(row):
            if p is None:
                bits |= 1 << (mask_stride * 8 - 1 - x)
        andm += bits.to_bytes(mask_stride, 'big')
    dib = struct.pack('<IiiHHIIiiII', 40, n, n * 2, 1, 32, 0, len(xor) + len(andm), 0, 0, 0, 0) + xor + andm
    head = struct.pack('<HHH', 0, 1, 1) + struct.pack('<BBBBHHII', n, n, 0, 0, 1, 32, len(dib), 22)
    with open(path, 'wb') as f:
        f.write(head + dib)


def lzw_gif_data(indices):
    """Codes of 9 bits, a clear code every 250 pixels: the dictionary never grows past 9 bits."""
    clear, end = 256, 257
    codes = []
    for i, v in enumerate(indices):
        if i % 250 == 0:
            codes.append(clear)
        codes.append(v)
    codes.append(end)
    out, acc, nbits = bytearray(), 0, 0
    for c in codes:
        acc |= c << nbits
        nbits += 9
        while nbits >= 8:
            out.append(acc & 0xFF)
            acc >>= 8
            nbits -= 8
    if nbits:
        out.append(acc & 0xFF)
    blocks = bytearray()
    for i in range(0, len(out), 255):
        chunk = out[i:i + 255]
        blocks += bytes((len(chunk),)) + chunk
    return bytes((8,)) + blocks + b'\x00'


def write_gif(path, rows, palette):
    h, w = len(rows), len(rows[0])
    pal = list(palette) + [(0, 0, 0)] * (256 - len(palette))
    data = b'GIF89a' + struct.pack('<HHBBB', w, h, 0xF7, 0, 0)
    data += b''.join(bytes(c) for c in pal)
    data += b',' + struct.pack('<HHHHB', 0, 0, w, h, 0)
    data += lzw_gif_data([v for row in rows for v in row]) + b';'
    with open(path, 'wb') as f:
        f.write(data)


def write_gif_rgb(path, rows):
    palette, index = [], {}
    out = []
    for row in rows:
        line = []
        for p in row:
            if p not in index:
                index[p] = len(palette)
                palette.append(p)
            line.append(index[p])
        out.append(line)
    assert len(palette) <= 256
    write_gif(path, out, palette)


# --- drawing ---------------------------------------------------------------------------

def canvas(w, h, fill):
    return [[fill] * w for _ in range(h)]


def rect(img, x0, y0, x1, y1, c):
    for y in range(max(0, y0), min(len(img), y1)):
        for x in range(max(0, x0), min(len(img[0]), x1)):
            img[y][x] = c


def grey(v):
    return (v, v, v)


def collections_button(state):
    """A small folder with a lined page, on a grey face."""
    face, rim, light = {'normal': (150, 96, 236), 'pressed': (112, 72, 200),
                        'focus': (170, 96, 250), 'disabled': (170, 150, 200)}[state]
    img = canvas(24, 12, grey(face))
    rect(img, 0, 0, 24, 1, grey(rim)); rect(img, 0, 11, 24, 12, grey(rim))
    rect(img, 0, 0, 1, 12, grey(rim)); rect(img, 23, 0, 24, 12, grey(rim))
    d = 1 if state == 'pressed' else 0
    ink = grey(light)
    # folder: a tab and a body, with a lighter page sticking out
    rect(img, 7 + d, 2 + d, 11 + d, 3 + d, ink)
    rect(img, 7 + d, 3 + d, 17 + d, 10 + d, ink)
    rect(img, 8 + d, 4 + d, 16 + d, 9 + d, grey(rim))
    for y in (5, 7):
        rect(img, 9 + d, y + d, 15 + d, y + 1 + d, ink)
    if state == 'focus':
        for x in range(2, 22, 2):
            img[1][x] = img[10][x] = grey(rim)
    return img


def icon(draw):
    img = [[None] * 16 for _ in range(16)]
    draw(img)
    return img


def tab(img, x0, x1, c):
    rect(img, x0, 5, x1, 14, c)
    rect(img, x0 + 1, 4, x1 - 1, 5, c)
    rect(img, x0, 13, x1, 14, (40, 40, 40))


def draw_switch(img):
    tab(img, 1, 8, (64, 216, 56))
    tab(img, 8, 15, (0, 150, 255))
    rect(img, 9, 3, 14, 4, (255, 255, 255))


def draw_move(img):
    tab(img, 2, 12, (255, 150, 40))
    for i in range(4):
        rect(img, 11 + i, 7 - i, 12 + i, 8 + i, (40, 40, 40))


def draw_new(img):
    tab(img, 1, 11, (200, 200, 200))
    rect(img, 11, 1, 13, 7, (40, 160, 40)); rect(img, 9, 3, 15, 5, (40, 160, 40))


def draw_duplicate(img):
    tab(img, 4, 14, (112, 112, 255))
    rect(img, 1, 2, 10, 10, (200, 200, 200)); rect(img, 2, 3, 9, 9, (255, 255, 255))


def draw_remove(img):
    tab(img, 1, 11, (200, 200, 200))
    for i in range(6):
        img[1 + i][9 + i] = img[1 + i][14 - i] = (210, 40, 30)
        img[1 + i][10 + i if i < 5 else 14] = (210, 40, 30)


def draw_export(img):
    rect(img, 2, 3, 12, 15, (255, 255, 255)); rect(img, 2, 3, 12, 4, (90, 90, 90))
    rect(img, 2, 14, 12, 15, (90, 90, 90)); rect(img, 2, 3, 3, 15, (90, 90, 90)); rect(img, 11, 3, 12, 15, (90, 90, 90))
    rect(img, 8, 7, 15, 9, (0, 150, 255)); rect(img, 13, 6, 14, 10, (0, 150, 255))


def draw_properties(img):
    tab(img, 1, 15, (230, 230, 0))
    for y in (7, 9, 11):
        rect(img, 3, y, 13, y + 1, (60, 60, 60))


def draw_info(img):
    rect(img, 6, 2, 10, 14, (0, 120, 215)); rect(img, 7, 6, 9, 13, (255, 255, 255)); rect(img, 7, 3, 9, 5, (255, 255, 255))


def draw_program(img):
    """A round yellow face: the program."""
    for y in range(16):
        for x in range(16):
            d = (x - 7.5) ** 2 + (y - 7.5) ** 2
            if d <= 56:
                img[y][x] = (60, 40, 0) if d > 44 else (250, 204, 60)
    rect(img, 5, 5, 7, 7, (60, 40, 0)); rect(img, 9, 5, 11, 7, (60, 40, 0))
    rect(img, 5, 10, 11, 11, (60, 40, 0)); img[9][4] = img[9][11] = (60, 40, 0)


def draw_document(img):
    """A page with a small face: a collection file."""
    rect(img, 2, 0, 13, 16, (90, 90, 90)); rect(img, 3, 1, 12, 15, (255, 255, 255))
    for y in range(6, 13):
        for x in range(4, 11):
            if (x - 7) ** 2 + (y - 9) ** 2 <= 10:
                img[y][x] = (250, 204, 60)
    img[8][6] = img[8][8] = (60, 40, 0)
    rect(img, 6, 11, 9, 12, (60, 40, 0))


def field_properties():
    """Three field tabs over a grid of cells, with a soft edge."""
    w, h = 64, 48
    col = canvas(w, h, (255, 255, 255))
    op = canvas(w, h, 0)
    rect(op, 0, 6, w, h, 255)
    colours = [(255, 88, 72), (64, 216, 56), (0, 185, 255)]
    for i, c in enumerate(colours):
        x0 = 2 + i * 20
        rect(col, x0, 1, x0 + 20, 12, c)
        rect(col, x0 + 1, 0, x0 + 19, 1, c)
        rect(op, x0, 1, x0 + 20, 12, 255)
        rect(op, x0 + 1, 0, x0 + 19, 1, 255)
        rect(col, x0 + 4, 5, x0 + 16, 7, (255, 255, 255))
    rect(col, 0, 12, w, h, (0, 185, 255))
    for y in range(14, h - 2, 11):
        for x in range(2, w - 2, 12):
            rect(col, x, y, x + 10, y + 9, (235, 245, 255))
            rect(col, x + 3, y + 3, x + 7, y + 6, (250, 204, 60))
    for y in range(h):
        for x in range(w):
            edge = min(x, w - 1 - x, h - 1 - y)
            if edge < 3 and op[y][x]:
                op[y][x] = 85 * (edge + 1) - 1 if edge < 2 else 255
    return col, op


def main():
    for state, name in (('normal', ''), ('pressed', '-pressed'), ('focus', '-focused'), ('disabled', '-disabled')):
        write_bmp(os.path.join(HERE, 'collections%s.bmp' % name), collections_button(state))
    for name, draw in (('switch', draw_switch), ('move', draw_move), ('new', draw_new),
                       ('duplicate', draw_duplicate), ('remove', draw_remove), ('export', draw_export),
                       ('properties', draw_properties), ('info', draw_info)):
        write_ico(os.path.join(HERE, 'tabmenu-%s.ico' % name), icon(draw))
    write_ico(os.path.join(HERE, 'program.ico'), icon(draw_program))
    write_ico(os.path.join(HERE, 'document.ico'), icon(draw_document))
    col, op = field_properties()
    write_gif_rgb(os.path.join(HERE, 'field-properties.gif'), col)
    write_gif(os.path.join(HERE, 'field-properties-mask.gif'), op, [grey(n) for n in range(256)])


if __name__ == '__main__':
    main()
