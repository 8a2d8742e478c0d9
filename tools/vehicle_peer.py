#!/usr/bin/env python3
"""The vehicle side of a base station's link: a fleet of vehicles reporting in every line form
the link carries, moving along real recorded tracks.

The bytes go onto a pseudo-terminal made here (--pty), an inherited descriptor (--fd), a device
or FIFO (--device), or a file (--out, "-" for standard output). Beside them a manifest says what
was sent, one JSON object a line per report, so that a test can hold what the base decoded
against it. A line that fails under it (a write refused) ends the run with status 1. Standard
library only.

Forms (--forms, comma-separated; "all", "link" and "datatrak" name groups):
  ring     a dialled-in call: RING, CONNECT, the two identity lines (network id, member), the
           record length, the binary record, NO CARRIER
  hex      the same call with the record as a "HEX" line (the length line then ends in CR only,
           so the base reads the next line as text)
  dnid     a satellite data report: the call without modem lines, begun by the network id
  001      fixed-column position lines (alarms and messages follow as "002" lines)
  nmea     $..RMC and $..GGA with the vehicle's identity in the talker field
  packet   $GPRMC and $GPGGA behind a packet-radio call sign and path
  landmobile  the satellite terminal's converted position reports ("Land Mobile" ... "Position :")
  tilde    Datatrak text reports ("~")
  grave    Datatrak binary reports (grave accent); their northing holds 65.532 km only, so these
           vehicles drive their tracks moved to the far south-west of the grid
  own      the own unit's "P:" reports
A base takes Datatrak lines only once one has arrived, so with both kinds chosen the Datatrak
vehicles start reporting when the others stop (--datatrak-after, by default half the duration).
Only a text line ("~") tells the base that Datatrak has begun: the first Datatrak report is a text
one, and binary reports sent before any text line are marked as not decoded.
"""

import argparse
import glob
import json
import math
import os
import random
import select
import signal
import sys
import time
import tty

sys.path.insert(0, os.path.dirname(os.path.abspath(__file__)))
import ptyline  # noqa: E402

HERE = os.path.dirname(os.path.abspath(__file__))
TOP = os.path.dirname(HERE)
DRIVE = os.path.join(TOP, "tests", "data", "nmea", "drive", "cheshire-2020-10-26.nmea")
GPSD = os.path.join(TOP, "tests", "data", "nmea", "gpsd")

LINK_FORMS = ["ring", "hex", "001", "nmea", "packet", "landmobile", "own"]
DATATRAK_FORMS = ["tilde", "grave"]
ALL_FORMS = LINK_FORMS + DATATRAK_FORMS + ["dnid"]
# Bytes that end, split or restart a line on this link; every binary record carries some.
AWKWARD = (0x00, 0x0D, 0x0A, 0x24, 0x25, 0x3C)

# ---- the program's national-grid series (as tools/zgeo.py, for single values) ----------------

D2R = 3.1415926535898 / 180.0
SERIES_BOX = (49.8, 61.0, -8.0, 2.0)
KM_PER_LON, KM_PER_LAT = 71.549, 111.2453


def _poly(c3, c2, c1, c0, L):
    return ((c3 * L + c2) * L + c1) * L + c0


def ukseries(lat, lon):
    phi = lat * D2R
    dl = (lon + 2) * D2R
    L = phi * phi
    n = 0.001 * phi * _poly(297.6730308, -4035.833005, 21075.31931, 6332502.309, L)
    n += 0.001 * phi * dl * dl * _poly(-30133.28311, 405319.6626, -2109428.575, 3186785.893, L)
    e = 0.001 * dl * _poly(-5472.9871, 250042.9691, -3166992.355, 6375064.175, L) + 500
    e += 0.001 * dl ** 3 * _poly(-281847.3318, 1537771.461, -2564283.884, 1063359.643, L)
    e, n = e + 0.1, n + 0.1
    if n < 0:
        n += 10000
    return e - 100 + 0.004, n - 5529.228602 + 2.1 - 0.089


def lltoosgb(lat, lon):
    """Grid km of a latitude/longitude in Great Britain, as the program computes it."""
    clat = min(max(lat, SERIES_BOX[0]), SERIES_BOX[1])
    clon = min(max(lon, SERIES_BOX[2]), SERIES_BOX[3])
    x, y = ukseries(clat, clon)
    return x + (lon - clon) * KM_PER_LON, y + (lat - clat) * KM_PER_LAT


