#!/usr/bin/python3
"""Draws the about box's picture as a pair of GIFs: a colour picture and an
opacity picture whose grey level (its blue component) is the opacity of the
colour pixel at the same place, so that the picture lies smoothly on the
dialog's skinned body whatever its colours.

  about-picture.gif / about-picture-mask.gif
      the program's emblem, a smiling face, beside its name "Tarvenex"
      underlined in the Standard skin's accent blue.

Run with /usr/bin/python3 (Debian's, with python3-pil and the DejaVu fonts);
writes beside this script."""
import math
import os

from PIL import Image, ImageChops, ImageDraw, ImageFilter, ImageFont

HERE = os.path.dirname(os.path.abspath(__file__))
FONT = "/usr/share/fonts/truetype/dejavu/DejaVuSans-Bold.ttf"

WIDTH, HEIGHT = 260, 72
SCALE = 6  # drawn large, then reduced: smooth edges in the opacity picture

# The Standard skin: its body, its text and its accent; the face in the warm
# amber of the message box's notice sign.
BODY = (70, 80, 92)
INK = (236, 240, 244)
ACCENT = (59, 130, 196)
FACE_LIGHT, FACE_DARK = (255, 226, 120), (232, 150, 34)
FACE_RIM = (150, 88, 20)
FEATURES = (74, 44, 16)


def s(v):
    return int(round(v * SCALE))


def layer():
    return Image.new("RGBA", (WIDTH * SCALE, HEIGHT * SCALE), (0, 0, 0, 0))


def shaded_disc(box, light, dark):
    """A disc lit from the upper left: a radial ramp from light to dark."""
    x0, y0, x1, y1 = box
    w, h = x1 - x0, y1 - y0
    ramp = Image.new("RGBA", (w, h))
    px = ramp.load()
    cx, cy = w * 0.36, h * 0.30
    reach = (w * w + h * h) ** 0.5 * 0.62
    for y in range(h):
        for x in range(w):
            t = min(1.0, ((x - cx) ** 2 + (y - cy) ** 2) ** 0.5 / reach)
            t = t * t * (3 - 2 * t)
            px[x, y] = tuple(round(a + (b - a) * t) for a, b in zip(light, dark)) + (255,)
    mask = Image.new("L", (w, h), 0)
    ImageDraw.Draw(mask).ellipse((0, 0, w - 1, h - 1), fill=255)
    out = layer()
    out.paste(ramp, (x0, y0), mask)
    return out


def emblem(img):
    m = 4
    d = 64
    box = (s(m), s(m), s(m + d), s(m + d))
    # A soft shadow below the face lifts it off the body.
    shadow = layer()
    ImageDraw.Draw(shadow).ellipse((box[0] + s(1), box[1] + s(2.5), box[2] + s(1), box[3] + s(2.5)),
                                   fill=(10, 14, 20, 150))
    shadow = shadow.filter(ImageFilter.GaussianBlur(s(1.6)))
    img.alpha_composite(shadow)
    # The rim, then the lit face inside it.
    rim = layer()
    ImageDraw.Draw(rim).ellipse(box, fill=FACE_RIM + (255,))
    img.alpha_composite(rim)
    inset = s(2)
    img.alpha_composite(shaded_disc((box[0] + inset, box[1] + inset, box[2] - inset, box[3] - inset),
                                    FACE_LIGHT, FACE_DARK))
    # A gloss on the upper left.
    gloss = layer()
    ImageDraw.Draw(gloss).ellipse((s(m + 12), s(m + 5), s(m + 34), s(m + 15)), fill=(255, 255, 255, 90))
    img.alpha_composite(gloss.filter(ImageFilter.GaussianBlur(s(2))))
    # Eyes and smile.
    f = layer()
    fd = ImageDraw.Draw(f)
    cx = m + d / 2
    for ex in (cx - 10, cx + 10):
        fd.ellipse((s(ex - 4), s(m + 18), s(ex + 4), s(m + 32)), fill=FEATURES + (255,))
        fd.ellipse((s(ex - 2), s(m + 20), s(ex + 0.5), s(m + 24)), fill=(255, 255, 255, 200))
    w = s(4.4)
    fd.arc((s(cx - 20), s(m + 18), s(cx + 20), s(m + 52)), start=28, end=152, fill=FEATURES + (255,), width=w)
    # Round ends on the smile.
    for ang in (28, 152):
        rx, ry = 20 - 2.2, (52 - 18) / 2 - 2.2
        px = cx + rx * math.cos(math.radians(ang))
        py = m + 35 + ry * math.sin(math.radians(ang))
        r = 2.2
        fd.ellipse((s(px - r), s(py - r), s(px + r), s(py + r)), fill=FEATURES + (255,))
    img.alpha_composite(f)


def name(img):
    font = ImageFont.truetype(FONT, s(33))
    text = "Tarvenex"
    x, y = s(82), s(10)
    d = ImageDraw.Draw(img)
    left, top, right, bottom = d.textbbox((x, y), text, font=font)
    assert right <= s(WIDTH - 2), "the name does not fit: %d" % (right / SCALE)
    shadow = layer()
    ImageDraw.Draw(shadow).text((x + s(1), y + s(1.5)), text, font=font, fill=(10, 14, 20, 170))
    img.alpha_composite(shadow.filter(ImageFilter.GaussianBlur(s(1))))
    ImageDraw.Draw(img).text((x, y), text, font=font, fill=INK + (255,))
    # The accent underline, rounded at both ends.
    bar = layer()
    ImageDraw.Draw(bar).rounded_rectangle((left + s(1), s(56), right, s(60)), radius=s(2), fill=ACCENT + (255,))
    img.alpha_composite(bar)


def save_pair(big, stem):
    small = big.convert("RGBa").resize((WIDTH, HEIGHT), Image.LANCZOS).convert("RGBA")
    r, g, b, a = small.split()
    # Where nothing shows, the colour is the body's: the palette stays for
    # the picture's own colours and no stray colour can show at an edge.
    body = Image.new("RGB", small.size, BODY)
    colour = Image.composite(Image.merge("RGB", (r, g, b)), body, a.point(lambda v: 255 if v else 0))
    colour.convert("P", palette=Image.ADAPTIVE, colors=255).save(os.path.join(HERE, stem + ".gif"))
    grey = Image.new("P", small.size)
    grey.putpalette([v for n in range(256) for v in (n, n, n)])
    grey.putdata(list(a.getdata()))
    grey.save(os.path.join(HERE, stem + "-mask.gif"))
    # With ABOUT_PREVIEW_DIR set, a look at the pair on the body colour.
    if os.environ.get("ABOUT_PREVIEW_DIR"):
        preview = Image.composite(colour, body, a)
        preview.save(os.path.join(os.environ["ABOUT_PREVIEW_DIR"], stem + "-preview.png"))


def main():
    img = layer()
    emblem(img)
    name(img)
    save_pair(img, "about-picture")


if __name__ == "__main__":
    main()
