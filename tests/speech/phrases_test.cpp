// Spoken numbers, distances, times and directions in each word order.
#include "speech/phrases.h"
#include "speechtest.h"

namespace zarn::test {
namespace {

using Phrases = SpeechTest;

TEST_F(Phrases, Numbers) {
  const struct {
    int mode;
    const char* num;
    Items items;
  } cases[] = {
      {0, "0", {"0.wav"}},
      {0, "05", {"5.wav"}},
      {0, "7", {"7.wav"}},
      {0, "20", {"20.wav"}},
      {0, "21", {"20.wav", "1.wav"}},
      {0, "45", {"40.wav", "5.wav"}},
      {0, "100", {"100.wav"}},
      {0, "110", {"100.wav", "ee.wav", "10.wav"}},
      {0, "300", {"300.wav", "ee.wav"}},
      {0, "345", {"300.wav", "ee.wav", "40.wav", "5.wav"}},
      {0, "1000", {"1.wav", "thousand.wav", "ee.wav"}},
      {0, "1005", {"1.wav", "thousand.wav", "ee.wav", "5.wav"}},
      {0, "12000", {"12.wav", "thousand.wav", "ee.wav"}},
      {0, "99999", {"99.wav", "thousand.wav", "900.wav", "ee.wav", "90.wav", "9.wav"}},
      {0, "", {}},
      {1, "45", {"40.wav", "5.wav"}},
      {2, "45", {"5.wav", "and.wav", "40.wav"}},
      {2, "40", {"40.wav"}},
      {2, "345", {"300.wav", "ee.wav", "5.wav", "and.wav", "40.wav"}},
      {5, "120", {"100e.wav", "ee.wav", "20.wav"}},
      {5, "100", {"100.wav"}},
      {5, "45", {"40.wav", "ee.wav", "5.wav"}},
  };
  for (const auto& c : cases) {
    app->speech.wavcount = 0;
    app->speech.syntaxmode = static_cast<std::int16_t>(c.mode);
    saynumber(*app, c.num);
    EXPECT_EQ(queued(), c.items) << "mode " << c.mode << " number " << c.num;
  }
}

TEST_F(Phrases, Decimals) {
  const struct {
    const char* num;
    Items items;
  } cases[] = {
      {"12.345", {"12.wav", "point.wav", "3.wav", "4.wav"}},
      {".5", {"point.wav", "5.wav"}},
      {"7", {"7.wav"}},
  };
  for (const auto& c : cases) {
    app->speech.wavcount = 0;
    saydecimal(*app, c.num);
    EXPECT_EQ(queued(), c.items) << c.num;
  }
}

TEST_F(Phrases, Distances) {
  const struct {
    int mode, metric;
    const char* dist;
    Items items;
  } cases[] = {
      {0, 0, "1m", {"1.wav", "mile.wav"}},
      {0, 0, "1.5m", {"1.wav", "point.wav", "5.wav", "miles.wav"}},
      {0, 0, "1.25m", {"1.wav", "point.wav", "2.wav", "5.wav", "miles.wav"}},
      {0, 0, "250y", {"200.wav", "ee.wav", "50.wav", "yards.wav"}},
      {0, 0, " 960y", {"900.wav", "ee.wav", "60.wav", "yards.wav"}},
      {0, 1, "1k", {"1.wav", "kilometr.wav"}},
      {0, 1, " 12k", {"12.wav", "kilomets.wav"}},
      {0, 1, "500m", {"500.wav", "ee.wav", "metres.wav"}},
      {0, 0, "3x", {"3.wav", "x.wav"}},
      {0, 0, "", {}},
      {1, 1, "1.5k", {"1P.WAV", "5.wav", "kilomets.wav"}},
      {1, 1, "8.2k", {"8P.WAV", "2.wav", "kilomets.wav"}},
      {1, 1, "10.5k", {"10P.WAV", "5.wav", "kilomets.wav"}},
      {1, 1, ".5k", {"0.wav", "point.wav", "5.wav", "kilomets.wav"}},
      {1, 0, "3m", {"3.wav", "miles.wav"}},
  };
  for (const auto& c : cases) {
    app->speech.wavcount = 0;
    app->speech.syntaxmode = static_cast<std::int16_t>(c.mode);
    app->main.metric = c.metric;
    saydistance(*app, c.dist);
    EXPECT_EQ(queued(), c.items) << "mode " << c.mode << " metric " << c.metric << " " << c.dist;
  }
}

TEST_F(Phrases, ClockTimes) {
  const struct {
    int mode;
    const char* t;
    Items items;
  } cases[] = {
      {0, "00:00:12", {"THETIMEI.WAV", "0.wav"}},
      {0, "14:05:33", {"THETIMEI.WAV", "14.wav", "5.wav"}},
      {0, "09:30:00", {"THETIMEI.WAV", "9.wav", "30.wav"}},
      {1, "14:05", {"gozen.wav", "14.wav", "ji.wav", "5.wav", "fun.wav"}},
      {1, "13:20", {"gozen.wav", "13.wav", "ji.wav", "20.wav", "pun.wav"}},
      {1, "09:30", {"gogo.wav", "9.wav", "ji.wav", "han.wav"}},
      {1, "11:00", {"gogo.wav", "11.wav", "ji.wav"}},
  };
  for (const auto& c : cases) {
    app->speech.syntaxmode = static_cast<std::int16_t>(c.mode);
    app->speech.msgtext = "unchanged";
    saytime(*app, "the time is ", "THETIMEI.WAV", c.t);
    EXPECT_EQ(said(), c.items) << c.t;
    EXPECT_EQ(msg(), c.mode == 1 ? std::string("unchanged") : "the time is " + std::string(c.t)) << c.t;
  }
}

TEST_F(Phrases, CompassSectors) {
  const struct {
    int brg;
    const char* item;
    const char* text;
  } cases[] = {
      {-5, "northof.wav", " north of "},      {0, "northof.wav", " north of "},
      {22, "northof.wav", " north of "},      {23, "northeof.wav", " north east of "},
      {67, "northeof.wav", " north east of "}, {68, "eastof.wav", " east of "},
      {112, "eastof.wav", " east of "},       {113, "southeof.wav", " south east of "},
      {158, "southof.wav", " south of "},     {202, "southof.wav", " south of "},
      {203, "southwof.wav", " south west of "}, {248, "westof.wav", " west of "},
      {292, "westof.wav", " west of "},       {293, "northwof.wav", " north west of "},
      {337, "northwof.wav", " north west of "}, {338, "northof.wav", " north of "},
      {360, "northof.wav", " north of "},
  };
  for (const auto& c : cases) {
    std::string item, text;
    compassphrase(c.brg, item, text);
    EXPECT_EQ(item, c.item) << c.brg;
    EXPECT_EQ(text, c.text) << c.brg;
  }
}

TEST_F(Phrases, ClockDirections) {
  const struct {
    int mode, langindex, hour;
    const char* text;
    const char* diritem;
    const char* clockitem;
  } cases[] = {
      {0, 0, 0, "ahead of us at your 12 o'clock", "aheadofu.wav", "12c.wav"},
      {0, 0, 1, "ahead of us at your 1 o'clock", "aheadofu.wav", "1c.wav"},
      {0, 0, 2, "to our right at your 2 o'clock", "toourrig.wav", "2c.wav"},
      {0, 0, 4, "to our right at your 4 o'clock", "toourrig.wav", "4c.wav"},
      {0, 0, 5, "behind us at your 5 o'clock", "behindus.wav", "5c.wav"},
      {0, 0, 7, "behind us at your 7 o'clock", "behindus.wav", "7c.wav"},
      {0, 0, 8, "to our left at your 8 o'clock", "toourlef.wav", "8c.wav"},
      {0, 0, 10, "to our left at your 10 o'clock", "toourlef.wav", "10c.wav"},
      {0, 0, 11, "ahead of us at your 11 o'clock", "aheadofu.wav", "11c.wav"},
      {1, 0, 3, "to our right at your 3 o'clock", "onourrig.wav", ""},
      {1, 1, 6, "behind us at your 6 o'clock", "behind.wav", ""},
      {0, 1, 9, "to our left at your 9 o'clock", "as passed", "as passed"},
  };
  for (const auto& c : cases) {
    app->speech.syntaxmode = static_cast<std::int16_t>(c.mode);
    app->speech.langindex = static_cast<std::int16_t>(c.langindex);
    int hour = c.hour;
    std::string text, diritem = "as passed", clockitem = "as passed";
    clockphrase(*app, hour, text, diritem, clockitem);
    EXPECT_EQ(text, c.text);
    EXPECT_EQ(diritem, c.diritem) << c.hour;
    EXPECT_EQ(clockitem, c.clockitem) << c.hour;
    EXPECT_EQ(hour, c.hour == 0 ? 12 : c.hour);
  }
}

TEST_F(Phrases, DirectionNeedsAKnownHeading) {
  saydirection(*app, 3);
  EXPECT_TRUE(queued().empty());
  app->gps.ownhdg = 10;
  saydirection(*app, 3);
  EXPECT_EQ(queued(), (Items{"toourrig.wav", "3c.wav"}));
  app->speech.wavcount = 0;
  app->speech.syntaxmode = 1;
  saydirection(*app, 9);
  EXPECT_EQ(queued(), (Items{"onourlef.wav"}));
}

TEST_F(Phrases, PlaceWavNames) {
  const std::pair<const char*, const char*> cases[] = {
      {"Ascot", "#Ascot.WAV"},
      {"Newbury", "#Newbury.WAV"},
      {"Market Square", "#MarketS.WAV"},
      {"Stratford upon Avon", "#Stratfo.WAV"},
  };
  for (const auto& [name, item] : cases) {
    std::string w;
    wavname(name, w);
    EXPECT_EQ(w, item);
  }
}

TEST_F(Phrases, FoundPlacePromptChoice) {
  findwav(*app, "SU 47000 67000", "Newbury", "LPOP");
  EXPECT_EQ(app->main.foundwav, "destinat.wav");
  EXPECT_EQ(app->map.geofile, "SU4767.GEO");
  wavfile("$LPO.WAV");
  findwav(*app, "SU 47000 67000", "Newbury", "LPOP");
  EXPECT_EQ(app->main.foundwav, "$LPO.WAV");
  wavfile("#Newbury.WAV");
  findwav(*app, "SU 47000 67000", "Newbury", "LPOP");
  EXPECT_EQ(app->main.foundwav, "#Newbury.WAV");
  wavfile("SU4767.WAV");
  findwav(*app, "SU 47000 67000", "Newbury", "LPOP");
  EXPECT_EQ(app->main.foundwav, "SU4767.WAV");
  // A reference that names no square does not take the square looked at last.
  findwav(*app, "somewhere", "", "");
  EXPECT_EQ(app->main.foundwav, "destinat.wav");
  EXPECT_EQ(app->map.geofile, "SU4767.GEO");
}

}  // namespace
}  // namespace zarn::test
