// Spoken numbers, distances, times and directions, and the reports built of them: their
// message texts and fragments in each word order; and the demo's recorded prompt set
// (tools/make_prompts.sh) covers what they say.
#include <sstream>

#include "mapdisplay/catalogue.h"
#include "navigation/iform.h"
#include "speech/phrases.h"
#include "speech/queue.h"
#include "speech/reports.h"
#include "speechtest.h"

namespace zarn::test {
namespace {

using Phrases = SpeechTest;

TEST_F(Phrases, NumbersDistancesAndTimes) {
  // A distance ends in its unit, a time has colons; only the default order shows the time.
  const struct { std::int16_t mode; int metric; const char *what, *items, *text = ""; } cases[] = {
      {0, 0, "1005", "1.wav thousand.wav ee.wav 5.wav"},
      {0, 0, "99999", "99.wav thousand.wav 900.wav ee.wav 90.wav 9.wav"},
      {2, 0, "345", "300.wav ee.wav 5.wav and.wav 40.wav"},
      {5, 0, "120", "100e.wav ee.wav 20.wav"},
      {1, 1, "10.5k", "10P.WAV 5.wav kilomets.wav"},
      {1, 1, ".5k", "0.wav point.wav 5.wav kilomets.wav"},
      {0, 0, "14:05:33", "THETIMEI.WAV 14.wav 5.wav", "the time is 14:05:33"},
      {1, 0, "14:05", "gozen.wav 14.wav ji.wav 5.wav fun.wav"},
      {1, 0, "09:30", "gogo.wav 9.wav ji.wav han.wav"},
  };
  for (const auto& c : cases) {
    forget();
    std::tie(app->speech.syntaxmode, app->main.metric) = std::pair(c.mode, c.metric);
    const std::string w = c.what;
    if (w.find(':') != w.npos) saytime(app->voice, "the time is ", "THETIMEI.WAV", w);
    else w.back() > '9' ? saydistance(app->voice, w) : saynumber(app->voice, w);
    endsentence(app->voice);
    EXPECT_EQ(std::tuple(said(), msg()), std::tuple(c.items, c.text)) << "mode " << c.mode << " '" << w << "'";
  }
}

TEST_F(Phrases, CompassAndClockDirectionsAtTheirBoundaries) {
  std::string item, text;  // the texts are those of the position reports
  for (const auto& [brg, wav] : {std::pair{-5, "northof.wav"}, {22, "northof.wav"}, {23, "northeof.wav"},
                                 {203, "southwof.wav"}, {337, "northwof.wav"}, {338, "northof.wav"}}) {
    compassphrase(brg, item, text);
    EXPECT_EQ(item, wav) << brg;
  }
  // The clock of the destination report at each edge of its four quarters, 0 read as 12, in both
  // word orders (its texts are the report's).
  const char* orders[] = {
      "aheadofu.wav 12c.wav aheadofu.wav 1c.wav toourrig.wav 2c.wav toourrig.wav 4c.wav behindus.wav 5c.wav "
      "behindus.wav 7c.wav toourlef.wav 8c.wav toourlef.wav 10c.wav aheadofu.wav 11c.wav",
      "ahead.wav ahead.wav onourrig.wav onourrig.wav behind.wav behind.wav onourlef.wav onourlef.wav ahead.wav"};
  ownheading(*app, 0);
  for (std::int16_t mode : {0, 1}) {
    std::tie(app->speech.syntaxmode, app->speech.wavcount) = std::pair(mode, 0);
    for (int hour : {0, 1, 2, 4, 5, 7, 8, 10, 11}) saydirection(app->voice, hour, true);
    EXPECT_EQ(queued(), orders[mode]) << mode;
  }
  std::tie(app->speech.syntaxmode, app->speech.langindex) = std::pair(0, 1);  // no clock recordings
  int hour = 9;
  std::string diritem = "kept", clockitem = "kept";
  clockphrase(app->voice, hour, text, diritem, clockitem);
  EXPECT_EQ(std::tuple(text, diritem, clockitem), std::tuple("to our left at your 9 o'clock", "kept", "kept"));
}

TEST_F(Phrases, FoundPlacePromptChoice) {
  for (const auto& [adds, prompt] : {std::pair{"", "destinat.wav"}, {"$LPO.WAV", "$LPO.WAV"},
                                     {"#Newbury.WAV", "#Newbury.WAV"}, {"SU4767.WAV", "SU4767.WAV"}}) {
    if (*adds) wavfile(adds);
    app->main.foundwav = findwav(app->files, "SU 47000 67000", "Newbury", "LPOP", app->map.geofile);
    EXPECT_EQ(app->main.foundwav, prompt);
  }
  app->main.foundwav = findwav(app->files, "somewhere", "", "", app->map.geofile);  // a reference that names no square does not take the last one
  EXPECT_EQ(app->main.foundwav, "destinat.wav");
}

using Reports = SpeechTest;

// The two reports as the tick calls them, each from its box and the state it reads.
void moving(App& app) { saymoving(app.voice, app.win.zarn.spdbox.caption, app.gps.ownhdg, app.main.nautical == 1); }
void destdist(App& app) {
  saydestdist(app.voice, app.win.zarn.disbox.caption, app.gps.ownhdg, app.nav.clockbrg, app.nav.destwav);
}

TEST_F(Reports, MovingAndDestination) {
  // Each report reads its own box (speed, distance) and name (road, prompt). units: 0 miles, 1 metric, 3 metric and
  // nautical; clock: the destination's clock bearing.
  const struct { const char* guards; void (*report)(App&); int hdg, units, clock; std::int16_t mode;
                 const char *box, *name, *text, *items; } cases[] = {
      {"heading 23 is north east, metric", moving, 23, 1, 0, 0, "8", "", "moving north east  at 8 kmph",
       "movneast.wav at.wav 8.wav kmph.WAV"},
      {"no heading is not moving", moving, -1, 0, 0, 0, "0", "", "not moving ", "notmove.wav"},
      {"nautical wins over metric", moving, 180, 3, 0, 0, "12", "", "moving south  at 12 knots",
       "movsouth.wav at.wav 12.wav knots.WAV"},
      {"a numbered road is said", moving, 250, 0, 0, 0, "30", "A34 Oxford rd",
       "moving west  at 30 mph on A34 Oxford rd", "movwest.wav at.wav 30.wav mph.WAV on.wav a.wav 30.wav 4.wav"},
      {"a road without number is only shown", moving, 300, 0, 0, 0, "0", "High st", "moving north west  on High st",
       "movnwest.wav"},
      {"verb-last order: road first, no speed", moving, 210, 0, 0, 1, "30", "A34",
       "moving south west  at 30 mph on A34", "a.wav 30.wav 4.wav on.wav movswest.wav"},
      {"no speed at all says nothing", moving, 90, 0, 0, 0, "  ", "", "", ""},
      {"one mile is singular", destdist, 90, 0, 3, 0, "1m", "destinat.wav",
       "Destination 1 mile to our right at your 3 o'clock", "destinat.wav 1.wav mile.wav toourrig.wav 3c.wav"},
      {"no heading: no clock phrase", destdist, -1, 0, 3, 0, " 250y", "destinat.wav", "Destination 250 yards ",
       "destinat.wav 200.wav ee.wav 50.wav yards.wav"},
      {"a named prompt follows destinat.wav; bearing 0 is 12 o'clock", destdist, 0, 0, 0, 0, "12m", "#Newbury.WAV",
       "Destination 12 miles ahead of us at your 12 o'clock",
       "destinat.wav #Newbury.WAV 12.wav miles.wav aheadofu.wav 12c.wav"},
      {"a $AN prompt needs no Destination", destdist, 0, 0, 6, 0, "2.5m", "$ANEWBURY.WAV",
       "2.5 miles behind us at your 6 o'clock", "$ANEWBURY.WAV 2.wav point.wav 5.wav miles.wav behindus.wav 6c.wav"},
      {"verb-last order", destdist, 0, 0, 9, 1, "3m", "#Newbury.WAV",
       "Destination 3 miles to our left at your 9 o'clock",
       "destinat.wav #Newbury.WAV fromhere.wav onourlef.wav 3.wav miles.wav is.wav"},
      {"verb-last order says destinat.wav once", destdist, -1, 0, 9, 1, "3m", "destinat.wav", "Destination 3 miles ",
       "destinat.wav fromhere.wav 3.wav miles.wav is.wav"},
      {"no distance says nothing", destdist, 0, 0, 9, 0, "", "destinat.wav", "", ""},
  };
  for (const auto& c : cases) {
    forget();
    ownheading(*app, c.hdg);
    std::tie(app->main.metric, app->main.nautical, app->nav.clockbrg, app->speech.syntaxmode) =
        std::tuple(c.units & 1, c.units >> 1, c.clock, c.mode);
    std::tie(app->win.zarn.spdbox.caption, app->win.zarn.disbox.caption) = std::pair(c.box, c.box);
    std::tie(app->speech.roadtext, app->nav.destwav) = std::pair(c.name, c.name);
    c.report(*app);
    EXPECT_EQ(std::tuple(msg(), said()), std::tuple(c.text, c.items)) << c.guards;
  }
}

TEST_F(Reports, ArrivalTimeOnlyWhenWorkedOut) {
  clock->settimer(1000);
  std::tie(app->nav.etaclock, app->nav.timetogo) = std::pair("09:05", "1.5h");
  // no instruments window: nothing has worked out a time to go
  sayeta(app->voice, app->win.find("iform"), app->nav.etaclock, app->nav.timetogo, app->main.etareptime);
  app->win.get<IForm>().timetil.caption = "?";
  sayeta(app->voice, app->win.find("iform"), app->nav.etaclock, app->nav.timetogo, app->main.etareptime);
  EXPECT_EQ(msg(), "");
  app->win.get<IForm>().timetil.caption = "12m";
  sayeta(app->voice, app->win.find("iform"), app->nav.etaclock, app->nav.timetogo, app->main.etareptime);
  EXPECT_EQ(std::tuple(msg(), said(), app->main.etareptime),
            std::tuple("Expected Time of Arrival is 09:05 in 1.5 hours",
                       "ETAIS.WAV 9.wav 0.wav 5.wav in.wav 1.wav point.wav 5.wav hours.wav", 1000.0f));
}

TEST_F(Reports, Altitude) {
  const struct { int seen; float feet, climb; const char *text, *items; } cases[] = {
      {1, 49, 0, "Altitude is near sea level ( GPS 49 ft)", "altisnea.wav"},
      {1, 151, -9, "Altitude is about 200 ft above sea level ( GPS 151 ft)", "altisabo.wav 2.wav 00.wav ftaboves.wav"},
      {1, 1234, 500, "Climbing at 500 ft/min",
       "altisabo.wav 12.wav 00.wav ftaboves.wav climbing.wav at.wav 500.wav ee.wav ftpermin.wav"},
      {0, 0, -500, "Sinking at 500 ft/min", "altisnot.wav sinking.wav at.wav 500.wav ee.wav ftpermin.wav"},
  };
  std::string w;  // every recording the cases hear is there
  for (const auto& c : cases) for (std::istringstream in(c.items); in >> w;) wavfile(w);
  for (const auto& c : cases) {
    wav->played.clear();
    ownaltitude(*app, c.feet, c.climb, c.seen);
    sayaltitude(app->voice, app->gps.altseen, app->gps.ownaltft, app->gps.climbrate);
    EXPECT_EQ(std::tuple(msg(), heard()), std::tuple(c.text, c.items));
  }
}

TEST_F(Reports, MapChange) {
  std::tie(app->map.mapname[1], app->map.mapkind[2]) = std::pair("NEWBURY", 1);  // map 2 is tiled
  put("NEWBURY.des", "Newbury and district,x\r\nSU 40000 60000, 0, 480\r\n");
  // Not announced: report off, playback, heading-up, a tiled map.
  for (int silence = 0; silence < 5; ++silence) {
    std::tie(app->main.repint[7], app->main.playback, app->map.headingup, app->map.curmap) =
        std::tuple(silence != 0, silence == 1, silence == 2, silence == 3 ? 2 : 1);
    saymapchange(*app, readdesname(app->files, app->map, app->map.curmap));
    EXPECT_EQ(msg(), silence == 4 ? "Changing map to Newbury and district .." : "") << silence;
  }
  EXPECT_EQ(said(), "");  // no recording of the map's name
  wavfile("NEWBURY.wav");
  for (const auto& [mode, items] : {std::pair{0, "chamap.wav NEWBURY.wav"}, {1, "NEWBURY.wav chamap.wav"}}) {
    app->speech.syntaxmode = static_cast<std::int16_t>(mode);
    saymapchange(*app, readdesname(app->files, app->map, app->map.curmap));
    EXPECT_EQ(said(), items);
  }
}

TEST_F(Reports, RoadNames) {
  const struct { const char *text, *roadnum, *digits, *street; int ndigits; const char* items; } cases[] = {
      {"A34 Oxford rd", "A34", "34", "Oxford Road", 2, "a.wav 30.wav 4.wav"},
      {"High st", "", "", "High Street", 0, ""},
      {"5 Park Lane", "", "", "5 Park Lane", 0, ""},
      {"A1M", "A1M", "1", "", 1, "a.wav 1.wav M.wav"},
      {"B3022 Long Lane", "B3022", "3022", "Long Lane", 4, "b.wav 30.wav 20.wav 2.wav"},
      {"H1", "H1", "1", "", 1, "highway.wav 1.wav"},
      {"X12", "X12", "12", "", 2, "12.wav"},
      {"A12345", "A12345", "12345", "", 5, "a.wav"},
  };
  for (const auto& c : cases) {
    std::string roadnum = "x", digits = "x", street = "x";
    int n = -1;
    splitaddress(c.text, roadnum, digits, street, n);
    forget();
    if (n > 0) sayroadname(app->voice, roadnum, digits, n);
    EXPECT_EQ(std::tuple(roadnum, digits, street, n, queued()),
              std::tuple(c.roadnum, c.digits, c.street, c.ndigits, c.items)) << c.text;
  }
}

TEST_F(Reports, PlaceNames) {
  for (const char* w : {"ASCOT.WAV", "BERKSHIR.WAV", "#EADING.WAV"}) wavfile(w);
  for (const auto& [tts, name, items] : {std::tuple{0, "Ascot in Berkshire", "ASCOT.WAV in.wav BERKSHIR.WAV"},
                                         {1, "Bray in Berkshire", "Bray in.wav BERKSHIR.WAV"},
                                         {0, "Bray in Berkshire", "$LPOP.WAV in.wav BERKSHIR.WAV"},
                                         {0, "Ascot in Surrey", "ASCOT.WAV in.wav"},
                                         {0, "Reading in Reading", "#EADING.WAV in.wav"}}) {  // named like its area
    forget();
    app->speech.ttsavail = static_cast<std::int16_t>(tts);
    sayplacename(app->voice, name);
    EXPECT_EQ(queued(), items) << name;
  }
}

using DemoPrompts = SpeechTest;

TEST_F(DemoPrompts, EveryFragmentOfTheDefaultOrderIsRecorded) {
  const std::filesystem::path demo = ZARN_SOURCE_DIR "/data/demo";
  if (!std::filesystem::exists(demo / "thousand.wav")) GTEST_SKIP() << "run tools/make_prompts.sh";
  App& app = *this->app;
  app.files.setworkdir(demo);
  ownheading(app, 90);
  for (int n : {0, 7, 13, 20, 45, 99, 100, 345, 1005, 12000, 54321, 99999}) saynumber(app.voice, std::to_string(n));
  for (const char* d : {"1m", "1.5m", "250y", " 12m"}) saydistance(app.voice, d);
  app.main.metric = 1;
  for (const char* d : {"1k", "3.25k", "500m"}) saydistance(app.voice, d);
  std::string item, text, roadnum, digits, street;
  int nd = 0;
  for (int b = 0; b < 360; b += 45) { compassphrase(b, item, text); queuewav(app.voice, item); }
  for (int h = 1; h <= 12; ++h) saydirection(app.voice, h, true);
  for (const char* r : {"A34", "B3022", "M1", "H1"}) {
    splitaddress(r, roadnum, digits, street, nd);
    sayroadname(app.voice, roadnum, digits, nd);
  }
  for (const char* item :
       {"movnorth.wav", "movneast.wav", "moveast.wav", "movseast.wav", "movsouth.wav", "movswest.wav", "movwest.wav",
        "movnwest.wav", "notmove.wav", "at.wav", "mph.WAV", "kmph.WAV", "knots.WAV", "on.wav", "in.wav", "over.wav",
        "AND.WAV", "weare.wav", "wearenea.wav", "weareon.wav", "called.wav", "destinat.wav", "ETAIS.WAV",
        "THETIMEI.WAV", "seconds.wav", "minutes.wav", "hours.wav", "altisnot.wav", "altisnea.wav", "altisabo.wav",
        "00.wav", "ftaboves.wav", "climbing.wav", "sinking.wav", "ftpermin.wav", "chamap.wav", "$$$start.wav",
        "point.wav", "wenearwp.wav", "NEXTDEST.WAV", "FINALDES.WAV"})
    queuewav(app.voice, item);
  const int queued = app.speech.wavcount;
  ASSERT_LT(queued, SpeechState::queuemax);
  speakqueue(app.voice);
  ASSERT_EQ(static_cast<int>(wav->played.size()), queued);
  for (const auto& p : wav->played) EXPECT_TRUE(p.seconds > 0.1 && p.seconds < 3.0) << p.file << " " << p.seconds;
}

}  // namespace
}  // namespace zarn::test
