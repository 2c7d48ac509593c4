#!/usr/bin/python3
"""Draws the pictures of the first-time wizard, beside this script.

  wizard-look-3d.bmp           a smilie field with raised 3D cells on a
                               coloured background (the 3D look)
  wizard-look-flat.bmp         the same field with flat white cells
  wizard-censored-shown.bmp    a field in which every smilie is shown
  wizard-censored-hidden.bmp   the same field with its censored smilies
                               drawn as the censor cross
  wizard-side.gif / -mask.gif  the sheet's tall side picture and its opacity
                               picture (grey level = opacity): a welcoming
                               banner in the skin's accent blue

The bitmaps have the size their picture controls get at 8 point dialog
units (1.5 x 1.625 pixels a unit), so that they fill the pages' places.
Colours are those of the Standard skin. Run with /usr/bin/python3 (Debian's,
with python3-pil) and commit the output with this script."""
import math
import os

from PIL import Image, ImageDraw

HERE = os.path.dirname(os.path.abspath(__file__))
SS = 6  # faces and the banner are drawn this much larger, then reduced

# The Standard skin: its accent, the dark dialog body and the light ink.
ACCENT = (59, 130, 196)
ACCENT_DARK = (30, 64, 104)
BODY = (70, 80, 92)
BODY_LIGHT = (98, 109, 122)
BODY_DARK = (38, 44, 52)
INK = (232, 236, 240)

# A field in the coloured 3D look: the tab's colour behind raised cells.
FIELD_BLUE = (150, 188, 226)
CELL_FACE = (245, 245, 245)
TAB_STRIP = (58, 66, 76)
TAB_OFF = (96, 106, 118)

# The smilie faces.
FACE_LIGHT = (255, 226, 96)
FACE_DARK = (236, 162, 36)
FACE_RIM = (150, 96, 18)
FEATURE = (74, 46, 12)
TONGUE = (226, 80, 96)
ANGRY_LIGHT = (250, 120, 96)
ANGRY_DARK = (196, 44, 40)
ANGRY_RIM = (120, 20, 20)
DEVIL_LIGHT = (186, 120, 224)
DEVIL_DARK = (112, 54, 162)
DEVIL_RIM = (64, 24, 100)


def mix(a, b, t):
    return tuple(round(x + (y - x) * t) for x, y in zip(a, b))


def darker(c, f):
    return tuple(round(v * (1 - f)) for v in c)


def lighter(c, f):
    return tuple(round(v + (255 - v) * f) for v in c)


# --- faces ---------------------------------------------------------------------


