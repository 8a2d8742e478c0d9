#!/usr/bin/python3
"""Stand-in for the pager-sending program.

zarn writes one pager line to PAGERDAT.TXT and then PAGERREQ.TXT (time and date) when no request
is pending. A pager program takes the request: it sends the line and deletes PAGERREQ.TXT. This
one "sends" by printing the line on standard output (and appending it to --sent).

--fault chooses a misbehaving program, to see that zarn copes:
  silent  never takes a request
  late    takes each request only --delay seconds after it appeared
  half    takes the request but leaves PAGERDAT.TXT cut in half, as a program that died while
          rewriting it would

Standard library only. Exits after --count requests taken or --seconds of running.
"""
import argparse
import os
import sys
import time


def find(folder, name):
    """The file of that name in the folder, matched without regard to case, as zarn does."""
    for entry in os.listdir(folder):
        if entry.upper() == name:
            return os.path.join(folder, entry)
    return None


def main():
    ap = argparse.ArgumentParser(description=__doc__.splitlines()[0])
    ap.add_argument("--dir", default=".", help="zarn's working folder")
    ap.add_argument("--fault", choices=["none", "silent", "late", "half"], default="none")
    ap.add_argument("--delay", type=float, default=2.0, help="seconds a late program waits")
    ap.add_argument("--count", type=int, default=0, help="stop after this many requests (0: never)")
    ap.add_argument("--seconds", type=float, default=0, help="stop after this long (0: never)")
    ap.add_argument("--poll", type=float, default=0.02, help="seconds between looks")
    ap.add_argument("--sent", help="also append every sent line to this file")
    a = ap.parse_args()

    start = time.monotonic()
    seen = None  # when the pending request was first seen
    taken = 0
    while (a.count == 0 or taken < a.count) and (a.seconds == 0 or time.monotonic() - start < a.seconds):
        time.sleep(a.poll)
        req = find(a.dir, "PAGERREQ.TXT")
        if req is None or a.fault == "silent":
            seen = None
            continue
        seen = seen if seen is not None else time.monotonic()
        if a.fault == "late" and time.monotonic() - seen < a.delay:
            continue
        data = find(a.dir, "PAGERDAT.TXT")
        with open(data, "rb") if data else open(os.devnull, "rb") as f:
            line = f.read().split(b"\r\n")[0]
        if a.fault == "half" and data:
            with open(data, "wb") as f:
                f.write(line[: len(line) // 2])
        else:
            sys.stdout.buffer.write(line + b"\n")
            sys.stdout.flush()
            if a.sent:
                with open(a.sent, "ab") as f:
                    f.write(line + b"\r\n")
        os.remove(req)
        seen = None
        taken += 1
    return 0


if __name__ == "__main__":
    sys.exit(main())
