#!/usr/bin/python3
"""Makes the demo's second language, German, into data/demo.

Needs espeak-ng and sox (as make_prompts.sh) and python3-pil (for the flags).
Run: /usr/bin/python3 tools/make_demo_language.py

A language is a file-name prefix, here "DE": the program looks for every prompt, the flag and
the word-order file under the prefix first and falls back to the plain (English) file. This
script writes:

- LANGUAGE.CFG: the demo starts in English (language 0); "J" steps to German (1) and back.
- DESYNTAX.CFG: word order 1, verb last. In that order the program says the place before its
  direction and distance ("our position: Knutsford, heading north, two miles"), the road
  before "along", the distance last with "is" closing the sentence, and the time as a word,
  the hour, "o'clock", the minutes and a word after them. The German texts below are worded
  for those places, so some say something other than the English prompt of the same name
  (is.wav is "entfernt", on.wav is "entlang", northof.wav is "Richtung Norden").
- DE<name>: one German prompt for every prompt of the English set (make_prompts.sh), but the
  route guidance chime, which is the same in every language, and the numbers this word order
  never says whole (below); and the prompts only the verb-last order asks for. Spoken by
  espeak-ng's German voice, trimmed and stored as 16 kHz mono 16-bit, as the English set.
- FLAG.ICO and DEFLAG.ICO: the flags shown for English and German.
"""

import os
import shutil
import subprocess
import sys
import tempfile

from PIL import Image, ImageDraw

import make_demo_icons as icons

TOP = os.path.dirname(os.path.dirname(os.path.abspath(__file__)))
OUT = os.path.join(TOP, "data", "demo")
PREFIX = "DE"

ONES = ["null", "eins", "zwei", "drei", "vier", "fünf", "sechs", "sieben", "acht", "neun"]


