#include "vehicles/linkreport.h"

#include <algorithm>
#include <array>
#include <cmath>

#include "app/app.h"
#include "geodesy/distance.h"
#include "geodesy/postext.h"
#include "gpsinput/logs.h"
#include "navigation/gridref6.h"
#include "platform/textrules.h"
#include "speech/msgline.h"
#include "vehicles/alerts.h"
#include "vehicles/linkrecords.h"
#include "vehicles/mvforms.h"
#include "vehicles/vehicledraw.h"

namespace zarn {

namespace {

using Form = LinkReport::Form;

void print(App& app, const std::string& line) { callhook(app.hooks.printline, app, line); }

// Every line is printed, even after the printer failed on one: each failure is reported.
void printlines(App& app, std::initializer_list<std::string_view> lines) {
  for (auto l : lines) print(app, std::string(l));
}

// Date and time as the log lines carry them: hh:mm:ss and mm-dd-yyyy.
std::string logstamp(const platform::DateTime& t) { return text::timetext(t) + " " + text::datetext(t); }

// The grid text of a vehicle's table position; empty while it has none (the frame origin lies
// out at sea, where no report ever puts a vehicle).
std::string lastplace(App& app, std::size_t s) {
  const VehicleTable& v = app.veh;
  std::string t;
  if (v.mvx[s] != 0 || v.mvy[s] != 0) gridreftext(app.geo, v.mvx[s], v.mvy[s], t);
  return t;
}

bool hhmmtext(const std::string& t) {
  return t.size() == 4 && std::all_of(t.begin(), t.end(), [](char c) { return c >= '0' && c <= '9'; });
}

// Seconds between an hhmm report time (four digits) and now, counted back over midnight.
float age(App& app, const std::string& hhmm) {
  const auto two = [&](std::size_t k) { return (hhmm[k] - '0') * 10 + (hhmm[k + 1] - '0'); };
  const float a = app.timer() - static_cast<float>((two(0) * 60 + two(2)) * 60);
  return a < 0 ? a + 86400 : a;
}

// The report moves vehicle i: plotvehicle enters the position (with the GPS correction), time
// and row, follows a selected vehicle, redraws every vehicle's icon and heading line on the map
// (this vehicle's among them: it is not drawn again), adds the trail dot and hands the report
// to the pager.
void plot(App& app, int i, const LinkReport& r) {
  float lat = r.lat, lon = r.lon;
  plotvehicle(app, i, lat, lon);
}

// The unit's icon as CMESSAGE.CFG names it, when that file exists.
void takeicon(App& app, int i, const LinkReport& r) {
  auto& icons = app.win.zarn.mvim;
  if (r.icon != "NULL" && icons.exists(i) && app.files.exists(r.icon))
    icons[i].setpicture(app.sys.images->load(app.files.resolve(r.icon)));
}

void nmea(App& app, int i, std::size_t s, const LinkReport& r) {
  VehicleTable& v = app.veh;
  takeicon(app, i, r);
  ++v.mvdecoded;
  if (r.mph) v.mvspd[s] = *r.mph;
  if (r.hdg) v.mvhdg[s] = *r.hdg;
  v.mvloc[s] = r.hhmm;
  plot(app, i, r);
  if (r.code == "NULL") return;
  std::string st = r.code;
  st.resize(3, ' ');
  if (st == v.mvstat[s]) return;  // the status has not changed
  v.mvstat[s] = st;
  // The alert places the vehicle once more, at the grid text of where it was just put: a coded
  // status is announced at its place, as every alarm is.
  std::string grid;
  gridreftext(app.geo, v.mvx[s], v.mvy[s], grid);
  mvalertmsg(app, i, r.code, grid, v.mvhhmm[s]);
}

void nmeatext(App& app, int i, std::size_t s, const LinkReport& r) {
  VehicleTable& v = app.veh;
  takeicon(app, i, r);
  // A message from the unit, at its last position.
  v.mvstat[s] = r.code.size() <= 2 ? "C" + r.code : text::mid(r.code, 1, 3);
  mvalertmsg(app, i, r.code, lastplace(app, s), v.mvhhmm[s]);
}

void dialled(App& app, int i, std::size_t s, const LinkReport& r) {
  VehicleTable& v = app.veh;
  ++v.mvdecoded;
  if (v.mvlabel[s].size() > 9) v.mvlabel[s] = "???? ";
  if (v.mvid[s].size() > 9) v.mvid[s] = "unknown  ";
  v.mvhdg[s] = -1;
  v.mvspd[s] = -1;
  if (r.length == 8) {
    if (v.mvstat[s].empty()) v.mvstat[s] = "   ";
  } else {
    v.mvstat[s] = r.kind + r.code;
    if (r.kind == 'A') {
      ackcode(app.voice, app.veh, i, r.code);
    } else {
      // The alarm places the vehicle at the record's position, and the newer-report test below
      // then measures the move from there; a newer record plots it a second time, with its time.
      std::string grid;
      gridreftext(app.geo, r.x, r.y, grid);
      mvalertmsg(app, i, r.code, grid, r.hhmm);
    }
  }
  v.rptx = r.x;
  v.rpty = r.y;
  // Reports come in late and out of order: only a newer one moves the vehicle. A time more
  // than half an hour off is a new day's. A record whose time is not known is newer than none
  // with a time: it places only a vehicle that has none, and leaves its time unknown.
  const bool timed = hhmmtext(r.hhmm);
  bool newer = true;
  if (hhmmtext(v.mvloc[s])) {
    newer = false;
    if (timed) {
      const float a = age(app, r.hhmm), b = age(app, v.mvloc[s]);
      newer = a < b || (a == b && r.length == 8) || std::fabs(a - b) > 1800;
    }
  }
  if (newer) {
    const float dx = r.x - v.mvx[s], dy = r.y - v.mvy[s];
    if (dx * dx + dy * dy > 0.09f) {
      int b = 0;
      bearingdeg(dx, dy, b);
      v.mvhdg[s] = b;
    }
    if (timed) v.mvloc[s] = r.hhmm;
    plot(app, i, r);
  }
  if (r.status == 64) showmsgwav(app.voice, "Vehicle Ignition ON", "$MV$IGON.WAV");
  if (r.status == 65) showmsgwav(app.voice, "Vehicle Ignition OFF", "$MV$IGOF.WAV");
}

void fixed(App& app, int i, std::size_t s, const LinkReport& r) {
  VehicleTable& v = app.veh;
  ++v.mvdecoded;
  v.mvhdg[s] = r.hdg.value_or(-1);
  v.mvspd[s] = r.mph.value_or(-1);
  v.mvloc[s] = r.hhmm;
  plot(app, i, r);
}

// A message record carries no position and no time: the vehicle is neither moved nor counted
// as heard, and the alert names no place. Its row shows the code under Msg.
void fixedtext(App& app, int i, std::size_t s, const LinkReport& r) {
  app.veh.mvstat[s] = text::padleft(r.code, 3);
  showvehiclerow(app, i);
  mvalertmsg(app, i, r.code, "", "");
}

// The log line of a Datatrak report, wherever the line came from. The raw start of the line
// goes with it when all data are logged: 29 characters of a text line, the 12 of a binary one.
void datatraklog(App& app, const LinkReport& r, const std::string& label, const std::string& six,
                 const std::string& grid) {
  const GpsState& g = app.gps;
  const std::string log =
      "LOG: " + logstamp(app.sys.clock->now()) + " from " + text::rtrim(label) + " at " + six + " " + grid;
  app.win.get<MvEngForm>().logline.set(log);
  if (g.logopen && (r.binary || !g.rawlog)) {
    if (g.logall) writetriplog(app.gps, r.raw);
    writetriplog(app.gps, log);
  }
  if (g.printon) {
    std::array<std::string, 3> lines{"", r.binary ? r.raw : r.raw + " ~", r.binary ? log + " `" : log};
    // A printer that fails switches printing off: the rest of the report is not tried.
    for (std::size_t n = g.logall ? 0 : 2; n < lines.size() && g.printon; ++n) print(app, lines[n]);
  }
}

// A Datatrak report: the row, the plot, and its log line.
void datatrak(App& app, int i, std::size_t s, const LinkReport& r) {
  VehicleTable& v = app.veh;
  ++v.mvdecoded;
  v.mvhdg[s] = r.hdg.value_or(-1);
  v.mvspd[s] = r.mph.value_or(-1);
  v.rptx = r.x;
  v.rpty = r.y;
  // A Datatrak report carries no time of its own: the row's T-Tx stays blank. The place then
  // takes its field, the short grid reference the log line names; in the row it would push the
  // later columns out from under the header.
  v.mvloc[s] = "    ";
  plot(app, i, r);
  std::string grid;
  gridreftext(app.geo, r.x, r.y, grid);
  gridref6(grid, v.mvloc[s]);
  datatraklog(app, r, v.mvlabel[s], v.mvloc[s], grid);
}

// A Datatrak report of a unit the table does not take (new units refused): not entered,
// plotted or drawn, but logged under the identity it reported.
void refusedtrak(App& app, const LinkReport& r) {
  std::string grid, six;
  gridreftext(app.geo, r.x, r.y, grid);
  gridref6(grid, six);
  datatraklog(app, r, r.unit, six, grid);
}

void freetext(App& app, int i, std::size_t s, const LinkReport& r) {
  // A code comes with its kind in front ("712", "A12"): the row shows both under Msg, as a
  // dialled-in record's status.
  const bool coded = !text::trim(r.code).empty();
  if (coded) app.veh.mvstat[s] = text::padleft(text::left(r.code, 3), 3);
  plot(app, i, r);
  if (!coded) return;
  const std::string key = text::trim(std::string_view(r.code).substr(1));
  // An alarm or message plots the vehicle at its place once more, as every alert does.
  if (r.code[0] == 'A')
    ackcode(app.voice, app.veh, i, key);
  else
    mvalertmsg(app, i, key, r.place, r.hhmm);
}

// A vehicle line as the serial poll handed it, with the log line of vehicle i's row. A status
// line is written without its log line, and so is a line that named no vehicle (i 0), once:
// not again when all data are logged as received, nor when its call sign's split wrote it.
void linelog(App& app, int i, std::string_view received, bool status) {
  const VehicleTable& v = app.veh;
  const GpsState& g = app.gps;
  if (received.size() <= 3) return;
  if (i <= 0 || static_cast<std::size_t>(i) >= v.mvlabel.size()) {
    if (g.logall) return;
    if (g.logopen && !g.rawlog && !(g.callsplit && !received.starts_with('$'))) writetriplog(app.gps, received);
    if (g.printon) printlines(app, {"", received});
    return;
  }
  const auto s = static_cast<std::size_t>(i);
  std::string grid, six;
  gridreftext(app.geo, v.mvx[s], v.mvy[s], grid);
  gridref6(grid, six);
  const std::string log =
      "LOG: " + logstamp(app.sys.clock->now()) + " from " + v.mvlabel[s] + " " + six + " at " + v.mvloc[s];
  app.win.get<MvEngForm>().logline.set(log);
  if (g.logopen && !g.rawlog) {
    writetriplog(app.gps, received);
    if (!status) writetriplog(app.gps, log);
  }
  if (g.printon) {
    printlines(app, {"", received});
    if (!status) print(app, log);
  }
}

// A dialled-in record (its bytes as received): its log line, written with the report's identity
// lines, length and hex dump. The unit is the one its identity lines named and the place that
// of the last report taken in, whether or not this record could be read.
void recordlog(App& app, std::string_view record) {
  const GpsState& g = app.gps;
  const VehicleTable& v = app.veh;
  const auto i = static_cast<std::size_t>(v.rptunit);
  std::string grid, six;
  gridreftext(app.geo, v.rptx, v.rpty, grid);
  gridref6(grid, six);
  const bool row = i < v.mvlabel.size() && v.rptunit > 0;
  std::string log = "LOG: " + logstamp(app.sys.clock->now()) + " from " + (row ? text::rtrim(v.mvlabel[i]) : "") +
                    " at " + (row ? v.mvloc[i] : "") + " " + six;
  if (g.protocode > 8 && row) log += " " + v.mvstat[i];
  // A record that came written out in hexadecimal is dumped as the bytes it stands for.
  std::optional<std::string> bytes;
  if (record.starts_with("HEX")) bytes = hexrecord(record, g.protocode);
  if (bytes) record = *bytes;
  std::string hex = "HEX ";
  static const char digits[] = "0123456789ABCDEF";
  for (unsigned char c : record.substr(0, static_cast<std::size_t>(std::max(g.protocode, 0)))) {
    hex += digits[c >> 4];
    hex += digits[c & 15];
  }
  app.win.get<MvEngForm>().logline.set(log);
  const std::string len = std::to_string(g.protocode);
  if (g.logopen && !g.rawlog) {
    if (g.logall)
      for (const std::string& l : {v.rptline1, v.rptline2, len, hex}) writetriplog(app.gps, l);
    writetriplog(app.gps, log);
  }
  if (g.printon) {
    if (g.logall) printlines(app, {"", v.rptline1, v.rptline2, len, hex});
    print(app, log);
  }
}

}  // namespace

void applyreport(App& app, const LinkReport& r, LinkFrame frame, std::string_view received) {
  VehicleTable& v = app.veh;
  const int i = r.vehicle;
  const auto s = static_cast<std::size_t>(i);
  // Every per-vehicle array holds the slot: findvehicle and the readers give no other.
  const bool row = i > 0 && s < std::min({v.mvx.size(), v.mvhdg.size(), v.mvloc.size()});
  v.mvcur = row ? i : 0;  // for every line: a line that named no vehicle is no one's
  if (row) {
    switch (r.form) {
      case Form::none: break;
      case Form::nmea: nmea(app, i, s, r); break;
      case Form::nmeatext: nmeatext(app, i, s, r); break;
      case Form::dialled: dialled(app, i, s, r); break;
      case Form::fixed: fixed(app, i, s, r); break;
      case Form::fixedtext: fixedtext(app, i, s, r); break;
      case Form::datatrak: datatrak(app, i, s, r); break;
      case Form::text: freetext(app, i, s, r); break;
    }
  } else if (i == 0 && r.form == Form::datatrak) {
    refusedtrak(app, r);
  }
  // What the trip log and the printer get of the line itself.
  if (frame == LinkFrame::record) recordlog(app, received);
  if (frame == LinkFrame::line || frame == LinkFrame::status) linelog(app, v.mvcur, received, frame == LinkFrame::status);
}

}  // namespace zarn
