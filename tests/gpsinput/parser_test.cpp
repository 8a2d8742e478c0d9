// The sentence parser: the NMEA checksum, NMEA sentences and the other received lines
// (receiver-specific, track and .AGD log lines) into the own fix.
#include <cmath>
#include <functional>
#include <random>
#include <sstream>

#include "geodesy/helpers.h"
#include "geodesy/ukgrid.h"
#include "gpsinput/checksum.h"
#include "gpsinput/fform.h"
#include "gpsinput/gpseng.h"
#include "gpsinput/nmea.h"
#include "gpsinput/ownfix.h"
#include "mainwindow/takefix.h"
#include "gpsinput/receiverlines.h"
#include "gpsinput/serialpoll.h"
#include "gpsinput/tracklines.h"
#include "gpstest.h"

namespace zarn::test {
namespace {

TEST(NmeaChecksum, ComparedByValue) {
  // 0A is the exclusive-or of "GPGGA,1A".
  const struct { const char *guards, *sentence; bool ok; const char* got; } cases[] = {
      {"checksum below 0x10 sent with a leading zero", "$GPGGA,1A*0A", true, "0A"},
      {"lower-case digits", "$GPGGA,1A*0a", true, "0a"},
      {"one digit at the end, as older logs wrote it", "$GPGGA,1A*A", true, "A"},
      {"one digit before the line end", "$GPGGA,1A*A\r", true, "A\r"},
      {"one digit before other text is no checksum", "$GPGGA,1A*Ax", false, "Ax"},
      {"wrong value", "$GPGGA,1A*0B", false, "0B"},
      {"no star", "$GPGGA,1A", false, "(no checksum)"},
      {"star and nothing after it", "$GPGGA,1A*", false, ""},
      {"bytes above 127 count as themselves", "$\xC1*C1", true, "C1"},
      {"only the first star counts", "$GPGGA,1A*0A*FF", true, "0A"},
      {"empty body", "$*00", true, "00"},
  };
  for (const auto& c : cases) {
    const NmeaCheck r = nmeacheck(c.sentence);
    EXPECT_EQ(std::tuple(r.ok, r.got, nmeachecksumok(c.sentence)), std::tuple(c.ok, c.got, c.ok)) << c.guards;
  }
}

class Parser : public GpsTest {
 protected:
  int parse(std::string l) { return applysentence(*app, l); }
  int parsebody(const std::string& body) { return parse(line(body)); }
  // What the parser leaves: the position shown, speed, heading, altitude, differential fix,
  // time and date, and whether the car's marks are shown.
  std::string fix() {
    const auto& g = app->gps;
    std::ostringstream s;
    s << app->win.zarn.llbox.caption << ", " << g.ownspd << " km/h, " << g.ownhdg << ", " << g.ownaltft << " ft, dgps "
      << g.dgpsfix << ", " << g.gpstimetxt << " " << g.gpsdatetxt << (app->win.zarn.o[0].visible ? ", shown" : "");
    return s.str();
  }
};

// Which sentences of the real logs are read, and their positions, speeds and courses, are
// checked against gpsd there; these are the rest.
TEST_F(Parser, SentencesIntoTheOwnFix) {
  const std::string here = "53  21.443'N 002  18.821'W";  // single precision cuts the last thousandth
  struct Case {
    const char* guards;
    std::function<void(App&)> setup;
    Items bodies;  // the last one's handled flag is checked
    int handled;
    std::string fix;
  };
  const Case cases[] = {
      {"RMC: 10 knots is 18.5 km/h, a course above the heading speed is the heading", nullptr, {rmcbody}, 0,
       here + ", 18.5 km/h, 84, 0 ft, dgps 0, 12:00:00 261020, shown"},
      {"RMC with status V still takes the position", nullptr,
       {"$GPRMC,120000.00,V,5321.44300,N,00218.82200,W,,,261020,,,N"}, 0,
       here + ", 0 km/h, -1, 0 ft, dgps 0, 12:00:00 261020, shown"},
      {"RMC speed at the heading speed keeps the heading", [](App& a) { a.gps.minhdgspd = 18.5f; }, {rmcbody}, 0,
       here + ", 18.5 km/h, -1, 0 ft, dgps 0, 12:00:00 261020, shown"},
      {"RMC with the GPS correction: 1 km east and 2 km south",
       [](App& a) { std::tie(a.gps.gpscorre, a.gps.gpscorrn) = std::pair(1.0f, -2.0f); }, {rmcbody}, 0,
       "53  20.366'N 002  17.912'W, 18.5 km/h, 84, 0 ft, dgps 0, 12:00:00 261020, shown"},
      {"VTG with eight commas gives course and km/h", nullptr, {"$GPVTG,054.7,T,034.4,M,005.5,N,010.2,K"}, 0,
       ", 10.2 km/h, 54, 0 ft, dgps 0,  , shown"},
      {"VTG with the mode field of 2.3 is read; mode N is no velocity, the last kept", nullptr,
       {"$GPVTG,054.7,T,034.4,M,005.5,N,010.2,K,A", "$GPVTG,000.0,T,,M,000.0,N,000.0,K,N"}, 0,
       ", 10.2 km/h, 54, 0 ft, dgps 0,  , shown"},
      {"RMC without time, the no-fix RMC of a tunnel, and status A with no position: the fix kept", nullptr,
       {rmcbody, "$GPRMC,,V,,,,,,,,,,N", "$GPRMC,145240.00,V,,,,,,,261020,,,N", "$GPRMC,145241.00,A,,,,,,,261020,,,A"},
       1, "No position yet, 18.5 km/h, 84, 0 ft, dgps 0, 12:00:00 261020"},
      {"GGA with fix quality 0 still updates the position", nullptr,
       {"$GPGGA,120001.00,5321.44300,N,00218.82200,W,0,00,,,M,,M,,"}, 0, here + ", 0 km/h, -1, 0 ft, dgps 0,  , shown"},
      {"GGA quality 2 is differential; altitude in feet", nullptr,
       {"$GPGGA,120001.00,5321.44300,N,00218.82200,W,2,08,1.0,50.7,M,48.0,M,,"}, 0,
       here + ", 0 km/h, -1, 166.347 ft, dgps 1,  , shown"},
      {"GLL with four commas", nullptr, {"$GPGLL,5321.443,N,00218.822,W"}, 0,
       here + ", 0 km/h, -1, 0 ft, dgps 0,  , shown"},
      {"ZDA gives time and date", nullptr, {"$GPZDA,235959.00,31,12,1999,00,00"}, 1,
       ", 0 km/h, -1, 0 ft, dgps 0, 23:59:59 311299"},
  };
  for (const auto& c : cases) {
    fresh();
    if (c.setup) c.setup(*app);
    int handled = -1;
    for (const auto& b : c.bodies) handled = parsebody(b);
    EXPECT_EQ(std::tuple(handled, fix()), std::tuple(c.handled, c.fix)) << c.guards;
  }
}

TEST_F(Parser, WrongChecksumsAndTheSwitchesThatLetThemThrough) {
  const std::string bad = rmcbody + "*00\r";
  EXPECT_EQ(std::tuple(parse(bad), app->gps.ownx), std::tuple(1, noposx));
  app->gps.chksumoff = 1;
  EXPECT_EQ(parse(bad), 0);
  fresh();  // ONLYRMC: an RMC with a wrong checksum (but a "*") is parsed, a good GGA is not
  app->gps.onlyrmc = 1;
  EXPECT_EQ(std::tuple(parse(bad), parsebody(ggabody), app->gps.altseen), std::tuple(0, 1, 0));
  EXPECT_EQ(parse(rmcbody + "\r"), 1);  // an RMC without a "*" is refused
}

TEST_F(Parser, ClimbRateInTenSecondSteps) {
  auto alt = [&](const std::string& metres) {
    parsebody("$GPGGA,120001.00,5321.44300,N,00218.82200,W,1,08,1.0," + metres + ",M,48.0,M,,");
    return app->gps.climbrate;
  };
  clock->settimer(3600);
  EXPECT_FLOAT_EQ(alt("304.8"), 0);  // 1000 ft
  clock->advance(10);
  EXPECT_FLOAT_EQ(alt("335.28"), 0);  // not more than ten seconds yet
  clock->advance(2);
  EXPECT_NEAR(alt("335.28"), 600, 1);  // 1100 ft, 12 s after the first
  alt("");
  EXPECT_EQ(app->gps.altseen, 0);  // an empty altitude starts the steps again
}

// Random positions in every layout of RMC, GLL, GGA and the fixed-column line, with or without
// leading zeros: whole, they read back to their last digit; with one thing spoilt (beyond 90 or
// 180 degrees, 60 minutes, a letter, a character, all four fields or one empty) the fix stays,
// "No position yet" shown when all four fields are empty.
TEST_F(Parser, RandomPositionsReadOrRefused) {
  std::mt19937 rnd(11);
  auto any = [&](std::vector<std::string> v) { return v[rnd() % v.size()]; };
  for (int i = 0; i < 12000; ++i) {
    const unsigned spoil = rnd() % 10, gpn = i % 4 == 3;  // spoil 6 to 9: whole
    long c[2] = {long(rnd() % 540001), long(rnd() % 1080001)};  // in 1/100 minute
    c[i % 2] += spoil == 0 ? 540001 * (1 + i % 2) : 0;
    std::string t[2], h[2] = {any({"N", "S"}), any({"E", "W"})};
    for (int k : {0, 1}) {
      const long m = spoil == 1 ? 6000 + long(rnd() % 4000) : c[k] % 6000;
      t[k].resize(32);
      t[k].resize(std::snprintf(t[k].data(), 32, gpn ? "%0*ld %02ld.%02ld" : "%0*ld%02ld.%02ld",
                                gpn || rnd() % 2 ? 2 + k : 0, c[k] / 6000, m / 100, m % 100));
    }
    std::string& s = t[rnd() % 2];
    if (spoil == 2) h[rnd() % 2] = any({"", "X", "n"});
    const std::size_t digit = std::min(s.find_first_of("0123456789", rnd() % s.size()), s.size() - 1);
    if (spoil == 3) s[digit] = any({" ", "+", "-", "e", "x", "."})[0];
    if (spoil == 4) t[0] = t[1] = h[0] = h[1] = "";
    if (spoil == 5) s.clear();
    const std::string p = t[0] + "," + h[0] + "," + t[1] + "," + h[1];
    const std::string nmea[] = {"$GPRMC,120000.00,A," + p + ",10.0,84.5,261020,," + any({"", ",A", ",A,V"}),
                                "$GPGLL," + p + any({"", ",120000.00,A", ",120000.00,A,A"}),
                                "$GPGGA,120000.00," + p + ",1,08,1.0,50.7,M,48.0,M,,"};
    const auto& g = app->gps;
    const auto was = std::tuple(g.ownx, g.owny, spoil == 4 && !gpn ? "No position yet" : app->win.zarn.llbox.caption);
    const std::string gpnline = "$GPN0.0000000" + t[0] + " " + h[0] + t[1] + " " + h[1] + " ";
    EXPECT_EQ(parse(gpn ? gpnline : line(nmea[i % 3])), int(spoil < 6 || gpn)) << p;
    const double lat = c[0] / 6e3 * (h[0] == "S" ? -1 : 1), lon = c[1] / 6e3 * (h[1] == "W" ? -1 : 1);
    if (spoil >= 6) EXPECT_LT(std::hypot(g.ownlat - lat, g.ownlon - lon), 3e-5) << p;
    else EXPECT_EQ(std::tuple(g.ownx, g.owny, app->win.zarn.llbox.caption), was) << p;
  }
}

// Through the serial poll, which hands such a line over at its 35th character, with no line end.
TEST_F(Parser, DerivedFixFromSuccessivePositions) {
  // Fixed columns: degrees at 14-15 and 24-26, minutes at 17-21 and 28-32, hemispheres at 23 and 34.
  auto gpn = [&](const char* latmin) {
    serial->chunks.push_back(std::string("$GPN0.000000053 ") + latmin + " N002 18.82 W ");
    readcomms(*app);
  };
  app->gps.fixmint = 1;
  clock->settimer(1000);
  gpn("21.44");
  EXPECT_EQ(app->gps.commlinelen, 0);
  EXPECT_EQ(fix(), "53  21.440'N 002  18.819'W, 0 km/h, -1, 0 ft, dgps 0,  , shown") << "nothing to measure from";
  clock->advance(36);
  gpn("31.44");  // ten minutes of latitude north, 36 s later
  EXPECT_NEAR(app->gps.ownspd, 18.53 * 100, 30);
  EXPECT_NEAR(app->gps.ownhdg, 0, 2);
}

// Input that once overran tables or read past the end of a line: nothing happens to the fix,
// and the next good sentences are read. The satellite table is kept only while its window shows.
TEST_F(Parser, HostileLinesAreDroppedAndTheNextOneRead) {
  app->win.get<GpsEngForm>().visible = true;
  parse(line("$GPGSV,3,1,11,01,78,221,47,03,09,042,,04,05,242,00,06,04,149,00"));
  parse(line("$GPGSV,3,3,11,21,12,010,30,22,33,100,"));  // two satellites in the third message
  const auto& g = app->gps;
  EXPECT_EQ((Items{std::to_string(g.satsview), std::to_string(g.satidx), g.satprn[1], g.satelev[1], g.satsnr[2],
                   g.satprn[9], g.satprn[10]}),
            (Items{"11", "10", "01  ", "78   ", "-   ", "21  ", "22  "}));
  std::string many = "$GPGSV,3,1,99";
  for (int i = 0; i < 60; ++i) many += ",01,45,180,40";
  const std::string cases[] = {
      line("$GPGSV,9,9,36,01,45,180,40,02,45,180,40,03,45,180,40,04,45,180,40"), line("$GPGSV,99,99,99,01,45,180,40"),
      line("$GPGSV,3,-5,12,01,45,180,40"), line(many), line("$GPGSV,3,2.5,12,01,45,180,40"),
      line("$GPRMC," + std::string(5000, '9') + ",A,5321.443,N,00218.822,W,1e400,99999999,261020,,"),
      line("$GPVTG,1e30,T,,M,,N,1e38,K"), line("$GPGGA,1,9999999.9,N,99999999.9,W,1,08,1.0,1e39,M,48.0,M,,"),
      line(std::string("$GP\0RMC,\0,A,\0", 14)), line("$GP\xff\xfeRMC,\x80\x81,A"), std::string(100000, ','),
      std::string(100000, '*'), "", "$", "*", "%", ">RPV", "SONY", "$GPN0.", "$GPSTA,S,", "\r", std::string(1, '\0'),
  };
  for (const auto& c : cases) parse(c);
  EXPECT_LE(g.satidx, GpsState::satmax);
  EXPECT_EQ(parsebody(rmcbody) + parsebody(ggabody), 0);
  EXPECT_EQ(fix(), "53  21.443'N 002  18.821'W, 18.5 km/h, 84, 166.347 ft, dgps 0, 12:00:00 261020, shown");
  fresh();
  parse(line("$GPGSV,3,2,11,31,12,010,30"));
  EXPECT_EQ(app->gps.satprn[5], "") << "no table while its window is hidden";
}

using Lines = Parser;

TEST_F(Lines, SectorSentenceShowsOrHidesTheSector) {
  const auto& s = app->gps.dfsector;
  ownheading(*app, 90);
  secsentence(app->gps, app->geo, "$DFSEC,1,2,5130.000,N,00010.000,W,2.5,45,90*00");
  EXPECT_EQ((std::vector{s.dfseclat, s.dfsecrad, s.dfsecbrg1, s.dfsecbrg2}), (std::vector<float>{51.5f, 2.5f, 45, 90}));
  EXPECT_NEAR(s.dfseclon, -(10.0 / 60), 1e-5);
  float x = 0, y = 0;
  lltoosgb(app->geo, 51.5f, static_cast<float>(-10.0 / 60), x, y);
  EXPECT_FIELDS(Fields().FIELD(s.dfsecmode, 1).FIELD(app->gps.ownx, x).FIELD(app->gps.ownhdg, -1))
      << "the car at its centre";
  secsentence(app->gps, app->geo, "$DFSEC,1,2,5130.000,N,00010.000,W,2.5,45,90");
  EXPECT_FLOAT_EQ(s.dfsecbrg2, 0) << "the last field counts only when a \"*\" or \",\" ends it";
  secsentence(app->gps, app->geo, "$DFSEC,1,2,5200.000,N,00010.000,W,0,45,90*00");
  EXPECT_FIELDS(Fields().FIELD(s.dfsecmode, 0).FIELD(app->gps.ownx, x)) << "radius 0 hides the sector, the car stays";
}

TEST_F(Lines, FixedColumnPositions) {
  auto& g = app->gps;
  // SONY, a line of 100 characters: hemisphere 20, degrees 21-22, minutes 23-24 and
  // thousandths 25-27; longitude 28-36; speed 42-44 (km/h) and course 45-47.
  parse("SONY" + std::string(15, ' ') + "S4512345W00110500     050271" + std::string(60, ' '));
  EXPECT_EQ(fix(), "45  12.344'S 001  10.499'W, 50 km/h, 271, 0 ft, dgps 0,  ");
  // TAIP: signed hundred-thousandths of a degree, miles per hour, heading.
  taiprpv(app->gps, app->geo, ">RPV00000+5150000-00010000030090");
  showposition(app->gps, app->win.zarn);  // the parser keeps the fix; its read-out is the line's consumer's
  EXPECT_EQ(fix(), "51  30.000'N 000  06.000'W, 48.3 km/h, 90, 0 ft, dgps 0,  ");
  g.minhdgspd = 60;  // not above the heading speed: the heading stays and the velocity uses it
  taiprpv(app->gps, app->geo, ">RPV00000+5150000-00010000030180");
  EXPECT_FIELD(g.ownhdg, 90);
  EXPECT_NEAR(g.ownve, 48.3 / 3.6, 1e-3);
  EXPECT_NEAR(g.ownvn, 0, 1e-3);
}

TEST_F(Lines, SwitchStatesAreReportedWhenTheyChange) {
  put("SWITCHES.CFG", "2\r\n10000001,Door open,door.wav,Door shut,shut.wav\r\n"
                      "01000000,\"Engine, on\",eng.wav,Engine off,off.wav\r\n");
  auto& sw = app->win.get<FForm>().switches;
  gpstaswitch(app->gps, app->voice, app->win, "$GPSTA,S,00000000");
  EXPECT_EQ((Items{sw[0].caption, sw[1].caption, sw[7].caption}), (Items{"Door shut", "Engine off", "Door shut"}));
  EXPECT_EQ(app->speech.msgtext, "Door shut");  // switch 8 first, switch 1 last
  sw[1].caption = "";
  gpstaswitch(app->gps, app->voice, app->win, "$GPSTA,S,00000000");
  EXPECT_EQ(sw[1].caption, "") << "nothing changed, nothing reported";
  gpstaswitch(app->gps, app->voice, app->win, "$GPSTA,S,01000000");
  EXPECT_EQ(sw[1].caption, "Engine, on");
}

TEST_F(Lines, TrackPoints) {
  auto& g = app->gps;
  auto trk = [&](const char* lat, const char* datetime) {
    trkline(*app, std::string("T  N") + lat + " W00010.25000 " + datetime);
    return g.ownspd;
  };
  // The first point has nothing before it: no speed, and the heading stays unknown.
  EXPECT_FLOAT_EQ(trk("5130.50000", "17-FEB-98 12:00:00"), 0);
  EXPECT_EQ(std::tuple(app->win.zarn.llbox.caption, g.gpsdatetxt, g.gpstimetxt, app->win.zarn.hdgbox.caption),
            std::tuple("51  30.500'N 000  10.250'W", "170298", "12:00:00", "?"));
  EXPECT_NEAR(trk("5131.03960", "17-FEB-98 12:01:00"), 60, 1.5);  // one minute later, about 1 km north
  EXPECT_TRUE(g.ownhdg <= 2 || g.ownhdg >= 358) << g.ownhdg;     // north, give or take convergence
  trk("5131.03960", "17-FEB-98 23:59:30");
  EXPECT_NEAR(trk("5131.57920", "18-FEB-98 00:00:30"), 60, 1.5) << "across midnight: one minute";
  ownheading(*app, 123);
  EXPECT_FLOAT_EQ(trk("5131.57920", "18-FEB-98 00:00:30"), 0);
  EXPECT_FIELD(g.ownhdg, 123) << "a point that has not moved keeps the heading";
  EXPECT_NEAR(trk("5132.11880", "18-FEB-98 00:00:30"), 1, 0.03) << "the same time twice counts as one hour";
  const float x = g.ownx;  // short lines or another start change nothing but the message line
  trkline(*app, "T  N5130.50000 W00010.25000");
  trkline(*app, "X  N5130.50000 W00010.25000 17-FEB-98 12:00:00");
  EXPECT_EQ(std::tuple(g.ownx, app->speech.msgtext.size()), std::tuple(x, 80u));
}

TEST_F(Lines, AgdFixesAndTimes) {
  auto& g = app->gps;
  parsefix(*app, "17/02/1998 12:00:00     2 51.500000 -0.100000 A 3.0 4.0 123.5");
  EXPECT_EQ(std::tuple(g.agdqual, g.ownalt), std::tuple(2, 123.5f));  // 5 m/s from 3 east and 4 north
  EXPECT_EQ(fix(), "51  30.000'N 000  06.000'W, 18 km/h, 37, 405.203 ft, dgps 0, 12:00:00 170298");
  parsefix(*app, "17/02/1998 12:00:01     2 51.500000");
  EXPECT_EQ(std::tuple(g.ownalt, g.ownspd), std::tuple(0.0f, 0.0f)) << "missing fields read as 0";
  for (const auto& [t, secs] : {std::pair{"12:30", 45000.0f}, {"12:30:15", 45015}, {"12:30:1", 45000}, {"", 0}})
    EXPECT_FLOAT_EQ(timetosecs(t), secs) << t;
}

}  // namespace
}  // namespace zarn::test
