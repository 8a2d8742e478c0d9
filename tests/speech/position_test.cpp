// The spoken position report over small place files.
#include "geodesy/distance.h"
#include "geodesy/postext.h"
#include "navigation/rform.h"
#include "speech/position.h"
#include "speech/queue.h"
#include "speechtest.h"

namespace zarn::test {
namespace {

// Newbury is SU 47000 67000, frame (447, 167); Thatcham 5 km east of it.
constexpr const char* twotowns =
    "SU 47000 67000,Newbury,NEWBURY.WAV,3\r\nSU 52000 67000,Thatcham,THATCHAM.WAV,1\r\n";

using Position = SpeechTest;

TEST_F(Position, Reports) {
  const struct {
    const char* guards;
    const char* places;
    float placemin;
    int metric, nautical, platform, mode;
    float x, y;
    const char* text;
    Items items;
    int placefound;
  } cases[] = {
      {"inside the first place", twotowns, 2, 0, 0, 0, 0, 447.5f, 167, "We are in Newbury",
       {"weare.wav", "in.wav", "NEWBURY.WAV"}, 1},
      {"at exactly its radius is inside", twotowns, 2, 0, 0, 0, 0, 447, 170, "We are in Newbury",
       {"weare.wav", "in.wav", "NEWBURY.WAV"}, 1},
      {"an aircraft is over it", twotowns, 2, 0, 0, 1, 0, 447.5f, 167, "We are over Newbury",
       {"weare.wav", "over.wav", "NEWBURY.WAV"}, 1},
      {"under 0.6 miles in yards", "SU 47000 67000,Newbury,NEWBURY.WAV,0.5\r\n", 0.5f, 0, 0, 0, 0, 447,
       167.8855f, "We are  960 yards north of Newbury",
       {"weare.wav", "900.wav", "ee.wav", "60.wav", "yards.wav", "northof.wav", "NEWBURY.WAV"}, 0},
      {"one mile is singular", "SU 47000 67000,Newbury,NEWBURY.WAV,0.5\r\n", 0.5f, 0, 0, 0, 0, 447 - 1.6905f, 167, "We are 1 mile west of Newbury",
       {"weare.wav", "1.wav", "mile.wav", "westof.wav", "NEWBURY.WAV"}, 0},
      {"five miles and over are rounded", twotowns, 2, 0, 0, 0, 0, 447, 167 - 12.236f,
       "We are  8 miles south of Newbury", {"weare.wav", "8.wav", "miles.wav", "southof.wav", "NEWBURY.WAV"}, 0},
      {"nautical miles", twotowns, 2, 0, 1, 0, 0, 447, 185.4f, "We are  10 miles north of Newbury",
       {"weare.wav", "10.wav", "miles.wav", "northof.wav", "NEWBURY.WAV"}, 0},
      {"metric: km for the first place, metres for a near second",
       "SU 47000 67000,Newbury,NEWBURY.WAV,0.01\r\nSU 47000 66683,Thatcham,THATCHAM.WAV,0.1\r\n", 0.01f, 1, 0, 0,
       0, 447, 167.04f, "We are  0 km north of Newbury and  350 m north of Thatcham",
       {"weare.wav", "0.wav", "kilomets.wav", "northof.wav", "NEWBURY.WAV", "AND.WAV", "300.wav", "ee.wav",
        "50.wav", "metres.wav", "northof.wav", "THATCHAM.WAV"},
       0},
      {"a second place at exactly its radius is outside it",
       "SU 47000 67000,Newbury,NEWBURY.WAV,5\r\nSU 47000 69000,Thatcham,THATCHAM.WAV,2\r\n", 2, 0, 0, 0, 0, 447,
       167, "We are in Newbury and  1.2 miles south of Thatcham",
       {"weare.wav", "in.wav", "NEWBURY.WAV", "AND.WAV", "1.wav", "point.wav", "2.wav", "miles.wav",
        "southof.wav", "THATCHAM.WAV"},
       1},
      {"inside both places", "SU 47000 67000,Newbury,NEWBURY.WAV,5\r\nSU 47000 69000,Thatcham,THATCHAM.WAV,2.5\r\n",
       2, 0, 0, 0, 0, 447, 167, "We are in Newbury and in Thatcham",
       {"weare.wav", "in.wav", "NEWBURY.WAV", "AND.WAV", "in.wav", "THATCHAM.WAV"}, 1},
      {"two places, normal order", "SU 47000 67000,Newbury,NEWBURY.WAV,3\r\nSU 52000 67000,Thatcham,THATCHAM.WAV,2\r\n",
       2, 0, 0, 0, 0, 447, 171, "We are  2.4 miles north of Newbury and  3.9 miles north west of Thatcham",
       {"weare.wav", "2.wav", "point.wav", "4.wav", "miles.wav", "northof.wav", "NEWBURY.WAV", "AND.WAV", "3.wav",
        "point.wav", "9.wav", "miles.wav", "northwof.wav", "THATCHAM.WAV"},
       0},
      {"two places, verb last", "SU 47000 67000,Newbury,NEWBURY.WAV,3\r\nSU 52000 67000,Thatcham,THATCHAM.WAV,2\r\n",
       2, 0, 0, 0, 1, 447, 171, "We are  2.4 miles north of Newbury and  3.9 miles north west of Thatcham",
       {"ourposit.wav", "NEWBURY.WAV", "northof.wav", "2.wav", "point.wav", "4.wav", "miles.wav", "AND.WAV",
        "THATCHAM.WAV", "northwof.wav", "3.wav", "point.wav", "9.wav", "miles.wav", "is.wav"},
       0},
      {"verb last, one place: no is.wav", twotowns, 2, 0, 0, 0, 1, 447, 171, "We are  2.4 miles north of Newbury",
       {"ourposit.wav", "NEWBURY.WAV", "northof.wav", "2.wav", "point.wav", "4.wav", "miles.wav"}, 0},
      {"no place big enough: no empty place name", twotowns, 10, 0, 0, 0, 0, 447.5f, 167, "We are ",
       {"weare.wav"}, 0},
      {"a position that does not parse is not a place",
       "junk,Nowhere,NOWHERE.WAV,5000\r\nSU 47000 67000,Newbury,NEWBURY.WAV,3\r\n", 2, 0, 0, 0, 0, 447.5f, 167,
       "We are in Newbury", {"weare.wav", "in.wav", "NEWBURY.WAV"}, 1},
      {"an empty first field ends the list", "SU 47000 67000,Newbury,NEWBURY.WAV,3\r\n ,x,y,1\r\nSU 47000 67000,Late,LATE.WAV,3\r\n",
       2, 0, 0, 0, 0, 447.5f, 167, "We are in Newbury", {"weare.wav", "in.wav", "NEWBURY.WAV"}, 1},
  };
  for (const auto& c : cases) {
    textfile("ZARN.WAW", c.places);
    app->map.placemin = c.placemin;
    app->main.metric = c.metric;
    app->main.nautical = c.nautical;
    app->main.platformkind = c.platform;
    app->speech.syntaxmode = static_cast<std::int16_t>(c.mode);
    app->speech.placefound = 7;
    sayposition(*app, c.x, c.y, "weare.wav");
    EXPECT_EQ(msg(), c.text) << c.guards;
    EXPECT_EQ(said(), c.items) << c.guards;
    EXPECT_EQ(app->speech.placefound, c.placefound) << c.guards;
    EXPECT_EQ(app->win.get<RForm>().waw.caption, c.text) << c.guards;
  }
}

TEST_F(Position, PromptChoosesTheWording) {
  textfile("ZARN.WAW", twotowns);
  app->map.placemin = 2;
  app->main.foundwav = "#Ascot.WAV";
  app->main.foundlabel = "Ascot";
  app->win.get<RForm>().waw.caption = "before";
  sayposition(*app, 447.5f, 167, "#Ascot.WAV");
  EXPECT_EQ(msg(), "Ascot in Newbury");
  EXPECT_EQ(said(), (Items{"#Ascot.WAV", "in.wav", "NEWBURY.WAV"}));
  sayposition(*app, 447.5f, 167, "#Newbury.WAV");
  EXPECT_EQ(msg(), "Destination in Newbury");
  EXPECT_EQ(said(), (Items{"destinat.wav", "in.wav", "NEWBURY.WAV"}));
  EXPECT_EQ(app->win.get<RForm>().waw.caption, "before");  // only our own position goes there
}

TEST_F(Position, FarAwayTheSecondPlaceIsOnTheOtherSide) {
  // Far outside the grid frame: one big place and two small ones, the nearer on its side.
  textfile("ZARN.WAW", "40.0 2.0,Big place,BIG.WAV,50\r\n42.0 3.5,East place,EAST.WAV,1\r\n"
                       "41.0 -4.0,West place,WEST.WAV,1\r\n");
  const float x = 447, y = 167;
  float bx, by, ex, ey, wx, wy;
  parsepos(app->geo, "40.0 2.0", bx, by);
  parsepos(app->geo, "42.0 3.5", ex, ey);
  parsepos(app->geo, "41.0 -4.0", wx, wy);
  ASSERT_TRUE(bx > x && ex > x && wx < x);
  float db, de, dw;
  int brg = 0;
  distbearing(app->geo, bx, by, x, y, db, brg);
  distbearing(app->geo, ex, ey, x, y, de, brg);
  distbearing(app->geo, wx, wy, x, y, dw, brg);
  ASSERT_TRUE(db >= 805 && de < dw && dw < db);
  app->map.placemin = 10;
  sayposition(*app, x, y, "weare.wav");
  EXPECT_NE(msg().find("of Big place and "), std::string::npos) << msg();
  EXPECT_NE(msg().find("West place"), std::string::npos) << msg();
}

TEST_F(Position, NoPositionOnlySpeaksWhatIsQueued) {
  wavfile("a.wav");
  textfile("ZARN.WAW", twotowns);
  app->speech.placefound = 1;
  app->speech.msgtext = "kept";
  queuewav(*app, "a.wav");
  sayposition(*app, -250, 167, "weare.wav");
  sayposition(*app, 447, -950, "weare.wav");
  EXPECT_EQ(played(), (Items{"a.wav"}));
  EXPECT_EQ(app->speech.placefound, 1);
  EXPECT_EQ(msg(), "kept");
}

TEST_F(Position, MissingPlaceFileEndsTheReport) {
  app->speech.placefound = 1;
  app->speech.msgtext = "kept";
  sayposition(*app, 447, 167, "weare.wav");
  EXPECT_EQ(app->speech.placefound, 0);
  EXPECT_EQ(msg(), "kept");
  app->map.placesfile = "MAP1.WAW";  // a map's own place file
  textfile("MAP1.WAW", twotowns);
  app->map.placemin = 2;
  sayposition(*app, 447.5f, 167, "weare.wav");
  EXPECT_EQ(msg(), "We are in Newbury");
}

}  // namespace
}  // namespace zarn::test
