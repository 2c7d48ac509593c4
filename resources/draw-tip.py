#!/usr/bin/python3
"""Draws the pictures of the tip of the day into this folder.

  tip-paper-{top,middle,bottom}.gif (+ -mask.gif)
      the note paper, cut into three pieces: the tip control stacks the top,
      the middle piece as often as the tip needs, and the bottom. The middle
      rows of the paper are all alike, so the middle piece repeats without
      a seam.
  tip-*.gif, tip-select-all.png
      one picture for each tip that has one. A GIF with a -mask.gif beside it
      is blended through that opacity picture (its grey level, read from the
      blue component, is the opacity); a GIF without one is drawn as it is
      onto the paper, so it is flattened onto the paper colour and its
      background index is transparent; the PNG keeps its alpha channel.

Everything is drawn four times larger and reduced, for smooth edges.
Run with /usr/bin/python3 (Debian's, with python3-pil); writes beside this script."""
import math
import os

from PIL import Image, ImageChops, ImageDraw, ImageFilter, ImageFont

HERE = os.path.dirname(os.path.abspath(__file__))
S = 4  # drawing scale

# The Standard skin's colours and the paper's.
ACCENT = (59, 130, 196)
ACCENT_LIGHT = (120, 176, 228)
ACCENT_PALE = (212, 229, 246)
BODY = (70, 80, 92)
BODY_LIGHT = (98, 109, 122)
BODY_DARK = (38, 44, 52)
INK = (232, 236, 240)
FIELD = (246, 247, 249)
GRID = (206, 212, 220)
TEXT_BAR = (170, 178, 188)
WHITE = (255, 255, 255)
PAPER = (255, 240, 150)
PAPER_BAND = (251, 229, 126)
PAPER_EDGE = (226, 196, 92)
SHADOW = (40, 30, 12)
FACE_LIGHT = (255, 226, 92)
FACE_DARK = (246, 176, 36)
FACE_LINE = (176, 104, 16)
FACE_INK = (84, 48, 12)
RED = (212, 64, 52)
GREEN = (72, 160, 88)
GOLD = (244, 184, 36)

FONT_DIR = "/usr/share/fonts/truetype/dejavu/"


def font(size, bold=False, mono=False):
    name = "DejaVuSansMono-Bold.ttf" if mono else ("DejaVuSans-Bold.ttf" if bold else "DejaVuSans.ttf")
    return ImageFont.truetype(FONT_DIR + name, int(size * S))


def lerp(a, b, t):
    return tuple(int(round(x + (y - x) * t)) for x, y in zip(a, b))


