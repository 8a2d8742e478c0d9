#!/usr/bin/python3
"""Renders the demo map set in data/demo from public data.

Needs these Debian packages (only to regenerate the set; users and CI need none of them):
    gmt gmt-gshhg gmt-dcw ghostscript python3-numpy python3-pil
and, for tools/verify_demo_maps.py, proj-bin.

Run it with Debian's own interpreter:  /usr/bin/python3 tools/make_demo_maps.py
It writes the map pictures (.BMP), their descriptions (.DES), rights notices (.CPR), the tile
directory, MAPS.DIR, MAPS.CCC and the place file ZARN.WAW. It never touches *.WAV files.

How the calibration is kept exact: GMT is used only to read coastlines, lakes, rivers and
borders (GSHHG, DCW) and to draw. Every vertex is carried into picture pixels here, with the
very conversions the program applies to a GPS fix (tools/zgeo.py), and drawn on a plain linear
pixel frame. So a description's reference points say truly where each pixel is.

Pixel convention: pixel column c, row r (rows counted down from the top) has its centre at the
position the description gives for (c, r).
"""

import csv
import math
import os
import shutil
import subprocess
import sys
import tempfile

import numpy as np
from PIL import Image, ImageDraw, ImageFont

sys.dont_write_bytecode = True
sys.path.insert(0, os.path.dirname(os.path.abspath(__file__)))
import zgeo  # noqa: E402

TOP = os.path.dirname(os.path.dirname(os.path.abspath(__file__)))
OUT = os.path.join(TOP, "data", "demo")
TESTDATA = os.path.join(TOP, "tests", "data")
DRIVE = os.path.join(TESTDATA, "nmea", "drive", "cheshire-2020-10-26.nmea")
PLACES = os.path.join(TESTDATA, "places", "gb-ie-places.csv")
FONTS = "/usr/share/fonts/opentype/urw-base35/"

# Colours (RGB).
SEA = (170, 207, 226)
LAND = (244, 241, 232)
FOREIGN = (226, 223, 214)
COAST = "60/110/170"
RIVER = "80/140/215"
BORDER = "150/60/150"
GRIDC = "70/100/200"
GRIDFAINT = "150/170/225"
TOWNFILL = "170/20/20"
OUTLINE = "90/90/90"

DPI = 100.0
PT = 72.0 / DPI  # points per pixel


# ---- source data ------------------------------------------------------------------------------

def read_track():
    """Latitude/longitude of every valid RMC fix of the drive, in order."""
    pts = []
    with open(DRIVE, encoding="ascii", errors="replace") as f:
        for line in f:
            fld = line.strip().split(",")
            if fld[0] != "$GPRMC" or len(fld) < 7 or fld[2] != "A":
                continue
            lat = int(fld[3][:2]) + float(fld[3][2:]) / 60
            lon = int(fld[5][:3]) + float(fld[5][3:]) / 60
            if fld[4] == "S":
                lat = -lat
            if fld[6] == "W":
                lon = -lon
            if not pts or pts[-1] != (lat, lon):
                pts.append((lat, lon))
    return pts


# GeoNames gives some Irish towns only their Irish names; the map and the spoken reports use
# the names English-speaking users know them by.
ENGLISH_NAMES = {"Luimneach": "Limerick", "Gaillimh": "Galway", "Loch Garman": "Wexford",
                 "Droichead Nua": "Newbridge", "Cluain Meala": "Clonmel",
                 "An Muileann gCearr": "Mullingar", "An Ros": "Rush", "Tr\u00e1 Mh\u00f3r": "Tramore",
                 "Cill Airne": "Killarney", "R\u00e1th Luirc": "Charleville",
                 "Londonderry County Borough": "Londonderry"}


def latin1(name):
    name = ENGLISH_NAMES.get(name, name)
    name = name.replace("\u2019", "'").replace("\u2018", "'")
    return name.encode("latin-1", "replace").decode("latin-1")


def read_places():
    out = []
    with open(PLACES, encoding="utf-8") as f:
        for r in csv.DictReader(f):
            out.append({"name": latin1(r["name"]), "country": r["country"],
                        "lat": float(r["lat"]), "lon": float(r["lon"]),
                        "pop": int(r["population"] or 0)})
    return out


# ---- pictures ---------------------------------------------------------------------------------

class Picture:
    """One picture: how a latitude/longitude lands on its pixels, and the other way round.

    kind "uk": linear in national-grid km (program series), "irish": linear in Irish grid km,
    "ll": linear in latitude and longitude. (x0, y0) is the position of the centre of the
    bottom-left pixel (column 0, last row); s the size of a pixel (km or, for "ll", degrees
    (sx, sy)). rot is the heading-up sector 0..7 of a rotated copy.
    """

    def __init__(self, name, kind, width, height, x0, y0, s, rot=0):
        self.name, self.kind, self.w, self.h = name, kind, width, height
        self.x0, self.y0, self.s, self.rot = x0, y0, s, rot

    def sx(self):
        return self.s[0] if self.kind == "ll" else self.s

    def sy(self):
        return self.s[1] if self.kind == "ll" else self.s

    def frame(self, lat, lon):
        if self.kind == "uk":
            return zgeo.ukseries(lat, lon)
        if self.kind == "irish":
            return zgeo.lltoirish(lat, lon)
        return lon, lat

    def unframe(self, x, y):
        if self.kind == "uk":
            return zgeo.uktoll(x, y)
        if self.kind == "irish":
            return zgeo.irishtoll(x, y)
        return y, x

    def frame_to_pix(self, x, y):
        c = (np.asarray(x) - self.x0) / self.sx()
        r = (self.h - 1) - (np.asarray(y) - self.y0) / self.sy()
        if self.rot:
            # the program's world-to-window turn: about window pixel (320, 240), by minus the angle
            a = -math.radians(45 * self.rot)
            c, r = (320 + (c - 320) * math.cos(a) - (r - 240) * math.sin(a),
                    240 + (r - 240) * math.cos(a) + (c - 320) * math.sin(a))
        return c, r

    def pix_to_frame(self, c, r):
        c = np.asarray(c, dtype=float)
        r = np.asarray(r, dtype=float)
        if self.rot:
            a = math.radians(45 * self.rot)
            c, r = (320 + (c - 320) * math.cos(a) - (r - 240) * math.sin(a),
                    240 + (r - 240) * math.cos(a) + (c - 320) * math.sin(a))
        return self.x0 + c * self.sx(), self.y0 + ((self.h - 1) - r) * self.sy()

    def ll_to_pix(self, lat, lon):
        x, y = self.frame(np.asarray(lat, dtype=float), np.asarray(lon, dtype=float))
        return self.frame_to_pix(x, y)

    def pix_to_ll(self, c, r):
        return self.unframe(*self.pix_to_frame(c, r))

    def llbox(self, margin=0.05):
        """Latitude/longitude box holding the picture (border pixels and a margin)."""
        c = np.concatenate([np.linspace(0, self.w - 1, 60), np.full(60, self.w - 1.0),
                            np.linspace(0, self.w - 1, 60), np.zeros(60)])
        r = np.concatenate([np.zeros(60), np.linspace(0, self.h - 1, 60),
                            np.full(60, self.h - 1.0), np.linspace(0, self.h - 1, 60)])
        lat, lon = self.pix_to_ll(c, r)
        return (float(lon.min()) - margin, float(lon.max()) + margin,
                float(lat.min()) - margin, float(lat.max()) + margin)

    def gmtxy(self, c, r):
        """GMT plotting coordinates of pixel positions (origin bottom-left, pixel centres +0.5)."""
        return np.asarray(c) + 0.5, self.h - (np.asarray(r) + 0.5)


