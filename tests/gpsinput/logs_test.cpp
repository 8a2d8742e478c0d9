// Trip logs, NMEA position recording and the replay file's checksum sniff.
#include "gpsinput/checksum.h"
#include "gpsinput/logs.h"
#include "gpstest.h"
#include "vehicles/mvforms.h"

namespace zarn::test {
namespace {

using Logs = GpsTest;

TEST_F(Logs, TripLogNames) {
  const struct {
    const char* guards;
    const char* cfg;  // NEWTRIP.CFG, or null
    Items present;
    int mvmode;
    const char* name;
  } cases[] = {
      {"no NEWTRIP.CFG, replaced on each opening", nullptr, {"NEWTRIP.NME"}, 0, "NEWTRIP.NME"},
      {"multi-vehicle mode", nullptr, {}, 1, "NEWTRIP.MVD"},
      {"the prefix in upper case and the first free counter", "trip\r\n", {"TRIP0001.NME", "TRIP0002.NME"}, 0,
       "TRIP0003.NME"},
      {"a five-character prefix gives three digits", "trips,other\r\n", {}, 0, "TRIPS001.NME"},
      {"an empty prefix gives eight digits", ",x\r\n", {}, 0, "00000001.NME"},
      {"a long prefix leaves the counter its own digits", "ABCDEFG\r\n", {"ABCDEFG1.NME"}, 0, "ABCDEFG2.NME"},
  };
  for (const auto& c : cases) {
    SCOPED_TRACE(c.guards);
    fresh();
    if (c.cfg) put("NEWTRIP.CFG", c.cfg);
    for (const auto& p : c.present) put(p, "old");
    app->main.mvmode = c.mvmode;
    newtrip(*app);
    EXPECT_EQ(app->gps.logopen, 1);
    ASSERT_TRUE(app->gps.triplog);
    app->gps.triplog.reset();
    EXPECT_TRUE(has(c.name));
    EXPECT_EQ(get(c.name), "");
    const std::string said = c.mvmode ? "I am now logging data into " : "I am now recording GPS data into ";
    EXPECT_EQ(app->speech.msgtext, said + c.name);
    if (c.mvmode) {
      EXPECT_EQ(app->win.get<MvForm>().loglab.caption, std::string("Log to ") + c.name);
    }
  }
}

TEST_F(Logs, AllNamesTakenRefusesInsteadOfOverwriting) {
  put("NEWTRIP.CFG", "TRIPS\r\n");
  for (int n = 1; n <= 999; ++n) {
    char name[16];
    std::snprintf(name, sizeof name, "TRIPS%03d.NME", n);
    put(name, "x");
  }
  put("TRIPS.NME", "a journey");
  newtrip(*app);
  EXPECT_EQ(app->gps.logopen, 0);
  EXPECT_FALSE(app->gps.triplog);
  EXPECT_EQ(get("TRIPS.NME"), "a journey");
  EXPECT_NE(app->speech.msgtext.find("TRIPS"), std::string::npos);
  EXPECT_NE(app->speech.msgtext.find("in use"), std::string::npos);
}

TEST_F(Logs, OpeningALogClosesTheOneOpen) {
  put("NEWTRIP.CFG", "T\r\n");
  newtrip(*app);
  writetriplog(*app, "first");
  newtrip(*app);
  writetriplog(*app, "second");
  app->gps.triplog.reset();
  EXPECT_EQ(get("T0000001.NME"), "first\r\n");  // closed, with everything written
  EXPECT_EQ(get("T0000002.NME"), "second\r\n");
}

TEST_F(Logs, PositionRecordedAsAnRmcSentence) {
  clock->set({2021, 3, 4, 5, 6, 7, 0});
  writenmepos(*app, "51  30.000'N 000  06.000'W", "045");
  writenmepos(*app, "51  30.000'N 000  06.000'W", "046");
  const auto f = platform::splitlines(get("NEW.NME"));
  ASSERT_EQ(f.size(), 2u);
  EXPECT_EQ(f[0].substr(0, f[0].find('*')), "$GPRMC,050607,A,5130.00,N,00006.00,W,30,045,040321,,");
  EXPECT_TRUE(nmeacheck(f[0]).ok);
  EXPECT_EQ(f[0].size() - f[0].find('*'), 3u) << "two digits";
  EXPECT_NE(f[1].find(",046,"), std::string::npos);
}

TEST_F(Logs, ReplayFileChecksumSniff) {
  app->gps.replayfile = "R.NME";
  sniffchecksum(*app);
  EXPECT_EQ(app->gps.nochecksum, 1);  // cannot be opened
  EXPECT_FALSE(app->gps.replay);

  std::string plain;
  for (int i = 0; i < 20; ++i) plain += "$GPGGA,1,2\r\n";
  put("R.NME", plain + "$GPGGA,1*00\r\n");
  sniffchecksum(*app);
  EXPECT_EQ(app->gps.nochecksum, 1);  // the checked line is the 21st
  ASSERT_TRUE(app->gps.replay);
  EXPECT_EQ(app->gps.replay->lineinput(), "$GPGGA,1,2");  // from the first line again

  put("R.NME", "# header\r\n$GPGGA,1*00\r\n" + plain);
  sniffchecksum(*app);
  EXPECT_EQ(app->gps.nochecksum, 0);
  EXPECT_EQ(app->gps.replay->lineinput(), "# header");
}

}  // namespace
}  // namespace zarn::test
