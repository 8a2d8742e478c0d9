#!/usr/bin/python3
"""Makes the demo's route guidance along the recorded Cheshire drive: data/demo/ASHLEY.RGI and
its index ASHLEY.RGB.

The instructions stand on the drive's own track, a little before its junctions (found from
the track: where the course turns by more than 30 degrees within 250 metres), and on one
straight stretch, where two "straight on" instructions for the same direction follow each
other. Each instruction's direction is the car's heading as the program takes it from the
recorded sentences (the whole degrees of the course, kept while slower than 16 km/h).

It also works out, in the program's own way but independently of its code, at which fix of
the drive each instruction is given, checks that no fix lies within a metre of a trigger radius
(so that rounding cannot move the answer), and prints
the fix times, which the guidance tests expect.

    /usr/bin/python3 tools/make_demo_guidance.py
"""

import bisect
import math
import os
import struct
import sys

sys.path.insert(0, os.path.dirname(os.path.abspath(__file__)))
import zgeo  # noqa: E402

HERE = os.path.dirname(os.path.abspath(__file__))
DEMO = os.path.join(HERE, "..", "data", "demo")
MINHDGSPD = 16  # km/h: ZARN.CFG's speed before a new heading

# (km along the drive, turn type, sign, message). The sign is a scripted sign's name, or a
# picture file for the straight stretch.
INSTRUCTIONS = [
    (1.30, "S", "RGI$S.BMP", "Straight on along the main road"),
    (2.30, "S", "RGI$S.BMP", "Keep straight on"),
    (7.72, "TL", "RGI$TL", "Turn left at the junction ahead"),
    (10.12, "TR", "RGI$TR", "Turn right at the junction ahead"),
    (10.97, "B", "RGI$B", "At the roundabout, go all the way round and back towards Ashley"),
    (20.45, "S", "RGI$S", "Your destination is just ahead"),
]
RADIUS = 100  # metres
TOLERANCE = 45  # degrees


def fixes():
    out = []
    hdg = -1
    with open(os.path.join(DEMO, "ZARN.NME"), encoding="latin-1") as f:
        for line in f:
            p = line.strip().split(",")
            if not p[0] == "$GPRMC" or p[2] != "A":
                continue
            lat = int(p[3][:2]) + float(p[3][2:]) / 60
            lon = int(p[5][:3]) + float(p[5][3:]) / 60
            if p[6] == "W":
                lon = -lon
            x, y = zgeo.lltoosgb(lat, lon)
            kmh = float(p[7]) * 1.852
            if kmh > MINHDGSPD and p[8]:
                hdg = int(math.floor(float(p[8])))
            out.append((p[1][0:2] + ":" + p[1][2:4] + ":" + p[1][4:6], float(x), float(y), hdg))
    return out


def main():
    track = fixes()
    along = [0.0]
    for a, b in zip(track, track[1:]):
        along.append(along[-1] + math.hypot(b[1] - a[1], b[2] - a[2]))

    def record(km, turn, sign, message, direction=None):
        i = bisect.bisect_left(along, km)
        _, x, y, hdg = track[i]
        text = zgeo.ukgridtext(x, y)
        px, py = zgeo.parseuk(text)
        return dict(text=text, x=px, y=py, dir=hdg if direction is None else direction, wav="RGI$%s.WAV" % turn,
                    sign=sign, msg=message)

    def clear(r):
        """No fix within a metre of the trigger radius (headings are whole degrees on both sides)."""
        return all(abs(math.hypot(r["x"] - x, r["y"] - y) * 1000 - RADIUS) >= 1 for _, x, y, _ in track)

    # Each instruction moved along the track, 10 m at a time, until it is clear of boundaries.
    # The straight stretch's pair share one direction, as a route planner would write it.
    records = []
    for n, (km, turn, sign, message) in enumerate(INSTRUCTIONS):
        direction = records[0]["dir"] if n == 1 else None
        for step in (0, 1, -1, 2, -2, 3, -3, 4, -4, 5, -5):
            r = record(km + step * 0.01, turn, sign, message, direction)
            if clear(r):
                break
        else:
            sys.exit("no clear place for instruction %d" % (n + 1))
        records.append(r)

    # When is each instruction given on the first lap?
    last = None
    given = {}
    for t, x, y, hdg in track:
        best, bestdist = None, 1e10
        for k, r in enumerate(records):
            if hdg < 0 and TOLERANCE <= 180:
                continue
            d = abs(r["dir"] - hdg)
            if d > 180:
                d = abs(d - 360)
            dist = math.hypot(r["x"] - x, r["y"] - y)
            if d < TOLERANCE and dist < RADIUS / 1000 and dist < bestdist:
                best, bestdist = k, dist
        if best is None:
            continue
        key = (records[best]["text"], records[best]["dir"])
        if last == key:
            continue
        last = key
        if best in given:
            sys.exit("instruction %d given twice" % (best + 1))
        given[best] = t
    for k, r in enumerate(records):
        if k not in given:
            sys.exit("instruction %d is never given" % (k + 1))

    rgi = bytearray()
    index = bytearray()
    for r in records:
        lat, lon = zgeo.uktoll(r["x"], r["y"])
        index += struct.pack("<ffi", float(lat), float(lon), len(rgi) + 1)
        rgi += ("%s,%d,%d,%d,%s,%s\r\n%s\r\n" % (r["text"], RADIUS, r["dir"], TOLERANCE, r["wav"], r["sign"],
                                                r["msg"])).encode("latin-1")
    rgi += b"END\r\n"
    with open(os.path.join(DEMO, "ASHLEY.RGI"), "wb") as f:
        f.write(rgi)
    with open(os.path.join(DEMO, "ASHLEY.RGB"), "wb") as f:
        f.write(index)
    for k, r in enumerate(records):
        print('{"%s", "%s", %d, "%s"},' % (given[k], r["text"], r["dir"], r["wav"]))


if __name__ == "__main__":
    main()
