#!/usr/bin/python3
"""Stand-in for the outside route planners KRV.EXE and ZARNAUTO.EXE.

It plans by shortest path (Dijkstra) over the road network the road tool exports to the working
folder: NODELINK.TXT (links pointing to node numbers) or LINKNODE.TXT (links by value). Both
ends of a request are snapped to the nearest node; the route is the nodes of the shortest path.

KRV.EXE (--mode krv, the default unless the program is named zarnauto...):
  zarn writes KRVINPUT.TXT (own and destination latitude/longitude) and then KRVLEASE.TXT.
  Answering a request: KRV.REQ is created (the planner is at work), a KRVDONE.TXT left from
  before is removed, ZARN.ROO is written (a temporary file renamed over it), KRVLEASE.TXT is
  removed (a new request may come), KRV.REQ is removed (the route is ready) and KRVDONE.TXT
  created last (the planner is through).
  Started by zarn ("O") it answers the request there is and ends; with --watch it works in the
  background ("OO"), answering each request as its lease appears.

ZARNAUTO.EXE (--mode auto):
  zarn writes ZARNAUTO.TXT (eleven lines, destination on lines 4 and 5, own position on 8 and
  9). The answer is ZARNAUTO.ROO and, with --rgi, the guidance ZARNAUTO.RGI (a turn
  instruction at each node where the road bends), each written to a temporary file and renamed.
  With --watch every new ZARNAUTO.TXT is answered.

--fault chooses a misbehaving planner, to see that zarn copes:
  silent  never answers (creates nothing)
  late    answers only --delay seconds after it took the request
  half    writes the first half of the route file in place and dies at work (KRV.REQ stays,
          no KRVDONE.TXT, the lease stays)

Standard library only. Ends after one request, or with --watch after --count requests or
--seconds of running.
"""
import argparse
import heapq
import math
import os
import sys
import time

EARTH_KM = 6371.0


def find(folder, name):
    """The file of that name in the folder, matched without regard to case, as zarn does."""
    for entry in os.listdir(folder):
        if entry.upper() == name:
            return os.path.join(folder, entry)
    return None


def target(folder, name):
    """Where a file of that name is written: over an existing one of any case, else as named."""
    return find(folder, name) or os.path.join(folder, name)


def remove(folder, name):
    path = find(folder, name)
    if path:
        try:
            os.remove(path)
        except FileNotFoundError:
            pass


def replace(folder, name, text):
    """Writes the file whole: a temporary file beside it, renamed over it."""
    path = target(folder, name)
    temp = path + ".tmp"
    with open(temp, "wb") as f:
        f.write(text.encode("latin-1"))
        f.flush()
        os.fsync(f.fileno())
    os.replace(temp, path)


def readlines(folder, name):
    path = find(folder, name)
    if not path:
        return None
    with open(path, "rb") as f:
        return f.read().decode("latin-1").splitlines()


def latlon(text):
    """Latitude and longitude from "53.350000 -002.330000"; None when it is not that."""
    parts = text.split()
    if len(parts) != 2:
        return None
    try:
        return float(parts[0]), float(parts[1])
    except ValueError:
        return None


def distance(a, b):
    """Great-circle km between two (lat, lon) points."""
    la1, lo1, la2, lo2 = map(math.radians, (a[0], a[1], b[0], b[1]))
    h = math.sin((la2 - la1) / 2) ** 2 + math.cos(la1) * math.cos(la2) * math.sin((lo2 - lo1) / 2) ** 2
    return 2 * EARTH_KM * math.asin(min(1.0, math.sqrt(h)))


def bearing(a, b):
    la1, lo1, la2, lo2 = map(math.radians, (a[0], a[1], b[0], b[1]))
    y = math.sin(lo2 - lo1) * math.cos(la2)
    x = math.cos(la1) * math.sin(la2) - math.sin(la1) * math.cos(la2) * math.cos(lo2 - lo1)
    return (math.degrees(math.atan2(y, x)) + 360) % 360


