// Spoken numbers, distances, times and directions in each word order.
#include "speech/phrases.h"
#include "speechtest.h"

namespace zarn::test {
namespace {

using Phrases = SpeechTest;

TEST_F(Phrases, NumbersAndDistances) {
  const struct {
    int mode, metric;
    const char* what;  // a distance when it ends in a unit letter, else a number
    Items items;
  } cases[] = {
      {0, 0, "05", {"5.wav"}},
      {0, 0, "1005", {"1.wav", "thousand.wav", "ee.wav", "5.wav"}},
      {0, 0, "99999", {"99.wav", "thousand.wav", "900.wav", "ee.wav", "90.wav", "9.wav"}},
      {0, 0, "", {}},
      {2, 0, "345", {"300.wav", "ee.wav", "5.wav", "and.wav", "40.wav"}},
      {5, 0, "120", {"100e.wav", "ee.wav", "20.wav"}},
      {0, 0, "1.25m", {"1.wav", "point.wav", "2.wav", "5.wav", "miles.wav"}},
      {0, 0, " 960y", {"900.wav", "ee.wav", "60.wav", "yards.wav"}},
      {0, 1, "500m", {"500.wav", "ee.wav", "metres.wav"}},
      {1, 1, "10.5k", {"10P.WAV", "5.wav", "kilomets.wav"}},
      {1, 1, ".5k", {"0.wav", "point.wav", "5.wav", "kilomets.wav"}},
  };
  for (const auto& c : cases) {
    app->speech.wavcount = 0;
    app->speech.syntaxmode = static_cast<std::int16_t>(c.mode);
    app->main.metric = c.metric;
    const std::string w = c.what;
    if (!w.empty() && w.back() > '9') {
      saydistance(*app, w);
    } else {
      saynumber(*app, w);
    }
    EXPECT_EQ(queued(), c.items) << "mode " << c.mode << " metric " << c.metric << " '" << w << "'";
  }
}

TEST_F(Phrases, ClockTimes) {
  const struct {
    int mode;
    const char* t;
    Items items;
  } cases[] = {
      {0, "14:05:33", {"THETIMEI.WAV", "14.wav", "5.wav"}},
      {1, "14:05", {"gozen.wav", "14.wav", "ji.wav", "5.wav", "fun.wav"}},
      {1, "09:30", {"gogo.wav", "9.wav", "ji.wav", "han.wav"}},
  };
  for (const auto& c : cases) {
    app->speech.syntaxmode = static_cast<std::int16_t>(c.mode);
    app->speech.msgtext = "unchanged";
    saytime(*app, "the time is ", "THETIMEI.WAV", c.t);
    EXPECT_EQ(said(), c.items) << c.t;
    EXPECT_EQ(msg(), c.mode == 1 ? std::string("unchanged") : "the time is " + std::string(c.t)) << c.t;
  }
}

TEST_F(Phrases, CompassAndClockDirectionsAtTheirBoundaries) {
  const std::pair<int, const char*> compass[] = {{-5, "northof.wav"},  {22, "northof.wav"},  {23, "northeof.wav"},
                                                 {158, "southof.wav"}, {203, "southwof.wav"}, {337, "northwof.wav"},
                                                 {338, "northof.wav"}, {360, "northof.wav"}};
  for (const auto& [brg, item] : compass) {
    std::string i, text;
    compassphrase(brg, i, text);
    EXPECT_EQ(i, item) << brg;
  }
  std::string i, text;
  compassphrase(23, i, text);
  EXPECT_EQ(text, " north east of ");

  const struct {
    int mode, langindex, hour;
    const char *text, *diritem, *clockitem;
  } clock[] = {
      {0, 0, 0, "ahead of us at your 12 o'clock", "aheadofu.wav", "12c.wav"},
      {0, 0, 2, "to our right at your 2 o'clock", "toourrig.wav", "2c.wav"},
      {0, 0, 8, "to our left at your 8 o'clock", "toourlef.wav", "8c.wav"},
      {1, 0, 3, "to our right at your 3 o'clock", "onourrig.wav", ""},
      {1, 1, 6, "behind us at your 6 o'clock", "behind.wav", ""},
      {0, 1, 9, "to our left at your 9 o'clock", "as passed", "as passed"},
  };
  for (const auto& c : clock) {
    app->speech.syntaxmode = static_cast<std::int16_t>(c.mode);
    app->speech.langindex = static_cast<std::int16_t>(c.langindex);
    int hour = c.hour;
    std::string t, diritem = "as passed", clockitem = "as passed";
    clockphrase(*app, hour, t, diritem, clockitem);
    EXPECT_EQ(std::tuple(t, diritem, clockitem, hour), std::tuple(c.text, c.diritem, c.clockitem, c.hour ? c.hour : 12));
  }
  app->speech.syntaxmode = app->speech.langindex = 0;
  saydirection(*app, 3);
  EXPECT_TRUE(queued().empty()) << "no heading: no direction";
  app->gps.ownhdg = 10;
  saydirection(*app, 3);
  EXPECT_EQ(queued(), (Items{"toourrig.wav", "3c.wav"}));
}

TEST_F(Phrases, FoundPlacePromptChoice) {
  std::string w;
  wavname("Stratford upon Avon", w);
  EXPECT_EQ(w, "#Stratfo.WAV");
  for (const auto& [adds, prompt] : {std::pair{"", "destinat.wav"}, {"$LPO.WAV", "$LPO.WAV"},
                                     {"#Newbury.WAV", "#Newbury.WAV"}, {"SU4767.WAV", "SU4767.WAV"}}) {
    if (*adds) wavfile(adds);
    findwav(*app, "SU 47000 67000", "Newbury", "LPOP");
    EXPECT_EQ(app->main.foundwav, prompt);
  }
  // A reference that names no square does not take the square looked at last.
  findwav(*app, "somewhere", "", "");
  EXPECT_EQ(app->main.foundwav, "destinat.wav");
}

}  // namespace
}  // namespace zarn::test