def prompts():
    """(name, German text) of every prompt, in the order of make_prompts.sh."""
    # Numbers: in this word order a number above 20 is said as its tens and then its units, so
    # 21 to 99 other than the tens are only the first digits of a five-digit number; left out
    # to keep the set small, they fall back to the English recordings.
    p = [("0.wav", "null")]
    p += [(f"{n}.wav", str(n)) for n in range(1, 100) if n <= 20 or n % 10 == 0]
    p += [(f"{h}00.wav", f"{h}00") for h in range(1, 10)]
    p += [("100e.wav", "einhundert"), ("00.wav", "hundert"), ("thousand.wav", "tausend"),
          ("ee.wav", "und"), ("and.wav", "und"), ("point.wav", "Komma")]
    # Units.
    p += [("miles.wav", "Meilen"), ("mile.wav", "Meile"), ("yards.wav", "Yards"),
          ("metres.wav", "Meter"), ("kilomets.wav", "Kilometer"), ("kilometr.wav", "Kilometer"),
          ("mph.WAV", "Meilen pro Stunde"), ("kmph.WAV", "Kilometer pro Stunde"),
          ("knots.WAV", "Knoten"), ("seconds.wav", "Sekunden"), ("minutes.wav", "Minuten"),
          ("hours.wav", "Stunden"), ("ftpermin.wav", "Fuß pro Minute"),
          ("ftaboves.wav", "Fuß über dem Meeresspiegel")]
    # Where we are from a place: said after the place's name, before the distance.
    for name, word in (("northof", "Norden"), ("northeof", "Nordosten"), ("eastof", "Osten"),
                       ("southeof", "Südosten"), ("southof", "Süden"), ("southwof", "Südwesten"),
                       ("westof", "Westen"), ("northwof", "Nordwesten")):
        p.append((f"{name}.wav", f"Richtung {word}"))
    p += [("aheadofu.wav", "vor uns"), ("toourrig.wav", "rechts von uns"),
          ("behindus.wav", "hinter uns"), ("toourlef.wav", "links von uns")]
    p += [(f"{h}c.wav", f"auf {h} Uhr") for h in range(1, 13)]
    # Direction of travel, said after the road ("A 34 entlang, Fahrtrichtung Norden").
    for name, word in (("movnorth", "Norden"), ("movneast", "Nordosten"), ("moveast", "Osten"),
                       ("movseast", "Südosten"), ("movsouth", "Süden"), ("movswest", "Südwesten"),
                       ("movwest", "Westen"), ("movnwest", "Nordwesten")):
        p.append((f"{name}.wav", f"Fahrtrichtung {word}"))
    p += [("notmove.wav", "wir stehen"), ("at.wav", "mit"), ("on.wav", "entlang"),
          ("in.wav", "in"), ("over.wav", "über"), ("a.wav", "A"), ("b.wav", "B"),
          ("m.wav", "M"), ("highway.wav", "Fernstraße")]
    # The reports' fixed words.
    p += [("weare.wav", "wir sind"), ("wearenea.wav", "wir sind nahe"),
          ("weareon.wav", "wir sind auf"), ("called.wav", "genannt"), ("destinat.wav", "Ziel"),
          ("ETAIS.WAV", "voraussichtliche Ankunft um"), ("THETIMEI.WAV", "es ist"),
          ("altisnot.wav", "Höhe nicht verfügbar"), ("altisnea.wav", "Höhe nahe Meeresspiegel"),
          ("altisabo.wav", "Höhe etwa"), ("climbing.wav", "Steigflug"),
          ("sinking.wav", "Sinkflug"), ("chamap.wav", "ist jetzt die Karte"),
          ("$$$start.wav", "Willkommen bei zarn."),
          ("$$$INTRO.WAV", "Bewegte Karte und Fahrzeugverfolgung. Bereit.")]
    # Greetings, the demo's opening and the GPS state changes.
    p += [("hello.wav", "hallo"), ("goodmorn.wav", "guten Morgen"),
          ("goodafte.wav", "guten Tag"), ("goodeven.wav", "guten Abend"),
          ("letmesho.wav", "ich zeige Ihnen etwas, das ich vorhin aufgenommen habe"),
          ("gotgps.wav", "ich empfange G P S Daten"),
          ("notgps.wav", "ich empfange keine G P S Daten")]
    # The search box.
    p += [(f"{c}.wav", c.upper()) for c in "cdefghijklnopqrstuvwxyz"]
    p += [("next.wav", "weiter"), ("theneare.wav", "der nächste"),
          ("nextnear.wav", "der nächste danach"),
          ("pleasebe.wav", "bitte Geduld, ich prüfe meine Daten"),
          ("icantfin.wav", "ich finde nicht"), ("ok.wav", "OK"),
          ("probably.wav", "wahrscheinlich"), ("is.wav", "entfernt")]
    # Destinations and route guidance.
    p += [("home.wav", "Zuhause"), ("ourcar.wav", "unser Auto"),
          ("moreinfo.wav", "weitere Informationen sind verfügbar")]
    # Waypoint following.
    p += [("wenearwp.wav", "wir sind nahe Wegpunkt"),
          ("NEXTDEST.WAV", "neues Ziel ist der nächste Wegpunkt"),
          ("FINALDES.WAV", "wir sind nahe dem Endziel")]
    for turn, word in (("L", "links abbiegen"), ("R", "rechts abbiegen")):
        p += [(f"RGI$T{turn}.WAV", word),
              (f"RGI$T{turn}T.WAV", f"an der Einmündung {word}"),
              (f"RGI$T{turn}X.WAV", f"an der Kreuzung {word}"),
              (f"RGI$T{turn}R.WAV", f"im Kreisverkehr {word}")]
    p += [("RGI$S.WAV", "geradeaus"), ("RGI$SX.WAV", "an der Kreuzung geradeaus"),
          ("RGI$SR.WAV", "im Kreisverkehr geradeaus"),
          ("RGI$B.WAV", "im Kreisverkehr ganz herum fahren"),
          ("RGI$BR.WAV", "im Kreisverkehr wenden")]
    # Only the verb-last order asks for these: our position, the destination from here, where
    # it lies around us, a distance of 1, 8 or 10 and a fraction, and the time of day.
    p += [("ourposit.wav", "unsere Position"), ("fromhere.wav", "von hier aus"),
          ("ahead.wav", "vor uns"), ("onourrig.wav", "rechts von uns"),
          ("behind.wav", "hinter uns"), ("onourlef.wav", "links von uns"),
          ("1P.WAV", "eins Komma"), ("8P.WAV", "acht Komma"), ("10P.WAV", "zehn Komma"),
          ("gozen.wav", "es ist"), ("gogo.wav", "es ist"), ("ji.wav", "Uhr"),
          ("fun.wav", "Minuten"), ("pun.wav", "Minuten"), ("han.wav", "dreißig")]
    return p


