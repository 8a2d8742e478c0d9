#include "gpsinput/tracklines.h"

#include <cmath>

#include "app/app.h"
#include "geodesy/distance.h"
#include "geodesy/helpers.h"
#include "geodesy/ukgrid.h"
#include "gpsinput/fixsteps.h"
#include "gpsinput/ownfix.h"
#include "platform/textrules.h"
#include "speech/msgline.h"

namespace zarn {

using text::mid;
using text::val;

float timetosecs(std::string_view t) {
  const double h = val(mid(t, 1, 2));
  const double m = val(mid(t, 4, 2));
  const double s = t.size() == 8 ? val(mid(t, 7, 2)) : 0;
  return static_cast<float>(h * 3600 + m * 60 + s);
}

namespace {
std::string padto80(const std::string& s) { return s.size() < 80 ? s + std::string(80 - s.size(), ' ') : s; }

std::string monthnumber(const std::string& name) {
  static const std::string table = "JAN01FEB02MAR03APR04MAY05JUN06JUL07AUG08SEP09OCT10NOV11DEC12";
  return mid(table, text::instr(table, name) + 3, 2);
}
}  // namespace

bool trkline(App& app, const std::string& line) {
  auto& g = app.gps;
  if (line.size() <= 80) showmsg(app.voice, padto80(line));
  if (line.size() <= 40 || !line.starts_with("T  ")) return false;
  float lat = static_cast<float>(val(mid(line, 5, 2)) + val(mid(line, 7, 8)) / 60);
  if (mid(line, 4, 1) == "S") lat = -lat;
  float lon = static_cast<float>(val(mid(line, 17, 3)) + val(mid(line, 20, 8)) / 60);
  if (mid(line, 16, 1) == "W") lon = -lon;
  lltoosgb(app.geo, lat, lon, g.ownx, g.owny);
  applycorrection(g, app.geo, g.ownx, g.owny, lat, lon);
  g.ownlat = lat;
  g.ownlon = lon;
  keepposition(g, app.geo);
  showposition(g, app.win.zarn);

  const float t = static_cast<float>(val(mid(line, 39, 2)) + val(mid(line, 42, 2)) / 60 +
                                     val(mid(line, 45, 2)) / 3600);
  if (g.trkseen) {
    float dt = t - g.trkprevt;
    if (dt < 0) dt += 24;
    if (dt == 0) dt = 1;
    float d = 0;
    int b = g.ownhdg;  // a point that has not moved keeps the heading
    distbearing(app.geo, g.trkprevx, g.trkprevy, g.ownx, g.owny, d, b);
    g.fixspeed = d / dt;
    g.owncourse = static_cast<float>(b);
    g.ownhdg = b;
  } else {
    // The first point has nothing to be measured from.
    g.fixspeed = 0;
  }
  g.ownspd = g.fixspeed;
  g.trkseen = true;
  g.trkprevt = t;
  g.trkprevx = g.ownx;
  g.trkprevy = g.owny;

  app.win.zarn.hdgbox.set(g.ownhdg < 0 ? "?" : text::format(g.ownhdg, "000"));
  app.win.zarn.hdgbox.backcolor = ui::green;
  showspeed(g, app.main, app.win.zarn);

  g.gpsdatetxt = mid(line, 29, 2) + monthnumber(mid(line, 32, 3)) + mid(line, 36, 2);
  g.gpsdayno = daynumber(g.gpsdatetxt);
  g.gpstimetxt = mid(line, 39, 2) + ":" + mid(line, 42, 2) + ":" + mid(line, 45, 2);
  g.fixsecs = timetosecs(g.gpstimetxt);
  return true;
}

namespace {
// A decimal field of an .AGD line: from pos to the first blank after the next "."; pos moves to
// that blank. No "." left: an empty field; no blank after it: the rest of the line.
std::string agdfield(const std::string& line, std::size_t& pos) {
  if (pos >= line.size()) return {};
  const std::size_t dot = line.find('.', pos);
  if (dot == std::string::npos) {
    pos = line.size();
    return {};
  }
  std::size_t end = line.find(' ', dot);
  if (end == std::string::npos) end = line.size();
  std::string f = line.substr(pos, end - pos);
  pos = end;
  return f;
}
}  // namespace

void parsefix(App& app, const std::string& line) {
  auto& g = app.gps;
  if (g.plotbusy != 1 && line.size() > 20) showmsg(app.voice, line.size() < 80 ? padto80(line) : line.substr(0, 80));
  g.gpsdatetxt = mid(line, 1, 2) + mid(line, 4, 2) + mid(line, 9, 2);
  g.gpsdayno = daynumber(g.gpsdatetxt);
  g.gpstimetxt = mid(line, 12, 8);
  g.fixsecs = timetosecs(g.gpstimetxt);

  std::size_t pos = 24;  // column 25
  if (pos < line.size()) {
    std::size_t end = line.find(' ', pos);
    if (end == std::string::npos) end = line.size();
    store16(val(line.substr(pos, end - pos)), g.agdqual);
    pos = end;
  }
  const float lat = static_cast<float>(val(agdfield(line, pos)));
  const float lon = static_cast<float>(val(agdfield(line, pos)));
  pos += 2;
  g.ownve = static_cast<float>(val(agdfield(line, pos)));
  g.ownvn = static_cast<float>(val(agdfield(line, pos)));
  g.ownalt = static_cast<float>(pos < line.size() ? val(line.substr(pos)) : 0);

  g.fixspeed = std::sqrt(g.ownve * g.ownve + g.ownvn * g.ownvn) * 3.6f;
  g.ownspd = g.fixspeed;
  g.ownaltft = g.ownalt * 3.281f;
  g.altseen = 1;
  g.climbrate = 0;
  int course = text::int16(g.owncourse);
  bearingdeg(g.ownve, g.ownvn, course);
  g.owncourse = static_cast<float>(course);
  if (g.ownspd > g.minhdgspd) g.ownhdg = course;
  showheading(g, app.win.zarn);
  showspeed(g, app.main, app.win.zarn);

  g.ownlat = lat;
  g.ownlon = lon;
  lltoosgb(app.geo, g.ownlat, g.ownlon, g.ownx, g.owny);
  keepposition(g, app.geo);
  showposition(g, app.win.zarn);
}

}  // namespace zarn
