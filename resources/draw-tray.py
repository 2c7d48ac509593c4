#!/usr/bin/python3
"""Draws the tray icons and the tray menu's icon of the main window.

  tray-open.ico, tray-closed.ico   the icon in the notification area while the
                                   main window is open and while it is closed:
                                   16 x 16, 4 bits. The face is pure blue, the
                                   one palette entry the program replaces by
                                   the icon colour the user chose. The eyes are
                                   white 3 x 3 blocks at rows 3 to 5, columns 4
                                   to 6 and 9 to 11; every other pixel of rows 0
                                   to 6 is opaque and dark (mean below 230), so
                                   that the hiding flight finds the icon by its
                                   eyes whatever lies under it.
  tray-menu-open.ico               the tray menu's "open" item: a small window
                                   with the face on it (16 x 16, 4 bits)

Needs only the standard library; writes beside this script. Run it again
after changing a picture and commit its output.
"""
import os
import struct

HERE = os.path.dirname(os.path.abspath(__file__))

# The palette: index -> (r, g, b). Index 1 is the recolourable pure blue.
PALETTE = [
    (0, 0, 0),        # 0 black outline
    (0, 0, 255),      # 1 face (recoloured)
    (255, 255, 255),  # 2 eyes, window
    (40, 40, 40),     # 3 mouth
    (128, 128, 128),  # 4 window frame
    (0, 0, 128),      # 5 title bar
] + [(0, 0, 0)] * 10


def write_ico4(path, rows):
    """rows: 16 lists of palette indexes or None (transparent); a 4-bit icon."""
    n = len(rows)
    xor = bytearray()
    for row in reversed(rows):
        for x in range(0, n, 2):
            a = row[x] or 0
            b = row[x + 1] or 0
            xor.append((a << 4) | b)
    mask_stride = ((n + 31) // 32) * 4
    andm = bytearray()
    for row in reversed(rows):
        bits = 0
        for x, p in enumerate(row):
            if p is None:
                bits |= 1 << (mask_stride * 8 - 1 - x)
        andm += bits.to_bytes(mask_stride, 'big')
    palette = b''.join(bytes((b, g, r, 0)) for r, g, b in PALETTE)
    dib = (struct.pack('<IiiHHIIiiII', 40, n, n * 2, 1, 4, 0, len(xor) + len(andm), 0, 0, 16, 0)
           + palette + xor + andm)
    head = struct.pack('<HHH', 0, 1, 1) + struct.pack('<BBBBHHII', n, n, 16, 0, 1, 4, len(dib), 22)
    with open(path, 'wb') as f:
        f.write(head + dib)


def face(mouth_open):
    """A blue face with a black outline; top corners stay opaque (black)."""
    rows = [[1] * 16 for _ in range(16)]
    for y in range(16):
        rows[y][0] = rows[y][15] = 0
    rows[0] = [0] * 16
    rows[15] = [0] * 16
    # rounded corners: black at the top (rows 0 to 6 stay opaque), cut away below
    for x, y in ((1, 1), (14, 1)):
        rows[y][x] = 0
    for x, y in ((0, 15), (1, 15), (0, 14), (15, 15), (14, 15), (15, 14)):
        rows[y][x] = None
    rows[14][1] = rows[14][14] = 0
    for y in range(3, 6):
        for x in list(range(4, 7)) + list(range(9, 12)):
            rows[y][x] = 2
    if mouth_open:
        for x in range(4, 12):
            rows[9][x] = 3
        for x in range(5, 11):
            rows[10][x] = 3
            rows[11][x] = 3
        for x in range(6, 10):
            rows[12][x] = 3
    else:
        for x in range(4, 12):
            rows[10][x] = 3
        rows[9][3] = rows[9][12] = 3
    return rows


def menu_open():
    """A window (grey frame, navy title bar, white body) with a small blue face."""
    rows = [[None] * 16 for _ in range(16)]
    for y in range(1, 15):
        for x in range(0, 16):
            rows[y][x] = 4 if y in (1, 14) or x in (0, 15) else 2
    for y in range(2, 5):
        for x in range(1, 15):
            rows[y][x] = 5
    for y in range(6, 13):
        for x in range(4, 12):
            rows[y][x] = 1
    rows[8][6] = rows[8][9] = 2
    for x in range(6, 10):
        rows[11][x] = 3
    return rows


def main():
    write_ico4(os.path.join(HERE, 'tray-open.ico'), face(True))
    write_ico4(os.path.join(HERE, 'tray-closed.ico'), face(False))
    write_ico4(os.path.join(HERE, 'tray-menu-open.ico'), menu_open())


if __name__ == '__main__':
    main()
