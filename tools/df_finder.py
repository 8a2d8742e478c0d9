#!/usr/bin/env python3
"""A direction finder in a car: the recorded Cheshire drive replayed on a serial line, with bearings
towards a transmitter at a fixed place.

After every --every fixes the finder reports its compass heading ("%hhh.h") and then a bearing to
the transmitter relative to that heading, in turn in each of its three forms:

    %bbb.b/q         bearing to a tenth of a degree, q the signal quality 0..9
    %bbb/q           bearing in whole degrees
    $DFBRG,bbb.b*hh  the NMEA form, with its checksum

Bearings are grid bearings (from the national grid's north) made relative to the heading sent just
before. Every --garble lines one garbled line goes out as well: line noise, a cut sentence, a
bearing sentence with a wrong checksum or a bearing line whose number does not read.

The line is a pseudo-terminal made here (--pty, named on stderr) or an inherited descriptor (--fd).
With --manifest each bearing sent is written there as a JSON line.
"""

import argparse
import json
import math
import os
import sys
import time

sys.path.insert(0, os.path.dirname(os.path.abspath(__file__)))
import demodrive  # noqa: E402
import ptyline  # noqa: E402

TARGET = "53.3500,-2.3350"  # the transmitter, near Ashley: latitude,longitude
CENTRAL_LON = -2.0  # the national grid's central meridian
EARTH_A, EARTH_B = 6377563.396, 6356256.909  # Airy 1830, the grid's ellipsoid


def checksum(body):
    c = 0
    for ch in body.encode("latin-1"):
        c ^= ch
    return "%02X" % c


def gridbearing(lat1, lon1, lat2, lon2):
    """Bearing from grid north of the short line from point 1 to point 2, degrees 0..360."""
    phi = math.radians((lat1 + lat2) / 2)
    e2 = 1 - (EARTH_B / EARTH_A) ** 2
    w = math.sqrt(1 - e2 * math.sin(phi) ** 2)
    meridian = EARTH_A * (1 - e2) / w ** 3  # radius of curvature along the meridian
    normal = EARTH_A / w
    dx = math.radians(lon2 - lon1) * normal * math.cos(phi)
    dy = math.radians(lat2 - lat1) * meridian
    true = math.degrees(math.atan2(dx, dy))
    convergence = (lon1 - CENTRAL_LON) * math.sin(math.radians(lat1))
    return (true - convergence) % 360


def drive(path):
    """(rmc line, lat, lon, course) of each valid RMC of the recorded drive, and the other lines
    before it, as recorded."""
    before = []
    with open(path, encoding="latin-1") as f:
        for line in f:
            line = line.strip()
            p = line.split(",")
            if p[0] != "$GPRMC" or len(p) < 9 or p[2] != "A":
                before.append(line)
                continue
            lat = int(p[3][:2]) + float(p[3][2:]) / 60
            lon = (int(p[5][:3]) + float(p[5][3:]) / 60) * (-1 if p[6] == "W" else 1)
            course = float(p[8]) if p[8] else 0.0
            yield before, line, lat, lon, course
            before = []


GARBLED = [
    lambda b: "\x07#@!\x1b~~ noise",
    lambda b: "$GPRMC,1452",                       # cut off
    lambda b: "$DFBRG,%05.1f*00" % b,              # wrong checksum
    lambda b: "%x2y.z/5",                          # a number that does not read
    lambda b: "%%%03d/" % int(b) + "\x00",        # a bearing line with a stray byte
]


class Finder:
    """What the finder sends after each fix: its heading and a bearing to the target after every
    `every` fixes, the three bearing forms in turn, and a garbled line after every `garble`
    bearings (0: none)."""

    def __init__(self, tlat, tlon, every=20, garble=9):
        self.tlat, self.tlon, self.every, self.garble = tlat, tlon, every, garble
        self.fixes = self.bearings = self.form = 0

    def after(self, lat, lon, course):
        """The lines sent after a fix at (lat, lon) with the course given, and for a bearing the
        manifest entry (else None)."""
        self.fixes += 1
        if self.fixes % self.every:
            return [], None
        heading = round(course, 1) % 360
        lines = ["%%%05.1f" % heading]
        # The program takes the heading to the whole degree, halves to the even one.
        rel = (gridbearing(lat, lon, self.tlat, self.tlon) - round(heading)) % 360
        if self.form == 0:
            text = "%%%05.1f/%d" % (rel, 5)
            rel = float("%.1f" % rel)
        elif self.form == 1:
            rel = float(round(rel) % 360)
            text = "%%%03d/%d" % (rel, 5)
        else:
            body = "DFBRG,%05.1f" % rel
            text = "$%s*%s" % (body, checksum(body))
            rel = float(int(float("%.1f" % rel)))  # the sentence gives its whole part
        if rel >= 360:
            rel -= 360
        lines.append(text)
        self.bearings += 1
        entry = {"line": text, "lat": lat, "lon": lon, "heading": round(heading), "relative": rel}
        if self.garble and self.bearings % self.garble == 0:
            lines.append(GARBLED[(self.bearings // self.garble) % len(GARBLED)](rel))
        self.form = (self.form + 1) % 3
        return lines, entry


def main():
    ap = argparse.ArgumentParser(description=__doc__, formatter_class=argparse.RawDescriptionHelpFormatter)
    ptyline.add_options(ap)
    ap.add_argument("--drive", default=demodrive.DRIVE, help="the recorded drive (NMEA)")
    ap.add_argument("--target", default=TARGET, help="the transmitter: latitude,longitude")
    ap.add_argument("--every", type=int, default=20, help="fixes between two bearings")
    ap.add_argument("--garble", type=int, default=9, help="a garbled line after every so many bearings (0: none)")
    ap.add_argument("--interval", type=float, default=1.0, help="seconds between fixes (0: as fast as read)")
    ap.add_argument("--start", type=int, default=0, help="fixes of the drive skipped first")
    ap.add_argument("--count", type=int, default=0, help="fixes sent (0: the whole drive)")
    ap.add_argument("--manifest", help="a JSON line per bearing sent")
    a = ap.parse_args()

    tlat, tlon = (float(v) for v in a.target.split(","))
    if a.pty:
        out, keep = ptyline.openpty(a.link, "df_finder")
    elif a.fd is not None:
        out, keep = a.fd, None
    else:
        out, keep = sys.stdout.fileno(), None
    manifest = open(a.manifest, "w") if a.manifest else None

    def send(text):
        data = (text + "\r\n").encode("latin-1")
        while data:
            data = data[os.write(out, data):]

    finder = Finder(tlat, tlon, a.every, a.garble)
    sent = 0
    for n, (before, rmc, lat, lon, course) in enumerate(drive(a.drive)):
        if n < a.start:
            continue
        if a.count and sent >= a.count:
            break
        for line in before:
            send(line)
        send(rmc)
        sent += 1
        lines, entry = finder.after(lat, lon, course)
        for line in lines:
            send(line)
        if manifest and entry:
            manifest.write(json.dumps(entry) + "\n")
            manifest.flush()
        if a.interval > 0:
            time.sleep(a.interval)
    if manifest:
        manifest.close()
    if keep is not None:
        time.sleep(0.5)  # let the reader take the last lines before the line goes
    return 0


if __name__ == "__main__":
    sys.exit(main())
