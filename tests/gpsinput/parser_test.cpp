// The sentence parser: the NMEA checksum, NMEA sentences and the other received lines into the
// own fix.
#include <cmath>
#include <functional>

#include "geodesy/postext.h"
#include "geodesy/ukgrid.h"
#include "gpsinput/checksum.h"
#include "gpsinput/gpseng.h"
#include "gpsinput/nmea.h"
#include "gpstest.h"

namespace zarn::test {
namespace {

// A sentence as the serial poll hands it over: checksum added, ending at its CR.
std::string line(const std::string& body) {
  std::string l = nmea(body);
  l.pop_back();
  return l;
}

// Its checksum is 04: below 0x10, sent with a leading zero.
const std::string rmc10 = "$GPRMC,120000.00,A,5321.44300,N,00218.82200,W,10.0,84.5,261020,,,";
const std::string gga = "$GPGGA,120001.00,5321.44300,N,00218.82200,W,1,08,1.0,50.7,M,48.0,M,,";

// The grid reference the conversions give for a latitude/longitude.
std::string gridof(App& a, double lat, double lon) {
  float x = 0, y = 0;
  lltoosgb(a.geo, static_cast<float>(lat), static_cast<float>(lon), x, y);
  std::string t;
  gridreftext(a.geo, x, y, t);
  return t;
}
const double here_lat = 53 + 21.443 / 60, here_lon = -(2 + 18.822 / 60);

TEST(NmeaChecksum, ComparedByValueWrittenWithTwoDigits) {
  // Ten is the exclusive-or of "$GPGGA,1A".
  const struct { const char* guards; const char* sentence; bool ok; const char *got, *calc; } cases[] = {
      {"checksum below 0x10 sent with a leading zero", "$GPGGA,1A*0A", true, "0A", "0A"},
      {"lower-case digits", "$GPGGA,1A*0a", true, "0a", "0A"},
      {"one digit at the end, as older logs wrote it", "$GPGGA,1A*A", true, "A", "0A"},
      {"one digit before the line end", "$GPGGA,1A*A\r", true, "A\r", "0A"},
      {"one digit before other text is no checksum", "$GPGGA,1A*Ax", false, "Ax", "0A"},
      {"wrong value", "$GPGGA,1A*0B", false, "0B", "0A"},
      {"no star", "$GPGGA,1A", false, "(no checksum)", "  "},
      {"star and nothing after it", "$GPGGA,1A*", false, "", "0A"},
      {"bytes above 127 count as themselves", "$\xC1*C1", true, "C1", "C1"},
      {"only the first star counts", "$GPGGA,1A*0A*FF", true, "0A", "0A"},
      {"empty body", "$*00", true, "00", "00"},
  };
  for (const auto& c : cases) {
    SCOPED_TRACE(c.guards);
    const NmeaCheck r = nmeacheck(c.sentence);
    EXPECT_EQ(r.ok, c.ok);
    EXPECT_EQ(r.got, c.got);
    EXPECT_EQ(r.calc, c.calc);
    EXPECT_EQ(nmeachecksumok(c.sentence), c.ok);
  }
  // Written: two upper-case digits of everything after the first character.
  EXPECT_EQ(nmeachksum("$GPGGA,1A"), "0A");
  EXPECT_EQ(nmeachksum("!GPGGA,1A"), "0A");
  EXPECT_EQ(nmeachksum("$"), "00");
  EXPECT_EQ(nmeachksum(""), "00");
}

class Parser : public GpsTest {
 protected:
  int parse(const std::string& l) {
    std::string s = l;
    return gpsparse(*app, s);
  }
  int parsebody(const std::string& body) { return parse(line(body)); }
};

TEST_F(Parser, SentencesIntoTheOwnFix) {
  using Fn = std::function<void(App&)>;
  struct Case {
    const char* guards;
    Fn setup;
    std::vector<std::string> lines;  // bodies; the last one's handled flag is checked
    int handled;
    char where;  // 'h': the fix at 53 21.443 N 2 18.822 W; '-': no position taken
    Fn check;
  };
  const Case cases[] = {
      {"RMC speed of 10 knots is 18.5 km/h, course above the heading speed becomes the heading",
       nullptr, {rmc10}, 0, 'h', [](App& a) {
         EXPECT_FLOAT_EQ(a.gps.ownspd, 18.5f);
         EXPECT_EQ(a.gps.ownhdg, 84);
         // Single precision cuts the last thousandth of the minutes.
         EXPECT_EQ(a.win.zarn.llbox.caption, "53  21.443'N 002  18.821'W");
         EXPECT_EQ(a.win.zarn.spdbox.caption, "11");  // miles per hour
         EXPECT_EQ(a.gps.gpstimetxt + " " + a.gps.gpsdatetxt, "12:00:00 261020");
         EXPECT_FLOAT_EQ(a.gps.fixsecs, 43200);
         EXPECT_TRUE(a.win.zarn.o[0].visible);
       }},
      {"RMC with 11 commas is used", nullptr, {"$GPRMC,120000,A,5321.443,N,00218.822,W,0.0,,261020,,"}, 0, 'h',
       nullptr},
      {"RMC with 13 commas is not a position", nullptr, {rmc10 + ",V"}, 1, '-', nullptr},
      {"RMC with status V still takes the position", nullptr,
       {"$GPRMC,120000.00,V,5321.44300,N,00218.82200,W,,,261020,,,N"}, 0, 'h', [](App& a) {
         EXPECT_EQ(a.gps.fixvalid, 0);
         EXPECT_EQ(a.gps.velflag, 1);
       }},
      {"RMC with an empty time field: no position yet, the fix kept", nullptr, {rmc10, "$GPRMC,,V,,,,,,,,,,N"}, 1,
       'h', [](App& a) {
         EXPECT_EQ(a.win.zarn.llbox.caption, "No position yet");
         EXPECT_FALSE(a.win.zarn.o[0].visible);
       }},
      {"RMC speed at the heading speed keeps the heading", [](App& a) { a.gps.minhdgspd = 18.5f; }, {rmc10}, 0,
       'h', [](App& a) { EXPECT_EQ(a.gps.ownhdg, -1); }},
      {"RMC with the GPS correction moves the frame position only by it",
       [](App& a) { a.gps.gpscorre = 1; a.gps.gpscorrn = -2; }, {rmc10}, 0, 0, [](App& a) {
         float x = 0, y = 0;
         lltoosgb(a.geo, static_cast<float>(here_lat), static_cast<float>(here_lon), x, y);
         EXPECT_FLOAT_EQ(a.gps.ownx, x + 1);
         EXPECT_FLOAT_EQ(a.gps.owny, y - 2);
         EXPECT_NEAR(a.gps.ownlat, here_lat - 2 / 111.2, 1e-3);
       }},
      {"southern and eastern hemispheres", nullptr, {"$GPRMC,1,A,3351.000,S,15112.000,E,,,010120,,"}, 0, 0,
       [](App& a) {
         EXPECT_NEAR(a.gps.ownlat, -33.85, 1e-5);
         EXPECT_NEAR(a.gps.ownlon, 151.2, 1e-5);
       }},
      {"VTG with eight commas gives course and km/h", nullptr, {"$GPVTG,054.7,T,034.4,M,005.5,N,010.2,K"}, 0, '-',
       [](App& a) {
         EXPECT_FLOAT_EQ(a.gps.ownspd, 10.2f);
         EXPECT_EQ(a.gps.ownhdg, 54);
       }},
      {"VTG with a ninth field is ignored", nullptr, {"$GPVTG,054.7,T,034.4,M,005.5,N,010.2,K,A"}, 1, '-',
       [](App& a) { EXPECT_FLOAT_EQ(a.gps.ownspd, 0); }},
      {"VTG without a course: no velocity", nullptr, {"$GPVTG,,T,,M,,N,,K"}, 0, '-',
       [](App& a) { EXPECT_EQ(a.gps.velflag, 1); }},
      {"GGA with fix quality 0 still updates the position", nullptr,
       {"$GPGGA,120001.00,5321.44300,N,00218.82200,W,0,00,,,M,,M,,"}, 0, 'h',
       [](App& a) { EXPECT_EQ(a.gps.altseen, 0); }},
      {"GGA quality 2 is differential; altitude in metres and feet", nullptr,
       {"$GPGGA,120001.00,5321.44300,N,00218.82200,W,2,08,1.0,50.7,M,48.0,M,,"}, 0, 'h', [](App& a) {
         EXPECT_EQ(a.gps.dgpsfix, 1);
         EXPECT_FLOAT_EQ(a.gps.ownalt, 50.7f);
         EXPECT_FLOAT_EQ(a.gps.ownaltft, 50.7f * 3.281f);
       }},
      {"GGA with six commas in a row: no position yet", nullptr, {"$GPGGA,,,,,,0,00,99.99,,,,,,"}, 1, '-',
       [](App& a) { EXPECT_EQ(a.win.zarn.llbox.caption, "No position yet"); }},
      {"GLL with six commas", nullptr, {"$GPGLL,5321.443,N,00218.822,W,120000,A"}, 0, 'h', nullptr},
      {"GLL with four commas", nullptr, {"$GPGLL,5321.443,N,00218.822,W"}, 0, 'h', nullptr},
      {"GLL with seven commas is not used", nullptr, {"$GPGLL,5321.443,N,00218.822,W,120000,A,A"}, 1, '-',
       nullptr},
      {"ZDA gives time and date", nullptr, {"$GPZDA,235959.00,31,12,1999,00,00"}, 1, '-', [](App& a) {
         EXPECT_EQ(a.gps.gpstimetxt, "23:59:59");
         EXPECT_EQ(a.gps.gpsdatetxt, "311299");
       }},
  };
  for (const auto& c : cases) {
    SCOPED_TRACE(c.guards);
    fresh();
    if (c.setup) c.setup(*app);
    int handled = -1;
    for (const auto& b : c.lines) handled = parsebody(b);
    EXPECT_EQ(handled, c.handled);
    if (c.where == 'h') {
      EXPECT_EQ(app->gps.owngrid, gridof(*app, here_lat, here_lon));
    } else if (c.where == '-') {
      EXPECT_FLOAT_EQ(app->gps.ownx, -250);
    }
    if (c.check) c.check(*app);
  }
}

TEST_F(Parser, WrongChecksumsAndTheSwitchesThatLetThemThrough) {
  const std::string bad = rmc10 + "*00\r";
  EXPECT_EQ(parse(bad), 1);
  EXPECT_FLOAT_EQ(app->gps.ownx, -250);
  app->gps.chksumoff = 1;
  EXPECT_EQ(parse(bad), 0);
  EXPECT_FLOAT_EQ(app->gps.ownspd, 18.5f);

  // ONLYRMC: an RMC with a wrong checksum (but a "*") is parsed, a good GGA is not.
  fresh();
  app->gps.onlyrmc = 1;
  EXPECT_EQ(parse(bad), 0);
  EXPECT_EQ(parsebody(gga), 1);
  EXPECT_EQ(app->gps.altseen, 0);
  EXPECT_EQ(parse(rmc10 + "\r"), 1);  // an RMC without a "*" is refused
}

TEST_F(Parser, ClimbRateInTenSecondSteps) {
  auto alt = [&](const char* metres) {
    parsebody("$GPGGA,120001.00,5321.44300,N,00218.82200,W,1,08,1.0," + std::string(metres) + ",M,48.0,M,,");
  };
  clock->settimer(3600);
  alt("304.8");  // 1000 ft
  EXPECT_FLOAT_EQ(app->gps.climbrate, 0);
  clock->advance(5);
  alt("335.28");
  EXPECT_FLOAT_EQ(app->gps.climbrate, 0);  // not ten seconds yet
  clock->advance(7);
  alt("335.28");  // 1100 ft, 12 s after the first
  EXPECT_NEAR(app->gps.climbrate, 600, 1);
  EXPECT_NEAR(app->gps.prevaltft, 1100, 0.1);
  parsebody("$GPGGA,120001.00,5321.44300,N,00218.82200,W,1,08,1.0,,M,48.0,M,,");
  EXPECT_EQ(app->gps.altseen, 0);  // an empty altitude starts the steps again
}

TEST_F(Parser, DerivedFixFromSuccessivePositions) {
  // Fixed columns: degrees at 14-15 and 24-26, minutes at 17-21 and 28-32, hemispheres at 23
  // and 34; the line is complete at its 35th character.
  auto gpn = [](const char* latdeg, const char* latmin) {
    return std::string("$GPN0.0000000") + latdeg + " " + latmin + " N002 18.82 W ";
  };
  const std::string first = gpn("53", "21.44");
  ASSERT_EQ(first.size(), 35u);
  app->gps.fixmint = 1;
  clock->settimer(1000);
  EXPECT_EQ(parse(first), 1);
  EXPECT_FLOAT_EQ(app->gps.ownspd, 0);  // the first line has nothing to measure from
  EXPECT_EQ(app->gps.ownhdg, -1);
  EXPECT_NEAR(app->gps.ownlat, 53 + 21.44 / 60, 1e-5);
  EXPECT_NEAR(app->gps.ownlon, -(2 + 18.82 / 60), 1e-5);
  clock->advance(36);
  parse(gpn("53", "31.44"));  // ten minutes of latitude north, 36 s later
  EXPECT_NEAR(app->gps.ownlat, 53 + 31.44 / 60, 1e-5);
  EXPECT_NEAR(app->gps.ownspd, 18.53 * 100, 30);
  EXPECT_NEAR(app->gps.ownhdg, 0, 2);
}

TEST_F(Parser, OtherLinesAndWhatTheyReturn) {
  const struct { const char* guards; std::string line; int handled; } cases[] = {
      {"TAIP position", ">RPV00000+5335744-0023137001090712;ID=0001<", 0},
      {"SONY position", "SONY" + std::string(15, ' ') + "N5321443W00218822" + std::string(5, ' ') +
                            "050090" + std::string(60, ' '), 0},
      {"switch states", "$GPSTA,S,00000000", 1},
      {"proprietary Garmin sentences are passed over", line("$PGRME,15.0,M,45.0,M,25.0,M"), 1},
      {"route sentences are passed over", line("$GPRTE,1,1,c,0"), 1},
      {"direction-finder bearing", line("$DFBRG,123.4,T"), 0},
      {"a remote unit's text outside multi-vehicle mode", line("$GPTXT,01,01,02,hello"), 1},
  };
  for (const auto& c : cases) {
    SCOPED_TRACE(c.guards);
    EXPECT_EQ(parse(c.line), c.handled);
  }
  EXPECT_NEAR(app->gps.ownlat, 53.357, 1e-3);  // the SONY line came last of the positions
}

// Input that once overran tables or read past the end of a line: nothing happens to the fix,
// and the next good sentence is read.
TEST_F(Parser, HostileLinesAreDroppedAndTheNextOneRead) {
  app->win.get<GpsEngForm>().visible = true;  // the satellite table is kept
  const std::string many = [] {
    std::string s = "$GPGSV,3,1,99";
    for (int i = 0; i < 60; ++i) s += ",01,45,180,40";
    return s;
  }();
  const std::string cases[] = {
      line("$GPGSV,9,9,36,01,45,180,40,02,45,180,40,03,45,180,40,04,45,180,40"),
      line("$GPGSV,99,99,99,01,45,180,40"),
      line("$GPGSV,3,-5,12,01,45,180,40"),
      line(many),
      line("$GPGSV,3,2.5,12,01,45,180,40"),
      line("$GPRMC," + std::string(5000, '9') + ",A,5321.443,N,00218.822,W,1e400,99999999,261020,,"),
      line("$GPVTG,1e30,T,,M,,N,1e38,K"),
      line("$GPGGA,1,9999999.9,N,99999999.9,W,1,08,1.0,1e39,M,48.0,M,,"),
      line(std::string("$GP\0RMC,\0,A,\0", 14)),
      line("$GP\xff\xfeRMC,\x80\x81,A"),
      std::string(100000, ','),
      std::string(100000, '*'),
      "", "$", "*", "%", ">RPV", "SONY", "$GPN0.", "$GPSTA,S,", "\r", std::string(1, '\0'),
  };
  for (const auto& c : cases) {
    std::string s = c;
    gpsparse(*app, s);
  }
  EXPECT_LE(app->gps.satidx, GpsState::satmax);
  EXPECT_EQ(parsebody(rmc10), 0);
  EXPECT_EQ(app->gps.owngrid, gridof(*app, here_lat, here_lon));
  EXPECT_FLOAT_EQ(app->gps.ownspd, 18.5f);
}

TEST_F(Parser, SatelliteTableFromGsv) {
  app->win.get<GpsEngForm>().visible = true;
  parse(line("$GPGSV,3,1,11,01,78,221,47,03,09,042,,04,05,242,00,06,04,149,00"));
  parse(line("$GPGSV,3,3,11,21,12,010,30,22,33,100,"));  // two satellites in the third message
  EXPECT_EQ(app->gps.satsview, 11);
  EXPECT_EQ(app->gps.satidx, 10);
  const auto& g = app->gps;
  EXPECT_EQ((Items{g.satprn[1], g.satelev[1], g.satsnr[2], g.satprn[9], g.satprn[10]}),
            (Items{"01  ", "78   ", "-   ", "21  ", "22  "}));
  // Hidden window: GSV is not decoded at all.
  app->win.get<GpsEngForm>().visible = false;
  parse(line("$GPGSV,3,2,11,31,12,010,30"));
  EXPECT_EQ(app->gps.satprn[5], "");
}

}  // namespace
}  // namespace zarn::test
