// The exit: asked with speech forced on, declining changes nothing; Yes says goodbye, closes
// the trip log, keeps a live position, drops DTR where configured, starts the exit batch and
// ends the program, from wherever it was reached.
#include <filesystem>
#include <optional>
#include <utility>

#include "geodesy/ukgrid.h"
#include "gpsinput/logs.h"
#include "mainwindow/exitseq.h"
#include "mainwindow/tick.h"
#include "speech/msgline.h"
#include "speech/queue.h"
#include "support/app_fixture.h"
#include "support/builders.h"

namespace zarn::test {
namespace {

namespace mb = platform::mb;
const std::string question = "Are you sure you want to exit ZARN ?";
const std::string here = "531500N0023000W";  // the live position every case starts at

struct Exit : AppTest {
  void ready() override {
    wavfile("SUREEXIT.WAV"), wavfile("goodbye.wav"), wavfile("earlier.wav");
    newtrip(*app);
    clearmsg(app->voice);
    app->win.zarn.modebox.set("GPS");
    ownfix(*app, 53.25f, -2.5f);
    app->speech.talkon = 0;
  }
  // Runs the exit: true when it ended the program.
  bool exit() {
    try {
      exitprog(*app);
    } catch (const platform::ProgramEnded& e) {
      EXPECT_EQ(e.status, 0);
      return true;
    }
    return false;
  }
  std::optional<int> ended() const { return dynamic_cast<platform::RecordingEnder&>(*app->sys.ender).status; }
  void fresh(const std::string& name) const { std::filesystem::remove_all(dir / name); }
};

TEST_F(Exit, AnythingButYesChangesNothing) {
  for (const auto& [answer, talkon] : {std::pair{mb::idno, 0}, {mb::idcancel, 1}}) {  // closing the box: Cancel
    make();
    put("ZARNLAST.DAT", "  INITROCK \r\n"), put("ZARNEXIT.BAT", "");
    std::tie(app->main.poweroff, app->gps.astral, app->speech.talkon) = std::tuple(1, 1, talkon);
    dialogs->answers = {answer};
    EXPECT_FALSE(exit());
    EXPECT_EQ(played(), Items{"SUREEXIT.WAV"}) << "asked aloud whatever the setting: " << answer;
    EXPECT_EQ(app->speech.msgtext, talkon ? question : "") << "shown only with messages on";
    EXPECT_TRUE(app->speech.talkon == talkon && app->gps.logopen == 1 && app->gps.triplog && !app->main.quit &&
                !app->main.tickbusy_guard && !ended() && programs->started.empty() && serial->dtr.empty() &&
                !has("INITROCK.CFG") && get("ZARNLAST.DAT") == "  INITROCK \r\n") << answer;
  }
}

TEST_F(Exit, YesSaysGoodbyeClosesTheLogAndEndsEvenFromAWait) {
  for (int talkon : {0, 1}) {
    make();
    writetriplog(app->gps, "$GPRMC,1");
    app->speech.talkon = talkon;
    if (talkon) queuewav(app->voice, "earlier.wav");  // spoken before the question, never after it
    bool after = false;
    events->hook = [&, once = true]() mutable {  // an event of the wait reaches the exit
      if (std::exchange(once, false)) exitprog(*app);
    };
    EXPECT_THROW((app->wait(5), after = true), platform::ProgramEnded);
    const Items said = talkon ? Items{"earlier.wav", "SUREEXIT.WAV", "goodbye.wav"} : Items{"SUREEXIT.WAV", "goodbye.wav"};
    EXPECT_EQ(played(), said);
    ASSERT_EQ(dialogs->shown.size(), 1u);
    const auto& box = dialogs->shown[0];
    EXPECT_EQ(std::tuple(box.prompt, box.buttons, box.title), std::tuple(question, 35, "Exit ZARN ?"));
    EXPECT_TRUE(!after && ended() == 0 && app->main.quit && app->speech.msgtext == "Goodbye !") << talkon;
    EXPECT_TRUE(app->gps.logopen == 0 && !app->gps.triplog && !app->gps.replay && get("NEWTRIP.NME") == "$GPRMC,1\r\n");
    events->hook = nullptr;
    const long ticks = app->main.ticks;
    Timer1_Timer(*app);
    EXPECT_EQ(app->main.ticks, ticks) << "no tick runs any more";
  }
}

TEST_F(Exit, OnlyALivePositionIsKeptAndInitrockWrittenWhenAsked) {
  const struct { const char* guards; const char* mode; bool fix; std::optional<std::string> last; std::string wantlast, wantrock; }
      cases[] = {
          {"live GPS: ZARNLAST.DAT alone", "GPS", true, {}, here + "\r\n", ""},
          {"any other first line is no request", "GPS", true, "INITROCKS\r\n", here + "\r\n", ""},
          {"the request, blanks round it: both files", "GPS", true, "  INITROCK \r\nold\r\n", here + "\r\n", here + "\r\n"},
          {"demo: nothing written", "DEM", true, "  INITROCK \r\n", "  INITROCK \r\n", ""},
          {"simulation: nothing written", "SIM", true, "  INITROCK \r\n", "  INITROCK \r\n", ""},
          {"replay: nothing written", "OLD", true, "  INITROCK \r\n", "  INITROCK \r\n", ""},
          {"no fix yet: nothing written", "GPS", false, "  INITROCK \r\n", "  INITROCK \r\n", ""},
      };
  for (const auto& c : cases) {
    make();
    fresh("ZARNLAST.DAT"), fresh("INITROCK.CFG");
    if (c.last) put("ZARNLAST.DAT", *c.last);
    app->win.zarn.modebox.set(c.mode);
    if (!c.fix) noownfix(*app);
    EXPECT_TRUE(exit()) << c.guards;
    EXPECT_EQ(std::tuple(get("ZARNLAST.DAT"), get("INITROCK.CFG"), dialogs->shown.size()),
              std::tuple(c.wantlast, c.wantrock, 1u)) << c.guards;
  }
  // The request is met once: the next exit updates ZARNLAST.DAT only.
  make();
  put("ZARNLAST.DAT", "INITROCK\r\n");
  EXPECT_TRUE(exit());
  fresh("INITROCK.CFG");
  make();
  ownfix(*app, 53.5f, -2.5f);
  EXPECT_TRUE(exit());
  EXPECT_EQ(std::pair(get("ZARNLAST.DAT"), has("INITROCK.CFG")), std::pair(std::string("533000N0023000W\r\n"), false));
}

TEST_F(Exit, AFileNotWrittenOrABatchNotStartedIsToldBeforeTheEnd) {
  const struct { const char* guards; const char* dirname; std::string last; bool starts; std::string told; } cases[] = {
      {"ZARNLAST.DAT cannot be replaced", "ZARNLAST.DAT", "", true, "ZARNLAST.DAT not written"},
      {"INITROCK.CFG not written: the request stays", "INITROCK.CFG", "INITROCK\r\n", true, "INITROCK.CFG not written"},
      {"the batch does not start", "", "", false, "ZARNEXIT.BAT: cannot start ZARNEXIT.BAT"},
  };
  for (const auto& c : cases) {
    make();
    fresh("ZARNLAST.DAT"), fresh("INITROCK.CFG");
    if (*c.dirname) std::filesystem::create_directory(dir / c.dirname);
    if (!c.last.empty()) put("ZARNLAST.DAT", c.last);
    put("ZARNEXIT.BAT", "");
    programs->succeed = c.starts;
    EXPECT_TRUE(exit()) << c.guards;
    ASSERT_EQ(dialogs->shown.size(), 2u) << c.guards;
    EXPECT_TRUE(dialogs->shown[1].prompt.starts_with(c.told)) << c.guards << ": " << dialogs->shown[1].prompt;
    if (!c.last.empty()) {
      EXPECT_EQ(get("ZARNLAST.DAT"), c.last) << c.guards;
    }
  }
}

TEST_F(Exit, DtrDropsWhereTheEquipmentNeedsItAndTheBatchStartsUnwaited) {
  const struct { const char* guards; int astral, poweroff; bool batch; std::vector<bool> dtr; } cases[] = {
      {"neither: DTR left alone, no batch", 0, 0, false, {}},
      {"an ASTRAL receiver", 1, 0, true, {false}},
      {"POWEROFF.CFG", 0, 1, true, {false}},
      {"both", 1, 1, false, {false}},
  };
  for (const auto& c : cases) {
    make();
    fresh("ZARNEXIT.BAT");
    if (c.batch) put("ZARNEXIT.BAT", "");
    std::tie(app->gps.astral, app->main.poweroff) = std::tuple(c.astral, c.poweroff);
    EXPECT_TRUE(exit()) << c.guards;
    EXPECT_EQ(serial->dtr, c.dtr) << c.guards;
    ASSERT_EQ(programs->started.size(), c.batch ? 1u : 0u) << c.guards;
    if (c.batch) {
      const auto& s = programs->started[0];
      EXPECT_TRUE(s.program == "ZARNEXIT.BAT" && s.args.empty() && !s.wait) << c.guards;
    }
  }
}

}  // namespace
}  // namespace zarn::test
