#include "vehicles/linkservices.h"

#include <algorithm>
#include <cmath>

#include "app/app.h"
#include "geodesy/distance.h"
#include "geodesy/postext.h"
#include "geodesy/ukgrid.h"
#include "gpsinput/checksum.h"
#include "gpsinput/linkmodes.h"
#include "gpsinput/nmeafields.h"
#include "gpsinput/rxbuffer.h"
#include "mainwindow/smallservices.h"
#include "platform/textrules.h"
#include "speech/msgline.h"
#include "vehicles/alerts.h"
#include "vehicles/datatrak.h"
#include "vehicles/linkrecords.h"
#include "vehicles/mcv.h"
#include "vehicles/mvforms.h"
#include "vehicles/vehicledraw.h"

namespace zarn {

using text::mid;

namespace {

constexpr ui::Colour orange = 32767, yellow = 65535, red = 255, cyan = 0xFFFF00;

// Vehicle speeds are kept in mph, whatever units the read-outs use.
constexpr double knotmph = 1.85 / 1.61;

// The row of vehicle i, when there is one.
bool row(const App& app, int i) { return i > 0 && static_cast<std::size_t>(i) < app.veh.mvx.size(); }

std::string clockhhmm(App& app) {
  const std::string t = text::timetext(app.sys.clock->now());
  return mid(t, 1, 2) + mid(t, 4, 2);
}

// The grid text of a vehicle's table position; empty while it has none (the frame origin lies
// out at sea, where no report ever puts a vehicle).
std::string lastplace(App& app, int i) {
  const auto s = static_cast<std::size_t>(i);
  std::string t;
  if (app.veh.mvx[s] != 0 || app.veh.mvy[s] != 0) gridreftext(app.geo, app.veh.mvx[s], app.veh.mvy[s], t);
  return t;
}

// Seconds between an hhmm report time and now, counted back over midnight.
float age(App& app, int hh, int mm) {
  float a = app.timer() - static_cast<float>((hh * 60 + mm) * 60);
  return a < 0 ? a + 86400 : a;
}

// An NMEA sentence relayed from a vehicle: its talker characters name it. The own fix, the
// read-outs and the parser's state are left alone.
void vehiclenmea(App& app, const std::string& line) {
  auto& g = app.gps;
  auto& v = app.veh;
  if (g.nochecksum == 0 && g.chksumoff == 0 && !nmeachecksumok(line)) return;
  const bool txt = line.size() >= 9 && mid(line, 4, 3) == "TXT";
  const std::optional<VehicleFix> fix = txt ? std::nullopt : vehiclefix(line);
  if (!txt && !fix) return;
  std::string id = mid(line, 2, 2), icon = "NULL", code = "NULL";
  if (app.main.cmsgon > 0) {
    std::string named;
    cmessage(app, id, named, icon, code);
    id = named;
  }
  const int i = findvehicle(app, id);
  if (!row(app, i)) return;
  const auto s = static_cast<std::size_t>(i);
  v.mvcur = i;
  auto& icons = app.win.zarn.mvim;
  if (app.main.cmsgon > 0 && icon != "NULL" && icons.exists(i) && app.files.exists(icon))
    icons[i].setpicture(app.sys.images->load(app.files.resolve(icon)));
  if (txt) {  // a message from the unit, at its last position
    const std::string message = mid(line, 8);
    v.mvstat[s] = message.size() <= 2 ? "C" + message : mid(message, 1, 3);
    mvalertmsg(app, i, message, lastplace(app, i), v.mvhhmm[s]);
    return;
  }
  ++v.mvdecoded;
  if (fix->knots) {
    const double kmh = *fix->knots * 1.85;
    v.mvspd[s] = static_cast<float>(std::floor(*fix->knots * knotmph));
    // A course means something only while the unit moves, as for the own heading.
    if (fix->course && kmh > g.minhdgspd) v.mvhdg[s] = static_cast<int>(std::floor(*fix->course));
  }
  v.mvtimer[s] = app.timer();
  v.mvloc[s] = fix->hhmm;
  float lat = fix->lat, lon = fix->lon;
  plotvehicle(app, i, lat, lon);
  if (app.main.cmsgon > 0 && code != "NULL") {
    std::string st = code;
    st.resize(3, ' ');
    if (st != v.mvstat[s]) {
      v.mvstat[s] = st;
      std::string grid;
      gridreftext(app.geo, v.mvx[s], v.mvy[s], grid);
      mvalertmsg(app, i, code, grid, v.mvhhmm[s]);
    }
  }
  drawvehicle(app, i);
}

// A dialled-in binary record of vehicle mvcur.
void dialledreport(App& app, const std::string& bytes) {
  auto& g = app.gps;
  auto& v = app.veh;
  const int i = v.mvcur;
  const std::optional<DialledRecord> r = dialledrecord(bytes, g.protocode);
  if (!r || !row(app, i)) return;
  ++v.mvdecoded;
  const auto s = static_cast<std::size_t>(i);
  if (v.mvlabel[s].size() > 9) v.mvlabel[s] = "???? ";
  if (v.mvid[s].size() > 9) v.mvid[s] = "unknown  ";
  const std::string hhmm = text::format(r->hours, "00") + text::format(r->minutes, "00");
  v.mvhdg[s] = -1;
  v.mvspd[s] = -1;
  float lat = r->lat, lon = r->lon;
  if (g.protocode == 8) {
    if (v.mvstat[s].empty()) v.mvstat[s] = "   ";
  } else {
    v.mvstat[s] = static_cast<char>(r->kind) + r->code;
    if (r->kind == 'A') {
      ackcode(app, i, r->code);
    } else {
      float x = 0, y = 0;
      std::string grid;
      lltoosgb(app.geo, lat, lon, x, y);
      gridreftext(app.geo, x, y, grid);
      mvalertmsg(app, i, r->code, grid, hhmm);
    }
  }
  lltoosgb(app.geo, lat, lon, v.rptx, v.rpty);
  // Reports come in late and out of order: only a newer one moves the vehicle. A time more
  // than half an hour off is a new day's.
  bool newer = true;
  const std::string& was = v.mvloc[s];
  if (was.size() == 4 && std::all_of(was.begin(), was.end(), [](char c) { return c >= '0' && c <= '9'; })) {
    const float a = age(app, r->hours, r->minutes);
    const float b = age(app, std::stoi(was.substr(0, 2)), std::stoi(was.substr(2)));
    newer = a < b || (a == b && g.protocode == 8) || std::fabs(a - b) > 1800;
  }
  if (newer) {
    const float dx = v.rptx - v.mvx[s], dy = v.rpty - v.mvy[s];
    if (dx * dx + dy * dy > 0.09f) {
      int b = 0;
      bearingdeg(dx, dy, b);
      v.mvhdg[s] = b;
    }
    v.mvloc[s] = hhmm;
    plotvehicle(app, i, lat, lon);
  }
  if (r->status == 64) showmsgwav(app, "Vehicle Ignition ON", "$MV$IGON.WAV");
  if (r->status == 65) showmsgwav(app, "Vehicle Ignition OFF", "$MV$IGOF.WAV");
}

// Identity line 1 of a dialled-in report; a longer line is no identity and the reader waits on.
void identity1(VehicleTable& v, GpsState& g, const std::string& line) {
  v.rptline1 = text::trim(line);
  if (v.rptline1.size() <= 6) g.reportmode = 1;
}

// The dialled-in reader: two identity lines, the record length, then the record.
void dialledin(App& app, std::string& line) {
  auto& g = app.gps;
  auto& v = app.veh;
  switch (g.reportmode) {
    case 0: identity1(v, g, line); break;
    case 1: {
      v.rptline2 = text::trim(line);
      std::string unit = v.rptline1 + "M" + v.rptline2;
      if (unit.size() < 9) unit.insert(0, 9 - unit.size(), ' ');
      const int i = findvehicle(app, unit);
      if (i <= 0) return;
      v.mvcur = i;
      g.reportmode = 2;
      break;
    }
    case 2: {
      const double len = text::val(line);
      g.reportmode = 3;
      g.protocode = static_cast<int>(std::lround(len));
      if (!(len >= 8 && len <= 32)) {
        g.protocode = 8;
        g.reportmode = 0;
      }
      break;
    }
    case 3:
      // The line after the length: a record written out in hexadecimal (as logs hold it), or
      // the start of the next report.
      g.reportmode = 0;
      if (line.starts_with("HEX")) {
        if (auto bytes = hexrecord(line, g.protocode)) {
          line = *bytes;
          dialledreport(app, line);
        }
      } else {
        identity1(v, g, line);
      }
      break;
    default:
      g.reportmode = 0;
      dialledreport(app, line);
  }
}

// Message Mode: "001" positions and "002" messages in fixed columns.
void messagemode(App& app, const std::string& line) {
  auto& v = app.veh;
  if (line.starts_with("001")) {
    const std::optional<FixedRecord> r = fixedrecord(line);
    if (!r) return;
    const int i = findvehicle(app, text::trim(r->id).empty() ? "blank ID" : r->id);
    if (!row(app, i)) return;
    const auto s = static_cast<std::size_t>(i);
    v.mvcur = i;
    ++v.mvdecoded;
    float lat = r->lat, lon = r->lon;
    lltoosgb(app.geo, lat, lon, v.mvx[s], v.mvy[s]);
    v.mvhdg[s] = r->heading;
    v.mvspd[s] = r->knots < 0 ? -1 : static_cast<float>(std::floor(r->knots * knotmph));
    if (v.mvstat[s].empty()) v.mvstat[s] = "   ";
    v.mvhhmm[s] = clockhhmm(app);
    v.mvtimer[s] = app.timer();
    v.mvloc[s] = r->hhmm;
    plotvehicle(app, i, lat, lon);
  } else if (line.starts_with("002") && line.size() >= 16) {
    const std::string id = mid(line, 5, 9);
    const int i = findvehicle(app, text::trim(id).empty() ? "blank ID" : id);
    if (!row(app, i)) return;
    v.mvcur = i;
    // A message carries no position: it is placed where the vehicle last reported, if anywhere.
    const std::string place = lastplace(app, i);
    mvalertmsg(app, i, mid(line, 15, 2), place, place.empty() ? "" : v.mvhhmm[static_cast<std::size_t>(i)]);
  }
}

}  // namespace

void mvlinein(App& app, std::string& line, long length) {
  auto& g = app.gps;
  // A call sign split off a relayed line names its vehicle for that line only.
  struct SplitEnds {
    GpsState& g;
    ~SplitEnds() { g.callsplit = false; }
  } splitends{g};
  auto& z = app.win.zarn;
  if (length >= 0 && static_cast<std::size_t>(length) < line.size()) line.resize(static_cast<std::size_t>(length));
  // A binary record is taken exactly as received: any byte value is data.
  const bool binary = g.reportmode == 4 || (g.datatrakseen == 1 && line.starts_with('`'));
  z.showcmd.backcolor = orange;
  if (!binary) stripcall(app, line);
  z.showcmd.backcolor = yellow;
  if (!binary)
    for (char& c : line)
      if (static_cast<unsigned char>(c) < 16) c = ' ';
  if (line.empty()) return;

  auto& rx = app.win.get<MvEngForm>().mvrx;
  for (int k = 6; k >= 1; --k) {
    auto &to = rx.load(k), &from = rx.load(k - 1);
    to.caption.swap(from.caption);
    to.backcolor = from.backcolor;
  }
  rx[0].set(line);

  z.showcmd.backcolor = red;
  if (modemline(app, line, static_cast<long>(line.size())) == 0) return;
  z.showcmd.backcolor = cyan;
  if (g.csatstate > 0) return;

  switch (g.mvdatamode) {
    case 3: vehiclenmea(app, line); return;
    case 4:
      if (line[0] == '`') {
        mvdecodebin(app, line);
        clearrxbuf(app);
      } else if (line[0] == '~') {
        mvdecode(app, line);
      }
      return;
    default:
      if (line.starts_with("RING") && g.ringstop == 0) {
        g.mvdatamode = 2;
        g.reportmode = 0;
      } else if (g.mvdatamode == 2) {
        dialledin(app, line);
      } else if (g.mvdatamode == 0) {
        messagemode(app, line);
      }
  }
}

}  // namespace zarn