class Canvas:
    """An RGBA picture drawn at scale S in picture pixels."""

    def __init__(self, w, h):
        self.w, self.h = w, h
        self.img = Image.new("RGBA", (w * S, h * S), (0, 0, 0, 0))
        self.d = ImageDraw.Draw(self.img)

    @staticmethod
    def box(x0, y0, x1, y1):
        return [round(x0 * S), round(y0 * S), round(x1 * S) - 1, round(y1 * S) - 1]

    def rect(self, x0, y0, x1, y1, fill=None, outline=None, width=1, radius=0):
        b = self.box(x0, y0, x1, y1)
        if radius:
            self.d.rounded_rectangle(b, radius=radius * S, fill=fill, outline=outline, width=round(width * S))
        else:
            self.d.rectangle(b, fill=fill, outline=outline, width=round(width * S))

    def ellipse(self, x0, y0, x1, y1, fill=None, outline=None, width=1):
        self.d.ellipse(self.box(x0, y0, x1, y1), fill=fill, outline=outline, width=round(width * S))

    def line(self, pts, fill, width=1):
        self.d.line([(x * S, y * S) for x, y in pts], fill=fill, width=round(width * S), joint="curve")

    def polygon(self, pts, fill=None, outline=None):
        self.d.polygon([(x * S, y * S) for x, y in pts], fill=fill, outline=outline)

    def text(self, x, y, s, size, fill, bold=False, mono=False, anchor="la"):
        self.d.text((x * S, y * S), s, font=font(size, bold, mono), fill=fill, anchor=anchor)

    def vgradient(self, x0, y0, x1, y1, top, bottom, radius=0):
        """A vertical gradient in a (rounded) rectangle."""
        w, h = round((x1 - x0) * S), round((y1 - y0) * S)
        grad = Image.new("RGBA", (w, h))
        gd = ImageDraw.Draw(grad)
        for y in range(h):
            gd.line([(0, y), (w, y)], fill=lerp(top, bottom, y / max(1, h - 1)) + (255,))
        mask = Image.new("L", (w, h), 0)
        ImageDraw.Draw(mask).rounded_rectangle([0, 0, w - 1, h - 1], radius=radius * S, fill=255)
        self.img.paste(grad, (round(x0 * S), round(y0 * S)), mask)

    def layer(self, other, alpha=1.0):
        """Composites another canvas of the same size over this one."""
        src = other.img
        if alpha < 1.0:
            a = src.getchannel("A").point(lambda v: int(v * alpha))
            src = src.copy()
            src.putalpha(a)
        self.img.alpha_composite(src)

    # --- the little things the pictures are made of -----------------------------

    def smiley(self, cx, cy, r, mood="smile"):
        self.vgradient_circle(cx, cy, r)
        self.ellipse(cx - r, cy - r, cx + r, cy + r, outline=FACE_LINE, width=max(0.75, r / 9))
        ink = FACE_INK
        ex, ey, er = r * 0.36, r * 0.28, max(0.9, r * 0.14)
        w = max(0.9, r / 7)
        if mood == "cool":
            self.rect(cx - r * 0.72, cy - r * 0.42, cx - r * 0.08, cy - r * 0.04, fill=BODY_DARK, radius=r * 0.12)
            self.rect(cx + r * 0.08, cy - r * 0.42, cx + r * 0.72, cy - r * 0.04, fill=BODY_DARK, radius=r * 0.12)
            self.line([(cx - r * 0.1, cy - r * 0.3), (cx + r * 0.1, cy - r * 0.3)], BODY_DARK, w)
        elif mood == "wink":
            self.ellipse(cx - ex - er, cy - ey - er * 1.3, cx - ex + er, cy - ey + er * 1.3, fill=ink)
            self.line([(cx + ex - er * 1.4, cy - ey), (cx + ex + er * 1.4, cy - ey)], ink, w)
        else:
            self.ellipse(cx - ex - er, cy - ey - er * 1.3, cx - ex + er, cy - ey + er * 1.3, fill=ink)
            self.ellipse(cx + ex - er, cy - ey - er * 1.3, cx + ex + er, cy - ey + er * 1.3, fill=ink)
        m = r * 0.55
        if mood in ("grin", "laugh"):
            self.d.chord(self.box(cx - m, cy - m * 0.7, cx + m, cy + m * 1.05), 0, 180, fill=ink)
            self.d.chord(self.box(cx - m * 0.7, cy - m * 0.1, cx + m * 0.7, cy + m * 0.5), 0, 180, fill=WHITE)
        elif mood == "sad":
            self.d.arc(self.box(cx - m, cy + r * 0.2, cx + m, cy + r * 0.9), 200, 340, fill=ink, width=round(w * S))
        else:
            self.d.arc(self.box(cx - m, cy - m * 0.8, cx + m, cy + m * 0.9), 20, 160, fill=ink, width=round(w * S))
            if mood == "tongue":
                self.ellipse(cx - r * 0.18, cy + r * 0.35, cx + r * 0.22, cy + r * 0.75, fill=RED)

    def vgradient_circle(self, cx, cy, r):
        w = round(2 * r * S)
        grad = Image.new("RGBA", (w, w))
        gd = ImageDraw.Draw(grad)
        for y in range(w):
            gd.line([(0, y), (w, y)], fill=lerp(FACE_LIGHT, FACE_DARK, y / max(1, w - 1)) + (255,))
        mask = Image.new("L", (w, w), 0)
        ImageDraw.Draw(mask).ellipse([0, 0, w - 1, w - 1], fill=255)
        self.img.paste(grad, (round((cx - r) * S), round((cy - r) * S)), mask)

    def cursor(self, x, y, scale=1.0):
        pts = [(0, 0), (0, 16), (4, 12.5), (7, 19), (9.5, 18), (6.5, 11.5), (11.5, 11.5)]
        p = [(x + a * scale, y + b * scale) for a, b in pts]
        self.polygon(p, fill=WHITE)
        self.line(p + [p[0]], BODY_DARK, 1.0)

    def arrow(self, pts, color, width=2.0, head=6.0, dashed=False):
        """A polyline (or smooth curve given by many points) ending in a head."""
        if dashed:
            seg = []
            acc = 0.0
            for (x0, y0), (x1, y1) in zip(pts, pts[1:]):
                n = max(1, int(math.hypot(x1 - x0, y1 - y0) * 2))
                for i in range(n):
                    t0, t1 = i / n, (i + 1) / n
                    a = (x0 + (x1 - x0) * t0, y0 + (y1 - y0) * t0)
                    b = (x0 + (x1 - x0) * t1, y0 + (y1 - y0) * t1)
                    if int(acc / 4) % 2 == 0:
                        seg.append((a, b))
                    acc += math.hypot(b[0] - a[0], b[1] - a[1])
            for a, b in seg:
                self.line([a, b], color, width)
        else:
            self.line(pts, color, width)
        (x0, y0), (x1, y1) = pts[-2], pts[-1]
        ang = math.atan2(y1 - y0, x1 - x0)
        tip = (x1 + math.cos(ang) * head * 0.3, y1 + math.sin(ang) * head * 0.3)
        left = (tip[0] - head * math.cos(ang - 0.5), tip[1] - head * math.sin(ang - 0.5))
        right = (tip[0] - head * math.cos(ang + 0.5), tip[1] - head * math.sin(ang + 0.5))
        self.polygon([tip, left, right], fill=color)

    def field(self, x, y, cols, rows, cell, faces, selected=(), hot=None, empty_hot=None):
        """A smilie field: light cells in a grid, a smilie in each listed cell."""
        w, h = cols * cell, rows * cell
        self.rect(x - 1, y - 1, x + w + 1, y + h + 1, fill=FIELD, outline=BODY, width=1)
        for c in range(1, cols):
            self.line([(x + c * cell, y), (x + c * cell, y + h)], GRID, 0.75)
        for r in range(1, rows):
            self.line([(x, y + r * cell), (x + w, y + r * cell)], GRID, 0.75)
        for i, mood in enumerate(faces):
            if mood is None:
                continue
            c, r = i % cols, i // cols
            cx, cy = x + c * cell + cell / 2, y + r * cell + cell / 2
            if i in selected:
                self.rect(x + c * cell + 1, y + r * cell + 1, x + (c + 1) * cell - 1, y + (r + 1) * cell - 1,
                          fill=ACCENT_PALE, outline=ACCENT, width=1)
            if i == hot:
                self.rect(x + c * cell + 1, y + r * cell + 1, x + (c + 1) * cell - 1, y + (r + 1) * cell - 1,
                          fill=(255, 250, 224), outline=ACCENT, width=1.25)
            self.smiley(cx, cy, cell * 0.32, mood)
        if empty_hot is not None:
            c, r = empty_hot % cols, empty_hot // cols
            self.dotted_rect(x + c * cell + 2, y + r * cell + 2, x + (c + 1) * cell - 2, y + (r + 1) * cell - 2, ACCENT)

    def dotted_rect(self, x0, y0, x1, y1, color):
        pts = [(x0, y0), (x1, y0), (x1, y1), (x0, y1), (x0, y0)]
        for (ax, ay), (bx, by) in zip(pts, pts[1:]):
            n = int(max(abs(bx - ax), abs(by - ay)) / 2)
            for i in range(0, n, 2):
                t0, t1 = i / n, min(1, (i + 1) / n)
                self.line([(ax + (bx - ax) * t0, ay + (by - ay) * t0), (ax + (bx - ax) * t1, ay + (by - ay) * t1)],
                          color, 1)

    def window(self, x0, y0, x1, y1, title=BODY, frame=BODY_DARK, inside=FIELD):
        """A small window: title strip, frame, client area; returns the client box."""
        self.rect(x0, y0, x1, y1, fill=frame, radius=3)
        self.vgradient(x0 + 1, y0 + 1, x1 - 1, y0 + 9, lerp(title, WHITE, 0.25), title, radius=2)
        self.rect(x0 + 2, y0 + 10, x1 - 2, y1 - 2, fill=inside)
        for i in range(3):
            self.ellipse(x1 - 8 - i * 6, y0 + 3, x1 - 4 - i * 6, y0 + 7, fill=INK if i else (236, 120, 104))
        return (x0 + 2, y0 + 10, x1 - 2, y1 - 2)

    def menu(self, x, y, w, icons, hot=0, row=13):
        """A popup menu: an icon and a text bar per row; None is a separator."""
        h = sum(5 if i is None else row for i in icons) + 4
        self.rect(x, y, x + w, y + h, fill=WHITE, outline=BODY_LIGHT, width=1)
        yy = y + 2
        for n, icon in enumerate(icons):
            if icon is None:
                self.line([(x + 4, yy + 2.5), (x + w - 4, yy + 2.5)], GRID, 1)
                yy += 5
                continue
            if n == hot:
                self.rect(x + 2, yy, x + w - 2, yy + row, fill=ACCENT)
            icon(self, x + 5, yy + 2.5, 8)
            bar = (WHITE if n == hot else TEXT_BAR)
            self.rect(x + 18, yy + row / 2 - 1.5, x + w - 10 - (n * 7) % 18, yy + row / 2 + 1.5, fill=bar, radius=1.5)
            yy += row
        return y + h

    def tabs(self, x0, y0, x1, y1, tabs, active):
        """A tab strip on the skin's body; tabs are (left, right) pairs."""
        self.vgradient(x0, y0, x1, y1, BODY_LIGHT, BODY, radius=3)
        for n, (a, b) in enumerate(tabs):
            top = y0 + (3 if n == active else 5)
            fill = (lerp(BODY_LIGHT, WHITE, 0.25), BODY_LIGHT) if n == active else (BODY, BODY_DARK)
            self.vgradient(a, top, b, y1 + 3, fill[0], fill[1], radius=3)
            bar = INK if n == active else (150, 158, 168)
            self.rect(a + 6, (top + y1) / 2 - 1, b - 6, (top + y1) / 2 + 1.5, fill=bar, radius=1)
        self.rect(x0, y1, x1, y1 + 2, fill=BODY_LIGHT)

    # --- output --------------------------------------------------------------------

    def reduced(self):
        """The picture at its real size, straight (not premultiplied) colours."""
        return self.img.convert("RGBa").reduce(S).convert("RGBA")