def say(tmp, name, text):
    raw = os.path.join(tmp, "raw.wav")
    subprocess.run(["espeak-ng", "-v", "de", "-w", raw, "--", text], check=True)
    # As make_prompts.sh: the silence around the words cut, a short pause after them; the
    # dither repeatable, so that the files come out the same each time.
    subprocess.run(["sox", "-R", raw, "-r", "16000", "-b", "16", "-c", "1",
                    os.path.join(OUT, PREFIX + name),
                    "silence", "1", "0.01", "0.3%", "reverse", "silence", "1", "0.01", "0.3%",
                    "reverse", "pad", "0", "0.05"], check=True)


def union_flag(name):
    im, d = icons.canvas()
    S, N = icons.S, icons.N
    top, bottom = 6 * S, 26 * S  # a 2:1 flag across the icon
    d.rectangle((0, top, N, bottom), fill=(1, 33, 105, 255))
    for w, colour in ((5 * S, "white"), (2 * S, (200, 16, 46, 255))):
        d.line((0, top, N, bottom), fill=colour, width=w)
        d.line((0, bottom, N, top), fill=colour, width=w)
    mid, midy = N // 2, (top + bottom) // 2
    d.rectangle((mid - 3 * S, top, mid + 3 * S, bottom), fill="white")
    d.rectangle((0, midy - 3 * S, N, midy + 3 * S), fill="white")
    d.rectangle((mid - int(1.7 * S), top, mid + int(1.7 * S), bottom), fill=(200, 16, 46, 255))
    d.rectangle((0, midy - int(1.7 * S), N, midy + int(1.7 * S)), fill=(200, 16, 46, 255))
    icons.write_ico(im, name)


def german_flag(name):
    im, d = icons.canvas()
    S, N = icons.S, icons.N
    for k, colour in enumerate(((0, 0, 0, 255), (221, 0, 0, 255), (255, 206, 0, 255))):
        d.rectangle((0, (7 + 6 * k) * S, N, (13 + 6 * k) * S - 1), fill=colour)
    icons.write_ico(im, name)


def text(name, lines):
    with open(os.path.join(OUT, name), "wb") as f:
        f.write("".join(line + "\r\n" for line in lines).encode("latin-1"))


def main():
    for tool in ("espeak-ng", "sox"):
        if not shutil.which(tool):
            sys.exit(f"{tool} is needed: scripts/setup.sh installs it")
    os.makedirs(OUT, exist_ok=True)
    # The first item is the language to start in; each record a name, its number, its prefix.
    text("LANGUAGE.CFG", ["0", '"English",0,""', f'"Deutsch",1,"{PREFIX}"', '"END"'])
    text(PREFIX + "SYNTAX.CFG", ["1"])
    union_flag("FLAG.ICO")
    german_flag(PREFIX + "FLAG.ICO")
    with tempfile.TemporaryDirectory() as tmp:
        for name, words in prompts():
            say(tmp, name, words)
    made = [PREFIX + n for n, _ in prompts()]
    size = sum(os.path.getsize(os.path.join(OUT, n)) for n in made)
    print(f"{len(made)} German prompts in {OUT}, {size // 1024} KB in all")


if __name__ == "__main__":
    main()
