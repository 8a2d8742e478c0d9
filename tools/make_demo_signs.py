#!/usr/bin/python3
"""Writes the demo road signs into data/demo.

Needs the Debian package python3-pil. Run: /usr/bin/python3 tools/make_demo_signs.py

One drawing per turn type makes both forms of its sign, so that they look alike:
- ZARNSIGN.TXT: the sign scripts, drawn by the program in a 100 x 100 square (y up for lines
  and circles), each with its caption;
- RGI$<T>.BMP: the same drawing as a 64 x 64 picture (the guidance editor's turn pictures, and
  usable as a sign picture), drawn four times larger and reduced, 8-bit;
- RGI$<T>.TXT: the default message line of the turn type.
RGI$SCHO.BMP is the school warning sign the editor starts with.
"""

import math
import os

from PIL import Image, ImageDraw

TOP = os.path.dirname(os.path.dirname(os.path.abspath(__file__)))
OUT = os.path.join(TOP, "data", "demo")

BLUE = (0, 80, 180)
ROAD = (140, 180, 230)
WHITE = (255, 255, 255)
RED = (200, 20, 20)
BLACK = (0, 0, 0)

# Turn types in the editor's order: code, caption of the sign, default message line.
TURNS = [
    ("TL", "Turn left", "turn left"),
    ("TLT", "Turn left at the T junction", "turn left at the T junction"),
    ("TLX", "Turn left at the crossroads", "turn left at the crossroads"),
    ("TLR", "At the roundabout take the exit to the left", "at the roundabout turn left"),
    ("S", "Straight on", "keep straight on"),
    ("SX", "Straight on at the crossroads", "straight on at the crossroads"),
    ("SR", "Straight on at the roundabout", "at the roundabout go straight on"),
    ("TR", "Turn right", "turn right"),
    ("TRT", "Turn right at the T junction", "turn right at the T junction"),
    ("TRX", "Turn right at the crossroads", "turn right at the crossroads"),
    ("TRR", "At the roundabout take the exit to the right", "at the roundabout turn right"),
    ("B", "Roundabout ahead", "roundabout ahead"),
    ("BR", "Bear right", "bear right"),
]


def head(tip, frm):
    """The two strokes of an arrow head at tip, for a shaft coming from frm."""
    dx, dy = tip[0] - frm[0], tip[1] - frm[1]
    n = math.hypot(dx, dy)
    dx, dy = dx / n, dy / n
    back = (tip[0] - 14 * dx, tip[1] - 14 * dy)
    return [(tip, (back[0] - 11 * dy, back[1] + 11 * dx)), (tip, (back[0] + 11 * dy, back[1] - 11 * dx))]


def arrow(*pts):
    """A bent arrow along pts, its head at the last point: a list of strokes."""
    return list(zip(pts, pts[1:])) + head(pts[-1], pts[-2])


def drawing(code):
    """The sign as a list of (colour, width, kind, geometry): kind "line" ((x1, y1), (x2, y2)) or
    "circle" ((x, y), r), in the 100 x 100 square with y up; width in hundredths of the height."""
    mirror = code.startswith("TR")
    base = code.replace("TR", "TL") if mirror else code
    items = [(BLUE, 48, "circle", ((50, 50), 24))]  # a filled disc: a ring as wide as its radius
    roads, strokes, rings = [], [], []
    if base in ("TLT", "TLX", "SX"):
        roads.append(((14, 56), (86, 56)))
    if base in ("TLX", "SX"):
        roads.append(((50, 56), (50, 88)))
    if base == "TL":
        strokes = arrow((58, 14), (58, 56), (20, 56))
    elif base in ("TLT", "TLX"):
        strokes = arrow((50, 14), (50, 56), (18, 56))
    elif base in ("S", "SX"):
        strokes = arrow((50, 14), (50, 84))
    elif base in ("TLR", "SR"):
        rings.append(((50, 58), 12))
        strokes = [((50, 14), (50, 46))]
        strokes += arrow((38, 58), (16, 58)) if base == "TLR" else arrow((50, 70), (50, 90))
    elif base == "B":
        rings.append(((50, 50), 20))
        for a in (90, 210, 330):  # heads going round clockwise
            t = math.radians(a)
            tip = (50 + 20 * math.cos(t), 50 + 20 * math.sin(t))
            strokes += head(tip, (tip[0] - math.sin(t), tip[1] + math.cos(t)))
    elif base == "BR":
        strokes = arrow((42, 14), (42, 44), (72, 78))
    items += [(ROAD, 10, "line", r) for r in roads]
    items += [(WHITE, 6, "circle", r) for r in rings]
    items += [(WHITE, 8, "line", s) for s in strokes]
    if mirror:
        def flip(kind, g):
            if kind == "circle":
                return ((100 - g[0][0], g[0][1]), g[1])
            return ((100 - g[0][0], g[0][1]), (100 - g[1][0], g[1][1]))
        items = [(c, w, k, flip(k, g)) for c, w, k, g in items]
    return items


