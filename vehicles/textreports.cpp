#include "vehicles/textreports.h"

#include <algorithm>
#include <cmath>
#include <string_view>

#include "app/app.h"
#include "geodesy/postext.h"
#include "geodesy/ukgrid.h"
#include "gpsinput/fixsteps.h"
#include "gpsinput/ownfix.h"
#include "mapdisplay/owncar.h"
#include "platform/textrules.h"
#include "vehicles/linkservices.h"

namespace zarn {

namespace {

// Columns from..from+len-1 (counted from 1) hold digits only.
bool digitsat(std::string_view line, std::size_t from, std::size_t len) {
  if (line.size() < from - 1 + len) return false;
  return text::alldigits(line.substr(from - 1, len));
}

// The trip log's lines of decoded reports open with the time and date they were written. They
// record a report that came over the link (a full log holds it as received, before them); their
// tail is a status or grid reference, not a code, so they are never read as reports.
bool tripstamped(std::string_view line) {
  constexpr std::string_view form = "LOG: 99:99:99 99-99-9999 from ";
  if (line.size() < form.size()) return false;
  for (std::size_t k = 0; k < form.size(); ++k)
    if (form[k] == '9' ? !text::isdigit(line[k]) : line[k] != form[k]) return false;
  return true;
}

// An identity a new vehicle may take: it becomes part of the unit's file names and fills the
// table's 9-character identity.
bool newidentity(std::string_view id) {
  const auto plain = [](char c) {
    return text::isdigit(c) || (c >= 'A' && c <= 'Z') || (c >= 'a' && c <= 'z') || c == ' ' || c == '-' || c == '_';
  };
  return !id.empty() && id.size() <= 9 && std::all_of(id.begin(), id.end(), plain);
}

}  // namespace

void owndecode(App& app, const std::string& line) {
  // A short line, or anything but digits in a numeric column, would put the car at (0, 0).
  if (!digitsat(line, 17, 1) || !digitsat(line, 19, 2) || !digitsat(line, 22, 6) || !digitsat(line, 29, 6)) return;
  GpsState& g = app.gps;
  ZarnForm& z = app.win.zarn;
  ++app.veh.mvdecoded;

  const int hdg = static_cast<int>(text::val(text::mid(line, 17, 1))) * 45;
  z.hdgbox.set(text::format(hdg, "000"));
  z.hdgbox.backcolor = ui::green;
  // The unit reports in steps of 5 mph and its grid position in units of 4 m; the fix keeps km/h.
  takeunitfix(g, app.geo, app.main, z, static_cast<float>(text::val(text::mid(line, 22, 6)) / 250),
              static_cast<float>(text::val(text::mid(line, 29, 6)) / 250),
              static_cast<float>(text::val(text::mid(line, 19, 2)) * 5 * 1.61), hdg);
  g.lastgpstime = app.timer();
  updatecar(app);
}

LinkReport textreport(GeoState& geo, VehicleTable& v, const std::string& report, long n) {
  const std::string line = text::left(report, std::max(n, 0L));
  if (tripstamped(line)) return {};
  const std::size_t from = line.find(" from ");
  if (from == std::string::npos) return {};
  const std::size_t at = line.find(" at ", from + 6);
  if (at == std::string::npos) return {};
  const std::string id = text::trim(std::string_view(line).substr(from + 6, at - from - 6));
  if (id.empty()) return {};

  // After " at ": the report time (hhmm), one separating character, the place up to the next
  // blank, and after that blank the code.
  LinkReport r;
  r.form = LinkReport::Form::text;
  r.hhmm = text::mid(line, static_cast<long>(at) + 5, 4);
  const std::size_t p = std::min(at + 9, line.size());
  const std::size_t blank = line.find(' ', p);
  r.place = line.substr(p, blank == std::string::npos ? std::string::npos : blank - p);
  if (blank != std::string::npos) r.code = line.substr(blank + 1);

  // A place that does not read puts nothing on the map and raises nothing.
  float x = 0, y = 0;
  parsepos(geo, r.place, x, y);
  if (x == parsefailx && y == parsefaily) return {};

  const int slots = static_cast<int>(std::min(v.mvlabel.size(), v.mvid.size()));  // 0..slots-1
  const int last = std::min(v.mvtotal, slots - 1);
  int i = 0;
  for (int k = 1; k <= last; ++k)
    if (text::trim(v.mvlabel[static_cast<std::size_t>(k)]) == id) i = k;
  if (i == 0) {
    // A full table drops the report quietly: it is a replay, not a unit calling in.
    if (!newidentity(id) || v.mvtotal < 0 || v.mvtotal >= std::min(v.mvsize, slots - 1)) return {};
    i = ++v.mvtotal;
    v.mvlabel[static_cast<std::size_t>(i)] = text::pad(id, 5);
    v.mvid[static_cast<std::size_t>(i)] = text::pad(id, 9);
  }
  r.vehicle = i;
  osgbtoll(geo, x, y, r.lat, r.lon);
  return r;
}

}  // namespace zarn
