#!/usr/bin/python3
"""Draws the instruments window's panel picture INSTRUPA.BMP (320 x 240) into data/demo.

Needs the Debian packages python3-pil and fonts-dejavu-core.
Run: /usr/bin/python3 tools/make_demo_instruments.py

The window's needles turn about fixed points, so the dials are drawn about the same points
(pixels; the window keeps them in twips, 15 to the pixel):
  destination dial (80.13, 76.8): rings where the destination circle stands at 0, 1 and 4 km,
      the twelve clock positions, the car pointing up (the needle is relative to the heading);
  speed dial (240, 77): 0 to 120 clockwise from straight down, one turn for 120;
  compass (160, 178): north up, for the heading needle.
Needles are 60 pixels long. Drawn three times larger and reduced, then written as an 8-bit
palette BMP. The needle colours (pure red, yellow, green, cyan) are kept out of the picture, so
that a needle can always be told from the panel.
"""

import math
import os

from PIL import Image, ImageDraw, ImageFont

TOP = os.path.dirname(os.path.dirname(os.path.abspath(__file__)))
OUT = os.path.join(TOP, "data", "demo", "INSTRUPA.BMP")
FONT = "/usr/share/fonts/truetype/dejavu/DejaVuSans-Bold.ttf"

S = 3                    # drawing scale
W, H = 320, 240
PANEL = (32, 40, 48)     # the window's background colour behind the read-outs
FACE = (12, 16, 22)
RIM = (150, 158, 170)
INK = (232, 232, 226)
DIM = (110, 118, 130)
ACCENT = (250, 160, 40)
NORTH = (220, 70, 60)
NEEDLES = {(255, 0, 0), (255, 255, 0), (0, 255, 0), (0, 255, 255)}

DEST = (1202 / 15, 1152 / 15)
SPEED = (240, 77)
COMPASS = (160, 178)
CIRCLE = 2045 / 15 / 2   # radius of the destination circle at the destination


def font(px):
    try:
        return ImageFont.truetype(FONT, size=round(px * S))
    except OSError:
        return ImageFont.load_default()


def at(c, r, deg):
    """The point r pixels from c at deg clockwise from up, in drawing pixels."""
    a = math.radians(deg)
    return ((c[0] + r * math.sin(a)) * S, (c[1] - r * math.cos(a)) * S)


def disc(d, c, r, **kw):
    d.ellipse([(c[0] - r) * S, (c[1] - r) * S, (c[0] + r) * S, (c[1] + r) * S], **kw)


def tick(d, c, r1, r2, deg, colour, width):
    d.line([at(c, r1, deg), at(c, r2, deg)], fill=colour, width=round(width * S))


def text(d, xy, s, size, colour):
    f = font(size)
    l, t, r, b = d.textbbox((0, 0), s, font=f)
    d.text((xy[0] * S - (l + r) / 2, xy[1] * S - (t + b) / 2), s, font=f, fill=colour)


def destination(d):
    c = DEST
    disc(d, c, CIRCLE + 1, fill=FACE, outline=RIM, width=S)
    for km in (1, 4):
        disc(d, c, CIRCLE / (km + 1), outline=DIM, width=S)
    for k in range(12):
        tick(d, c, CIRCLE - 7, CIRCLE - 1, 30 * k, INK if k % 3 == 0 else DIM, 1.5)
    text(d, (c[0] + CIRCLE / 2 + 6, c[1] + 3), "1km", 6, DIM)
    # The car at the centre, nose up.
    d.polygon([at(c, 7, 0), at(c, 6, 140), at(c, 2, 180), at(c, 6, 220)], fill=ACCENT)
    text(d, (c[0], c[1] - 40), "DEST", 7, DIM)


def speed(d):
    c = SPEED
    disc(d, c, 68, fill=FACE, outline=RIM, width=S)
    for v in range(0, 120, 5):
        deg = 180 + 3 * v                       # 0 straight down, clockwise, 120 a full turn
        major = v % 10 == 0
        tick(d, c, 55 if major else 60, 66, deg, ACCENT if major else INK, 2 if major else 1)
        if v % 20 == 0:
            x, y = at(c, 44, deg)
            text(d, (x / S, y / S), str(v), 9, INK)
    text(d, (c[0], c[1] - 18), "SPEED", 7, DIM)


def compass(d):
    c = COMPASS
    disc(d, c, 60, fill=FACE, outline=RIM, width=S)
    for deg in range(0, 360, 10):
        major = deg % 30 == 0
        tick(d, c, 52 if major else 56, 59, deg, INK if major else DIM, 1.5 if major else 1)
    for deg, s in ((0, "N"), (90, "E"), (180, "S"), (270, "W")):
        p = at(c, 43, deg)
        text(d, (p[0] / S, p[1] / S), s, 10, NORTH if s == "N" else INK)
    text(d, (c[0], c[1] - 86), "HDG", 7, DIM)


def main():
    im = Image.new("RGB", (W * S, H * S), PANEL)
    d = ImageDraw.Draw(im)
    destination(d)
    speed(d)
    compass(d)
    im = im.resize((W, H), Image.Resampling.LANCZOS)
    pal = im.quantize(colors=64, method=Image.Quantize.MEDIANCUT, dither=Image.Dither.NONE)
    colours = pal.getpalette()[:3 * 64]
    for i in range(0, len(colours), 3):
        if tuple(colours[i:i + 3]) in NEEDLES:
            colours[i + 2] = colours[i + 2] ^ 1  # one step off a needle colour
    pal.putpalette(colours)
    pal.save(OUT, "BMP")


if __name__ == "__main__":
    main()
