#include "mainwindow/config.h"

#include <algorithm>
#include <cmath>

#include "app/app.h"
#include "gpsinput/ownfix.h"
#include "platform/files.h"
#include "platform/textrules.h"
#include "speech/msgline.h"

namespace zarn {

using text::left;
using text::trim;
using text::ucase;

namespace {

// A port line's value: its value field (columns 1-24) up to the first blank, so that a name
// such as COM10 is read whole and the comment is never part of it.
std::string portvalue(const std::string& line) {
  const std::string v = left(line, 24);
  return v.substr(0, v.find(' '));
}

// A correction in km as whole metres, rounded down. A value read from the file is the metres
// divided by 1000 in single precision, which may lie below its whole metre by up to a part in
// 2^24 of it (-127 m reads as -127.00000x): the allowance of a millimetre and that part keeps
// every such value on its metre, so saving never moves it, while a value truly between
// metres still goes down (-25.4 m to -26).
std::string metres(float km) {
  const double m = static_cast<double>(km) * 1000.0;
  return text::str(text::fixint(std::floor(m + 0.001 + std::fabs(m) * 0x1p-24)));
}

}  // namespace

bool readcfg(App& app) {
  MainState& m = app.main;
  // Until their lines are read there is no destination and no serial GPS: a damaged file
  // must not leave a destination at a position nobody chose, nor open a port nobody named.
  app.nav.nodest = 1;
  app.gps.gpsoncom = 0;
  auto f = platform::InputFile::open(app.files, "ZARN.CFG");
  if (!f) return false;
  for (int n = 1; n <= 14; ++n) {
    if (f->eof()) return false;
    const std::string l = f->lineinput();
    switch (n) {
      case 1:
        m.cfgdestpos = trim(left(l, 18));
        m.foundref = m.cfgdestpos;
        break;
      case 2:
        m.foundlabel = trim(l);
        app.nav.nodest = ucase(m.foundlabel) == "NULL" ? 1 : 0;
        break;
      case 3:
        m.foundwav = trim(left(l, 14));
        app.nav.destwav = m.foundwav;
        break;
      case 4: m.cfghome = trim(left(l, 18)); break;
      case 5:
        m.cfgport = portvalue(l);
        m.gpsport = m.cfgport;
        app.gps.gpsoncom = ucase(left(m.gpsport, 3)) == "COM" ? 1 : 0;
        break;
      case 6: m.phoneport = portvalue(l); break;
      case 7: m.trafficport = portvalue(l); break;
      case 8:
        m.cfgcorre = static_cast<float>(text::val(left(l, 7))) / 1000.0f;
        setgpscorr(app.gps, m.cfgcorre, app.gps.gpscorrn);
        break;
      case 9:
        m.cfgcorrn = static_cast<float>(text::val(left(l, 7))) / 1000.0f;
        setgpscorr(app.gps, app.gps.gpscorre, m.cfgcorrn);
        break;
      case 10: m.platformkind = text::int16(text::val(left(l, 3))); break;
      case 11: app.gps.minhdgspd = static_cast<float>(text::val(left(l, 4))); break;
      case 12: app.speech.ttsavail = ucase(left(l, 1)) == "Y" ? 1 : 0; break;
      case 13: break;  // was the Japanese sound folder
      case 14: app.map.extramaps = trim(left(l, 20)); break;
      default: break;
    }
  }
  if (app.files.exists("COMPORT.CFG")) m.gpsport = app.files.readfirstline("COMPORT.CFG");
  return true;
}

bool readcat(const platform::Files& files, MainState& m) {
  m.catcount = 0;
  auto f = platform::InputFile::open(files, "ZARN.CAT");
  if (!f) return false;
  while (!f->eof() && m.catcount < MainState::catmax) {
    ++m.catcount;
    m.catcode[m.catcount] = f->field();
    m.catname[m.catcount] = f->field();
  }
  return true;
}

bool readfnd(const platform::Files& files, MainState& m) {
  m.fndcount = 0;
  auto f = platform::InputFile::open(files, "ZARN.FND");
  if (!f || f->eof()) return false;
  f->lineinput();  // a title line
  while (!f->eof() && m.fndcount < MainState::fndmax) {
    const std::string name = f->field();
    const std::string prompt = f->field();
    if (ucase(name) == "END") break;
    if (!files.confined(name)) continue;  // a list is read from the data folder, never beyond it
    ++m.fndcount;
    m.searchlists[m.fndcount] = ucase(name);
    m.searchprompts[m.fndcount] = prompt;
  }
  return true;
}

void cfgline(platform::OutputFile& f, std::string_view value, std::string_view comment) {
  // A short value takes its comment in the column after it; a long one stands alone.
  f.print(value.size() < 24 ? text::pad(value, 24) + std::string(comment) : std::string(value));
}

bool savecfg(App& app) {
  const MainState& m = app.main;
  const NavState& n = app.nav;
  std::string error;
  auto f = platform::OutputFile::open(app.files, "ZARN.CFG", platform::OutputFile::Mode::Output, &error);
  if (!f) {
    showmsg(app.voice, "ZARN.CFG not written: " + error);
    return false;
  }
  const auto slot = static_cast<std::size_t>(std::clamp(n.curdest, 0, NavState::destmax));
  cfgline(*f, n.destname[slot], "Destination Location");
  cfgline(*f, n.nodest != 0 ? std::string("NULL") : n.destlabel[slot], "");
  cfgline(*f, n.destwav, "Destination sound");
  cfgline(*f, m.homeloc, "Home Location");
  // The port as the file named it: the one in use may be COMPORT.CFG's, or NULL after a start
  // without the receiver, and neither is the user's setting.
  cfgline(*f, m.cfgport, "GPS com port COM1,COM2");
  cfgline(*f, m.phoneport, "Telephone port");
  cfgline(*f, m.trafficport, "Traffic data port");
  cfgline(*f, metres(app.gps.gpscorre), "GPS correction metres East");
  cfgline(*f, metres(app.gps.gpscorrn), "GPS correction metres North");
  cfgline(*f, text::str(m.platformkind), "Platform 0=car,1=balloon,2=aircraft");
  cfgline(*f, text::str(app.gps.minhdgspd), "Speed in kmph before new heading");
  cfgline(*f, app.speech.ttsavail == 1 ? "Yes" : "No", "Text to Speech Available");
  cfgline(*f, "\\japan\\", "was for Japanese sounds. not used");
  cfgline(*f, app.map.extramaps, "Path for extra maps");
  const platform::DateTime t = app.sys.clock->now();
  cfgline(*f, text::datetext(t) + " " + text::timetext(t), "Last update");
  f->print("The above lines configure ZARN and should");
  f->print("only be edited with great care !");
  if (!f->close(&error)) {
    showmsg(app.voice, "ZARN.CFG not written: " + error);
    return false;
  }
  return true;
}

}  // namespace zarn
