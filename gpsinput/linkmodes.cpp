#include "gpsinput/linkmodes.h"

#include <algorithm>

#include "app/app.h"
#include "platform/textrules.h"
#include "vehicles/mvforms.h"

namespace zarn {

namespace {

constexpr ui::Colour lampon = 0xFFFFFF, lampoff = 0xC0C0C0, datatrakcol = 0xFF00FF;

bool digit(char c) { return c >= '0' && c <= '9'; }
bool alnum(char c) { return digit(c) || (c >= 'A' && c <= 'Z') || (c >= 'a' && c <= 'z'); }

// What the modem says of itself: result codes and the echo of our own commands. None of them
// is a vehicle's identity or a report.
bool modemtalk(std::string_view l) {
  const std::string t = text::trim(l);
  return t == "OK" || t == "ERROR" || t == "BUSY" || t == "NO ANSWER" || t == "NO DIALTONE" || l.starts_with("AT") ||
         l.starts_with("CONNECT");
}

void calltext(App& app, const std::string& s) {
  app.win.get<MvForm>().telstat.set(s);
  app.win.get<MvAlarmForm>().telstat.set(s);
}

std::string modelabel(const GpsState& g, int mode) {
  switch (mode) {
    case 0: return "Message Mode";
    case 1: return "Converted Reports";
    case 2: return "Position Reports" + text::str(g.reportmode) + text::str(g.protocode);
    case 3: return "NMEA GPS data";
    default: return g.protocode == 11 || g.protocode == 9 ? "Datatrak Binary" : "Datatrak Text";
  }
}

}  // namespace

bool datatrakline(std::string_view l) {
  return l.size() >= 26 && l[0] == '~' && std::all_of(l.begin() + 1, l.begin() + 24, digit) && alnum(l[24]);
}

int modemline(App& app, const std::string& line, long n) {
  auto& g = app.gps;
  const std::string_view l = std::string_view(line).substr(0, static_cast<std::size_t>(std::max(n, 0L)));
  if (l.empty()) return 0;
  int mode = g.mvdatamode;
  bool accept = true;
  if (g.reportmode == 4 && g.mvdatamode == 2) {
    // A dialled-in record: its bytes may spell anything.
  } else if (l.starts_with("  ")) {
    accept = false;
  } else if (g.datatrakseen == 1) {
    app.win.zarn.showcmd.backcolor = datatrakcol;
    if (g.protocode == 11 || g.protocode == 9) {
      mode = 4;
      accept = l[0] == (g.protocode == 11 ? '`' : 'a');
      if (!accept) {
        g.reportmode = 0;
        g.protocode = 8;
      }
    } else {
      accept = datatrakline(l);
      if (accept) mode = 4;
    }
  } else if (g.reportmode != 4 && l[0] == '$') {
    mode = 3;
  } else if (!app.veh.dnid.empty() && l.starts_with(app.veh.dnid)) {
    mode = 2;
    g.reportmode = 0;
  } else if (l.starts_with("RING") && g.ringstop == 0) {
    g.reportmode = 0;
    calltext(app, "Incoming Call");
    g.incall = 1;
  } else if (l.starts_with("NO CARRIER") || l.starts_with("NO DIAL TONE")) {
    calltext(app, l[3] == 'C' ? "" : "No Dial Tone");
    g.incall = 0;
    g.mvdatamode = mode = 2;  // the label keeps its text
    g.reportmode = 0;
  } else if (l.starts_with("Land Mobile")) {
    mode = 1;
    g.reportmode = 0;
  } else if (modemtalk(l)) {
    accept = false;
  } else if (g.mvdatamode != 2) {
    if (l == "8" || l == "20") {
      mode = 2;
      g.reportmode = 2;
    } else {
      // Message Mode takes its own position and message records.
      accept = g.mvdatamode == 0 && (l.starts_with("001") || l.starts_with("002"));
    }
  } else if (l.size() > 30 && l.starts_with("001")) {
    mode = 0;
    g.reportmode = 0;
  }

  app.win.get<MvEngForm>().mvrx.load(0).backcolor = accept ? lampon : lampoff;
  if (mode != g.mvdatamode) {
    g.mvdatamode = mode;
    app.win.get<MvEngForm>().msgmode.set(modelabel(g, mode));
    if (mode == 4 && (g.protocode == 11 || g.protocode == 9)) g.protocode = 0;
  }
  return accept ? 1 : 0;
}

}  // namespace zarn
