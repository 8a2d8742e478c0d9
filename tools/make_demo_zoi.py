#!/usr/bin/env python3
"""Writes the demo's place-of-interest cells into data/demo (or the folder named).

The places are the towns and villages of tests/data/places/gb-ie-places.csv that the recorded
drive passes within 800 m of their centres. Each is watched within 1 km: the record
"LPOP","<grid reference>","#<name>#^1000^" goes into every 1 km landmark cell (SJ8580.GEO and
the like, named as the program names the cell of a position) that the 1 km circle reaches,
so that the cell loaded near the car holds it. Standard library only; the same bytes on every
run.

    tools/make_demo_zoi.py [FOLDER]
"""

import csv
import math
import os
import sys

import demodrive
import zgeo

TOP = os.path.dirname(os.path.dirname(os.path.abspath(__file__)))
PLACES = os.path.join(TOP, "tests", "data", "places", "gb-ie-places.csv")
PASS_KM = 0.8
RADIUS_KM = 1.0


def cellname(x, y):
    text = zgeo.ukgridtext(x, y)
    return text[0:2] + text[3:5] + text[9:11] + ".GEO"


def main():
    out = sys.argv[1] if len(sys.argv) > 1 else os.path.join(TOP, "data", "demo")
    track = [zgeo.lltoosgb(la, lo) for la, lo in demodrive.fixes()]
    cells = {}
    with open(PLACES, encoding="utf-8") as f:
        for row in csv.DictReader(f):
            lat, lon = float(row["lat"]), float(row["lon"])
            x, y = zgeo.lltoosgb(lat, lon)
            if min(math.hypot(x - tx, y - ty) for tx, ty in track) > PASS_KM:
                continue
            rec = '"LPOP","%s","#%s#^%d^"' % (zgeo.ukgridtext(x, y), row["name"], round(RADIUS_KM * 1000))
            for ex in range(math.floor(x - RADIUS_KM), math.floor(x + RADIUS_KM) + 1):
                for ny in range(math.floor(y - RADIUS_KM), math.floor(y + RADIUS_KM) + 1):
                    cells.setdefault(cellname(ex + 0.5, ny + 0.5), []).append(rec)
    for name, recs in sorted(cells.items()):
        with open(os.path.join(out, name), "wb") as f:
            f.write("".join(r + "\r\n" for r in recs).encode("latin-1"))
        print(name, len(recs))


if __name__ == "__main__":
    main()
