// The spoken position report over small place files, where-we-are from the landmark list of
// the square ahead, and the where-am-I lines.
#include "geodesy/helpers.h"
#include "speech/position.h"
#include "speech/queue.h"
#include "speech/whereami.h"
#include "speech/whereweare.h"
#include "speechtest.h"

namespace zarn::test {
namespace {

// Newbury is SU 47000 67000, frame (447, 167); Thatcham 5 km east of it, or wherever a case puts it.
const std::string newbury = "SU 47000 67000,Newbury,NEWBURY.WAV,";
std::string towns(const char* r1, const char* thatcham = "SU 52000 67000", const char* r2 = "1") {
  return newbury + r1 + "\r\n" + thatcham + ",Thatcham,THATCHAM.WAV," + r2 + "\r\n";
}

using Position = SpeechTest;

TEST_F(Position, Reports) {
  // units: 0 miles, 1 metric, 2 nautical; prompt: other than weare.wav, whose report alone is kept in the window.
  const struct { const char* guards; std::string places; float placemin; int units, aircraft, mode; float x, y;
                 const char *text, *items, *prompt = nullptr; } cases[] = {
      {"at exactly its radius is inside", towns("3"), 2, 0, 0, 0, 447, 170, "We are in Newbury",
       "weare.wav in.wav NEWBURY.WAV"},
      {"an aircraft is over it", towns("3"), 2, 0, 1, 0, 447.5f, 167, "We are over Newbury",
       "weare.wav over.wav NEWBURY.WAV"},
      {"under 0.6 miles in yards", newbury + "0.5", 0.5f, 0, 0, 0, 447, 167.8809f, "We are  960 yards north of Newbury",
       "weare.wav 900.wav ee.wav 60.wav yards.wav northof.wav NEWBURY.WAV"},
      {"nautical miles", towns("3"), 2, 2, 0, 0, 447, 185.4f, "We are  10 miles north of Newbury",
       "weare.wav 10.wav miles.wav northof.wav NEWBURY.WAV"},
      {"metric: km for the first place, metres for a near second", towns("0.01", "SU 47000 66683", "0.1"), 0.01f, 1, 0,
       0, 447, 167.04f, "We are  0 km north of Newbury and  350 m north of Thatcham",
       "weare.wav 0.wav kilomets.wav northof.wav NEWBURY.WAV AND.WAV 300.wav ee.wav 50.wav metres.wav northof.wav "
       "THATCHAM.WAV"},
      {"a second place at exactly its radius is outside it", towns("5", "SU 47000 69000", "2"), 2, 0, 0, 0, 447, 167,
       "We are in Newbury and  1.2 miles south of Thatcham",
       "weare.wav in.wav NEWBURY.WAV AND.WAV 1.wav point.wav 2.wav miles.wav southof.wav THATCHAM.WAV"},
      {"two places, verb last", towns("3", "SU 52000 67000", "2"), 2, 0, 0, 1, 447, 171,
       "We are  2.4 miles north of Newbury and  3.9 miles north west of Thatcham",
       "ourposit.wav NEWBURY.WAV northof.wav 2.wav point.wav 4.wav miles.wav AND.WAV THATCHAM.WAV northwof.wav 3.wav "
       "point.wav 9.wav miles.wav is.wav"},
      {"no place big enough: no empty place name", towns("3"), 10, 0, 0, 0, 447.5f, 167, "We are ", "weare.wav"},
      {"a position that does not parse is not a place; an empty first field ends the list",
       "junk,Nowhere,NOWHERE.WAV,5000\r\n" + newbury + "3\r\n ,x,y,1\r\nSU 47000 67000,Late,LATE.WAV,3", 2, 0, 0, 0,
       447.5f, 167, "We are in Newbury", "weare.wav in.wav NEWBURY.WAV"},
      {"far off the grid the second is the nearest place on the other side of us (West, not East)",
       "40.0 2.0,Big place,BIG.WAV,50\r\n42.0 3.5,East,EAST.WAV,1\r\n41.0 -4.0,West,WEST.WAV,1\r\n", 10, 0, 0, 0, 447,
       167, "We are  799 miles north of Big place and  726 miles north of West",
       "weare.wav 700.wav ee.wav 90.wav 9.wav miles.wav northof.wav BIG.WAV AND.WAV 700.wav ee.wav 20.wav 6.wav "
       "miles.wav northof.wav WEST.WAV"},
      {"the found place's prompt is named by its label", towns("3"), 2, 0, 0, 0, 447.5f, 167, "Ascot in Newbury",
       "#Ascot.WAV in.wav NEWBURY.WAV", "#Ascot.WAV"},
      {"any other prompt is the destination's", towns("3"), 2, 0, 0, 0, 447.5f, 167, "Destination in Newbury",
       "destinat.wav in.wav NEWBURY.WAV", "#Newbury.WAV"},
      {"the found place's prompt for another place (a clicked destination) is the destination's", towns("3"), 2, 0, 0,
       0, 447, 169, "Destination in Newbury", "destinat.wav in.wav NEWBURY.WAV", "#Ascot.WAV"},
      {"the found place read back from its grid reference is the found place", towns("3"), 2, 0, 0, 0, 447.501f, 167,
       "Ascot in Newbury", "#Ascot.WAV in.wav NEWBURY.WAV", "#Ascot.WAV"},
  };
  std::tie(app->main.foundlabel, app->main.foundwav, app->main.foundx, app->main.foundy) =
      std::tuple("Ascot", "#Ascot.WAV", 447.5f, 167.0f);
  for (const auto& c : cases) {
    put("ZARN.WAW", c.places);
    std::tie(app->map.placemin, app->main.metric, app->main.nautical, app->main.platformkind, app->speech.syntaxmode) =
        std::tuple(c.placemin, c.units & 1, c.units / 2, c.aircraft, c.mode);
    std::tie(app->speech.placefound, rform().waw.caption) = std::pair(7, "before");
    sayposition(*app, c.x, c.y, c.prompt ? c.prompt : "weare.wav");
    const int inside = std::string(c.items).find(c.aircraft ? "over.wav" : "in.wav") != std::string::npos;
    EXPECT_EQ(std::tuple(msg(), said(), app->speech.placefound, rform().waw.caption),
              std::tuple(c.text, c.items, inside, c.prompt ? "before" : c.text)) << c.guards;
  }
}

TEST_F(Position, NoPositionOrNoPlaceFileSpeaksOnlyWhatIsQueued) {
  wavfile("a.wav");
  put("ZARN.WAW", towns("3"));
  std::tie(app->speech.placefound, app->speech.msgtext, app->map.placemin) = std::tuple(1, "kept", 2.0f);
  queuewav(app->voice, "a.wav");
  sayposition(*app, noposx, 167, "weare.wav");  // either half of the no-position value
  sayposition(*app, 447, noposy, "weare.wav");
  EXPECT_EQ(std::tuple(heard(), app->speech.placefound), std::tuple("a.wav", 1));
  app->map.placesfile = "MAP1.WAW";  // a map's own place file, missing
  sayposition(*app, 447, 167, "weare.wav");
  EXPECT_EQ(std::tuple(app->speech.placefound, msg()), std::tuple(0, "kept"));
  put("MAP1.WAW", towns("3"));
  sayposition(*app, 447.5f, 167, "weare.wav");
  EXPECT_EQ(msg(), "We are in Newbury");
}

// Driving north at 10 m/s through square SU4767 (frame 447..448, 167..168): the point 10 s
// ahead is 0.1 km north of us.
class WhereWeAre : public SpeechTest {
 protected:
  void ready() override {
    SpeechTest::ready();
    auto& m = app->main;
    for (auto [i, code, name] : {std::tuple{1, "C", "pub"}, {2, "L", "landmark"}, {3, "N", "church"}, {4, "R", "road"}})
      std::tie(m.catcode[i], m.catname[i], m.catcount) = std::tuple(code, name, i);
    m.repint[5] = m.repint[6] = 1;
    drive(447.5f, 167.5f, 0, 10, 0);
  }
  void drive(float x, float y, float ve, float vn, int hdg, float spd = 0) {
    ownfixat(*app, x, y, spd, hdg);
    ownvelocity(*app, ve, vn);
  }
  void tick(double seconds = 0.25) { clock->advance(seconds); saywhereweare(*app); }
};

TEST_F(WhereWeAre, AnnouncesALandmarkAheadOnceHoldingBackThePeriodicReports) {
  put("SU4767.GEO", "C,SU 47500 67640,#Red Lion#$e$\r\nC,SU 47500 67950,#Swan#\r\n");
  wavfile("#RedLion.WAV");
  app->gps.dgpsfix = 1;  // ahead 0.05 km, box 0.05 km: 0.09 km away is out of reach
  tick();
  EXPECT_EQ(msg(), "");
  app->gps.dgpsfix = 0;  // ten seconds ahead
  std::tie(app->main.repint[2], app->nav.destdist) = std::tuple(30, 6.0f);
  ownspeed(*app, 36);
  clock->settimer(5000);
  saywhereweare(*app);
  EXPECT_EQ(std::tuple(msg(), rform().at.caption, rform().visible, queued()),
            std::tuple("We are near pub called \"Red Lion\" to our left", msg(), false,
                       "wearenea.wav pub #RedLion.WAV toourlef.wav"));
  const auto& m = app->main;
  EXPECT_EQ(std::tuple(m.herereptime, m.dirreptime, m.destreptime), std::tuple(5000.0f, 5000.0f, 5000.0f));
  tick();
  EXPECT_EQ(app->speech.wavcount, 4) << "once";
  drive(447.5f, 167.7f, 0, 10, 0);  // between the two: nothing ahead
  tick(5);
  drive(447.5f, 167.85f, 0, 10, 0);
  forget();
  tick(5);
  EXPECT_EQ(std::tuple(msg(), queued()), std::tuple("pub called \"Swan\"", "pub Swan")) << "soon after: no opening";
}

TEST_F(WhereWeAre, LandmarkWording) {
  const struct { const char *guards, *record; float ve, vn; std::int16_t tts; const char *wav, *text, *items;
                 int report = 1; } cases[] = {
      {"a side we travel towards is on our right", "C,SU 47550 67550,#Red Lion#$e$", 7.07f, 7.07f, 0, "",
       "We are near pub called \"Red Lion\" to our right", "wearenea.wav pub Red Lion toourrig.wav"},
      {"a category N has no side", "N,SU 47500 67650,#St Mary#$n$", 0, 10, 0, "$N.wav",
       "We are near church called \"St Mary\"", "wearenea.wav $N.wav St Mary"},
      {"with speech the name is called", "C,SU 47500 67650,#Red Lion#$w$", 0, 10, 1, "",
       "We are near pub called \"Red Lion\" to our left", "wearenea.wav pub called.wav Red Lion toourlef.wav"},
      {"a category L is named plainly", "L,SU 47500 67650,#Oak Tree#$w$", 0, 10, 0, "",
       "We are near landmark Oak Tree to our left", "wearenea.wav landmark $L.WAV toourlef.wav"},
      {"the square's recording speaks an unrecorded name", "C,SU 47500 67650,#Swan#", 0, 10, 0, "SU4767.WAV",
       "We are near pub called \"Swan\"", "wearenea.wav pub SU4767.WAV"},
      {"a position naming no square keeps the square ahead's recording", "C,SU47506765,#Swan#", 0, 10, 0,
       "SU4767.WAV", "We are near pub called \"Swan\"", "wearenea.wav pub SU4767.WAV"},
      {"a record without name or side borrows none", "C,SU 47500 67680,#Red Lion#$e$\r\nC,SU 47500 67620,no name", 0,
       10, 0, "", "We are near pub", "wearenea.wav pub"},
      {"with the report off it is only shown", "C,SU 47500 67650,#Red Lion#", 0, 10, 0, "",
       "We are near pub called \"Red Lion\"", "", 0},
  };
  for (const auto& c : cases) {
    fresh();
    put("SU4767.GEO", std::string(c.record) + "\r\n");
    if (*c.wav) wavfile(c.wav);
    std::tie(app->speech.ttsavail, app->main.repint[6]) = std::tuple(c.tts, c.report);
    drive(447.5f, 167.5f, c.ve, c.vn, 0);
    tick();
    EXPECT_EQ(std::tuple(msg(), app->win.zarn.saytxt.visible, queued()), std::tuple(c.text, true, c.items)) << c.guards;
  }
}

TEST_F(WhereWeAre, ListsOf399AndSquaresWithoutAList) {
  std::string list = "C,SU 47990 67500,#Border Inn#\r\n";
  for (int i = 0; i < 500; ++i) list += "C,SU 47000 60000,#Far#\r\n";
  put("SU4767.GEO", list);
  drive(447.5f, 167.5f, 0, 0, -1);
  tick();
  drive(447.95f, 167.5f, 10, 0, 90);  // ahead is SU4867, with no list: SU4767's stays and names the landmark's square
  tick();
  EXPECT_EQ(std::tuple(app->speech.geocount, app->map.geofile, app->speech.geofilelast, msg()),
            std::tuple(399, "SU4767.GEO", "SU4867.GEO", "We are near pub called \"Border Inn\""));
}

TEST_F(WhereWeAre, RoadMatching) {
  const struct { const char* guards; int road, hdg; float spd; bool match; } cases[] = {
      {"the opposite direction matches", 190, 2, 95, true},
      {"no heading, no road", 10, -1, 0, false},
      {"35 degrees tolerance standing still", 36, 2, 0, true},
      {"but not 35", 37, 2, 0, false},
      {"16 degrees at 95 km/h", 17, 2, 95, true},
      {"but not 16", 18, 2, 95, false},
  };
  for (const auto& c : cases) {
    fresh();
    put("SU4767.GEO", "R,SU 47500 67500,#A34 Oxford rd#$" + std::to_string(c.road) + "$\r\n");
    drive(447.5f, 167.5f, 0, 0, c.hdg, c.spd);
    tick();
    EXPECT_EQ(app->speech.roadtext, c.match ? "A34 Oxford rd" : "") << c.guards;
  }
}

TEST_F(WhereWeAre, NewRoadIsAnnouncedAndForgottenAfterAMinute) {
  put("SU4767.GEO", "R,SU 47500 67500,#A34 Oxford rd#$0$\r\n");
  put("SU4768.GEO", "R,SU 47500 68520,#High st#$0$\r\nR,SU 47500 68500,$0$\r\n");
  wavfile("#HIGHST.WAV");
  tick();
  EXPECT_EQ(std::tuple(msg(), rform().rd.caption, said()),
            std::tuple("We are on A34 Oxford rd", "on A34 Oxford rd", "weareon.wav a.wav 30.wav 4.wav Oxford Road"));
  app->speech.msgtext.clear();
  tick(31);
  EXPECT_EQ(std::tuple(msg(), app->speech.roadtext), std::tuple("", "A34 Oxford rd")) << "not said again at once";
  tick(30);  // a minute after it was said, it is dropped ...
  EXPECT_EQ(std::tuple(app->speech.roadtext, rform().rd.caption), std::tuple("", ""));
  tick();  // ... and said again while we are still on it
  EXPECT_EQ(msg(), "We are on A34 Oxford rd");
  drive(447.5f, 168.5f, 0, 0, 0);  // a road with a recorded name, a nearer point without a name
  tick();
  EXPECT_EQ(said(), "weareon.wav #HIGHST.WAV");
}

TEST_F(WhereWeAre, MapMatchingReplacesTheCorrection) {
  put("SU4767.GEO", "R,SU 47500 67500,#A34#$0$\r\n");
  std::tie(app->main.mapmatch, app->main.cfgcorre, app->main.cfgcorrn, app->map.hdgsin, app->map.hdgcos) =
      std::tuple(1, 0.005f, -0.005f, 0.0f, 1.0f);  // heading due north
  drive(447.53f, 167.52f, 0, 0, 0);
  clock->settimer(1000);
  app->speech.matchtime = 950;
  saywhereweare(*app);
  EXPECT_FLOAT_EQ(app->gps.gpscorre, 0);
  EXPECT_NEAR(app->gps.gpscorrn, -0.02f, 1e-4);
  app->speech.matchtime = 800;  // over two minutes since the last match: back to the configured one
  saywhereweare(*app);
  EXPECT_EQ(std::tuple(app->gps.gpscorre, app->gps.gpscorrn), std::tuple(0.005f, -0.005f));
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
  Items shown;
  for (int i = 0; i < 9; ++i) shown.push_back(rform().pos[i].caption);
  EXPECT_EQ(shown, (Items{"  called \"Odd\"", "church", "Oak Tree", "pub called \"Swan\"", "pub called \"Red Lion\"",
                          "between Bell and Red Lion", "pub called \"Bell\"", "road called \"B4009\"",
                          "pub called \"Crown\""}));
}

TEST_F(WhereAmI, Summaries) {
  std::string many;  // 200 far places first, then nearer ones that no longer count
  for (int i = 0; i < 250; ++i) many += i < 200 ? "C,SU 47500 68000,#Far#\r\n" : "C,SU 47500 67510,#Near#\r\n";
  const struct { const char* guards; std::string list; const char* summary; } cases[] = {
      {"only north: near", "C,SU 47500 67600,#Red Lion#\r\n", "near Red Lion"},
      {"the same word both sides: near", "C,SU 47500 67600,#Swan#\r\nC,SU 47500 67400,#Swan#\r\n", "near Swan"},
      {"30 m north, no name: its category", "N,SU 47500 67530,##\r\nC,SU 47500 67400,#Bell#\r\n", "near church"},
      {"nothing north: our last report's second place", "C,SU 47500 67400,#Bell#\r\n", "3 miles west of Thatcham"},
      {"more than 200 candidates are left out", many, "near Far"},
  };
  rform().waw.caption = "We are 2 miles north of Newbury and 3 miles west of Thatcham";
  for (const auto& c : cases) {
    put("SU4767.GEO", c.list);
    whereami(*app, 447.5f, 167.5f, 5, 0.5);
    EXPECT_EQ(rform().pos[5].caption, c.summary) << c.guards;
  }
}

TEST_F(WhereAmI, UpdatedOnlyWhileShownAndTheLearnerHearsTheSummary) {
  put("SU4767.GEO", "C,SU 47500 67600,#Red Lion#\r\n");
  whereupdate(*app);
  EXPECT_EQ(rform().pos[4].caption, "");
  rform().show();
  whereupdate(*app);
  EXPECT_EQ(rform().pos[4].caption, "pub called \"Red Lion\"");
  rform().hide();
  std::tie(rform().rd.caption, app->main.ldron) = std::pair("on A34", 1);
  whereupdate(*app);
  EXPECT_EQ(msg(), "near Red Lion on A34");
}

}  // namespace
}  // namespace zarn::test
