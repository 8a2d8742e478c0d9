#!/usr/bin/python3
"""Writes the demo's population-centre gazetteer $LPOP.PCD into data/demo.

    tools/make_demo_popcd.py [output directory]     (default: data/demo)

The centres are the towns of tests/data/places/gb-ie-places.csv (GeoNames), under the names
the demo maps give them; their positions are carried into the program's frame by the same
series the program applies to a GPS fix (zgeo.py). GeoNames gives no county, so each centre's
area is its country.

Layout (integers little-endian; N centres, C area names):
    N, C                      16-bit signed each
    N x (east, north)         16-bit signed, in 1/40 km and 1/20 km
    N x text offset           32-bit, of the centre's record from the start of the text area
    676 x first centre - 1    32-bit, by the first two letters A-Z of the names; a pair no
                              name begins with holds the centre where it would begin (at most
                              N - 1), so a search there ends at the first record it reads
    C x area name             32 bytes, blank-filled, substituted
    text area                 one record per centre, centres sorted by upper-case name:
                              substituted name, ",", area number, CR LF
Substitution: each character code c is stored as 250 - c (its own inverse).
"""

import bisect
import os
import struct
import sys

sys.dont_write_bytecode = True
sys.path.insert(0, os.path.dirname(os.path.abspath(__file__)))
import zgeo  # noqa: E402
from make_demo_maps import read_places  # noqa: E402

TOP = os.path.dirname(os.path.dirname(os.path.abspath(__file__)))
OUT = sys.argv[1] if len(sys.argv) > 1 else os.path.join(TOP, "data", "demo")
AREAS = {"GB": "UNITED KINGDOM", "IE": "IRELAND"}


def upper(name):
    """Upper case as the program makes it: ASCII and the Latin-1 letters."""
    return "".join(chr(ord(c) - 32) if "a" <= c <= "z" or (0xE0 <= ord(c) <= 0xFE and ord(c) != 0xF7) else c
                   for c in name)


def flip(text):
    stored = bytes(250 - b for b in text.encode("latin-1"))
    # The record reader splits at a comma and at line ends: no stored name may hold one.
    assert not set(stored) & {0x2C, 0x0D, 0x0A}, text
    return stored


def main():
    areas = sorted(set(AREAS.values()))
    centres = []
    for p in read_places():
        x, y = zgeo.lltoosgb(p["lat"], p["lon"])
        e, n = round(x * 40), round(y * 20)
        assert -32768 <= e < 32768 and -32768 <= n < 32768, p
        centres.append((upper(p["name"]).encode("latin-1"), e, n, areas.index(AREAS[p["country"]]) + 1))
    centres.sort()
    names = [c[0] for c in centres]

    text, offsets = bytearray(), []
    for name, _, _, area in centres:
        offsets.append(len(text))
        text += flip(name.decode("latin-1")) + b"," + str(area).encode() + b"\r\n"
    index = []
    for a in range(26):
        for b in range(26):
            first = bisect.bisect_left(names, bytes([65 + a, 65 + b]))
            index.append(min(first, len(centres) - 1))

    out = bytearray(struct.pack("<hh", len(centres), len(areas)))
    for _, e, n, _ in centres:
        out += struct.pack("<hh", e, n)
    out += struct.pack("<%dI" % len(offsets), *offsets)
    out += struct.pack("<676I", *index)
    for a in areas:
        out += flip(a.ljust(32))
    out += text
    with open(os.path.join(OUT, "$LPOP.PCD"), "wb") as f:
        f.write(out)
    print("%d centres, %d areas, %d bytes" % (len(centres), len(areas), len(out)))


if __name__ == "__main__":
    main()
