#!/usr/bin/env python3
"""Writes the demo's search lists of towns into data/demo (or the folder named):

    TOWNS.GTX  text list: two header lines, then one record a town: type code "LPOP", east km,
               north km, name, country and population
    TOWNS.GED  the same towns in the same order as a binary list

The towns are the places of tests/data/places/gb-ie-places.csv with at least 1000 people. Their
positions are the references that ZARN.WAW holds for them (tools/make_demo_maps.py wrote it
from the same list with the program's own series), read back into the program's frame in km,
so that a town of a list lies where the position reports put it. Standard library only; the
same bytes on every run.

    tools/make_demo_lists.py [FOLDER] [--first N]   (N: only the N most populous towns)

Binary list layout (little-endian): the count n (int32); n positions, east then north (float32
km); n text offsets (int32, from the start of the text area); then at each offset a length
(int16) and the text "code,name,further". The code and the name are stored with the program's
character substitution (each character c written as 250 - c), the commas and the further text
as they are.
"""

import csv
import os
import struct
import sys

TOP = os.path.dirname(os.path.dirname(os.path.abspath(__file__)))
PLACES = os.path.join(TOP, "tests", "data", "places", "gb-ie-places.csv")
DEMO = os.path.join(TOP, "data", "demo")
MINPOP = 1000
CODE = "LPOP"

# As make_demo_maps.py names these places (GeoNames gives some Irish towns their Irish names).
ENGLISH_NAMES = {"Luimneach": "Limerick", "Gaillimh": "Galway", "Loch Garman": "Wexford",
                 "Droichead Nua": "Newbridge", "Cluain Meala": "Clonmel",
                 "An Muileann gCearr": "Mullingar", "An Ros": "Rush", "Tr\u00e1 Mh\u00f3r": "Tramore",
                 "Cill Airne": "Killarney", "R\u00e1th Luirc": "Charleville",
                 "Londonderry County Borough": "Londonderry"}

# Letters of the 100 km squares: the UK block without I read from the north-west corner, the
# Irish squares from the south-west, rows west to east.
LETTERS = "ABCDEFGHJKLMNOPQRSTUVWXYZ"
IRISH = "VWXYZQRSTULMNOPFGHJKABCDE"


def latin1(name):
    name = ENGLISH_NAMES.get(name, name).replace("\u2019", "'").replace("\u2018", "'")
    return name.encode("latin-1", "replace").decode("latin-1")


def uksquares():
    out = {}
    for n100 in range(13):
        for e100 in range(7):
            l1 = (19 - n100) - (19 - n100) % 5 + (e100 + 10) // 5
            l2 = (19 - n100) * 5 % 25 + e100 % 5
            out[LETTERS[l1] + LETTERS[l2]] = (e100 * 100, n100 * 100)
    return out


def frame_km(ref, squares):
    """Frame km (as exact decimal texts of whole metres) of a 14-character UK or 13-character
    Irish reference: the square's origin plus the metres."""
    if len(ref) == 14 and ref[:2] in squares:
        ox, oy = squares[ref[:2]]
        e, n = int(ref[3:8]), int(ref[9:14])
        return "%d.%03d" % (ox + e // 1000, e % 1000), "%d.%03d" % (oy + n // 1000, n % 1000)
    if len(ref) == 13 and ref[0] in IRISH and ref[1] == " ":
        p = IRISH.index(ref[0])
        # Irish positions sit in the frame 320 km west and 173.5 km north of the Irish grid's.
        e = (p % 5) * 100000 - 320000 + int(ref[2:7])
        n = (p // 5) * 100000 + 173500 + int(ref[8:13])
        return "%s%d.%03d" % ("-" if e < 0 else "", abs(e) // 1000, abs(e) % 1000), \
            "%d.%03d" % (n // 1000, n % 1000)
    raise ValueError("no grid reference: %r" % ref)


def flip(text):
    """The program's character substitution; a comma must not come out of it."""
    out = bytes(250 - b for b in text.encode("latin-1"))
    if b"," in out or any(b > 250 for b in text.encode("latin-1")):
        raise ValueError("cannot store %r" % text)
    return out


def towns():
    with open(PLACES, encoding="utf-8") as f:
        places = [{"name": latin1(r["name"]), "country": r["country"], "pop": int(r["population"] or 0)}
                  for r in csv.DictReader(f)]
    # ZARN.WAW lists the same places in this order, each with its reference.
    places.sort(key=lambda q: (-q["pop"], q["name"]))
    with open(os.path.join(DEMO, "ZARN.WAW"), encoding="latin-1") as f:
        refs = [line.rstrip("\r\n").split(",") for line in f][:len(places)]
    squares = uksquares()
    out = []
    for p, r in zip(places, refs):
        name = p["name"].replace(",", " ").replace('"', "")
        if r[1] != name:
            raise ValueError("ZARN.WAW does not follow the gazetteer at %r / %r" % (r[1], name))
        if p["pop"] >= MINPOP:
            east, north = frame_km(r[0], squares)
            out.append((east, north, name, "%s population %d" % (p["country"], p["pop"])))
    return out


def main():
    args = sys.argv[1:]
    first = None
    if "--first" in args:  # the fuzz seeds: only the first towns
        k = args.index("--first")
        first = int(args[k + 1])
        del args[k:k + 2]
    folder = args[0] if args else DEMO
    rows = towns()[:first]
    lines = ["Towns of Great Britain and Ireland: GeoNames (geonames.org), CC BY 4.0",
             "type,east km,north km,name,country and population"]
    lines += ['%s,%s,%s,"%s","%s"' % (CODE, e, n, name, more) for e, n, name, more in rows]
    with open(os.path.join(folder, "TOWNS.GTX"), "wb") as f:
        f.write(("\r\n".join(lines) + "\r\n").encode("latin-1"))

    texts, offsets, at = [], [], 0
    for _, _, name, more in rows:
        t = flip(CODE) + b"," + flip(name) + b"," + more.encode("latin-1")
        offsets.append(at)
        texts.append(struct.pack("<h", len(t)) + t)
        at += 2 + len(t)
    ged = struct.pack("<i", len(rows))
    ged += b"".join(struct.pack("<ff", float(e), float(n)) for e, n, _, _ in rows)
    ged += b"".join(struct.pack("<i", o) for o in offsets)
    ged += b"".join(texts)
    with open(os.path.join(folder, "TOWNS.GED"), "wb") as f:
        f.write(ged)
    print("%s: TOWNS.GTX and TOWNS.GED hold %d towns" % (folder, len(rows)))


if __name__ == "__main__":
    main()