def face(size, kind):
    """One smilie face as an RGBA picture of size x size pixels."""
    big = size * SS
    img = Image.new("RGBA", (big, big), (0, 0, 0, 0))
    light, dark, rim = FACE_LIGHT, FACE_DARK, FACE_RIM
    if kind == "angry":
        light, dark, rim = ANGRY_LIGHT, ANGRY_DARK, ANGRY_RIM
    elif kind == "devil":
        light, dark, rim = DEVIL_LIGHT, DEVIL_DARK, DEVIL_RIM
    d = ImageDraw.Draw(img)
    m = big * 0.06
    if kind == "devil":
        # Two small horns behind the head.
        for sx in (-1, 1):
            cx = big / 2 + sx * big * 0.26
            d.polygon([(cx - big * 0.1, big * 0.3), (cx + sx * big * 0.08, m * 0.2), (cx + big * 0.1, big * 0.3)],
                      fill=rim)
    # The head: a radial shade from a light spot at the upper left.
    head = Image.new("RGBA", (big, big), (0, 0, 0, 0))
    px = head.load()
    r = big / 2 - m
    cx = cy = big / 2
    hx, hy = cx - r * 0.35, cy - r * 0.4
    for y in range(big):
        for x in range(big):
            if (x - cx) ** 2 + (y - cy) ** 2 <= r * r:
                t = min(1.0, math.hypot(x - hx, y - hy) / (r * 1.6))
                px[x, y] = mix(light, dark, t) + (255,)
    img.alpha_composite(head)
    d = ImageDraw.Draw(img)
    w = max(1, round(big * 0.045))
    d.ellipse((m, m, big - m, big - m), outline=rim, width=w)

    ink = FEATURE if kind not in ("angry", "devil") else (50, 10, 10)
    ex, ey, er = big * 0.17, big * 0.40, big * 0.065
    eyes = (cx - ex, cx + ex)
    stroke = max(1, round(big * 0.06))
    if kind == "cool":
        # Sunglasses: two dark lenses and the bridge.
        for x in eyes:
            d.rounded_rectangle((x - big * 0.14, ey - big * 0.09, x + big * 0.14, ey + big * 0.08),
                                radius=big * 0.05, fill=(30, 30, 40))
        d.line((eyes[0], ey - big * 0.05, eyes[1], ey - big * 0.05), fill=(30, 30, 40), width=stroke)
        d.ellipse((eyes[0] - big * 0.09, ey - big * 0.07, eyes[0] - big * 0.03, ey - big * 0.02),
                  fill=(200, 210, 230))
    elif kind == "wink":
        d.ellipse((eyes[0] - er, ey - er * 1.4, eyes[0] + er, ey + er * 1.4), fill=ink)
        d.arc((eyes[1] - er * 1.6, ey - er * 1.2, eyes[1] + er * 1.6, ey + er * 1.6), 200, 340, fill=ink,
              width=stroke)
    elif kind in ("angry", "devil"):
        for sx, x in zip((1, -1), eyes):
            d.ellipse((x - er, ey - er * 0.9 + big * 0.03, x + er, ey + er * 1.2 + big * 0.03), fill=ink)
            # Brows sloping down towards the nose.
            d.line((x - sx * big * 0.12, ey - big * 0.12, x + sx * big * 0.06, ey - big * 0.05), fill=ink,
                   width=stroke)
    elif kind == "surprised":
        for x in eyes:
            d.ellipse((x - er * 1.2, ey - er * 1.6, x + er * 1.2, ey + er * 1.6), fill=ink)
    else:
        for x in eyes:
            d.ellipse((x - er, ey - er * 1.4, x + er, ey + er * 1.4), fill=ink)

    mouth = (cx - big * 0.24, big * 0.42, cx + big * 0.24, big * 0.76)
    if kind in ("smile", "wink", "cool"):
        d.arc(mouth, 25, 155, fill=ink, width=stroke)
    elif kind == "grin":
        # An open mouth with a row of teeth along its upper edge.
        box = (cx - big * 0.25, big * 0.44, cx + big * 0.25, big * 0.8)
        shape = Image.new("L", (big, big), 0)
        ImageDraw.Draw(shape).chord(box, 0, 180, fill=255)
        teeth = Image.new("L", (big, big), 0)
        ImageDraw.Draw(teeth).rectangle((0, big * 0.62 - 1, big, big * 0.62 + big * 0.055), fill=255)
        teeth = Image.composite(teeth, Image.new("L", (big, big), 0), shape)
        img.paste(ink + (255,), (0, 0), shape)
        img.paste((255, 255, 255, 255), (0, 0), teeth)
    elif kind == "tongue":
        d.arc(mouth, 25, 155, fill=ink, width=stroke)
        d.chord((cx - big * 0.05, big * 0.62, cx + big * 0.17, big * 0.86), 0, 180, fill=TONGUE)
    elif kind == "surprised":
        d.ellipse((cx - big * 0.08, big * 0.6, cx + big * 0.08, big * 0.78), fill=ink)
    elif kind == "sad":
        d.arc((cx - big * 0.2, big * 0.62, cx + big * 0.2, big * 0.9), 205, 335, fill=ink, width=stroke)
    elif kind == "angry":
        # The mouth is a bar of curses.
        bar = (cx - big * 0.24, big * 0.6, cx + big * 0.24, big * 0.78)
        d.rounded_rectangle(bar, radius=big * 0.04, fill=(30, 10, 10))
        for i, ch in enumerate("#!@"):
            x0 = bar[0] + big * 0.04 + i * big * 0.145
            y0, y1 = bar[1] + big * 0.035, bar[3] - big * 0.035
            c = (255, 220, 80)
            if ch == "#":
                d.line((x0 + big * 0.02, y0, x0, y1), fill=c, width=w)
                d.line((x0 + big * 0.07, y0, x0 + big * 0.05, y1), fill=c, width=w)
                d.line((x0 - big * 0.01, y0 + big * 0.04, x0 + big * 0.09, y0 + big * 0.04), fill=c, width=w)
                d.line((x0 - big * 0.02, y1 - big * 0.04, x0 + big * 0.08, y1 - big * 0.04), fill=c, width=w)
            elif ch == "!":
                d.line((x0 + big * 0.04, y0, x0 + big * 0.04, y1 - big * 0.05), fill=c, width=w + 1)
                d.ellipse((x0 + big * 0.025, y1 - big * 0.03, x0 + big * 0.055, y1), fill=c)
            else:
                d.ellipse((x0, y0, x0 + big * 0.09, y1), outline=c, width=w)
    elif kind == "devil":
        d.arc(mouth, 20, 160, fill=ink, width=stroke)
        # A pointed grin: two fangs.
        for sx in (-1, 1):
            fx = cx + sx * big * 0.1
            d.polygon([(fx - big * 0.03, big * 0.73), (fx + big * 0.03, big * 0.73), (fx, big * 0.8)],
                      fill=(255, 255, 255))
    return img.resize((size, size), Image.LANCZOS)


