// The GPS engineering window: the texts of one line, and the satellite table of GSV sentences
// whose message numbers would place satellites outside it.
#include "gpsinput/gpseng.h"
#include "gpstest.h"

namespace zarn::test {
namespace {

using GpsEng = GpsTest;

TEST_F(GpsEng, ALineShowsItsChecksumTypeAndSatellitesWithTheirDirections) {
  GpsEngForm& e = app->win.get<GpsEngForm>();
  GpsState& g = app->gps;
  gpsengupdate(app->voice, g, e, "$GPRMC,1\rrest", "RMC", "0A", "A");
  EXPECT_EQ(std::tuple(e.chk.caption, e.gprmc.caption, e.data.caption, e.sat.caption, e.tit.visible),
            std::tuple(std::string("message checksum = 0A <> calculated A"), std::string("RMC = $GPRMC,1\rrest"),
                       std::string("$GPRMC,1"), std::string("No data about satellites being tracked."), false));
  gpsengupdate(app->voice, g, e, "%123", "", "", "");
  EXPECT_EQ(std::tuple(e.chk.caption, e.dfjr.caption), std::tuple(std::string("message checksum =  OK"), std::string("DFjr message = %123")));

  struct Case {
    const char* guards;
    const char* gsv;
    int hdg;
    const char* shown;  // s(0)
  };
  const Case cases[] = {
      {"45 degrees up is low", "$GPGSV,1,1,01,07,45,005,40*00", -1, "07     45      005    40      north  low"},
      {"46 is high", "$GPGSV,1,1,01,07,46,005,40*00", -1, "07     46      005    40      north  high"},
      {"azimuth 5 from heading 355 is ahead",
       "$GPGSV,1,1,01,07,10,005,*00", 355, "07     10      005    -       north ahead of us at your 12 o'clock low"},
  };
  for (const Case& c : cases) {
    g.satidx = 0;
    g.ownhdg = c.hdg;
    gpsengupdate(app->voice, g, e, c.gsv, "GSV", "", "");
    EXPECT_EQ(e.s[0].caption, c.shown) << c.guards;
    EXPECT_TRUE(e.s[0].visible && !e.s[1].visible && e.tit.visible) << c.guards;
    EXPECT_EQ(e.sat.caption, " 1 satellites being tracked.") << c.guards;
  }
}

TEST_F(GpsEng, MessageNumbersOutsideTheTableStoreOnlySlotsOneTo32) {
  GpsEngForm& e = app->win.get<GpsEngForm>();
  GpsState& g = app->gps;
  const std::string eight = ",01,10,100,30,02,20,100,30,03,30,100,30,04,40,100,30,05,50,100,30,06,60,100,30,07,70,"
                            "100,30,08,80,100,30";
  struct Case {
    const char* number;
    int idx;  // highest slot filled
    const char* slot1;
  };
  const Case cases[] = {{"0", 4, "05  "}, {"", 4, "05  "}, {"-1", 0, ""}, {"9", 0, ""}, {"8", 32, ""}, {"1", 8, "01  "}};
  for (const Case& c : cases) {
    g.satidx = 0;
    g.satprn = {};
    gpsengupdate(app->voice, g, e, std::string("$GPGSV,9,") + c.number + ",32" + eight + "*00", "GSV", "", "");
    EXPECT_EQ(std::tuple(g.satidx, g.satprn[1], g.satprn[0]), std::tuple(c.idx, std::string(c.slot1), std::string()))
        << "message " << c.number;
  }
}

}  // namespace
}  // namespace zarn::test
