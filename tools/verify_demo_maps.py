#!/usr/bin/python3
"""Checks that the demo maps' descriptions say truly where things were drawn.

Needs the Debian packages proj-bin (cs2cs), python3-numpy and python3-pil.
Run: /usr/bin/python3 tools/verify_demo_maps.py

For every map of MAPS.DIR (rotated pictures and tiles included) it takes the towns drawn on
it, predicts each town's pixel from the map's description alone, the way the program does
(picture rows turned upward, references fitted, the world-to-window turn for rotated pictures,
the tile rule for tiled maps), and finds the red town dot that was really drawn there. The
town's grid position is worked out three ways:
  series  - the program's own conversion of a GPS latitude/longitude (what puts the car),
  proj    - PROJ: plain Airy transverse Mercator of the national grid shifted by the
            program's +104 m east, -54 m north (Irish maps: the program's Irish constants),
  survey  - PROJ with the datum shift, EPSG:4326 to EPSG:27700 (Irish maps: EPSG:29903),
            the Ordnance Survey's grid for the place.
On the maps with the drive it also checks that every GPS fix of the track falls on the drawn
road. It prints pixel errors and ends with status 1 when a series error exceeds 1.5 pixels.
"""

import math
import os
import subprocess
import sys

import numpy as np
from PIL import Image

sys.dont_write_bytecode = True
sys.path.insert(0, os.path.dirname(os.path.abspath(__file__)))
import zgeo  # noqa: E402
from make_demo_maps import OUT, read_places, read_track  # noqa: E402

TOWN = np.array([170, 20, 20])
ROAD = np.array([255, 205, 70])
EDGE = np.array([110, 70, 30])


def lines(name):
    with open(os.path.join(OUT, name), "rb") as f:
        return [ln.decode("latin-1") for ln in f.read().split(b"\r\n")]


def fields(line):
    return [f.strip() for f in line.split(",")]


def read_ccc():
    ln = [x for x in lines("MAPS.CCC") if x]
    table = {}
    for rec in ln[1:1 + int(ln[0])]:
        code, e, n = rec.rsplit(",", 2)
        table[code.strip().strip('"')] = (float(e) * 100, float(n) * 100)
    return table


def parse(text, ccc):
    """Frame km of a reference as a description holds it."""
    if len(text) == 13:
        e, n = zgeo.parseirish13(text)
        return e - 320, n + 173.5
    if len(text) == 14:
        ox, oy = ccc[text[0:2]]
        return ox + int(text[3:8]) / 1000, oy + int(text[9:14]) / 1000
    if len(text) == 15:
        return zgeo.parsecompact(text)
    raise ValueError(text)


def cs2cs(args, pts):
    """Runs cs2cs over (lon, lat) pairs; returns an array of (east, north) in km."""
    data = "".join("%.9f %.9f\n" % p for p in pts)
    out = subprocess.run(["cs2cs", "-f", "%.4f"] + args, input=data, capture_output=True,
                         text=True, check=True).stdout
    return np.array([[float(v) / 1000 for v in ln.split()[:2]] for ln in out.splitlines()])


UKTM = ["+proj=latlong", "+ellps=airy", "+to", "+proj=tmerc", "+lat_0=49", "+lon_0=-2",
        "+k=0.9996012717", "+x_0=400000", "+y_0=-100000", "+ellps=airy"]
IETM = ["+proj=latlong", "+ellps=airy", "+to", "+proj=tmerc", "+lat_0=53.5", "+lon_0=-8",
        "+k=1", "+x_0=200000", "+y_0=250000", "+ellps=airy"]


def positions(kind, pts):
    """Frame positions (series, proj, survey) of (lat, lon) points on a map of one kind."""
    if kind == "ll":
        a = np.array([(lat, lon) for lat, lon in pts])
        return a, a, a
    ll = [(lon, lat) for lat, lon in pts]
    if kind == "irish":
        ser = np.array([[v for v in zgeo.lltoirish(lat, lon)] for lat, lon in pts])
        ser = ser + [-320, 173.5]
        prj = cs2cs(IETM, ll) + [-320, 173.5]
        srv = cs2cs(["EPSG:4326", "EPSG:29903"], [(la, lo) for lo, la in ll]) + [-320, 173.5]
        return ser, prj, srv
    ser = np.array([zgeo.lltoosgb(lat, lon) for lat, lon in pts])
    prj = cs2cs(UKTM, ll) + [0.104, -0.054]
    srv = cs2cs(["EPSG:4326", "EPSG:27700"], [(la, lo) for lo, la in ll])
    return ser, prj, srv


