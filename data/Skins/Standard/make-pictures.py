#!/usr/bin/python3
"""Draws the pictures of the Standard skin into this folder.

Run with Debian's /usr/bin/python3 and python3-pil; the output is committed
beside this script, so the build needs neither.

Most pictures are grey shading around a mid grey (128): the skin blends them
over its colour sets (OVERLAY or SOFT LIGHT), where 128 keeps the colour and
lighter or darker greys give highlights and shadows. That way one set of
pictures serves every colour scheme. The check boxes are drawn in their own
colours. The main window's pieces and the tabs are GIFs whose transparent
corners give the window and the tabs their rounded outlines.
"""
import os

from PIL import Image, ImageDraw

HERE = os.path.dirname(os.path.abspath(__file__))

BODY_WIDTH = 280
TOP_HEIGHT = 56
BOTTOM_HEIGHT = 22
RADIUS = 12

# The single accent colour of the skin and the neutral body.
ACCENT = (59, 130, 196)
BODY = (70, 80, 92)
BODY_LIGHT = (98, 109, 122)
BODY_DARK = (38, 44, 52)
INK = (232, 236, 240)


def clamp(v):
    return max(0, min(255, int(round(v))))


def grey(v):
    v = clamp(v)
    return (v, v, v)


def save(img, name):
    img.save(os.path.join(HERE, name))


def vertical_shade(w, h, top, bottom, mid=None):
    """A grey ramp from top to bottom (through mid at half height)."""
    img = Image.new("RGB", (w, h))
    px = img.load()
    for y in range(h):
        t = y / max(1, h - 1)
        if mid is None:
            v = top + (bottom - top) * t
        elif t < 0.5:
            v = top + (mid - top) * t * 2
        else:
            v = mid + (bottom - mid) * (t - 0.5) * 2
        for x in range(w):
            px[x, y] = grey(v)
    return img


def horizontal_shade(w, h, left, right, mid=None):
    return vertical_shade(h, w, left, right, mid).transpose(Image.Transpose.TRANSPOSE)


def rounded_mask(w, h, r, top=True, bottom=True):
    mask = Image.new("L", (w, h), 0)
    d = ImageDraw.Draw(mask)
    d.rounded_rectangle((0, 0, w - 1, h - 1 + (r if not bottom else 0)), radius=r, fill=255)
    if not top:
        d.rectangle((0, 0, w - 1, r), fill=255)
        d.rounded_rectangle((0, -r, w - 1, h - 1), radius=r, fill=255)
    return mask


def put_on_grey(img, mask, base=128):
    """Outside the mask the picture is the neutral grey the blend ignores."""
    out = Image.new("RGB", img.size, grey(base))
    out.paste(img, (0, 0), mask)
    return out


def bevel(img, light=24, dark=24):
    """A one-pixel light top-left and dark bottom-right edge."""
    px = img.load()
    w, h = img.size
    for x in range(w):
        px[x, 0] = grey(px[x, 0][0] + light)
        px[x, h - 1] = grey(px[x, h - 1][0] - dark)
    for y in range(h):
        px[0, y] = grey(px[0, y][0] + light)
        px[w - 1, y] = grey(px[w - 1, y][0] - dark)
    return img


# --- the main window: top, middle and bottom --------------------------------

def transparent_gif(rgb, mask, name):
    """Pixels outside the mask become the GIF's transparent index."""
    pal = rgb.convert("P", palette=Image.Palette.ADAPTIVE, colors=255)
    # Index 255 is free after a 255-colour quantisation: make it transparent.
    px = pal.load()
    m = mask.load()
    w, h = rgb.size
    for y in range(h):
        for x in range(w):
            if m[x, y] < 128:
                px[x, y] = 255
    palette = pal.getpalette()[:255 * 3] + [255, 0, 255]
    pal.putpalette(palette)
    pal.save(os.path.join(HERE, name), transparency=255)


def coverage(w, h, inset, radius, top, bottom, n=4):
    """How much of each pixel a rounded rectangle covers (0..1), sampled n x n.

    The rectangle is the picture inset by `inset` pixels; only the corners
    on the rounded sides (top, bottom) are rounded."""
    cov = [[0.0] * w for _ in range(h)]
    left, right = inset, w - inset
    upper = inset if top else -1e9
    lower = h - inset if bottom else 1e9
    r = radius - inset
    for y in range(h):
        for x in range(w):
            inside = 0
            for sy in range(n):
                for sx in range(n):
                    px = x + (sx + 0.5) / n
                    py = y + (sy + 0.5) / n
                    if not (left <= px <= right and upper <= py <= lower):
                        continue
                    cx = min(max(px, left + r), right - r)
                    cy = py
                    if top and py < upper + r:
                        cy = upper + r
                    elif bottom and py > lower - r:
                        cy = lower - r
                    else:
                        inside += 1
                        continue
                    if (px - cx) ** 2 + (py - cy) ** 2 <= r * r:
                        inside += 1
            cov[y][x] = inside / (n * n)
    return cov


