// The spoken position report over small place files.
#include "navigation/rform.h"
#include "speech/position.h"
#include "speech/queue.h"
#include "speechtest.h"

namespace zarn::test {
namespace {

// Newbury is SU 47000 67000, frame (447, 167); Thatcham 5 km east of it.
constexpr const char* twotowns =
    "SU 47000 67000,Newbury,NEWBURY.WAV,3\r\nSU 52000 67000,Thatcham,THATCHAM.WAV,1\r\n";
constexpr const char* small = "SU 47000 67000,Newbury,NEWBURY.WAV,0.5\r\n";

using Position = SpeechTest;

TEST_F(Position, Reports) {
  const struct {
    const char *guards, *places;
    float placemin;
    int metric, nautical, platform, mode;
    float x, y;
    const char* text;
    Items items;
    int placefound;
  } cases[] = {
      {"at exactly its radius is inside", twotowns, 2, 0, 0, 0, 0, 447, 170, "We are in Newbury",
       {"weare.wav", "in.wav", "NEWBURY.WAV"}, 1},
      {"an aircraft is over it", twotowns, 2, 0, 0, 1, 0, 447.5f, 167, "We are over Newbury",
       {"weare.wav", "over.wav", "NEWBURY.WAV"}, 1},
      {"under 0.6 miles in yards", small, 0.5f, 0, 0, 0, 0, 447, 167.8855f, "We are  960 yards north of Newbury",
       {"weare.wav", "900.wav", "ee.wav", "60.wav", "yards.wav", "northof.wav", "NEWBURY.WAV"}, 0},
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
      {"two places, verb last", "SU 47000 67000,Newbury,NEWBURY.WAV,3\r\nSU 52000 67000,Thatcham,THATCHAM.WAV,2\r\n",
       2, 0, 0, 0, 1, 447, 171, "We are  2.4 miles north of Newbury and  3.9 miles north west of Thatcham",
       {"ourposit.wav", "NEWBURY.WAV", "northof.wav", "2.wav", "point.wav", "4.wav", "miles.wav", "AND.WAV",
        "THATCHAM.WAV", "northwof.wav", "3.wav", "point.wav", "9.wav", "miles.wav", "is.wav"},
       0},
      {"no place big enough: no empty place name", twotowns, 10, 0, 0, 0, 0, 447.5f, 167, "We are ",
       {"weare.wav"}, 0},
      {"a position that does not parse is not a place",
       "junk,Nowhere,NOWHERE.WAV,5000\r\nSU 47000 67000,Newbury,NEWBURY.WAV,3\r\n", 2, 0, 0, 0, 0, 447.5f, 167,
       "We are in Newbury", {"weare.wav", "in.wav", "NEWBURY.WAV"}, 1},
      {"an empty first field ends the list", "SU 47000 67000,Newbury,NEWBURY.WAV,3\r\n ,x,y,1\r\nSU 47000 67000,Late,LATE.WAV,3\r\n",
       2, 0, 0, 0, 0, 447.5f, 167, "We are in Newbury", {"weare.wav", "in.wav", "NEWBURY.WAV"}, 1},
  };
  for (const auto& c : cases) {
    put("ZARN.WAW", c.places);
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
  put("ZARN.WAW", twotowns);
  app->map.placemin = 2;
  app->main.foundlabel = "Ascot";
  app->win.get<RForm>().waw.caption = "before";
  for (const auto& [prompt, text] : {std::pair{"#Ascot.WAV", "Ascot in Newbury"}, {"#Newbury.WAV", "Destination in Newbury"}}) {
    app->main.foundwav = "#Ascot.WAV";
    sayposition(*app, 447.5f, 167, prompt);
    EXPECT_EQ(msg(), text);
  }
  EXPECT_EQ(said(), (Items{"destinat.wav", "in.wav", "NEWBURY.WAV"}));
  EXPECT_EQ(app->win.get<RForm>().waw.caption, "before");  // only our own position goes there
}

TEST_F(Position, FarAwayTheSecondPlaceIsOnTheOtherSide) {
  // Far outside the grid frame (over 805 km): one big place east of us and two small ones, the
  // nearer (west) on its side.
  put("ZARN.WAW", "40.0 2.0,Big place,BIG.WAV,50\r\n42.0 3.5,East place,EAST.WAV,1\r\n"
                  "41.0 -4.0,West place,WEST.WAV,1\r\n");
  app->map.placemin = 10;
  sayposition(*app, 447, 167, "weare.wav");
  EXPECT_NE(msg().find("of Big place and "), std::string::npos) << msg();
  EXPECT_NE(msg().find("West place"), std::string::npos) << msg();
}

TEST_F(Position, NoPositionOrNoPlaceFileSpeaksOnlyWhatIsQueued) {
  wavfile("a.wav");
  put("ZARN.WAW", twotowns);
  app->speech.placefound = 1;
  app->speech.msgtext = "kept";
  queuewav(*app, "a.wav");
  sayposition(*app, -250, 167, "weare.wav");
  sayposition(*app, 447, -950, "weare.wav");
  EXPECT_EQ(played(), (Items{"a.wav"}));
  EXPECT_EQ(app->speech.placefound, 1);
  app->map.placesfile = "MAP1.WAW";  // a map's own place file, missing
  sayposition(*app, 447, 167, "weare.wav");
  EXPECT_EQ(app->speech.placefound, 0);
  EXPECT_EQ(msg(), "kept");
  put("MAP1.WAW", twotowns);
  app->map.placemin = 2;
  sayposition(*app, 447.5f, 167, "weare.wav");
  EXPECT_EQ(msg(), "We are in Newbury");
}

}  // namespace
}  // namespace zarn::test
