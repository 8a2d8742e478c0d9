"""Position conversions done the way zarn does them, so that the demo maps put every feature
where the program will put the car.

zarn feeds GPS (WGS84) latitude/longitude straight into its national-grid series and into its
Irish-grid series. The pictures are drawn with the same series rather than with a datum-shifted
projection, so a car on the recorded track sits on the drawn road. Every function takes plain
floats or numpy arrays.
"""

import math

import numpy as np

PI = 3.1415926535898
D2R = PI / 180.0

# Letters without I: the UK grid's 5 x 5 letter block, read from the north-west corner.
_LETTERS = "ABCDEFGHJKLMNOPQRSTUVWXYZ"
# Irish 100 km squares, from the south-west, rows running west to east.
IRISH_LETTERS = "VWXYZQRSTULMNOPFGHJKABCDE"


def inukbox(lat, lon):
    """The area written as British grid references (east of the seam)."""
    if not (49.8 <= lat <= 61 and -8 <= lon <= 2):
        return False
    if lat < 52 and lon > 1.5:
        return False
    if lat < 50.1 and lon > -1:
        return False
    return True


# The seam between the Irish chart (west) and the British one (east), by latitude; due north and
# south beyond its ends.
SEAM = [(50.5, -7.0), (52.0, -5.6), (53.4, -5.35), (54.6, -5.15), (54.85, -5.45), (55.29, -6.0),
        (55.5, -6.6), (55.65, -7.3), (56.5, -9.0)]


def seamlon(lat):
    if lat <= SEAM[0][0]:
        return SEAM[0][1]
    for (a_lat, a_lon), (b_lat, b_lon) in zip(SEAM, SEAM[1:]):
        if lat <= b_lat:
            return a_lon + (b_lon - a_lon) * (lat - a_lat) / (b_lat - a_lat)
    return SEAM[-1][1]


def irishside(lat, lon):
    return lon < seamlon(lat)


# Each chart is exact over its box and carried on beyond it at the flat scale.
SERIES_BOX = (49.8, 61.0, -8.0, 2.0)
IRISH_BOX = (50.0, 57.5, -13.0, -4.0)
KM_PER_LON, KM_PER_LAT = 71.549, 111.2453


def _carry(box, projection, lat, lon):
    clat = min(max(lat, box[0]), box[1])
    clon = min(max(lon, box[2]), box[3])
    x, y = projection(clat, clon)
    return float(x) + (lon - clon) * KM_PER_LON, float(y) + (lat - clat) * KM_PER_LAT


def _poly(c3, c2, c1, c0, L):
    return ((c3 * L + c2) * L + c1) * L + c0


def ukseries(lat, lon):
    """National-grid km by the program's series, without its area tests."""
    lon = np.where(lon > 180, lon - 360, lon)
    lon = np.where(lon < -180, lon + 360, lon)
    phi = lat * D2R
    dl = (lon + 2) * D2R
    L = phi * phi
    n = 0.001 * phi * _poly(297.6730308, -4035.833005, 21075.31931, 6332502.309, L)
    n = n + 0.001 * phi * dl * dl * _poly(-30133.28311, 405319.6626, -2109428.575, 3186785.893, L)
    e = 0.001 * dl * _poly(-5472.9871, 250042.9691, -3166992.355, 6375064.175, L) + 500
    e = e + 0.001 * dl ** 3 * _poly(-281847.3318, 1537771.461, -2564283.884, 1063359.643, L)
    e = e + 0.1
    n = n + 0.1
    n = np.where(n < 0, n + 10000, n)
    n = n - 5529.228602 + 2.1
    e = e - 100 + 0.004
    n = n - 0.089
    return e, n


# Irish grid as the program holds it: Airy 1830 figures, no scale factor, no P^6 term.
_IA = 6377563.396
_IB = 6356256.91
_IE2 = 0.00667053976160256
_IDEG = 57.2957795129
_ISIN1 = 4.84813681107637e-06
_N1 = 1.0016732202503251
_N5 = 1.4021752319777774e-05
_N3 = 0.00502805974899357
_N21 = 9.837361496665501e-08
_N15 = 4.2065256959333326e-05
_N35 = 1.63956024944425e-07


def lltoirish(lat, lon):
    """Irish grid km (false origin 0, 0) by the program's series."""
    dphi = lat - 53.5
    m = _IB * ((_N1 + _N5 / 4) * dphi / _IDEG
               - (_N3 + _N21 / 8) * np.sin(dphi / _IDEG) * np.cos((dphi + 107) / _IDEG)
               + (_N15 / 8) * np.sin(2 * dphi / _IDEG) * np.cos((2 * dphi + 214) / _IDEG)
               - (_N35 / 24) * np.sin(3 * dphi / _IDEG) * np.cos((3 * dphi + 321) / _IDEG))
    s = np.sin(lat / _IDEG)
    c = np.cos(lat / _IDEG)
    t = np.tan(lat / _IDEG)
    w = (1 - _IE2 * s * s) ** 0.5
    nu = _IA / w
    rho = nu * (1 - _IE2) / (w * w)
    eta2 = w * w / (1 - _IE2) - 1
    p = (lon + 8) * 3600
    ii = nu * _ISIN1 ** 2 * s * c / 2
    iii = nu * _ISIN1 ** 4 * s * c ** 3 * (5 - t * t + 9 * eta2) / 24
    north = m + p * p * ii + p ** 4 * iii + 250000
    iv = nu * _ISIN1 * c
    v = nu * _ISIN1 ** 3 * c ** 3 * (nu / rho - t * t) / 6
    vi = nu * _ISIN1 ** 5 * c ** 5 * (5 - 18 * t * t + t ** 4 + 14 * eta2 - 58 * eta2 * t * t
                                      + 2 * eta2 * t ** 4) / 120
    east = 200000 + p * iv + p ** 3 * v + p ** 5 * vi
    return east / 1000, north / 1000