class Calibration:
    """Pixel of a frame position, from a description, as the program's loader works it out."""

    def __init__(self, des, ccc, w, h):
        self.W, self.H = w - 1, h - 1
        r = [fields(des[i]) for i in (2, 3, 4)]
        self.ll = r[0][0] == "LL"
        if self.ll:
            (r2, a2, b2), (r3, a3, b3) = r[1][:3], r[2][:3]
            lat2, lon2 = zgeo.parsecompact(r2)
            lat3, lon3 = zgeo.parsecompact(r3)
            a2, a3 = float(a2), float(a3)
            b2, b3 = self.H - float(b2), self.H - float(b3)
            self.kx = (lon3 - lon2) / (a3 - a2)
            self.west = lon2 - a2 * self.kx
            self.ky = (lat3 - lat2) / (b3 - b2)
            self.south = lat2 - b2 * self.ky
            self.kind = "ll"
        else:
            (r1, a1, b1), (r2, a2, b2), (r3, a3, b3) = [x[:3] for x in r]
            e1, n1 = parse(r1, ccc)
            e2, n2 = parse(r2, ccc)
            e3, n3 = parse(r3, ccc)
            a1, a3 = float(a1), float(a3)
            b1, b2 = self.H - float(b1), self.H - float(b2)
            self.kx = (e3 - e1) / (a3 - a1)
            self.west = e2 - a1 * self.kx
            self.ky = (n2 - n1) / (b2 - b1)
            self.south = n1 - b1 * self.ky
            self.kind = "irish" if len(r1) == 13 else "uk"

    def pixel(self, pos, rot=0):
        """pos: (x, y) frame km, or (lat, lon) on a latitude/longitude map."""
        if self.ll:
            lat, lon = pos[:, 0], pos[:, 1]
            c = (lon - self.west) / self.kx
            r = self.H - (lat - self.south) / self.ky
        else:
            c = (pos[:, 0] - self.west) / self.kx
            r = self.H - (pos[:, 1] - self.south) / self.ky
        if rot:
            a = -math.radians(45 * rot)
            c, r = (320 + (c - 320) * math.cos(a) - (r - 240) * math.sin(a),
                    240 + (r - 240) * math.cos(a) + (c - 320) * math.sin(a))
        return np.column_stack([c, r])


def blobs(rgb):
    """Centres of the town dots drawn on a picture (8-connected patches of the dot colour)."""
    m = np.abs(rgb.astype(int) - TOWN).sum(axis=2) < 90
    seen = np.zeros_like(m)
    h, w = m.shape
    out = []
    for y0, x0 in zip(*np.nonzero(m)):
        if seen[y0, x0]:
            continue
        stack, px = [(y0, x0)], []
        seen[y0, x0] = True
        while stack:
            y, x = stack.pop()
            px.append((y, x))
            for dy in (-1, 0, 1):
                for dx in (-1, 0, 1):
                    yy, xx = y + dy, x + dx
                    if 0 <= yy < h and 0 <= xx < w and m[yy, xx] and not seen[yy, xx]:
                        seen[yy, xx] = True
                        stack.append((yy, xx))
        a = np.array(px, dtype=float)
        # a dot cut by the picture's edge (tiles) has no true centre here
        edge = (a[:, 0].min() == 0 or a[:, 1].min() == 0 or a[:, 0].max() == h - 1
                or a[:, 1].max() == w - 1)
        if len(px) >= 3 and not edge:
            out.append((a[:, 1].mean(), a[:, 0].mean()))
    return out


def errors(rgb, cal, towns, frames, rot=0):
    """Pixel distance from each drawn dot to each way's prediction of its town: the most
    populous town predicted within 5 pixels of the dot (the one the map draws there)."""
    preds = [cal.pixel(f, rot) for f in frames]
    pop = np.array([t["pop"] for t in towns])
    out = []
    for c, r in blobs(rgb):
        d = np.hypot(preds[0][:, 0] - c, preds[0][:, 1] - r)
        near = np.nonzero(d < 5)[0]
        if len(near) == 0:
            out.append(("(no town)", [99.0, 99.0, 99.0]))
            continue
        i = near[np.argmax(pop[near])]
        out.append((towns[i]["name"], [math.hypot(p[i][0] - c, p[i][1] - r) for p in preds]))
    return out


def road_hits(rgb, pix):
    """Track fixes whose pixel lies on the drawn road (its yellow or its brown edge)."""
    h, w, _ = rgb.shape
    hits = total = 0
    for c, r in pix:
        ci, ri = int(round(c)), int(round(r))
        if not (1 <= ci < w - 1 and 1 <= ri < h - 1):
            continue
        total += 1
        win = rgb[ri - 1:ri + 2, ci - 1:ci + 2].astype(int)
        if ((np.abs(win - ROAD).sum(axis=2) < 90).any()
                or (np.abs(win - EDGE).sum(axis=2) < 90).any()):
            hits += 1
    return hits, total


