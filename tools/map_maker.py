#!/usr/bin/python3
"""Stands in for the CD-ROM map maker that zarn asks for maps outside the national grids.

It runs beside the program (zarn never starts it) and watches zarn's working folder:

    ROMSHELF.FLG appears  ->  read ROMSHELF.DAT: "<centre>,<scale>", the centre as the
                              15-character latitude/longitude text (523050N0023050W)
                          ->  write <NAME>.BMP, then <NAME>.DES, each through a temporary
                              name renamed into place
                          ->  delete ROMSHELF.FLG, last

<NAME> is "R" and the centre text: upper case, 16 characters, never beginning with "0" (the
program reads a leading digit as a turned copy of a map), and the same again for the same
centre, whose map is then made afresh. The map is a 640 x 480 picture calibrated in latitude
and longitude, its reference points on the corner pixels (as the demo maps have them), centred
on the point and --width-km wide times the scale: far wider than twice the distance the program
moves before it asks again (5 km unless ROMSHELF.CFG says otherwise). With GMT installed the
coast, rivers and borders of GSHHG are drawn; without it (as on CI) a plain graticule. Either
way a latitude/longitude grid and a cross at the centre.

    /usr/bin/python3 tools/map_maker.py --dir <zarn's working folder>

--fault silent|late|half makes it never answer, answer --delay seconds late, or write half the
picture under its temporary name and die with the flag still there. --once answers one request
and ends. Standard library only.
"""

import argparse
import math
import os
import shutil
import subprocess
import sys
import time

sys.dont_write_bytecode = True

W, H = 640, 480
KM_PER_DEG = 111.32
BACK = (244, 241, 232)
GRID = (150, 170, 225)
GRIDSTRONG = (70, 100, 200)
COAST = (60, 110, 170)
RIVER = (80, 140, 215)
BORDER = (150, 60, 150)
CENTRE = (200, 0, 0)


def find(folder, name):
    """The file of that name in the folder, in whatever case it is spelt there; None if absent."""
    up = name.upper()
    try:
        for n in os.listdir(folder):
            if n.upper() == up:
                return os.path.join(folder, n)
    except OSError:
        pass
    return None


def parse_compact(text):
    """Latitude and longitude of a 15-character compact text; None when it is not one."""
    t = text.strip().upper()
    if len(t) != 15 or t[6] not in "NS" or t[14] not in "EW":
        return None
    if not (t[0:6].isdigit() and t[7:14].isdigit()):
        return None
    lat = int(t[0:2]) + (int(t[2:4]) + int(t[4:6]) / 100) / 60
    lon = int(t[7:10]) + (int(t[10:12]) + int(t[12:14]) / 100) / 60
    return (-lat if t[6] == "S" else lat), (-lon if t[14] == "W" else lon)


