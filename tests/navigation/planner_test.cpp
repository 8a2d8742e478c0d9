// The outside route planners: the request files, "O" and "OO" with the stand-in planner
// (tools/krv_planner.py) and its faulty variants, and the automatic planner's pick-up.
#include <gtest/gtest.h>
#include <stdlib.h>
#include <sys/stat.h>
#include <unistd.h>

#include <chrono>
#include <filesystem>
#include <functional>
#include <string>
#include <tuple>

#include "mainwindow/search.h"
#include "mainwindow/tick.h"
#include "geodesy/distance.h"
#include "geodesy/ukgrid.h"
#include "navigation/destinations.h"
#include "navigation/planner.h"
#include "navigation/routefiles.h"
#include "navigation/wpform.h"
#include "platform/programs.h"
#include "support/app_fixture.h"
#include "support/builders.h"

namespace zarn::test {
namespace {

// The test network (tests/data/planner): A 53.35 -2.34, B 53.355 -2.33, C 53.35 -2.32 and a
// longer way round A to C by D 53.34 -2.33; E stands alone.
const std::string routeac = " 3 \r\n532100N0022040W\r\n532130N0021980W\r\n532100N0021920W\r\n";
const std::string stale = " 1 \r\n510000N0010000W\r\n";
const std::string kept1 = "; ZARN.ROO as it was is kept in ZARNSAV1.ROO";

class PlannerTest : public AppTest {
 protected:
  void ready() override {
    squares({{"SJ", 300, 300}});
    ownfix(*app, 53.3501f, -2.3399f);  // by A
    float x = 0, y = 0;
    lltoosgb(app->geo, 53.35f, -2.3201f, x, y);  // by C
    app->nav.nodest = 0;
    app->nav.adhocdest = 7;
    putdest(app->nav, "C", x, y, "C");
    // A route already loaded, which a failed request must leave as it is.
    std::tie(app->nav.wpcount, app->nav.wpx[1], app->nav.wpy[1]) = std::tuple(1, 1.f, 2.f);
  }