# ---- GMT helpers --------------------------------------------------------------------------------

def run(cmd, **kw):
    res = subprocess.run(cmd, capture_output=True, text=True, **kw)
    if res.returncode != 0:
        raise RuntimeError("%s failed: %s" % (cmd[:3], res.stderr))
    return res.stdout


def coast_segments(box, res, what):
    """Multi-segment dump of GSHHG features: list of (level, Nx2 lon/lat array)."""
    w, e, s, n = box
    text = run(["gmt", "coast", "-R%.5f/%.5f/%.5f/%.5f" % (w, e, s, n), "-D" + res, what, "-M"])
    segs, cur, level = [], [], 0
    for line in text.splitlines():
        if line.startswith(">"):
            if len(cur) > 1:
                segs.append((level, np.array(cur)))
            cur = []
            level = int(line.rsplit("Level", 1)[1]) if "Level" in line else 0
            continue
        p = line.split()
        if len(p) >= 2:
            cur.append((float(p[0]), float(p[1])))
    if len(cur) > 1:
        segs.append((level, np.array(cur)))
    return segs


def dcw_polygons(codes):
    text = run(["gmt", "coast", "-E" + ",".join(codes), "-M"])
    polys, cur = [], []
    for line in text.splitlines():
        if line.startswith(">"):
            if len(cur) > 2:
                polys.append(np.array(cur))
            cur = []
            continue
        p = line.split()
        if len(p) >= 2:
            cur.append((float(p[0]), float(p[1])))
    if len(cur) > 2:
        polys.append(np.array(cur))
    return polys


def landmask(box, step, tmp):
    """GSHHG land mask on a lon/lat grid: 0 water (sea or lake), 1 land; with its geometry."""
    w, e, s, n = box
    nc = os.path.join(tmp, "mask.nc")
    run(["gmt", "grdlandmask", "-R%.5f/%.5f/%.5f/%.5f" % (w, e, s, n), "-I%.7f" % step, "-r",
         "-Df", "-N0/1/0/1/0", "-G" + nc])
    info = run(["gmt", "grdinfo", "-C", nc]).split()
    x0, x1, y0, y1 = (float(v) for v in info[1:5])
    nx, ny = int(info[9]), int(info[10])
    raw = subprocess.run(["gmt", "grd2xyz", nc, "-ZTLc"], capture_output=True, check=True)
    grid = np.frombuffer(raw.stdout, dtype=np.int8).astype(np.float32).reshape(ny, nx)
    return grid, x0, x1, y0, y1


# ---- drawing list ---------------------------------------------------------------------------------

class Canvas:
    """What will be drawn on one picture, in pixel coordinates, and the labels already placed."""

    def __init__(self, pic):
        self.pic = pic
        self.lines = {}   # pen -> list of Nx2 arrays of (c, r)
        self.order = []
        self.polys = []   # (fill, pen, Nx2)
        self.dots = []    # (c, r, diameter px, fill, pen)
        self.texts = []   # (c, r, (font, halo font), justify, text)
        self.undertexts = []  # faint lettering drawn beneath everything else
        self.boxes = []   # placed label boxes (c0, r0, c1, r1)
        self.later = []   # names of areas and outlines, placed after the towns
        self.roadboxes = []  # the drawn road, which labels keep off

    def line(self, pen, pts):
        if pen not in self.lines:
            self.lines[pen] = []
            self.order.append(pen)
        self.lines[pen].append(np.asarray(pts, dtype=float))

    def free(self, box, labels=True):
        """Whether a box is clear of what was placed; a label must also keep off the road."""
        c0, r0, c1, r1 = box
        if c0 < 1 or r0 < 1 or c1 > self.pic.w - 2 or r1 > self.pic.h - 2:
            return False
        for b in self.boxes + (self.roadboxes if labels else []):
            if c0 < b[2] and b[0] < c1 and r0 < b[3] and b[1] < r1:
                return False
        return True


_fontcache = {}


def textsize(text, size_pt, bold=False):
    key = (size_pt, bold)
    if key not in _fontcache:
        f = FONTS + ("NimbusSans-Bold.otf" if bold else "NimbusSans-Regular.otf")
        _fontcache[key] = ImageFont.truetype(f, size=max(1, round(size_pt / PT)))
    l, t, r, b = _fontcache[key].getbbox(text)
    return r - l, size_pt / PT * 0.75  # width, cap height in pixels


def font(size_pt, bold=False, colour="black", halo=True, italic=False):
    """GMT font of a label and, for a haloed one, the font of the white halo drawn first."""
    face = "Helvetica-Bold" if bold else ("Helvetica-Oblique" if italic else "Helvetica")
    f = "%gp,%s,%s" % (size_pt, face, colour)
    h = "%gp,%s,white=%gp,white" % (size_pt, face, max(1.5, size_pt * 0.3)) if halo else None
    return f, h