# --- fields -------------------------------------------------------------------------


def raised_cell(d, x0, y0, x1, y1, base):
    """A cell as the 3D look paints it: a face shading from the base colour
    down to a darker shade, a light upper-left edge and a shadow below."""
    for y in range(y0, y1 + 1):
        t = (y - y0) / max(1, y1 - y0)
        d.line((x0, y, x1, y), fill=mix(base, darker(base, 0.3), t))
    d.line((x0, y0, x1, y0), fill=(255, 255, 255))
    d.line((x0, y0, x0, y1), fill=(255, 255, 255))
    d.line((x0 + 1, y1 - 1, x1 - 1, y1 - 1), fill=darker(base, 0.42))
    d.line((x1 - 1, y0 + 1, x1 - 1, y1 - 1), fill=darker(base, 0.42))
    d.line((x0, y1, x1, y1), fill=darker(base, 0.62))
    d.line((x1, y0, x1, y1), fill=darker(base, 0.62))


def censor_cross(d, x0, y0, x1, y1, look3d):
    """The censor symbol in a cell: a cross in a sunken square."""
    cx, cy = (x0 + x1) / 2, (y0 + y1) / 2
    h = min(x1 - x0, y1 - y0) * 0.28
    sq = (round(cx - h), round(cy - h), round(cx + h), round(cy + h))
    upper = (110, 110, 110) if look3d else (150, 150, 150)
    lower = (255, 255, 255) if look3d else (210, 210, 210)
    d.line((sq[0], sq[0 + 1], sq[2], sq[1]), fill=upper)
    d.line((sq[0], sq[1], sq[0], sq[3]), fill=upper)
    d.line((sq[0], sq[3], sq[2], sq[3]), fill=lower)
    d.line((sq[2], sq[1], sq[2], sq[3]), fill=lower)
    ink = (170, 40, 40)
    d.line((sq[0] + 3, sq[1] + 3, sq[2] - 3, sq[3] - 3), fill=ink, width=2)
    d.line((sq[0] + 3, sq[3] - 3, sq[2] - 3, sq[1] + 3), fill=ink, width=2)


