#include "gpsinput/serialpoll.h"

#include <string>

#include "app/app.h"
#include "geodesy/postext.h"
#include "gpsinput/checksum.h"
#include "gpsinput/logs.h"
#include "gpsinput/modem.h"
#include "gpsinput/nmea.h"
#include "gpsinput/rxbuffer.h"
#include "gpsinput/rxinit.h"
#include "mainwindow/smallservices.h"
#include "navigation/gridref6.h"
#include "platform/textrules.h"
#include "vehicles/linkservices.h"
#include "vehicles/mvforms.h"

namespace zarn {

namespace {

constexpr char cr = '\r', lf = '\n';

// Date and time as the log lines carry them: mm-dd-yyyy and hh:mm:ss.
std::string logstamp(App& app) {
  const platform::DateTime t = app.sys.clock->now();
  return text::timetext(t) + " " + text::datetext(t);
}

void printlines(App& app, std::initializer_list<std::string_view> lines) {
  for (auto l : lines) printline(app, std::string(l));
}

// The line: the received characters of the buffer.
std::string takeline(GpsState& g) {
  std::string l(rxline(g));
  clearrxbuf(g);
  return l;
}

// A line complete without a line end (fixed-length and TAIP lines) goes to the parser.
void parsenow(App& app) {
  std::string l = takeline(app.gps);
  const LineResult r = gpsparse(app, l);
  callhook(app.hooks.sentence, r, l);
  app.gps.lastgpstime = app.timer();
}

// The log line of a report decoded from a vehicle line, from its row of the vehicle table.
std::string linelogline(App& app) {
  const auto& v = app.veh;
  const auto i = static_cast<std::size_t>(v.mvcur);
  std::string grid, six;
  gridreftext(app.geo, v.mvx[i], v.mvy[i], grid);
  gridref6(grid, six);
  return "LOG: " + logstamp(app) + " from " + v.mvlabel[i] + " " + six + " at " + v.mvloc[i];
}

// A framed record (dialled-in binary report): its log line, written with the record's report
// lines, length and hex dump.
void recordlog(App& app, const std::string& record) {
  auto& g = app.gps;
  const auto& v = app.veh;
  const auto i = static_cast<std::size_t>(v.mvcur);
  std::string grid, six;
  gridreftext(app.geo, v.rptx, v.rpty, grid);
  gridref6(grid, six);
  const bool row = i < v.mvlabel.size() && v.mvcur > 0;
  std::string log = "LOG: " + logstamp(app) + " from " + (row ? text::rtrim(v.mvlabel[i]) : "") + " at " +
                    (row ? v.mvloc[i] : "") + " " + six;
  if (g.protocode > 8 && row) log += " " + v.mvstat[i];
  std::string hex = "HEX ";
  static const char digits[] = "0123456789ABCDEF";
  for (unsigned char c : record.substr(0, static_cast<std::size_t>(std::max(g.protocode, 0)))) {
    hex += digits[c >> 4];
    hex += digits[c & 15];
  }
  app.win.get<MvEngForm>().logline.set(log);
  const std::string len = std::to_string(g.protocode);
  if (g.logopen == 1 && g.rawlog == 0) {
    if (g.logall == 1)
      for (const std::string& l : {v.rptline1, v.rptline2, len, hex}) writetriplog(app, l);
    writetriplog(app, log);
  }
  if (g.printon == 1) {
    if (g.logall == 1) printlines(app, {"", v.rptline1, v.rptline2, len, hex});
    printline(app, log);
  }
}

// A CR-terminated NMEA sentence: tested, logged and parsed. A failing sentence stays in the
// buffer until the next "$" starts another.
void sentence(App& app, std::string& parseline, bool logit) {
  auto& g = app.gps;
  const std::string_view l = rxline(g);
  const bool rmc = l.size() >= 6 && l.substr(3, 3) == "RMC";
  if (!(g.onlyrmc == 1 && !rmc) && !nmeachecksumok(l)) return;
  if (logit && g.logopen == 1 && g.rawlog == 0 && app.main.mvmode == 0) {
    const std::string type(l.substr(std::min<std::size_t>(3, l.size()), 3));
    if (g.logprefix.empty()) {
      writetriplog(app, l);
    } else {
      const std::string filter = g.logprefix.size() > 3 ? g.logprefix.substr(3) : std::string("   ");
      if (filter.find(type) != std::string::npos) writetriplog(app, l);
      if (g.logprefix.compare(0, 3, type) == 0) {
        std::string grid;
        gridreftext(app.geo, g.ownx, g.owny, grid);
        const platform::DateTime t = app.sys.clock->now();
        writetriplog(app, text::datetext(t) + " " + text::timetext(t) + " " + grid);
      }
    }
  }
  g.nmeaid = std::string(l.substr(std::min<std::size_t>(3, l.size()), 3));
  if ((g.nmeaid == "GLL" || g.nmeaid == "RMC" || g.nmeaid == "GGA") &&
      l.substr(0, 6) != std::string_view(app.main.chasesent))
    g.lastgpstime = app.timer();
  parseline.assign(l);
  clearrxbuf(g);
  const LineResult r = gpsparse(app, parseline);
  callhook(app.hooks.sentence, r, parseline);
  app.doevents();
}

// Replies of the modem and of the satellite terminal while the service is dialled.
void dialreply(App& app) {
  auto& g = app.gps;
  auto& mv = app.win.get<MvForm>();
  auto& alarm = app.win.get<MvAlarmForm>();
  if (rxcontains(g, "BUSY")) {
    g.csatstate = 4;
    mv.telstat.backcolor = ui::red;
  }
  if (rxbegins(g, "OK")) g.modemok = 1;
  if (rxcontains(g, "CONNECT")) {
    mv.telstat.backcolor = ui::green;
    mv.telstat.set("Connection made");
    alarm.telstat.set("Connection made");
    g.modemconnect = 1;
  }
  if (rxcontains(g, "BT CSAT")) {
    mv.telstat.backcolor = ui::green;
    mv.telstat.set("BT CSAT Online");
    alarm.telstat.set("BT CSAT Online");
    g.csatstate = 2;
  }
  const std::string_view l = rxline(g);
  if (const auto p = l.find("reference number"); p != std::string_view::npos) {
    const std::size_t from = p + 16;
    const std::string ref(from + 1 < l.size() ? l.substr(from, l.size() - 1 - from) : std::string_view());
    mv.telstat.set(ref + " sent");
    alarm.telstat.set("");
    g.csatstate = 5;
  }
  if (rxcontains(g, "cannot be reached")) {
    g.csatstate = 6;
    mv.telstat.backcolor = ui::red;
  }
}

// A line for the link handler.
void handover(App& app, std::string line) {
  const long n = static_cast<long>(line.size());
  mvlinein(app, line, n);
}

// Multi-vehicle mode: one stored character. Returns when the character is done with.
void linkchar(App& app, char c, std::string& parseline) {
  auto& g = app.gps;
  if (rxbegins(g, "OK")) g.modemok = 1;

  if (g.datatrakseen == 1) {
    bool framed = false;
    if (rxbegins(g, "~") && g.commlinelen == 29) {
      g.protocode = 8;
      framed = true;
    } else if (rxbegins(g, "`") && g.commlinelen == 12) {
      g.protocode = 11;
      framed = true;
    } else if (rxbegins(g, "a") && g.commlinelen == 10) {
      g.protocode = 9;
      framed = true;
    }
    if (framed) {
      handover(app, takeline(g));
      g.lastgpstime = app.timer();
      return;
    }
  }
  if (c == cr && rxbegins(g, "P:")) {
    owndecode(app, takeline(g));
    g.lastgpstime = app.timer();
    return;
  }
  if (g.csatstate == 1 && c == cr) {
    dialreply(app);
    handover(app, takeline(g));
    return;
  }
  if (g.csatstate == 2) {
    if (c == ' ') {
      auto& mv = app.win.get<MvForm>();
      if (rxcontains(g, "username:")) {
        mv.telstat.set("BT CSAT Username");
        clearrxbuf(g);
        commsend(app, app.veh.csatuser + g.cmdend);
      }
      if (rxcontains(g, "password:")) {
        mv.telstat.set("BT CSAT Password");
        clearrxbuf(g);
        commsend(app, app.veh.csatpass + g.cmdend);
      }
      if (rxcontains(g, ">")) {
        mv.telstat.set("BT CSAT >");
        clearrxbuf(g);
        g.csatstate = 3;
      }
    }
    return;
  }
  if (g.csatstate == 3) {
    clearrxbuf(g);
    return;
  }

  int statusline = 0;
  if (c == cr) {
    if (g.logall == 1 && g.rawlog == 0) {
      writetriplog(app, rxline(g));
      if (g.printon == 1) printlines(app, {"", rxline(g)});
    }
    for (const char* s : {"RING", "BT CSAT", "CONNECT", "CARRIER", "NO CARRIER"})
      if (rxbegins(g, s)) statusline = 1;
    if (g.mvdatamode == 1)
      for (const char* s : {"Atlantic E", "Position :", "Time of po"})
        if (rxbegins(g, s)) statusline = 1;
    if (g.mvdatamode == 2) statusline = g.reportmode < 4 ? 1 : 0;
  }

  if (g.mvdatamode == 2) {
    if (g.reportmode == 3 && c == lf) {
      g.reportmode = 4;  // the binary record follows
      clearrxbuf(g);
      return;
    }
    if (g.reportmode < 3) {
      if (c == lf) {
        clearrxbuf(g);
        return;
      }
      if (c == cr) {
        handover(app, takeline(g));
        g.lastgpstime = app.timer();
        return;
      }
    }
  }
  if (g.reportmode == 4) {
    if (c == cr) sentence(app, parseline, false);
    return;
  }
  if (c == lf) {
    clearrxbuf(g);
    return;
  }
  if (c != cr) return;

  // A vehicle line.
  const long n = g.commlinelen;
  if ((n > 3 && (rxbegins(g, "$") || rxbegins(g, "001"))) || (n > 8 && rxbegins(g, "Position")))
    g.lastgpstime = app.timer();
  std::string line = takeline(g);
  stripcall(app, line);
  const std::string handed = line;
  handover(app, line);
  const auto& v = app.veh;
  if (v.mvcur > 0 && static_cast<std::size_t>(v.mvcur) < v.mvlabel.size()) {
    const std::string log = linelogline(app);
    if (handed.size() > 3) {
      app.win.get<MvEngForm>().logline.set(log);
      if (g.logopen == 1 && g.rawlog == 0) {
        writetriplog(app, handed);
        if (statusline == 0) writetriplog(app, log);
      }
      if (g.printon == 1) {
        printlines(app, {"", handed});
        if (statusline == 0) printline(app, log);
      }
    }
  }
  clearrxbuf(g);
}

// The length of the binary record being collected, or 0: a dialled-in record from the line
// after its length line, a Datatrak record from its grave accent.
bool indialledrecord(const App& app) {
  const auto& g = app.gps;
  return app.main.mvmode == 1 && g.reportmode == 4 && g.mvdatamode == 2 && g.protocode > 0 &&
         g.protocode <= GpsState::commlinemax;
}
int recordlength(const App& app) {
  const auto& g = app.gps;
  if (indialledrecord(app)) return g.protocode;
  if (app.main.mvmode == 1 && g.datatrakseen == 1 && g.commlinelen > 0 && g.commline[0] == '`') return 12;
  return 0;
}

// A complete binary record goes to the link handler; a dialled-in one is logged as well.
void recorddone(App& app) {
  auto& g = app.gps;
  const bool dialled = indialledrecord(app);
  const std::string record = takeline(g);
  if (!dialled) {
    g.protocode = 11;
    handover(app, record);
    g.lastgpstime = app.timer();
    return;
  }
  handover(app, record);
  g.lastgpstime = app.timer();
  recordlog(app, record);
  g.reportmode = 0;
}

void onechar(App& app, char c, std::string& parseline) {
  auto& g = app.gps;
  const bool mv = app.main.mvmode == 1;

  // Inside a binary record every byte value is data: nothing starts, ends or clears a line
  // until the record has its length.
  if (const int len = recordlength(app); g.commlinelen < len) {
    g.commline[static_cast<std::size_t>(g.commlinelen++)] = c;
    if (g.commlinelen == len) recorddone(app);
    return;
  }

  // A new line starts before the character is stored.
  if (!mv) {
    if (c == '$') {
      if (!g.callsep.empty() && g.commlinelen > 0) {
        std::string l(rxline(g));
        stripcall(app, l);
      }
      clearrxbuf(g);
    } else if (c == '%' || (c == '>' && g.taipon > 0)) {
      clearrxbuf(g);
    }
  } else if (g.reportmode != 4) {
    if (c == '$') {
      g.callsplit = false;  // the line this "$" starts is relayed only if what came before it says so
      if (!g.callsep.empty() && g.commlinelen > 0) {
        std::string l(rxline(g));
        stripcall(app, l);
      }
      clearrxbuf(g);
      g.reportmode = 0;
    } else if (c == '~' && g.datatrakon == 1) {
      clearrxbuf(g);
      g.reportmode = 0;
      g.datatrakseen = 1;
    }
  }

  // Store; a full buffer is emptied and the character lost.
  if (g.commlinelen >= GpsState::commlinemax) {
    clearrxbuf(g);
    return;
  }
  g.commline[static_cast<std::size_t>(g.commlinelen++)] = c;

  // Lines complete without a line end.
  if ((g.commlinelen == 35 && rxbegins(g, "$GPN0.")) || c == '<' ||
      (g.commline[0] == '%' && (g.commlinelen >= 7 || rxcontains(g, ".")))) {
    parsenow(app);
    return;
  }

  if (c == cr) {
    if (rxbegins(g, "ASTRAL")) {
      initastral(app);
      g.astral = 1;
      clearrxbuf(g);
      return;
    }
    if (rxbegins(g, "OK")) g.modemok = 1;
    if (rxbegins(g, "CONNECT")) g.modemconnect = 1;
    if (rxbegins(g, "BUSY")) g.modembusy = 1;
    if (rxcontains(g, "NO DIALTONE")) g.modemnodial = 1;
  }

  // A sentence may also end at a bare LF, as receivers behind some adapters send them.
  const bool lineend =
      c == cr || (!mv && c == lf && g.commline[0] == '$' && rxline(g).find(cr) == std::string_view::npos);
  if (lineend && g.logopen == 1 && g.rawlog > 0) writetriplog(app, rxline(g));

  if (mv) {
    linkchar(app, c, parseline);
  } else if (lineend) {
    sentence(app, parseline, true);
  }
}

// The file link: an outside program leaves one sentence in ZARN.LLD and signals it with
// ZARN.LLF.
void filelinkpoll(App& app) {
  if (!app.files.exists("ZARN.LLF")) return;
  if (app.files.exists("ZARN.LLD")) {
    std::string line = app.files.readfirstline("ZARN.LLD");
    callhook(app.hooks.filelink, line);
  }
  app.files.remove("ZARN.LLF");
}

}  // namespace

void rxchars(App& app, std::string_view chars) {
  auto& g = app.gps;
  if (g.rxbusy) {
    // A poll inside a wait of the one working: its input comes after what that one holds.
    g.rxpending.append(chars);
    return;
  }
  g.rxbusy = true;
  std::string parseline;
  for (char c : chars) onechar(app, c, parseline);
  while (g.rxpos < g.rxpending.size()) onechar(app, g.rxpending[g.rxpos++], parseline);
  g.rxpending.clear();
  g.rxpos = 0;
  g.rxbusy = false;
}

void readcomms(App& app) {
  auto& g = app.gps;
  if (g.filelink == 1) {
    if (app.main.starting != 1) filelinkpoll(app);
    return;
  }
  if (g.gpsoncom == 0) return;
  auto& port = *app.sys.serial;
  if (port.inbuffercount() <= 0) return;
  g.linkdata = 1;
  const std::string chunk = port.input();
  if (app.main.starting == 1) return;  // input during start-up is dropped
  rxchars(app, chunk);
}

void resetlink(App& app) { app.gps.linkdata = 0; }

}  // namespace zarn