def soft_shadow(img, dx=2, dy=3, blur=2.5, strength=0.35):
    """A blurred shadow of the picture's shape under it (at real size)."""
    w, h = img.size
    a = img.getchannel("A")
    sh = Image.new("L", (w, h), 0)
    sh.paste(a, (dx, dy))
    sh = sh.filter(ImageFilter.GaussianBlur(blur)).point(lambda v: int(v * strength))
    under = Image.new("RGBA", (w, h), SHADOW + (0,))
    under.putalpha(sh)
    under.alpha_composite(img)
    return under


def grey_palette_image(alpha):
    img = Image.new("P", alpha.size)
    img.putpalette([v for n in range(256) for v in (n, n, n)])
    img.putdata(list(alpha.getdata()))
    return img


def save_masked(img, name):
    """A colour GIF and its opacity GIF."""
    rgb = Image.new("RGB", img.size, SHADOW)
    rgb.paste(img.convert("RGB"), (0, 0), img.getchannel("A").point(lambda v: 255 if v else 0))
    rgb.quantize(colors=255, method=Image.MEDIANCUT).save(os.path.join(HERE, name + ".gif"))
    grey_palette_image(img.getchannel("A")).save(os.path.join(HERE, name + "-mask.gif"), optimize=False)


def save_plain(img, name):
    """A GIF flattened onto the paper, with the untouched background transparent."""
    flat = Image.new("RGBA", img.size, PAPER + (255,))
    flat.alpha_composite(img)
    pic = flat.convert("RGB").quantize(colors=255, method=Image.MEDIANCUT)
    pal = pic.getpalette()[: 255 * 3]
    pal += [0] * (255 * 3 - len(pal)) + list(PAPER)
    pic.putpalette(pal)
    clear = img.getchannel("A").point(lambda v: 255 if v < 6 else 0)
    pic.paste(255, (0, 0), clear)
    pic.save(os.path.join(HERE, name + ".gif"), transparency=255, optimize=False)