class Network:
    """Nodes (lat, lon) and links with their lengths in km."""

    def __init__(self):
        self.nodes = []  # (lat, lon)
        self.bytext = {}  # position text -> node index
        self.links = {}  # node index -> [(neighbour, km)]

    def node(self, text):
        """The node a link end names: a position text, added when no node has it."""
        text = text.strip()
        if text not in self.bytext:
            p = latlon(text)
            if p is None:
                return None
            self.bytext[text] = len(self.nodes)
            self.nodes.append(p)
        return self.bytext[text]

    def link(self, a, b, km):
        self.links.setdefault(a, []).append((b, km))
        self.links.setdefault(b, []).append((a, km))

    def nearest(self, p):
        return min(range(len(self.nodes)), key=lambda i: distance(self.nodes[i], p))

    def path(self, start, goal):
        """The nodes of the shortest path, or None when the two are not joined."""
        best = {start: 0.0}
        back = {}
        heap = [(0.0, start)]
        while heap:
            d, n = heapq.heappop(heap)
            if n == goal:
                out = [n]
                while out[-1] != start:
                    out.append(back[out[-1]])
                return out[::-1]
            if d > best.get(n, math.inf):
                continue
            for m, km in self.links.get(n, ()):
                if d + km < best.get(m, math.inf):
                    best[m] = d + km
                    back[m] = n
                    heapq.heappush(heap, (d + km, m))
        return None


def readnetwork(folder):
    """The road tool's output: NODELINK.TXT (INDEX form) or else LINKNODE.TXT (VALUE form)."""
    for name, indexed in (("NODELINK.TXT", True), ("LINKNODE.TXT", False)):
        lines = readlines(folder, name)
        if lines is not None:
            break
    else:
        raise SystemExit("no road network: neither NODELINK.TXT nor LINKNODE.TXT")
    try:
        nodecount, linkcount = int(float(lines[1])), int(float(lines[2]))
    except (IndexError, ValueError):
        raise SystemExit(name + ": no node and link counts on lines 2 and 3")
    net = Network()
    numbered = {}  # node number in the file -> node index
    body = lines[3:]
    for k, line in enumerate(body[:nodecount], start=1):
        fields = line.split(",")
        if indexed and len(fields) > 1 and fields[0].strip().isdigit():
            number, fields = int(fields[0]), fields[1:]
        else:
            number = k
        i = net.node(fields[0])
        if i is not None:
            numbered[number] = i
    for line in body[nodecount:nodecount + linkcount]:
        fields = line.split(",")
        if len(fields) < 2:
            continue
        ends = []
        for f in fields[:2]:
            f = f.strip()
            ends.append(numbered.get(int(f)) if f.isdigit() else net.node(f))
        if None in ends:
            continue
        try:
            km = float(fields[4])
        except (IndexError, ValueError):
            km = distance(net.nodes[ends[0]], net.nodes[ends[1]])
        net.link(ends[0], ends[1], km)
    if not net.nodes:
        raise SystemExit(name + ": no nodes")
    return net


