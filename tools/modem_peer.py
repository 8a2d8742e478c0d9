#!/usr/bin/env python3
"""The modem on a base station's serial line and the satellite text service it dials, for tests
and trials: a Hayes-style modem (AT, ATE0/ATE1, ATDT) and, once connected, the service's login
and message entry. Every byte either way, every DTR change and every step of the dialogue is
recorded with its time.

A pseudo-terminal has no DTR line: the program's serial layer tells the peer of DTR through a
UNIX datagram socket (--control), one message "DTR 0" or "DTR 1" each. DTR low is taken as a
modem set to &D2 takes it: the call is dropped, the modem answers "NO CARRIER" (unless
--dtr-silent) and returns to command mode; while DTR is low commands are ignored. The message
"WRITE <text>" on the same socket puts the text onto the line as it stands (a vehicle's report
arriving after a call, say).

Outcomes are lists, one entry per dial (--dial, --answer) or per message (--reply); the last
entry stands for all later ones. Examples:

    tools/modem_peer.py --pty --link /tmp/zarnmodem --control /tmp/zarndtr --log peer.jsonl
    tools/modem_peer.py --fd 1 --dial busy,connect --reply ref,unreachable,silent --time-scale 20
"""

import argparse
import json
import os
import select
import signal
import socket
import sys
import time

sys.path.insert(0, os.path.dirname(os.path.abspath(__file__)))
import ptyline  # noqa: E402

DIALS = ("connect", "busy", "nodialtone", "nodial-tone", "nocarrier", "silent", "late", "half")
ANSWERS = ("prompt", "busy", "silent", "late", "half")
REPLIES = ("ref", "unreachable", "silent", "late", "half")