def place_label(cv, c, r, text, size_pt, bold=False, gap=4.0, where=("ML", "MR", "BC", "TC"),
                colour="black", avoid=()):
    """Puts a label beside a point where it overlaps nothing (and, if it can, none of the
    boxes to avoid); returns whether it was placed."""
    w, h = textsize(text, size_pt, bold)
    pad = 1.5
    options = []
    for j in where:
        if j == "ML":
            box, ac, ar = (c + gap, r - h / 2, c + gap + w, r + h / 2), c + gap, r
        elif j == "MR":
            box, ac, ar = (c - gap - w, r - h / 2, c - gap, r + h / 2), c - gap, r
        elif j == "BC":
            box, ac, ar = (c - w / 2, r - gap - h, c + w / 2, r - gap), c, r - gap
        elif j == "TC":
            box, ac, ar = (c - w / 2, r + gap, c + w / 2, r + gap + h), c, r + gap
        else:
            box, ac, ar = (c - w / 2, r - h / 2, c + w / 2, r + h / 2), c, r
        box = (box[0] - pad, box[1] - pad, box[2] + pad, box[3] + pad)
        if cv.free(box):
            options.append((any(overlaps(box, b) for b in avoid), box, ac, ar, j))
    if not options:
        return False
    _, box, ac, ar, j = min(options, key=lambda o: o[0])
    cv.boxes.append(box)
    cv.texts.append((ac, ar, font(size_pt, bold, colour), j, text))
    return True


def overlaps(a, b):
    return a[0] < b[2] and b[0] < a[2] and a[1] < b[3] and b[1] < a[3]


# ---- features ---------------------------------------------------------------------------------

def add_gshhg(cv, res, river_levels=4, scale=1.0):
    """Coast and lake shores, rivers up to a level (1 major .. 4 minor) and national borders."""
    pic = cv.pic
    box = pic.llbox(0.1)
    for level, seg in coast_segments(box, res, "-Ir"):
        if level <= river_levels:
            pen = "%gp,%s" % ({1: 1.2, 2: 1.0, 3: 0.8}.get(level, 0.7) * scale, RIVER)
            cv.line(pen, np.column_stack(pic.ll_to_pix(seg[:, 1], seg[:, 0])))
    coast_pen = "%gp,%s" % (0.9 * scale, COAST)
    for level, seg in coast_segments(box, res, "-W"):
        cv.line(coast_pen, np.column_stack(pic.ll_to_pix(seg[:, 1], seg[:, 0])))
    for level, seg in coast_segments(box, res, "-N1"):
        cv.line("1.3p,%s,-" % BORDER, np.column_stack(pic.ll_to_pix(seg[:, 1], seg[:, 0])))


def clip_line(p0, p1, w, h):
    """Part of the infinite line through p0 and p1 inside the picture, or None."""
    (x0, y0), (x1, y1) = p0, p1
    dx, dy = x1 - x0, y1 - y0
    t0, t1 = -1e9, 1e9
    for p, q in ((-dx, x0), (dx, (w - 1) - x0), (-dy, y0), (dy, (h - 1) - y0)):
        if abs(p) < 1e-12:
            if q < 0:
                return None
            continue
        t = q / p
        if p < 0:
            t0 = max(t0, t)
        else:
            t1 = min(t1, t)
    if t0 > t1:
        return None
    return (x0 + t0 * dx, y0 + t0 * dy), (x0 + t1 * dx, y0 + t1 * dy)


def edge_anchor(pt, w, h):
    """Where and how to write a label for a line ending at border point pt."""
    c, r = pt
    d = {"top": r, "bottom": (h - 1) - r, "left": c, "right": (w - 1) - c}
    side = min(d, key=d.get)
    return {"top": (c, 3, "TC"), "bottom": (c, h - 4, "BC"), "left": (3, r, "ML"),
            "right": (w - 4, r, "MR")}[side]


def edge_label(cv, pt, text, size_pt, colour):
    c, r, j = edge_anchor(pt, cv.pic.w, cv.pic.h)
    tw, th = textsize(text, size_pt)
    if j == "TC":
        box = (c - tw / 2, r, c + tw / 2, r + th)
    elif j == "BC":
        box = (c - tw / 2, r - th, c + tw / 2, r)
    elif j == "ML":
        box = (c, r - th / 2, c + tw, r + th / 2)
    else:
        box = (c - tw, r - th / 2, c, r + th / 2)
    box = (box[0] - 2, box[1] - 2, box[2] + 2, box[3] + 2)
    if any(overlaps(box, b) for b in cv.boxes + cv.roadboxes):
        return
    cv.boxes.append(box)
    cv.texts.append((c, r, font(size_pt, False, colour), j, text))


def add_grid(cv, spacing, strong, label_every, label_fmt, size_pt, interior=None):
    """Straight grid lines of the picture's own frame every `spacing` units.

    Lines on multiples of `strong` are drawn darker; every line on a multiple of `label_every`
    is written at the picture edge (eastings at the top end, northings at the left end), and
    with `interior` also along the line every `interior` units.
    """
    pic = cv.pic
    fx, fy = pic.pix_to_frame(np.array([0, pic.w - 1, 0, pic.w - 1]),
                              np.array([0, 0, pic.h - 1, pic.h - 1]))
    xmin, xmax, ymin, ymax = fx.min(), fx.max(), fy.min(), fy.max()
    for axis in (0, 1):
        lo, hi = (xmin, xmax) if axis == 0 else (ymin, ymax)
        k0 = int(math.floor(lo / spacing))
        k1 = int(math.ceil(hi / spacing))
        for k in range(k0, k1 + 1):
            v = k * spacing
            if axis == 0:
                a, b = pic.frame_to_pix([v, v], [ymin - 1, ymax + 1])
            else:
                a, b = pic.frame_to_pix([xmin - 1, xmax + 1], [v, v])
            seg = clip_line((a[0], b[0]), (a[1], b[1]), pic.w, pic.h)
            if seg is None:
                continue
            is_strong = strong and abs(v / strong - round(v / strong)) < 1e-9
            pen = ("0.9p,%s" % GRIDC) if is_strong else ("0.5p,%s" % GRIDFAINT)
            cv.line(pen, [seg[0], seg[1]])
            if label_every and abs(v / label_every - round(v / label_every)) < 1e-9:
                text = label_fmt(v, axis)
                # eastings at the upper end, northings at the left end
                end = min(seg, key=lambda p: p[1]) if axis == 0 else min(seg, key=lambda p: p[0])
                edge_label(cv, end, text, size_pt, GRIDC)
                if interior:
                    olo, ohi = (ymin, ymax) if axis == 0 else (xmin, xmax)
                    j0 = int(math.floor(olo / interior))
                    for j in range(j0, int(math.ceil(ohi / interior)) + 1):
                        # eastings a quarter of the way along, northings three quarters,
                        # so that the two kinds never meet
                        o = j * interior + interior * (0.25 if axis == 0 else 0.75)
                        px, py = pic.frame_to_pix(v if axis == 0 else o, o if axis == 0 else v)
                        place_label(cv, float(px), float(py), text, size_pt, where=("CM",),
                                    colour=GRIDC)