  // The stand-in as KRV.EXE (and ZARNAUTO.EXE), with these options, on the test network in
  // either of the road tool's forms; waits follow the wall clock, `scale` program seconds to one
  // real second.
  void standin(const std::string& options, const std::string& network = "NODELINK.TXT", double scale = 20) {
    std::filesystem::copy(std::filesystem::path(ZARN_TEST_DATA) / "planner" / network, dir / network);
    for (const auto& [name, mode] : {std::pair{"krv.sh", "krv"}, {"zarnauto.sh", "auto"}}) {
      put(name, std::string("#!/bin/sh\nexec python3 " ZARN_SOURCE_DIR "/tools/krv_planner.py --mode ") + mode + " " +
                    options + "\n");
      ::chmod((dir / name).c_str(), 0755);
    }
    app->sys.programs = std::make_unique<platform::PosixPrograms>(app->files);
    const auto t0 = std::chrono::steady_clock::now();
    events->hook = [this, t0, scale] {
      ::usleep(200);
      clock->settimer(12 * 3600 + scale * std::chrono::duration<double>(std::chrono::steady_clock::now() - t0).count());
    };
  }
  // Waits in real time (the stand-in's own delays) until done holds, 10 s at most.
  static bool eventually(const std::function<bool()>& done) {
    for (int k = 0; k < 1000; ++k, ::usleep(10000))
      if (done()) return true;
    return done();
  }
  // The typed command, as the Enter key runs it: the key command's flag set meanwhile.
  void type(const std::string& command) {
    MainState& m = app->main;
    put("TOWNS.GTX", "");
    const int before = m.sentencemode;
    std::tie(m.searchidx, m.searchlists[1], m.typedcmd, m.sentencemode) = std::tuple(1, "TOWNS.GTX", 1, 1);
    app->win.zarn.search.text = command;
    findplace(*app);
    m.sentencemode = before;
  }
  bool stalekept() const { return app->nav.wpcount == 1 && app->nav.wpx[1] == 1.f; }
  // True once the route reader is built: a one-point file loads one waypoint.
  bool readerbuilt() {
    put("PROBE.ROO", stale);
    return readroute(*app, "PROBE.ROO") && app->nav.wpcount == 1;
  }
  const std::string& msg() const { return app->speech.msgtext; }
  // A new application in an emptied folder, for the next row.
  void anew() {
    app.reset();
    std::filesystem::remove_all(dir);
    make();
  }
};

TEST_F(PlannerTest, RequestFilesExactOrNothingWithABeep) {
  struct Row {
    const char* guards;
    std::function<void()> before;
    KrvAsk ask;
    std::string message;
  };
  const Row rows[] = {
      {"a request: own position then destination, the lease dated; the old done-file deleted", [] {}, KrvAsk::written, ""},
      {"a lease pending: a beep, the input and done-file as they were", [&] { put("KRVLEASE.TXT", "old\r\n"); },
       KrvAsk::pending, ""},
      {"no own position: said, nothing written", [&] { noownfix(*app); }, KrvAsk::refused,
       "No position for the route planner"},
      {"no destination: said, nothing written", [&] { app->nav.nodest = 1; }, KrvAsk::refused,
       "No destination for the route planner"},
  };
  for (const Row& r : rows) {
    anew();
    put("KRVINPUT.TXT", "old\r\n");
    put("KRVDONE.TXT", "");
    r.before();
    EXPECT_EQ(writekrvinput(*app), r.ask) << r.guards;
    const bool written = r.ask == KrvAsk::written;
    EXPECT_EQ(std::tuple(wav->beeps, msg(), has("KRVDONE.TXT")), std::tuple(written ? 0 : 1, r.message, !written))
        << r.guards;
    EXPECT_EQ(get("KRVINPUT.TXT"), written ? "53.350101 -002.339898\r\n53.349998 -002.320098\r\n" : "old\r\n") << r.guards;
    EXPECT_EQ(get("KRVLEASE.TXT"), written ? "10-26-2020 12:00:00\r\n" : r.ask == KrvAsk::pending ? "old\r\n" : "")
        << r.guards;
  }
}

// The planner's route takes the place of the route saved in ZARN.ROO, which is kept, and the
// message line says so.
TEST_F(PlannerTest, StandInAnswersOAndItsRouteIsRead) {
  standin("");
  std::tie(app->nav.wpcount, app->nav.wpx[2], app->nav.wpy[2], app->nav.wpx[3], app->nav.wpy[3]) =
      std::tuple(3, 370.f, 380.f, 371.f, 381.f);
  savecmd_Click(*app);  // Route Following's Save
  EXPECT_EQ(std::tuple(msg(), get("ZARN.ROO").substr(0, 4)), std::tuple("Route of 3 waypoints saved in ZARN.ROO", " 3 \r"));
  const std::string saved = get("ZARN.ROO");
  EXPECT_EQ(runkrv(*app), KrvEnd::loaded);
  const std::string replaced = "A planned route of 3 waypoints has replaced the route";
  EXPECT_EQ(std::tuple(get("ZARN.ROO"), has("KRVDONE.TXT"), has("KRV.REQ"), has("KRVLEASE.TXT"), msg()),
            std::tuple(routeac, true, false, false, replaced + kept1))
      << "the route was in place and the planner through when it was read";
  EXPECT_EQ(get("ZARNSAV1.ROO"), saved);
  EXPECT_EQ(runkrv(*app), KrvEnd::loaded) << "the planner took its lease away: a second request is answered";
  EXPECT_EQ(std::tuple(msg(), has("ZARNSAV2.ROO")), std::tuple(replaced, false)) << "the planner's own route is not kept";
  if (!readerbuilt()) GTEST_SKIP() << "the route reader is not built yet: the route itself is not checked";
  ASSERT_EQ(runkrv(*app), KrvEnd::loaded);
  EXPECT_EQ(app->nav.wpcount, 3);
}

// "O" on the demo: its own planner script and road network plan along the drive's roads.
TEST_F(PlannerTest, TheDemoPlansAlongItsRoads) {
  namespace fs = std::filesystem;
  const fs::path demo = fs::path(ZARN_SOURCE_DIR) / "data" / "demo";
  standin("");
  fs::remove(dir / "NODELINK.TXT");  // the test network's
  for (const char* f : {"LINKNODE.TXT", "NODES.TXT", "krv.sh"})
    fs::copy_file(demo / f, dir / f, fs::copy_options::overwrite_existing);
  ::setenv("ZARN_TOOLS", ZARN_SOURCE_DIR "/tools", 1);
  ownfix(*app, 53.358123f, -2.306162f);  // the drive's first junction
  float x = 0, y = 0;
  lltoosgb(app->geo, 53.342490f, -2.405977f, x, y);  // and one on its far side
  putdest(app->nav, "far", x, y, "far");
  ASSERT_EQ(runkrv(*app), KrvEnd::loaded) << msg();
  const NavState& n = app->nav;
  EXPECT_GE(n.wpcount, 5);
  // Every waypoint is a junction of the network.
  const auto nodes = app->files.readlines("NODES.TXT");
  ASSERT_TRUE(nodes);
  for (int k = 1; k <= n.wpcount; ++k) {
    double best = 1e9;
    for (const auto& l : *nodes) {
      float nx = 0, ny = 0, d = 0;
      int b = 0;
      const float lat = std::stof(l.substr(0, 9)), lon = std::stof(l.substr(10, 11));
      lltoosgb(app->geo, lat, lon, nx, ny);
      distbearing(app->geo, n.wpx[std::size_t(k)], n.wpy[std::size_t(k)], nx, ny, d, b);
      best = std::min(best, double(d));
    }
    EXPECT_LT(best, 0.02) << "waypoint " << k;
  }
}

TEST_F(PlannerTest, FaultyPlannersAreSaidAndNothingStaleIsRead) {
  struct Row {
    const char* guards;
    std::string options;  // empty: no planner at all
    KrvEnd end;
    std::string message;
    std::function<void()> before = [] {};
  };
  const Row rows[] = {
      {"never answers", "--fault silent", KrvEnd::timedout, "KRV.EXE did not answer"},
      {"answers after the 120 s", "--fault late --delay 2", KrvEnd::timedout, "KRV.EXE did not answer"},
      {"dies half way through the route file", "--fault half", KrvEnd::timedout, "KRV.EXE did not answer"},
      {"cannot be started: said at once, no wait", "", KrvEnd::notstarted, "KRV.EXE: program not found: KRV.EXE"},
      {"a lease pending and the done-file of an earlier request: not taken as the answer", "--fault silent",
       KrvEnd::timedout, "KRV.EXE did not answer", [&] { put("KRVLEASE.TXT", "old\r\n"), put("KRVDONE.TXT", ""); }},
  };
  for (const Row& r : rows) {
    anew();
    standin(r.options, "NODELINK.TXT", 100);  // the 120 s in 1.2 s
    if (r.options.empty()) std::filesystem::remove(dir / "krv.sh");
    put("ZARN.ROO", stale);
    r.before();
    const float t0 = app->timer();
    EXPECT_EQ(runkrv(*app), r.end) << r.guards;
    EXPECT_EQ(msg(), r.message) << r.guards;
    EXPECT_TRUE(stalekept()) << r.guards;
    if (r.end == KrvEnd::notstarted) {
      // Well short of the 120 s a started planner is given (at this scale 5 s would be 50 ms of
      // real time, which a loaded machine can take to find that the program is missing).
      EXPECT_LT(app->timer() - t0, 60) << r.guards;
    }
    if (r.options.find("late") != std::string::npos) {
      ASSERT_TRUE(eventually([&] { return has("KRVDONE.TXT"); })) << "the late answer comes after all";
      EXPECT_TRUE(stalekept()) << "and is not taken by the request that gave up";
    }
  }
}

TEST_F(PlannerTest, OOIsDoneOnlyOnceThePlannerWasSeenAtWorkOrLeftItsDoneFile) {
  waitstep = 0;
  struct Step {
    std::function<void()> act;
    int krvwait;  // after the tick that follows
  };
  struct Row {
    const char* guards;
    std::vector<Step> steps;
    std::string message;
  };
  const auto tick = [&] { krvcheck(*app); };
  const Row rows[] = {
      {"a tick before KRV.REQ exists reads nothing; gone again, the route is read",
       {{[] {}, 1}, {[&] { put("KRV.REQ", ""); }, 1}, {[] {}, 1}, {[&] { std::filesystem::remove(dir / "KRV.REQ"); }, 0}},
       "A planned route of 1 waypoint has replaced the route" + kept1},
      {"the done-file ends it though KRV.REQ was never seen", {{[] {}, 1}, {[&] { put("KRVDONE.TXT", ""); }, 0}},
       "A planned route of 1 waypoint has replaced the route" + kept1},
      {"KRV.REQ made and removed between two ticks: the route written since is read",
       {{[] {}, 1}, {[&] { put("ZARN.ROO", routeac); }, 0}},
       "A planned route of 3 waypoints has replaced the route" + kept1},
      {"a route written while KRV.REQ is there is not read yet", {{[&] { put("KRV.REQ", ""), put("ZARN.ROO", routeac); }, 1}}, ""},
      {"the user's own save of the route meanwhile is no answer of the planner's",
       {{[&] { savecmd_Click(*app); }, 1}, {[] {}, 1}}, "Route of 1 waypoint saved in ZARN.ROO"},
      {"120 s without an answer: said, nothing read",
       {{[&] { clock->advance(119); }, 1}, {[&] { clock->advance(1); }, 0}}, "KRV.EXE did not answer"},
  };
  for (const Row& r : rows) {
    anew();
    put("ZARN.ROO", stale);
    put("KRVDONE.TXT", "");  // from an earlier request: the request deletes it
    type("OO");
    ASSERT_EQ(app->nav.krvwait, 1) << r.guards;
    for (std::size_t k = 0; k < r.steps.size(); ++k) {
      r.steps[k].act();
      tick();
      EXPECT_EQ(app->nav.krvwait, r.steps[k].krvwait) << r.guards << ", step " << k;
    }
    EXPECT_EQ(msg(), r.message) << r.guards;
  }
  anew();
  put("KRVLEASE.TXT", "");
  type("OO");
  EXPECT_EQ(std::tuple(app->nav.krvwait, wav->beeps), std::tuple(0, 1)) << "a pending lease: a beep, nothing awaited";
}

// A ZARN.ROO the planner did not write is kept before a request, once however often it is asked
// for, in nine copies at most; one that cannot be kept stops the request.
TEST_F(PlannerTest, TheRouteInZarnRooIsKeptOnceInOneOfNineCopies) {
  namespace fs = std::filesystem;
  const auto answered = [&](const std::string& before) {  // "OO" and the planner's answer
    put("ZARN.ROO", before), fs::remove(dir / "KRVLEASE.TXT");
    type("OO");
    put("ZARN.ROO", routeac), put("KRVDONE.TXT", ""), krvcheck(*app);
    return msg().substr(msg().find(';') + 1);
  };
  const auto copy = [](int k) { return "ZARNSAV" + std::to_string(k) + ".ROO"; };
  EXPECT_EQ(answered(stale), kept1.substr(1));
  EXPECT_EQ(answered(stale), kept1.substr(1)) << "the same route again";
  EXPECT_EQ(std::tuple(get(copy(1)), has(copy(2))), std::tuple(stale, false));
  const auto now = fs::file_time_type::clock::now();
  for (int k = 1; k <= 9; ++k)
    put(copy(k), "old"), fs::last_write_time(dir / copy(k), now - std::chrono::hours(k == 5 ? 2 : 1));
  EXPECT_EQ(answered(stale), " ZARN.ROO as it was is kept in ZARNSAV5.ROO") << "the oldest";
  EXPECT_EQ(get(copy(5)), stale);
  for (int k = 1; k <= 9; ++k) fs::remove(dir / copy(k)), fs::create_directory(dir / copy(k));
  fs::remove(dir / "KRVINPUT.TXT");
  answered(stale);
  EXPECT_EQ(std::tuple(app->nav.krvwait, has("KRVINPUT.TXT"), wav->beeps), std::tuple(0, false, 1))
      << "not kept, not asked";
}

TEST_F(PlannerTest, OOWithTheStandInAtWorkInTheBackground) {
  standin("");
  platform::SpawnOptions o;
  std::tie(o.dir, o.searchpath) = std::tuple(dir, true);
  const pid_t pid = platform::spawnprogram(
      "python3", {"python3", ZARN_SOURCE_DIR "/tools/krv_planner.py", "--watch", "--count", "1", "--seconds", "10"}, o);
  ASSERT_GT(pid, 0);
  type("OO");
  app->waitfor(120, [&] { return krvcheck(*app), app->nav.krvwait == 0; });
  EXPECT_EQ(std::tuple(platform::waitprogram(pid), app->nav.krvwait, msg(), get("ZARN.ROO")),
            std::tuple(0, 0, "A planned route of 3 waypoints has replaced the route", routeac));
}

TEST_F(PlannerTest, TheTickAndTheSerialPortRunWhileOWaits) {
  app->gps.gpsoncom = 1;
  // An automatic planner's answer awaited: only the tick looks for it.
  std::tie(app->nav.planner.autowait, app->nav.planner.autoasked) = std::tuple(true, app->timer());
  int passes = 0;
  bool intick = false;
  float lat = 0;  // the own latitude before the first tick
  events->hook = [&] {
    if (intick) return;  // the tick's own pass of events
    clock->advance(0.05);
    ++passes;
    if (passes == 100) serial->chunks.push_back("$GPRMC,145240.00,A,5321.4835,N,00218.3930,W,52.2778,253.784,261020,-1.2,W*78\r\n");
    if (passes == 50) put("ZARNAUTO.RGI", "END\r\nEND\r\n");
    if (passes == 120) type("O"), type("OO");  // typed again while it waits
    if (passes == 149) lat = app->gps.ownlat;
    if (passes == 200) put("ZARN.ROO", routeac), put("KRVDONE.TXT", "");
    if (passes >= 150 && passes % 5 == 0) {  // the timer from 7.5 s on: the sentence is the wait's own poll's
      intick = true;
      Timer1_Timer(*app);
      intick = false;
    }
  };
  type("O");
  EXPECT_EQ(std::tuple(passes, programs->started.size(), app->nav.krvwait, wav->beeps), std::tuple(201, 1u, 0, 2))
      << "done after 10 s (one pass more: the message that the route was replaced is spoken); the planner started "
         "once; typed again, O and OO beep";
  EXPECT_NEAR(lat, 53 + 21.4835f / 60, 1e-4) << "a sentence that came during the wait was taken in by the wait";
  EXPECT_EQ(app->nav.rgifile, "ZARNAUTO.RGI") << "the tick's services ran";
  EXPECT_EQ(app->main.sentencemode, 0);
}

class AutoPlannerTest : public PlannerTest {
 protected:
  void ask() {
    put("ZARNAUTO.CFG", "");
    float x = 0, y = 0;
    lltoosgb(app->geo, 53.35f, -2.32f, x, y);
    setdest(*app, 0, x, y, "Mill");
  }
};

TEST_F(AutoPlannerTest, RequestWrittenAndOldResultsDeleted) {
  put("ZARNAUTO.RGI", "old"), put("ZARNAUTO.ROO", stale);
  ask();
  const auto lines = app->files.readlines("ZARNAUTO.TXT").value_or(Items{});
  EXPECT_EQ(lines, (Items{"DESTINATION", "Mill", app->nav.destname[7], " 53.35 ", "-2.32 ", "CAR", app->gps.owngrid,
                          " 53.3501 ", "-2.339898 ", "10-26-2020", "12:00:00"}));
  ASSERT_EQ(programs->started.size(), 1u);
  EXPECT_EQ(std::tuple(programs->started[0].program, has("ZARNAUTO.RGI"), has("ZARNAUTO.ROO")),
            std::tuple(std::filesystem::path("ZARNAUTO.EXE"), false, false));
  anew();
  noownfix(*app);
  ask();
  EXPECT_EQ(std::tuple(has("ZARNAUTO.TXT"), wav->beeps, msg()), std::tuple(false, 1, "No position for the route planner"));
}

// Without the planner program the request is written for one that works on its own, and what
// such a planner left is kept.
TEST_F(AutoPlannerTest, WithoutTheProgramTheResultsThereAreKept) {
  programs->succeed = false;
  put("ZARNAUTO.RGI", "END\r\nEND\r\n"), put("ZARNAUTO.ROO", stale);
  ask();
  EXPECT_EQ(std::tuple(has("ZARNAUTO.TXT"), has("ZARNAUTO.RGI"), get("ZARNAUTO.ROO"), programs->started.size()),
            std::tuple(true, true, stale, 0u));
}

TEST_F(AutoPlannerTest, ResultsTakenOnceTheyStandStillWithinTheBound) {
  waitstep = 0;
  const auto w = [&]() -> const PlannerWait& { return app->nav.planner; };  // of the application in use
  const auto look = [&] { krvcheck(*app); };
  ask();
  look();
  put("ZARNAUTO.ROO", "");
  look(), look();
  EXPECT_FALSE(w().rootaken) << "an empty file is not an answer";
  put("ZARNAUTO.ROO", " 2 \r\n5321");
  look();
  put("ZARNAUTO.ROO", " 2 \r\n532100N0022040W\r\n532130N0021980W\r\n");
  look();
  EXPECT_FALSE(w().rootaken) << "still growing";
  look();
  EXPECT_TRUE(w().rootaken && w().autowait) << "the same size twice: taken; guidance still looked for";
  put("ZARNAUTO.RGI", "532130N0021980W,100,90,45,RGI$TR.WAV,RGI$TR\r\nTurn right\r\nEND\r\nEND\r\n");
  look(), look();
  EXPECT_EQ(std::tuple(w().rgitaken, w().autowait, app->nav.rgifile), std::tuple(true, false, "ZARNAUTO.RGI"));

  struct Row {
    const char* guards;
    std::function<void()> meanwhile;
    std::string message;
  };
  const Row rows[] = {
      {"nothing within 120 s: said, no longer looked for", [&] { clock->advance(120); }, "ZARNAUTO.EXE did not answer"},
      {"a newer destination cancels the look", [&] { setdest(*app, 1, 370, 380, "elsewhere"); }, ""},
  };
  for (const Row& r : rows) {
    anew();
    ask();
    look();
    r.meanwhile();
    look();
    put("ZARNAUTO.ROO", stale);
    look(), look();
    EXPECT_EQ(std::tuple(w().autowait, w().rootaken, msg()), std::tuple(false, false, r.message)) << r.guards;
  }
}

TEST_F(AutoPlannerTest, StandInRouteAndGuidanceArePickedUp) {
  standin("--rgi", "LINKNODE.TXT");
  ask();
  app->waitfor(120, [&] { return krvcheck(*app), !app->nav.planner.autowait; });
  EXPECT_EQ(std::tuple(app->nav.planner.rgitaken, app->nav.planner.rootaken, app->nav.rgifile, msg()),
            std::tuple(true, true, "ZARNAUTO.RGI", "reading Route Guidance Instructions ..."));
  EXPECT_EQ(get("ZARNAUTO.ROO"), routeac);
}

}  // namespace
}  // namespace zarn::test