class Peer:
    def __init__(self, fd, args, log):
        self.fd, self.args, self.log = fd, args, log
        self.start = time.monotonic()
        self.echo = True
        self.dtr = True
        self.mode = "command"  # command, dialling, service
        self.step = ""         # in the service: user, pass, prompt, to, text, reply
        self.line = b""
        self.timers = []       # (due, call generation, action)
        self.call = 0          # generation: a dropped call's pending answers are void
        self.dials = self.connects = self.messages = 0
        self.held = []         # lines that came while the service was answering a message
        self.to, self.text, self.user = "", [], ""
        self.ref = args.ref_start

    # ---- recording and output ---------------------------------------------------------------

    def now(self):
        return time.monotonic() - self.start

    def record(self, **fields):
        if self.log:
            self.log.write(json.dumps(dict(t=round(self.now(), 4), **fields)) + "\n")
            self.log.flush()

    def send(self, text):
        data = text.encode("latin-1")
        view = memoryview(data)
        while view:
            _, w, _ = select.select([], [self.fd], [], 1.0)
            if w:
                view = view[os.write(self.fd, view):]
        self.record(tx=text)

    def later(self, seconds, action):
        due = time.monotonic() + seconds / self.args.time_scale
        self.timers.append((due, self.call, action))

    def pick(self, outcomes, n):
        return outcomes[min(n, len(outcomes) - 1)]

    def result(self, text):
        self.send("\r\n%s\r\n" % text)

    # ---- the call ---------------------------------------------------------------------------

    def drop(self, why, reply=True):
        """The carrier goes: back to command mode, pending answers void."""
        if self.mode == "command":
            return
        self.call += 1
        self.mode, self.step, self.held = "command", "", []
        self.record(event="drop", why=why)
        if reply:
            self.result("NO CARRIER")

    def setdtr(self, on):
        self.record(dtr=1 if on else 0)
        self.dtr = on
        if not on:
            self.drop("dtr", not self.args.dtr_silent)
            self.line = b""

    def dial(self, number):
        outcome = self.pick(self.args.dial, self.dials)
        self.dials += 1
        self.record(event="dial", number=number, outcome=outcome)
        self.mode = "dialling"
        delay = self.args.late_delay if outcome == "late" else self.args.dial_delay
        texts = {"busy": "BUSY", "nodialtone": "NO DIALTONE", "nodial-tone": "NO DIAL TONE",
                 "nocarrier": "NO CARRIER"}

        def answer():
            if outcome in ("connect", "late"):
                self.connect()
            elif outcome == "half":
                self.send("\r\nCONN")  # and nothing more: the line is never ended
            elif outcome in texts:
                self.mode = "command"
                self.result(texts[outcome])
        if outcome != "silent":
            self.later(delay, answer)

    def connect(self):
        self.mode, self.step = "service", ""
        answer = self.pick(self.args.answer, self.connects)
        self.connects += 1
        self.record(event="connect", answer=answer)
        self.result("CONNECT %d" % self.args.baud)
        delay = self.args.late_delay if answer == "late" else self.args.service_delay
        if answer == "busy":
            self.later(delay, lambda: (self.result("BUSY"), self.later(1.0, lambda: self.drop("busy"))))
        elif answer == "half":
            self.later(delay, lambda: self.send("\r\nBT CS"))
        elif answer != "silent":
            self.later(delay, self.banner)

    def banner(self):
        self.send("\r\nBT CSAT Messaging Service\r\n\r\nusername: ")
        self.step = "user"

    def prompt(self):
        self.send("\r\n> ")
        self.step = "prompt"

    # ---- what comes in ----------------------------------------------------------------------

    def received(self, data):
        self.record(rx=data.decode("latin-1"))
        if not self.dtr:
            return  # a modem held off by DTR takes nothing
        for b in data:
            c = bytes([b])
            if self.mode == "command" and self.echo:
                self.send(c.decode("latin-1"))
            if c == b"\n":
                continue
            if c == b"\r":
                line, self.line = self.line.decode("latin-1"), b""
                self.lineend(line)
            else:
                self.line += c

    def lineend(self, line):
        if self.mode == "command":
            self.command(line.strip())
        elif self.mode == "service":
            if self.step == "reply":
                self.held.append(line)
            else:
                self.service(line)
        # while dialling a real modem would give up on a key; this one just waits

    def command(self, cmd):
        up = cmd.upper()
        if not up.startswith("AT"):
            if up:
                self.record(event="ignored", line=cmd)
            return
        rest = up[2:]
        if rest.startswith("D"):
            number = cmd[3:].lstrip("TPtp")
            self.dial(number)
            return
        if "E0" in rest:
            self.echo = False
        elif "E1" in rest:
            self.echo = True
        self.result("OK")

    def service(self, line):
        a = self.args
        if self.step == "user":
            self.user = line
            self.send("\r\npassword: ")
            self.step = "pass"
        elif self.step == "pass":
            ok = self.user == a.user and line == a.password
            self.record(event="login", user=self.user, ok=ok)
            if not ok:
                self.send("\r\nLogin incorrect\r\n")
                self.drop("login")
                return
            self.send("\r\nWelcome %s\r\n" % self.user)
            self.prompt()
        elif self.step == "prompt":
            word = line.strip().upper()
            if word == "SEND":
                self.send("\r\nTo: ")
                self.step = "to"
            elif word == "QUIT":
                self.record(event="quit")
                self.send("\r\nGoodbye\r\n")
                self.drop("quit")
            elif word:
                self.send("\r\nUnknown command\r\n")
                self.prompt()
        elif self.step == "to":
            self.to, self.text = line, []
            self.send("\r\nText, ending with .S on a line of its own:\r\n")
            self.step = "text"
        elif self.step == "text":
            if line == ".S":
                self.message()
            else:
                self.text.append(line)

    def message(self):
        outcome = self.pick(self.args.reply, self.messages)
        self.messages += 1
        ref = ""
        if outcome in ("ref", "late", "half"):
            ref = "%07d" % self.ref
            self.ref += 1
        self.record(event="message", to=self.to, text="\r".join(self.text), outcome=outcome, ref=ref)
        if outcome in ("silent", "half"):
            self.step = "prompt"
            if outcome == "half":
                self.later(self.args.reply_delay, lambda: self.send("\r\nMessage accepted, refer"))
            return
        self.step = "reply"

        def answer():
            if outcome == "unreachable":
                self.send("\r\nTerminal %s cannot be reached\r\n" % self.to.strip())
            else:
                self.send("\r\nMessage accepted, reference number %s\r\n" % ref)
            self.prompt()
            held, self.held = self.held, []
            for l in held:
                self.lineend(l)
        delay = self.args.late_delay if outcome == "late" else self.args.reply_delay
        self.later(delay, answer)

    # ---- the loop ---------------------------------------------------------------------------

    def run(self, control, stop):
        while not stop:
            now = time.monotonic()
            for item in sorted(t for t in self.timers if t[0] <= now):
                self.timers.remove(item)
                if item[1] == self.call:
                    item[2]()
            wait = min([t[0] for t in self.timers], default=now + 0.2) - time.monotonic()
            fds = [self.fd] + ([control] if control else [])
            try:
                r, _, _ = select.select(fds, [], [], max(0.0, min(wait, 0.2)))
            except InterruptedError:
                continue
            if control in r:
                raw = control.recv(4096).decode("latin-1")
                msg = raw.strip()
                if msg in ("DTR 0", "DTR 1"):
                    self.setdtr(msg == "DTR 1")
                elif raw.startswith("WRITE "):
                    self.send(raw[6:])  # a test's own line onto the link, e.g. a vehicle's report
                else:
                    self.record(event="control", message=msg)
            if self.fd in r:
                try:
                    data = os.read(self.fd, 4096)
                except OSError:
                    data = b""  # the program has closed the line: wait for it to open it again
                    time.sleep(0.05)
                if data:
                    self.received(data)