def add_square_letters(cv, squares, size_pt, big):
    """Letters of each 100 km square: large and faint at its centre, or small in the top-left
    corner of the part of it that the picture shows."""
    pic = cv.pic
    if big:
        for code, ox, oy in squares:
            c, r = pic.frame_to_pix(ox + 50, oy + 50)
            c, r = float(c), float(r)
            if 20 < c < pic.w - 20 and 20 < r < pic.h - 20:
                cv.undertexts.append((c, r, font(size_pt, True, "200/210/235", halo=False),
                                      "CM", code.strip()))
        return
    cs, rs = np.meshgrid(np.arange(4, pic.w - 4, 8.0), np.arange(4, pic.h - 4, 8.0))
    x, y = pic.pix_to_frame(cs.ravel(), rs.ravel())
    for code, ox, oy in squares:
        inside = (x >= ox) & (x < ox + 100) & (y >= oy) & (y < oy + 100)
        if not inside.any():
            continue
        k = np.argmin(np.where(inside, cs.ravel() + rs.ravel(), 1e9))
        c, r = float(cs.ravel()[k]), float(rs.ravel()[k])
        w, h = textsize(code, size_pt, True)
        box = (c - 2, r - 2, c + w + 4, r + h + 4)
        cv.boxes.append(box)
        cv.texts.append((c + 1, r + 1, font(size_pt, True, GRIDC), "TL", code.strip()))


def add_towns(cv, places, classes, limit_box=None):
    """Town dots and names, the largest places first; a place whose name finds no room is
    left out altogether. A name is kept off the dots of the towns still to come, so that a
    large town's name does not hide a smaller town that has room of its own.
    classes: list of (minimum population, dot px, font pt, bold)."""
    pic = cv.pic
    lat = np.array([p["lat"] for p in places])
    lon = np.array([p["lon"] for p in places])
    c, r = pic.ll_to_pix(lat, lon)
    cands = []
    for i in sorted(range(len(places)), key=lambda i: -places[i]["pop"]):
        ci, ri = float(c[i]), float(r[i])
        if not (6 <= ci <= pic.w - 7 and 6 <= ri <= pic.h - 7):
            continue
        if limit_box and not limit_box(places[i]):
            continue
        cls = next((k for k in classes if places[i]["pop"] >= k[0]), None)
        if cls is None:
            continue
        dot = cls[1]
        cands.append((i, ci, ri, cls, (ci - dot / 2 - 1, ri - dot / 2 - 1,
                                       ci + dot / 2 + 1, ri + dot / 2 + 1)))
    drawn = []
    for n, (i, ci, ri, (_, dot, size, bold), dbox) in enumerate(cands):
        if not cv.free(dbox, labels=False):
            continue
        cv.boxes.append(dbox)
        ahead = [k[4] for k in cands[n + 1:n + 200]]
        if place_label(cv, ci, ri, places[i]["name"], size, bold, gap=dot / 2 + 2.5,
                       avoid=ahead):
            cv.dots.append((ci, ri, dot, TOWNFILL, "0.5p,white"))
            drawn.append(places[i])
        else:
            cv.boxes.pop()
    return drawn


def track_obstacles(cv, track, casing_px):
    """Keeps labels off the drawn road."""
    lat = np.array([p[0] for p in track])
    lon = np.array([p[1] for p in track])
    c, r = cv.pic.ll_to_pix(lat, lon)
    half = casing_px / 2 + 1
    last = None
    for ci, ri in zip(c, r):
        if last and abs(ci - last[0]) < half and abs(ri - last[1]) < half:
            continue
        last = (ci, ri)
        cv.roadboxes.append((ci - half, ri - half, ci + half, ri + half))


def add_track(cv, track, casing_px, fill_px):
    lat = np.array([p[0] for p in track])
    lon = np.array([p[1] for p in track])
    pts = np.column_stack(cv.pic.ll_to_pix(lat, lon))
    cv.line("%gp,110/70/30" % (casing_px * PT), pts)
    cv.line("%gp,255/205/70" % (fill_px * PT), pts)


def add_outline(cv, other, title):
    """The edge of a more detailed map, so a user sees where it begins."""
    pic = cv.pic
    c = np.concatenate([np.linspace(0, other.w - 1, 50), np.full(50, other.w - 1.0),
                        np.linspace(other.w - 1, 0, 50), np.zeros(50)])
    r = np.concatenate([np.zeros(50), np.linspace(0, other.h - 1, 50),
                        np.full(50, other.h - 1.0), np.linspace(other.h - 1, 0, 50)])
    lat, lon = other.pix_to_ll(c, r)
    pc, pr = pic.ll_to_pix(lat, lon)
    cv.line("0.9p,%s,4_2:0" % OUTLINE, np.column_stack([pc, pr]))
    # named once the towns have their places, where there is room left
    cv.later.append((float(pc[0]) + 3, float(pr[0]) + 7, title, 7, OUTLINE, ("ML",)))


def add_later_labels(cv):
    """Names of areas, seas and outlines: after the towns, wherever room is left."""
    for c, r, text, size, colour, where in cv.later:
        place_label(cv, c, r, text, size, where=where, gap=0, colour=colour)


def add_north_arrow(cv):
    pic = cv.pic
    # grid north, turned the way the picture is turned
    a = -math.radians(45 * pic.rot)
    dc, dr = math.sin(a), -math.cos(a)
    cx, cy, L = pic.w - 26, 26, 14
    tip = (cx + dc * L, cy + dr * L)
    tail = (cx - dc * L, cy - dr * L)
    cv.line("1.6p,40/40/40", [tail, tip])
    nx, ny = -dr, dc
    head = [tip, (tip[0] - dc * 7 + nx * 4, tip[1] - dr * 7 + ny * 4),
            (tip[0] - dc * 7 - nx * 4, tip[1] - dr * 7 - ny * 4), tip]
    cv.polys.append(("40/40/40", "0.5p,40/40/40", np.array(head)))
    cv.texts.append((tip[0] + dc * 8, tip[1] + dr * 8, font(8, True), "CM", "N"))
    cv.boxes.append((cx - 22, cy - 22, cx + 22, cy + 22))


# ---- rendering --------------------------------------------------------------------------------