def save_png(img, name):
    img.save(os.path.join(HERE, name + ".png"), optimize=True)


# --- the note paper ---------------------------------------------------------------

PAPER_W = 312
TOP_H, MIDDLE_H, BOTTOM_H = 64, 20, 144


def bulb(c, cx, cy):
    """A lit light bulb left of the heading: a warm glow, rays, the glass, the screw."""
    glow = Image.new("L", c.img.size, 0)
    r = 15 * S
    ImageDraw.Draw(glow).ellipse([cx * S - r, cy * S - r, cx * S + r, cy * S + r], fill=255)
    glow = glow.filter(ImageFilter.GaussianBlur(4 * S)).point(lambda v: int(v * 0.55))
    layer = Image.new("RGBA", c.img.size, (255, 255, 236, 0))
    layer.putalpha(glow)
    c.img.alpha_composite(layer)
    for n in range(7):
        ang = math.radians(-180 + n * 30)
        c.line([(cx + math.cos(ang) * 16, cy + math.sin(ang) * 16), (cx + math.cos(ang) * 20.5, cy + math.sin(ang) * 20.5)],
               (232, 162, 36), 1.7)
    c.ellipse(cx - 12, cy - 12, cx + 12, cy + 12, fill=(255, 253, 232), outline=(214, 150, 30), width=1.4)
    c.ellipse(cx - 7.5, cy - 8, cx - 2, cy - 2.5, fill=WHITE)
    c.line([(cx - 4.5, cy + 4), (cx - 2.2, cy - 1.5), (cx, cy + 2.5), (cx + 2.2, cy - 1.5), (cx + 4.5, cy + 4)],
           (226, 140, 30), 1.2)
    c.line([(cx - 4.5, cy + 4), (cx - 4, cy + 10)], (150, 150, 150), 0.8)
    c.line([(cx + 4.5, cy + 4), (cx + 4, cy + 10)], (150, 150, 150), 0.8)
    c.rect(cx - 6.5, cy + 10, cx + 6.5, cy + 21, fill=(150, 156, 166), radius=2)
    for yy in (cy + 13, cy + 16.5):
        c.line([(cx - 6.5, yy), (cx + 6.5, yy)], (110, 116, 126), 1)
    c.rect(cx - 3, cy + 21, cx + 3, cy + 24, fill=(96, 100, 110), radius=1.5)


def paper():
    H = TOP_H + MIDDLE_H + BOTTOM_H
    c = Canvas(PAPER_W, H)
    left, top, right, bottom = 8, 6, 300, H - 10
    curl = 26
    outline = [(left, top), (right, top), (right, bottom - curl), (right - curl, bottom), (left, bottom)]
    # The shadow of the sheet, offset down and right and blurred.
    shape = Image.new("L", c.img.size, 0)
    ImageDraw.Draw(shape).polygon([(x * S, y * S) for x, y in outline], fill=255)
    shadow = Image.new("L", c.img.size, 0)
    shadow.paste(shape, (3 * S, 4 * S))
    shadow = shadow.filter(ImageFilter.GaussianBlur(3 * S)).point(lambda v: int(v * 0.5))
    layer = Image.new("RGBA", c.img.size, SHADOW + (0,))
    layer.putalpha(shadow)
    c.img.alpha_composite(layer)
    # The sheet, its edge, and the glue band at the top.
    c.polygon(outline, fill=PAPER)
    c.vgradient(left, top, right, top + 14, PAPER_BAND, PAPER)
    c.line(outline + [outline[0]], PAPER_EDGE, 1)
    # The curled corner: the flap shows the paler back of the sheet, with a
    # soft shade on the sheet under it.
    shade = Image.new("L", c.img.size, 0)
    ImageDraw.Draw(shade).polygon([((right - curl - 3) * S, (bottom - curl - 3) * S), ((right - curl) * S, bottom * S),
                                   (right * S, (bottom - curl) * S)], fill=255)
    shade = shade.filter(ImageFilter.GaussianBlur(2.5 * S)).point(lambda v: int(v * 0.45))
    shade = ImageChops.multiply(shade, shape)
    layer = Image.new("RGBA", c.img.size, SHADOW + (0,))
    layer.putalpha(shade)
    c.img.alpha_composite(layer)
    flap = [(right - curl, bottom), (right, bottom - curl), (right - curl + 2, bottom - curl + 2)]
    fw = Canvas(PAPER_W, H)
    fw.polygon(flap, fill=WHITE)
    grad = Image.new("RGBA", c.img.size, (0, 0, 0, 0))
    gd = ImageDraw.Draw(grad)
    x0, y0 = (right - curl) * S, (bottom - curl) * S
    for i in range(curl * S + 1):
        # Lighter along the fold, deeper toward the tip of the flap.
        t = i / (curl * S)
        gd.line([(x0, y0 + i), (x0 + curl * S, y0 + i)], fill=lerp((236, 214, 120), (255, 249, 214), t) + (255,))
    c.img.paste(grad, (0, 0), fw.img.getchannel("A"))
    c.line(flap + [flap[0]], PAPER_EDGE, 1)
    bulb(c, 36, 31)
    img = c.reduced()

    # One palette for all three pieces, so that they meet without a seam.
    rgb = Image.new("RGB", img.size, SHADOW)
    rgb.paste(img.convert("RGB"), (0, 0), img.getchannel("A").point(lambda v: 255 if v else 0))
    pal = rgb.quantize(colors=255, method=Image.MEDIANCUT)
    alpha = grey_palette_image(img.getchannel("A"))
    # The middle piece is taken from rows that are all alike.
    cuts = {"top": (0, TOP_H), "middle": (TOP_H, TOP_H + MIDDLE_H), "bottom": (TOP_H + MIDDLE_H, H)}
    for name, (a, b) in cuts.items():
        pal.crop((0, a, PAPER_W, b)).save(os.path.join(HERE, "tip-paper-%s.gif" % name), optimize=False)
        alpha.crop((0, a, PAPER_W, b)).save(os.path.join(HERE, "tip-paper-%s-mask.gif" % name), optimize=False)


