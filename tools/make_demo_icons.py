#!/usr/bin/python3
"""Draws the demo icons (32 x 32 .ICO files) into data/demo.

Needs the Debian package python3-pil. Run: /usr/bin/python3 tools/make_demo_icons.py

Every icon is placed by the program with its centre on the point it marks, so each picture is
drawn about pixel (16, 16). Pictures are drawn four times larger and reduced, for smooth edges,
and written as classic Windows icons: 32-bit colour with alpha plus the 1-bit mask.
"""

import math
import os
import struct

from PIL import Image, ImageDraw, ImageFont

TOP = os.path.dirname(os.path.dirname(os.path.abspath(__file__)))
OUT = os.path.join(TOP, "data", "demo")
BOLD = "/usr/share/fonts/opentype/urw-base35/NimbusSans-Bold.otf"

S = 4           # drawing scale
N = 32 * S      # drawing size


def canvas():
    im = Image.new("RGBA", (N, N), (0, 0, 0, 0))
    return im, ImageDraw.Draw(im)


def p(*xy):
    """Icon pixels to drawing pixels."""
    return [v * S for v in xy]


def write_ico(im, name):
    """A one-image .ICO: BITMAPINFOHEADER, bottom-up BGRA rows, then the AND mask."""
    im = im.resize((32, 32), Image.Resampling.LANCZOS)
    px = im.load()
    rows, mask = b"", b""
    for y in range(31, -1, -1):
        bits = 0
        for x in range(32):
            r, g, b, a = px[x, y]
            rows += bytes((b, g, r, a))
            if a < 128:
                bits |= 1 << (31 - x)
        mask += struct.pack(">I", bits)
    header = struct.pack("<IiiHHIIiiII", 40, 32, 64, 1, 32, 0, len(rows) + len(mask), 0, 0, 0, 0)
    image = header + rows + mask
    data = struct.pack("<HHH", 0, 1, 1)
    data += struct.pack("<BBBBHHII", 32, 32, 0, 0, 1, 32, len(image), 6 + 16)
    with open(os.path.join(OUT, name), "wb") as f:
        f.write(data + image)


def car(body, name):
    """A car seen from the side, its middle on the centre."""
    im, d = canvas()
    d.rounded_rectangle(p(3, 13, 29, 22), radius=3 * S, fill=body, outline="white", width=S)
    d.polygon(p(9, 13, 12, 7, 21, 7, 25, 13), fill=body, outline="white")
    d.polygon(p(11, 12.5, 13, 8.5, 16, 8.5, 16, 12.5), fill=(200, 230, 255, 255))
    d.polygon(p(17, 12.5, 17, 8.5, 20.5, 8.5, 23, 12.5), fill=(200, 230, 255, 255))
    for cx in (9, 23):
        d.ellipse(p(cx - 3.5, 18.5, cx + 3.5, 25.5), fill=(30, 30, 30, 255), outline="white",
                  width=S)
        d.ellipse(p(cx - 1.2, 20.8, cx + 1.2, 23.2), fill=(180, 180, 180, 255))
    write_ico(im, name)


def lorry(name):
    im, d = canvas()
    d.rectangle(p(2, 8, 20, 22), fill=(40, 140, 60, 255), outline="white", width=S)
    d.polygon(p(20, 12, 26, 12, 30, 17, 30, 22, 20, 22), fill=(40, 140, 60, 255),
              outline="white")
    d.polygon(p(22, 13.5, 25.5, 13.5, 28, 17, 22, 17), fill=(200, 230, 255, 255))
    for cx in (7, 24):
        d.ellipse(p(cx - 3.5, 19, cx + 3.5, 26), fill=(30, 30, 30, 255), outline="white",
                  width=S)
    write_ico(im, name)


def ring(colour, name, dot=True):
    im, d = canvas()
    d.ellipse(p(4, 4, 28, 28), outline="white", width=6 * S)
    d.ellipse(p(4, 4, 28, 28), outline=colour, width=4 * S)
    if dot:
        d.ellipse(p(13, 13, 19, 19), fill=colour, outline="white", width=S)
    write_ico(im, name)


def arrow(k):
    """VECTRk: an arrow from the centre, pointing 22.5 k degrees clockwise from window up."""
    im, d = canvas()
    a = math.radians(22.5 * k)

    def at(fwd, side):
        # fwd along the heading, side to its right, from the centre
        x = 16 + fwd * math.sin(a) + side * math.cos(a)
        y = 16 - fwd * math.cos(a) + side * math.sin(a)
        return (x * S, y * S)
    shape = [at(15, 0), at(5, 7), at(7, 2.5), at(-4, 2.5), at(-4, -2.5), at(7, -2.5), at(5, -7)]
    d.polygon(shape, fill=(20, 20, 20, 255))
    inner = [at(13, 0), at(6.5, 4.8), at(8.3, 1.3), at(-2.7, 1.3), at(-2.7, -1.3),
             at(8.3, -1.3), at(6.5, -4.8)]
    d.polygon(inner, fill=(255, 220, 40, 255))
    write_ico(im, "VECTR%d.ICO" % k)


