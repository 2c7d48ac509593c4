#!/usr/bin/python3
"""Draws the message box's two icon pictures, each as a pair of GIFs:
a colour picture and an opacity picture whose grey level (its blue
component) is the opacity of the colour pixel at the same place.

  msgbox-question.gif / msgbox-question-mask.gif   a round sign with "?"
  msgbox-notice.gif   / msgbox-notice-mask.gif     a triangle with "!"

Run with /usr/bin/python3 (Debian's, with python3-pil); writes beside this script."""
import os

from PIL import Image, ImageDraw

SIZE = 32
SCALE = 8  # drawn large, then reduced: smooth edges in the opacity picture
HERE = os.path.dirname(os.path.abspath(__file__))

# Colours of the Standard skin: its accent blue and a warm amber beside it.
BLUE_LIGHT, BLUE_DARK = (92, 160, 222), (36, 96, 160)
AMBER_LIGHT, AMBER_DARK = (250, 204, 92), (214, 142, 28)
INK_LIGHT, INK_DARK = (255, 255, 255), (52, 40, 20)


def vertical_gradient(size, top, bottom):
    img = Image.new("RGB", (size, size))
    px = img.load()
    for y in range(size):
        t = y / (size - 1)
        c = tuple(round(a + (b - a) * t) for a, b in zip(top, bottom))
        for x in range(size):
            px[x, y] = c
    return img


def save_pair(name, colour, opacity):
    big = SIZE * SCALE
    colour = colour.resize((SIZE, SIZE), Image.LANCZOS)
    opacity = opacity.resize((SIZE, SIZE), Image.LANCZOS)
    assert colour.size == (SIZE, SIZE) and opacity.size == (SIZE, SIZE) and big > 0
    colour.convert("P", palette=Image.ADAPTIVE, colors=255).save(os.path.join(HERE, name + ".gif"))
    # A grey palette: entry n is (n, n, n), so the blue component is the opacity.
    grey = Image.new("P", (SIZE, SIZE))
    grey.putpalette([v for n in range(256) for v in (n, n, n)])
    grey.putdata(list(opacity.getdata()))
    grey.save(os.path.join(HERE, name + "-mask.gif"))


def question():
    big = SIZE * SCALE
    colour = vertical_gradient(big, BLUE_LIGHT, BLUE_DARK)
    opacity = Image.new("L", (big, big), 0)
    d = ImageDraw.Draw(opacity)
    m = SCALE
    d.ellipse((m, m, big - m - 1, big - m - 1), fill=255)
    # A lighter ring inside the rim gives the disc some depth.
    dc = ImageDraw.Draw(colour)
    ring = 2 * SCALE
    dc.ellipse((m + ring, m + ring, big - m - ring - 1, big - m - ring - 1), outline=(120, 182, 236), width=SCALE)
    # The question mark: an arc, its stem and the dot, in white.
    w = int(3.2 * SCALE)
    cx = big // 2
    dc.arc((cx - 7 * SCALE, 6 * SCALE, cx + 7 * SCALE, 19 * SCALE), start=190, end=405, fill=INK_LIGHT, width=w)
    dc.line((cx, 16 * SCALE, cx, 20 * SCALE), fill=INK_LIGHT, width=w)
    r = int(2.1 * SCALE)
    dc.ellipse((cx - r, 24 * SCALE - r, cx + r, 24 * SCALE + r), fill=INK_LIGHT)
    save_pair("msgbox-question", colour, opacity)


def notice():
    big = SIZE * SCALE
    colour = vertical_gradient(big, AMBER_LIGHT, AMBER_DARK)
    opacity = Image.new("L", (big, big), 0)
    d = ImageDraw.Draw(opacity)
    tri = [(big // 2, 2 * SCALE), (big - SCALE, big - 3 * SCALE), (SCALE, big - 3 * SCALE)]
    d.polygon(tri, fill=255)
    # Rounded corners: the outline drawn thick over the filled shape.
    d.line(tri + [tri[0]], fill=255, width=2 * SCALE, joint="curve")
    dc = ImageDraw.Draw(colour)
    cx = big // 2
    w = int(3.4 * SCALE)
    dc.line((cx, 10 * SCALE, cx, 20 * SCALE), fill=INK_DARK, width=w)
    r = int(2.0 * SCALE)
    dc.ellipse((cx - r, 24 * SCALE - r, cx + r, 24 * SCALE + r), fill=INK_DARK)
    save_pair("msgbox-notice", colour, opacity)


if __name__ == "__main__":
    question()
    notice()
