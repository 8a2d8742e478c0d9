#!/usr/bin/python3
"""Makes the demo's map overlays around the recorded Cheshire drive, in data/demo (or the folder
named):

- ZARN.NOF: no-fly areas near the drive (circles round the nearest places of the gazetteer, a
  polygon along the runways at Ringway), and ZARNNEAR.NOF, the cache of them around the start
  of the drive, whose presence switches the nearest-object search on;
- ZARN.PIC: the drive as a route line in three colours, with waypoints at its start, its
  western turn and its end, each with an icon of the demo set;
- ROAD.DAT: the drive's road as polylines, each begun by MOVE;
- $AF.GTX: an overlay of features near the drive with several type codes: the airfield, the
  places of the gazetteer within 8 km (by population: towns, villages, unknown), two points
  of the drive and one whole-kilometre point.

Positions are written as the program writes them (zgeo: the program's own series), so that
every feature lands where the program puts the car. The same bytes on every run.

    /usr/bin/python3 tools/make_demo_overlays.py [folder]
"""

import csv
import math
import os
import sys

sys.path.insert(0, os.path.dirname(os.path.abspath(__file__)))
import demodrive  # noqa: E402
import zgeo  # noqa: E402

HERE = os.path.dirname(os.path.abspath(__file__))
ROOT = os.path.join(HERE, "..")
PLACES = os.path.join(ROOT, "tests", "data", "places", "gb-ie-places.csv")

CACHE_RADIUS = 25  # km: the whole demo area, so that the demo reads the cache near the drive
NOFLY = [  # gazetteer place, radius (km) of its circle
    ("Mobberley", 1.0), ("Ashley", 0.8), ("Bowdon", 1.2), ("Knutsford", 1.5), ("Mere", 0.6)]
RUNWAY = ("Ringway", 232.0, 3.2, 1.2)  # place, runway heading (degrees), length, width (km)


def track():
    """Frame km of the drive's valid fixes, repeated fixes dropped."""
    out = []
    for lat, lon in demodrive.fixes():
        x, y = zgeo.lltoosgb(lat, lon)
        if not out or (x, y) != out[-1]:
            out.append((float(x), float(y)))
    return out


def thinned(points, step):
    """The points at least `step` km apart along the way, the last one kept."""
    out = [points[0]]
    for p in points[1:]:
        if math.hypot(p[0] - out[-1][0], p[1] - out[-1][1]) >= step:
            out.append(p)
    if out[-1] != points[-1]:
        out.append(points[-1])
    return out


def places():
    """name -> (x, y, population) of the gazetteer's British places, the first of each name."""
    out = {}
    with open(PLACES, encoding="utf-8") as f:
        for row in csv.DictReader(f):
            if row["country"] != "GB" or row["name"] in out:
                continue
            lat, lon = float(row["lat"]), float(row["lon"])
            if not (53.1 < lat < 53.6 and -2.7 < lon < -2.0):  # the drive's neighbourhood
                continue
            x, y = zgeo.lltoosgb(lat, lon)
            out[row["name"]] = (x, y, int(row["population"] or 0))
    return out


def ref(x, y):
    """The fourteen-character reference the program writes."""
    return zgeo.ukgridtext(x, y)


def ref10(x, y):
    """A ten-character reference without blanks (10 m), for point lines."""
    t = zgeo.ukgridtext(x, y)
    return t[0:2] + t[3:7] + t[9:13]


def nearest(points, x, y):
    return min(math.hypot(p[0] - x, p[1] - y) for p in points)


def write(folder, name, lines):
    with open(os.path.join(folder, name), "w", encoding="latin-1", newline="") as f:
        f.write("".join(line + "\r\n" for line in lines))


def main():
    folder = sys.argv[1] if len(sys.argv) > 1 else os.path.join(ROOT, "data", "demo")
    os.makedirs(folder, exist_ok=True)
    drive = track()
    gaz = places()
    start = drive[0]

    # No-fly areas: code, position, radius, name; a polygon's point line after it.
    nof = []
    for name, r in NOFLY:
        x, y, _ = gaz[name]
        nof.append(('"C","%s","%g","%s no fly zone"' % (ref(x, y), r, name), None))
    name, hdg, length, width = RUNWAY
    x, y, _ = gaz[name]
    ax, ay = math.sin(math.radians(hdg)), math.cos(math.radians(hdg))
    corners = [(x + sa * ax * length / 2 + sw * ay * width / 2, y + sa * ay * length / 2 - sw * ax * width / 2)
               for sa, sw in ((1, 1), (1, -1), (-1, -1), (-1, 1))]
    points = " ".join([str(len(corners))] + [ref10(cx, cy) for cx, cy in corners])
    nof.append(('"P","%s","%g","%s airfield"' % (ref(x, y), length / 2, name), '"%s"' % points))
    write(folder, "ZARN.NOF", [line for rec in nof for line in rec if line] + ["END,,,,"])
    cache = ["%s, %d " % (ref(*start), CACHE_RADIUS)] + [line for rec in nof for line in rec if line]
    write(folder, "ZARNNEAR.NOF", cache + ["END,,,,"])

    # The route: twenty points along the drive in three colours, and three waypoints.
    route = thinned(drive, 1.0)
    route = [route[round(i * (len(route) - 1) / 19)] for i in range(20)]
    west = min(drive, key=lambda p: p[0])
    pic = []
    for i, (x, y) in enumerate(route):
        if i % 7 == 0:
            pic.append("C,%d" % (0x0000FF, 0x00FF00, 0x00FFFF)[i // 7])
        pic.append("L,%s" % ref(x, y))
    for icon, (x, y) in (("WP.ICO", start), ("$L.ICO", west), ("WPNEXT.ICO", drive[-1])):
        pic += ["I,%s" % icon, "P,%s" % ref(x, y)]
    write(folder, "ZARN.PIC", pic + ["END,"])

    # The road: the drive at 40 m, in polylines of 40 points that meet end to end.
    road = thinned(drive, 0.04)
    lines = []
    for i in range(0, len(road) - 1, 39):
        lines.append("MOVE")
        lines += [ref(x, y) for x, y in road[i:i + 40]]
    write(folder, "ROAD.DAT", lines)

    # The feature overlay.
    gtx = ["Airfields and features near the demo drive", "code,east,north,name,note"]
    x, y, _ = gaz["Ringway"]
    gtx.append('"AF","","%s","Ringway","airfield"' % ref(x, y))
    for name in sorted(gaz):
        x, y, pop = gaz[name]
        if name == "Ringway" or nearest(drive, x, y) > 8:
            continue
        code = "LNT" if pop >= 10000 else "LEH" if pop > 0 else "L"
        gtx.append('"%s","","%s","%s","population %d"' % (code, ref(x, y), name, pop))
    gtx.append('"EFFLC",%.3f,%.3f,"Start of the drive","decimal km"' % start)
    gtx.append('"EFFHE",%.3f,%.3f,"Western turn","decimal km"' % west)
    mx, my = drive[len(drive) // 2]
    gtx.append('"E",%d,%d,"Kilometre point","whole km"' % (round(mx), round(my)))
    write(folder, "$AF.GTX", gtx)


if __name__ == "__main__":
    main()