def compact(lat, lon):
    """The 15-character text of a position on whole hundredths of a minute, written exactly."""
    def part(v, width):
        h = int(round(abs(v) * 6000))
        return "%0*d%02d%02d" % (width, h // 6000, h % 6000 // 100, h % 100)
    return part(lat, 2) + ("S" if lat < 0 else "N") + part(lon, 3) + ("W" if lon < 0 else "E")


def hundredths(v):
    """v on the nearest hundredth of a minute."""
    return round(v * 6000) / 6000


def mapname(centre):
    return "R" + centre.upper()


class Sheet:
    """The picture's frame: pixel (c, r) has its centre at lon0 + c sx, lat1 - r sy."""

    def __init__(self, lat, lon, width_km):
        half_lon = width_km / 2 / (KM_PER_DEG * max(0.05, math.cos(math.radians(lat))))
        half_lat = width_km * 3 / 8 / KM_PER_DEG
        self.lat0 = hundredths(max(-89.9, lat - half_lat))
        self.lat1 = hundredths(min(89.9, lat + half_lat))
        self.lon0 = hundredths(lon - half_lon)
        self.lon1 = hundredths(lon + half_lon)
        self.sx = (self.lon1 - self.lon0) / (W - 1)
        self.sy = (self.lat1 - self.lat0) / (H - 1)
        # Rows top-down, pixels blue-green-red as a BMP holds them.
        self.img = bytearray(bytes((BACK[2], BACK[1], BACK[0]))) * (W * H)

    def pix(self, lat, lon):
        return (lon - self.lon0) / self.sx, (self.lat1 - lat) / self.sy

    def dot(self, c, r, colour, width=1):
        c0, r0 = int(round(c)) - width // 2, int(round(r)) - width // 2
        bgr = bytes((colour[2], colour[1], colour[0]))
        for rr in range(max(r0, 0), min(r0 + width, H)):
            for cc in range(max(c0, 0), min(c0 + width, W)):
                at = 3 * (rr * W + cc)
                self.img[at:at + 3] = bgr

    def line(self, p, q, colour, width=1):
        (c0, r0), (c1, r1) = p, q
        n = int(max(abs(c1 - c0), abs(r1 - r0))) + 1
        if n > 4 * (W + H):  # far off the picture: not worth a step per pixel
            return
        for k in range(n + 1):
            t = k / n
            self.dot(c0 + (c1 - c0) * t, r0 + (r1 - r0) * t, colour, width)

    def polyline(self, lonlat, colour, width=1):
        pts = [self.pix(la, lo) for lo, la in lonlat]
        for p, q in zip(pts, pts[1:]):
            self.line(p, q, colour, width)

    def graticule(self):
        span = self.lon1 - self.lon0
        step = next(s for s in (1 / 60, 2 / 60, 5 / 60, 10 / 60, 0.5, 1.0, 2.0, 5.0) if span / s <= 16)
        for k in range(math.ceil(self.lon0 / step), math.floor(self.lon1 / step) + 1):
            c, _ = self.pix(0, k * step)
            strong = abs(k * step * 6 - round(k * step * 6)) < 1e-9  # every ten minutes
            self.line((c, 0), (c, H - 1), GRIDSTRONG if strong else GRID)
        for k in range(math.ceil(self.lat0 / step), math.floor(self.lat1 / step) + 1):
            _, r = self.pix(k * step, 0)
            strong = abs(k * step * 6 - round(k * step * 6)) < 1e-9
            self.line((0, r), (W - 1, r), GRIDSTRONG if strong else GRID)

    def cross(self, lat, lon):
        c, r = self.pix(lat, lon)
        self.line((c - 12, r), (c + 12, r), CENTRE, 3)
        self.line((c, r - 12), (c, r + 12), CENTRE, 3)

    def bmp(self):
        """24-bit BMP bytes: rows bottom-up, blue-green-red."""
        rows = b"".join(bytes(self.img[3 * W * r:3 * W * (r + 1)]) for r in range(H - 1, -1, -1))
        size = 54 + len(rows)
        head = b"BM" + size.to_bytes(4, "little") + bytes(4) + (54).to_bytes(4, "little")
        info = (40).to_bytes(4, "little") + W.to_bytes(4, "little") + H.to_bytes(4, "little")
        info += (1).to_bytes(2, "little") + (24).to_bytes(2, "little") + bytes(4)
        info += len(rows).to_bytes(4, "little") + (2835).to_bytes(4, "little") * 2 + bytes(8)
        return head + info + rows


def gmt_segments(sheet, what):
    """Lines of GSHHG or DCW features in the sheet's box, as lists of (lon, lat); [] on failure."""
    box = "-R%.5f/%.5f/%.5f/%.5f" % (sheet.lon0, sheet.lon1, sheet.lat0, sheet.lat1)
    try:
        out = subprocess.run(["gmt", "coast", box, "-Df", what, "-M"], capture_output=True, text=True,
                             timeout=60, check=True).stdout
    except (OSError, subprocess.SubprocessError):
        return []
    segs, cur = [], []
    for line in out.splitlines():
        if line.startswith(">"):
            if len(cur) > 1:
                segs.append(cur)
            cur = []
            continue
        p = line.split()
        if len(p) >= 2:
            cur.append((float(p[0]), float(p[1])))
    if len(cur) > 1:
        segs.append(cur)
    return segs


def render(lat, lon, width_km, use_gmt):
    sheet = Sheet(lat, lon, width_km)
    if use_gmt:
        for what, colour, width in (("-Ir", RIVER, 1), ("-N1", BORDER, 2), ("-W", COAST, 2)):
            for seg in gmt_segments(sheet, what):
                sheet.polyline(seg, colour, width)
    sheet.graticule()
    sheet.cross(lat, lon)
    return sheet


def write_through(folder, name, data):
    """Writes a file under a temporary name (not one the program lists) and renames it into place."""
    tmp = os.path.join(folder, "." + name + ".part")
    with open(tmp, "wb") as f:
        f.write(data)
        f.flush()
        os.fsync(f.fileno())
    os.replace(tmp, os.path.join(folder, name))


def description(name, sheet, lat, lon):
    ns, ew = ("S" if lat < 0 else "N"), ("W" if lon < 0 else "E")
    title = "Made map %d %05.2f%s %d %05.2f%s" % (int(abs(lat)), abs(lat) % 1 * 60, ns, int(abs(lon)),
                                                    abs(lon) % 1 * 60, ew)
    lines = [title, name, "LL, %d, %d" % (W, H),
             "%s, 0, %d" % (compact(sheet.lat0, sheet.lon0), H - 1),
             "%s, %d, 0" % (compact(sheet.lat1, sheet.lon1), W - 1),
             "ZARN.WAW"]
    return "".join(line + "\r\n" for line in lines).encode("latin-1")


def answer(folder, args, use_gmt):
    """Serves the request whose flag is there; returns the map name made, or None."""
    flag = find(folder, "ROMSHELF.FLG")
    dat = find(folder, "ROMSHELF.DAT")
    request = ""
    if dat:
        with open(dat, "rb") as f:
            lines = f.read().decode("latin-1").splitlines()
        request = lines[0] if lines else ""
    fields = request.split(",")
    pos = parse_compact(fields[0]) if fields else None
    name = None
    if pos is None:
        print("map_maker: no centre in %r" % request, file=sys.stderr)
    else:
        try:
            scale = float(fields[1]) if len(fields) > 1 else 1.0
        except ValueError:
            scale = 1.0
        lat, lon = pos
        name = mapname(fields[0].strip())
        sheet = render(lat, lon, args.width_km * (scale if scale > 0 else 1.0), use_gmt)
        picture = sheet.bmp()
        if args.fault == "half":
            with open(os.path.join(folder, "." + name + ".BMP.part"), "wb") as f:
                f.write(picture[: len(picture) // 2])
            os._exit(1)
        write_through(folder, name + ".BMP", picture)
        write_through(folder, name + ".DES", description(name, sheet, lat, lon))
        print("map_maker: %s for %s" % (name, request), file=sys.stderr)
    if flag and os.path.exists(flag):
        os.remove(flag)
    return name


def main():
    ap = argparse.ArgumentParser(description=__doc__.split("\n")[0])
    ap.add_argument("--dir", default=".", help="zarn's working folder")
    ap.add_argument("--width-km", type=float, default=40.0, help="map width at scale 1")
    ap.add_argument("--poll", type=float, default=0.1, help="seconds between looks for the flag")
    ap.add_argument("--fault", choices=("silent", "late", "half"))
    ap.add_argument("--delay", type=float, default=10.0, help="seconds late, with --fault late")
    ap.add_argument("--once", action="store_true", help="end after one request")
    ap.add_argument("--no-gmt", action="store_true", help="the plain graticule even with GMT")
    args = ap.parse_args()
    use_gmt = not args.no_gmt and shutil.which("gmt") is not None
    while True:
        if find(args.dir, "ROMSHELF.FLG") and args.fault != "silent":
            if args.fault == "late":
                time.sleep(args.delay)
            answer(args.dir, args, use_gmt)
            if args.once:
                return
        time.sleep(args.poll)


if __name__ == "__main__":
    main()
