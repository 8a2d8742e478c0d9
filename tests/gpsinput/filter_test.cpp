// The playback filter engine over real logs: each filter alone, SAVE against a filter written
// here from the sentences themselves, FIND NEAREST, and outputs that cannot be opened.
#include <cmath>
#include <fstream>
#include <sstream>

#include "geodesy/distance.h"
#include "geodesy/postext.h"
#include "geodesy/ukgrid.h"
#include "gpsinput/fform.h"
#include "gpsinput/filter.h"
#include "gpsinput/logs.h"
#include "gpsinput/tracklines.h"
#include "geodesy/helpers.h"
#include "gpstest.h"
#include "platform/printer.h"
#include "platform/textrules.h"

namespace zarn::test {
namespace {

namespace fs = std::filesystem;

std::string slurp(const fs::path& p) {
  std::ifstream in(p, std::ios::binary);
  return {std::istreambuf_iterator<char>(in), {}};
}
const fs::path drive = ZARN_TEST_DATA "/nmea/drive/cheshire-2020-10-26.nmea";

class FilterTest : public GpsTest {
 protected:
  void ready() override {
    GpsTest::ready();
    app->main.playback = 1;  // the status line shows every record, as in the window
    app->hooks.plotmap = [this](App&, const PlotStep& s) { steps.push_back(s); };
  }
  // The log under a name the engine reads with the NMEA parser.
  void uselog(const fs::path& src, const std::string& name = "LOG.NME") {
    put(name, slurp(src));
    setreplayfile(app->gps, name);
  }
  PlotResult run(PlotMode mode) { return plotfilter(*app, form(), mode); }
  FForm& form() { return app->win.get<FForm>(); }
  long count(PlotStep::Kind k) const {
    return std::count_if(steps.begin(), steps.end(), [k](const PlotStep& s) { return s.kind == k; });
  }
  std::vector<PlotStep> steps;
};

// One filter box set, and a record that differs from a plain one (26 Oct 2020 at noon, at rest,
// SJ 75000 80000) in one value.
struct Case {
  const char* guards;
  void (*box)(FilterBoxes&);
  void (*rec)(GpsState&);
  bool pass;
};
using B = FilterBoxes&;
using R = GpsState&;
void day(R g, const char* d, const char* t) { g.gpsdayno = daynumber(d), g.fixsecs = timetosecs(t); }

TEST_F(FilterTest, EachFilterAloneKeepsItsBoundsAndNothingElse) {
  const auto newyear = [](B b) { b.dfrom = "311299", b.dto = "010100"; };
  const Case cases[] = {
      {"at most 30 keeps 30", [](B b) { b.sfilter = "30", b.ltgt = "<="; }, [](R g) { g.ownspd = 30; }, true},
      {"at most 30 drops 30.1", [](B b) { b.sfilter = "30", b.ltgt = "<="; }, [](R g) { g.ownspd = 30.1f; }, false},
      {"at least 30 keeps 30", [](B b) { b.sfilter = "30"; }, [](R g) { g.ownspd = 30; }, true},
      {"at least 30 drops 29.9", [](B b) { b.sfilter = "30"; }, [](R g) { g.ownspd = 29.9f; }, false},
      {"New Year: the first second", newyear, [](R g) { day(g, "311299", "00:00:00"); }, true},
      {"New Year: the last second", newyear, [](R g) { day(g, "010100", "23:59:59"); }, true},
      {"New Year: the day before", newyear, [](R g) { day(g, "301299", "23:59:59"); }, false},
      {"New Year: the day after", newyear, [](R g) { day(g, "020100", "00:00:00"); }, false},
      {"a time range without a date keeps a later dated record", [](B b) { b.tfrom = "10:00", b.tto = "11:00"; }, [](R) {}, true},
      {"a time range on a day", [](B b) { b.dfrom = b.dto = "261020", b.tfrom = "10:00", b.tto = "11:00"; }, [](R) {}, false},
      {"call sign exact", [](B b) { b.csgn = " G4ABC "; }, [](R g) { g.callsign = "G4ABC"; }, true},
      {"call sign case counts", [](B b) { b.csgn = "G4ABC"; }, [](R g) { g.callsign = "g4abc"; }, false},
      {"quality at least 3", [](B b) { b.quality = "3"; }, [](R g) { g.agdqual = 2; }, false},
      {"quality at most 3", [](B b) { b.quality = "3", b.qcmd = "<="; }, [](R g) { g.agdqual = 2; }, true},
      {"within 1 km", [](B b) { b.rfilter = "1", b.gfilter = "SJ 75000 80000"; }, [](R g) { g.ownx = 375.9f; }, true},
      {"beyond 1 km", [](B b) { b.rfilter = "1", b.gfilter = "SJ 75000 80000"; }, [](R g) { g.ownx = 376.1f; }, false},
      {"a distance without a centre is no filter", [](B b) { b.rfilter = "1"; }, [](R g) { g.ownx = 500; }, true},
  };
  for (const Case& c : cases) {
    GpsState& g = app->gps;
    std::tie(g.ownspd, g.callsign, g.agdqual, g.ownx, g.owny) = std::tuple(0.0f, "", 0, 375.0f, 380.0f);
    day(g, "261020", "12:00:00");
    c.rec(g);
    FilterBoxes boxes;
    c.box(boxes);
    EXPECT_EQ(passes(app->geo, readfilters(app->geo, boxes), g), c.pass) << c.guards;
  }
}

TEST_F(FilterTest, WithEveryBoxEmptyEveryLineOfARealLogIsARecordThatPasses) {
  for (const char* name : {"bt451.log", "bundg_zeus_9.log", "nl2008u.log", "nd-1005.log", "sounder.log"}) {
    const std::string text = slurp(fs::path(ZARN_TEST_DATA "/nmea/gpsd") / name);
    long lines = 0;
    for (const auto& l : platform::splitlines(text)) lines += l.size() >= 3;
    uselog(fs::path(ZARN_TEST_DATA "/nmea/gpsd") / name);
    steps.clear();
    const PlotResult r = run(PlotMode::plot);
    EXPECT_TRUE(r.opened) << name;
    EXPECT_EQ(std::tuple(r.records, r.passed, count(PlotStep::Kind::dot)), std::tuple(lines, lines, lines)) << name;
    EXPECT_EQ(form().ltgt.caption, ">=");
  }
}

TEST_F(FilterTest, SaveWritesExactlyThePassingLinesOfTheDriveWithTheirGridReferences) {
  uselog(drive);
  auto& f = form();
  f.dfrom.text = f.dto.text = "261020";
  f.tfrom.text = "14:58:00";
  f.tto.text = "15:01:30";
  f.sfilter.text = "80";
  const PlotResult r = run(PlotMode::save);

  // The same filter from the sentences: RMC and ZDA carry the time and date, RMC the speed,
  // RMC and GGA the position.
  std::vector<std::string> want;
  std::string date;
  double secs = -1;
  float speed = 0, lat = 0, lon = 0;
  bool haspos = false;
  for (const auto& l : platform::splitlines(slurp(drive))) {
    if (l.size() < 3) continue;
    std::vector<std::string> fl;
    std::stringstream ss(l.substr(0, l.find('*')));
    for (std::string x; std::getline(ss, x, ',');) fl.push_back(x);
    auto hms = [](const std::string& t) { return std::stod(t.substr(0, 2)) * 3600 + std::stod(t.substr(2, 2)) * 60 + std::stod(t.substr(4, 2)); };
    auto deg = [](const std::string& v, int d, const std::string& h) {
      const double x = std::stod(v.substr(0, d)) + std::stod(v.substr(d)) / 60;
      return static_cast<float>(h == "S" || h == "W" ? -x : x);
    };
    if (fl[0] == "$GPZDA") {
      secs = hms(fl[1]);
      date = fl[2] + fl[3] + fl[4].substr(2);
    } else if (fl[0] == "$GPRMC" && !fl[3].empty()) {
      secs = hms(fl[1]);
      date = fl[9];
      speed = static_cast<float>(std::stod(fl[7]) * 1.85);
      lat = deg(fl[3], 2, fl[4]), lon = deg(fl[5], 3, fl[6]), haspos = true;
    } else if (fl[0] == "$GPGGA" && !fl[2].empty()) {
      lat = deg(fl[2], 2, fl[3]), lon = deg(fl[4], 3, fl[5]), haspos = true;
    }
    if (date == "261020" && secs >= 14 * 3600 + 58 * 60 && secs <= 15 * 3600 + 90 && speed >= 80 && haspos) {
      float x = 0, y = 0;
      std::string t;
      lltoosgb(app->geo, lat, lon, x, y);
      gridreftext(app->geo, x, y, t);
      want.push_back(l + " " + t);
    }
  }
  ASSERT_GT(want.size(), 50u);
  EXPECT_EQ(r.passed, static_cast<long>(want.size()));
  EXPECT_EQ(platform::splitlines(get("FILTER.TXT")), want);
  EXPECT_EQ(get("FILTER.TXT").size(), [&] {
    std::size_t n = 0;
    for (const auto& w : want) n += w.size() + 2;  // each ends CR LF
    return n;
  }());
}

TEST_F(FilterTest, DatesOfAnAgdLogAcrossNewYearAreInclusive) {
  put("NY.AGD",
      "30/12/1999 23:59:59     2 53.350000 -2.300000 A 3.0 4.0 50.0\r\n"
      "31/12/1999 00:00:00     2 53.351000 -2.300000 A 3.0 4.0 50.0\r\n"
      "01/01/2000 23:59:59     2 53.352000 -2.300000 A 3.0 4.0 50.0\r\n"
      "02/01/2000 00:00:00     2 53.353000 -2.300000 A 3.0 4.0 50.0\r\n");
  setreplayfile(app->gps, "NY.AGD");
  form().dfrom.text = "311299";
  form().dto.text = "010100";
  const PlotResult r = run(PlotMode::print);
  EXPECT_EQ(std::tuple(r.records, r.passed), std::tuple(4L, 2L));
  ASSERT_EQ(printer->lines.size(), 2u);
  EXPECT_TRUE(printer->lines[0].starts_with("31/12/1999") && printer->lines[1].starts_with("01/01/2000"));
}

TEST_F(FilterTest, FindNearestKeepsTheFirstOfEqualDistancesAndTheOwnFixWhenNothingPasses) {
  uselog(drive);
  // The destination where the drive starts: the car stands there for its first records.
  float x = 0, y = 0;
  lltoosgb(app->geo, 53.0f + 21.4874f / 60, -(2.0f + 18.3697f / 60), x, y);
  app->nav.curdest = 3;
  app->nav.destx[3] = x;
  app->nav.desty[3] = y;
  run(PlotMode::nearest);
  const std::string first = "$GPGGA,145239.00,5321.4874,N,00218.3697,W,2,14,,62.60,M,50.137,M,,*56";
  EXPECT_TRUE(app->speech.msgtext.starts_with(first + " SJ")) << app->speech.msgtext;
  EXPECT_EQ(form().dtgt.caption, "14:52:39 261020");
  // Each nearer record moves the marker; only the first places the symbol.
  std::vector<PlotStep> found;
  std::copy_if(steps.begin(), steps.end(), std::back_inserter(found), [](auto& s) { return s.kind == PlotStep::Kind::found; });
  ASSERT_FALSE(found.empty());
  EXPECT_TRUE(found.back().label.starts_with("14:52:39 261020 SJ")) << found.back().label;
  EXPECT_EQ(std::count_if(found.begin(), found.end(), [](auto& s) { return s.first; }), 1);
  EXPECT_TRUE(found.front().first);
  EXPECT_EQ(std::tuple(count(PlotStep::Kind::dot), count(PlotStep::Kind::car)), std::tuple(1L, 1L));
  EXPECT_EQ(std::tuple(app->gps.ownx, app->gps.owny), std::tuple(app->gps.lastfixx, app->gps.lastfixy));

  // Nothing passes: the car stays, no dot, and the user is told.
  steps.clear();
  app->gps.ownx = 380;
  app->gps.owny = 385;
  app->gps.ownhdg = 90;
  form().csgn.text = "NOBODY";
  run(PlotMode::nearest);
  EXPECT_EQ(std::tuple(app->gps.ownx, app->gps.owny, app->gps.ownhdg), std::tuple(380.0f, 385.0f, 90));
  EXPECT_EQ(count(PlotStep::Kind::dot) + count(PlotStep::Kind::car) + count(PlotStep::Kind::found), 0);
  EXPECT_EQ(app->speech.msgtext, "Nothing found");
}

TEST_F(FilterTest, ADestinationChosenWhileFindNearestRunsIsTheOneSearchedFor) {
  uselog(drive);
  form().sfilter.text = "50";  // km/h and faster, as a record passing both places is
  const auto at = [this](float latmin, float lonmin) {
    float x = 0, y = 0;
    lltoosgb(app->geo, 53.0f + latmin / 60, -(2.0f + lonmin / 60), x, y);
    return std::pair(x, y);
  };
  app->nav.curdest = 3;
  std::tie(app->nav.destx[3], app->nav.desty[3]) = at(21.4874f, 18.3697f);  // where the drive starts
  // A click on the map while the search reads: the destination becomes a place the drive
  // passed at 14:58:43 at 55 km/h, long before the line the click comes at.
  const std::pair<float, float> clicked = at(20.6220f, 24.3358f);  // no structured binding: the lambda captures it
  const float nx = clicked.first, ny = clicked.second;
  long passes = 0;
  events->hook = [&, x = nx, y = ny] {
    if (++passes == 8000) std::tie(app->nav.destx[3], app->nav.desty[3]) = std::pair(x, y);
  };
  const PlotResult r = run(PlotMode::nearest);
  ASSERT_GT(passes, 8000);
  float d = 0;
  int b = 0;
  distbearing(app->geo, app->gps.ownx, app->gps.owny, nx, ny, d, b);
  EXPECT_LT(d, 0.001f) << "the car is put " << d << " km from the destination";
  // The first record there (the drive stood still for a second), shown on the status line.
  EXPECT_TRUE(app->speech.msgtext.starts_with("$GPGGA,145843.00,5320.6220,N,00224.3358,W")) << app->speech.msgtext;
  EXPECT_GT(r.records, 11000);  // the whole log, read again for the new destination
}

TEST_F(FilterTest, AnOutputThatCannotBeOpenedStopsTheRunBeforeItReads) {
  uselog(drive);
  // A printer switched off: the spooler's stand-in refuses the job.
  const fs::path lp = fs::path(ZARN_SOURCE_DIR) / "tools" / "lp_standin.py";
  struct Printer {
    std::unique_ptr<platform::Printer> p;
    const char* what;
  };
  Printer printers[] = {
      {std::make_unique<platform::LpPrinter>("/nonexistent/lp"), "a spooler client that is missing"},
      {std::make_unique<platform::FilePrinter>(app->files, "NODIR/X/PRN.TXT"), "a printer file that cannot be made"},
  };
  for (auto& [p, what] : printers) {
    app->sys.printer = std::move(p);
    steps.clear();
    const int beeps = wav->beeps;
    const PlotResult r = run(PlotMode::print);
    EXPECT_TRUE(r.outputfailed && r.records == 0 && steps.empty()) << what;
    EXPECT_TRUE(app->speech.msgtext.starts_with("Printer Error. Switched on ?")) << what;
    EXPECT_EQ(wav->beeps, beeps + 1) << what;
  }
  // The stand-in that takes the open and the text but refuses the job: said, with its reason,
  // once the run's job is handed over, at its end. The run waits for it with events let run,
  // a real moment at a time (the clock here stands still).
  dynamic_cast<platform::NoEvents&>(*app->sys.events).hook = [n = 0]() mutable {
    if (++n % 10 == 0) ::usleep(1000);
  };
  app->sys.printer = std::make_unique<platform::LpPrinter>(lp.string(), std::vector<std::string>{"--fail"});
  PlotResult r = run(PlotMode::print);
  EXPECT_TRUE(r.outputfailed);
  EXPECT_GT(r.passed, 8000);
  EXPECT_EQ(app->speech.msgtext, "Printer Error. Switched on ? (lp: Error - The printer or class does not exist.)");

  // FILTER.TXT where a folder of that name stands.
  fs::create_directories(dir / "FILTER.TXT");
  r = run(PlotMode::save);
  EXPECT_TRUE(r.outputfailed && r.records == 0);
  EXPECT_TRUE(app->speech.msgtext.starts_with("FILTER.TXT cannot be written")) << app->speech.msgtext;
}

// PRINT sends the run to the spooler as one job, its lines as they were filtered, however
// many; the log's own printing goes on in jobs of its own.
TEST_F(FilterTest, PrintIsOneJobForTheWholeRun) {
  const std::string log = slurp(drive);
  std::size_t end = 0;
  for (int i = 0; i < 120; ++i) end = log.find('\n', end) + 1;
  put("LOG.NME", log.substr(0, end));
  setreplayfile(app->gps, "LOG.NME");
  const fs::path jobs = dir / "jobs";
  fs::create_directories(jobs);
  app->sys.printer = std::make_unique<platform::LpPrinter>(
      ZARN_SOURCE_DIR "/tools/lp_standin.py", std::vector<std::string>{"--out", (dir / "lp.out").string(), "--jobs", jobs.string()});
  dynamic_cast<platform::NoEvents&>(*app->sys.events).hook = [n = 0]() mutable {
    if (++n % 10 == 0) ::usleep(1000);  // the run waits for its job a real moment at a time
  };
  EXPECT_TRUE(app->sys.printer->printline("10:59 a line of the log, before the run"));
  const PlotResult r = run(PlotMode::print);
  ASSERT_FALSE(r.outputfailed);
  ASSERT_GT(r.passed, 50);
  std::vector<std::string> printed;
  for (const auto& f : fs::directory_iterator(jobs)) printed.push_back(f.path().filename().string());
  ASSERT_EQ(printed, std::vector<std::string>{"job-1.txt"}) << "the run, while the log's burst is still open";
  const auto lines = platform::splitlines(slurp(jobs / "job-1.txt"));
  EXPECT_EQ(static_cast<long>(lines.size()), r.passed);
  EXPECT_TRUE(lines.front().starts_with("$GPZDA,145239.00") && lines.back().starts_with("$GP")) << lines.back();
  EXPECT_TRUE(app->sys.printer->flush());
  for (int i = 0; i < 30000 && app->sys.printer->busy(); ++i) ::usleep(10000), app->sys.printer->collect();
  EXPECT_EQ(slurp(jobs / "job-2.txt"), "10:59 a line of the log, before the run\n");
}

// DRAW with time labels over the drive, which passes its roads both ways: each label stands more
// than 50 pixels from the one before, as the labels along one pass do, and none covers another.
TEST_F(FilterTest, DrawnTimeLabelsStandApartAndNeverCoverEachOther) {
  uselog(drive);
  gridview(*app, 369.57f, 378.55f, 382.35f, 388.13f);  // the demo's map of Ashley and Mobberley
  form().labelon.value = 1;
  app->gps.drawmode = 1;
  EXPECT_GT(run(PlotMode::draw).passed, 10000);
  struct Label {
    double l, t, r, b;
  };
  std::vector<Label> labels;
  for (const ui::DrawOp& o : app->win.zarn.surface.ops()) {
    if (o.type != ui::DrawOp::Text) continue;
    const ui::Font font{o.fontsize, false};
    // The square's centre is 3 pixels up and left of the text.
    labels.push_back({o.x1 - 6, o.y1 - 6, o.x1 + ui::textwidth(nullptr, o.text, font), o.y1 + ui::textheight(nullptr, font)});
    EXPECT_EQ(o.text.size(), 4u) << o.text;
  }
  ASSERT_GT(labels.size(), 10u);
  for (std::size_t i = 0; i < labels.size(); ++i) {
    const Label& a = labels[i];
    if (i > 0) {
      EXPECT_GT(std::abs(a.l - labels[i - 1].l) + std::abs(a.t - labels[i - 1].t), 50) << i;
    }
    for (std::size_t j = 0; j < i; ++j) {
      const Label& b = labels[j];
      EXPECT_FALSE(a.l < b.r && b.l < a.r && a.t < b.b && b.t < a.b) << "label " << i << " over label " << j;
    }
  }
}

// DRAW: the first record's dot keeps the colour the map was drawing in; the rest of the track
// is in the window's DRAW colour.
TEST_F(FilterTest, TheFirstDrawnDotKeepsTheColourItFindsAndTheTrackTakesTheDrawColour) {
  uselog(drive);
  gridview(*app, 369.57f, 378.55f, 382.35f, 388.13f);
  form().drawcol.bordercolor = drawcolour(2);
  ui::DrawSurface& z = app->win.zarn.surface;
  z.forecolor = ui::green;
  std::tie(app->gps.prevx, app->gps.prevy) = std::pair(376.f, 383.f);  // where the run starts the car
  app->gps.drawmode = 1;
  EXPECT_GT(run(PlotMode::draw).passed, 10000);
  std::vector<ui::DrawOp> ops;
  for (const ui::DrawOp& o : z.ops())
    if (o.type == ui::DrawOp::Point || o.type == ui::DrawOp::Line) ops.push_back(o);
  ASSERT_GT(ops.size(), 3u);
  EXPECT_EQ(std::tuple(ops[0].type, ops[0].colour), std::tuple(ui::DrawOp::Point, ui::green));
  EXPECT_EQ(std::tuple(ops[1].type, ops[1].colour), std::tuple(ui::DrawOp::Point, ui::red));
  EXPECT_EQ(std::tuple(ops[2].type, ops[2].colour, ops.back().colour), std::tuple(ui::DrawOp::Line, ui::red, ui::red));
  EXPECT_EQ(z.forecolor, ui::green);
}

}  // namespace
}  // namespace zarn::test
