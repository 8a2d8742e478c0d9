#!/usr/bin/env python3
"""Makes the base-station demo: ZARN.MCV (the fleet), ZARNDIAL.CFG (its dial panel) and ZARN.MVD (a recorded multi-vehicle log
that the program replays a line a second), with seven vehicles driving the recorded Cheshire
drive, spread along it, there and back.

    python3 tools/make_demo_fleet.py [folder]

By default ZARN.MVD goes into data/demo, where the multi-vehicle demo set-up replays it, and
ZARN.MCV and ZARNDIAL.CFG into data/demo/fleet: in data/demo itself they would make every start
there a base station. With a folder named, all go there: a copy of data/demo made into the fleet demo.

The log holds what a base's link log holds, one report a line: fixed-column "001" lines of four
vans (mode 0), "$A1RMC"/"$A2RMC" sentences of two ambulances that send their identity in the
talker field (mode 3), and every half minute a dialled-in call from a lorry with its 8-byte
record written as a "HEX" line (mode 2). A "NO CARRIER" line returns the link to mode 2 where a
relayed sentence left it in mode 3. Four times a loop a van sends a "002" line, a message (12)
or an alarm (01): the first of each within two minutes of the start.

One loop drives each vehicle the whole drive and back, with a pause at each end: 2042 lines,
34 minutes. Report times are the drive's own clock; the lorry's record times therefore step
back by more than half an hour when the log starts again, so its first report after the loop
counts as new. Standard library only; the same output every run.
"""

import os
import sys

sys.path.insert(0, os.path.dirname(os.path.abspath(__file__)))
import vehicle_peer as vp  # noqa: E402

DNID = "47013"
VANS = [("VAN1", "ZN0000101", 0.10), ("VAN2", "ZN0000102", 0.35), ("BUS7", "ZN0000107", 0.60),
        ("TAXI", "ZN0000109", 0.85)]
AMBULANCES = [("AMB1", "A1", 0.17), ("AMB2", "A2", 0.67)]
LORRY = ("LORRY", DNID + "M5", 0.42)
LORRY_EVERY = 5  # rounds between the lorry's calls
# Loop fraction: who sends which code. The first pair comes in the first two minutes, so that a
# demo shows a coded message and an alarm at once; the second keeps the recording's own pace.
DIAL_PANEL = ("VAN1", "AMB1", "LORRY")  # the vehicles with a button on the dial panel
MESSAGES = {0.01: ("VAN2", "12"), 0.02: ("TAXI", "01"), 0.30: ("VAN2", "12"), 0.70: ("TAXI", "01")}


def dialcmd(k):
    """The k-th vehicle's dial command: a tone dial of a made-up extension."""
    return "ATDT%d" % (1001 + k)


def main():
    demo = os.path.join(vp.TOP, "data", "demo")
    out = sys.argv[1] if len(sys.argv) > 1 else demo
    mcvdir = out if len(sys.argv) > 1 else os.path.join(demo, "fleet")
    os.makedirs(mcvdir, exist_ok=True)
    drive = vp.Track("cheshire-2020-10-26", vp.read_fixes(vp.DRIVE), dwell=150.0)
    period = drive.period
    start = drive.start  # 14:52:39, the drive's first fix

    def where(frac, s):
        lat, lon, knots, course = drive.at(s + frac * period)
        return lat, lon, knots, course

    def clock(s):
        t = (start + s) % 86400
        return int(t // 3600), int(t // 60) % 60, t % 60

    lines = ["NO CARRIER"]  # a loop starts in the dialled-in mode, whatever the last left
    mode, rnd, serial = 2, 0, 0
    pending = dict(MESSAGES)
    while len(lines) < period:
        s = float(len(lines))
        if mode == 3:
            lines.append("NO CARRIER")
            mode = 2
        if rnd % LORRY_EVERY == 2:
            lat, lon, _, _ = where(LORRY[2], len(lines) + 4)
            hh, mm, _ = clock(len(lines) + 4)
            record, _ = vp.dial_record(lat, lon, hh, mm)
            lines += ["RING", DNID, LORRY[1][len(DNID) + 1:], str(len(record)), "HEX " + record.hex().upper()]
            mode = 2
        for label, ident, frac in VANS:
            s = float(len(lines))
            lat, lon, knots, course = where(frac, s)
            hh, mm, _ = clock(s)
            serial = (serial + 1) % 10000
            lines.append(vp.line_001(ident, serial, lat, lon, course, knots, hh, mm)[0])
            mode = 0
            for due, (who, code) in list(pending.items()):
                if who == label and s >= due * period:
                    lines.append("002 %9s %s" % (ident, code))
                    del pending[due]
        for label, talker, frac in AMBULANCES:
            s = float(len(lines))
            lat, lon, knots, course = where(frac, s)
            hh, mm, ss = clock(s)
            lines.append(vp.sentence_rmc(talker, "%02d%02d%05.2f" % (hh, mm, ss), lat, lon, knots, course).strip())
            mode = 3
        rnd += 1

    with open(os.path.join(out, "ZARN.MVD"), "wb") as f:
        f.write("".join(line + "\r\n" for line in lines).encode("latin-1"))

    def cfg(value, comment):
        return "%-24s%s\r\n" % (value, comment)
    fleet = [(label, ident, frac) for label, ident, frac in VANS + AMBULANCES + [LORRY]]
    mcv = ["Demo base station: seven vehicles around Ashley and Mobberley\r\n",
           cfg("9600,N,8,1", "serial port settings"), cfg("0", "modem commands"),
           cfg("0800 123456", "message service number"), cfg("demo", "message service user"),
           cfg("demo", "message service password"), cfg("SEND NOW", "send-now text"),
           cfg("ACK", "acknowledgement text"), cfg("30", "GPS time-out, s"),
           cfg(DNID, "network id of the terminals"), cfg("0800 654321", "dial-up number"),
           cfg(str(len(fleet)), "vehicles")]
    for k, (label, ident, frac) in enumerate(fleet):
        lat, lon, _, _ = where(frac, 0.0)
        x, y = vp.lltoosgb(lat, lon)
        mcv.append("%s,%s,%s,%s\r\n" % (label, ident, dialcmd(k), vp.gridref(x, y)))
    with open(os.path.join(mcvdir, "ZARN.MCV"), "wb") as f:
        f.write("".join(mcv).encode("latin-1"))
    # The dial panel: a call to three of the fleet (a dial selects the vehicle whose dial command
    # it is) and the hang-up; tools/modem_peer.py answers them.
    dials = [(label, dialcmd(k)) for k, (label, _, _) in enumerate(fleet) if label in DIAL_PANEL]
    dials.append(("Hangup", "+++"))
    with open(os.path.join(mcvdir, "ZARNDIAL.CFG"), "wb") as f:
        f.write("".join("%s\r\n" % line for line in [str(len(dials))] + ["%s,%s" % d for d in dials]).encode("latin-1"))
    print("make_demo_fleet: %d vehicles (ZARN.MCV in %s), %d log lines (%.0f minutes a loop, ZARN.MVD in %s)" % (
        len(fleet), mcvdir, len(lines), len(lines) / 60, out))


if __name__ == "__main__":
    main()
