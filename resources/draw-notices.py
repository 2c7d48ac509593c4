#!/usr/bin/python3
"""Draws the pictures of the notices about target programs into this folder.

  hiding-tray.bmp
      the corner of a taskbar with its notification area and the program's
      icon in it, as the hiding notice shows it when it cannot take a picture
      of the real notification area. Fully opaque: a bitmap static shows it.
  msn-size.png
      the messenger reminder's size rule: a smilie of 19 x 19 pixels beside a
      larger one that would be made smaller.
  msn-classic.png
      the classic emoticons collection: a tab of its own over a field of
      small round emoticons.

Drawn with the tip pictures' toolkit (draw-tip.py), four times larger and
reduced. Run with /usr/bin/python3 (Debian's, with python3-pil); writes beside
this script."""
import importlib.util
import os

from PIL import Image

HERE = os.path.dirname(os.path.abspath(__file__))
_found = importlib.util.spec_from_file_location("draw_tip", os.path.join(HERE, "draw-tip.py"))
tip = importlib.util.module_from_spec(_found)
_found.loader.exec_module(tip)
Canvas = tip.Canvas


def hiding_tray():
    c = Canvas(132, 30)
    c.vgradient(0, 0, 132, 30, tip.BODY_LIGHT, tip.BODY_DARK)
    c.rect(0, 0, 132, 1, fill=tip.lerp(tip.BODY_LIGHT, tip.WHITE, 0.3))
    # A button of another program at the left edge.
    c.rect(2, 5, 34, 25, fill=tip.BODY, outline=tip.BODY_DARK, width=1, radius=2)
    c.rect(6, 10, 13, 20, fill=(150, 158, 168), radius=1)
    c.rect(16, 13.5, 30, 16.5, fill=(150, 158, 168), radius=1)
    # The notification area: two icons of others, ours (lit), the clock.
    c.rect(44, 4, 130, 26, fill=tip.BODY_DARK, radius=2)
    for n, col in enumerate(((120, 180, 120), (200, 200, 210))):
        c.ellipse(49 + n * 14, 10, 59 + n * 14, 20, fill=col)
    c.rect(76.5, 5.5, 97.5, 24.5, fill=tip.ACCENT_LIGHT, radius=3)
    c.smiley(87, 15, 7.5, "smile")
    c.rect(103, 13, 126, 17, fill=(190, 196, 204), radius=1)
    return c.reduced()


def msn_size():
    c = Canvas(96, 48)
    # The fitting one: 19 x 19 with its measures.
    c.rect(8, 14, 27, 33, fill=tip.FIELD, outline=tip.GREEN, width=1)
    c.smiley(17.5, 23.5, 8, "smile")
    c.line([(8, 38), (27, 38)], tip.GREEN, 1)
    c.line([(8, 36), (8, 40)], tip.GREEN, 1)
    c.line([(27, 36), (27, 40)], tip.GREEN, 1)
    c.text(17.5, 41, "19", 6.5, tip.GREEN, bold=True, anchor="mt")
    # The large one, to be made smaller.
    c.rect(52, 4, 90, 42, fill=tip.FIELD, outline=tip.RED, width=1)
    c.smiley(71, 23, 16, "grin")
    c.arrow([(48, 23), (33, 23)], tip.ACCENT, 1.6, 5)
    return tip.soft_shadow(c.reduced(), strength=0.2)


def msn_classic():
    c = Canvas(112, 64)
    c.tabs(2, 2, 110, 18, [(6, 50), (52, 96)], 0)
    c.field(4, 22, 5, 2, 20, ["smile", "grin", "wink", "sad", "tongue", "cool", "laugh", "smile", "wink", "grin"])
    return tip.soft_shadow(c.reduced(), strength=0.2)


if __name__ == "__main__":
    hiding_tray().convert("RGB").save(os.path.join(HERE, "hiding-tray.bmp"))
    tip.save_png(msn_size(), "msn-size")
    tip.save_png(msn_classic(), "msn-classic")