def report(title, errs):
    if not errs:
        print("%-12s no towns found" % title)
        return 0.0
    e = np.array([x[1] for x in errs])
    print("%-12s %3d towns  series mean %.2f max %.2f px | proj mean %.2f max %.2f | "
          "survey mean %.2f max %.2f" % (title, len(errs), e[:, 0].mean(), e[:, 0].max(),
                                         e[:, 1].mean(), e[:, 1].max(), e[:, 2].mean(),
                                         e[:, 2].max()))
    return e[:, 0].max()


def main():
    ccc = read_ccc()
    places = read_places()
    track = read_track()
    pts = [(p["lat"], p["lon"]) for p in places]
    worst = 0.0
    named = {"Knutsford", "Altrincham", "Hale", "Mobberley", "Chester", "Manchester",
             "Liverpool", "Dublin", "Cork", "Belfast", "London", "Glasgow", "Crewe"}
    for name in [x.strip() for x in lines("MAPS.DIR") if x.strip()]:
        des = lines(name + ".DES")
        if fields(des[2])[0].upper().startswith("TILE"):
            worst = max(worst, check_tiles(des, ccc, places, track))
            continue
        pics = [(des[1].strip(), 0)]
        if des[1].strip()[0] == "0":
            pics += [(str(k) + des[1].strip()[1:], k) for k in range(1, 8)]
        for pic, rot in pics:
            img = Image.open(os.path.join(OUT, pic + ".BMP")).convert("RGB")
            rgb = np.array(img)
            cal = Calibration(des, ccc, img.size[0], img.size[1])
            kind = cal.kind
            frames = positions(kind, pts)
            errs = errors(rgb, cal, places, frames, rot)
            worst = max(worst, report(pic, errs))
            for n, e in errs:
                if n in named and rot == 0:
                    print("    %-12s series %.2f  proj %.2f  survey %.2f px" % (n, *e))
            if kind == "uk":
                tf = np.array([zgeo.lltoosgb(la, lo) for la, lo in track])
                hits, total = road_hits(rgb, cal.pixel(tf, rot))
                if hits > total / 2:
                    print("    track: %d of %d fixes on the drawn road" % (hits, total))
    print("largest series error: %.2f px" % worst)
    return 0 if worst <= 1.5 else 1


def tile_of(x, y, T):
    """Scheme-2 tile file name and south-west corner of the tile holding frame (x, y)."""
    X0, Y0 = math.floor(x / T) * T, math.floor(y / T) * T
    g = zgeo.ukgridtext(x, y)
    d, m = int(g[3]), int(g[9])
    name = (g[0:2] + "0022446688"[d] + "9113355779"[m] + "NSNSNSNSNS"[m] + "WEWEWEWEWE"[d]
            + ".BMP")
    return name, X0, Y0


def check_tiles(des, ccc, places, track):
    f3 = fields(des[2])
    tdir = f3[0][5:].replace("\\", "/")
    T = float(f3[1]) * 1000 / 640
    s = T / 1000
    pts = [(p["lat"], p["lon"]) for p in places]
    frames = positions("uk", pts)
    pop = np.array([p["pop"] for p in places])
    errs, hits, total = [], 0, 0
    tiles = sorted(os.listdir(os.path.join(OUT, tdir)))
    for fname in tiles:
        rgb = np.array(Image.open(os.path.join(OUT, tdir, fname)).convert("RGB"))
        # the tile's place follows from any town or fix the rule files under this name
        where = [tile_of(x, y, T) for x, y in frames[0]]
        mine = [i for i, w in enumerate(where) if w[0] == fname]
        if not mine:
            continue
        X0, Y0 = where[mine[0]][1], where[mine[0]][2]

        def pix(f):
            return np.column_stack([(f[:, 0] - X0) / s - 0.5, (Y0 + T - f[:, 1]) / s - 0.5])
        preds = [pix(f) for f in frames]
        for c, r in blobs(rgb):
            d = np.hypot(preds[0][:, 0] - c, preds[0][:, 1] - r)
            near = np.nonzero(d < 5)[0]
            if len(near) == 0:
                errs.append(("(no town)", [99.0, 99.0, 99.0]))
                continue
            i = near[np.argmax(pop[near])]
            errs.append((places[i]["name"],
                         [math.hypot(p[i][0] - c, p[i][1] - r) for p in preds]))
        tf = np.array([zgeo.lltoosgb(la, lo) for la, lo in track])
        on = [i for i, (x, y) in enumerate(tf) if tile_of(x, y, T)[0] == fname]
        if on:
            h, t = road_hits(rgb, pix(tf[on]))
            hits += h
            total += t
    worst = report("tiles", errs)
    print("    track: %d of %d fixes on the drawn road" % (hits, total))
    return worst


if __name__ == "__main__":
    sys.exit(main())
