#include "vehicles/linkservices.h"

#include <cmath>

#include "app/app.h"
#include "vehicles/alerts.h"
#include "geodesy/ukgrid.h"
#include "gpsinput/checksum.h"
#include "gpsinput/nmeafields.h"
#include "gpsinput/rxbuffer.h"
#include "platform/textrules.h"
#include "vehicles/datatrak.h"
#include "vehicles/linkrecords.h"
#include "vehicles/mcv.h"
#include "vehicles/mvforms.h"

namespace zarn {

using text::mid;
using Form = LinkReport::Form;

namespace {

constexpr ui::Colour yellow = 65535, red = 255, cyan = 0xFFFF00, datatrakcol = 0xFF00FF;
constexpr ui::Colour lampon = 0xFFFFFF, lampoff = 0xC0C0C0;

// Vehicle speeds are kept in mph; a relayed NMEA speed in km/h while the read-outs are metric.
constexpr double knotmph = 1.85 / 1.61;

// The row of vehicle i, when there is one.
bool row(const App& app, int i) { return i > 0 && static_cast<std::size_t>(i) < app.veh.mvx.size(); }

// An NMEA sentence relayed from a vehicle: its talker characters name it. The own fix, the
// read-outs and the parser's state are left alone.
LinkReport vehiclenmea(App& app, const std::string& line) {
  const auto& g = app.gps;
  if (g.nochecksum == 0 && g.chksumoff == 0 && !nmeachecksumok(line)) return {};
  const bool txt = line.size() >= 9 && mid(line, 4, 3) == "TXT";
  const std::optional<VehicleFix> fix = txt ? std::nullopt : vehiclefix(line);
  if (!txt && !fix) return {};
  std::string id = mid(line, 2, 2), icon = "NULL", code = "NULL";
  if (app.main.cmsgon > 0) {
    std::string named;
    cmessage(app.files, id, named, icon, code);
    id = named;
  }
  LinkReport r;
  r.vehicle = findvehicle(app.veh, app.gps, *app.sys.wav, id);
  if (!row(app, r.vehicle)) return {};
  r.icon = icon;
  if (txt) {
    r.form = Form::nmeatext;
    r.code = mid(line, 8);
    return r;
  }
  r.form = Form::nmea;
  r.lat = fix->lat;
  r.lon = fix->lon;
  r.hhmm = fix->hhmm;
  r.code = code;
  if (fix->knots) {
    const double kmh = *fix->knots * 1.85;
    r.mph = static_cast<float>(std::floor(app.main.metric ? static_cast<float>(kmh) : *fix->knots * knotmph));
    // A course means something only while the unit moves, as for the own heading.
    if (fix->course && kmh > g.minhdgspd) r.hdg = static_cast<int>(std::floor(*fix->course));
  }
  return r;
}

// A dialled-in binary record of the unit the identity lines named.
LinkReport dialledreport(App& app, const std::string& bytes) {
  const auto& g = app.gps;
  const std::optional<DialledRecord> d = dialledrecord(bytes, g.protocode);
  if (!d || !row(app, app.veh.rptunit)) return {};
  LinkReport r;
  r.form = Form::dialled;
  r.vehicle = app.veh.rptunit;
  r.lat = d->lat;
  r.lon = d->lon;
  lltoosgb(app.geo, r.lat, r.lon, r.x, r.y);
  r.hhmm = d->hhmm.value_or("");  // empty: the time is not known
  r.status = d->status;
  r.kind = static_cast<char>(d->kind);
  r.code = d->code;
  r.length = g.protocode;
  return r;
}

// Identity line 1 of a dialled-in report; a longer line is no identity and the reader waits on.
void identity1(VehicleTable& v, GpsState& g, const std::string& line) {
  v.rptline1 = text::trim(line);
  v.rptunit = 0;
  if (v.rptline1.size() <= 6) g.reportmode = ReportMode::line2;
}

// The dialled-in reader: two identity lines, the record length, then the record. `live`: the
// line came from the serial poll, which takes the record itself after the length line's end.
LinkReport dialledin(App& app, std::string& line, bool live) {
  auto& g = app.gps;
  auto& v = app.veh;
  switch (g.reportmode) {
    case ReportMode::line1: identity1(v, g, line); break;
    case ReportMode::line2: {
      v.rptline2 = text::trim(line);
      std::string unit = v.rptline1 + "M" + v.rptline2;
      unit = text::padleft(unit, 9);
      const int i = findvehicle(app.veh, app.gps, *app.sys.wav, unit);
      if (i <= 0) break;
      v.rptunit = i;  // the record that follows is this unit's
      g.reportmode = ReportMode::length;
      LinkReport named;  // the line is this unit's, though it brings no report
      named.vehicle = i;
      return named;
    }
    case ReportMode::length: {
      const double len = text::val(line);
      g.reportmode = ReportMode::skip;
      g.protocode = static_cast<int>(std::lround(len));
      if (!(len >= 8 && len <= 32)) {
        g.protocode = 8;
        g.reportmode = ReportMode::line1;
      }
      break;
    }
    case ReportMode::skip:
      // The line after the length: a record written out in hexadecimal (as logs hold it). On
      // the live link any other line is skipped and the record follows it; in a log replayed
      // line by line it is the start of the next report.
      g.reportmode = ReportMode::line1;
      if (line.starts_with("HEX")) {
        if (auto bytes = hexrecord(line, g.protocode)) {
          line = *bytes;
          return dialledreport(app, line);
        }
      } else if (live) {
        g.reportmode = ReportMode::record;
      } else {
        identity1(v, g, line);
      }
      break;
    default:
      g.reportmode = ReportMode::line1;
      // The record as received, or written out in hexadecimal.
      if (line.starts_with("HEX")) {
        const auto bytes = hexrecord(line, g.protocode);
        if (!bytes) return {};
        line = *bytes;
      }
      return dialledreport(app, line);
  }
  return {};
}

// An "002" message record: code, unit identity and message code in their columns.
bool messagerecord(std::string_view line) { return line.starts_with("002") && line.size() >= 16; }

// Message Mode: "001" positions and "002" messages in fixed columns.
LinkReport messagemode(App& app, const std::string& line) {
  LinkReport r;
  if (line.starts_with("001")) {
    const std::optional<FixedRecord> f = fixedrecord(line);
    if (!f) return {};
    r.vehicle = findvehicle(app.veh, app.gps, *app.sys.wav, text::trim(f->id).empty() ? "blank ID" : f->id);
    if (!row(app, r.vehicle)) return {};
    r.form = Form::fixed;
    r.lat = f->lat;
    r.lon = f->lon;
    r.hdg = f->heading;
    r.mph = f->knots < 0 ? -1 : static_cast<float>(std::floor(f->knots * knotmph));
    r.hhmm = f->hhmm;
  } else if (messagerecord(line)) {
    const std::string id = mid(line, 5, 9);
    r.vehicle = findvehicle(app.veh, app.gps, *app.sys.wav, text::trim(id).empty() ? "blank ID" : id);
    if (!row(app, r.vehicle)) return {};
    r.form = Form::fixedtext;
    r.code = mid(line, 15, 2);
  }
  return r;
}

// A line the dialled-in reader waited for as a step of its own is a vehicle line, logged with
// its report, when a report of another form came instead: the first "001" line or relayed
// sentence after start-up (the link starts waiting for dialled-in reports), or a unit's message
// record between reports. The reader's own lines are logged with the record they bring.
LinkFrame stepframe(const GpsState& g, const LinkReport& r) {
  switch (r.form) {
    case Form::nmea:
    case Form::nmeatext:
    case Form::fixed:
    case Form::fixedtext: return LinkFrame::line;
    case Form::none:
      // A line of another form that named no unit the table takes.
      return g.mvdatamode == DataMode::message || g.mvdatamode == DataMode::nmea ? LinkFrame::line : LinkFrame::plain;
    default: return LinkFrame::plain;
  }
}

}  // namespace

void showlink(Windows& win, const LinkShow& show) {
  // A window is made only when it has something to show.
  if (show.callcolour || show.calltext || show.timetext || show.logtext) {
    auto& mv = win.get<MvForm>();
    if (show.callcolour) mv.telstat.backcolor = *show.callcolour;
    if (show.calltext) mv.telstat.set(*show.calltext);
    if (show.timetext) mv.teletim.set(*show.timetext);
    if (show.logtext) mv.loglab.set(*show.logtext);
  }
  if (show.alarmcalltext) win.get<MvAlarmForm>().telstat.set(*show.alarmcalltext);
  if (show.incallended) {
    if (win.loaded<MvForm>() && win.get<MvForm>().telstat.caption == incomingcall) win.get<MvForm>().telstat.set("");
    if (win.loaded<MvAlarmForm>() && win.get<MvAlarmForm>().telstat.caption == incomingcall)
      win.get<MvAlarmForm>().telstat.set("");
  }
}

namespace {
void showverdict(Windows& win, MvEngForm& eng, const LinkVerdict& v) {
  if (v.datatrak) win.zarn.showcmd.backcolor = datatrakcol;
  showlink(win, v.show);
  eng.mvrx.load(0).backcolor = v.pass ? lampon : lampoff;
  if (v.modetext) eng.msgmode.set(*v.modetext);
}
}  // namespace

void showverdict(Windows& win, const LinkVerdict& v) { showverdict(win, win.get<MvEngForm>(), v); }

LinkReport linkintake(App& app, std::string& line, LinkFrame frame) {
  auto& g = app.gps;
  auto& z = app.win.zarn;
  // A binary record is taken exactly as received: any byte value is data.
  const bool binary = binaryline(g, line);
  // Where the received text ends, before its line end: a fixed-column record is its own columns.
  std::size_t textend = line.size();
  while (!binary && textend > 0 && (line[textend - 1] == '\r' || line[textend - 1] == '\n')) --textend;
  z.showcmd.backcolor = yellow;
  if (!binary)
    for (char& c : line)
      if (static_cast<unsigned char>(c) < 16) c = ' ';
  if (line.empty()) return {};

  MvEngForm& eng = app.win.get<MvEngForm>();
  auto& rx = eng.mvrx;
  for (int k = 6; k >= 1; --k) {
    auto &to = rx.load(k), &from = rx.load(k - 1);
    to.caption.swap(from.caption);
    to.backcolor = from.backcolor;
  }
  rx[0].set(line);

  z.showcmd.backcolor = red;
  const LinkVerdict verdict = modemline(g, line, app.veh.dnid);
  showverdict(app.win, eng, verdict);
  if (!verdict.pass) return {};
  z.showcmd.backcolor = cyan;
  if (g.csatstate != CallState::idle) return {};

  switch (g.mvdatamode) {
    case DataMode::nmea: return vehiclenmea(app, line);
    case DataMode::datatrak:
      if (line[0] == '`') {
        LinkReport r = mvdecodebin(app.veh, app.gps, app.geo, *app.sys.wav, line);
        clearrxbuf(app.gps);
        return r;
      }
      if (line[0] == '~') return mvdecode(app.veh, app.gps, app.geo, *app.sys.wav, line);
      return {};
    default:
      if (line.starts_with("RING") && !g.ringstop) {
        g.mvdatamode = DataMode::position;
        g.reportmode = ReportMode::line1;
        return {};
      }
      if (g.mvdatamode == DataMode::position) {
        // Between dialled-in reports (after a call, say) a unit's message record is still its
        // alarm or message: no identity line is as long.
        if (g.reportmode == ReportMode::line1 && messagerecord(line.substr(0, textend)))
          return messagemode(app, line.substr(0, textend));
        return dialledin(app, line, frame == LinkFrame::line || frame == LinkFrame::status || frame == LinkFrame::step);
      }
      if (g.mvdatamode == DataMode::message) return messagemode(app, line.substr(0, textend));
      return {};
  }
}

void mvlinein(App& app, std::string& line, long length, LinkFrame frame) {
  // A call sign split off a relayed line names its vehicle for that line only.
  struct SplitEnds {
    GpsState& g;
    ~SplitEnds() { g.callsplit = false; }
  } splitends{app.gps};
  if (length >= 0 && static_cast<std::size_t>(length) < line.size()) line.resize(static_cast<std::size_t>(length));
  // The trip log keeps a line as the poll handed it, before its control characters are blanked.
  const bool logged = frame != LinkFrame::plain && frame != LinkFrame::own;
  const std::string received = logged ? line : std::string();
  const LinkReport r = linkintake(app, line, frame);
  if (frame == LinkFrame::step) frame = stepframe(app.gps, r);
  applyreport(app, r, frame, received);
}

void linkline(App& app, std::string& line, LinkFrame frame) {
  if (frame == LinkFrame::own) {
    owndecode(app, line);
    return;
  }
  mvlinein(app, line, static_cast<long>(line.size()), frame);
}

}  // namespace zarn
