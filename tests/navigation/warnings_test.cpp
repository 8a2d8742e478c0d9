// Speed warnings from SPEEDWAR.CFG (scripted speeds, short and damaged files, and the recorded
// drive) and the places of interest reported, spoken and logged to ZARN.LOG.
#include <algorithm>
#include <fstream>

#include "geodesy/postext.h"
#include "geodesy/helpers.h"
#include "gpsinput/serialpoll.h"
#include "mainwindow/config.h"
#include "navigation/warnings.h"
#include "speech/whereweare.h"
#include "support/app_fixture.h"

namespace zarn::test {
namespace {

// ---- Speed warnings

class SpeedWarn : public AppTest {
 protected:
  void ready() override {
    app->nav.speedwarnon = 1;
    for (const char* w : {"a.wav", "b.wav", "p.wav"}) wavfile(w);
  }
  // One check at the given speed; the prompts it played.
  Items check(float kmh) {
    const std::size_t before = wav->played.size();
    app->gps.ownspd = kmh;
    speedwarn(app->nav, app->gps, app->voice);
    Items v;
    for (std::size_t k = before; k < wav->played.size(); ++k) v.push_back(wav->played[k].file);
    return v;
  }
};

TEST_F(SpeedWarn, RecordsWarnAtTheirThresholdsOncePerSharedInterval) {
  const std::string a50 = "1\r\n50,30,0,a.wav,Fifty\r\n";
  const struct {
    const char* what;
    std::string file;
    int placefound;
    std::vector<float> speeds;  // one check every 10 s
    Items want;                 // "check:prompt"
  } cases[] = {
      {"equal speed reads the file; again only after more than 30 s", a50, 0,
       {49, 50, 50, 50, 50, 50}, {"1:a.wav", "5:a.wav"}},
      {"a falling check skips that check only", "1\r\n50,15,0,a.wav,A\r\n", 0,
       {50, 60, 55, 60, 60}, {"0:a.wav", "3:a.wav"}},
      {"a warning holds back a later record of the same pass", "2\r\n50,10,0,a.wav,A\r\n70,10,0,b.wav,B\r\n", 0,
       {80, 80, 80}, {"0:a.wav", "2:a.wav"}},
      {"a place record without a place still restarts the interval", "2\r\n50,10,1,p.wav,P\r\n50,10,0,a.wav,A\r\n", 0,
       {60, 60, 60}, {}},
      {"a place record with a place speaks", "1\r\n50,10,1,p.wav,P\r\n", 1, {60, 60, 60}, {"0:p.wav", "2:p.wav"}},
      {"a file shorter than its count: no empty warnings, the real one repeats", "3\r\n50,30,0,a.wav,A\r\n", 0,
       {50, 50, 50, 50, 50}, {"0:a.wav", "4:a.wav"}},
      {"a cut record ends the file", "2\r\n50,30,0,a.wav,A\r\n0,0", 0, {50, 50, 50, 50, 50}, {"0:a.wav", "4:a.wav"}},
      {"records whose numbers do not read are skipped", "3\r\nfast,0,0,b.wav,B\r\n,,,,\r\n50,30,0,a.wav,A\r\n", 0,
       {50, 50, 50, 50, 50}, {"0:a.wav", "4:a.wav"}},
      {"a count that does not read: nothing", "many\r\n50,30,0,a.wav,A\r\n", 0, {50, 50}, {}},
  };
  for (const auto& c : cases) {
    make();
    put("SPEEDWAR.CFG", c.file);
    app->speech.placefound = static_cast<std::int16_t>(c.placefound);
    Items got;
    for (std::size_t k = 0; k < c.speeds.size(); ++k) {
      clock->settimer(43200 + 10.0 * static_cast<double>(k + 1));  // speaking moves the clock on: not counted
      for (const auto& w : check(c.speeds[k])) got.push_back(std::to_string(k) + ":" + w);
    }
    EXPECT_EQ(got, c.want) << c.what;
    EXPECT_EQ(tts->said, Items{}) << c.what;  // nothing empty or unplayable was spoken
  }
}

TEST_F(SpeedWarn, OffOrWithoutTheFileNothingIsSaid) {
  EXPECT_EQ(check(120), Items{});  // no file
  put("SPEEDWAR.CFG", "1\r\n50,30,0,a.wav,A\r\n");
  app->nav.speedwarnon = 0;
  EXPECT_EQ(check(120), Items{});
}

// The recorded drive, one fix a second, with the demo's thresholds: every warning comes at or
// above its threshold on a check that is not slowing down, more than its interval after the one
// before, and none that was due is missed.
TEST_F(SpeedWarn, TheRecordedDriveIsWarnedAtTheThresholdsAndIntervals) {
  copydemo();
  make();
  app->nav.speedwarnon = 1;
  app->gps.gpsoncom = 1;
  ASSERT_EQ(get("SPEEDWAR.CFG"),
            "2\r\n100,60,0,attentio.wav,Speed above 100 km/h\r\n110,30,0,attentio.wav,Speed above 110 km/h\r\n");

  std::ifstream in(std::string(ZARN_TEST_DATA) + "/nmea/drive/cheshire-2020-10-26.nmea", std::ios::binary);
  std::string chunk;
  float prev = 0, last = -1e9f, t = 0;
  int warned100 = 0, warned110 = 0;
  for (std::string l; std::getline(in, l);) {
    chunk += l + "\n";
    if (!l.starts_with("$GPRMC") || l.find(",A,") == std::string::npos) continue;
    serial->chunks.push_back(std::exchange(chunk, ""));
    readcomms(*app);
    t += 1;
    clock->settimer(43200 + t);  // one fix a second, whatever speaking took
    const float spd = app->gps.ownspd;
    app->speech.msgtext.clear();
    speedwarn(app->nav, app->gps, app->voice);
    const bool due100 = spd >= prev && spd >= 100 && t - last > 60;
    const bool due110 = spd >= prev && spd >= 110 && t - last > 30;
    const std::string want = due100 ? "Speed above 100 km/h" : due110 ? "Speed above 110 km/h" : "";
    EXPECT_EQ(app->speech.msgtext, want) << "at " << t << " s, " << spd << " km/h after " << prev;
    if (due100 || due110) last = t;
    warned100 += due100, warned110 += !due100 && due110;
    prev = spd;
  }
  EXPECT_GE(warned100, 3);
  EXPECT_GE(warned110, 1);
}

// ---- Places of interest

class Places : public AppTest {
 protected:
  void ready() override {
    squares({{"SJ", 300, 300}});
    MainState& m = app->main;
    m.catcount = 3;
    m.catcode[1] = "CH", m.catname[1] = "Church";
    m.catcode[2] = "PH", m.catname[2] = "Pub";
    m.catcode[3] = "XX", m.catname[3] = "Other";
    app->nav.zoilogon = 1;
    app->gps.rxseen = 1;
    for (const char* w : {"nearzoi.wav", "leavezoi.wav"}) wavfile(w);
  }
  struct Place {
    const char* cat;
    float x, y;
    const char* text;
  };
  void places(const std::vector<Place>& p) {
    SpeechState& s = app->speech;
    s.geocat.clear(), s.geotext.clear(), s.geox.clear(), s.geoy.clear(), s.geopos.clear();
    for (const auto& q : p) {
      s.geocat.push_back(q.cat), s.geotext.push_back(q.text), s.geox.push_back(q.x), s.geoy.push_back(q.y);
      s.geopos.emplace_back();
    }
    s.geocount = static_cast<std::int16_t>(p.size());
  }
  // One check with the car at (x, y): the report it made after the grid reference, if any.
  std::string at(float x, float y = 380) {
    app->gps.ownx = x, app->gps.owny = y;
    app->speech.msgtext.clear();
    zoicheck(*app);
    const std::string& m = app->speech.msgtext;
    const auto k = m.find(" Near ") != std::string::npos ? m.find(" Near ") : m.find(" Leaving ");
    return k == std::string::npos ? "" : m.substr(k + 1);
  }
};

TEST_F(Places, NearAndLeavingAtThePlacesRadius) {
  const struct {
    const char* what;
    std::vector<Place> places;
    std::vector<float> xs;  // the car's east (km) at each check, 380 north
    Items want;
  } cases[] = {
      {"500 m between the marks; a landmark says its proper name", {{"L", 380, 380, "#Old Mill#^500^"}},
       {380.5f, 380.49f, 380.3f, 380.51f}, {"", "Near Old Mill", "", "Leaving Old Mill"}},
      {"one mark: 0.3 km; a category name with the proper name quoted", {{"ch", 380, 380, "#St Mary#^"}},
       {380.31f, 380.29f, 380.31f}, {"", "Near Church \"St Mary\"", "Leaving Church \"St Mary\""}},
      {"nothing between the marks: 0.3 km, category alone", {{"PH", 380, 380, "^^"}}, {380.29f}, {"Near Pub"}},
      {"the later of two overlapping places", {{"CH", 380, 380, "^1000^"}, {"PH", 380.2f, 380, "#Red Lion#^1000^"}},
       {380.1f}, {"Near Pub \"Red Lion\""}},
      {"an unknown category is named by its code, not the place before",
       {{"CH", 390, 380, "#St Mary#^"}, {"ZZ", 380, 380, "#Thing#^"}},
       {390, 385, 380}, {"Near Church \"St Mary\"", "Leaving Church \"St Mary\"", "Near ZZ \"Thing\""}},
      {"a nameless landmark says its category", {{"L", 380, 380, "^"}}, {380}, {"Near L"}},
      {"leaving the inner place although the outer one surrounds the car",
       {{"XX", 380, 380, "#Park#^2000^"}, {"CH", 380, 380, "#Chapel#^200^"}},
       {380.1f, 380.3f, 380.3f, 380.1f},
       {"Near Church \"Chapel\"", "Leaving Church \"Chapel\"", "Near Other \"Park\"", ""}},
      {"no mark, or a radius that is no number: never watched", {{"CH", 380, 380, "#A#"}, {"CH", 380, 380, "^near^"}},
       {380}, {""}},
  };
  for (const auto& c : cases) {
    make();
    places(c.places);
    Items got;
    for (float x : c.xs) got.push_back(at(x));
    EXPECT_EQ(got, c.want) << c.what;
  }
}

TEST_F(Places, EachReportIsShownLoggedAndSpoken) {
  put("ZARN.LOG", "drive log\r\n");
  places({{"CH", 380, 380, "#St Mary#^"}});
  at(380.1f);
  clock->advance(75);
  at(381);
  EXPECT_EQ(get("ZARN.LOG"),
            "drive log\r\n"
            "10-26-2020 12:00:00 SJ 80100 80000 Near Church \"St Mary\"\r\n"
            "10-26-2020 12:01:15 SJ 81000 80000 Leaving Church \"St Mary\"\r\n");
  EXPECT_EQ(played(), (Items{"nearzoi.wav", "leavezoi.wav"}));
}

TEST_F(Places, WithoutGpsDataOnlyATrialLogReports) {
  places({{"CH", 380, 380, "^"}});
  app->gps.rxseen = 0;
  EXPECT_EQ(at(380), "");
  app->nav.zoitest = 1;
  EXPECT_EQ(at(380), "Near Church");
  app->nav.zoilogon = 0;
  EXPECT_EQ(at(390), "");
}

// The demo's cells along the recorded drive, loaded as the where-we-are report loads them: the
// drive passes Mere once.
TEST_F(Places, TheDemoDrivePassesMereOnce) {
  copydemo();
  make();
  ASSERT_FALSE(loadccc(app->geo, app->files));
  ASSERT_TRUE(readcat(app->files, app->main));
  app->nav.zoilogon = 1;
  app->gps.gpsoncom = 1;
  std::ifstream in(std::string(ZARN_TEST_DATA) + "/nmea/drive/cheshire-2020-10-26.nmea", std::ios::binary);
  std::string chunk;
  for (std::string l; std::getline(in, l);) {
    chunk += l + "\n";
    if (!l.starts_with("$GPRMC") || l.find(",A,") == std::string::npos) continue;
    serial->chunks.push_back(std::exchange(chunk, ""));
    readcomms(*app);
    saywhereweare(*app);
    zoicheck(*app);
  }
  std::string log = get("ZARN.LOG");  // the grid references written as "SJ"
  for (auto k = log.find(" SJ "); k != std::string::npos; k = log.find(" SJ ", k + 1)) log.replace(k + 1, 14, "SJ");
  EXPECT_NE(log.find(" SJ Near Town or village \"Mere\"\r\n"), std::string::npos) << log;
  EXPECT_NE(log.find(" SJ Leaving Town or village \"Mere\"\r\n"), std::string::npos) << log;
  EXPECT_EQ(std::count(log.begin(), log.end(), '\n'), 3) << log;
}

}  // namespace
}  // namespace zarn::test
