// Warning zones: the zone window's buttons, ZARNWARN.DAT written and read (hand-edited counts
// held to the three slots), entering and leaving said once over the recorded drive, and the
// circles on the map.
#include <fstream>

#include "geodesy/postext.h"
#include "geodesy/ukgrid.h"
#include "mapdisplay/overlays.h"
#include "navigation/warnings.h"
#include "navigation/zmform.h"
#include "support/app_fixture.h"
#include "support/builders.h"

namespace zarn::test {
namespace {

class Zones : public AppTest {
 protected:
  void ready() override {
    squares({{"SJ", 300, 300}, {"TQ", 500, 100}});
    gridview(*app, 370, 380, 380, 390);  // 10 km on the 640-pixel picture
  }
  NavState& n() const { return app->nav; }
  // A zone in slot k at a frame position with a radius (km).
  void zone(int k, float x, float y, float rad) const {
    std::tie(n().zonex[k], n().zoney[k], n().zonerad[k]) = std::tuple(x, y, rad);
  }
  // The announcements of a zone check, if any.
  std::string check() const {
    app->speech.msgtext.clear();
    zonecheck(*app);
    return app->speech.msgtext;
  }
  std::string ref(float x, float y) const {
    std::string t;
    gridreftext(app->geo, x, y, t);
    return t;
  }
};

// The valid RMC fixes of the recorded drive, latitude and longitude.
std::vector<std::pair<float, float>> drive() {
  std::ifstream in(std::string(ZARN_TEST_DATA) + "/nmea/drive/cheshire-2020-10-26.nmea");
  std::vector<std::pair<float, float>> fixes;
  for (std::string l; std::getline(in, l);) {
    char status = 0, ns = 0, ew = 0;
    float latd = 0, latm = 0, lond = 0, lonm = 0;
    if (std::sscanf(l.c_str(), "$GPRMC,%*[^,],%c,%2f%f,%c,%3f%f,%c", &status, &latd, &latm, &ns, &lond, &lonm, &ew) == 7 &&
        status == 'A')
      fixes.emplace_back((latd + latm / 60) * (ns == 'S' ? -1 : 1), (lond + lonm / 60) * (ew == 'W' ? -1 : 1));
  }
  return fixes;
}

TEST_F(Zones, TheDemoDriveEntersAndLeavesTheDemoZoneOnce) {
  demomaps(*app);
  zmread_Click(*app);
  ASSERT_EQ(std::tuple(n().zonecount, n().zonemonon, n().zonedispon), std::tuple(1, 1, 1));
  Items said;
  for (const auto& [lat, lon] : drive()) {
    ownfix(*app, lat, lon);
    if (const std::string s = check(); !s.empty()) said.push_back(s);
  }
  EXPECT_EQ(said, (Items{"Entering Zone", "Leaving Zone"}));
}

TEST_F(Zones, CrossingsAreSaidOnceTheEdgeIsInsideAndNothingWhileWarningsAreOff) {
  ownfixat(*app, 375, 385);
  n().destx[0] = 375, n().desty[0] = 386;  // 1 km north
  addzm_Click(*app);
  const struct { float x, y; int on; const char* want; } steps[] = {
      {375, 385.5f, 1, ""},  // a new zone starts inside
      {375, 386.5f, 0, ""},  {375, 386.5f, 1, "Leaving Zone"}, {375, 387, 1, ""},
      {375, 386, 1, "Entering Zone"},  // exactly on the edge
      {375, 385, 1, ""},     {375, 390, 1, "Leaving Zone"}};
  for (const auto& s : steps) {
    ownfixat(*app, s.x, s.y);
    n().zonemonon = s.on;
    EXPECT_EQ(check(), s.want) << s.x << " " << s.y;
  }
}

TEST_F(Zones, AddBeepsPastThreeAndWithoutAPositionDeleteReusesTheLastSlot) {
  noownfix(*app);
  addzm_Click(*app);
  EXPECT_EQ(std::tuple(n().zonecount, wav->beeps, n().zonedispon), std::tuple(0, 1, 1));
  ownfixat(*app, 375, 385);
  n().destx[0] = 376, n().desty[0] = 385;
  for (int i = 0; i < 4; ++i) addzm_Click(*app);
  ZmForm& f = zmwindow(*app);
  EXPECT_EQ(std::tuple(n().zonecount, wav->beeps, f.caption, f.zmdisp.caption), std::tuple(3, 2, " 3 Zone Warnings", "ON"));
  delzm_Click(*app);
  ownfixat(*app, 377, 385);
  addzm_Click(*app);
  EXPECT_EQ(std::tuple(n().zonecount, n().zonex[3], n().zonein[3]), std::tuple(3, 377.0f, 1));
}

TEST_F(Zones, SavedZonesReadBackWithTheFlagsFreshAndAFailedSaveIsSaid) {
  const struct { int utm; float x, y, rad; const char* written; } zones[] = {{0, 375.1234f, 385.5678f, 0.75f, ", .75 "},
                                                                            {0, 531.5f, 181.25f, 12.5f, ", 12.5 "},
                                                                            {2, 375.1234f, 385.5678f, 0.1f, ", .1 "}};
  for (const auto& z : zones) {
    app->geo.utmmode = z.utm;
    zone(1, z.x, z.y, z.rad);
    zone(2, 376, 386, 2);
    n().zonecount = 2;
    zmsave_Click(*app);
    std::string ref1, ref2;
    gridreftext(app->geo, z.x, z.y, ref1), gridreftext(app->geo, 376, 386, ref2);
    EXPECT_EQ(get(zonefile), " 2 \r\n" + ref1 + z.written + "\r\n" + ref2 + ", 2 \r\n") << "as Print writes";
    zone(1, 0, 0, 0), zone(2, 0, 0, 0);
    n().zonein = {0, 1, 1, 1};  // a stale flag must not say "Leaving Zone"
    n().zonecount = 0;
    zmread_Click(*app);
    EXPECT_EQ(std::tuple(n().zonecount, n().zonerad[1], n().zonerad[2], zmwindow(*app).caption),
              std::tuple(2, z.rad, 2.0f, " 2 Zone Warnings")) << z.utm;
    EXPECT_NEAR(n().zonex[1], z.x, 0.0015) << z.utm;
    EXPECT_NEAR(n().zoney[1], z.y, 0.0015) << z.utm;
    ownfixat(*app, 600, 600);
    EXPECT_EQ(check(), "") << "never entered: nothing to leave";
  }
  std::filesystem::remove(dir / zonefile);
  std::filesystem::create_directory(dir / zonefile);  // cannot be replaced by a file
  zmsave_Click(*app);
  EXPECT_EQ(wav->beeps, 1);
  EXPECT_TRUE(app->speech.msgtext.starts_with("Zones not saved: ")) << app->speech.msgtext;
}

TEST_F(Zones, HandEditedCountsGiveAtMostThreeZonesAndOnlyThoseInTheFile) {
  const std::string z = "SJ 75000 85000, 1\r\n";
  const struct { std::string file; int want; } cases[] = {
      {"9\r\n" + z + z + z + z + z, 3}, {"-1\r\n" + z, 0},  {"garbage\r\n" + z, 0},
      {"3\r\n" + z, 1},                   {"", 0},             {"2.5\r\n" + z + z + z, 2}};
  for (const auto& c : cases) {
    put(zonefile, c.file);
    n().zonecount = 2;
    zmread_Click(*app);
    EXPECT_EQ(n().zonecount, c.want) << c.file;
  }
  ownfixat(*app, 375, 385);
  n().zonex[0] = -7;
  put(zonefile, "-1\r\n");
  zmread_Click(*app);
  addzm_Click(*app);  // goes into slot 1, never slot 0
  EXPECT_EQ(std::tuple(n().zonecount, n().zonex[0], n().zonex[1]), std::tuple(1, -7.0f, 375.0f));
  std::filesystem::remove(dir / zonefile);
  zmread_Click(*app);
  EXPECT_EQ(std::tuple(wav->beeps, n().zonecount), std::tuple(1, 1));
}

TEST_F(Zones, CirclesAreCentredSizedAndANegativeRadiusLeavesOnlyThatZoneOff) {
  zone(1, 375, 385, 1);
  zone(2, 376, 385, -1);
  zone(3, 372, 388, 0.5f);
  n().zonecount = 3;
  const ui::ControlArray<ui::Shape>& c = app->win.zarn.zonec;
  auto shown = [&] {
    std::vector<std::tuple<bool, int, int, int>> v;
    for (int i = 0; i < 3; ++i) v.emplace_back(c[i].visible, c[i].left, c[i].top, c[i].width);
    return v;
  };
  n().zonedispon = 1;
  drawzones(*app);
  // The square map on the 4:3 picture has 48 pixels a km down: a zone is 3/4 as tall as wide.
  EXPECT_EQ(shown()[0], std::tuple(true, 320 - 64, 240 - 48, 128));
  EXPECT_EQ(c[0].height, 96);
  EXPECT_FALSE(std::get<0>(shown()[1]));
  EXPECT_EQ(shown()[2], std::tuple(true, 128 - 32, 96 - 24, 64));
  n().zonecount = 1;
  drawzones(*app);
  EXPECT_EQ(std::tuple(std::get<0>(shown()[0]), std::get<0>(shown()[2])), std::tuple(true, false));
  zmdispcmd_Click(*app);
  EXPECT_EQ(std::tuple(std::get<0>(shown()[0]), zmwindow(*app).zmdisp.caption), std::tuple(false, "OFF"));
}

}  // namespace
}  // namespace zarn::test
