#!/usr/bin/python3
"""Writes the replay scripts of the control panel's three demos into data/demo.

    tools/make_demo_replays.py [output directory]     (default: data/demo)

Files written (text, CR LF line ends, as the program reads them):
    DEMO.NME      CAR DEMO: the recorded Cheshire drive to its end with route guidance. Its
                  first line makes the drive's end (entry 6 of ZARN.LOC) the destination, which
                  takes up the guidance ASHLEY.RGI (ZARN.MOR), so each lap is guided afresh
                  whatever destination an earlier demo left.
    DFDEMO.NME    DFDEMO: the same drive with a direction finder in the car, its lines as the
                  stand-in tools/df_finder.py sends them (no garbled ones): every 10 s the
                  heading ("%hhh.h") and a bearing to a transmitter at SJ 77806 83707, the
                  three bearing forms in turn. The bearings are drawn as lines and their cross
                  fixes become the destination.
    DFCOLOUR.CFG  the bearing lines in magenta, the newest brightest, so that they stand out on
                  the pale maps (without it they are white).
    CELLDEMO.NME  CELLDEMO: the drive as a mobile network places a phone in the car: each
                  second the centre of the network cell the car is in (here the network's
                  cells are the 1 km squares of the national grid), with the car's own speed
                  and course as recorded.

The drive is the one ZARN.NME plays (tools/make_demo_config.py): the last RMC sentence of each
second, one replay step a second. Standard library only (and tools/zgeo.py); the same bytes on
every run.
"""

import math
import os
import sys

sys.path.insert(0, os.path.dirname(os.path.abspath(__file__)))
import df_finder  # noqa: E402
import make_demo_config  # noqa: E402
import zgeo  # noqa: E402

TOP = os.path.dirname(os.path.dirname(os.path.abspath(__file__)))
DF_EVERY = 10  # fixes (seconds) between two bearings


def write(out, name, lines):
    with open(os.path.join(out, name), "wb") as f:
        for line in lines:
            f.write(line.encode("latin-1") + b"\r\n")


def parsermc(rmc):
    """(lat, lon, course) of an RMC sentence."""
    p = rmc.split(",")
    lat = int(p[3][:2]) + float(p[3][2:]) / 60
    lon = (int(p[5][:3]) + float(p[5][3:]) / 60) * (-1 if p[6] == "W" else 1)
    return lat, lon, float(p[8]) if p[8] else 0.0


def moved(rmc, lat, lon):
    """The RMC sentence with its position replaced by (lat, lon), its checksum made afresh."""
    def part(value, degdigits):
        v = abs(value)
        deg = int(v)
        minutes = round((v - deg) * 60, 4)
        if minutes >= 60:
            deg, minutes = deg + 1, minutes - 60
        return "%0*d%07.4f" % (degdigits, deg, minutes)

    p = rmc[1:rmc.index("*")].split(",")
    p[3:7] = [part(lat, 2), "N" if lat >= 0 else "S", part(lon, 3), "E" if lon >= 0 else "W"]
    body = ",".join(p)
    return "$%s*%s" % (body, df_finder.checksum(body))


def cardemo(fixes):
    return ["TXT Car demo: the drive to its end, with route guidance",
            'KEY "6D"',
            ] + fixes + ["TXT The drive is over. It starts again from the beginning."]


def dfdemo(fixes):
    tlat, tlon = (float(v) for v in df_finder.TARGET.split(","))
    tx, ty = zgeo.lltoosgb(tlat, tlon)
    finder = df_finder.Finder(tlat, tlon, every=DF_EVERY, garble=0)
    script = ["TXT DF demo: bearings to a transmitter near %s, taken from the car" % zgeo.ukgridtext(tx, ty),
              "SAY Watch the bearing lines cross where the transmitter is."]
    for rmc in fixes:
        script.append(rmc)
        lat, lon, course = parsermc(rmc)
        script += finder.after(lat, lon, course)[0]
    script.append("TXT The drive is over. It starts again from the beginning.")
    return script, finder.bearings


def dfcolours():
    """Ten colours as the program reads them (red + 256 green + 65536 blue), newest line first."""
    return ["%d" % (c + 65536 * c) for c in range(255, 155, -10)]


def celldemo(fixes):
    script = ["TXT Cell demo: the car as the mobile network places it, cell by cell",
              "SAY Now the position comes from the mobile network."]
    cells = []
    for rmc in fixes:
        lat, lon, _ = parsermc(rmc)
        x, y = zgeo.lltoosgb(lat, lon)
        cell = (math.floor(x) + 0.5, math.floor(y) + 0.5)
        if not cells or cells[-1] != cell:
            cells.append(cell)
        clat, clon = zgeo.uktoll(*cell)
        script.append(moved(rmc, float(clat), float(clon)))
    script.append("TXT The drive is over. It starts again from the beginning.")
    return script, len(cells)


def main():
    out = sys.argv[1] if len(sys.argv) > 1 else os.path.join(TOP, "data", "demo")
    os.makedirs(out, exist_ok=True)
    fixes = make_demo_config.drive_fixes()
    write(out, "DEMO.NME", cardemo(fixes))
    script, bearings = dfdemo(fixes)
    write(out, "DFDEMO.NME", script)
    write(out, "DFCOLOUR.CFG", dfcolours())
    script, cells = celldemo(fixes)
    write(out, "CELLDEMO.NME", script)
    print(f"{out}: {len(fixes)} fixes; DFDEMO.NME {bearings} bearings, CELLDEMO.NME {cells} cells")


if __name__ == "__main__":
    main()
