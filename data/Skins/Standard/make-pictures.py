#!/usr/bin/python3
"""Draws the pictures of the Standard skin into this folder.

Run with Debian's /usr/bin/python3 and python3-pil; the output is committed
beside this script, so the build needs neither.

Most pictures are grey shading around a mid grey (128): the skin blends them
over its colour sets (OVERLAY or SOFT LIGHT), where 128 keeps the colour and
lighter or darker greys give highlights and shadows. That way one set of
pictures serves every colour scheme. The check boxes and the main window's
top and bottom are drawn in their own colours; the window pieces are GIFs
whose transparent corners give the window its rounded outline.
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


def body_top():
    w, h = BODY_WIDTH, TOP_HEIGHT
    img = Image.new("RGB", (w, h), BODY)
    d = ImageDraw.Draw(img)
    # A soft light-to-body ramp under the title area.
    for y in range(h):
        t = y / (h - 1)
        c = tuple(clamp(l + (b - l) * t) for l, b in zip(BODY_LIGHT, BODY))
        d.line((0, y, w, y), fill=c)
    # The accent band along the top edge and a hairline under the menu bar.
    for y in range(4):
        d.line((0, y, w, y), fill=tuple(clamp(a + 18 * y) for a in ACCENT))
    d.line((8, 46, w - 9, 46), fill=BODY_DARK)
    d.line((8, 47, w - 9, 47), fill=BODY_LIGHT)
    # The close and about buttons' places (the program draws on them).
    d.rounded_rectangle((w - 22, 8, w - 9, 21), radius=3, outline=BODY_DARK, fill=BODY_LIGHT)
    d.line((w - 19, 11, w - 12, 18), fill=INK, width=1)
    d.line((w - 19, 18, w - 12, 11), fill=INK, width=1)
    d.ellipse((8, 8, 21, 21), outline=ACCENT, fill=BODY_LIGHT)
    d.rectangle((14, 13, 15, 18), fill=INK)
    d.point((14, 10), fill=INK)
    d.point((15, 10), fill=INK)
    # Side edges.
    d.line((0, 0, 0, h), fill=BODY_DARK)
    d.line((w - 1, 0, w - 1, h), fill=BODY_DARK)
    mask = Image.new("L", (w, h), 0)
    ImageDraw.Draw(mask).rounded_rectangle((0, 0, w - 1, h + RADIUS), radius=RADIUS, fill=255)
    # The rounded corners get a darker rim.
    rim = Image.new("L", (w, h), 0)
    ImageDraw.Draw(rim).rounded_rectangle((0, 0, w - 1, h + RADIUS), radius=RADIUS, outline=255)
    img.paste(Image.new("RGB", (w, h), BODY_DARK), (0, 0), rim)
    # Keep the accent band above the rim.
    transparent_gif(img, mask, "body-top.gif")


def body_middle():
    w, h = BODY_WIDTH, 32
    img = Image.new("RGB", (w, h), BODY)
    d = ImageDraw.Draw(img)
    d.line((0, 0, 0, h), fill=BODY_DARK)
    d.line((w - 1, 0, w - 1, h), fill=BODY_DARK)
    d.line((1, 0, 1, h), fill=BODY_LIGHT)
    img.save(os.path.join(HERE, "body-middle.gif"))


def body_bottom():
    w, h = BODY_WIDTH, BOTTOM_HEIGHT
    img = Image.new("RGB", (w, h), BODY)
    d = ImageDraw.Draw(img)
    for y in range(h):
        t = y / (h - 1)
        c = tuple(clamp(b + (bd - b) * t * 0.35) for b, bd in zip(BODY, BODY_DARK))
        d.line((0, y, w, y), fill=c)
    # A grip of three short diagonals in the lower right corner.
    for i in range(3):
        o = 6 + 4 * i
        d.line((w - o - 4, h - 5, w - 5, h - o - 4), fill=BODY_LIGHT)
    mask = Image.new("L", (w, h), 0)
    ImageDraw.Draw(mask).rounded_rectangle((0, -RADIUS, w - 1, h - 1), radius=RADIUS, fill=255)
    rim = Image.new("L", (w, h), 0)
    ImageDraw.Draw(rim).rounded_rectangle((0, -RADIUS, w - 1, h - 1), radius=RADIUS, outline=255)
    img.paste(Image.new("RGB", (w, h), BODY_DARK), (0, 0), rim)
    transparent_gif(img, mask, "body-bottom.gif")


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


def tab_picture(name, lift, height=21):
    w = 40
    img = vertical_shade(w, height, 180 + lift, 120 + lift, 150 + lift)
    mask = Image.new("L", (w, height), 0)
    ImageDraw.Draw(mask).rounded_rectangle((0, 0, w - 1, height + 6), radius=6, fill=255)
    img = put_on_grey(img, mask, 128)
    d = ImageDraw.Draw(img)
    # A light inner rim along the rounded top.
    d.line((6, 1, w - 7, 1), fill=grey(200 + lift))
    save(img, name)


def menu_pictures():
    save(vertical_shade(200, 20, 142, 122, 134), "menu-item.png")
    save(vertical_shade(200, 20, 168, 118, 150), "menu-item-h.png")
    sep = Image.new("RGB", (200, 4), grey(128))
    d = ImageDraw.Draw(sep)
    d.line((4, 1, 195, 1), fill=grey(96))
    d.line((4, 2, 195, 2), fill=grey(170))
    save(sep, "menu-separator.png")
    item = vertical_shade(48, 16, 176, 128, 160)
    save(put_on_grey(item, rounded_mask(48, 16, 5), 128), "menubar-item-h.png")


def dialog_pictures():
    # The dialog body: a very soft diagonal light from the top left.
    w, h = 320, 240
    img = Image.new("RGB", (w, h))
    px = img.load()
    for y in range(h):
        for x in range(w):
            t = (x / w + y / h) / 2
            px[x, y] = grey(146 - 30 * t)
    save(img, "dialog-body.png")
    button = vertical_shade(80, 24, 176, 112, 144)
    button = put_on_grey(button, rounded_mask(80, 24, 5), 128)
    save(bevel(button, 10, 10), "dialog-button.png")
    for name, lift in (("tab-button.png", 0), ("tab-button-h.png", 14), ("tab-button-p.png", -14)):
        img = vertical_shade(16, 16, 166 + lift, 114 + lift, 142 + lift)
        save(put_on_grey(img, rounded_mask(16, 16, 4), 128), name)


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
    tab_picture("tab.png", 0)
    tab_picture("tab-h.png", 16)
    tab_picture("tab-p.png", 30)
    tab_picture("proptab.png", 0, 24)
    tab_picture("proptab-h.png", 16, 24)
    tab_picture("proptab-p.png", 30, 24)
    menu_pictures()
    dialog_pictures()


if __name__ == "__main__":
    main()
