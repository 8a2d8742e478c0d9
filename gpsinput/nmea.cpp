#include "gpsinput/nmea.h"

#include <cmath>

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
#include "navigation/navservices.h"
#include "platform/textrules.h"
#include "speech/position.h"
#include "speech/reports.h"
#include "vehicles/linkservices.h"

namespace zarn {

using text::mid;
using text::val;

namespace {

enum class Tail { GoodFix, NoPosition, Engineering, Finish };

constexpr ui::Colour fillred = 0x0000FF, fillgreen = 0x00FF00, fillyellow = 0x00FFFF;

// The fields of a "$" sentence, read from the first character after the header.
struct Fields {
  const std::string& line;
  long pos = 8;
  std::string next() { return nextfield(line, pos); }
  // The hemisphere letter at the cursor, after a coordinate field.
  std::string letter() {
    std::string c = mid(line, pos, 1);
    pos += 2;
    return c;
  }
};

float latitude(const std::string& f) { return static_cast<float>(val(mid(f, 1, 2)) + val(mid(f, 3)) / 60); }
float longitude(const std::string& f) { return static_cast<float>(val(mid(f, 1, 3)) + val(mid(f, 4)) / 60); }

void settime(GpsState& g, const std::string& hhmmss) {
  g.gpstimetxt = mid(hhmmss, 1, 2) + ":" + mid(hhmmss, 3, 2) + ":" + mid(hhmmss, 5, 2);
  g.fixsecs = timetosecs(g.gpstimetxt);
}

Tail zda(App& app, Fields f) {
  auto& g = app.gps;
  settime(g, f.next());
  const std::string day = f.next(), month = f.next(), year = f.next();
  g.gpsdatetxt = day + month + mid(year, 3, 2);
  g.gpsdayno = daynumber(g.gpsdatetxt);
  return Tail::Engineering;
}

Tail vtg(App& app, Fields f, int& handled) {
  auto& g = app.gps;
  if (countcommas(f.line) != 8) return Tail::Engineering;
  const std::string course = f.next();
  handled = 0;
  if (course.empty()) {
    g.velflag = 1;
    return Tail::GoodFix;
  }
  g.velflag = 0;
  g.owncourse = static_cast<float>(val(course));
  for (int i = 2; i <= 6; ++i) f.next();
  g.fixspeed = static_cast<float>(val(f.next()));
  g.ownspd = g.fixspeed;
  headingrule(app, g.owncourse);
  showheading(app);
  velocityrule(app, 0.017453292519943);
  showspeed(app);
  return Tail::GoodFix;
}

Tail gll(App& app, Fields f, int& handled) {
  const int commas = countcommas(f.line);
  if (commas != 4 && commas != 6) return Tail::Engineering;
  if (mid(f.line, 7, 2) == ",,") return Tail::NoPosition;
  float lat = latitude(f.next());
  if (f.letter() == "S") lat = -lat;
  float lon = longitude(f.next());
  if (f.letter() == "W") lon = -lon;
  storeposition(app, lat, lon);
  handled = 0;
  return Tail::GoodFix;
}

Tail gga(App& app, Fields f, int& handled) {
  auto& g = app.gps;
  if (f.line.find(",,,,,,") != std::string::npos) return Tail::NoPosition;
  f.next();  // time
  float lat = latitude(f.next());
  if (f.letter() == "S") lat = -lat;
  float lon = longitude(f.next());
  if (f.next() == "W") lon = -lon;
  g.dgpsfix = f.next() == "2" ? 1 : 0;
  f.next();  // satellites used
  f.next();  // dilution
  const std::string alt = f.next();
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
  storeposition(app, lat, lon);
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

Tail rmc(App& app, Fields f, int& handled, const std::string& codedstatus) {
  auto& g = app.gps;
  const std::string& line = f.line;
  if (g.nochecksum == 0 && g.chksumoff == 0 && line.find('*') == std::string::npos)
    return Tail::Engineering;
  const int commas = countcommas(line);
  if (commas != 11 && commas != 12) return Tail::Engineering;
  if (mid(line, 7, 2) == ",,") return Tail::NoPosition;
  handled = 0;
  const std::string time = f.next();
  g.fixhhmm = mid(time, 1, 4);
  settime(g, time);
  const std::string status = f.next();
  float lat = latitude(f.next());
  if (f.letter() == "S") lat = -lat;
  float lon = longitude(f.next());
  if (f.letter() == "W") lon = -lon;
  float gx = 0, gy = 0;
  lltoosgb(app.geo, lat, lon, gx, gy);
  if (g.drawmode == 0) {
    if (status == "V") {
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
  if (app.main.chaseon == 1 && line.compare(0, 6, app.main.chasesent) == 0) {
    chase(app, gx, gy);
    return Tail::Engineering;
  }
  if (app.gps.gpscorre != 0 || app.gps.gpscorrn != 0) {
    gx += app.gps.gpscorre;
    gy += app.gps.gpscorrn;
    osgbtoll(app.geo, gx, gy, lat, lon);
  }
  g.ownx = gx;
  g.owny = gy;
  g.ownlat = lat;
  g.ownlon = lon;
  showposition(app);

  const std::string speed = f.next(), course = f.next(), date = f.next();
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
      pagerreq(app, id, g.ownlat, g.ownlon, g.ownhdg, g.ownspd, "00");
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

// "$GPN0." lines carry a position only: speed and course come from successive positions.
Tail derivedfix(App& app, const std::string& line) {
  auto& g = app.gps;
  float lat = static_cast<float>(val(mid(line, 14, 2)) + val(mid(line, 17, 5)) / 60);
  if (mid(line, 23, 1) == "S") lat = -lat;
  float lon = static_cast<float>(val(mid(line, 24, 3)) + val(mid(line, 28, 5)) / 60);
  if (mid(line, 34, 1) == "W") lon = -lon;
  storeposition(app, lat, lon);
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
        if (type == "RMC") return rmc(app, Fields{line}, handled, codedstatus);
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
    if (type == "ZDA") return zda(app, Fields{line});
    if (type == "VTG") return vtg(app, Fields{line}, handled);
    if (type == "GLL") return gll(app, Fields{line}, handled);
    if (type == "GGA") return gga(app, Fields{line}, handled);
    if (type == "RMC") return rmc(app, Fields{line}, handled, codedstatus);
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
