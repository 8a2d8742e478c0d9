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
#include "mainwindow/readouts.h"
#include "mainwindow/smallservices.h"
#include "mainwindow/tick.h"
#include "mapdisplay/mapchoice.h"
#include "mapdisplay/owncar.h"
#include "mapdisplay/symbols.h"
#include "navigation/directionfinding.h"
#include "navigation/destinations.h"
#include "platform/textrules.h"
#include "speech/position.h"
#include "speech/reports.h"
#include "vehicles/alerts.h"
#include "vehicles/mcv.h"
#include "vehicles/pager.h"

namespace zarn {

using text::mid;
using text::val;

namespace {

enum class Tail { GoodFix, NoPosition, Engineering, Finish };

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

Tail vtg(App& app, const Fields& f, int& handled) {
  auto& g = app.gps;
  const int commas = countcommas(f.line);
  if (commas != 8 && commas != 9) return Tail::Engineering;  // 9: the mode field of NMEA 2.3
  handled = 0;
  if (f.at(1).empty() || f.at(9) == "N") {  // mode "N": no fix, so no velocity
    g.velflag = 1;
    return Tail::GoodFix;
  }
  g.velflag = 0;
  g.owncourse = static_cast<float>(val(f.at(1)));
  g.fixspeed = static_cast<float>(val(f.at(7)));
  g.ownspd = g.fixspeed;
  headingrule(app, g.owncourse);
  showheading(app);
  velocityrule(app, 0.017453292519943);
  showspeed(app);
  return Tail::GoodFix;
}

// Neither the status nor the mode field stops the position, as in the RMC.
Tail gll(App& app, const Fields& f, int& handled) {
  const int commas = countcommas(f.line);
  if (commas != 4 && commas != 6 && commas != 7) return Tail::Engineering;  // 7: the mode of 2.3
  const Position p = position(f, 1);
  if (p.got != Position::Fix) return p.got == Position::None ? Tail::NoPosition : Tail::Engineering;
  storeposition(app, p.lat, p.lon);
  handled = 0;
  return Tail::GoodFix;
}

Tail gga(App& app, const Fields& f, int& handled) {
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
  storeposition(app, p.lat, p.lon);
  handled = 0;
  return Tail::GoodFix;
}

// The RMC of a chased unit becomes the moving destination; the own fix is not touched.
void chase(App& app, float gx, float gy) {
  auto& n = app.nav;
  std::string t;
  gridreftext(app.geo, gx, gy, t);
  if (t.size() == 14) t = mid(t, 1, 2) + mid(t, 4, 3) + mid(t, 10, 3);
  const bool slot = putdest(app, t, gx, gy, app.main.chasename + " " + t, app.main.chasewav);
  showdest(app, gx, gy, n.curdest);
  addtrail(app, gx, gy);
  showdestdist(app);
  if (app.main.refdest == 0) {
    choosemap(app, app.gps.ownx, app.gps.owny);
  } else if (slot) {
    choosemap(app, gx, gy);
  }
  if (elapsed(app.timer(), app.main.destreptime) > 10) {
    restartreport(app, 2);
    saydestdist(app);
  }
  app.doevents();
  if (elapsed(app.timer(), app.gps.chasesaid) > 60) {
    app.gps.chasesaid = app.timer();
    sayposition(app, gx, gy, n.destwav);
  }
  app.doevents();
}

Tail rmc(App& app, const Fields& f, int& handled, const std::string& codedstatus) {
  auto& g = app.gps;
  const std::string_view line = f.line;
  if (g.nochecksum == 0 && g.chksumoff == 0 && line.find('*') == std::string::npos)
    return Tail::Engineering;
  // 12 commas with the mode field of NMEA 2.3, 13 with the navigational status of 4.1.
  const int commas = countcommas(line);
  if (commas < 11 || commas > 13) return Tail::Engineering;
  if (f.at(1).empty()) return Tail::NoPosition;  // no time
  Position p = position(f, 3);
  if (p.got == Position::Bad) return Tail::Engineering;
  if (p.got == Position::Fix) {
    handled = 0;
    g.fixhhmm = mid(f.at(1), 1, 4);
    settime(g, f.at(1));
  }
  if (g.drawmode == 0) {
    // Mode "N" is no fix, as status "V" is; so is a sentence without a position.
    if (f.at(2) == "V" || f.at(12) == "N" || p.got == Position::None) {
      if (g.fixvalid == 1) {
        setfillcol(app, fillred);
        g.fixvalid = 0;
        setstatcol(app, fillyellow);
      }
    } else if (g.fixvalid == 0) {
      setfillcol(app, fillgreen);
      g.fixvalid = 1;
    }
  }
  const bool chased = app.main.chaseon == 1 && line.compare(0, 6, app.main.chasesent) == 0;
  if (p.got == Position::None) return chased ? Tail::Engineering : Tail::NoPosition;
  float gx = 0, gy = 0;
  lltoosgb(app.geo, p.lat, p.lon, gx, gy);
  if (chased) {
    chase(app, gx, gy);
    return Tail::Engineering;
  }
  if (app.gps.gpscorre != 0 || app.gps.gpscorrn != 0) {
    gx += app.gps.gpscorre;
    gy += app.gps.gpscorrn;
    osgbtoll(app.geo, gx, gy, p.lat, p.lon);
  }
  g.ownx = gx;
  g.owny = gy;
  g.ownlat = p.lat;
  g.ownlon = p.lon;
  showposition(app);

  const std::string_view speed = f.at(7), course = f.at(8), date = f.at(9);
  g.gpsdatetxt = date;
  g.gpsdayno = daynumber(date);
  if (speed.empty()) {
    g.velflag = 1;
    setfillcol(app, fillyellow);
  } else {
    g.velflag = 0;
    setfillcol(app, fillgreen);
    g.fixspeed = static_cast<float>(val(speed) * 1.85);  // km/h per knot, as the program has it
    g.ownspd = g.fixspeed;
    if (!course.empty()) {
      g.owncourse = static_cast<float>(val(course));
      headingrule(app, g.owncourse);
    }
    showheading(app);
    velocityrule(app, 3.14159 / 180);
    showspeed(app);
    if (app.main.mvmode == 0) {
      const std::string id = text::trim(g.callsign).empty() ? std::string("GP  ") : g.callsign;
      pagerreq(app, id, g.ownlat, g.ownlon, g.ownhdg, g.ownspd / 1.61f, "00");  // the pager line is in mph
    }
  }
  if (app.main.cmsgon > 0 && app.main.mvmode == 0 && codedstatus != "NULL") {
    std::string st = codedstatus;
    if (st.size() < 3) st.resize(3, ' ');
    st.resize(3);
    auto& v = app.veh;
    if (v.mvstat.size() > 1 && st != v.mvstat[1]) {
      v.mvstat[1] = st;
      const std::string now = text::timetext(app.sys.clock->now());
      mvalertmsg(app, 1, codedstatus, g.owngrid, mid(now, 1, 2) + mid(now, 4, 2));
    }
  }
  return Tail::GoodFix;
}

// One coordinate of a "$GPN0." line: n columns of whole degrees from column d, a blank,
// minutes as "mm.mm", a blank and the hemisphere letter. No checksum guards these lines, so
// digits must stand where digits belong and the value lie on the earth.
std::optional<float> gpncolumns(const std::string& line, long d, long n, const char* plus, const char* minus,
                                double max) {
  const std::string deg = mid(line, d, n), min = mid(line, d + n + 1, 5), hemi = mid(line, d + n + 7, 1);
  auto digits = [](std::string_view s) { return s.find_first_not_of("0123456789") == s.npos; };
  if (deg.size() != static_cast<std::size_t>(n) || !digits(deg) || min.size() != 5 || min[2] != '.' ||
      !digits(min.substr(0, 2) + min.substr(3)) || (hemi != plus && hemi != minus))
    return std::nullopt;
  const double m = val(min), v = val(deg) + m / 60;
  if (m >= 60 || v > max) return std::nullopt;
  return static_cast<float>(hemi == minus ? -v : v);
}

// "$GPN0." lines carry a position only: speed and course come from successive positions.
Tail derivedfix(App& app, const std::string& line) {
  auto& g = app.gps;
  const auto lat = gpncolumns(line, 14, 2, "N", "S", 90), lon = gpncolumns(line, 24, 3, "E", "W", 180);
  if (!lat || !lon) return Tail::Engineering;
  storeposition(app, *lat, *lon);
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
  headingrule(app, g.owncourse);
  showheading(app);
  velocityrule(app, 3.14159 / 180);
  showspeed(app);
  return Tail::GoodFix;
}

// A TXT sentence of a remote unit: its message raises the unit's alert.
Tail vehicletext(App& app, const std::string& line, int& handled) {
  auto& v = app.veh;
  const int i = findvehicle(app, mid(line, 2, 2));
  const auto slot = static_cast<std::size_t>(i);
  if (i <= 0 || slot >= v.mvx.size()) return Tail::Engineering;
  const std::string message = mid(line, 8);
  std::string place;
  gridreftext(app.geo, v.mvx[slot], v.mvy[slot], place);
  v.mvstat[slot] = message.size() <= 2 ? "C" + message : mid(message, 1, 3);
  mvalertmsg(app, i, message, place, v.mvhhmm[slot]);
  handled = 0;
  return Tail::Engineering;
}

}  // namespace

int gpsparse(App& app, std::string& line) {
  auto& g = app.gps;
  auto& z = app.win.zarn;
  int handled = 1;
  std::string codedstatus = "NULL";
  std::string got, calc;  // the checksum texts shown by the engineering window
  std::string type;
  Tail tail = Tail::Finish;

  if (app.main.cmsgon > 0) {
    std::string id, icon;
    cmessage(app, mid(line, 2, 2), id, icon, codedstatus);
    if (icon != "NULL" && app.files.exists(icon)) z.car.setpicture(app.sys.images->load(app.files.resolve(icon)));
  }

  // Dispatch: the first road that takes the line decides its tail.
  auto dispatch = [&]() -> Tail {
    if (line.size() >= 6) {
      const std::string talker = mid(line, 2, 2);
      type = mid(line, 4, 3);
      if (g.onlyrmc) {
        if (type == "RMC") return rmc(app, Fields(line), handled, codedstatus);
        return Tail::Engineering;
      }
      if (talker == "PG" || type == "RTE" || type == "BOD" || type == "RMB" || type == "RMZ")
        return Tail::Finish;
      if (line[0] == '%') {
        if (line.find('.') != std::string::npos) {
          dfinput(app, line);
        } else if (mid(line, 5, 1) == "/") {
          dfinput2(app, line);
        }
        writetriplog(app, line);
        return Tail::Engineering;
      }
    }
    if (line.starts_with("$GPSTA,S,")) {
      gpstaswitch(app, line);
      return Tail::GoodFix;
    }
    if (line.size() >= 34 && line.starts_with(">RPV")) {
      handled = 0;
      taiprpv(app, line);
      return Tail::GoodFix;
    }
    if (line.size() >= 100 && line.starts_with("SONY")) {
      handled = 0;
      sonyfix(app, line);  // and on: no later road takes such a line
    }
    if (line.starts_with("$GPN0.")) return derivedfix(app, line);
    if (stripcall(app, line)) type = mid(line, 4, 3);  // the sentence now starts at its "$"
    if (type == "SEC") {
      secsentence(app, line);
      return Tail::Finish;
    }
    const NmeaCheck chk = nmeacheck(line);
    got = chk.got;
    calc = chk.calc;
    if (!chk.ok && g.nochecksum == 0 && g.chksumoff == 0) return Tail::Engineering;
    if (app.main.mvmode == 1 && type == "TXT" && line.size() >= 9) return vehicletext(app, line, handled);
    if (line.starts_with("$DFBRG")) {
      handled = 0;
      long pos = 8;
      int bearing = 0;
      store16(std::floor(val(nextfield(line, pos))), bearing);
      dfbearing(app, static_cast<float>(bearing), 8);
      return Tail::Engineering;
    }
    if (type == "ZDA") return zda(app, Fields(line));
    if (type == "VTG") return vtg(app, Fields(line), handled);
    if (type == "GLL") return gll(app, Fields(line), handled);
    if (type == "GGA") return gga(app, Fields(line), handled);
    if (type == "RMC") return rmc(app, Fields(line), handled, codedstatus);
    return Tail::Engineering;
  };
  tail = dispatch();

  if (tail == Tail::GoodFix) {
    z.o.load(0).visible = true;
    z.o.load(1).visible = true;
    if (elapsed(app.timer(), g.carupdtime) > 0.5f && g.drawmode == 0) {
      updatecar(app);  // stamps carupdtime
    }
    tail = Tail::Engineering;
  } else if (tail == Tail::NoPosition) {
    z.llbox.set("No position yet");
    setfillcol(app, fillred);
    z.o.load(0).visible = false;
    z.o.load(1).visible = false;
    tail = Tail::Engineering;
  }
  if (tail == Tail::Engineering) {
    if (app.win.loaded<GpsEngForm>() && app.win.get<GpsEngForm>().visible)
      gpsengupdate(app, line, type, got, calc);
  }
  clearrxbuf(g);
  z.showcmd.backcolor = 0x00FF00;
  app.doevents();
  return handled;
}

}  // namespace zarn
