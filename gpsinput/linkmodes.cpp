#include "gpsinput/linkmodes.h"

#include <algorithm>

#include "gpsinput/gpsstate.h"
#include "platform/textrules.h"

namespace zarn {

namespace {

bool digit(char c) { return c >= '0' && c <= '9'; }
bool alnum(char c) { return digit(c) || (c >= 'A' && c <= 'Z') || (c >= 'a' && c <= 'z'); }

// What the modem says of itself: result codes and the echo of our own commands. None of them
// is a vehicle's identity or a report.
bool modemtalk(std::string_view l) {
  const std::string t = text::trim(l);
  return t == "OK" || t == "ERROR" || t == "BUSY" || t == "NO ANSWER" || t == "NO DIALTONE" || l.starts_with("AT") ||
         l.starts_with("CONNECT");
}

// The same text for the vehicle window and the alarm window.
LinkShow calltext(const std::string& s) {
  LinkShow show;
  show.calltext = show.alarmcalltext = s;
  return show;
}

std::string modelabel(const GpsState& g, DataMode mode) {
  switch (mode) {
    case DataMode::message: return "Message Mode";
    case DataMode::converted: return "Converted Reports";
    case DataMode::position: return "Position Reports" + text::str(static_cast<int>(g.reportmode)) + text::str(g.protocode);
    case DataMode::nmea: return "NMEA GPS data";
    case DataMode::datatrak: break;
  }
  return g.protocode == 11 || g.protocode == 9 ? "Datatrak Binary" : "Datatrak Text";
}

}  // namespace

bool datatrakline(std::string_view l) {
  // Unit number (columns 2-6), heading code (10), easting and northing (13-24) in digits and the
  // unit's letter or digit in 25; the unused columns 7-9 and the speed code (11-12) may hold
  // anything.
  const auto digits = [&](std::size_t from, std::size_t to) {
    return std::all_of(l.begin() + static_cast<std::ptrdiff_t>(from - 1), l.begin() + static_cast<std::ptrdiff_t>(to), digit);
  };
  return l.size() >= 26 && l[0] == '~' && digits(2, 6) && digits(10, 10) && digits(13, 24) && alnum(l[24]);
}

bool binaryline(const GpsState& g, std::string_view line) {
  return g.reportmode == ReportMode::record || (g.datatrakseen && line.starts_with('`'));
}

LinkVerdict modemline(GpsState& g, std::string_view l, std::string_view dnid) {
  LinkVerdict v;
  if (l.empty()) return v;
  DataMode mode = g.mvdatamode;
  bool accept = true;
  if (g.reportmode == ReportMode::record && g.mvdatamode == DataMode::position) {
    // A dialled-in record: its bytes may spell anything.
  } else if (l.starts_with("  ")) {
    accept = false;
  } else if (g.datatrakseen) {
    v.datatrak = true;
    if (g.protocode == 11 || g.protocode == 9) {
      mode = DataMode::datatrak;
      accept = l[0] == (g.protocode == 11 ? '`' : 'a');
      if (!accept) {
        g.reportmode = ReportMode::line1;
        g.protocode = 8;
      }
    } else {
      accept = datatrakline(l);
      if (accept) mode = DataMode::datatrak;
    }
  } else if (g.reportmode != ReportMode::record && l[0] == '$') {
    mode = DataMode::nmea;
  } else if (!dnid.empty() && l.starts_with(dnid)) {
    mode = DataMode::position;
    g.reportmode = ReportMode::line1;
  } else if (l.starts_with("RING") && !g.ringstop) {
    g.reportmode = ReportMode::line1;
    v.show = calltext(incomingcall);
    g.incall = 1;
  } else if (l.starts_with("NO CARRIER") || l.starts_with("NO DIAL TONE")) {
    v.show = calltext(l[3] == 'C' ? "" : "No Dial Tone");
    g.incall = 0;
    g.mvdatamode = mode = DataMode::position;  // the label keeps its text
    g.reportmode = ReportMode::line1;
  } else if (l.starts_with("Land Mobile")) {
    mode = DataMode::converted;
    g.reportmode = ReportMode::line1;
  } else if (modemtalk(l)) {
    accept = false;
  } else if (g.mvdatamode != DataMode::position) {
    if (l == "8" || l == "20") {
      mode = DataMode::position;
      g.reportmode = ReportMode::length;
    } else {
      // Message Mode takes its own position and message records.
      accept = g.mvdatamode == DataMode::message && (l.starts_with("001") || l.starts_with("002"));
    }
  } else if (l.size() > 30 && l.starts_with("001")) {
    mode = DataMode::message;
    g.reportmode = ReportMode::line1;
  }

  v.pass = accept;
  if (mode != g.mvdatamode) {
    g.mvdatamode = mode;
    v.modetext = modelabel(g, mode);
    if (mode == DataMode::datatrak && (g.protocode == 11 || g.protocode == 9)) g.protocode = 0;
  }
  return v;
}

}  // namespace zarn