def flag(name):
    """Destination: a chequered flag whose pole stands on the centre."""
    im, d = canvas()
    d.rectangle(p(15, 3, 17, 17), fill=(40, 40, 40, 255))
    d.ellipse(p(13, 14, 19, 20), fill=(200, 20, 20, 255), outline="white", width=S)
    d.rectangle(p(17, 3, 29, 12), fill="white", outline=(40, 40, 40, 255), width=S)
    for i in range(4):
        for j in range(3):
            if (i + j) % 2 == 0:
                d.rectangle(p(17 + 3 * i, 3 + 3 * j, 20 + 3 * i, 6 + 3 * j), fill=(20, 20, 20))
    write_ico(im, name)


def house(name):
    im, d = canvas()
    d.polygon(p(3, 16, 16, 4, 29, 16), fill=(30, 80, 180, 255), outline="white")
    d.rectangle(p(7, 15, 25, 28), fill=(250, 245, 230, 255), outline=(30, 30, 30, 255), width=S)
    d.rectangle(p(14, 19, 18, 28), fill=(120, 70, 30, 255))
    d.rectangle(p(9, 18, 12, 21), fill=(120, 180, 230, 255))
    d.rectangle(p(20, 18, 23, 21), fill=(120, 180, 230, 255))
    write_ico(im, name)


def badge(text, colour, name, shape="circle"):
    """A symbol family: a coloured badge with its letters."""
    im, d = canvas()
    box = p(3, 3, 29, 29)
    if shape == "circle":
        d.ellipse(box, fill=colour, outline="white", width=2 * S)
    elif shape == "square":
        d.rounded_rectangle(box, radius=4 * S, fill=colour, outline="white", width=2 * S)
    else:
        d.polygon(p(16, 2, 30, 16, 16, 30, 2, 16), fill=colour, outline="white")
    f = ImageFont.truetype(BOLD, size=(14 if len(text) == 1 else 11) * S)
    l, t, r, b = d.textbbox((0, 0), text, font=f)
    d.text((N / 2 - (l + r) / 2, N / 2 - (t + b) / 2), text, font=f, fill="white")
    write_ico(im, name)


def pump(name):
    """Filling station."""
    im, d = canvas()
    d.rounded_rectangle(p(2, 2, 30, 30), radius=5 * S, fill=(230, 110, 20, 255), outline="white",
                        width=2 * S)
    d.rectangle(p(8, 7, 19, 26), fill="white")
    d.rectangle(p(10, 9, 17, 14), fill=(230, 110, 20, 255))
    d.line(p(19, 12, 23, 12, 23, 22, 25, 22, 25, 10), fill="white", width=2 * S)
    write_ico(im, name)


def pin(colour, name):
    """A map pin whose point is on the centre."""
    im, d = canvas()
    d.polygon(p(10, 9, 22, 9, 16, 16), fill=colour, outline="white")
    d.ellipse(p(9, 1, 23, 15), fill=colour, outline="white", width=S)
    d.ellipse(p(13.5, 5.5, 18.5, 10.5), fill="white")
    write_ico(im, name)


def town(name):
    """Population centre: a group of houses."""
    im, d = canvas()
    d.ellipse(p(1, 1, 31, 31), fill=(255, 255, 255, 200))
    for x, y, h in ((5, 14, 9), (13, 9, 14), (21, 12, 11)):
        d.rectangle(p(x, y, x + 7, y + h), fill=(170, 20, 20, 255), outline=(60, 0, 0, 255),
                    width=S // 2)
    d.rectangle(p(4, 23, 28, 25), fill=(60, 60, 60, 255))
    write_ico(im, name)


def waypoint(fill, name, ringed=False):
    im, d = canvas()
    if ringed:
        d.ellipse(p(1, 1, 31, 31), outline=(255, 140, 0, 255), width=3 * S)
    d.polygon(p(16, 5, 27, 16, 16, 27, 5, 16), fill=fill, outline="white")
    d.polygon(p(16, 11, 21, 16, 16, 21, 11, 16), fill="white")
    write_ico(im, name)


def blank(name):
    im, _ = canvas()
    write_ico(im, name)


def main():
    os.makedirs(OUT, exist_ok=True)
    car((200, 20, 20, 255), "CARICON0.ICO")
    car((30, 80, 200, 255), "CARICON1.ICO")
    lorry("CARICON2.ICO")
    car((240, 150, 0, 255), "$MV$.ICO")  # the remote vehicles of a base station
    ring((200, 20, 20, 255), "CARICON3.ICO")
    blank("NULLICON.ICO")
    for k in range(16):
        arrow(k)
    flag("DESTI.ICO")
    ring((230, 0, 160, 255), "LCIRCLE.ICO", dot=False)
    house("HOME.ICO")
    pump("$FS.ICO")
    badge("E", (200, 30, 30, 255), "$E.ICO", "square")
    badge("S", (30, 120, 60, 255), "$S.ICO", "circle")
    pin((200, 30, 30, 255), "$L.ICO")
    town("$LPOP.ICO")
    waypoint((30, 90, 200, 255), "WP.ICO")
    waypoint((255, 140, 0, 255), "WPNEXT.ICO", ringed=True)


if __name__ == "__main__":
    main()