def background(pic, tmp, step, supersample=2, home=None):
    """Land, sea and lake colours of every pixel, sampled from the GSHHG land mask."""
    box = pic.llbox(0.02)
    grid, gx0, gx1, gy0, gy1 = landmask(box, step, tmp)
    ny, nx = grid.shape
    # positions of a coarse lattice, then bilinear within it (the map is smooth)
    k = 8
    lc = np.arange(-k, pic.w + 2 * k, k, dtype=float)
    lr = np.arange(-k, pic.h + 2 * k, k, dtype=float)
    LC, LR = np.meshgrid(lc, lr)
    llat, llon = pic.pix_to_ll(LC.ravel(), LR.ravel())
    llat = llat.reshape(LC.shape)
    llon = llon.reshape(LC.shape)
    acc = np.zeros((pic.h, pic.w), dtype=np.float32)
    homeacc = np.zeros((pic.h, pic.w), dtype=np.float32) if home is not None else None
    n = supersample
    for i in range(n):
        for j in range(n):
            rr = np.arange(pic.h, dtype=float) + (i + 0.5) / n - 0.5
            cc = np.arange(pic.w, dtype=float) + (j + 0.5) / n - 0.5
            C, R = np.meshgrid(cc, rr)
            fi = (R - lr[0]) / k
            fj = (C - lc[0]) / k
            i0 = np.clip(np.floor(fi).astype(int), 0, len(lr) - 2)
            j0 = np.clip(np.floor(fj).astype(int), 0, len(lc) - 2)
            ti, tj = fi - i0, fj - j0

            def bil(a):
                return ((a[i0, j0] * (1 - tj) + a[i0, j0 + 1] * tj) * (1 - ti)
                        + (a[i0 + 1, j0] * (1 - tj) + a[i0 + 1, j0 + 1] * tj) * ti)
            lat, lon = bil(llat), bil(llon)
            gi = np.clip(((gy1 - lat) / (gy1 - gy0) * ny).astype(int), 0, ny - 1)
            gj = np.clip(((lon - gx0) / (gx1 - gx0) * nx).astype(int), 0, nx - 1)
            acc += grid[gi, gj]
            if home is not None:
                hi = np.clip(((home[2] - lat) / (home[2] - home[1]) * home[0].shape[0])
                             .astype(int), 0, home[0].shape[0] - 1)
                hj = np.clip(((lon - home[3]) / (home[4] - home[3]) * home[0].shape[1])
                             .astype(int), 0, home[0].shape[1] - 1)
                homeacc += home[0][hi, hj]
    land = (acc / (n * n))[:, :, None]
    landcol = np.array(LAND, dtype=np.float32)
    if home is not None:
        hf = np.clip(homeacc / (n * n), 0, 1)[:, :, None]
        landcol = hf * np.array(LAND, np.float32) + (1 - hf) * np.array(FOREIGN, np.float32)
    rgb = land * landcol + (1 - land) * np.array(SEA, dtype=np.float32)
    return rgb


def home_mask(codes, box, cells_per_degree=60):
    """Raster (lat/lon) of the countries whose land is drawn in the home colour."""
    w, e, s, n = box
    W = int((e - w) * cells_per_degree)
    H = int((n - s) * cells_per_degree)
    img = Image.new("L", (W, H), 0)
    d = ImageDraw.Draw(img)
    for poly in dcw_polygons(codes):
        xy = [((lo - w) * cells_per_degree, (n - la) * cells_per_degree) for lo, la in poly]
        d.polygon(xy, fill=1)
    from PIL import ImageFilter
    img = img.filter(ImageFilter.MaxFilter(5))
    return (np.array(img, dtype=np.float32), s, n, w, e)


def draw(cv, tmp):
    """Runs GMT over the drawing list; returns an RGBA array of the overlay."""
    pic = cv.pic
    W, H = pic.w, pic.h
    ps = os.path.join(tmp, "overlay.ps")
    common = ["-R0/%d/0/%d" % (W, H), "-JX%gi/%gi" % (W / DPI, H / DPI), "-Ve"]
    steps = []

    def textstep(items, which, name):
        f = os.path.join(tmp, name)
        with open(f, "w", encoding="latin-1", errors="replace") as out:
            for c, r, fnt, j, text in items:
                if fnt[which] is None:
                    continue
                u, v = pic.gmtxy(c, r)
                out.write("%.3f %.3f %s %s %s\n" % (u, v, fnt[which], j, text))
        steps.append(["gmt", "pstext", f, "-F+f+j"])

    if cv.undertexts:
        textstep(cv.undertexts, 0, "under.txt")
    for pen in cv.order:
        f = os.path.join(tmp, "l%d.txt" % len(steps))
        with open(f, "w") as out:
            for seg in cv.lines[pen]:
                u, v = pic.gmtxy(seg[:, 0], seg[:, 1])
                out.write(">\n")
                for a, b in zip(u, v):
                    out.write("%.3f %.3f\n" % (a, b))
        steps.append(["gmt", "psxy", f, "-W" + pen])
    for fill, pen, poly in cv.polys:
        f = os.path.join(tmp, "p%d.txt" % len(steps))
        u, v = pic.gmtxy(poly[:, 0], poly[:, 1])
        with open(f, "w") as out:
            for a, b in zip(u, v):
                out.write("%.3f %.3f\n" % (a, b))
        steps.append(["gmt", "psxy", f, "-G" + fill, "-W" + pen, "-L"])
    # halos first, then the town dots over them, then the lettering
    if any(t[2][1] for t in cv.texts):
        textstep(cv.texts, 1, "halos.txt")
    if cv.dots:
        f = os.path.join(tmp, "dots.txt")
        with open(f, "w") as out:
            for c, r, d, fill, pen in cv.dots:
                u, v = pic.gmtxy(c, r)
                out.write("%.3f %.3f %.4f\n" % (u, v, d / DPI))
        steps.append(["gmt", "psxy", f, "-Sci", "-G" + TOWNFILL, "-W0.5p,white"])
    if cv.texts:
        textstep(cv.texts, 0, "texts.txt")
    if not steps:
        steps.append(["gmt", "psxy", "-T"])
    with open(ps, "wb") as out:
        for i, cmd in enumerate(steps):
            extra = common[:]
            if i == 0:
                extra += ["-X0", "-Y0", "--PS_MEDIA=%gix%gi" % (W / DPI, H / DPI),
                          "--PS_PAGE_ORIENTATION=portrait"]
            else:
                extra += ["-O"]
            if i < len(steps) - 1:
                extra += ["-K"]
            res = subprocess.run(cmd + extra, capture_output=True)
            if res.returncode != 0:
                raise RuntimeError(res.stderr.decode())
            out.write(res.stdout)
    run(["gmt", "psconvert", ps, "-TG", "-E%d" % DPI, "-Qg4", "-Qt4", "-D" + tmp,
         "-Foverlay"])
    im = Image.open(os.path.join(tmp, "overlay.png")).convert("RGBA")
    if im.size != (W, H):
        raise RuntimeError("overlay is %s, not %dx%d" % (im.size, W, H))
    return np.array(im, dtype=np.float32)


