#include "gpsinput/nmea.h"

#include <array>
#include <cmath>
#include <optional>
#include <string_view>

#include "app/app.h"
#include "geodesy/distance.h"
#include "geodesy/distwords.h"
#include "geodesy/helpers.h"
#include "geodesy/postext.h"
#include "geodesy/ukgrid.h"
#include "gpsinput/checksum.h"
#include "gpsinput/fixsteps.h"
#include "gpsinput/gpseng.h"
#include "gpsinput/logs.h"
#include "gpsinput/nmeafields.h"
#include "gpsinput/ownfix.h"
#include "gpsinput/receiverlines.h"
#include "gpsinput/rxbuffer.h"
#include "gpsinput/tracklines.h"
#include "platform/textrules.h"

namespace zarn {

using text::mid;
using text::val;

namespace {

using Tail = LineResult::Tail;

constexpr ui::Colour fillred = 0x0000FF, fillgreen = 0x00FF00, fillyellow = 0x00FFFF;


using Fields = NmeaFields;
using Position = NmeaPosition;
Position position(const Fields& f, std::size_t k) { return nmeaposition(f, k); }

void settime(GpsState& g, std::string_view hhmmss) {
  g.gpstimetxt = mid(hhmmss, 1, 2) + ":" + mid(hhmmss, 3, 2) + ":" + mid(hhmmss, 5, 2);
  g.fixsecs = timetosecs(g.gpstimetxt);
}

Tail zda(App& app, const Fields& f) {
  auto& g = app.gps;
  settime(g, f.at(1));
  g.gpsdatetxt = std::string(f.at(2)).append(f.at(3)) + mid(f.at(4), 3, 2);
  g.gpsdayno = daynumber(g.gpsdatetxt);
  return Tail::Engineering;
}

Tail vtg(App& app, const Fields& f, LineResult& r) {
  auto& g = app.gps;
  const int commas = text::countcommas(f.line);
  if (commas != 8 && commas != 9) return Tail::Engineering;  // 9: the mode field of NMEA 2.3
  r.handled = 0;
  if (f.at(1).empty() || f.at(9) == "N") {  // mode "N": no fix, so no velocity
    g.velflag = 1;
    return Tail::GoodFix;
  }
  g.velflag = 0;
  g.owncourse = static_cast<float>(val(f.at(1)));
  g.fixspeed = static_cast<float>(val(f.at(7)));
  g.ownspd = g.fixspeed;
  headingrule(g, g.owncourse);
  velocityrule(g, cutdegrad);
  r.heading = r.speed = true;
  return Tail::GoodFix;
}

// Neither the status nor the mode field stops the position, as in the RMC.
Tail gll(App& app, const Fields& f, LineResult& r) {
  const int commas = text::countcommas(f.line);
  if (commas != 4 && commas != 6 && commas != 7) return Tail::Engineering;  // 7: the mode of 2.3
  const Position p = position(f, 1);
  if (p.got != Position::Fix) return p.got == Position::None ? Tail::NoPosition : Tail::Engineering;
  storeposition(app.gps, app.geo, p.lat, p.lon);
  r.position = true;
  r.handled = 0;
  return Tail::GoodFix;
}

Tail gga(App& app, const Fields& f, LineResult& r) {
  auto& g = app.gps;
  const Position p = position(f, 2);
  if (p.got != Position::Fix) return p.got == Position::None ? Tail::NoPosition : Tail::Engineering;
  g.dgpsfix = f.at(6) == "2" ? 1 : 0;
  const std::string_view alt = f.at(9);
  if (alt.empty()) {
    g.altseen = 0;
  } else {
    g.ownalt = static_cast<float>(val(alt));
    g.ownaltft = g.ownalt * 3.281f;
    if (g.altseen == 0) {
      g.altseen = 1;
      g.climbrate = 0;
      g.alttime = app.timer();
      g.prevaltft = g.ownaltft;
    } else if (elapsed(app.timer(), g.alttime) > 10) {
      // A ten-second step in feet per minute, whatever time has passed.
      g.climbrate = std::floor((g.ownaltft - g.prevaltft) * 6);
      g.prevaltft = g.ownaltft;
      g.alttime = app.timer();
    }
  }
  storeposition(g, app.geo, p.lat, p.lon);
  r.position = true;
  r.handled = 0;
  return Tail::GoodFix;
}

Tail rmc(App& app, const Fields& f, LineResult& r) {
  auto& g = app.gps;
  const std::string_view line = f.line;
  if (g.nochecksum == 0 && g.chksumoff == 0 && line.find('*') == std::string::npos)
    return Tail::Engineering;
  // 12 commas with the mode field of NMEA 2.3, 13 with the navigational status of 4.1.
  const int commas = text::countcommas(line);
  if (commas < 11 || commas > 13) return Tail::Engineering;
  if (f.at(1).empty()) return Tail::NoPosition;  // no time
  Position p = position(f, 3);
  if (p.got == Position::Bad) return Tail::Engineering;
  if (p.got == Position::Fix) {
    r.handled = 0;
    g.fixhhmm = mid(f.at(1), 1, 4);
    settime(g, f.at(1));
  }
  if (g.drawmode == 0) {
    // Mode "N" is no fix, as status "V" is; so is a sentence without a position.
    if (f.at(2) == "V" || f.at(12) == "N" || p.got == Position::None) {
      if (g.fixvalid == 1) {
        r.fill = fillred;
        g.fixvalid = 0;
        r.voided = true;
      }
    } else if (g.fixvalid == 0) {
      r.fill = fillgreen;
      g.fixvalid = 1;
    }
  }
  const bool chased = app.main.chaseon == 1 && line.compare(0, 6, app.main.chasesent) == 0;
  if (p.got == Position::None) return chased ? Tail::Engineering : Tail::NoPosition;
  float gx = 0, gy = 0;
  lltoosgb(app.geo, p.lat, p.lon, gx, gy);
  if (chased) {
    r.chase = {gx, gy};
    return Tail::Engineering;
  }
  applycorrection(g, app.geo, gx, gy, p.lat, p.lon);
  g.ownx = gx;
  g.owny = gy;
  g.ownlat = p.lat;
  g.ownlon = p.lon;
  keepposition(g, app.geo);
  r.position = true;

  const std::string_view speed = f.at(7), course = f.at(8), date = f.at(9);
  g.gpsdatetxt = date;
  g.gpsdayno = daynumber(date);
  if (speed.empty()) {
    g.velflag = 1;
    r.fill = fillyellow;
  } else {
    g.velflag = 0;
    r.fill = fillgreen;
    g.fixspeed = static_cast<float>(val(speed) * 1.85);  // km/h per knot, as the program has it
    g.ownspd = g.fixspeed;
    if (!course.empty()) {
      g.owncourse = static_cast<float>(val(course));
      headingrule(g, g.owncourse);
    }
    velocityrule(g, shortpi / 180);
    r.heading = r.speed = true;
    r.pager = app.main.mvmode == 0;
  }
  r.codedfix = app.main.cmsgon > 0 && app.main.mvmode == 0;
  return Tail::GoodFix;
}

// One coordinate of a "$GPN0." line: n columns of whole degrees from column d, a blank,
// minutes as "mm.mm", a blank and the hemisphere letter. No checksum guards these lines, so
// digits must stand where digits belong and the value lie on the earth.
std::optional<float> gpncolumns(const std::string& line, long d, long n, const char* plus, const char* minus,
                                double max) {
  const std::string deg = mid(line, d, n), min = mid(line, d + n + 1, 5), hemi = mid(line, d + n + 7, 1);
  if (deg.size() != static_cast<std::size_t>(n) || !text::alldigits(deg) || min.size() != 5 || min[2] != '.' ||
      !text::alldigits(min.substr(0, 2) + min.substr(3)) || (hemi != plus && hemi != minus))
    return std::nullopt;
  const double m = val(min), v = val(deg) + m / 60;
  if (m >= 60 || v > max) return std::nullopt;
  return static_cast<float>(hemi == minus ? -v : v);
}

// "$GPN0." lines carry a position only: speed and course come from successive positions.
Tail derivedfix(App& app, const std::string& line, LineResult& r) {
  auto& g = app.gps;
  const auto lat = gpncolumns(line, 14, 2, "N", "S", 90), lon = gpncolumns(line, 24, 3, "E", "W", 180);
  if (!lat || !lon) return Tail::Engineering;
  storeposition(g, app.geo, *lat, *lon);
  g.lastgpstime = app.timer();
  if (g.lastfixx == 0 && g.lastfixy == 0) {
    g.lastfixx = g.ownx;
    g.lastfixy = g.owny;
    g.lastfixt = g.lastgpstime;
    g.ownhdg = -1;
  }
  float dt = g.lastgpstime - g.lastfixt;
  if (dt <= 0) dt += 86400;
  const float dx = g.ownx - g.lastfixx, dy = g.owny - g.lastfixy;
  if (dt >= g.fixmint || dx * dx + dy * dy > g.fixminmove * g.fixminmove) {
    g.lastfixt = app.timer();
    g.lastfixx = g.ownx;
    g.lastfixy = g.owny;
    g.fixspeed = std::sqrt(dx * dx + dy * dy) / dt * 3600;
    int b = text::int16(g.owncourse);
    bearingdeg(dx, dy, b);
    g.owncourse = static_cast<float>(b);
  }
  g.ownspd = g.fixspeed;
  headingrule(g, g.owncourse);
  velocityrule(g, shortpi / 180);
  r.position = r.heading = r.speed = true;
  return Tail::GoodFix;
}

}  // namespace

LineResult gpsparse(App& app, std::string& line) {
  auto& g = app.gps;
  LineResult r;
  std::string& type = r.type;

  // Dispatch: the first road that takes the line decides its tail.
  auto dispatch = [&]() -> Tail {
    if (line.size() >= 6) {
      const std::string talker = mid(line, 2, 2);
      type = mid(line, 4, 3);
      if (g.onlyrmc) {
        if (type == "RMC") return rmc(app, Fields(line), r);
        return Tail::Engineering;
      }
      if (talker == "PG" || type == "RTE" || type == "BOD" || type == "RMB" || type == "RMZ")
        return Tail::Finish;
      if (line[0] == '%') {
        r.dfline = true;
        return Tail::Engineering;
      }
    }
    if (line.starts_with("$GPSTA,S,")) {
      gpstaswitch(app.gps, app.voice, app.win, line);
      return Tail::GoodFix;
    }
    if (line.size() >= 34 && line.starts_with(">RPV")) {
      r.handled = 0;
      taiprpv(g, app.geo, line);
      r.position = r.heading = r.speed = true;
      return Tail::GoodFix;
    }
    if (line.size() >= 100 && line.starts_with("SONY")) {
      r.handled = 0;
      sonyfix(g, app.geo, line);  // and on: no later road takes such a line
      r.position = r.heading = r.speed = true;
    }
    if (line.starts_with("$GPN0.")) return derivedfix(app, line, r);
    if (stripcall(app.gps, app.win, line)) type = mid(line, 4, 3);  // the sentence now starts at its "$"
    if (type == "SEC") {
      secsentence(g, app.geo, line);
      r.sector = true;
      return Tail::Finish;
    }
    const NmeaCheck chk = nmeacheck(line);
    r.got = chk.got;
    r.calc = chk.calc;
    if (!chk.ok && g.nochecksum == 0 && g.chksumoff == 0) return Tail::Engineering;
    if (app.main.mvmode == 1 && type == "TXT" && line.size() >= 9) {
      r.vehicletext = true;  // the unit's table decides whether it counts as taken
      return Tail::Engineering;
    }
    if (line.starts_with("$DFBRG")) {
      r.handled = 0;
      long pos = 8;
      int bearing = 0;
      store16(std::floor(val(nextfield(line, pos))), bearing);
      r.dfbearing = bearing;
      return Tail::Engineering;
    }
    if (type == "ZDA") return zda(app, Fields(line));
    if (type == "VTG") return vtg(app, Fields(line), r);
    if (type == "GLL") return gll(app, Fields(line), r);
    if (type == "GGA") return gga(app, Fields(line), r);
    if (type == "RMC") return rmc(app, Fields(line), r);
    return Tail::Engineering;
  };
  r.tail = dispatch();
  if (r.tail == Tail::NoPosition) r.fill = fillred;
  return r;
}

}  // namespace zarn