def tab_strip(img, d, x0, y0, x1, h, field_colour, tabs):
    """The field switcher above a field: tabs, the first one selected."""
    d.rectangle((x0, y0, x1, y0 + h - 1), fill=TAB_STRIP)
    x = x0 + 3
    for i, width in enumerate(tabs):
        sel = i == 0
        top = y0 + (2 if sel else 4)
        colour = field_colour if sel else TAB_OFF
        d.rounded_rectangle((x, top, x + width, y0 + h + 2), radius=3, fill=colour)
        edge = lighter(colour, 0.5)
        d.line((x + 2, top, x + width - 2, top), fill=edge)
        # A short line of "text" on the tab.
        ty = top + (y0 + h - top) // 2
        text = darker(colour, 0.55) if sel else lighter(colour, 0.45)
        d.line((x + 6, ty, x + width - 7, ty), fill=text, width=2)
        x += width + 3


def field_picture(w, h, cols, rows, faces, look3d, censored=(), hide_censored=False, tabs=None):
    img = Image.new("RGBA", (w, h), BODY_DARK + (255,))
    d = ImageDraw.Draw(img)
    top = 1
    back = FIELD_BLUE if look3d else (255, 255, 255)
    if tabs:
        th = 15
        tab_strip(img, d, 1, 1, w - 2, th, back, tabs)
        top = 1 + th
    d.rectangle((1, top, w - 2, h - 2), fill=back)
    gap = 2 if look3d else 0
    area_w, area_h = w - 2 - gap, h - 1 - top - gap
    cw, ch = area_w // cols, area_h // rows
    ox = 1 + gap + (area_w - cw * cols) // 2
    oy = top + gap + (area_h - ch * rows) // 2
    fsize = min(cw, ch) - (9 if look3d else 8)
    for r in range(rows):
        for c in range(cols):
            n = r * cols + c
            x0, y0 = ox + c * cw, oy + r * ch
            x1, y1 = x0 + cw - 1 - gap, y0 + ch - 1 - gap
            if look3d:
                raised_cell(d, x0, y0, x1, y1, CELL_FACE)
            if n in censored and hide_censored:
                censor_cross(d, x0, y0, x1, y1, look3d)
                continue
            f = face(fsize, faces[n % len(faces)])
            fx = x0 + (x1 - x0 + 1 - fsize) // 2
            fy = y0 + (y1 - y0 + 1 - fsize) // 2
            img.alpha_composite(f, (fx, fy))
    if not look3d:
        # The flat look: hairlines between the white cells.
        grid = (214, 220, 228)
        for c in range(1, cols):
            x = ox + c * cw - 1
            d.line((x, top, x, h - 2), fill=grid)
        for r in range(1, rows):
            y = oy + r * ch - 1
            d.line((1, y, w - 2, y), fill=grid)
    # A bevel around the whole field, as it sits in the dialog body.
    d.line((0, 0, w - 1, 0), fill=BODY_DARK)
    d.line((0, 0, 0, h - 1), fill=BODY_DARK)
    d.line((0, h - 1, w - 1, h - 1), fill=BODY_LIGHT)
    d.line((w - 1, 0, w - 1, h - 1), fill=BODY_LIGHT)
    return img.convert("RGB")


LOOK_FACES = ["smile", "grin", "wink", "cool", "tongue", "surprised", "sad", "smile", "grin", "wink",
              "tongue", "cool", "surprised", "smile", "grin"]
CENSOR_FACES = ["smile", "angry", "wink", "grin", "tongue", "cool", "devil", "surprised"]
CENSORED = (1, 6)


def look_pictures():
    size = (165, 112)  # 110 x 69 dialog units
    tabs = [44, 38, 30]
    field_picture(*size, 5, 3, LOOK_FACES, True, tabs=tabs).save(os.path.join(HERE, "wizard-look-3d.bmp"))
    field_picture(*size, 5, 3, LOOK_FACES, False, tabs=tabs).save(os.path.join(HERE, "wizard-look-flat.bmp"))


def censor_pictures():
    size = (143, 76)  # 95 x 47 dialog units
    field_picture(*size, 4, 2, CENSOR_FACES, True, CENSORED, False).save(
        os.path.join(HERE, "wizard-censored-shown.bmp"))
    field_picture(*size, 4, 2, CENSOR_FACES, True, CENSORED, True).save(
        os.path.join(HERE, "wizard-censored-hidden.bmp"))