def compose(bg, ov):
    a = ov[:, :, 3:4] / 255.0
    rgb = ov[:, :, :3] * a + bg * (1 - a)
    return Image.fromarray(np.clip(rgb + 0.5, 0, 255).astype(np.uint8), "RGB")


def save_bmp8(img, path):
    """8-bit palette BMP: a quarter of the size of a true-colour one."""
    q = img.quantize(colors=256, method=Image.Quantize.MEDIANCUT, dither=Image.Dither.NONE)
    q.save(path, format="BMP")


# ---- the set ---------------------------------------------------------------------------------

def crlf(path, lines, encoding="latin-1"):
    with open(path, "wb") as f:
        for line in lines:
            f.write(line.encode(encoding) + b"\r\n")


def uk_des(pic, title, places="ZARN.WAW"):
    """Grid description with its reference points on the corner pixels, so both readings of
    the description (the catalogue's and the loader's) give the same bounds."""
    e1, n1 = pic.x0, pic.y0
    e2, n2 = pic.x0 + (pic.w - 1) * pic.s, pic.y0 + (pic.h - 1) * pic.s
    return [title, pic.name,
            "%s, 0, %d" % (zgeo.ukgridtext(e1, n1), pic.h - 1),
            "%s, 0, 0" % zgeo.ukgridtext(e1, n2),
            "%s, %d, %d" % (zgeo.ukgridtext(e2, n1), pic.w - 1, pic.h - 1),
            places]


def irish_des(pic, title, p1, p2, places="ZARN.WAW"):
    """Irish-grid description; p1 (lower left) and p2 (upper right) are whole pixels whose
    Irish grid positions lie inside the letter squares."""
    def at(c, r):
        return pic.x0 + c * pic.s, pic.y0 + ((pic.h - 1) - r) * pic.s
    e1, n1 = at(*p1)
    e2, n2 = at(*p2)
    return [title, pic.name,
            "%s, %d, %d" % (zgeo.irishtext(e1, n1), p1[0], p1[1]),
            "%s, %d, %d" % (zgeo.irishtext(e1, n2), p1[0], p2[1]),
            "%s, %d, %d" % (zgeo.irishtext(e2, n1), p2[0], p1[1]),
            places]


