// Where-we-are from the landmark list of the square ahead, and the where-am-I lines.
#include "navigation/rform.h"
#include "speech/msgline.h"
#include "speech/whereami.h"
#include "speech/whereweare.h"
#include "speechtest.h"

namespace zarn::test {
namespace {

// Driving north at 10 m/s through square SU4767 (frame 447..448, 167..168): the point 10 s
// ahead is 0.1 km north of us.
class WhereWeAre : public SpeechTest {
 protected:
  void SetUp() override {
    SpeechTest::SetUp();
    auto& m = app->main;
    m.catcount = 4;
    const char* cats[][2] = {{"C", "pub"}, {"L", "landmark"}, {"N", "church"}, {"R", "road"}};
    for (std::size_t i = 0; i < 4; ++i) {
      m.catcode[i + 1] = cats[i][0];
      m.catname[i + 1] = cats[i][1];
    }
    m.repint[5] = 1;
    m.repint[6] = 1;
    drive(447.5f, 167.5f, 0, 10, 0);
  }
  void drive(float x, float y, float ve, float vn, int hdg, float spd = 0) {
    auto& g = app->gps;
    g.ownx = x;
    g.owny = y;
    g.ownve = ve;
    g.ownvn = vn;
    g.ownhdg = hdg;
    g.ownspd = spd;
  }
  void tick(double seconds = 0.25) {
    clock->advance(seconds);
    saywhereweare(*app);
  }
  RForm& rform() { return app->win.get<RForm>(); }
};

TEST_F(WhereWeAre, AnnouncesALandmarkAheadOnceAndHoldsBackThePeriodicReports) {
  put("SU4767.GEO", "C,SU 47500 67640,#Red Lion#$e$\r\n");
  wavfile("#RedLion.WAV");
  app->gps.dgpsfix = 1;  // ahead 0.05 km, box 0.05 km: 0.09 km away is out of reach
  tick();
  EXPECT_EQ(msg(), "");
  app->gps.dgpsfix = 0;  // ten seconds ahead
  app->main.repint[2] = 30;
  app->nav.destdist = 6;
  app->gps.ownspd = 36;
  clock->settimer(5000);
  saywhereweare(*app);
  EXPECT_EQ(msg(), "We are near pub called \"Red Lion\" to our left");
  EXPECT_EQ(rform().at.caption, msg());
  EXPECT_FALSE(rform().visible);
  EXPECT_EQ(queued(), (Items{"wearenea.wav", "pub", "#RedLion.WAV", "toourlef.wav"}));
  EXPECT_EQ(std::tuple(app->main.herereptime, app->main.dirreptime, app->main.destreptime),
            std::tuple(5000.0f, 5000.0f, 5000.0f));
  tick();
  EXPECT_EQ(app->speech.wavcount, 4) << "once";
}

TEST_F(WhereWeAre, LandmarkWording) {
  const struct {
    const char *guards, *record;
    float ve, vn;
    int tts;
    const char* text;
    Items items;
  } cases[] = {
      {"a side we travel towards is on our right", "C,SU 47550 67550,#Red Lion#$e$", 7.07f, 7.07f, 0,
       "We are near pub called \"Red Lion\" to our right", {"wearenea.wav", "pub", "Red Lion", "toourrig.wav"}},
      {"a category N has no side", "N,SU 47500 67650,#St Mary#$n$", 0, 10, 0, "We are near church called \"St Mary\"",
       {"wearenea.wav", "$N.wav", "St Mary"}},
      {"with speech the name is called", "C,SU 47500 67650,#Red Lion#$w$", 0, 10, 1,
       "We are near pub called \"Red Lion\" to our left", {"wearenea.wav", "pub", "called.wav", "Red Lion", "toourlef.wav"}},
      {"a category L is named plainly", "L,SU 47500 67650,#Oak Tree#$w$", 0, 10, 0,
       "We are near landmark Oak Tree to our left", {"wearenea.wav", "landmark", "$L.WAV", "toourlef.wav"}},
      {"the square's recording speaks an unrecorded name", "C,SU 47500 67650,#Swan#", 0, 10, 0,
       "We are near pub called \"Swan\"", {"wearenea.wav", "pub", "SU4767.WAV"}},
      {"a record without name or side borrows none", "C,SU 47500 67680,#Red Lion#$e$\r\nC,SU 47500 67620,no name",
       0, 10, 0, "We are near pub", {"wearenea.wav", "pub"}},
  };
  for (const auto& c : cases) {
    SetUp();  // a fresh application for each record
    put("SU4767.GEO", std::string(c.record) + "\r\n");
    wavfile("$N.wav");
    if (std::string(c.guards).find("square") != std::string::npos) wavfile("SU4767.WAV");
    app->speech.ttsavail = static_cast<std::int16_t>(c.tts);
    drive(447.5f, 167.5f, c.ve, c.vn, 0);
    tick();
    EXPECT_EQ(msg(), c.text) << c.guards;
    EXPECT_EQ(queued(), c.items) << c.guards;
    TearDown();
  }
}

TEST_F(WhereWeAre, SecondLandmarkSoonAfterHasNoOpeningAndReportOffOnlyShows) {
  put("SU4767.GEO", "C,SU 47500 67650,#Red Lion#\r\nC,SU 47500 67950,#Swan#\r\n");
  tick();
  drive(447.5f, 167.7f, 0, 10, 0);  // between the two: nothing ahead
  tick(5);
  drive(447.5f, 167.85f, 0, 10, 0);
  app->speech.wavcount = 0;
  tick(5);
  EXPECT_EQ(msg(), "pub called \"Swan\"");
  EXPECT_EQ(queued(), (Items{"pub", "Swan"}));

  SetUp();
  put("SU4767.GEO", "C,SU 47500 67650,#Red Lion#\r\n");
  app->main.repint[6] = 0;
  tick();
  EXPECT_EQ(msg(), "We are near pub called \"Red Lion\"");
  EXPECT_TRUE(app->win.zarn.saytxt.visible);
  EXPECT_TRUE(queued().empty());
}

TEST_F(WhereWeAre, HoldsAtMost399Records) {
  std::string list;
  for (int i = 0; i < 500; ++i) list += "C,SU 47000 60000,#Far#\r\n";
  put("SU4767.GEO", list);
  tick();
  EXPECT_EQ(app->speech.geocount, 399);
}

TEST_F(WhereWeAre, SquareWithoutAListKeepsThePreviousOne) {
  put("SU4767.GEO", "C,SU 47990 67500,#Border Inn#\r\n");
  drive(447.5f, 167.5f, 0, 0, -1);
  tick();
  drive(447.95f, 167.5f, 10, 0, 90);  // the point ahead is in SU4867, which has no list
  tick();
  EXPECT_EQ(app->map.geofile, "SU4767.GEO");  // the announcement named the landmark's own square
  EXPECT_EQ(app->speech.geofilelast, "SU4867.GEO");
  EXPECT_EQ(msg(), "We are near pub called \"Border Inn\"");
}

TEST_F(WhereWeAre, RoadMatching) {
  const struct {
    const char* guards;
    int road, hdg;
    float spd;
    bool match;
  } cases[] = {
      {"the opposite direction matches", 190, 2, 95, true},
      {"no heading, no road", 10, -1, 0, false},
      {"35 degrees tolerance standing still", 36, 2, 0, true},
      {"but not 35", 37, 2, 0, false},
      {"16 degrees at 95 km/h", 17, 2, 95, true},
      {"but not 16", 18, 2, 95, false},
  };
  for (const auto& c : cases) {
    app->speech.roadtext.clear();
    app->speech.prevroad.clear();
    put("SU4767.GEO", "R,SU 47500 67500,#A34 Oxford rd#$" + std::to_string(c.road) + "$\r\n");
    app->speech.geofilelast.clear();
    drive(447.5f, 167.5f, 0, 0, c.hdg, c.spd);
    tick();
    EXPECT_EQ(app->speech.roadtext, c.match ? "A34 Oxford rd" : "") << c.guards;
  }
}

TEST_F(WhereWeAre, NewRoadIsAnnouncedAndForgottenAfterAMinute) {
  put("SU4767.GEO", "R,SU 47500 67500,#A34 Oxford rd#$0$\r\n");
  drive(447.5f, 167.5f, 0, 0, 0);
  tick();
  EXPECT_EQ(msg(), "We are on A34 Oxford rd");
  EXPECT_EQ(rform().rd.caption, "on A34 Oxford rd");
  EXPECT_EQ(said(), (Items{"weareon.wav", "a.wav", "30.wav", "4.wav", "Oxford Road"}));
  app->speech.msgtext.clear();
  tick(30);
  EXPECT_EQ(msg(), "");  // the same road is not said again at once
  tick(31);              // a minute after it was said, it is dropped ...
  EXPECT_EQ(app->speech.roadtext, "");
  EXPECT_EQ(rform().rd.caption, "");
  tick();  // ... and said again while we are still on it
  EXPECT_EQ(msg(), "We are on A34 Oxford rd");
  drive(447.5f, 167.7f, 0, 0, 0);  // off the road
  tick(61);
  EXPECT_EQ(app->speech.roadtext, "");
}

TEST_F(WhereWeAre, RoadPointWithoutANameIsNoRoadAndARecordedNameIsUsed) {
  put("SU4767.GEO", "R,SU 47500 67520,#High st#$0$\r\nR,SU 47500 67500,$0$\r\n");
  wavfile("#HIGHST.WAV");
  drive(447.5f, 167.5f, 0, 0, 0);
  tick();
  EXPECT_EQ(app->speech.roadtext, "High st");
  EXPECT_EQ(said(), (Items{"weareon.wav", "#HIGHST.WAV"}));
}

TEST_F(WhereWeAre, MapMatchingReplacesTheCorrection) {
  put("SU4767.GEO", "R,SU 47500 67500,#A34#$0$\r\n");
  auto& m = app->main;
  m.mapmatch = 1;
  m.cfgcorre = 0.005f;
  m.cfgcorrn = -0.005f;
  app->map.hdgsin = 0;  // heading due north
  app->map.hdgcos = 1;
  drive(447.53f, 167.52f, 0, 0, 0);
  clock->settimer(1000);
  app->speech.matchtime = 950;
  saywhereweare(*app);
  EXPECT_FLOAT_EQ(app->gps.gpscorre, 0);
  EXPECT_NEAR(app->gps.gpscorrn, -0.02f, 1e-4);
  app->speech.matchtime = 800;  // over two minutes since the last match: back to the configured one
  saywhereweare(*app);
  EXPECT_FLOAT_EQ(app->gps.gpscorre, 0.005f);
  EXPECT_FLOAT_EQ(app->gps.gpscorrn, -0.005f);
}

using WhereAmI = WhereWeAre;

TEST_F(WhereAmI, PlacesNorthAboveAndSouthBelow) {
  put("SU4767.GEO",
      "C,SU 47500 67600,#Red Lion#\r\nC,SU 47600 67800,#Swan#\r\nL,SU 47400 67900,#Oak Tree#\r\n"
      "N,SU 47500 68200,##\r\nX,SU 47000 68000,#Odd#\r\nC,SU 47500 67400,#Bell#\r\nC,SU 47500 67200,#Crown#\r\n"
      "C,SU 47800 67500,#Due East#\r\nC,SU 47500 67600,#Red Lion#\r\nR,SU 47500 67450,#A34#\r\n"
      "R,SU 47500 67300,#B4009#\r\nC,SU 47500 67550,no mark\r\n");
  app->speech.roadtext = "A34";
  whereami(*app, 447.5f, 167.5f, 5, 0.5);
  const Items expected = {"  called \"Odd\"", "church", "Oak Tree", "pub called \"Swan\"", "pub called \"Red Lion\"",
                          "between Bell and Red Lion", "pub called \"Bell\"", "road called \"B4009\"",
                          "pub called \"Crown\""};
  for (std::size_t i = 0; i < 9; ++i) EXPECT_EQ(rform().pos[static_cast<int>(i)].caption, expected[i]) << "pos " << i;
}

TEST_F(WhereAmI, Summaries) {
  const struct {
    const char *guards, *list, *summary;
  } cases[] = {
      {"only north: near", "C,SU 47500 67600,#Red Lion#\r\n", "near Red Lion"},
      {"the same word both sides: near", "C,SU 47500 67600,#Swan#\r\nC,SU 47500 67400,#Swan#\r\n", "near Swan"},
      {"30 m north, no name: its category", "N,SU 47500 67530,##\r\nC,SU 47500 67400,#Bell#\r\n", "near church"},
      {"nothing north: our last report's second place", "C,SU 47500 67400,#Bell#\r\n", "3 miles west of Thatcham"},
  };
  for (const auto& c : cases) {
    put("SU4767.GEO", c.list);
    rform().waw.caption = "We are 2 miles north of Newbury and 3 miles west of Thatcham";
    whereami(*app, 447.5f, 167.5f, 5, 0.5);
    EXPECT_EQ(rform().pos[5].caption, c.summary) << c.guards;
  }
}

TEST_F(WhereAmI, MoreThan200CandidatesAreLeftOut) {
  std::string list;
  for (int i = 1; i <= 200; ++i) list += "C,SU 47500 6" + std::to_string(8000 + i) + ",#Far " + std::to_string(i) + "#\r\n";
  for (int i = 0; i < 50; ++i) list += "C,SU 47500 67510,#Near#\r\n";
  put("SU4767.GEO", list);
  whereami(*app, 447.5f, 167.5f, 5, 0.5);
  EXPECT_EQ(rform().pos[4].caption, "pub called \"Far 1\"");
}

TEST_F(WhereAmI, UpdatedOnlyWhileShownAndTheLearnerHearsTheSummary) {
  put("SU4767.GEO", "C,SU 47500 67600,#Red Lion#\r\n");
  whereupdate(*app);
  EXPECT_EQ(rform().pos[4].caption, "");
  rform().show();
  whereupdate(*app);
  EXPECT_EQ(rform().pos[4].caption, "pub called \"Red Lion\"");
  rform().hide();
  rform().rd.caption = "on A34";
  app->main.ldron = 1;
  whereupdate(*app);
  EXPECT_EQ(msg(), "near Red Lion on A34");
}

}  // namespace
}  // namespace zarn::test
