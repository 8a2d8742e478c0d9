#!/usr/bin/python3
"""Makes the demo's road network around the recorded Cheshire drive, in data/demo (or the folder
named): the node list NODES.TXT, the link list LINKS.TXT and the network written out by value,
LINKNODE.TXT, as the road network window's OUTPUT writes it. The outside route planners read
LINKNODE.TXT.

Nodes stand on the drive's own track: at its start and end, wherever the track bends more than
30 m away from a straight line from the last node, and at least every 900 m. Where the drive
comes back along a road it has already taken, it is taken to be on that road (within 30 m of a
link) and joins its nodes (within 60 m of one) rather than adding new ones, so roads driven both
ways are one road, and the two different roads of the southern loop stay two. Three short side
roads, made up for the demo (no survey behind them), leave junctions of the drive at right
angles and end in a dead end.

Link lengths are worked out the way the program works them out (single-precision positions from
the program's national-grid series, planar distance, cut to whole metres), and the script checks
that none lies within a millimetre of a whole metre, so that rounding cannot change them. The
same bytes on every run; standard library only.

    python3 tools/make_demo_roads.py [folder]
"""

import math
import os
import struct
import sys

sys.path.insert(0, os.path.dirname(os.path.abspath(__file__)))
import demodrive  # noqa: E402

HERE = os.path.dirname(os.path.abspath(__file__))
DEMO = os.path.join(HERE, "..", "data", "demo")

BEND = 0.030      # km off the straight line from the last node that makes a new node
SPACING = 0.900   # km of track after which a node is made all the same
JOIN = 0.060      # km from a node within which the drive is taken to pass through it
ONROAD = 0.045    # km from an earlier fix within which the drive is on a road it has taken
BEHIND = 0.300    # km of track an earlier fix must lie back to count
# Side roads: (node number on the drive, "L" or "R" of the way the drive first went, km).
SIDEROADS = [(4, "R", 0.45), (12, "R", 0.6), (22, "L", 0.5)]
STAMP = ("15:07:10", "10-26-2020")  # the end of the drive, for the file's first line


def f32(v):
    """The value as a single-precision number holds it."""
    return struct.unpack("f", struct.pack("f", v))[0]


def fmtlatlon(lat, lon):
    """The program's decimal form: patterns "#00.000000" and "#000.000000"."""
    def fmt(v, width):
        return ("-" if v < 0 else "") + "%0*.6f" % (width, abs(v))
    return fmt(lat, 9) + " " + fmt(lon, 10)


# ---- Frame kilometres as the program works them out ------------------------------------------

DEGRAD = 3.1415926535898 / 180


def _cubic(l, c3, c2, c1, c0):
    return ((c3 * l + c2) * l + c1) * l + c0


def frame(text):
    """The program's frame km of a decimal latitude/longitude text (the series of the British
    chart, in the order of operations the program uses, each result kept in single precision)."""
    lat, lon = (f32(float(v)) for v in text.split())
    phi = lat * DEGRAD
    dl = (lon + 2) * DEGRAD
    l = phi * phi
    n = 0.001 * phi * _cubic(l, 297.6730308, -4035.833005, 21075.31931, 6332502.309)
    n = n + 0.001 * phi * dl * dl * _cubic(l, -30133.28311, 405319.6626, -2109428.575, 3186785.893)
    e = 0.001 * dl * _cubic(l, -5472.9871, 250042.9691, -3166992.355, 6375064.175) + 500
    e = e + 0.001 * dl * dl * dl * _cubic(l, -281847.3318, 1537771.461, -2564283.884, 1063359.643)
    e = e + 0.1
    n = n + 0.1
    if n < 0:
        n = n + 10000
    n = n - 5529.228602
    n = n + 2.1
    e = e - 100
    e = e + 0.004
    n = n - 0.089
    return f32(e), f32(n)


def length(a, b):
    """A link's length text: planar distance in single precision, cut to whole metres."""
    (x1, y1), (x2, y2) = frame(a), frame(b)
    dx, dy = f32(x2 - x1), f32(y2 - y1)
    d = f32(math.sqrt(f32(f32(dx * dx) + f32(dy * dy))))
    metres = d * 1000.0
    if abs(metres - round(metres)) < 0.001:
        sys.exit("a link of %.4f m: too near a whole metre to be sure of its rounding" % metres)
    return "%.3f" % (math.floor(metres) / 1000.0)


# ---- The drive ------------------------------------------------------------------------------

def track():
    """(lat, lon) of the drive's valid fixes, repeated fixes dropped."""
    return demodrive.fixes()


LAT0 = 53.35  # flat kilometres about the drive, for placing the nodes only
KMLAT = 111.32
KMLON = KMLAT * math.cos(math.radians(LAT0))


def local(lat, lon):
    return (lon + 2.3) * KMLON, (lat - LAT0) * KMLAT


def unlocal(x, y):
    return y / KMLAT + LAT0, x / KMLON - 2.3


def offline(p, a, b):
    """Distance (km) of point p from the segment a-b."""
    (px, py), (ax, ay), (bx, by) = p, a, b
    dx, dy = bx - ax, by - ay
    t = 0.0 if dx == dy == 0 else max(0.0, min(1.0, ((px - ax) * dx + (py - ay) * dy) / (dx * dx + dy * dy)))
    return math.hypot(px - ax - t * dx, py - ay - t * dy)


