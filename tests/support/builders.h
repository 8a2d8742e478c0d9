// Set-ups the tests share: the own fix, a vehicle of the table, a map and the clock, each in one
// call, and checks that name the value they compare. The tests write these states only through
// here, so a change to how the states are held changes these helpers rather than every test.
#pragma once

#include <gtest/gtest.h>

#include <algorithm>
#include <cstdio>
#include <filesystem>
#include <optional>
#include <string>
#include <string_view>
#include <tuple>
#include <utility>

#include "app/app.h"
#include "geodesy/helpers.h"
#include "geodesy/postext.h"
#include "geodesy/ukgrid.h"
#include "mapdisplay/catalogue.h"
#include "mapdisplay/mapload.h"
#include "mapdisplay/tiles.h"
#include "platform/fakes.h"

namespace zarn::test {

// ---- The own fix

// No own position, as at start: the no-position value, no latitude/longitude or grid reference,
// no last sentence position, no heading or speed.
inline void noownfix(App& app) {
  OwnFix& f = app.gps;
  std::tie(f.ownx, f.owny, f.ownlat, f.ownlon, f.prevx, f.prevy) = std::tuple(noposx, noposy, 0.f, 0.f, 0.f, 0.f);
  f.owngrid.clear();
  std::tie(f.ownspd, f.ownhdg) = std::tuple(0.f, -1);
}

// The own fix at a latitude/longitude (degrees) as a sentence leaves it: the frame position
// through lltoosgb, its grid reference, the last sentence position the same; the speed (km/h)
// and heading (whole degrees, -1 none) given. The velocity is left as it is (ownvelocity).
inline void ownfix(App& app, float lat, float lon, float kmh = 0, int hdg = -1) {
  OwnFix& f = app.gps;
  std::tie(f.ownlat, f.ownlon) = std::pair(lat, lon);
  lltoosgb(app.geo, lat, lon, f.ownx, f.owny);
  gridreftext(app.geo, f.ownx, f.owny, f.owngrid);
  std::tie(f.prevx, f.prevy, f.ownspd, f.ownhdg) = std::tuple(f.ownx, f.owny, kmh, hdg);
}

// The own fix at a frame position (km): the latitude/longitude through osgbtoll, the rest as
// ownfix. The no-position value gives noownfix with that speed and heading.
inline void ownfixat(App& app, float x, float y, float kmh = 0, int hdg = -1) {
  OwnFix& f = app.gps;
  if (isnopos(x, y)) {
    noownfix(app);
  } else {
    std::tie(f.ownx, f.owny) = std::pair(x, y);
    osgbtoll(app.geo, x, y, f.ownlat, f.ownlon);
    gridreftext(app.geo, x, y, f.owngrid);
    std::tie(f.prevx, f.prevy) = std::pair(x, y);
  }
  std::tie(f.ownspd, f.ownhdg) = std::pair(kmh, hdg);
}

// The own fix at a position text ("SJ 79718 84625"), read by parsepos.
inline void ownfixat(App& app, const std::string& ref, float kmh = 0, int hdg = -1) {
  float x = 0, y = 0;
  parsepos(app.geo, ref, x, y);
  ownfixat(app, x, y, kmh, hdg);
}

// The own position alone, moved without a sentence (as the user's V key or a click moves it):
// the last sentence position, latitude/longitude and grid reference stay as they are.
inline void ownmoved(App& app, float x, float y) { std::tie(app.gps.ownx, app.gps.owny) = std::pair(x, y); }
// The last position a sentence gave (where the K key and returning reception put the car back).
inline void lastfix(App& app, float x, float y) { std::tie(app.gps.prevx, app.gps.prevy) = std::pair(x, y); }
// Heading (whole degrees, -1 none), speed (km/h) and velocity east and north (m/s), each alone.
inline void ownheading(App& app, int hdg) { app.gps.ownhdg = hdg; }
inline void ownspeed(App& app, float kmh) { app.gps.ownspd = kmh; }
inline void ownvelocity(App& app, float ve, float vn) { std::tie(app.gps.ownve, app.gps.ownvn) = std::pair(ve, vn); }
// Altitude (feet) and climb rate (feet per minute); seen 0 as before the first altitude.
inline void ownaltitude(App& app, float feet, float climb, int seen = 1) {
  std::tie(app.gps.ownaltft, app.gps.climbrate, app.gps.altseen) = std::tuple(feet, climb, seen);
}

// ---- A vehicle of the table

// What a test says of a vehicle; what it leaves out stays as it is. Texts are stored as given
// (the table keeps identities padded to 9 and labels to 5).
struct Unit {
  std::optional<std::string> id{}, label{}, stat{}, loc{}, hhmm{}, dial{};
  std::optional<float> x{}, y{}, spd{};
  std::optional<int> hdg{};
};

// Fills slot `slot` of the vehicle table; the count of vehicles (mvtotal) is left to the test.
inline void vehicle(App& app, int slot, const Unit& u) {
  VehicleTable& v = app.veh;
  const auto k = static_cast<std::size_t>(slot);
  const auto set = [](auto& field, const auto& value) {
    if (value) field = *value;
  };
  set(v.mvid[k], u.id), set(v.mvlabel[k], u.label), set(v.mvstat[k], u.stat), set(v.mvloc[k], u.loc);
  set(v.mvhhmm[k], u.hhmm), set(v.mvdial[k], u.dial);
  set(v.mvx[k], u.x), set(v.mvy[k], u.y), set(v.mvspd[k], u.spd), set(v.mvhdg[k], u.hdg);
}

// ---- Maps

// The current map as a north-up grid map of the given frame edges (km); nothing else of the
// map view changes, and no picture is loaded.
inline void gridview(App& app, float xmin, float ymin, float xmax, float ymax) {
  MapFrame& m = app.map;
  std::tie(m.curlatlon, m.mapxmin, m.mapxmax, m.mapymin, m.mapymax) = std::tuple(0, xmin, xmax, ymin, ymax);
}

// A copy of the demo data set in the working directory (the tests never write into the source
// tree), its grid squares and its map catalogue read, ready to load.
inline void demomaps(App& app) {
  std::filesystem::copy(std::filesystem::path(ZARN_SOURCE_DIR) / "data" / "demo", app.files.workdir(),
                        std::filesystem::copy_options::recursive | std::filesystem::copy_options::overwrite_existing);
  EXPECT_EQ(loadccc(app.geo, app.files), std::nullopt);
  EXPECT_TRUE(readmaplist(app));
  tileinit(app.win.zarn);
}

// Loads the map of the catalogue with that name; its number, or 0 (nothing loaded) when there is none.
inline int onemap(App& app, const std::string& name) {
  const auto& names = app.map.mapname;
  const auto end = names.begin() + 1 + app.map.mapcount, it = std::find(names.begin() + 1, end, name);
  if (it == end) {
    ADD_FAILURE() << "no map " << name << " in the catalogue";
    return 0;
  }
  const int n = static_cast<int>(it - names.begin());
  loadmap(app, n);
  return n;
}

// ---- The clock

// Sets the clock to "hh:mm:ss" (a fraction of a second may follow), keeping the date, or to
// "mm-dd-yyyy hh:mm:ss", the program's own form of date and time.
inline void at(platform::FakeClock& clock, std::string_view when) {
  int mo = 0, d = 0, y = 0, h = 0, mi = 0, n = 0;
  double s = 0;
  const std::string t(when);
  if (std::sscanf(t.c_str(), "%2d-%2d-%4d %2d:%2d:%lf%n", &mo, &d, &y, &h, &mi, &s, &n) == 6 &&
      static_cast<std::size_t>(n) == t.size()) {
    platform::DateTime dt = clock.now();
    std::tie(dt.year, dt.month, dt.day) = std::tuple(y, mo, d);
    clock.set(dt);
  } else if (std::sscanf(t.c_str(), "%2d:%2d:%lf%n", &h, &mi, &s, &n) != 3 || static_cast<std::size_t>(n) != t.size()) {
    ADD_FAILURE() << "not a time: " << when;
    return;
  }
  clock.settimer(h * 3600.0 + mi * 60.0 + s);
}

// ---- Checks that name what they compare

// The name of a value in an expression: the expression without its root object ("gps.ownx" of
// "app->gps.ownx", "ownx" of "g.ownx", "mvim[2].left" of "z().mvim[2].left").
inline std::string fieldname(std::string_view expr) {
  std::size_t depth = 0;
  for (std::size_t i = 0; i < expr.size(); ++i) {
    const char c = expr[i];
    if (c == '[' || c == '(') ++depth;
    if ((c == ']' || c == ')') && depth > 0) --depth;
    if (depth == 0 && (c == '.' || (c == '>' && i > 0 && expr[i - 1] == '-'))) return std::string(expr.substr(i + 1));
  }
  return std::string(expr);
}

// One named value against what it should be: "ownx: expected 370 got 371" when it differs.
template <class G, class W>
::testing::AssertionResult fieldis(std::string_view name, const G& got, const W& want) {
  if (got == want) return ::testing::AssertionSuccess();
  return ::testing::AssertionFailure() << name << ": expected " << ::testing::PrintToString(want) << " got "
                                       << ::testing::PrintToString(got);
}

// Several named values checked as one: the failure names each that differs, one a line.
class Fields {
 public:
  template <class G, class W> Fields& is(std::string_view name, const G& got, const W& want) {
    if (const auto r = fieldis(name, got, want); !r) wrong_ += (wrong_.empty() ? "" : "\n") + std::string(r.message());
    return *this;
  }
  ::testing::AssertionResult result() const {
    return wrong_.empty() ? ::testing::AssertionSuccess() : ::testing::AssertionFailure() << wrong_;
  }

 private:
  std::string wrong_;
};

// The formatters of the macros below: the failure is the named message alone.
template <class G, class W>
::testing::AssertionResult fieldformat(const char* gotexpr, const char*, const G& got, const W& want) {
  return fieldis(fieldname(gotexpr), got, want);
}
inline ::testing::AssertionResult fieldsformat(const char*, const Fields& f) { return f.result(); }

}  // namespace zarn::test

// EXPECT_FIELD(app->gps.ownx, 370.f) fails with "gps.ownx: expected 370 got 371"; a message may
// be streamed after it as after any check.
#define EXPECT_FIELD(value, want) EXPECT_PRED_FORMAT2(::zarn::test::fieldformat, value, want)
// Several at once, each entry named as EXPECT_FIELD names it:
//   EXPECT_FIELDS(Fields().FIELD(g.ownx, 370.f).FIELD(g.owny, 380.f)) << "why";
#define EXPECT_FIELDS(fields) EXPECT_PRED_FORMAT1(::zarn::test::fieldsformat, fields)
#define FIELD(value, want) is(::zarn::test::fieldname(#value), (value), (want))