RIM = 52          # the frame's dark edge: about 0.4 of the body colour
LIGHT_RIM = 140   # a faint light line inside it


def framed_body(w, h, shade, top, bottom, name):
    """A grey body picture blended over the body colour (OVERLAY: 128 keeps
    the colour). The outline is the rounded rectangle; a dark rim runs along
    it, its inner side anti-aliased, so the rounded corners read smooth even
    though the window's outline itself has only whole pixels."""
    outer = coverage(w, h, 0, RADIUS, top, bottom)
    inner = coverage(w, h, 1, RADIUS, top, bottom)
    inner2 = coverage(w, h, 2, RADIUS, top, bottom)
    img = Image.new("RGB", (w, h))
    mask = Image.new("L", (w, h), 0)
    px, m = img.load(), mask.load()
    for y in range(h):
        for x in range(w):
            c, c1, c2 = outer[y][x], inner[y][x], inner2[y][x]
            if c < 0.5:
                continue
            m[x, y] = 255
            v = (RIM * (c - c1) + LIGHT_RIM * (c1 - c2) + shade(x, y) * c2) / c
            px[x, y] = grey(v)
    transparent_gif(img, mask, name)


def body_top():
    w, h = BODY_WIDTH, TOP_HEIGHT

    def shade(x, y):
        # A little light under the top edge, fading out by the menu bar; a
        # groove (dark over light) under the menu bar.
        if y == 46 and 8 <= x < w - 8:
            return 100
        if y == 47 and 8 <= x < w - 8:
            return 136
        return 128 + max(0, 12 - y * 12 / 24)
    framed_body(w, h, shade, True, False, "body-top.gif")


def body_middle():
    w, h = BODY_WIDTH, 32
    img = Image.new("RGB", (w, h), grey(128))
    d = ImageDraw.Draw(img)
    d.line((0, 0, 0, h), fill=grey(RIM))
    d.line((w - 1, 0, w - 1, h), fill=grey(RIM))
    d.line((1, 0, 1, h), fill=grey(LIGHT_RIM))
    d.line((w - 2, 0, w - 2, h), fill=grey(LIGHT_RIM))
    img.save(os.path.join(HERE, "body-middle.gif"))


def body_bottom():
    w, h = BODY_WIDTH, BOTTOM_HEIGHT

    def shade(x, y):
        # A grip of three short diagonals in the lower right corner.
        for i in range(3):
            o = 6 + 4 * i
            if x + y == w - 5 + h - o - 4 and w - o - 4 <= x <= w - 5:
                return 160
            if x + y == w - 5 + h - o - 3 and w - o - 3 <= x <= w - 4:
                return 100
        return 128 - 8 * y / (h - 1)
    framed_body(w, h, shade, False, True, "body-bottom.gif")


# --- check boxes ------------------------------------------------------------------

def checkbox(checked, hot, name):
    s = 13
    img = Image.new("RGB", (s, s), (255, 255, 255))
    d = ImageDraw.Draw(img)
    frame = ACCENT if hot else (120, 128, 138)
    fill = (226, 236, 247) if hot else (250, 251, 252)
    d.rectangle((0, 0, s - 1, s - 1), fill=fill)
    d.rectangle((0, 0, s - 1, s - 1), outline=frame)
    if checked:
        d.rectangle((1, 1, s - 2, s - 2), fill=ACCENT if not hot else tuple(clamp(a * 0.85) for a in ACCENT))
        # The tick, two pixels wide.
        for dx, dy in ((0, 0), (0, 1)):
            d.line((3 + dx, 6 + dy, 5 + dx, 8 + dy), fill=(255, 255, 255))
            d.line((5 + dx, 8 + dy, 9 + dx, 3 + dy), fill=(255, 255, 255))
    save(img, name)


# --- shading pictures blended over the colour sets ----------------------------------

def scroll_pictures():
    # Track: a quiet groove, darker at the sides (vertical bar, tiled).
    track = horizontal_shade(16, 32, 112, 112, 124)
    save(track, "scroll-track.png")
    save(horizontal_shade(16, 32, 118, 118, 134), "scroll-track-h.png")
    save(horizontal_shade(16, 32, 106, 106, 118), "scroll-track-p.png")
    # Thumb: a rounded pill with a lit left side.
    for name, lift in (("scroll-thumb.png", 0), ("scroll-thumb-h.png", 12), ("scroll-thumb-p.png", -12)):
        img = horizontal_shade(16, 48, 168 + lift, 108 + lift, 150 + lift)
        mask = rounded_mask(16, 48, 6)
        img = put_on_grey(img, mask, 128)
        d = ImageDraw.Draw(img)
        for y in (21, 24, 27):  # grip lines
            d.line((5, y, 10, y), fill=grey(96 + lift))
            d.line((5, y + 1, 10, y + 1), fill=grey(176 + lift))
        save(img, name)
    # Arrow buttons.
    for name, lift in (("scroll-button.png", 0), ("scroll-button-h.png", 14), ("scroll-button-p.png", -14)):
        img = vertical_shade(16, 16, 160 + lift, 112 + lift, 138 + lift)
        img = put_on_grey(img, rounded_mask(16, 16, 4), 128)
        save(img, name)


