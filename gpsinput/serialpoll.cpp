#include "gpsinput/serialpoll.h"

#include <string>
#include <utility>

#include "app/app.h"
#include "geodesy/postext.h"
#include "gpsinput/checksum.h"
#include "gpsinput/linkmodes.h"
#include "gpsinput/logs.h"
#include "gpsinput/modem.h"
#include "gpsinput/nmea.h"
#include "gpsinput/rxbuffer.h"
#include "gpsinput/rxinit.h"
#include "platform/textrules.h"

namespace zarn {

namespace {

constexpr char cr = '\r', lf = '\n';

void printlines(App& app, std::initializer_list<std::string_view> lines) {
  for (auto l : lines) callhook(app.hooks.printline, app, std::string(l));
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

// A sentence that passed its test, to the trip log as the log's prefix filter asks.
void logsentence(App& app, std::string_view l) {
  auto& g = app.gps;
  if (g.logopen != 1 || g.rawlog != 0) return;
  const std::string type(l.substr(std::min<std::size_t>(3, l.size()), 3));
  if (g.logprefix.empty()) {
    writetriplog(app.gps, l);
  } else {
    const std::string filter = g.logprefix.size() > 3 ? g.logprefix.substr(3) : std::string("   ");
    if (filter.find(type) != std::string::npos) writetriplog(app.gps, l);
    if (g.logprefix.compare(0, 3, type) == 0) {
      std::string grid;
      gridreftext(app.geo, g.ownx, g.owny, grid);
      const platform::DateTime t = app.sys.clock->now();
      writetriplog(app.gps, text::datetext(t) + " " + text::timetext(t) + " " + grid);
    }
  }
}

// What was taken in from the port but not yet worked through when an end is asked: it was
// received, so its whole lines still reach the trip log as they would have, but nothing more
// is done with them, so that the end is not held up by a backlog.
void logbacklog(App& app, std::string_view rest) {
  auto& g = app.gps;
  if (g.logopen != 1 || !g.triplog) return;
  std::string line(rxline(g));
  for (const char c : rest) {
    if (c != cr && c != lf) {
      if (c == '$' && app.main.mvmode != 1) line.clear();
      line += c;
      continue;
    }
    if (line.empty()) continue;
    if (g.rawlog > 0) {
      writetriplog(g, line);
    } else if (app.main.mvmode != 1 && line[0] == '$') {
      const bool rmc = line.size() >= 6 && line.compare(3, 3, "RMC") == 0;
      if ((g.onlyrmc == 1 && !rmc) || nmeachecksumok(line)) logsentence(app, line);
    }
    line.clear();
  }
  clearrxbuf(g);
}

// A CR-terminated NMEA sentence of the own receiver: tested, logged and parsed. A failing
// sentence stays in the buffer until the next "$" starts another.
void sentence(App& app, std::string& parseline) {
  auto& g = app.gps;
  const std::string_view l = rxline(g);
  const bool rmc = l.size() >= 6 && l.substr(3, 3) == "RMC";
  if (!(g.onlyrmc == 1 && !rmc) && !nmeachecksumok(l)) return;
  logsentence(app, l);
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

// Replies of the modem and of the satellite terminal while the service is dialled: the call
// state follows them, and the vehicle windows are to show it.
LinkShow dialreply(GpsState& g) {
  LinkShow show;
  if (rxcontains(g, "BUSY")) {
    g.csatstate = CallState::busy;
    show.callcolour = ui::red;
  }
  if (rxbegins(g, "OK")) g.modemok = true;
  if (rxcontains(g, "CONNECT")) {
    show.callcolour = ui::green;
    show.calltext = show.alarmcalltext = "Connection made";
    g.modemconnect = true;
  }
  if (rxcontains(g, "BT CSAT")) {
    show.callcolour = ui::green;
    show.calltext = show.alarmcalltext = "BT CSAT Online";
    g.csatstate = CallState::online;
  }
  const std::string_view l = rxline(g);
  if (const auto p = l.find("reference number"); p != std::string_view::npos) {
    const std::size_t from = p + 16;
    const std::string ref(from + 1 < l.size() ? l.substr(from, l.size() - 1 - from) : std::string_view());
    show.calltext = ref + " sent";
    show.alarmcalltext = "";
    g.csatstate = CallState::sent;
  }
  if (rxcontains(g, "cannot be reached")) {
    g.csatstate = CallState::unreachable;
    show.callcolour = ui::red;
  }
  return show;
}

void showcall(App& app, const std::string& text) {
  LinkShow show;
  show.calltext = text;
  callhook(app.hooks.showlink, app, show);
}

// A line up the link road. A packet-radio call sign is cut off it first, unless every byte of
// it is data.
void handover(App& app, std::string line, LinkFrame frame) {
  if (!binaryline(app.gps, line)) stripcall(app.gps, app.win, line);
  callhook(app.hooks.linkline, app, line, frame);
}

// Multi-vehicle mode: one stored character. Returns when the character is done with.
void linkchar(App& app, char c) {
  auto& g = app.gps;
  if (rxbegins(g, "OK")) g.modemok = true;

  if (g.datatrakseen) {
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
      handover(app, takeline(g), LinkFrame::plain);
      g.lastgpstime = app.timer();
      return;
    }
  }
  if (c == cr && rxbegins(g, "P:")) {
    std::string own = takeline(g);
    callhook(app.hooks.linkline, app, own, LinkFrame::own);
    g.lastgpstime = app.timer();
    return;
  }
  if (g.csatstate == CallState::dialling && c == cr) {
    callhook(app.hooks.showlink, app, dialreply(g));
    handover(app, takeline(g), LinkFrame::plain);
    return;
  }
  if (g.csatstate == CallState::online) {
    if (c == ' ') {
      if (rxcontains(g, "username:")) {
        showcall(app, "BT CSAT Username");
        clearrxbuf(g);
        commsend(*app.sys.serial, app.veh.csatuser + g.cmdend);
      }
      if (rxcontains(g, "password:")) {
        showcall(app, "BT CSAT Password");
        clearrxbuf(g);
        commsend(*app.sys.serial, app.veh.csatpass + g.cmdend);
      }
      if (rxcontains(g, ">")) {
        showcall(app, "BT CSAT >");
        clearrxbuf(g);
        g.csatstate = CallState::prompt;
      }
    }
    return;
  }
  if (g.csatstate == CallState::prompt) {
    clearrxbuf(g);
    return;
  }

  bool statusline = false;
  if (c == cr) {
    if (g.logall && !g.rawlog) {
      writetriplog(app.gps, rxline(g));
      if (g.printon) printlines(app, {"", rxline(g)});
    }
    for (const char* s : {"RING", "BT CSAT", "CONNECT", "CARRIER", "NO CARRIER"})
      if (rxbegins(g, s)) statusline = true;
    if (g.mvdatamode == DataMode::converted)
      for (const char* s : {"Atlantic E", "Position :", "Time of po"})
        if (rxbegins(g, s)) statusline = true;
    if (g.mvdatamode == DataMode::position) statusline = g.reportmode < ReportMode::record;
  }

  if (g.mvdatamode == DataMode::position) {
    if (g.reportmode == ReportMode::skip && c == lf) {
      g.reportmode = ReportMode::record;  // the binary record follows
      clearrxbuf(g);
      return;
    }
    if (g.reportmode < ReportMode::skip) {
      if (c == lf) {
        clearrxbuf(g);
        return;
      }
      if (c == cr) {
        handover(app, takeline(g), LinkFrame::step);
        g.lastgpstime = app.timer();
        return;
      }
    }
  }
  if (g.reportmode == ReportMode::record) {
    // A record awaited that the poll is not collecting (the data mode changed under it): its
    // lines are the vehicles', dropped at their CR, never parsed as the own fix.
    if (c == cr) clearrxbuf(g);
    return;
  }
  if (c == lf) {
    clearrxbuf(g);
    return;
  }
  if (c != cr) return;

  // A vehicle line: logged by the link handler with the report it brings.
  const long n = g.commlinelen;
  if ((n > 3 && (rxbegins(g, "$") || rxbegins(g, "001"))) || (n > 8 && rxbegins(g, "Position")))
    g.lastgpstime = app.timer();
  const bool skipping = g.mvdatamode == DataMode::position && g.reportmode == ReportMode::skip;
  handover(app, takeline(g), statusline ? LinkFrame::status : LinkFrame::line);
  clearrxbuf(g);
  // The line after a record's length, skipped: the record follows its line end.
  g.skipend = skipping && g.reportmode == ReportMode::record;
}

// The length of the binary record being collected, or 0: a dialled-in record from the line
// after its length line, a Datatrak record from its grave accent.
bool indialledrecord(const App& app) {
  const auto& g = app.gps;
  return app.main.mvmode == 1 && g.reportmode == ReportMode::record && g.mvdatamode == DataMode::position &&
         g.protocode > 0 && g.protocode <= GpsState::commlinemax;
}
// A dialled-in record written out as "HEX" and its pairs, as logs hold it: taken to its CR.
bool hextext(const App& app) {
  const auto& g = app.gps;
  return indialledrecord(app) && g.commlinelen >= 3 && rxbegins(g, "HEX");
}
int recordlength(const App& app) {
  const auto& g = app.gps;
  if (hextext(app)) return GpsState::commlinemax;
  if (indialledrecord(app)) return g.protocode;
  if (app.main.mvmode == 1 && g.datatrakseen && g.commlinelen > 0 && g.commline[0] == '`') return 12;
  return 0;
}

// A complete binary record goes to the link handler; a dialled-in one is logged with it.
void recorddone(App& app) {
  auto& g = app.gps;
  const bool dialled = indialledrecord(app);
  const std::string record = takeline(g);
  if (!dialled) {
    g.protocode = 11;
    handover(app, record, LinkFrame::plain);
    g.lastgpstime = app.timer();
    return;
  }
  handover(app, record, LinkFrame::record);
  g.lastgpstime = app.timer();
  g.reportmode = ReportMode::line1;
}

void onechar(App& app, char c, std::string& parseline) {
  auto& g = app.gps;
  const bool mv = app.main.mvmode == 1;

  const bool skipend = std::exchange(g.skipend, false);
  if (skipend && c == lf && g.commlinelen == 0 && indialledrecord(app)) return;

  // Inside a binary record every byte value is data: nothing starts, ends or clears a line
  // until the record has its length (a "HEX" record, its CR).
  if (const int len = recordlength(app); g.commlinelen < len) {
    g.commline[static_cast<std::size_t>(g.commlinelen++)] = c;
    if (g.commlinelen == len || (c == cr && hextext(app))) recorddone(app);
    return;
  }

  // A new line starts before the character is stored.
  if (!mv) {
    if (c == '$') {
      if (!g.callsep.empty() && g.commlinelen > 0) {
        std::string l(rxline(g));
        stripcall(app.gps, app.win, l);
      }
      clearrxbuf(g);
    } else if (c == '%' || (c == '>' && g.taipon > 0)) {
      clearrxbuf(g);
    }
  } else if (g.reportmode != ReportMode::record) {
    if (c == '$') {
      g.callsplit = false;  // the line this "$" starts is relayed only if what came before it says so
      if (!g.callsep.empty() && g.commlinelen > 0) {
        std::string l(rxline(g));
        stripcall(app.gps, app.win, l);
      }
      clearrxbuf(g);
      g.reportmode = ReportMode::line1;
    } else if (c == '~' && g.datatrakon == 1) {
      clearrxbuf(g);
      g.reportmode = ReportMode::line1;
      g.datatrakseen = 1;
    }
  }

  // Store; a full buffer is emptied and the character lost.
  if (g.commlinelen >= GpsState::commlinemax) {
    clearrxbuf(g);
    return;
  }
  g.commline[static_cast<std::size_t>(g.commlinelen++)] = c;

  // Lines complete without a line end: a direction finder's "%" line at its 7th character or
  // first ".", in either mode; the own receiver's TAIP and "$GPN0." lines only in own GPS mode.
  // In multi-vehicle mode the port carries what the vehicles send, which never moves the own
  // fix: "<" and "$GPN0." are stored like any other character and their lines end at the CR.
  const bool finder = g.commline[0] == '%' && (g.commlinelen >= 7 || rxcontains(g, "."));
  if (finder || (!mv && ((g.commlinelen == 35 && rxbegins(g, "$GPN0.")) || c == '<'))) {
    parsenow(app);
    return;
  }

  if (c == cr) {
    if (rxbegins(g, "ASTRAL")) {
      initastral(app.gps, app.voice);
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
  if (lineend && g.logopen == 1 && g.rawlog > 0) writetriplog(app.gps, rxline(g));

  if (mv) {
    linkchar(app, c);
  } else if (lineend) {
    sentence(app, parseline);
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
  // An end asked meanwhile stops the reading: what was taken in stays, and the backlog only goes
  // to the trip log (asked once a line's worth of characters, so a flood ends in a moment).
  auto ending = [&app, n = std::size_t{0}]() mutable { return ++n % 128 == 0 && app.sys.events->endasked(); };
  std::size_t k = 0;
  for (; k < chars.size() && !ending(); ++k) onechar(app, chars[k], parseline);
  while (g.rxpos < g.rxpending.size() && !ending()) onechar(app, g.rxpending[g.rxpos++], parseline);
  if (k < chars.size() || g.rxpos < g.rxpending.size())
    logbacklog(app, std::string(chars.substr(k)) + g.rxpending.substr(g.rxpos));
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
  if (port.inbuffercount() <= 0 || app.sys.events->endasked()) return;
  g.linkdata = 1;
  const std::string chunk = port.input();
  if (app.main.starting == 1) return;  // input during start-up is dropped
  rxchars(app, chunk);
}

void resetlink(GpsState& gps) { gps.linkdata = 0; }

}  // namespace zarn