# --- the tips' pictures ---------------------------------------------------------------


def icon_cut(c, x, y, s):
    c.line([(x + 1, y + 1), (x + s - 1, y + s - 1)], RED, 1.4)
    c.line([(x + s - 1, y + 1), (x + 1, y + s - 1)], RED, 1.4)


def icon_copy(c, x, y, s):
    c.rect(x, y, x + s * 0.7, y + s * 0.7, fill=WHITE, outline=ACCENT, width=1)
    c.rect(x + s * 0.3, y + s * 0.3, x + s, y + s, fill=WHITE, outline=ACCENT, width=1)


def icon_export(c, x, y, s):
    c.rect(x, y + 1, x + s * 0.65, y + s, fill=WHITE, outline=BODY_LIGHT, width=1)
    c.arrow([(x + s * 0.3, y + s * 0.55), (x + s + 0.5, y + s * 0.55)], GREEN, 1.3, 3.5)


def icon_props(c, x, y, s):
    c.ellipse(x + 0.5, y + 0.5, x + s - 0.5, y + s - 0.5, fill=GOLD, outline=FACE_LINE, width=1)
    c.ellipse(x + s * 0.35, y + s * 0.35, x + s * 0.65, y + s * 0.65, fill=WHITE)


def icon_rename(c, x, y, s):
    c.line([(x + 1, y + s - 1), (x + s - 1.5, y + 1.5)], (226, 150, 40), 2.2)
    c.line([(x + 0.5, y + s - 0.5), (x + 2, y + s - 2)], BODY_DARK, 1.2)


def icon_move(c, x, y, s):
    c.arrow([(x + s * 0.5, y + s * 0.5), (x + s + 0.5, y + s * 0.5)], ACCENT, 1.2, 3)
    c.arrow([(x + s * 0.5, y + s * 0.5), (x - 0.5, y + s * 0.5)], ACCENT, 1.2, 3)


def icon_remove(c, x, y, s):
    icon_cut(c, x + 1, y + 1, s - 2)


def icon_collection(c, x, y, s):
    c.rect(x, y + 1, x + s, y + s, fill=(250, 214, 110), outline=FACE_LINE, width=0.8, radius=1)
    c.rect(x, y, x + s * 0.45, y + 2, fill=(250, 214, 110), outline=FACE_LINE, width=0.8)


def icon_cancel(c, x, y, s):
    c.ellipse(x + 1, y + 1, x + s - 1, y + s - 1, outline=BODY_LIGHT, width=1.1)
    c.line([(x + 2.5, y + s - 2.5), (x + s - 2.5, y + 2.5)], BODY_LIGHT, 1.1)


