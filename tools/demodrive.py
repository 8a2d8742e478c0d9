"""The recorded drive the demo data are made from: its valid fixes, for the demo generators."""

import os

DRIVE = os.path.join(os.path.dirname(os.path.abspath(__file__)), "..", "tests", "data", "nmea", "drive",
                     "cheshire-2020-10-26.nmea")


def fixes(path=DRIVE):
    """(lat, lon) in degrees of the drive's valid RMC fixes, a fix repeating the last one dropped."""
    out = []
    with open(path, encoding="latin-1") as f:
        for line in f:
            p = line.strip().split(",")
            if p[0] != "$GPRMC" or len(p) < 7 or p[2] != "A":
                continue
            lat = int(p[3][:2]) + float(p[3][2:]) / 60
            lon = (int(p[5][:3]) + float(p[5][3:]) / 60) * (-1 if p[6] == "W" else 1)
            if not out or (lat, lon) != out[-1]:
                out.append((lat, lon))
    return out