def listlike(allowed):
    def parse(text):
        items = [s.strip() for s in text.split(",") if s.strip()]
        for s in items:
            if s not in allowed:
                raise argparse.ArgumentTypeError("%r is not one of %s" % (s, ", ".join(allowed)))
        return items
    return parse


def main(argv=None):
    ap = argparse.ArgumentParser(description=__doc__, formatter_class=argparse.RawDescriptionHelpFormatter)
    line = ap.add_argument_group("the line (one)")
    ptyline.add_options(line)
    ap.add_argument("--control", help="UNIX datagram socket made at this path for 'DTR 0' / 'DTR 1'")
    ap.add_argument("--log", help="JSON lines of all that happened: a file, '-' for standard output")
    ap.add_argument("--dial", type=listlike(DIALS), default=["connect"],
                    help="per dial: " + ", ".join(DIALS) + " (default connect)")
    ap.add_argument("--answer", type=listlike(ANSWERS), default=["prompt"],
                    help="per connected call, what the service does: " + ", ".join(ANSWERS))
    ap.add_argument("--reply", type=listlike(REPLIES), default=["ref"],
                    help="per message, the service's answer: " + ", ".join(REPLIES))
    ap.add_argument("--dial-delay", type=float, default=1.0, help="seconds from ATDT to its result")
    ap.add_argument("--service-delay", type=float, default=0.5, help="seconds from CONNECT to the banner")
    ap.add_argument("--reply-delay", type=float, default=1.0, help="seconds from .S to the answer")
    ap.add_argument("--late-delay", type=float, default=65.0, help="seconds a 'late' answer takes")
    ap.add_argument("--time-scale", type=float, default=1.0, help="all delays divided by this")
    ap.add_argument("--user", default="", help="the user name the service takes")
    ap.add_argument("--password", default="", help="the password the service takes")
    ap.add_argument("--ref-start", type=int, default=4711, help="the first reference number")
    ap.add_argument("--baud", type=int, default=9600, help="the speed CONNECT names")
    ap.add_argument("--dtr-silent", action="store_true", help="DTR low drops the call without NO CARRIER")
    args = ap.parse_args(argv)
    if args.time_scale <= 0:
        raise SystemExit("modem_peer: --time-scale must be above 0")

    closing = []
    if args.pty:
        master, slave = ptyline.openpty(args.link, "modem_peer")
        fd, closing = master, [master, slave]
    elif args.fd is not None:
        fd = args.fd
    else:
        raise SystemExit("modem_peer: give --pty or --fd")

    log = None
    if args.log:
        log = sys.stdout if args.log == "-" else open(args.log, "w", encoding="utf-8")
    control = None
    if args.control:
        if os.path.lexists(args.control):
            os.unlink(args.control)
        control = socket.socket(socket.AF_UNIX, socket.SOCK_DGRAM)
        control.bind(args.control)
    stop = []
    signal.signal(signal.SIGTERM, lambda *_: stop.append(1))
    signal.signal(signal.SIGINT, lambda *_: stop.append(1))

    peer = Peer(fd, args, log)
    peer.record(event="start", dial=args.dial, answer=args.answer, reply=args.reply)
    try:
        peer.run(control, stop)
    finally:
        peer.record(event="end")
        if control:
            control.close()
            os.unlink(args.control)
        for f in closing:
            os.close(f)
        if log and log is not sys.stdout:
            log.close()
    return 0


if __name__ == "__main__":
    sys.exit(main())
