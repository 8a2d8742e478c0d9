"""The line our stand-ins talk on: a pseudo-terminal made here, or a descriptor handed down."""

import os
import sys
import tty


def add_options(group):
    """The options that choose the line: --pty (with --link) or --fd."""
    group.add_argument("--pty", action="store_true", help="make a pseudo-terminal and name its line on stderr")
    group.add_argument("--link", help="with --pty: a symbolic link made to the line")
    group.add_argument("--fd", type=int, help="an inherited open descriptor (a terminal's master side)")


def openpty(link, who):
    """A raw pseudo-terminal, its line named on stderr and linked at link when given: (master, slave)."""
    master, slave = os.openpty()
    tty.setraw(slave)
    name = os.ttyname(slave)
    if link:
        if os.path.lexists(link):
            os.unlink(link)
        os.symlink(name, link)
    print("%s: line at %s" % (who, name), file=sys.stderr, flush=True)
    return master, slave
