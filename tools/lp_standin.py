#!/usr/bin/env python3
"""Stands in for the print spooler's client `lp`: takes one job's text on standard input.

lp_standin.py [--out FILE] [--jobs DIR] [--fail] [-d DEST] ...

Each job's text is appended to FILE (default: the environment's ZARN_LP_OUT, or
lp_standin.out in the working directory) and "request id is DEST-N (1 file(s))" is written to
standard output, as lp does. With --jobs (or the environment's ZARN_LP_JOBS) each job is also
kept in DIR as job-N.txt, N counting the jobs from 1, so that a test sees how the lines were
gathered into jobs. With --fail the job is refused the way lp refuses one for a printer that
is missing or switched off: the text is read, an error is written to standard error and the
exit status is 1.
"""
import os
import sys


def keepjob(folder, data):
    """The job's number: the first free job-N.txt in folder, made there with the text."""
    n = 1
    while True:
        try:
            fd = os.open(os.path.join(folder, "job-%d.txt" % n), os.O_WRONLY | os.O_CREAT | os.O_EXCL, 0o644)
        except FileExistsError:
            n += 1
            continue
        with os.fdopen(fd, "wb") as f:
            f.write(data)
        return n


def main(argv):
    out = os.environ.get("ZARN_LP_OUT", "lp_standin.out")
    jobs = os.environ.get("ZARN_LP_JOBS", "")
    fail = False
    dest = "lp"
    i = 0
    while i < len(argv):
        a = argv[i]
        if a == "--out" and i + 1 < len(argv):
            out = argv[i + 1]
            i += 1
        elif a == "--jobs" and i + 1 < len(argv):
            jobs = argv[i + 1]
            i += 1
        elif a == "--fail":
            fail = True
        elif a == "-d" and i + 1 < len(argv):
            dest = argv[i + 1]
            i += 1
        i += 1
    data = sys.stdin.buffer.read()
    if fail:
        sys.stderr.write("lp: Error - The printer or class does not exist.\n")
        return 1
    with open(out, "ab") as f:
        f.write(data)
    count = keepjob(jobs, data) if jobs else 1
    sys.stdout.write("request id is %s-%d (1 file(s))\n" % (dest, count))
    return 0


if __name__ == "__main__":
    sys.exit(main(sys.argv[1:]))