def compact(lat, lon):
    """Fifteen-character latitude/longitude of a corner that lies on whole hundredths of a
    minute, written exactly (the program's own writer cuts rather than rounds)."""
    def part(v, width):
        h = int(round(abs(v) * 6000))
        if abs(h - abs(v) * 6000) > 1e-6:
            raise ValueError("corner %r is not on a hundredth of a minute" % v)
        return "%0*d%02d%02d" % (width, h // 6000, h % 6000 // 100, h % 100)
    return part(lat, 2) + ("S" if lat < 0 else "N") + part(lon, 3) + ("W" if lon < 0 else "E")


def ll_des(pic, title, places="ZARN.WAW"):
    """Latitude/longitude description with its references on the corner pixels."""
    lat1, lon1 = pic.y0, pic.x0
    lat2 = pic.y0 + (pic.h - 1) * pic.s[1]
    lon2 = pic.x0 + (pic.w - 1) * pic.s[0]
    return [title, pic.name, "LL, %d, %d" % (pic.w, pic.h),
            "%s, 0, %d" % (compact(lat1, lon1), pic.h - 1),
            "%s, %d, 0" % (compact(lat2, lon2), pic.w - 1),
            places]


CPR = ["Coast, lakes, rivers, borders: GSHHG (LGPL), drawn with GMT",
       "Towns: GeoNames, CC BY 4.0 (geonames.org)",
       "c   GeoNames CC BY 4.0, GSHHG LGPL"]
CPR_DRIVE = CPR[:2] + ["Road: GPS track of a real drive (PyGPSClient, BSD)", CPR[2]]


def km2(v, axis=0):
    return "%02d" % (int(round(v)) % 100)


def render_uk(pic, tmp, places, track, cfg):
    cv = Canvas(pic)
    if cfg.get("north"):
        add_north_arrow(cv)
    if track is not None:
        track_obstacles(cv, track, cfg["track"][0])
    add_square_letters(cv, zgeo.uksquares(), cfg["sq_pt"], cfg["sq_big"])
    add_grid(cv, cfg["grid"], cfg["strong"], cfg["label_every"], cfg["label_fmt"],
             cfg["grid_pt"], cfg.get("interior"))
    add_gshhg(cv, cfg["res"], cfg.get("rivers", 4), cfg.get("scale", 1.0))
    for other, title in cfg.get("outlines", []):
        add_outline(cv, other, title)
    if track is not None:
        add_track(cv, track, *cfg["track"])
    for text, lat, lon, size in cfg.get("areas", []):
        c, r = pic.ll_to_pix(lat, lon)
        cv.later.append((float(c), float(r), text, size, "70/110/160", ("CM",)))
    add_towns(cv, places, cfg["towns"])
    add_later_labels(cv)
    bg = background(pic, tmp, cfg["step"], cfg.get("ss", 2))
    return compose(bg, draw(cv, tmp))


def main():
    os.makedirs(OUT, exist_ok=True)
    track = read_track()
    places = read_places()
    tmp = tempfile.mkdtemp(prefix="zarnmaps")
    here = os.getcwd()
    os.chdir(tmp)  # GMT leaves its history file in the working directory
    try:
        build(tmp, track, places)
    finally:
        os.chdir(here)
        shutil.rmtree(tmp, ignore_errors=True)


def build(tmp, track, places):
    # Great Britain and Ireland, calibrated in latitude/longitude (corners on whole hundredths
    # of a minute: 49 36.00 N 14 45.00 W to 61 00.00 N 9 51.00 E).
    gbirl = Picture("GBIRL", "ll", 640, 480, -14.75, 49.6, ((9.85 + 14.75) / 639, 11.4 / 479))
    # Ireland in the Irish grid, 1 km a pixel; kept west of UK grid x 150 and south of Irish
    # northing 456, so that the part of the frame it claims is the Irish grid's own.
    ireland = Picture("IRELAND", "irish", 640, 480, -170.0, -23.0, 1.0)
    nweng = Picture("NWENG", "uk", 640, 480, 200.0, 330.0, 0.5)
    chesh = Picture("CHESH", "uk", 640, 480, 327.0, 338.0, 0.125)
    # the local map's centre keeps the whole drive inside it whichever way the map is turned
    local = [Picture("%dLOCAL" % k, "uk", 640, 480, 369.57, 378.55, 0.02, rot=k)
             for k in range(8)]

    small = [(100000, 7, 8.5, True), (20000, 5, 7.5, False), (5000, 4, 7, False)]

    print("GBIRL")
    cv = Canvas(gbirl)
    add_grid(cv, 2.0, 0, 2.0, lambda v, axis: "%d@.%s" % (
        abs(round(v)), ("W" if v < 0 else "E") if axis == 0 else ("S" if v < 0 else "N")), 7)
    add_gshhg(cv, "h", river_levels=2, scale=0.6)
    add_outline(cv, nweng, "North West England")
    add_outline(cv, ireland, "Ireland")
    for text, lat, lon, size, col in [
            ("Atlantic Ocean", 57.3, -10.8, 9, "70/110/160"),
            ("North Sea", 56.3, 2.5, 9, "70/110/160"), ("Irish Sea", 53.9, -5.0, 7, "70/110/160"),
            ("English Channel", 50.15, -2.0, 7, "70/110/160"),
            ("Celtic Sea", 51.0, -7.5, 7, "70/110/160"),
            ("SCOTLAND", 57.1, -4.3, 8, "110/110/110"), ("ENGLAND", 52.6, -1.2, 8, "110/110/110"),
            ("WALES", 52.3, -3.7, 7, "110/110/110"), ("IRELAND", 53.1, -8.0, 8, "110/110/110"),
            ("FRANCE", 49.75, 1.5, 8, "110/110/110"), ("BELGIUM", 50.7, 4.7, 7, "110/110/110"),
            ("NETHERLANDS", 52.5, 5.8, 7, "110/110/110"), ("DENMARK", 56.2, 9.0, 7, "110/110/110"),
            ("NORWAY", 59.6, 8.3, 7, "110/110/110")]:
        c, r = gbirl.ll_to_pix(lat, lon)
        cv.later.append((float(c), float(r), text, size, col, ("CM",)))
    add_towns(cv, places, [(400000, 6, 8, True), (200000, 4, 7, False)])
    add_later_labels(cv)
    home = home_mask(["GB", "IE", "IM", "JE", "GG"], (-16.0, 11.0, 49.0, 62.0))
    bg = background(gbirl, tmp, 0.01, 2, home=home)
    save_bmp8(compose(bg, draw(cv, tmp)), os.path.join(OUT, "GBIRL.BMP"))

    print("IRELAND")
    cv = Canvas(ireland)
    add_grid(cv, 50.0, 100.0, 100.0, lambda v, axis: "%d" % round(v), 7)
    add_square_letters(cv, [(l, ox + 320, oy - 173.5) for l, ox, oy in zgeo.irishsquares()],
                       24, True)
    add_gshhg(cv, "h", river_levels=3, scale=0.7)
    for text, lat, lon, size in [("Atlantic Ocean", 53.0, -12.3, 9), ("Irish Sea", 53.6, -5.2, 8),
                                 ("Celtic Sea", 51.2, -7.6, 8)]:
        c, r = ireland.ll_to_pix(lat, lon)
        cv.later.append((float(c), float(r), text, size, "70/110/160", ("CM",)))
    add_towns(cv, places, [(200000, 6, 8.5, True), (20000, 4, 7.5, False), (8000, 3, 7, False)],
              limit_box=lambda p: p["lon"] < -5.3)
    add_later_labels(cv)
    save_bmp8(compose(background(ireland, tmp, 0.004, 2), draw(cv, tmp)),
              os.path.join(OUT, "IRELAND.BMP"))

    print("NWENG")
    img = render_uk(nweng, tmp, places, None, {
        "grid": 10.0, "strong": 100.0, "label_every": 50.0,
        "label_fmt": lambda v, axis: "%d" % v,
        "grid_pt": 7, "sq_pt": 26, "sq_big": True, "res": "f", "step": 0.002, "rivers": 3,
        "scale": 0.8,
        "outlines": [(chesh, "Cheshire")],
        "areas": [("Irish Sea", 53.95, -3.75, 9), ("Morecambe Bay", 54.1, -2.98, 7),
                  ("Isle of Man", 54.42, -5.05, 7)],
        "towns": [(100000, 6, 8, True), (30000, 4, 7, False)]})
    save_bmp8(img, os.path.join(OUT, "NWENG.BMP"))

    print("CHESH")
    img = render_uk(chesh, tmp, places, track, {
        "grid": 10.0, "strong": 100.0, "label_every": 10.0, "label_fmt": km2,
        "grid_pt": 7, "sq_pt": 8, "sq_big": False, "res": "f", "step": 0.0008,
        "outlines": [(local[0], "Ashley and Mobberley")], "track": (2.0, 1.0),
        "towns": small + [(1500, 3, 6.5, False)]})
    save_bmp8(img, os.path.join(OUT, "CHESH.BMP"))

    for pic in local:
        print(pic.name)
        img = render_uk(pic, tmp, places, track, {
            "grid": 1.0, "strong": 10.0, "label_every": 1.0, "label_fmt": km2,
            "grid_pt": 7, "sq_pt": 8, "sq_big": False, "res": "f", "step": 0.0002, "ss": 1,
            "north": True, "track": (5.0, 3.0),
            "towns": [(10000, 6, 9, True), (2000, 5, 8, False), (0, 4, 8, False)]})
        save_bmp8(img, os.path.join(OUT, pic.name + ".BMP"))

    tiles = make_tiles(tmp, places, track)

    # descriptions, rights notices, catalogue
    crlf(os.path.join(OUT, "GBIRL.DES"), ll_des(gbirl, "Great Britain and Ireland"))
    crlf(os.path.join(OUT, "IRELAND.DES"),
         irish_des(ireland, "Ireland (Irish grid)", (200, 436), (600, 56)))
    crlf(os.path.join(OUT, "NWENG.DES"), uk_des(nweng, "North West England"))
    crlf(os.path.join(OUT, "CHESH.DES"), uk_des(chesh, "Cheshire"))
    crlf(os.path.join(OUT, "0LOCAL.DES"), uk_des(local[0], "Ashley and Mobberley"))
    crlf(os.path.join(OUT, "DRIVE.DES"), tiles)
    for name in ("GBIRL", "IRELAND", "NWENG"):
        crlf(os.path.join(OUT, name + ".CPR"), CPR)
    for name in ("CHESH", "0LOCAL", "DRIVE"):
        crlf(os.path.join(OUT, name + ".CPR"), CPR_DRIVE)
    # the widest map first: a position no map covers falls back to map 1
    crlf(os.path.join(OUT, "MAPS.DIR"), ["GBIRL", "IRELAND", "NWENG", "CHESH", "0LOCAL",
                                         "DRIVE"])
    write_ccc()
    write_places(places)


# ---- tiles ------------------------------------------------------------------------------------

TILE_KM = 10.0      # scheme 2: 10 km tiles, named within their 100 km square
TILE_PX = 1000
VIEW_KM = 6.4       # the width of the window's view of the tiled map (640 pixels)


def tile_name(x, y):
    """Scheme-2 name of the 10 km tile holding frame (x, y), from its grid reference."""
    g = zgeo.ukgridtext(x, y)
    d, m = int(g[3]), int(g[9])
    return g[0:2] + "0022446688"[d] + "9113355779"[m] + "NSNSNSNSNS"[m] + "WEWEWEWEWE"[d] + ".BMP"


def make_tiles(tmp, places, track):
    """The tiled map over the drive: every 10 km tile that a view centred anywhere in the
    map's area can show, cut from one large picture so labels run on across tile edges."""
    fx, fy = zip(*(zgeo.lltoosgb(la, lo) for la, lo in track))
    # the area in which the tiled map is chosen
    west, east = math.floor(min(fx) * 10 - 3) / 10, math.ceil(max(fx) * 10 + 3) / 10
    south, north = math.floor(min(fy) * 10 - 6) / 10, math.ceil(max(fy) * 10 + 3) / 10
    hv, vv = VIEW_KM / 2 + 0.1, VIEW_KM * 3 / 8 + 0.1
    tx0 = math.floor((west - hv) / TILE_KM) * TILE_KM
    tx1 = math.floor((east + hv) / TILE_KM) * TILE_KM
    ty0 = math.floor((south - vv) / TILE_KM) * TILE_KM
    ty1 = math.floor((north + vv) / TILE_KM) * TILE_KM
    ncol = int(round((tx1 - tx0) / TILE_KM)) + 1
    nrow = int(round((ty1 - ty0) / TILE_KM)) + 1
    s = TILE_KM / TILE_PX
    pic = Picture("DRIVE", "uk", ncol * TILE_PX, nrow * TILE_PX, tx0 + s / 2, ty0 + s / 2, s)
    print("tiles %d x %d" % (ncol, nrow))
    cv = Canvas(pic)
    track_obstacles(cv, track, 8.0)
    add_grid(cv, 1.0, 10.0, 1.0, km2, 8, interior=2.0)
    sq = [(c, ox, oy) for c, ox, oy in zgeo.uksquares()]
    for code, ox, oy in sq:
        for cx in range(0, 100, 10):
            for cy in range(0, 100, 10):
                c, r = pic.frame_to_pix(ox + cx + 5, oy + cy + 5)
                if 0 < c < pic.w and 0 < r < pic.h:
                    cv.undertexts.append((float(c), float(r),
                                          font(40, True, "215/222/240", False), "CM", code))
    add_gshhg(cv, "f")
    add_track(cv, track, 8.0, 5.0)
    add_towns(cv, places, [(10000, 9, 12, True), (2000, 7, 11, False), (0, 6, 10, False)])
    bg = background(pic, tmp, 0.0002, 1)
    img = compose(bg, draw(cv, tmp))
    tdir = os.path.join(OUT, "TILES")
    os.makedirs(tdir, exist_ok=True)
    for f in os.listdir(tdir):
        if f.upper().endswith(".BMP"):
            os.remove(os.path.join(tdir, f))
    for i in range(nrow):
        for j in range(ncol):
            x, y = tx0 + j * TILE_KM, ty0 + i * TILE_KM
            crop = img.crop((j * TILE_PX, (nrow - 1 - i) * TILE_PX,
                             (j + 1) * TILE_PX, (nrow - i) * TILE_PX))
            save_bmp8(crop, os.path.join(tdir, tile_name(x + 1, y + 1)))
    return ["Ashley drive (tiles)", "DRIVE", "TILE2TILES\\, %g, 0" % VIEW_KM,
            "%s, 0, 0" % zgeo.ukgridtext(west, south),
            "%s, 0, 0" % zgeo.ukgridtext(east, north), "ZARN.WAW"]


# ---- grid squares and places ------------------------------------------------------------------

def write_ccc():
    """The 100 km squares: the UK grid's, then the Irish grid's (letter and a blank, origins
    in the program's frame), both as indexes of 100 km."""
    rows = []
    for code, ox, oy in zgeo.uksquares():
        rows.append('"%s", %d, %d' % (code, ox // 100, oy // 100))
    for letter, ox, oy in zgeo.irishsquares():
        rows.append('"%s ", %s, %s' % (letter, fmtnum(ox / 100), fmtnum(oy / 100)))
    crlf(os.path.join(OUT, "MAPS.CCC"), [str(len(rows))] + rows)


def fmtnum(v):
    t = ("%.4f" % v).rstrip("0").rstrip(".")
    return t


def radius_km(pop):
    """A town's radius from its population, at about 4000 people a square kilometre."""
    if pop <= 0:
        return 0.5
    return max(0.3, round(math.sqrt(pop / (4000 * math.pi)), 1))


def write_places(places):
    """ZARN.WAW: position, name, what to speak (the name itself, for the speech library),
    radius in km. BIGPLACE sets the radius a place needs to be named first."""
    lines = []
    for p in sorted(places, key=lambda q: (-q["pop"], q["name"])):
        x, y = zgeo.lltoosgb(p["lat"], p["lon"])
        pos = zgeo.gridreftext(x, y, p["lat"], p["lon"])
        name = p["name"].replace(",", " ").replace('"', "")
        lines.append("%s,%s,%s, %g" % (pos, name, name, radius_km(p["pop"])))
    lines.append("BIGPLACE,NULL,NULL, 3")
    crlf(os.path.join(OUT, "ZARN.WAW"), lines)


if __name__ == "__main__":
    main()
