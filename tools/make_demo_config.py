#!/usr/bin/python3
"""Writes the demo's configuration files and its replay script into data/demo.

    tools/make_demo_config.py [output directory]     (default: data/demo)

Files written (text, CR LF line ends, as the program reads them):
    ZARN.CFG     main settings: destination the end of the drive, home at its start, GPS
                 on COM1 (without a receiver there the demo plays), speech on
    SOUNDS.CFG   sound on and the usual report intervals
    HISTORY.CFG  a red trail dot every 10 seconds
    DIALS.CFG    the instruments window shown at start
    ZARN.LOC     a few destinations around the drive
    ZARN.MOR     the guidance file of the drive's end
    ZARN.CAT     the categories of the demo's symbol icons
    ZARN.FND     the search lists (the towns' text and binary lists, the population centres)
    ZARN.NME     the replay and demo script: the recorded Cheshire drive with a few script lines

The drive is tests/data/nmea/drive/cheshire-2020-10-26.nmea, a receiver recording that
reports every position twice a second, the first time with the position before it. The
script keeps, for each second of the drive, the last RMC sentence, unchanged (checksums
included): one fix per second, so one replay step (one second) plays one second of the drive.
It never touches the maps, pictures, icons or recorded prompts.
"""

import os
import sys

TOP = os.path.dirname(os.path.dirname(os.path.abspath(__file__)))
OUT = sys.argv[1] if len(sys.argv) > 1 else os.path.join(TOP, "data", "demo")
DRIVE = os.path.join(TOP, "tests", "data", "nmea", "drive", "cheshire-2020-10-26.nmea")


def write(name, lines):
    with open(os.path.join(OUT, name), "wb") as f:
        for line in lines:
            f.write(line.encode("latin-1") + b"\r\n")


def cfgline(value, comment):
    """A ZARN.CFG line: the value, blanks to column 24, the comment."""
    return value if len(value) >= 24 else value.ljust(24) + comment


def drive_fixes():
    """The last RMC sentence of each second of the drive, in order."""
    fixes = []
    with open(DRIVE, encoding="ascii") as f:
        for line in f:
            line = line.strip()
            if not line.startswith("$GPRMC,"):
                continue
            second = line.split(",")[1][:6]
            if fixes and fixes[-1][0] == second:
                fixes[-1] = (second, line)
            else:
                fixes.append((second, line))
    return [line for _, line in fixes]


def easting_minutes(rmc):
    """Minutes of longitude east (negative west), enough to find the drive's western end."""
    f = rmc.split(",")
    minutes = int(f[5][:3]) * 60 + float(f[5][3:])
    return -minutes if f[6] == "W" else minutes


def main():
    os.makedirs(OUT, exist_ok=True)
    write("ZARN.CFG", [
        cfgline("SJ 79227 84523", "Destination Location"),
        cfgline("End of the drive", ""),
        cfgline("destinat.wav", "Destination sound"),
        cfgline("SJ 79718 84625", "Home Location"),
        cfgline("COM1", "GPS com port COM1,COM2"),
        cfgline("COM2", "Telephone port"),
        cfgline("COM3", "Traffic data port"),
        cfgline(" 0", "GPS correction metres East"),
        cfgline(" 0", "GPS correction metres North"),
        cfgline(" 0", "Platform 0=car,1=balloon,2=aircraft"),
        cfgline(" 16", "Speed in kmph before new heading"),
        cfgline("Yes", "Text to Speech Available"),
        cfgline("\\japan\\", "was for Japanese sounds. not used"),
        cfgline("", "Path for extra maps"),
        cfgline("10-26-2020 15:10:00", "Last update"),
        "The above lines configure ZARN and should",
        "only be edited with great care !",
    ])
    # Prompts on; where we are, destination, direction of travel, route guidance, new road,
    # landmark, map change, GPS state, ETA.
    write("SOUNDS.CFG", ["0", "60", "20", "60", "1", "1", "1", "1", "1", "60"])
    write("HISTORY.CFG", ["1", "255,0,0", "50,5,100"])
    write("DIALS.CFG", ["The instruments window is shown at start."])
    write("ZARN.LOC", [
        "SJ 75128 78480,Knutsford",
        "SJ 76929 87885,Altrincham",
        "SJ 77973 86856,Hale",
        "SJ 68336 87215,Lymm",
        "SJ 79718 84625,Start of the drive",
        "SJ 79227 84523,End of the drive",
    ])
    # The drive's end has route guidance along the drive (made by make_demo_guidance.py).
    write("ZARN.MOR", [',NULL,"End of the drive",NULL,ASHLEY.RGI'])
    write("ZARN.CAT", [
        '"FS","Filling station"',
        '"E","Emergency services"',
        '"S","School"',
        '"L","Landmark"',
        '"LPOP","Town or village"',
    ])
    write("ZARN.FND", [
        "Search lists of the demo (TOWNS.GTX and TOWNS.GED: make_demo_lists.py)",
        '"TOWNS.GTX","Town"',
        '"TOWNS.GED","Town (binary list)"',
        '"$LPOP.PCD","Population centre"',
        '"END",""',
    ])

    fixes = drive_fixes()
    west = min(range(len(fixes)), key=lambda i: easting_minutes(fixes[i]))
    script = [
        "TXT A drive through Cheshire, recorded on 26 October 2020",
        "SAY This is a real drive, recorded near Knutsford.",
    ]
    script += fixes[:west]
    script.append("TXT Turning back towards Ashley")
    script += fixes[west:]
    script.append("TXT The drive is over. It starts again from the beginning.")
    write("ZARN.NME", script)
    print(f"{OUT}: ZARN.NME holds {len(fixes)} fixes; the turn is at fix {west + 1}")


if __name__ == "__main__":
    main()
