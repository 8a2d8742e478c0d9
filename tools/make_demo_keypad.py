#!/usr/bin/python3
"""Draws the pictures of the touch key pad into data/demo.

Needs the Debian packages python3-pil and fonts-dejavu-core.
Run: /usr/bin/python3 tools/make_demo_keypad.py

- KEYPAD00.BMP .. KEYPAD15.BMP and ZARNKEYS.CFG: the key pad's sixteen keys as start-up puts
  them on it, each showing the single-key command it sends (the command letter and what it
  does). Key 12 opens the on-screen keyboard; key 14 sends nothing and is drawn blank.
- LESSON00.BMP .. LESSON15.BMP and ZARN.LDR: the learner-driver set that Ctrl+L puts on the
  key pad. A touch on a lesson key writes its label (the second field of its ZARN.LDR record)
  to LESSON.LOG and LESSON.TXT; green keys are praise, amber advice, red faults.

The keys are 64 x 64, drawn four times larger and reduced, then stored with 16 colours in
8-bit BMP files. The same output every run.
"""

import os

from PIL import Image, ImageDraw, ImageFont

TOP = os.path.dirname(os.path.dirname(os.path.abspath(__file__)))
OUT = os.path.join(TOP, "data", "demo")
FONT = "/usr/share/fonts/truetype/dejavu/DejaVuSans-Bold.ttf"
SIZE, S = 64, 4
N = SIZE * S

NAVY, TEAL, PLUM, GREY = (30, 50, 110), (0, 110, 110), (100, 40, 100), (90, 90, 90)
GREEN, AMBER, RED = (20, 120, 40), (200, 130, 0), (170, 20, 20)

# Key: command letter as drawn, label, colour. The letters are those padcommand sends.
PAD = [("F", "Fuel", NAVY), ("E", "Eat", NAVY), ("S", "Sleep", NAVY), ("I", "Sights", NAVY),
       ("\u21b5", "Enter", GREY), ("D", "Go there", TEAL), ("H", "Home", TEAL), ("Q", "Quiet", PLUM),
       ("O", "Reports", PLUM), ("Y", "Yes", GREEN), ("N", "No", RED), ("Z", "Zoom in", TEAL),
       ("abc", "Keyboard", GREY), ("W", "Where?", TEAL), ("", "", GREY), ("M", "More", NAVY)]

LESSON = [("Mirrors", "checked the mirrors", GREEN), ("Signal", "signalled in good time", GREEN),
          ("Speed", "kept to the limit", GREEN), ("Good", "drove well", GREEN),
          ("No mirror", "did not check the mirrors", AMBER), ("Late signal", "signalled late", AMBER),
          ("Too fast", "went too fast", AMBER), ("Position", "was badly placed in the lane", AMBER),
          ("Stalled", "stalled the engine", RED), ("Kerb", "touched the kerb", RED),
          ("Give way", "did not give way", RED), ("Junction", "took the junction badly", RED),
          ("Round- about", "took the roundabout badly", AMBER), ("Parking", "parked", GREEN),
          ("Reverse", "reversed round a corner", GREEN), ("Brakes", "braked hard", RED)]


def font(px):
    return ImageFont.truetype(FONT, px * S)


def centred(d, y, text, px, fill="white"):
    f = font(px)
    w = d.textlength(text, font=f)
    d.text(((N - w) / 2, y * S), text, font=f, fill=fill)


def key(colour):
    im = Image.new("RGB", (N, N), (0, 0, 0))
    d = ImageDraw.Draw(im)
    d.rounded_rectangle((2 * S, 2 * S, N - 2 * S, N - 2 * S), radius=8 * S, fill=colour,
                        outline=(230, 230, 230), width=2 * S)
    return im, d


def save(im, name):
    im = im.resize((SIZE, SIZE), Image.Resampling.LANCZOS)
    im = im.quantize(colors=16, method=Image.Quantize.MEDIANCUT, dither=Image.Dither.NONE)
    im.save(os.path.join(OUT, name))


def padkey(letter, label, colour, name):
    im, d = key(colour)
    if letter:
        centred(d, 8, letter, 26 if len(letter) == 1 else 18)
    if label:
        centred(d, 42, label, 10 if len(label) <= 7 else 8)
    save(im, name)


def lessonkey(label, colour, name):
    im, d = key(colour)
    words = label.split()
    top = 32 - 7 * len(words)
    for i, w in enumerate(words):
        centred(d, top + 15 * i, w, 12 if len(w) <= 7 else 10)
    save(im, name)


def crlf(lines):
    return "".join(line + "\r\n" for line in lines).encode("latin-1")


def main():
    records = []
    for k, (letter, label, colour) in enumerate(PAD):
        name = "KEYPAD%02d.BMP" % k
        padkey(letter, label, colour, name)
        records.append("%d,%s,%s" % (k, name, label or "blank"))
    with open(os.path.join(OUT, "ZARNKEYS.CFG"), "wb") as f:
        f.write(crlf([str(len(records))] + records))

    records = []
    for k, (label, text, colour) in enumerate(LESSON):
        name = "LESSON%02d.BMP" % k
        lessonkey(label, colour, name)
        records.append("%s,%s,%s" % (name, label.replace("- ", ""), text))
    with open(os.path.join(OUT, "ZARN.LDR"), "wb") as f:
        f.write(crlf([str(len(records))] + records))


if __name__ == "__main__":
    main()