def osgbtoll(x, y):
    lat, lon = 49 + (y + 100) / 111.2, -2 + (x - 400) / 66.0
    for _ in range(30):
        fx, fy = lltoosgb(lat, lon)
        ax, ay = lltoosgb(lat, lon + 1e-6)
        bx, by = lltoosgb(lat + 1e-6, lon)
        j11, j12, j21, j22 = (ax - fx) / 1e-6, (bx - fx) / 1e-6, (ay - fy) / 1e-6, (by - fy) / 1e-6
        det = j11 * j22 - j12 * j21
        dlon = (j22 * (x - fx) - j12 * (y - fy)) / det
        dlat = (-j21 * (x - fx) + j11 * (y - fy)) / det
        lat, lon = lat + dlat, lon + dlon
        if abs(dlat) < 1e-11 and abs(dlon) < 1e-11:
            break
    return lat, lon


def gridref(x, y):
    """Fourteen-character grid reference ("SJ 75128 78480") of grid km."""
    letters = "ABCDEFGHJKLMNOPQRSTUVWXYZ"
    e100, n100 = int(x // 100), int(y // 100)
    l1 = (19 - n100) - (19 - n100) % 5 + (e100 + 10) // 5
    l2 = (19 - n100) * 5 % 25 + e100 % 5
    return "%s%s %05d %05d" % (letters[l1], letters[l2], int((x - 100 * e100) * 1000 + 0.5),
                               int((y - 100 * n100) * 1000 + 0.5))


# ---- tracks ------------------------------------------------------------------------------------

def _angle(v, hemi):
    """Degrees of an NMEA ddmm.mmmm / dddmm.mmmm field."""
    dot = v.index(".") if "." in v else len(v)
    a = float(v[:dot - 2] or 0) + float(v[dot - 2:]) / 60
    return -a if hemi in ("S", "W") else a


def _seconds(v):
    return int(v[0:2]) * 3600 + int(v[2:4]) * 60 + float(v[4:] or 0)


class Track:
    """Timed fixes of a recording, driven there and back with a pause at each end."""

    def __init__(self, name, fixes, dwell=30.0):
        self.name, self.dwell = name, dwell
        t0 = fixes[0][0]
        self.t = [f[0] - t0 for f in fixes]
        self.lat = [f[1] for f in fixes]
        self.lon = [f[2] for f in fixes]
        self.start = t0  # time of day of the first fix, seconds
        self.length = self.t[-1]
        self.period = 2 * (self.length + dwell)

    def moved(self, tlat, tlon):
        """The same track with its start moved to another latitude/longitude."""
        lat0, lon0 = self.lat[0], self.lon[0]
        k = math.cos(lat0 * D2R) / math.cos(tlat * D2R)
        fixes = [(self.start + t, tlat + la - lat0, tlon + (lo - lon0) * k)
                 for t, la, lo in zip(self.t, self.lat, self.lon)]
        return Track(self.name, fixes, self.dwell)

    def fix(self, k):
        return self.lat[k % len(self.lat)], self.lon[k % len(self.lon)]

    def _at(self, u):
        t = self.t
        lo, hi = 0, len(t) - 1
        while hi - lo > 1:
            mid = (lo + hi) // 2
            if t[mid] <= u:
                lo = mid
            else:
                hi = mid
        f = 0.0 if t[hi] == t[lo] else min(max((u - t[lo]) / (t[hi] - t[lo]), 0.0), 1.0)
        return (self.lat[lo] + f * (self.lat[hi] - self.lat[lo]),
                self.lon[lo] + f * (self.lon[hi] - self.lon[lo]))

    def at(self, s):
        """(lat, lon, knots, course) at s seconds of driving."""
        u = s % self.period
        back = u >= self.period / 2
        if back:
            u -= self.period / 2
        parked = not self.dwell <= u <= self.dwell + self.length
        u = min(max(u - self.dwell, 0.0), self.length)
        if back:
            u = self.length - u
        lat, lon = self._at(u)
        la2, lo2 = self._at(min(u + 1.0, self.length)) if not back else self._at(max(u - 1.0, 0.0))
        dy = (la2 - lat) * 111.2e3
        dx = (lo2 - lon) * 111.2e3 * math.cos(lat * D2R)
        metres = math.hypot(dx, dy)
        course = math.degrees(math.atan2(dx, dy)) % 360 if metres > 0.05 else 0.0
        return lat, lon, 0.0 if parked else metres / 0.5144, course


def read_fixes(path):
    """(time of day s, lat, lon) of the valid RMC fixes of a log, else of its GGA fixes."""
    rmc, gga = [], []
    with open(path, "rb") as f:
        for raw in f.read().decode("latin-1").splitlines():
            p = raw.split("*")[0].split(",")
            try:
                if len(p) > 6 and p[0][3:6] == "RMC" and p[2] == "A" and p[3] and p[5]:
                    rmc.append((_seconds(p[1]), _angle(p[3], p[4]), _angle(p[5], p[6])))
                elif len(p) > 6 and p[0][3:6] == "GGA" and p[6] not in ("", "0") and p[2] and p[4]:
                    gga.append((_seconds(p[1]), _angle(p[2], p[3]), _angle(p[4], p[5])))
            except (ValueError, IndexError):
                pass
    fixes, last = [], None
    for f in rmc if len(rmc) >= len(gga) else gga:
        if last is None or f[0] > last:  # one fix per time, in order
            fixes.append(f)
            last = f[0]
    return fixes


def load_tracks():
    """The Cheshire drive, then every gpsd log that moves (at least 0.3 km)."""
    drive = Track("cheshire-2020-10-26", read_fixes(DRIVE))
    tracks = [drive]
    for path in sorted(glob.glob(os.path.join(GPSD, "*.log"))):
        fixes = read_fixes(path)
        if len(fixes) < 10:
            continue
        km = sum(math.hypot((b[1] - a[1]) * 111.2, (b[2] - a[2]) * 111.2 * math.cos(a[1] * D2R))
                 for a, b in zip(fixes, fixes[1:]))
        if km < 0.3 or fixes[-1][0] - fixes[0][0] > 6 * 3600:
            continue
        tracks.append(Track(os.path.basename(path), fixes, dwell=2.0))
    return tracks


# ---- line forms --------------------------------------------------------------------------------

def nmea(body):
    c = 0
    for ch in body.encode("latin-1"):
        c ^= ch
    return "$%s*%02X\r\n" % (body, c)


def ddmm(value, width, pos, neg, decimals=4):
    a = abs(value)
    d = int(a)
    m = round((a - d) * 60, decimals)
    if m >= 60:
        d, m = d + 1, 0.0
    return "%0*d%0*.*f" % (width, d, 3 + decimals, decimals, m), (neg if value < 0 else pos)


def sentence_rmc(talker, hhmmss, lat, lon, knots, course, date="261020"):
    la, ns = ddmm(lat, 2, "N", "S")
    lo, ew = ddmm(lon, 3, "E", "W")
    return nmea("%sRMC,%s,A,%s,%s,%s,%s,%.1f,%.1f,%s,,,A" % (talker, hhmmss, la, ns, lo, ew, knots, course, date))


def sentence_gga(talker, hhmmss, lat, lon):
    la, ns = ddmm(lat, 2, "N", "S")
    lo, ew = ddmm(lon, 3, "E", "W")
    return nmea("%sGGA,%s,%s,%s,%s,%s,1,08,1.0,45.0,M,50.1,M,," % (talker, hhmmss, la, ns, lo, ew))


def nmea_latlon(sentence):
    """The latitude and longitude a sentence carries, as a reader of it gets them."""
    p = sentence.split(",")
    i = 3 if p[0][3:6] == "RMC" else 2
    return _angle(p[i], p[i + 1]), _angle(p[i + 2], p[i + 3])


def line_001(ident, serial, lat, lon, course, knots, hh, mm):
    """A fixed-column position line (northern latitudes) and the position it holds."""
    la, _ = ddmm(lat, 2, "N", "S", 3)
    lo, ew = ddmm(lon, 3, "E", "W", 3)
    line = "001 %9s %04d %s%sN %s%s%s %03d%03d%02d%02d" % (ident, serial, la[:2], la[2:], lo[:3], lo[3:], ew,
                                                          int(round(course)) % 360, min(int(knots), 999), hh, mm)
    return line, float(la[:2]) + float(la[2:]) / 60, (-1 if ew == "W" else 1) * (float(lo[:3]) + float(lo[3:]) / 60)


def dial_record(lat, lon, hh, mm, status=0, kind=None, code="", filler=()):
    """A dialled-in record: 8 bytes of position, time and status, or 20 with a kind and a code.
    Returns the bytes and the position they hold (latitude, longitude)."""
    def split(v):
        a = abs(v)
        q = int(round(a * 60 / 0.04))  # whole 0.04-minute steps
        deg, rest = divmod(q, 1500)
        mi, f = divmod(rest, 25)
        return deg, mi, f
    ld, lm, lf = split(lat)
    gd, gm, gf = split(lon)
    b = [0] * (8 if kind is None else 20)
    b[0] = (0x20 if lat < 0 else 0) | (ld >> 2)
    b[1] = ((ld & 3) << 6) | lm
    b[2] = (lf << 3) | (0x04 if lon < 0 else 0) | (gd >> 6)
    b[3] = ((gd & 0x3F) << 2) | (gm >> 4)
    b[4] = ((gm & 0x0F) << 4) | (gf >> 1)
    b[5] = ((gf & 1) << 7) | (status & 0x7F)
    # The spare bits of the time byte make it a byte that ends or splits lines.
    spare = [a for a in AWKWARD if a & 3 == hh >> 3]
    b[6] = spare[(hh * 60 + mm) % len(spare)] if spare else hh >> 3
    b[7] = ((hh & 7) << 5) | (mm // 2)
    if kind is not None:
        b[10], b[11], b[12] = ord(kind), ord(code[0]), ord(code[1])
        free = [8, 9] + list(range(13, 20))
        for i, v in zip(free, filler):
            b[i] = v
    sign_lat = -1 if lat < 0 else 1
    sign_lon = -1 if lon < 0 else 1
    return bytes(b), (sign_lat * (ld + (lm + lf * 0.04) / 60), sign_lon * (gd + (gm + gf * 0.04) / 60))


def datatrak_binary(high, low, hdgcode, spdcode, east, north, filler):
    """The ten report bytes of the binary Datatrak form."""
    f = list(filler) + [0] * 4
    return bytes([low >> 8, low & 0xFF, f[0], (f[1] & 0x80) | (hdgcode << 4) | spdcode, east >> 10,
                  (east >> 2) & 0xFF, ((east & 3) << 6) | (north >> 8), north & 0xFF,
                  (high << 4) | (f[2] & 0x0F), f[3]])


# ---- the fleet ---------------------------------------------------------------------------------

class Vehicle:
    def __init__(self, number, form, track, offset, dnid):
        self.number, self.form, self.track, self.offset = number, form, track, offset
        self.shift = None
        n = number
        if form in ("ring", "hex", "dnid"):
            self.line1, self.line2 = dnid, str(n)
            self.id, self.label = dnid + "M" + str(n), "RHD"[("ring", "hex", "dnid").index(form)] + str(n)
        elif form == "001":
            self.id, self.label = "ZN%07d" % n, "F%d" % n
        elif form == "nmea":
            k = n - 1
            self.id = ("ABCDEFHIJKLMNOQRSTUVWXYZ"[k // 10 % 24] + str(k % 10)) if k < 240 else \
                (str(k % 10) + "ABCDEFGHIJKLMNOPQRSTUVWXYZ"[(k // 10 - 24) % 26])
            self.label = "N%d" % n
        elif form == "packet":
            k = n - 1
            self.id = "M0%s%s%s-%d" % tuple([chr(65 + (k // 26 ** i) % 26) for i in (2, 1, 0)] + [k % 10])
            self.label = "P%d" % n
        elif form == "landmobile":
            self.id, self.label = "4%08d" % (47013000 + n), "L%d" % n
        elif form == "tilde":
            self.unit, self.letter = 10000 + n, "ABCDEFGHJKLMNPRSTUVWXYZ"[n % 23]
            self.id, self.label = "%s%05d" % (self.letter, self.unit), "T%d" % n
        elif form == "grave":
            self.high, self.low = 1 + n % 9, 1000 + n
            self.id, self.label = "%d%d" % (self.high, self.low), "G%d" % n
            # Moved into the binary form's northing, the south-west tip of the grid.
            lat, lon = track.lat[0], track.lon[0]
            x, y = lltoosgb(lat, lon)
            self.shift = (140 + (n * 7) % 60 - x, 15 + (n * 3) % 30 - y)
        else:
            self.id, self.label = "own", "OWN"

    def where(self, s):
        lat, lon, knots, course = self.track.at(s + self.offset)
        x, y = lltoosgb(lat, lon)
        if self.shift:
            x, y = x + self.shift[0], y + self.shift[1]
            lat, lon = osgbtoll(x, y)
        return lat, lon, x, y, knots, course


def make_fleet(forms, count, tracks, dnid, rnd):
    """count vehicles, the forms taken in turn; one own unit at most. Every fourth vehicle drives
    a gpsd recording, moved to start somewhere on the drive; the others drive the drive itself."""
    kinds = [f for f in forms if f != "own"]
    fleet, numbers = [], {}
    for i in range(count if kinds else 0):
        form = kinds[i % len(kinds)]
        family = "dial" if form in ("ring", "hex", "dnid") else form  # one numbering: one identity each
        numbers[family] = numbers.get(family, 0) + 1
        track = tracks[0]
        if i % 4 == 3 and len(tracks) > 1:
            track = tracks[1 + i // 4 % (len(tracks) - 1)].moved(*track.fix(i * 397))
        fleet.append(Vehicle(numbers[family], form, track, rnd.uniform(0, track.period), dnid))
    if "own" in forms:
        fleet.append(Vehicle(1, "own", tracks[0], 0.0, dnid))
    return fleet


def write_mcv(path, fleet, dnid, title="zarn vehicle peer fleet"):
    def cfg(value, comment):
        return "%-24s%s\r\n" % (value, comment)
    listed = [v for v in fleet if v.form not in ("own", "landmobile")]
    out = [title + "\r\n", cfg("9600,N,8,1", "serial port settings"), cfg("1", "modem commands"),
           cfg("ATS0=1", "answer on the first ring"), cfg("0800 123456", "message service number"),
           cfg("base", "message service user"), cfg("base", "message service password"),
           cfg("SEND NOW", "send-now text"), cfg("ACK", "acknowledgement text"), cfg("30", "GPS time-out, s"),
           cfg(dnid, "network id of the terminals"), cfg("0800 654321", "dial-up number"),
           cfg(str(len(listed)), "vehicles")]
    for k, v in enumerate(listed):
        lat, lon, x, y, _, _ = v.where(0)
        out.append("%s,%s,ATD%d,%s\r\n" % (v.label, v.id, 1001 + k, gridref(x, y)))
    with open(path, "wb") as f:
        f.write("".join(out).encode("latin-1"))


# ---- the player --------------------------------------------------------------------------------

class Player:
    """Turns reports of the fleet into the bytes of the link, keeping track of the data mode that
    the base is left in, so that a line which needs another mode is preceded by what switches it."""

    def __init__(self, clock, rnd):
        self.clock, self.rnd = clock, rnd
        self.mode = 2  # the base's data mode: 2 after start-up
        self.sweep = 0  # the next value of the spare record bytes: every byte value in turn
        self.tilde = False  # a Datatrak text line has been sent: the base now frames binary ones

    def filler(self, n):
        out = [(self.sweep + i) % 256 for i in range(n)]
        self.sweep = (self.sweep + n) % 256
        return out

    def hhmm(self, s):
        t = self.clock(s)
        return int(t // 3600) % 24, int(t // 60) % 60, t % 60

    def report(self, v, s, alert=None):
        """(bytes, manifest fields) of one report of vehicle v at s seconds; alert = (kind, code)."""
        lat, lon, x, y, knots, course = v.where(s)
        hh, mm, ss = self.hhmm(s)
        rec = {"form": v.form, "vehicle": v.number, "id": v.id, "label": v.label, "decoded": True}
        f = {}
        out = ""
        if v.form in ("ring", "hex", "dnid"):
            kind, code = alert if alert else (None, "")
            status = 0 if self.rnd.random() > 0.02 else self.rnd.choice((64, 65))
            data, (plat, plon) = dial_record(lat, lon, hh, mm, status, kind, code, self.filler(9) if kind else ())
            if v.form != "dnid":
                out += ("NO CARRIER\r\n" if self.mode == 3 else "") + "RING\r\nCONNECT 9600\r\n"
            out += "%s\r\n%s\r\n%d" % (v.line1, v.line2, len(data))
            if v.form == "hex":
                out += "\rHEX " + data.hex().upper() + "\r\n"
            else:
                out += "\r\n" + data.decode("latin-1")
            if v.form != "dnid":
                out += "NO CARRIER\r\n"
            self.mode = 2
            f = {"line1": v.line1, "line2": v.line2, "length": len(data), "record": data.hex(),
                 "hhmm": "%02d%02d" % (hh, mm - mm % 2), "status": status}
            if kind:
                f.update(kind=kind, code=code)
            lat, lon = plat, plon
            x, y = lltoosgb(lat, lon)
            rec["mode"] = 2
        elif v.form == "001":
            if self.mode in (1, 3):
                out += "NO CARRIER\r\n"
            line, lat, lon = line_001(v.id, self.rnd.randrange(10000), lat, lon, course, knots, hh, mm)
            out += line + "\r\n"
            self.mode = 0
            f = {"hdg": line[40:43], "knots": int(line[43:46]), "hhmm": line[46:50]}
            x, y = lltoosgb(lat, lon)
            if alert:
                out += "002 %9s %s\r\n" % (v.id, alert[1])
                f["code"] = alert[1]
            rec["mode"] = 0
        elif v.form in ("nmea", "packet"):
            talker = v.id if v.form == "nmea" else "GP"
            hms = "%02d%02d%05.2f" % (hh, mm, ss)
            gga = self.rnd.random() < 0.3
            body = sentence_gga(talker, hms, lat, lon) if gga else sentence_rmc(talker, hms, lat, lon, knots, course)
            if v.form == "packet":
                body = v.id + ">APZRN,WIDE1-1:" + body
                f["callsign"] = v.id
            out += body
            self.mode = 3
            lat, lon = nmea_latlon(body[body.index("$"):])
            x, y = lltoosgb(lat, lon)
            f.update(sentence=body[body.index("$") + 3:body.index("$") + 6], talker=talker, hhmmss=hms)
            if not gga:
                f.update(knots=round(knots, 1), course=round(course, 1))
            rec["mode"] = 3
        elif v.form == "landmobile":
            la, ns = ddmm(lat, 2, "N", "S", 2)
            lo, ew = ddmm(lon, 3, "E", "W", 2)
            out += ("Land Mobile Earth Station position report, mobile %s\r\nAtlantic East Region\r\n"
                    "Position : %s %s%s %s %s%s\r\nTime of position : %02d:%02d\r\n") % (
                v.id, la[:2], la[2:], ns, lo[:3], lo[3:], ew, hh, mm)
            self.mode = 1
            rec.update(mode=1, decoded=False)
        elif v.form in ("tilde", "grave", "own"):
            hdgcode, spdcode = int(round(course / 45)) % 8, int(round(knots * 1.1508 / 5))
            east, north = int(round(x * 250)), int(round(y * 250))
            if v.form == "tilde":
                spdcode = min(spdcode, 99)
                out += "~%05d000%d%02d%06d%06d%s0000\r\n" % (v.unit, hdgcode, spdcode, east, north, v.letter)
                self.tilde = True
            elif v.form == "grave":
                spdcode = min(spdcode, 15)
                north = min(max(north, 0), 0x3FFF)
                spare = self.filler(2)
                data = datatrak_binary(v.high, v.low, hdgcode, spdcode, east, north,
                                       (spare[0], self.rnd.randrange(256), self.rnd.randrange(16), spare[1]))
                out += "`" + data.decode("latin-1") + "\r\n"
                f["record"] = data.hex()
                rec["decoded"] = self.tilde
            else:
                spdcode = min(spdcode, 99)
                out += "P: %05d %02d%02d%02d %d %02d %06d %06d\r\n" % (
                    v.number, hh, mm, int(ss), hdgcode, spdcode, east, north)
            x, y = east / 250, north / 250
            lat, lon = osgbtoll(x, y)
            f.update(hdgcode=hdgcode, heading=hdgcode * 45, spdcode=spdcode, speed=spdcode * 5,
                     east=east, north=north)
            rec["mode"] = "own" if v.form == "own" else 4
        rec.update(lat=round(lat, 7), lon=round(lon, 7), x=round(x, 4), y=round(y, 4), fields=f)
        rec["bytes"] = out.encode("latin-1").hex()
        return out.encode("latin-1"), rec


# ---- sinks -------------------------------------------------------------------------------------

class Sink:
    """Where the bytes go. A terminal's other side may talk back (modem commands): read and
    dropped, so that the base never blocks on a full line."""

    def __init__(self, fd, drain=None, close=()):
        self.fd, self.drain_fd, self.closing = fd, drain, list(close)

    def drain(self):
        while self.drain_fd is not None:
            r, _, _ = select.select([self.drain_fd], [], [], 0)
            if not r:
                return
            try:
                if not os.read(self.drain_fd, 4096):
                    return
            except OSError:
                return

    def write(self, data):
        view = memoryview(data)
        while view:
            self.drain()
            _, w, _ = select.select([], [self.fd], [], 0.5)
            if w:
                view = view[os.write(self.fd, view):]

    def close(self):
        for fd in self.closing:
            os.close(fd)


def open_sink(args):
    if args.pty:
        master, slave = ptyline.openpty(args.link, "vehicle_peer")
        return Sink(master, master, (master, slave)), True
    if args.fd is not None:
        return Sink(args.fd, args.fd if args.drain else None), True
    if args.device:
        fd = os.open(args.device, os.O_RDWR | os.O_NOCTTY)
        if os.isatty(fd):
            tty.setraw(fd)
        return Sink(fd, fd if os.isatty(fd) else None, (fd,)), True
    if args.out in (None, "-"):
        return Sink(sys.stdout.fileno()), False
    fd = os.open(args.out, os.O_WRONLY | os.O_CREAT | os.O_TRUNC, 0o644)
    return Sink(fd, None, (fd,)), False


def parse_forms(text, dnid):
    forms = []
    for name in text.split(","):
        name = name.strip()
        group = {"all": LINK_FORMS + DATATRAK_FORMS + (["dnid"] if dnid else []),
                 "link": LINK_FORMS, "datatrak": DATATRAK_FORMS + ["own"]}.get(name, [name])
        for f in group:
            if f not in ALL_FORMS:
                raise SystemExit("vehicle_peer: unknown form %r (forms: %s)" % (f, ", ".join(ALL_FORMS)))
            if f not in forms:
                forms.append(f)
    return forms


def main(argv=None):
    ap = argparse.ArgumentParser(description=__doc__, formatter_class=argparse.RawDescriptionHelpFormatter)
    out = ap.add_argument_group("where the bytes go (one)")
    ptyline.add_options(out)
    out.add_argument("--drain", action="store_true", help="with --fd: read and drop what comes back")
    out.add_argument("--device", help="a device, FIFO or file to open and write")
    out.add_argument("--out", help="a file, '-' for standard output (default)")
    ap.add_argument("--forms", default="link", help="forms or groups (all, link, datatrak); default link")
    ap.add_argument("--vehicles", type=int, default=12, help="fleet size, 1..500 (default 12)")
    ap.add_argument("--baud", type=int, default=9600, help="line speed that paces the bytes (8N1)")
    ap.add_argument("--fast", action="store_true", help="do not wait: write as fast as the line takes")
    ap.add_argument("--interval", type=float, default=0.0,
                    help="seconds between one vehicle's reports; 0 saturates the line (default)")
    ap.add_argument("--alarm-every", type=float, default=0.0, help="an alarm (code 0n) every N seconds")
    ap.add_argument("--message-every", type=float, default=0.0, help="a message or acknowledgement every N s")
    ap.add_argument("--duration", type=float, default=60.0, help="seconds of line time; 0 = until stopped")
    ap.add_argument("--count", type=int, default=0, help="stop after this many reports")
    ap.add_argument("--datatrak-after", type=float, help="line seconds at which Datatrak vehicles take over")
    ap.add_argument("--start-delay", type=float, default=0.0, help="seconds to wait before the first byte")
    ap.add_argument("--seed", type=int, default=1, help="random seed (default 1)")
    ap.add_argument("--dnid", default="47013", help="the terminals' network id, identity line 1")
    ap.add_argument("--clock", default="now", help="report times: 'now' (local clock) or hh:mm:ss")
    ap.add_argument("--manifest", help="JSON lines of what was sent: a file, '-' for standard output")
    ap.add_argument("--write-mcv", help="also write a multi-vehicle configuration listing the fleet")
    args = ap.parse_args(argv)

    if not 1 <= args.vehicles <= 500:
        raise SystemExit("vehicle_peer: --vehicles is 1..500")
    forms = parse_forms(args.forms, args.dnid)
    rnd = random.Random(args.seed)
    tracks = load_tracks()
    fleet = make_fleet(forms, args.vehicles, tracks, args.dnid, rnd)
    if args.write_mcv:
        write_mcv(args.write_mcv, fleet, args.dnid)
    if args.clock == "now":
        lt = time.localtime()
        base = lt.tm_hour * 3600 + lt.tm_min * 60 + lt.tm_sec
    else:
        h, m, s = (int(p) for p in args.clock.split(":"))
        base = h * 3600 + m * 60 + s
    player = Player(lambda s: (base + s) % 86400, rnd)

    sink, live = open_sink(args)
    if args.manifest == "-" and not live and args.out in (None, "-"):
        raise SystemExit("vehicle_peer: the bytes and the manifest cannot both go to standard output")
    manifest = None
    if args.manifest:
        manifest = sys.stdout if args.manifest == "-" else open(args.manifest, "w")
    stop = []
    signal.signal(signal.SIGTERM, lambda *_: stop.append(1))
    signal.signal(signal.SIGINT, lambda *_: stop.append(1))

    dt = [v for v in fleet if v.form in DATATRAK_FORMS]
    first = next((k for k, v in enumerate(dt) if v.form == "tilde"), 0)
    dt = dt[first:] + dt[:first]  # a text report opens the Datatrak time
    other = [v for v in fleet if v.form not in DATATRAK_FORMS and v.form != "own"]
    own = [v for v in fleet if v.form == "own"]
    switch = args.datatrak_after
    if switch is None:
        switch = args.duration / 2 if dt and other and args.duration > 0 else (0.0 if not other else float("inf"))
    alarmable = [v for v in other if v.form in ("ring", "hex", "dnid", "001")]
    bps = args.baud / 10.0 if args.baud > 0 else 0.0
    due = {id(v): rnd.uniform(0, args.interval) for v in fleet}
    next_alarm = args.alarm_every or float("inf")
    next_msg = args.message_every or float("inf")

    if live and args.start_delay > 0:
        end = time.monotonic() + args.start_delay
        while time.monotonic() < end:
            sink.drain()
            time.sleep(0.05)
    start = time.monotonic()
    t, seq, turn, sent = 0.0, 0, 0, {}
    failed = False
    while not stop:
        if args.duration > 0 and t >= args.duration or args.count and seq >= args.count:
            break
        group = (dt if t >= switch else other) + own
        if not group:
            break
        alert = None
        if t >= next_alarm and alarmable and t < switch:
            v = rnd.choice(alarmable)
            alert = ("7", "0%d" % rnd.randrange(1, 10))
            next_alarm += args.alarm_every
        elif t >= next_msg and alarmable and t < switch:
            v = rnd.choice(alarmable)
            ack = v.form != "001" and rnd.random() < 0.3
            alert = ("A" if ack else "7", "%02d" % rnd.randrange(10, 100))
            next_msg += args.message_every
        elif args.interval > 0:
            v = min(group, key=lambda w: due[id(w)])
            if due[id(v)] > t:
                t = due[id(v)]
                continue
            due[id(v)] += args.interval
        else:
            v = group[turn % len(group)]
            turn += 1
        data, rec = player.report(v, t, alert)
        seq += 1
        rec = dict(seq=seq, t=round(t, 3), **rec)
        if alert:
            rec.update(alert=alert[1], ack=alert[0] == "A")
        if bps:
            t += len(data) / bps
        elif not live:
            t += 0.1
        else:
            t = time.monotonic() - start
        if live and not args.fast and bps:
            wait = t - (time.monotonic() - start)
            while wait > 0 and not stop:
                sink.drain()
                time.sleep(min(wait, 0.05))
                wait = t - (time.monotonic() - start)
        # The manifest names a report before the base can have seen all of it.
        if manifest:
            manifest.write(json.dumps(rec) + "\n")
            manifest.flush()
        try:
            sink.write(data)
        except OSError as e:
            # The manifest already names this report: a failed line fails the run.
            print("vehicle_peer: the line failed: %s" % e, file=sys.stderr)
            failed = True
            break
        sent[v.form] = sent.get(v.form, 0) + 1
    if manifest and manifest is not sys.stdout:
        manifest.close()
    print("vehicle_peer: %d reports in %.1f s of line time: %s" % (
        seq, t, ", ".join("%s %d" % kv for kv in sorted(sent.items()))), file=sys.stderr)
    if args.pty and not stop:
        # Keep the line up a moment so the base can read the last bytes.
        end = time.monotonic() + 1.0
        while time.monotonic() < end:
            sink.drain()
            time.sleep(0.05)
    sink.close()
    return 1 if failed else 0


if __name__ == "__main__":
    sys.exit(main())