def collections():
    """Tip 0 and the quick-open hint: the collections button at the left of
    the tabs, its list dropped down, one collection about to be chosen."""
    c = Canvas(176, 96)
    c.rect(4, 4, 170, 88, fill=FIELD, outline=BODY, width=1, radius=3)
    c.tabs(4, 4, 170, 24, [(34, 82), (84, 132)], 0)
    # The collections button.
    c.vgradient(8, 7, 29, 23, ACCENT_LIGHT, ACCENT, radius=3)
    for yy in (11, 14.5, 18):
        c.rect(12, yy, 21, yy + 1.6, fill=WHITE, radius=0.8)
    c.polygon([(22.5, 13), (27, 13), (24.75, 16)], fill=WHITE)
    # Smilies of the open field, right of the list.
    for n, mood in enumerate(["smile", "wink", "grin", "cool", "tongue", "smile"]):
        cx, cy = 122 + (n % 3) * 18, 38 + (n // 3) * 20
        c.smiley(cx, cy, 7, mood)
    # The list of collections.
    c.menu(8, 26, 92, [icon_collection] * 4, hot=1, row=14)
    c.cursor(70, 46)
    return soft_shadow(c.reduced())


def select_all():
    """Tip 1: Ctrl+A selects every smilie of the field."""
    c = Canvas(198, 66)

    def key(x0, label, w):
        c.rect(x0, 20, x0 + w, 50, fill=(176, 182, 192), radius=5)
        c.vgradient(x0 + 1.5, 21, x0 + w - 1.5, 45, (252, 252, 253), (226, 230, 236), radius=4)
        c.text(x0 + w / 2, 33, label, 10.5, BODY_DARK, bold=True, anchor="mm")

    key(4, "Ctrl", 40)
    c.text(52, 34, "+", 13, BODY, bold=True, anchor="mm")
    key(60, "A", 30)
    c.arrow([(98, 35), (114, 35)], ACCENT, 2.4, 7)
    c.field(122, 9, 3, 2, 24, ["smile", "wink", "grin", "cool", "tongue", "laugh"], selected=range(6))
    return soft_shadow(c.reduced(), strength=0.25)


def tray():
    """Tip 2: the icon in the notification area opens the smilies."""
    c = Canvas(176, 86)
    # The taskbar with its notification area.
    c.vgradient(2, 60, 174, 82, BODY_LIGHT, BODY_DARK, radius=3)
    for a, b in ((6, 44), (48, 86)):
        c.rect(a, 64, b, 78, fill=BODY, outline=BODY_DARK, width=1, radius=2)
        c.rect(a + 14, 69.5, b - 6, 72.5, fill=(150, 158, 168), radius=1)
        c.rect(a + 4, 67, a + 11, 75, fill=(150, 158, 168), radius=1)
    c.rect(100, 63, 171, 79, fill=BODY_DARK, radius=2)
    for n, col in enumerate(((120, 180, 120), (200, 200, 210))):
        c.ellipse(104 + n * 12, 67, 112 + n * 12, 75, fill=col)
    c.rect(151, 69, 168, 72.5, fill=(190, 196, 204), radius=1)
    # Our icon, hot under the pointer.
    c.rect(126.5, 64, 145.5, 78.5, fill=ACCENT_LIGHT, radius=3)
    c.smiley(136, 71.25, 6, "smile")
    # The window it opens.
    x0, y0, x1, y1 = c.window(54, 2, 150, 52)
    c.field(x0 + 4, y0 + 4, 4, 1, 21, ["smile", "grin", "wink", "cool"])
    c.rect(x0 + 3, y0 + 28, x1 - 3, y0 + 31, fill=GRID)
    c.arrow([(136, 61), (136, 55)], ACCENT, 1.6, 5)
    c.cursor(139, 73)
    return soft_shadow(c.reduced(), strength=0.25)


def insert():
    """Tip 4: a click on a smilie puts it into the window typed in last."""
    c = Canvas(196, 82)
    c.field(4, 20, 3, 2, 22, ["smile", "grin", "wink", "cool", "tongue", "laugh"], hot=1)
    x0, y0, x1, y1 = c.window(100, 4, 192, 78, title=(150, 158, 168), frame=(120, 128, 138), inside=WHITE)
    for n, w in enumerate((70, 58, 76, 34)):
        c.rect(x0 + 5, y0 + 7 + n * 12, x0 + 5 + w, y0 + 10 + n * 12, fill=TEXT_BAR, radius=1.5)
    c.smiley(x0 + 48, y0 + 44.5, 6, "grin")
    c.line([(x0 + 57, y0 + 38), (x0 + 57, y0 + 51)], BODY_DARK, 1)
    pts = [(37 + (x0 + 40 - 37) * t, 20 - 30 * math.sin(math.pi * t) + (y0 + 38 - 20) * t) for t in
           [i / 24 for i in range(25)]]
    c.arrow(pts, ACCENT, 2, 7)
    c.cursor(40, 34)
    return soft_shadow(c.reduced(), strength=0.25)


def field_code():
    """Tip 6: each field has its own smilie code, set in its properties."""
    c = Canvas(184, 80)
    c.tabs(2, 2, 120, 22, [(8, 62), (64, 114)], 0)
    c.cursor(36, 12)
    x0, y0, x1, y1 = c.window(24, 28, 182, 78, inside=(236, 239, 242))
    c.rect(x0 + 5, y0 + 5, x0 + 60, y0 + 8, fill=TEXT_BAR, radius=1.5)
    c.rect(x0 + 5, y0 + 14, x1 - 5, y1 - 5, fill=WHITE, outline=BODY_LIGHT, width=1)
    f = font(9, mono=True)
    x = x0 + 9
    c.text(x, y0 + 25.5, "[img]", 9, ACCENT, mono=True, anchor="lm")
    x += f.getlength("[img]") / S + 8
    c.smiley(x, y0 + 25.5, 6, "smile")
    c.text(x + 8, y0 + 25.5, "[/img]", 9, ACCENT, mono=True, anchor="lm")
    return soft_shadow(c.reduced(), strength=0.25)


def drag_in():
    """Tip 8: pictures dragged from the disk or a web page become smilies."""
    c = Canvas(196, 84)
    # A picture file and a web page.
    c.polygon([(6, 4), (30, 4), (38, 12), (38, 40), (6, 40)], fill=WHITE, outline=BODY_LIGHT)
    c.polygon([(30, 4), (30, 12), (38, 12)], fill=GRID, outline=BODY_LIGHT)
    c.smiley(22, 25, 9, "laugh")
    x0, y0, x1, y1 = c.window(4, 46, 62, 82, title=(150, 158, 168), frame=(120, 128, 138), inside=WHITE)
    c.rect(x0 + 3, y0 + 3, x1 - 3, y0 + 6, fill=TEXT_BAR, radius=1.5)
    c.smiley(x0 + 12, y0 + 15, 6, "cool")
    c.rect(x0 + 22, y0 + 13, x1 - 4, y0 + 16, fill=TEXT_BAR, radius=1.5)
    # Along the drag into an empty cell of the field.
    c.field(122, 12, 3, 3, 22, ["smile", "wink", None, "grin", None, "tongue", "cool", None, None], empty_hot=4)
    pts = [(44 + 98 * t, 24 - 20 * math.sin(math.pi * t) + 16 * t) for t in [i / 24 for i in range(25)]]
    c.arrow(pts, ACCENT, 1.8, 7, dashed=True)
    c.smiley(155, 45, 7, "laugh")
    c.cursor(157, 49)
    c.rect(168, 62, 176, 70, fill=WHITE, outline=BODY_DARK, width=0.8)
    c.line([(172, 63.5), (172, 68.5)], BODY_DARK, 1.2)
    c.line([(169.5, 66), (174.5, 66)], BODY_DARK, 1.2)
    return soft_shadow(c.reduced(), strength=0.25)


def context_menu():
    """Tip 10: a right click on a smilie opens its menu."""
    c = Canvas(176, 94)
    c.field(4, 6, 3, 3, 24, ["smile", "grin", "wink", "cool", "tongue", "laugh", "smile", "wink", "grin"],
            selected=[4])
    c.menu(52, 30, 104, [icon_cut, icon_copy, None, icon_export, icon_props], hot=1)
    c.cursor(40, 41)
    return soft_shadow(c.reduced(), strength=0.25)


def transparency():
    """Tip 12: the transparency slider lets the work show through the window."""
    c = Canvas(196, 88)
    c.rect(4, 4, 118, 84, fill=WHITE, outline=(150, 158, 168), width=1)
    for n in range(8):
        c.rect(10, 10 + n * 9, 112 - (n * 23) % 40, 13 + n * 9, fill=TEXT_BAR, radius=1.5)
    win = Canvas(196, 88)
    x0, y0, x1, y1 = win.window(62, 10, 190, 66)
    win.field(x0 + 5, y0 + 5, 5, 1, 22, ["smile", "grin", "wink", "cool", "tongue"])
    c.layer(win, 0.6)
    # The slider, at a little more than half.
    c.rect(70, 74, 182, 78, fill=(190, 196, 204), outline=BODY_LIGHT, width=0.8, radius=2)
    c.rect(70, 74, 134, 78, fill=ACCENT, radius=2)
    c.vgradient(129, 69, 140, 83, ACCENT_LIGHT, ACCENT, radius=3)
    c.rect(129, 69, 140, 83, outline=BODY_DARK, width=0.8, radius=3)
    return soft_shadow(c.reduced(), strength=0.25)


def cell_size():
    """Tip 14: dragging a cell's lower right corner sizes all cells."""
    c = Canvas(172, 80)
    c.field(4, 16, 2, 2, 24, ["smile", "wink", "grin", "cool"])
    c.rect(24.5, 36.5, 31.5, 43.5, fill=ACCENT, outline=WHITE, width=1)
    c.arrow([(31, 43), (42, 54)], ACCENT, 1.6, 5)
    c.cursor(30, 40, 0.9)
    c.arrow([(60, 41), (84, 41)], BODY_LIGHT, 2.4, 7)
    c.field(96, 4, 2, 2, 34, ["smile", "wink", "grin", "cool"])
    return soft_shadow(c.reduced(), strength=0.25)


def mouse(c, x, y, right=True):
    c.rect(x, y, x + 22, y + 34, fill=(236, 239, 242), outline=BODY_LIGHT, width=1, radius=10)
    c.line([(x + 11, y + 1), (x + 11, y + 13)], BODY_LIGHT, 1)
    c.line([(x + 1, y + 13), (x + 21, y + 13)], BODY_LIGHT, 1)
    c.d.pieslice(Canvas.box(x + 11.6, y + 0.6, x + 21.4, y + 22), 270, 360, fill=ACCENT)
    c.rect(x + 11.6, y + 10, x + 21.4, y + 12.4, fill=ACCENT)


def right_drag():
    """Tip 16: dragging with the right button asks whether to copy or move."""
    c = Canvas(196, 88)
    mouse(c, 4, 22)
    c.field(34, 10, 2, 2, 24, ["smile", None, "grin", "cool"])
    pts = [(64 + 54 * t, 20 - 10 * math.sin(math.pi * t) + 8 * t) for t in [i / 20 for i in range(21)]]
    c.arrow(pts, ACCENT, 1.8, 6.5, dashed=True)
    c.smiley(128, 26, 8, "wink")
    c.menu(120, 38, 72, [icon_copy, icon_move, None, icon_cancel], hot=0)
    return soft_shadow(c.reduced(), strength=0.25)


def big_picture():
    """Tip 18: the corner mark shifts a large picture inside its cell."""
    W, H = 172, 96
    big = Canvas(W, H)
    big.vgradient(20, 6, 140, 90, (150, 200, 240), (236, 244, 250), radius=4)
    big.ellipse(26, 56, 150, 120, fill=(112, 176, 96))
    big.smiley(98, 42, 26, "laugh")
    cell = (66, 18, 122, 74)
    inside = Image.new("L", big.img.size, 0)
    ImageDraw.Draw(inside).rectangle(Canvas.box(*cell), fill=255)
    ghost = big.img.getchannel("A").point(lambda v: int(v * 0.35))
    big.img.putalpha(ImageChops.lighter(ghost, ImageChops.multiply(big.img.getchannel("A"), inside)))
    c = Canvas(W, H)
    c.layer(big)
    c.rect(cell[0] - 1, cell[1] - 1, cell[2] + 1, cell[3] + 1, outline=BODY, width=1.5)
    c.polygon([(cell[2] - 10, cell[3]), (cell[2], cell[3]), (cell[2], cell[3] - 10)], fill=ACCENT)
    for dx, dy in ((1, 0), (-1, 0), (0, 1), (0, -1)):
        cx, cy = cell[2] + 14, cell[3] + 8
        c.arrow([(cx, cy), (cx + dx * 9, cy + dy * 9)], BODY_DARK, 1.3, 4)
    c.cursor(cell[2] - 3, cell[3] - 3)
    return soft_shadow(c.reduced())


def messenger():
    """Tip 20: smilies go into instant messengers as custom emoticons."""
    c = Canvas(176, 96)
    x0, y0, x1, y1 = c.window(4, 4, 138, 90, title=ACCENT, inside=WHITE)
    c.rect(x0 + 4, y0 + 5, x0 + 80, y0 + 21, fill=(232, 235, 239), radius=6)
    c.rect(x0 + 10, y0 + 11.5, x0 + 68, y0 + 14.5, fill=TEXT_BAR, radius=1.5)
    c.rect(x1 - 86, y0 + 27, x1 - 4, y0 + 47, fill=ACCENT_PALE, radius=6)
    c.rect(x1 - 80, y0 + 35.5, x1 - 42, y0 + 38.5, fill=(140, 170, 204), radius=1.5)
    c.smiley(x1 - 28, y0 + 37, 7, "grin")
    c.rect(x0 + 4, y1 - 20, x1 - 4, y1 - 4, fill=WHITE, outline=GRID, width=1)
    c.smiley(x1 - 14, y1 - 12, 5, "smile")
    c.smiley(160, 24, 11, "grin")
    pts = [(156 - 40 * t, 38 + 20 * math.sin(math.pi * t * 0.8) - 2 * t) for t in [i / 20 for i in range(21)]]
    c.arrow(pts, ACCENT, 2, 7)
    return soft_shadow(c.reduced())


def sort_by_use():
    """Tip 22: sorted by use, the favourites come first."""
    c = Canvas(172, 92)
    c.line([(6, 86), (166, 86)], BODY_LIGHT, 1.2)
    for n, (mood, h) in enumerate((("grin", 44), ("wink", 31), ("smile", 20), ("cool", 10))):
        x = 10 + n * 40
        c.rect(x, 4, x + 32, 36, fill=FIELD, outline=BODY, width=1, radius=2)
        c.smiley(x + 16, 20, 11, mood)
        c.vgradient(x + 6, 86 - h, x + 26, 86, ACCENT_LIGHT, ACCENT, radius=2)
    # A star on the favourite.
    cx, cy, r = 40, 6, 8
    pts = []
    for i in range(10):
        a = -math.pi / 2 + i * math.pi / 5
        rr = r if i % 2 == 0 else r * 0.45
        pts.append((cx + math.cos(a) * rr, cy + 1 + math.sin(a) * rr))
    c.polygon(pts, fill=GOLD)
    c.line(pts + [pts[0]], FACE_LINE, 0.8)
    return soft_shadow(c.reduced())


def tab_menu():
    """Tip 24: a right click on a tab: rename, duplicate, move, remove."""
    c = Canvas(180, 96)
    c.tabs(2, 4, 176, 26, [(8, 58), (60, 110), (112, 162)], 1)
    c.menu(76, 24, 94, [icon_rename, icon_copy, icon_move, None, icon_remove], hot=0)
    c.cursor(80, 14)
    return soft_shadow(c.reduced())


if __name__ == "__main__":
    paper()
    save_masked(collections(), "tip-collections")
    save_png(select_all(), "tip-select-all")
    save_plain(tray(), "tip-tray")
    save_plain(insert(), "tip-insert")
    save_plain(field_code(), "tip-field-code")
    save_plain(drag_in(), "tip-drag-in")
    save_plain(context_menu(), "tip-context-menu")
    save_plain(transparency(), "tip-transparency")
    save_plain(cell_size(), "tip-cell-size")
    save_plain(right_drag(), "tip-right-drag")
    save_masked(big_picture(), "tip-big-picture")
    save_masked(messenger(), "tip-messenger")
    save_masked(sort_by_use(), "tip-sort")
    save_masked(tab_menu(), "tip-tab-menu")
