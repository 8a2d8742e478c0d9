// The replay and demo script player: what one step reads, the script commands, and the limits
// that keep a step inside its tick.
#include "mainwindow/replay.h"
#include "support/app_fixture.h"

namespace zarn::test {
namespace {

// Sentences near Ashley, with their checksums.
const std::string gga = "$GPGGA,145239.00,5321.4874,N,00218.3697,W,2,14,,62.60,M,50.137,M,,*56";
const std::string rmc = "$GPRMC,145240.00,A,5321.4835,N,00218.3930,W,52.2778,253.784,261020,-1.2,W*78";
const std::string gsv = "$GPGSV,3,1,12,01,40,083,46,02,17,308,41,12,07,344,39,14,22,228,45*75";
const std::string gsa = "$GPGSA,A,3,,,,,,,,,,,,,1.4,0.8,1.1*3F";

class Replay : public AppTest {
 protected:
  void SetUp() override {
    AppTest::SetUp();
    app->gps.replayfile = "TEST.NME";
    squares({{"SJ", 300, 300}});
    waitstep = 0;
    app->speech.ttsavail = 1;
  }
  // A replay file of the lines, read from its start.
  void script(const Items& lines, const std::string& name = "TEST.NME") {
    std::string s;
    for (const auto& l : lines) s += l + "\r\n";
    put(name, s);
    app->gps.replay.reset();
  }
  // Bytes of the replay file read so far.
  std::size_t readpos() const { return app->gps.replay ? app->gps.replay->position() : 0; }
};

TEST_F(Replay, OneStepTakesInOneFix) {
  script({gga, gsv, rmc, gsv, gsv, "", rmc});
  const struct {
    const char *type, *guards;
  } steps[] = {{"GGA", "GGA ends the first step"},
               {"RMC", "GSV is read with the RMC"},
               {"GSV", "a repeated type ends the step"},
               {"", "an empty line read first ends the step at once"}};
  for (const auto& s : steps) {
    const std::size_t before = readpos();
    EXPECT_TRUE(replaystep(*app));
    EXPECT_EQ(app->main.steptype, s.type) << s.guards;
    if (!*s.type) {
      EXPECT_EQ(readpos(), before + 2);
    }
  }
  EXPECT_EQ(app->gps.gpstimetxt, "14:52:40");
  EXPECT_FLOAT_EQ(app->gps.ownlat, 53 + 21.4835f / 60);
  app->gps.replayfile = "TEST.AGD";  // every line of a receiver log is a step
  script({"first line", "second line"}, "TEST.AGD");
  replaystep(*app);
  EXPECT_EQ(readpos(), std::string("first line\r\n").size());
}

TEST_F(Replay, ScriptCommandsInTheDemoOnly) {
  script({"SAY Not spoken", "TXT Not shown", "KEY \"`abc\"", rmc});
  EXPECT_TRUE(replaystep(*app));
  EXPECT_TRUE(tts->said.empty()) << "outside the demo script lines only reach the parser";
  EXPECT_NE(app->speech.msgtext, "Not shown");
  EXPECT_EQ(app->main.typingmode, 0);

  app->main.demoon = 1;
  script({"SAY This is spoken", "TXT This is shown", "XTO-1000 metres west", "YTO 500", "CHA", rmc});
  EXPECT_TRUE(replaystep(*app));
  EXPECT_EQ(tts->said, Items{"This is spoken"});
  EXPECT_EQ(app->speech.msgtext, "This is shown");
  EXPECT_FLOAT_EQ(app->gps.gpscorre, -1.0f);
  EXPECT_FLOAT_EQ(app->gps.gpscorrn, 0.5f);
  EXPECT_EQ(app->main.steptype, "RMC") << "script lines do not end the step";
  EXPECT_EQ(app->main.chaseon, 0) << "CHA alone is no command";

  wavfile("spoken.wav");
  script({"SAY spoken.wav", "SAY more", rmc});
  app->speech.talkon = 0;
  EXPECT_TRUE(replaystep(*app));
  EXPECT_EQ(played(), Items{"spoken.wav"});
  EXPECT_EQ(app->main.steptype, "RMC") << "SAY lines do not use up a step";
  EXPECT_EQ(app->speech.talkon, 0) << "sound left as it was";

  script({"KEY \"`KNUTSF\"", rmc});
  replaystep(*app);
  EXPECT_TRUE(app->win.zarn.search.visible) << "the grave accent starts typed entry";
  EXPECT_EQ(app->main.typingmode, 0) << "ended by running the typed command";
  EXPECT_EQ(app->main.typedcmd, 1);
}

TEST_F(Replay, MarkerLines) {
  app->win.zarn.home.visible = true;
  app->speech.wavcount = 2;
  script({"nohome", "Silent", rmc});
  replaystep(*app);
  EXPECT_FALSE(app->win.zarn.home.visible);
  EXPECT_EQ(app->main.nohome, 1);
  EXPECT_EQ(app->speech.talkon, 0);
  EXPECT_EQ(app->speech.talkstop, 1);
  EXPECT_EQ(app->speech.wavcount, 0);
  EXPECT_EQ(app->main.trailperline, 0);
  script({"DEM trail", rmc});
  replaystep(*app);
  EXPECT_EQ(app->main.trailperline, 1);
}

TEST_F(Replay, TheFileLoopsAndTheIntroductionComesOnlyWithADemoStart) {
  script({rmc});
  app->main.demorestart = 1;
  app->win.zarn.modebox.caption = "<-";
  app->main.demoon = 1;
  EXPECT_TRUE(replaystep(*app));
  EXPECT_EQ(app->win.zarn.modebox.caption, "DEM") << "the pointer read-out gives way";
  EXPECT_EQ(app->speech.msgtext, "Let me show you something I did earlier ..");
  app->speech.msgtext.clear();
  EXPECT_TRUE(replaystep(*app)) << "the end: the file starts again";
  EXPECT_EQ(app->gps.gpstimetxt, "14:52:40");
  EXPECT_EQ(app->speech.msgtext, "") << "silently";
  app->main.demoreopen = 1;
  EXPECT_TRUE(replaystep(*app));
  EXPECT_EQ(app->speech.msgtext, "Let me show you something I did earlier ..");
  EXPECT_EQ(app->main.demoreopen, 0);
}

TEST_F(Replay, AStepEndsInsideItsTickWhateverTheFileHolds) {
  struct Case {
    const char* guards;
    Items lines;
    bool exists = true;
  };
  const std::vector<Case> cases = {
      {"only spoken and shown lines", {"SAY one", "TXT two", "SAY three"}},
      {"sentences that never end a step", {gsa, gsv, gsa, gsv}},
      {"an empty file", {}},
      {"no file at all", {}, false},
  };
  app->main.demoon = 1;
  for (const Case& c : cases) {
    SCOPED_TRACE(c.guards);
    script(c.lines);
    if (!c.exists) std::filesystem::remove(dir / "TEST.NME");
    const long before = events->calls;
    EXPECT_TRUE(replaystep(*app));
    EXPECT_LE(events->calls - before, 2 * MainState::steplinemax + 2) << "a bounded number of lines";
  }
  tts->said.clear();
  script({"SAY one", "TXT two"});
  replaystep(*app);
  EXPECT_LE(tts->said.size(), 2u) << "at most one rewind in a step";
}

TEST_F(Replay, FastReplayCatchesUpSlowReplayNever) {
  script({rmc, gga, rmc, gga, rmc, gga});
  waitstep = 0.6;  // each pass of events takes longer than a fast step
  app->main.stepsecs = 0.5f;
  replaystep(*app);
  EXPECT_GT(readpos(), rmc.size() + 2) << "more than one fix in the tick";
  app->gps.replay.reset();
  app->main.stepsecs = 1.0f;
  waitstep = 2.0;
  replaystep(*app);
  EXPECT_EQ(readpos(), rmc.size() + 2) << "one fix per tick above half a second";
}

}  // namespace
}  // namespace zarn::test