def compact(lat, lon):
    """The 15-character compact form "532100N0021980W", to the nearest hundredth of a minute."""
    def part(v, width, pos, neg):
        h = round(abs(v) * 6000)
        return "%0*d%02d%02d%s" % (width, h // 6000, h % 6000 // 100, h % 100, pos if v >= 0 else neg)
    return part(lat, 2, "N", "S") + part(lon, 3, "E", "W")


def plan(net, own, dest):
    """The route's points from own to dest (lat, lon), node by node; [] when they are not joined."""
    nodes = net.path(net.nearest(own), net.nearest(dest))
    return [net.nodes[i] for i in nodes] if nodes else []


def routefile(points, radius):
    lines = [" %d " % len(points)]
    for p in points:
        lines.append(compact(*p) + (" *R%d" % radius if radius is not None else ""))
    return "".join(line + "\r\n" for line in lines)


def guidancefile(points):
    """A turn instruction where the road bends by 30 degrees or more, then END."""
    out = []
    for a, b, c in zip(points, points[1:], points[2:]):
        into, outof = bearing(a, b), bearing(b, c)
        turn = (outof - into + 540) % 360 - 180
        if abs(turn) < 30:
            continue
        kind, words = ("TR", "Turn right") if turn > 0 else ("TL", "Turn left")
        out.append("%s,100,%d,45,RGI$%s.WAV,RGI$%s\r\n%s\r\n" % (compact(*b), round(into) % 360, kind, kind, words))
    return "".join(out) + "END\r\nEND\r\n"


def number(text):
    try:
        return float(text)
    except ValueError:
        return None


def die_halfway(folder, name, text):
    """A planner that dies while writing its answer: half the file, in place, and nothing more."""
    with open(target(folder, name), "wb") as f:
        f.write(text[: len(text) // 2].encode("latin-1"))
    os._exit(3)


def answer_krv(a, net):
    d = a.dir
    replace(d, "KRV.REQ", time.strftime("%m-%d-%Y %H:%M:%S") + "\r\n")
    remove(d, "KRVDONE.TXT")
    lines = readlines(d, "KRVINPUT.TXT") or []
    own = latlon(lines[0]) if len(lines) > 0 else None
    dest = latlon(lines[1]) if len(lines) > 1 else None
    points = plan(net, own, dest) if own and dest else []
    if not points:
        print("krv_planner: no route", file=sys.stderr)
    text = routefile(points, a.radius)
    if a.fault == "late":
        time.sleep(a.delay)
    if a.fault == "half":
        die_halfway(d, "ZARN.ROO", text)
    replace(d, "ZARN.ROO", text)
    remove(d, "KRVLEASE.TXT")
    remove(d, "KRV.REQ")
    replace(d, "KRVDONE.TXT", time.strftime("%m-%d-%Y %H:%M:%S") + "\r\n")


def answer_auto(a, net):
    d = a.dir
    lines = readlines(d, "ZARNAUTO.TXT") or []
    got = [number(lines[i]) if len(lines) > i else None for i in (3, 4, 7, 8)]
    points = plan(net, (got[2], got[3]), (got[0], got[1])) if None not in got else []
    text = routefile(points, a.radius)
    if a.fault == "late":
        time.sleep(a.delay)
    if a.fault == "half":
        die_halfway(d, "ZARNAUTO.ROO", text)
    if a.rgi:
        replace(d, "ZARNAUTO.RGI", guidancefile(points))
    replace(d, "ZARNAUTO.ROO", text)


def main():
    ap = argparse.ArgumentParser(description=__doc__.splitlines()[0])
    ap.add_argument("--dir", default=".", help="zarn's working folder")
    ap.add_argument("--mode", choices=["krv", "auto"],
                    help="which planner (default: auto when started as zarnauto..., else krv)")
    ap.add_argument("--watch", action="store_true", help="work in the background, answering each request")
    ap.add_argument("--rgi", action="store_true", help="automatic mode: also write ZARNAUTO.RGI")
    ap.add_argument("--radius", type=int, help="reach radius in metres written with each waypoint")
    ap.add_argument("--fault", choices=["none", "silent", "late", "half"], default="none")
    ap.add_argument("--delay", type=float, default=2.0, help="seconds a late planner waits")
    ap.add_argument("--count", type=int, default=0, help="--watch: stop after this many requests (0: never)")
    ap.add_argument("--seconds", type=float, default=0, help="--watch: stop after this long (0: never)")
    ap.add_argument("--poll", type=float, default=0.02, help="--watch: seconds between looks")
    a = ap.parse_args()
    if a.mode is None:
        a.mode = "auto" if os.path.basename(sys.argv[0]).upper().startswith("ZARNAUTO") else "krv"
    if a.fault == "silent":
        if a.watch and a.seconds:
            time.sleep(a.seconds)
        return 0
    net = readnetwork(a.dir)
    answer = answer_krv if a.mode == "krv" else answer_auto
    if not a.watch:
        answer(a, net)
        return 0

    start = time.monotonic()
    answered = 0
    last = None  # ZARNAUTO.TXT as last answered: its time and size
    while (a.count == 0 or answered < a.count) and (a.seconds == 0 or time.monotonic() - start < a.seconds):
        time.sleep(a.poll)
        if a.mode == "krv":
            if not find(a.dir, "KRVLEASE.TXT"):
                continue
        else:
            path = find(a.dir, "ZARNAUTO.TXT")
            stamp = os.stat(path) if path else None
            stamp = (stamp.st_mtime_ns, stamp.st_size) if stamp else None
            if stamp is None or stamp == last:
                continue
            last = stamp
        answer(a, net)
        answered += 1
    return 0


if __name__ == "__main__":
    sys.exit(main())