def simplified(pts, a, b):
    """Fix numbers a..b kept by Douglas-Peucker at BEND, then more so that no piece is longer
    than SPACING along the track."""
    worst = max(range(a + 1, b), key=lambda m: offline(pts[m], pts[a], pts[b]), default=None)
    if worst is not None and offline(pts[worst], pts[a], pts[b]) > BEND:
        return simplified(pts, a, worst)[:-1] + simplified(pts, worst, b)
    run = sum(math.dist(pts[m], pts[m + 1]) for m in range(a, b))
    pieces = math.ceil(run / SPACING)
    out, along, step = [a], 0.0, run / pieces
    for m in range(a, b - 1):
        along += math.dist(pts[m], pts[m + 1])
        if along >= step * len(out) and len(out) < pieces:
            out.append(m + 1)
    return out + [b]


def oldroad(pts):
    """For each fix, whether the drive has been along there before: within ONROAD of a fix at
    least BEHIND km of track earlier."""
    out, along = [], [0.0]
    for m in range(1, len(pts)):
        along.append(along[-1] + math.dist(pts[m - 1], pts[m]))
    for k, p in enumerate(pts):
        out.append(any(math.dist(p, pts[m]) < ONROAD for m in range(k) if along[k] - along[m] > BEHIND))
    return out


def network():
    """Nodes [(lat, lon, kind)] and links [(i, j)] along the drive, then the side roads."""
    fixes = track()
    pts = [local(*f) for f in fixes]
    old = oldroad(pts)
    nodes, links = [], []

    def add(k, kind="J"):
        nodes.append((round(fixes[k][0], 6), round(fixes[k][1], 6), kind))
        return len(nodes) - 1

    def where(i):
        return local(nodes[i][0], nodes[i][1])

    def attach(k):
        """The node of the network at fix k: one within JOIN, or a new one on the link it is on."""
        p = pts[k]
        near = min(range(len(nodes)), key=lambda i: math.dist(p, where(i)))
        if math.dist(p, where(near)) < JOIN:
            return near
        i, j = min(links, key=lambda l: offline(p, where(l[0]), where(l[1])))
        n = add(k)
        links[links.index((i, j))] = (i, n)
        links.append((n, j))
        return n

    k = 0
    while k < len(pts):
        if old[k]:
            k += 1
            continue
        b = k
        while b + 1 < len(pts) and not old[b + 1]:
            b += 1
        a, z = max(k - 1, 0), min(b + 1, len(pts) - 1)
        if 0 < a and z > b and sum(math.dist(pts[m], pts[m + 1]) for m in range(a, z)) < BEHIND:
            k = b + 1  # a few fixes off a road taken before: the other lane, not another road
            continue
        keep = simplified(pts, a, z)
        ids = [attach(a) if k > 0 else add(a)] + [add(m) for m in keep[1:-1]]
        links += list(zip(ids, ids[1:]))
        end = attach(z) if z > b else add(z)
        if end != ids[-1]:
            links.append((ids[-1], end))
        k = b + 1
    # Side roads: from a junction, square to the way the drive went on from it.
    for n, side, km in SIDEROADS:
        i, j = next((a, b) for a, b in links if a == n)
        (ax, ay), (bx, by) = where(i), where(j)
        d = math.hypot(bx - ax, by - ay)
        ux, uy = (bx - ax) / d, (by - ay) / d
        sx, sy = (-uy, ux) if side == "L" else (uy, -ux)
        lat, lon = unlocal(ax + sx * km, ay + sy * km)
        nodes.append((round(lat, 6), round(lon, 6), "E"))
        links.append((i, len(nodes) - 1))
    return nodes, links


def main():
    folder = sys.argv[1] if len(sys.argv) > 1 else DEMO
    nodes, links = network()
    drive = len(links) - len(SIDEROADS)
    texts = [fmtlatlon(lat, lon) for lat, lon, _ in nodes]
    nodelines = ["%s,%s" % (t, kind) for t, (_, _, kind) in zip(texts, nodes)]
    template = [",2,R,drive"] * drive + [",3,R,side road"] * len(SIDEROADS)
    linklines = ["%s,%s%s" % (texts[i], texts[j], t) for (i, j), t in zip(links, template)]
    out = ["LINKNODE.TXT of %s on %s holds %d nodes and  %d links." % (STAMP + (len(nodes), len(links))),
           " %d " % len(nodes), " %d " % len(links)] + nodelines
    for (i, j), t in zip(links, template):
        f = t.split(",")
        out.append(",".join([texts[i], texts[j], f[1], f[2], length(texts[i], texts[j]), f[3]]))
    for name, lines in (("NODES.TXT", nodelines), ("LINKS.TXT", linklines), ("LINKNODE.TXT", out)):
        with open(os.path.join(folder, name), "w", encoding="latin-1", newline="") as f:
            f.write("".join(line + "\r\n" for line in lines))
    print("%d nodes, %d links (%d side roads)" % (len(nodes), len(links), len(SIDEROADS)))


if __name__ == "__main__":
    main()
