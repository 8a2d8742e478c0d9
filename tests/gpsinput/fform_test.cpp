// The playback filter window: its runs exclude each other, a second click stops the first,
// typing into the number boxes, the date scan, and choosing a log from the lists.
#include <fstream>
#include <set>

#include "geodesy/helpers.h"
#include "gpsinput/filter.h"
#include "gpsinput/fform.h"
#include "gpsinput/logs.h"
#include "gpstest.h"
#include "platform/files.h"
#include "platform/textrules.h"

namespace zarn::test {
namespace {

namespace fs = std::filesystem;

const fs::path drive = ZARN_TEST_DATA "/nmea/drive/cheshire-2020-10-26.nmea";

class FFormTest : public GpsTest {
 protected:
  void ready() override {
    GpsTest::ready();
    app->main.playback = 1;
    app->hooks.plotmap = [this](App&, const PlotStep& s) { dots += s.kind == PlotStep::Kind::dot; };
    app->hooks.keycmd = [this](int& k) { keys.push_back(k); };
    std::ifstream in(drive, std::ios::binary);
    put("drive.nme", {std::istreambuf_iterator<char>(in), {}});
    setreplayfile(app->gps, "drive.nme");
    wirefform(*app, form());
  }
  FForm& form() { return app->win.get<FForm>(); }
  // Clicks b once the running command has read a few lines.
  void clickduring(ui::Button& b) {
    events->hook = [&b, n = 0]() mutable {
      if (++n == 20) b.onClick();
    };
  }
  void type(const std::string& s) {
    for (char c : s) {
      int k = static_cast<unsigned char>(c);
      form().onKeyPress(k);
    }
  }
  long dots = 0;
  std::vector<int> keys;
};

TEST_F(FFormTest, ASecondClickStopsTheRunAndEveryRunKeepsTheOthersOut) {
  FForm& f = form();
  struct Cmd {
    ui::Button* b;
    const char* caption;
  };
  const Cmd runs[] = {{&f.plotcmd, "PLOT"}, {&f.filecmd, "SAVE"}, {&f.printcmd, "PRINT"}, {&f.findcmd, "FIND NEAREST"}};
  const Cmd others[] = {{&f.plotcmd, "PLOT"}, {&f.filecmd, "SAVE"}, {&f.printcmd, "PRINT"},
                        {&f.findcmd, "FIND NEAREST"}, {&f.drawcmd, "DRAW"}, {&f.dtcmd, "v"},
                        {&f.fformoffcmd, "Cancel"}};
  for (const Cmd& first : runs)
    for (const Cmd& second : others) {
      const std::string what = std::string(first.caption) + " then " + second.caption;
      dots = 0;
      f.dfrom.text.clear();
      printer->lines.clear();
      clickduring(*second.b);
      first.b->onClick();
      // Stopped after about 20 of the drive's 11,326 lines (the date scan does not stop it, it
      // only waits its turn); nothing else ran inside it.
      const bool scan = second.b == &f.dtcmd;
      EXPECT_EQ(dots < 40, !scan || first.b == &f.findcmd) << what;
      EXPECT_LE(printer->lines.size(), first.b == &f.printcmd && scan ? 11326u : 40u) << what;
      EXPECT_TRUE(f.dfrom.text.empty()) << what;
      EXPECT_EQ(std::tuple(first.b->caption, second.b->caption, app->gps.plotbusy, app->gps.drawmode),
                std::tuple(std::string(first.caption), std::string(second.caption), 0, 0))
          << what;
      if (second.b == &f.filecmd) {
        EXPECT_EQ(app->speech.msgtext, "Saving Aborted") << what;
      }
    }
  events->hook = nullptr;
  // PLOT twice: the window says what was plotted, named as it is (names here are case-sensitive).
  clickduring(f.plotcmd);
  f.plotcmd.onClick();
  EXPECT_EQ(f.caption, "Plotting drive.nme ..");
  // SAVE during PLOT: nothing saved.
  fs::remove(dir / "FILTER.TXT");
  EXPECT_FALSE(has("FILTER.TXT"));
  const int beeps = wav->beeps;
  clickduring(f.filecmd);
  f.plotcmd.onClick();
  EXPECT_EQ(std::tuple(app->speech.msgtext, wav->beeps, has("FILTER.TXT")), std::tuple(std::string("Saving Aborted"), beeps + 1, false));
}

TEST_F(FFormTest, NumbersAreTypedIntoTheFocusedBoxAndOtherKeysAreCommands) {
  FForm& f = form();
  f.rfilter.onMouseDown({});
  type("2.5");
  EXPECT_EQ(f.rfilter.text, "2.5");
  EXPECT_TRUE(keys.empty());  // "." is no trip-meter reset here
  type("x-");
  EXPECT_EQ(f.rfilter.text, "2.5-");
  EXPECT_EQ(keys, (std::vector<int>{'x', '-'}));
  type("\b\b");
  EXPECT_EQ(f.rfilter.text, "2.");
  f.tfrom.onMouseDown({});
  type("12:30");
  EXPECT_EQ(std::tuple(f.tfrom.text, f.rfilter.text), std::tuple(std::string("12:30"), std::string("2.")));
}

TEST_F(FFormTest, TheDateScanTakesTheFromDateFromTheFirstDateInTheFile) {
  // The drive without its ZDA sentences starts with a GGA, which has no date.
  std::string text;
  for (const auto& l : platform::splitlines(get("drive.nme")))
    if (!l.starts_with("$GPZDA")) text += l + "\r\n";
  put("drive.nme", text);
  clock->set({2021, 1, 1, 9, 0, 0, 0});
  FForm& f = form();
  f.dtcmd.onClick();
  EXPECT_EQ(std::tuple(f.dfrom.text, f.tfrom.text, f.dto.text, f.tto.text),
            std::tuple(std::string("261020"), std::string("14:52:39"), std::string("261020"), std::string("15:07:10")));
  EXPECT_EQ(app->gps.plotbusy, 0);
}

// Clear works during a run and during the scan: a run goes on with the filters it started with,
// and the scan's "from" boxes stay clear. The scan leaves the last record's time and date as the
// fix's, .AGD logs and NMEA logs alike.
TEST_F(FFormTest, ClearWorksDuringARunAndTheScanLeavesTheLastRecordsTimeAndDate) {
  FForm& f = form();
  GpsState& g = app->gps;
  f.rfilter.text = "5";  // no centre: no distance filter
  app->main.foundx = 380;
  clickduring(f.clearcmd);
  f.plotcmd.onClick();
  EXPECT_EQ(std::tuple(f.rfilter.text, app->main.foundx, f.plotcmd.caption, g.plotbusy), std::tuple("", noposx, "PLOT", 0));
  EXPECT_GT(dots, 5000) << "the run goes on to the end";

  std::tie(g.gpsdatetxt, g.gpstimetxt, g.gpsdayno) = std::tuple("010199", "00:00:00", 0.0f);
  clickduring(f.clearcmd);
  f.dtcmd.onClick();
  events->hook = nullptr;
  EXPECT_EQ(std::tuple(f.dfrom.text, f.tfrom.text, f.dto.text, f.tto.text), std::tuple("", "", "261020", "15:07:10"));
  EXPECT_EQ(std::tuple(g.gpsdatetxt, g.gpstimetxt, g.gpsdayno), std::tuple("261020", "15:07:10", daynumber("261020")));

  put("trip.agd", "26/10/2020 14:52:39 x\r\n27/10/2020 09:01:02 x\r\n");
  setreplayfile(g, "trip.agd");
  f.dtcmd.onClick();
  EXPECT_EQ(std::tuple(f.dfrom.text, f.tfrom.text, f.dto.text, f.tto.text),
            std::tuple("261020", "14:52:39", "271020", "09:01:02"));
  EXPECT_EQ(std::tuple(g.gpsdatetxt, g.gpstimetxt, g.gpsdayno), std::tuple("271020", "09:01:02", daynumber("271020")));
}

TEST_F(FFormTest, TheListsShowTheLogsInAnyCaseAndAClickMakesOneTheReplayInput) {
  put("a.TRK", "T  x\r\n");
  put("B.Agd", "x\r\n");
  put("notes.txt", "x\r\n");
  fs::create_directories(dir / "older");
  put("older/c.mvd", "x\r\n");
  FForm& f = form();
  listlogs(f);
  EXPECT_EQ(f.File1.items, (Items{"B.Agd", "a.TRK", "drive.nme"}));
  f.Dir1.listindex = static_cast<int>(std::find(f.Dir1.items.begin(), f.Dir1.items.end(), "older") - f.Dir1.items.begin());
  f.Dir1.onDblClick();
  EXPECT_EQ(f.File1.items, Items{"c.mvd"});
  f.File1.listindex = 0;
  app->main.lastclick = 123;
  f.File1.onClick();
  EXPECT_EQ(app->gps.replayfile, (dir / "older" / "c.mvd").string());
  EXPECT_EQ(f.caption, (dir / "older" / "c.mvd").string()) << "the name of the file, as it is";
  EXPECT_EQ(app->win.zarn.modebox.caption, "SIM");
  EXPECT_EQ(std::tuple(app->main.clickage, app->main.lastclick), std::tuple(app->timer() - 10, 123.0f))
      << "the time of the last click is left as it was";
}

// A log chosen while a run reads becomes the replay input at once, sniffed for its checksums;
// the run reads on in the log it opened, its sentences taken as that log's are, and the window
// names that log when the run ends.
TEST_F(FFormTest, ALogChosenDuringARunIsTheReplayInputAndTheRunKeepsItsOwn) {
  std::string bare;  // the drive's RMC sentences without their checksums, which RMC asks for when the log has them
  for (const auto& l : platform::splitlines(get("drive.nme")))
    if (l.starts_with("$GPRMC")) bare += l.substr(0, l.rfind('*')) + "\r\n";
  put("bare.nme", bare);
  std::set<std::pair<float, float>> places;  // where the run put its dots
  app->hooks.plotmap = [&places](App&, const PlotStep& s) {
    if (s.kind == PlotStep::Kind::dot) places.emplace(s.x, s.y);
  };
  FForm& f = form();
  listlogs(f);
  const auto choose = [&f](const std::string& name) {
    const auto& items = f.File1.items;
    f.File1.listindex = static_cast<int>(std::find(items.begin(), items.end(), name) - items.begin());
    f.File1.onClick();
  };
  choose("bare.nme");
  f.plotcmd.onClick();
  const std::size_t whole = places.size();
  ASSERT_GT(whole, 500u);
  places.clear();
  events->hook = [&choose, n = 0]() mutable {
    if (++n == 20) choose("drive.nme");
  };
  f.plotcmd.onClick();
  events->hook = nullptr;
  EXPECT_EQ(places.size(), whole) << "every record of the log the run opened, none refused for a missing checksum";
  EXPECT_EQ(std::tuple(app->gps.replayfile, app->gps.nochecksum, f.caption, f.plotcmd.caption),
            std::tuple((dir / "drive.nme").string(), 0, "Plotting " + (dir / "bare.nme").string() + " ..", "PLOT"));
}

// The fleet demo's recorded vehicle log: its reports are other vehicles', none an own fix, so
// PLOT has nothing to put on the map and says so; the file box names the configured log and a
// chosen one alike, by their full names.
TEST_F(FFormTest, PlottingTheFleetLogSaysWhyNothingIsPlottedAndTheBoxNamesEveryLogInFull) {
  fs::copy_file(fs::path(ZARN_SOURCE_DIR) / "data/demo/ZARN.MVD", dir / "ZARN.MVD");
  FForm& f = form();
  EXPECT_EQ(f.logfilelab.caption, (dir / "drive.nme").string()) << "the configured log";
  listlogs(f);
  f.File1.listindex = static_cast<int>(std::find(f.File1.items.begin(), f.File1.items.end(), "ZARN.MVD") - f.File1.items.begin());
  f.File1.onClick();
  EXPECT_EQ(f.logfilelab.caption, (dir / "ZARN.MVD").string());
  f.plotcmd.onClick();
  EXPECT_EQ(std::tuple(app->speech.msgtext, f.plotcmd.caption),
            std::tuple("ZARN.MVD holds no own fixes: only .NME, .AGD and .TRK logs can be plotted", "PLOT"));

  // The window opened again after the replay input changed elsewhere names the new one.
  f.hide();
  setreplayfile(app->gps, "drive.nme");
  showfform(*app);
  EXPECT_EQ(f.logfilelab.caption, (dir / "drive.nme").string());
  f.plotcmd.onClick();
  EXPECT_TRUE(app->speech.msgtext.starts_with("$GP")) << "an own-fix log plots without the word: " << app->speech.msgtext;
  EXPECT_GT(dots, 0);
}

TEST_F(FFormTest, TheDistanceFromTheCarIsCutToWholeTenths) {
  app->nav.curdest = 2;
  std::tie(app->nav.destx[2], app->nav.desty[2], app->gps.ownx, app->gps.owny) = std::tuple(387.37f, 380.0f, 375.0f, 380.0f);
  form().copyr.onClick();
  EXPECT_EQ(form().rfilter.text, "12.3");
}

// Each way out stops a run still reading; only REPLAY gives the replay back to the tick.
TEST_F(FFormTest, OnlyReplayEndsThePlaybackAndEveryWayOutStopsARun) {
  FForm& f = form();
  const std::pair<const char*, std::function<void()>> ways[] = {
      {"REPLAY", [&] { f.replaycmd.onClick(); }}, {"Cancel", [&] { f.fformoffcmd.onClick(); }}, {"close box", [&] { f.onClose(); }}};
  for (const auto& w : ways) {
    const std::string way = w.first;
    showfform(*app);
    app->main.playback = 1;
    dots = 0;
    events->hook = [&w, n = 0]() mutable {
      if (++n == 20) w.second();
    };
    f.plotcmd.onClick();
    events->hook = nullptr;
    EXPECT_LT(dots, 40) << way;
    EXPECT_EQ(std::tuple(f.visible, app->main.playback), std::tuple(false, way == "REPLAY" ? 0 : 1)) << way;
  }
}

}  // namespace
}  // namespace zarn::test