# --- the side picture --------------------------------------------------------------

SIDE_W, SIDE_H = 76, 244


def star(d, cx, cy, r, colour):
    pts = []
    for i in range(8):
        a = math.pi / 4 * i - math.pi / 2
        rr = r if i % 2 == 0 else r * 0.3
        pts.append((cx + rr * math.cos(a), cy + rr * math.sin(a)))
    d.polygon(pts, fill=colour)


def side_picture():
    W, H = SIDE_W * SS, SIDE_H * SS
    colour = Image.new("RGBA", (W, H))
    px = colour.load()
    top, bottom = lighter(ACCENT, 0.12), ACCENT_DARK
    for y in range(H):
        c = mix(top, bottom, y / (H - 1)) + (255,)
        for x in range(W):
            px[x, y] = c
    d = ImageDraw.Draw(colour)
    # A soft light behind the big face.
    glow = Image.new("RGBA", (W, H), (0, 0, 0, 0))
    gd = ImageDraw.Draw(glow)
    gcx, gcy = W / 2, 62 * SS
    for i in range(24, 0, -1):
        r = (30 + i * 1.6) * SS
        gd.ellipse((gcx - r, gcy - r, gcx + r, gcy + r), fill=(255, 255, 255, 5))
    colour.alpha_composite(glow)
    # The big smilie, welcoming.
    big = face(56, "grin").resize((56 * SS, 56 * SS), Image.LANCZOS)
    colour.alpha_composite(big, (int(gcx - 28 * SS), int(gcy - 28 * SS)))
    d = ImageDraw.Draw(colour)
    star(d, 14 * SS, 24 * SS, 5 * SS, (255, 240, 170, 255))
    star(d, 62 * SS, 32 * SS, 4 * SS, (255, 240, 170, 255))
    star(d, 60 * SS, 100 * SS, 3 * SS, (220, 232, 248, 255))
    star(d, 16 * SS, 104 * SS, 3 * SS, (220, 232, 248, 255))
    # Below it a short column of raised cells with small smilies: the field
    # the user is about to set up.
    cell = 28
    x0 = (SIDE_W - cell) // 2
    for i, kind in enumerate(["smile", "wink", "tongue"]):
        y0 = 120 + i * (cell + 10)
        tile = Image.new("RGBA", (cell, cell), (0, 0, 0, 0))
        td = ImageDraw.Draw(tile)
        raised_cell(td, 0, 0, cell - 1, cell - 1, CELL_FACE)
        tile.alpha_composite(face(cell - 8, kind), (4, 4))
        colour.alpha_composite(tile.resize((cell * SS, cell * SS), Image.NEAREST), (x0 * SS, y0 * SS))
    # A rim just inside the edge.
    d = ImageDraw.Draw(colour)
    d.rounded_rectangle((SS, SS, W - SS - 1, H - SS - 1), radius=10 * SS, outline=lighter(ACCENT, 0.35) + (255,),
                        width=SS)
    opacity = Image.new("L", (W, H), 0)
    ImageDraw.Draw(opacity).rounded_rectangle((0, 0, W - 1, H - 1), radius=11 * SS, fill=255)

    colour = colour.convert("RGB").resize((SIDE_W, SIDE_H), Image.LANCZOS)
    opacity = opacity.resize((SIDE_W, SIDE_H), Image.LANCZOS)
    colour.convert("P", palette=Image.ADAPTIVE, colors=255).save(os.path.join(HERE, "wizard-side.gif"))
    # A grey palette: entry n is (n, n, n), so the blue component is the opacity.
    grey = Image.new("P", (SIDE_W, SIDE_H))
    grey.putpalette([v for n in range(256) for v in (n, n, n)])
    grey.putdata(list(opacity.getdata()))
    grey.save(os.path.join(HERE, "wizard-side-mask.gif"))


if __name__ == "__main__":
    look_pictures()
    censor_pictures()
    side_picture()
