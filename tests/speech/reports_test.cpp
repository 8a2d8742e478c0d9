// The spoken reports: their message texts and fragments in each word order.
#include "speech/reports.h"
#include "speechtest.h"

namespace zarn::test {
namespace {

// The instruments window, as far as the arrival-time report reads it.
struct IForm : ui::Form {
  static constexpr const char* formname = "iform";
  IForm() : ui::Form(formname) { add(timetil, "timetil"); }
  ui::Label timetil;
};

using Reports = SpeechTest;

TEST_F(Reports, Moving) {
  const struct {
    const char* guards;
    int hdg;
    const char* speed;
    int metric, nautical, mode;
    const char *road, *text;
    Items items;
  } cases[] = {
      {"heading 23 is north east, metric", 23, "8", 1, 0, 0, "", "moving north east  at 8 kmph",
       {"movneast.wav", "at.wav", "8.wav", "kmph.WAV"}},
      {"no heading is not moving", -1, "0", 0, 0, 0, "", "not moving ", {"notmove.wav"}},
      {"nautical wins over metric", 180, "12", 1, 1, 0, "", "moving south  at 12 knots",
       {"movsouth.wav", "at.wav", "12.wav", "knots.WAV"}},
      {"a numbered road is said", 250, "30", 0, 0, 0, "A34 Oxford rd", "moving west  at 30 mph on A34 Oxford rd",
       {"movwest.wav", "at.wav", "30.wav", "mph.WAV", "on.wav", "a.wav", "30.wav", "4.wav"}},
      {"a road without number is only shown", 300, "0", 0, 0, 0, "High st", "moving north west  on High st",
       {"movnwest.wav"}},
      {"verb-last order: road first, no speed", 210, "30", 0, 0, 1, "A34", "moving south west  at 30 mph on A34",
       {"a.wav", "30.wav", "4.wav", "on.wav", "movswest.wav"}},
      {"no speed at all says nothing", 90, "  ", 0, 0, 0, "", "", {}},
  };
  for (const auto& c : cases) {
    app->speech.msgtext.clear();
    app->speech.lastsentence.clear();
    app->gps.ownhdg = c.hdg;
    app->win.zarn.spdbox.caption = c.speed;
    app->main.metric = c.metric;
    app->main.nautical = c.nautical;
    app->speech.syntaxmode = static_cast<std::int16_t>(c.mode);
    app->speech.roadtext = c.road;
    saymoving(*app);
    EXPECT_EQ(msg(), c.text) << c.guards;
    EXPECT_EQ(said(), c.items) << c.guards;
  }
}

TEST_F(Reports, DestinationDistance) {
  const struct {
    const char* guards;
    const char* dis;
    int metric, hdg, clock, mode;
    const char *destwav, *text;
    Items items;
  } cases[] = {
      {"one mile is singular", "1m", 0, 90, 3, 0, "destinat.wav", "Destination 1 mile to our right at your 3 o'clock",
       {"destinat.wav", "1.wav", "mile.wav", "toourrig.wav", "3c.wav"}},
      {"no heading: no clock phrase", " 250y", 0, -1, 3, 0, "destinat.wav", "Destination 250 yards ",
       {"destinat.wav", "200.wav", "ee.wav", "50.wav", "yards.wav"}},
      {"a named prompt follows destinat.wav", "12m", 0, 0, 12, 0, "#Newbury.WAV",
       "Destination 12 miles ahead of us at your 12 o'clock",
       {"destinat.wav", "#Newbury.WAV", "12.wav", "miles.wav", "aheadofu.wav", "12c.wav"}},
      {"a $AN prompt needs no Destination", "2.5m", 0, 0, 6, 0, "$ANEWBURY.WAV", "2.5 miles behind us at your 6 o'clock",
       {"$ANEWBURY.WAV", "2.wav", "point.wav", "5.wav", "miles.wav", "behindus.wav", "6c.wav"}},
      {"verb-last order", "3m", 0, 0, 9, 1, "#Newbury.WAV", "Destination 3 miles to our left at your 9 o'clock",
       {"destinat.wav", "#Newbury.WAV", "fromhere.wav", "onourlef.wav", "3.wav", "miles.wav", "is.wav"}},
      {"verb-last order says destinat.wav once", "3m", 0, -1, 9, 1, "destinat.wav", "Destination 3 miles ",
       {"destinat.wav", "fromhere.wav", "3.wav", "miles.wav", "is.wav"}},
      {"no distance says nothing", "", 0, 0, 9, 0, "destinat.wav", "", {}},
  };
  for (const auto& c : cases) {
    app->speech.msgtext.clear();
    app->speech.lastsentence.clear();
    app->win.zarn.disbox.caption = c.dis;
    app->main.metric = c.metric;
    app->gps.ownhdg = c.hdg;
    app->nav.clockbrg = c.clock;
    app->speech.syntaxmode = static_cast<std::int16_t>(c.mode);
    app->nav.destwav = c.destwav;
    saydestdist(*app);
    EXPECT_EQ(msg(), c.text) << c.guards;
    EXPECT_EQ(said(), c.items) << c.guards;
  }
}

TEST_F(Reports, ArrivalTime) {
  clock->settimer(1000);
  app->nav.etaclock = "09:45";
  app->nav.timetogo = "1.5h";
  sayeta(*app);  // no instruments window: nothing has worked out a time to go
  EXPECT_EQ(msg(), "");
  auto& timetil = app->win.get<IForm>().timetil;
  timetil.caption = "?";
  sayeta(*app);
  EXPECT_EQ(msg(), "");
  timetil.caption = "12m";
  sayeta(*app);
  EXPECT_EQ(msg(), "Expected Time of Arrival is 09:45 in 1.5 hours");
  EXPECT_EQ(said(), (Items{"ETAIS.WAV", "9.wav", "40.wav", "5.wav", "in.wav", "1.wav", "point.wav", "5.wav", "hours.wav"}));
  EXPECT_FLOAT_EQ(app->main.etareptime, 1000);
}

TEST_F(Reports, Altitude) {
  const struct {
    int seen;
    float feet, climb;
    const char* text;
    Items items;
  } cases[] = {
      {1, 49, 0, "Altitude is near sea level ( GPS 49 ft)", {"altisnea.wav"}},
      {1, 149, -9, "Altitude is about 100 ft above sea level ( GPS 149 ft)", {"altisabo.wav", "1.wav", "00.wav", "ftaboves.wav"}},
      {1, 1234, 500, "Climbing at 500 ft/min",
       {"altisabo.wav", "12.wav", "00.wav", "ftaboves.wav", "climbing.wav", "at.wav", "500.wav", "ee.wav", "ftpermin.wav"}},
      {0, 0, -500, "Sinking at 500 ft/min", {"altisnot.wav", "sinking.wav", "at.wav", "500.wav", "ee.wav", "ftpermin.wav"}},
  };
  for (const auto& c : cases) {
    for (const auto& w : c.items) wavfile(w);
    wav->played.clear();
    app->gps.altseen = c.seen;
    app->gps.ownaltft = c.feet;
    app->gps.climbrate = c.climb;
    sayaltitude(*app);
    EXPECT_EQ(msg(), c.text);
    EXPECT_EQ(played(), c.items) << c.text;
  }
}

TEST_F(Reports, MapChange) {
  app->map.curmap = 1;
  app->map.mapname[1] = "NEWBURY";
  app->map.mapkind[2] = 1;  // tiled
  put("NEWBURY.des", "Newbury and district,x\r\nSU 40000 60000, 0, 480\r\n");
  app->main.repint[7] = 1;
  saymapchange(*app);
  EXPECT_EQ(msg(), "Changing map to Newbury and district ..");
  EXPECT_TRUE(said().empty());  // no recording of the map's name
  wavfile("NEWBURY.wav");
  app->speech.syntaxmode = 1;
  saymapchange(*app);
  EXPECT_EQ(said(), (Items{"NEWBURY.wav", "chamap.wav"}));

  // Not announced: report off, playback, heading-up, a tiled map.
  const std::function<void()> silencers[] = {
      [&] { app->main.repint[7] = 0; }, [&] { app->main.playback = 1; },
      [&] { app->map.headingup = 1; }, [&] { app->map.curmap = 2; }};
  for (const auto& silence : silencers) {
    app->main.repint[7] = 1;
    app->main.playback = 0;
    app->map.headingup = 0;
    app->map.curmap = 1;
    silence();
    app->speech.msgtext.clear();
    saymapchange(*app);
    EXPECT_EQ(msg(), "");
  }
}

TEST_F(Reports, RoadNames) {
  const struct {
    const char *text, *roadnum, *digits, *street;
    int ndigits;
    Items items;
  } cases[] = {
      {"A34 Oxford rd", "A34", "34", "Oxford Road", 2, {"a.wav", "30.wav", "4.wav"}},
      {"High st", "", "", "High Street", 0, {}},
      {"5 Park Lane", "", "", "5 Park Lane", 0, {}},
      {"A1M", "A1M", "1", "", 1, {"a.wav", "1.wav", "M.wav"}},
      {"B3022 Long Lane", "B3022", "3022", "Long Lane", 4, {"b.wav", "30.wav", "20.wav", "2.wav"}},
      {"H1", "H1", "1", "", 1, {"highway.wav", "1.wav"}},
      {"X12", "X12", "12", "", 2, {"12.wav"}},
      {"A12345", "A12345", "12345", "", 5, {"a.wav"}},
  };
  for (const auto& c : cases) {
    std::string roadnum = "x", digits = "x", street = "x";
    int n = -1;
    splitaddress(c.text, roadnum, digits, street, n);
    EXPECT_EQ(std::tuple(roadnum, digits, street, n), std::tuple(c.roadnum, c.digits, c.street, c.ndigits)) << c.text;
    app->speech.wavcount = 0;
    if (n > 0) sayroadname(*app, roadnum, digits, n);
    EXPECT_EQ(queued(), c.items) << c.text;
  }
}

TEST_F(Reports, PlaceNames) {
  for (const char* w : {"ASCOT.WAV", "BERKSHIR.WAV", "#EADING.WAV"}) wavfile(w);
  const struct {
    int tts;
    const char* name;
    Items items;
  } cases[] = {
      {0, "Ascot in Berkshire", {"ASCOT.WAV", "in.wav", "BERKSHIR.WAV"}},
      {1, "Bray in Berkshire", {"Bray", "in.wav", "BERKSHIR.WAV"}},
      {0, "Bray in Berkshire", {"$LPOP.WAV", "in.wav", "BERKSHIR.WAV"}},
      {0, "Ascot in Surrey", {"ASCOT.WAV", "in.wav"}},
  };
  for (const auto& c : cases) {
    app->speech.wavcount = 0;
    app->speech.ttsavail = static_cast<std::int16_t>(c.tts);
    sayplacename(*app, c.name);
    EXPECT_EQ(queued(), c.items) << c.name;
  }
}

}  // namespace
}  // namespace zarn::test