def num(v):
    v = round(v, 1)
    return str(int(v)) if v == int(v) else str(v)


def script(code, caption):
    lines = ['RGI$%s,"%s"' % (code, caption)]
    colour = width = None
    for c, w, kind, g in drawing(code):
        if c != colour:
            lines.append("COL,%d,%d,%d" % c)
            colour = c
        if w != width:
            lines.append("W,%d" % w)
            width = w
        if kind == "line":
            lines.append("L," + ",".join(num(v) for v in g[0] + g[1]))
        else:
            lines.append("C,%s,%s,%s" % (num(g[0][0]), num(g[0][1]), num(g[1])))
    lines.append("END")
    return lines


def picture(items, name, size=64, scale=4):
    n = size * scale
    im = Image.new("RGB", (n, n), WHITE)
    d = ImageDraw.Draw(im)

    def at(x, y):
        return (x * n / 100, (100 - y) * n / 100)
    for c, w, kind, g in items:
        pw = w * n / 100
        if kind == "line":
            a, b = at(*g[0]), at(*g[1])
            d.line([a, b], fill=c, width=round(pw))
            for p in (a, b):  # round ends, as the program's pen has
                d.ellipse((p[0] - pw / 2, p[1] - pw / 2, p[0] + pw / 2, p[1] + pw / 2), fill=c)
        else:
            (cx, cy), r = at(*g[0]), g[1] * n / 100
            d.ellipse((cx - r - pw / 2, cy - r - pw / 2, cx + r + pw / 2, cy + r + pw / 2), fill=c)
            if r > pw / 2:  # a ring's hole shows the disc it is drawn on
                d.ellipse((cx - r + pw / 2, cy - r + pw / 2, cx + r - pw / 2, cy + r - pw / 2), fill=items[0][0])
    save(im, name, size)


def save(im, name, size):
    """Reduced to its size and to 32 colours, 8-bit; the flat colours keep their exact values."""
    im = im.resize((size, size), Image.Resampling.LANCZOS)
    im = im.quantize(colors=32, method=Image.Quantize.MEDIANCUT, dither=Image.Dither.NONE)
    pal = im.getpalette()
    for i in range(0, len(pal), 3):
        for c in (WHITE, BLUE, ROAD, RED, BLACK):
            if sum(abs(a - b) for a, b in zip(pal[i:i + 3], c)) <= 12:
                pal[i:i + 3] = c
    im.putpalette(pal)
    im.save(os.path.join(OUT, name))


def school(name, size=64, scale=4):
    """A red warning triangle with two children walking."""
    n = size * scale
    im = Image.new("RGB", (n, n), WHITE)
    d = ImageDraw.Draw(im)

    def p(*xy):
        return [v * n / 100 for v in xy]
    d.polygon(p(50, 6, 96, 88, 4, 88), fill=RED)
    d.polygon(p(50, 22, 82, 80, 18, 80), fill=WHITE)
    for x, h in ((40, 1.0), (58, 0.8)):  # an older and a younger child
        top = 78 - 34 * h
        d.ellipse(p(x - 4 * h, top - 8 * h, x + 4 * h, top), fill=BLACK)
        d.line(p(x, top, x, top + 16 * h), fill=BLACK, width=round(5 * n / 100))
        d.line(p(x, top + 16 * h, x - 6 * h, 78, x, top + 16 * h, x + 6 * h, 78), fill=BLACK,
               width=round(4 * n / 100))
        d.line(p(x - 7 * h, top + 12 * h, x, top + 4 * h, x + 7 * h, top + 12 * h), fill=BLACK,
               width=round(3 * n / 100))
    save(im, name, size)


def main():
    os.makedirs(OUT, exist_ok=True)
    lines = []
    for code, caption, message in TURNS:
        lines += script(code, caption)
        picture(drawing(code), "RGI$%s.BMP" % code)
        with open(os.path.join(OUT, "RGI$%s.TXT" % code), "wb") as f:
            f.write((message + "\r\n").encode("latin-1"))
    lines.append("FINISH")
    with open(os.path.join(OUT, "ZARNSIGN.TXT"), "wb") as f:
        f.write(("\r\n".join(lines) + "\r\n").encode("latin-1"))
    school("RGI$SCHO.BMP")


if __name__ == "__main__":
    main()
