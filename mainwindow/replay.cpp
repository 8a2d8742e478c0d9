#include "mainwindow/replay.h"

#include "app/app.h"
#include "geodesy/postext.h"
#include "geodesy/ukgrid.h"
#include "gpsinput/logs.h"
#include "gpsinput/nmea.h"
#include "gpsinput/ownfix.h"
#include "gpsinput/rxbuffer.h"
#include "gpsinput/tracklines.h"
#include "mainwindow/keys.h"
#include "mainwindow/readouts.h"
#include "mainwindow/takefix.h"
#include "mapdisplay/owncar.h"
#include "platform/textrules.h"
#include "speech/msgline.h"
#include "speech/queue.h"
#include "vehicles/chase.h"
#include "vehicles/linkservices.h"
#include "vehicles/textreports.h"

namespace zarn {

using text::mid;
using text::ucase;

namespace {

constexpr const char* intro = "Let me show you something I did earlier ..";
constexpr const char* introwav = "letmesho.wav";

void typekeys(App& app, const std::string& keys) {
  MainState& m = app.main;
  for (const char c : keys) {
    const auto code = static_cast<unsigned char>(c);
    if (code == 0xAC) {  // "¬": the first search list, then typed entry
      m.searchidx = 1;
      starttext(app.main, app.win.zarn, *app.sys.clock);
      m.typingmode = 1;
    } else if (code == 96) {
      starttext(app.main, app.win.zarn, *app.sys.clock);
      m.typingmode = 1;
    } else {
      m.demokey = 1;
      int k = code;
      keycmd(app, k);
    }
  }
  if (m.typingmode == 1) {
    m.typingmode = 0;
    m.typedcmd = 1;
    runtypedcmd(app);
  }
}

// A script line that speaks or shows text with sound forced on for the moment.
template <class F> void withtalk(App& app, F f) {
  TalkGuard talk(app.speech);
  talk.on();
  f();
}

}  // namespace

bool replaystep(App& app) {
  MainState& m = app.main;
  GpsState& g = app.gps;
  auto& z = app.win.zarn;
  const bool mv = m.mvmode == 1;

  if (z.modebox.caption == "<-") {
    z.modebox.set(m.demoon == 1 ? "DEM" : "SIM");
    setstatcol(app.win.zarn, ui::yellow);
    ownreadouts(app);
  }
  if (m.demorestart == 1) {
    m.demorestart = 0;
    z.modebox.backcolor = ui::yellow;
    setstatcol(app.win.zarn, ui::yellow);
    cleartrail(app.map, app.win.zarn);
    m.demoreopen = 0;
    if (!mv) saynow(app.voice, intro, introwav);
    sniffchecksum(app.gps, app.voice);
  }

  m.steptype.clear();
  int rewinds = 0;
  for (int lines = 0; lines < MainState::steplinemax; ++lines) {
    if (const ui::Form* ff = app.win.find("fform"); ff && ff->visible) return false;
    if (!g.replay || g.replay->eof() || m.demoreopen == 1) {
      // A second rewind in one step means the file holds nothing that ends a step.
      if (rewinds++ > 0) break;
      cleartrail(app.map, app.win.zarn);
      if (m.demoreopen == 1) {
        m.demoreopen = 0;
        noheading(g);
        if (!mv) saynow(app.voice, intro, introwav);
      }
      g.replay.reset();
      sniffchecksum(app.gps, app.voice);
      if (!g.replay || g.replay->eof()) break;  // no file, or an empty one: no data this step
    }
    app.doevents();
    if (!g.replay) break;  // closed by an event meanwhile
    std::string line = text::trim(g.replay->lineinput());
    m.laststep = app.timer();

    const std::string whole = ucase(line);
    if (whole == "NOHOME") {
      z.home.visible = false;
      m.nohome = 1;
    } else if (whole == "SILENT") {
      settalk(app.voice, 0);
    }
    stripcall(app.gps, app.win, line);

    const std::string kind = ucase(text::right(g.replayfile, 4));
    if (kind == ".AGD") {
      parsefix(app, line);
      followtrack(app);
    } else if (!mv) {
      if (kind == ".TRK") {
        if (trkline(app, line)) followtrack(app);
      } else {
        std::string l = line;
        applysentence(app, l);
      }
      app.doevents();
    } else if (line.starts_with("LOG")) {
      applyreport(app, textreport(app.geo, app.veh, line, static_cast<long>(line.size())));
    } else {
      std::string l = line;
      mvlinein(app, l, static_cast<long>(l.size()));
    }

    const std::string cmd = line.size() >= 4 ? ucase(line.substr(0, 3)) : std::string();
    if (cmd == "DEM") {
      m.trailperline = 1;
    } else if (cmd == "CHA") {
      m.chaseon = 0;
      chasetoggle(app);
    } else if (cmd == "CHS") {
      m.chaseon = 1;
      chasetoggle(app);
    } else if (cmd == "XTO") {
      setgpscorr(g, static_cast<float>(text::val(mid(line, 4, 5))) / 1000.0f, g.gpscorrn);
    } else if (cmd == "YTO") {
      setgpscorr(g, g.gpscorre, static_cast<float>(text::val(mid(line, 4, 5))) / 1000.0f);
    }

    if (m.demoon == 1) {
      if (cmd == "KEY") {
        const long n = static_cast<long>(line.size());
        typekeys(app, mid(line, 5, 1) == "\"" ? mid(line, 6, n - 6)
                                              : text::chr(text::int16(text::val(mid(line, 5, 3))) & 0xFF));
      } else if (cmd == "SAY") {
        if (const std::string item = mid(line, 5); issounditem(item) && !app.files.confined(item)) {
          showmsg(app.voice, g.replayfile + ": " + item + " is outside the working folder");
          continue;
        }
        withtalk(app, [&] {
          queuesay(app.voice, mid(line, 5));
          speakqueue(app.voice);
        });
        continue;
      } else if (cmd == "TXT") {
        withtalk(app, [&] { showmsg(app.voice, mid(line, 5)); });
        continue;
      }
    }

    // One step takes in one fix: NMEA sentences up to the next position sentence or a repeated
    // sentence type; one line of the other kinds.
    const std::string type = mid(line, 4, 3);
    const bool ends = type == "GLL" || type == "RMC" || type == "GGA" || mv || kind == ".AGD" || kind == ".TRK" ||
                      kind == ".MVD" || type == m.steptype;
    m.steptype = type;
    if (!ends) continue;
    // A fast replay whose handling took longer than a step catches up within the tick.
    if (app.timer() - m.laststep > m.stepsecs && m.stepsecs <= 0.5f) continue;
    return true;
  }
  return true;
}

}  // namespace zarn