def slider_pictures():
    for name, lift in (("slider-track.png", 0), ("slider-track-h.png", 10), ("slider-track-p.png", -10)):
        img = vertical_shade(32, 8, 100 + lift, 150 + lift, 118 + lift)
        save(img, name)
    for name, lift in (("slider-thumb.png", 0), ("slider-thumb-h.png", 14), ("slider-thumb-p.png", -14)):
        img = vertical_shade(12, 8, 176 + lift, 104 + lift, 150 + lift)
        img = put_on_grey(img, rounded_mask(12, 8, 3), 128)
        save(img, name)


def tab_picture(name, lift, height, full):
    """A tab: a grey shade with rounded top corners, transparent outside
    them (GIF), so nothing of a square corner shows beside the curve. The
    picture's height is the tab's height: selected tabs are drawn as tall as
    the strip (full), the others a little lower."""
    w = 40
    if full:
        # The selected tab wears its colour unchanged below a lit top, so
        # that it meets the page under it in the page's own colour.
        img = vertical_shade(w, height, 172 + lift, 128, 130)
    else:
        img = vertical_shade(w, height, 176 + lift, 124 + lift, 148 + lift)
    mask = Image.new("L", (w, height), 0)
    ImageDraw.Draw(mask).rounded_rectangle((0, 0, w - 1, height + 6), radius=5, fill=255)
    d = ImageDraw.Draw(img)
    # A light inner rim along the top; the selected tab's is brighter.
    d.line((5, 1, w - 6, 1), fill=grey(206 + lift if full else 188 + lift))
    transparent_gif(img, mask, name)


def menu_pictures():
    save(vertical_shade(200, 20, 142, 122, 134), "menu-item.png")
    save(vertical_shade(200, 20, 168, 118, 150), "menu-item-h.png")
    sep = Image.new("RGB", (200, 4), grey(128))
    d = ImageDraw.Draw(sep)
    d.line((4, 1, 195, 1), fill=grey(96))
    d.line((4, 2, 195, 2), fill=grey(170))
    save(sep, "menu-separator.png")
    # The bar draws this picture from its own left edge, each item showing
    # the columns under it: so it is as wide as a bar can be and the same in
    # every column (rounded ends would show as notches inside the items).
    save(vertical_shade(300, 16, 170, 120, 150), "menubar-item-h.png")


def dialog_pictures():
    # The dialog body: a very soft diagonal light from the top left, around
    # the neutral grey, so the body wears the scheme's colour (the tabs of a
    # property sheet meet it in that colour).
    w, h = 320, 240
    img = Image.new("RGB", (w, h))
    px = img.load()
    for y in range(h):
        for x in range(w):
            t = (x / w + y / h) / 2
            px[x, y] = grey(136 - 16 * t)
    save(img, "dialog-body.png")
    button = vertical_shade(80, 24, 176, 112, 144)
    button = put_on_grey(button, rounded_mask(80, 24, 5), 128)
    save(bevel(button, 10, 10), "dialog-button.png")
    # The tab strip's scroll buttons: each is half the strip long and a few
    # pixels high, the picture stretched over it; a plain shade stretches
    # without distortion.
    # The bar draws a horizontal bar's parts turned from a vertical one: the
    # picture's columns run across the strip and its rows along it. So the
    # shade runs across the picture, to end up lit along the top, and the
    # first and last rows give each button a light and a dark end, which
    # parts the two buttons with a groove.
    for name, lift in (("tab-button.png", 0), ("tab-button-h.png", 14), ("tab-button-p.png", -14)):
        img = horizontal_shade(16, 40, 160 + lift, 116 + lift, 140 + lift)
        px = img.load()
        for x in range(16):
            px[x, 0] = grey(px[x, 0][0] + 26)
            px[x, 39] = grey(px[x, 39][0] - 40)
        save(img, name)


def main():
    body_top()
    body_middle()
    body_bottom()
    checkbox(True, False, "check-on.png")
    checkbox(False, False, "check-off.png")
    checkbox(True, True, "check-on-h.png")
    checkbox(False, True, "check-off-h.png")
    scroll_pictures()
    slider_pictures()
    tab_picture("tab.gif", -6, 19, False)
    tab_picture("tab-h.gif", 14, 19, False)
    tab_picture("tab-p.gif", 22, 21, True)
    tab_picture("proptab.gif", -6, 21, False)
    tab_picture("proptab-h.gif", 4, 21, False)
    tab_picture("proptab-p.gif", 6, 24, True)
    menu_pictures()
    dialog_pictures()


if __name__ == "__main__":
    main()