def lltoosgb(lat, lon):
    """The program's frame position (km) of one latitude/longitude."""
    if irishside(lat, lon):
        def irish(la, lo):
            e, n = lltoirish(la, lo)
            return float(e) - 320, float(n) + 173.5
        return _carry(IRISH_BOX, irish, lat, lon)
    return _carry(SERIES_BOX, ukseries, lat, lon)


def invert(fwd, x, y, lat0, lon0):
    """Latitude/longitude whose fwd(lat, lon) is (x, y): Newton steps on a numeric Jacobian."""
    lat = np.array(lat0, dtype=float) + 0 * np.asarray(x, dtype=float)
    lon = np.array(lon0, dtype=float) + 0 * np.asarray(x, dtype=float)
    h = 1e-6
    for _ in range(30):
        fx, fy = fwd(lat, lon)
        ax, ay = fwd(lat, lon + h)
        bx, by = fwd(lat + h, lon)
        j11, j12 = (ax - fx) / h, (bx - fx) / h
        j21, j22 = (ay - fy) / h, (by - fy) / h
        det = j11 * j22 - j12 * j21
        dx, dy = x - fx, y - fy
        dlon = (j22 * dx - j12 * dy) / det
        dlat = (-j21 * dx + j11 * dy) / det
        lon = lon + dlon
        lat = lat + dlat
        if np.max(np.abs(dlon)) < 1e-11 and np.max(np.abs(dlat)) < 1e-11:
            break
    return lat, lon


def uktoll(x, y):
    return invert(ukseries, x, y, 49 + (np.asarray(y) + 100) / 111.2,
                  -2 + (np.asarray(x) - 400) / 66.0)


def irishtoll(e, n):
    return invert(lltoirish, e, n, 53.5 + (np.asarray(n) - 250) / 111.2,
                  -8 + (np.asarray(e) - 200) / 66.0)


# ---- 100 km squares -------------------------------------------------------------------------

def uksquarecode(x, y):
    """Letters of the UK 100 km square holding frame (x, y) km."""
    e100 = int(math.floor(x / 100))
    n100 = int(math.floor(y / 100))
    l1 = (19 - n100) - (19 - n100) % 5 + (e100 + 10) // 5
    l2 = (19 - n100) * 5 % 25 + e100 % 5
    return _LETTERS[l1] + _LETTERS[l2]


def uksquares():
    """(code, east km, north km) of every UK square in x 0..700, y 0..1300, south to north."""
    return [(uksquarecode(c * 100, r * 100), c * 100, r * 100)
            for r in range(13) for c in range(7)]


def irishsquares():
    """(letter, east km, north km) of the Irish squares, origins in the program's frame."""
    return [(letter, (p % 5) * 100 - 320, (p // 5) * 100 + 173.5)
            for p, letter in enumerate(IRISH_LETTERS)]


# ---- position texts --------------------------------------------------------------------------

def irishtext(e, n):
    col = int(math.floor(e / 100))
    row = int(math.floor(n / 100))
    letter = IRISH_LETTERS[5 * row + col]
    ed = int(math.floor((e - 100 * col) * 1000))
    nd = int(math.floor((n - 100 * row) * 1000))
    return "%s %05d %05d" % (letter, ed, nd)


def ukgridtext(x, y):
    """Fourteen-character UK grid reference of frame (x, y) km, metres rounded half up."""
    code = uksquarecode(x, y)
    ox = math.floor(x / 100) * 100
    oy = math.floor(y / 100) * 100
    e = int(math.floor((x - ox) * 1000 + 0.5))
    n = int(math.floor((y - oy) * 1000 + 0.5))
    return "%s %05d %05d" % (code, e, n)


def llcompact(lat, lon):
    """Fifteen-character latitude/longitude: degrees, minutes, hundredths of a minute."""
    def part(v, width):
        a = abs(v)
        d = int(a)
        m = (a - d) * 60 - 0.0005
        m = min(max(m, 0.0), 59.999)
        mm = "%06.3f" % m
        return ("%0*d" % (width, d)) + mm[0:2] + mm[3:5]
    return part(lat, 2) + ("S" if lat < 0 else "N") + part(lon, 3) + ("W" if lon < 0 else "E")


def gridreftext(x, y, lat, lon):
    """The position text the program writes for a frame position (its lat/lon given)."""
    if irishside(lat, lon):
        e, n = x + 320, y - 173.5
        if 0 <= e < 500 and 0 <= n < 500:
            return irishtext(e, n)
    elif inukbox(lat, lon) and 0 <= x < 700 and 0 <= y < 1300:
        return ukgridtext(x, y)
    return llcompact(lat, lon)


def parseuk(text):
    """Frame km of a fourteen-character UK grid reference."""
    for code, ox, oy in uksquares():
        if code == text[0:2]:
            return ox + int(text[3:8]) / 1000.0, oy + int(text[9:14]) / 1000.0
    raise ValueError("no such square: " + text)


def parseirish13(text):
    """Irish grid km of a thirteen-character Irish reference."""
    p = IRISH_LETTERS.index(text[0].upper())
    return (100 * (p % 5) + int(text[2:7]) / 1000.0,
            100 * (p // 5) + int(text[8:13]) / 1000.0)


def parsecompact(text):
    lat = int(text[0:2]) + (int(text[2:4]) + int(text[4:6]) / 100) / 60
    lon = int(text[7:10]) + (int(text[10:12]) + int(text[12:14]) / 100) / 60
    if text[6] == "S":
        lat = -lat
    if text[14] == "W":
        lon = -lon
    return lat, lon
