// The application object's windows, the running program's main tick and its end.
#include <gtest/gtest.h>
#include <pthread.h>

#include <QEvent>
#include <csignal>
#include <cstdio>
#include <deque>

#include "app/app.h"
#include "app/main/shell.h"
#include "gpsinput/serialpoll.h"
#include "mainwindow/tick.h"
#include "platform/fakes.h"
#include "platform/qt/endsignals.h"
#include "platform/qt/formview.h"
#include "platform/qt_support.h"

namespace zarn {
namespace {

using qttest::key;
namespace mb = platform::mb;

TEST(AppWindows, OtherWindowsExistOnlyOnceUsedAndMessageBoxesGoToTheDialogService) {
  App app;
  EXPECT_EQ(app.win.find("cform"), nullptr);
  EXPECT_EQ(app.win.all().at(0), &app.win.zarn) << "the main window comes first";
  EXPECT_EQ(app.win.zarn.find("o", 0), &app.win.zarn.o[0]) << "array elements by name and index";
  auto& d = dynamic_cast<platform::ScriptedDialogs&>(*app.sys.dialogs);
  d.answers = {mb::idno};
  EXPECT_EQ(app.msgbox("Exit ZARN ?", mb::yesno | mb::question, "ZARN"), mb::idno);
  EXPECT_EQ(app.msgbox("And again ?", mb::yesno, "ZARN"), mb::idyes) << "script used up: the default button";
  EXPECT_TRUE(d.shown.size() == 2 && d.shown[0].prompt == "Exit ZARN ?" &&
              d.shown[0].buttons == (mb::yesno | mb::question));
}

TEST(MainTick, NeverReentersAndRunsAgainOnceOver) {
  App app;
  long inner = 0;
  // Events let run while a tick waits may fire the timer again: a re-entered tick would count.
  dynamic_cast<platform::NoEvents&>(*app.sys.events).hook = [&] { Timer1_Timer(app); ++inner; };
  Timer1_Timer(app);
  EXPECT_EQ(app.main.ticks, 1);
  EXPECT_FALSE(app.main.tickbusy_guard) << "the guard is dropped when the tick ends";
  app.main.tickbusy_guard = true;  // a tick in progress, as while it waits in one of its steps
  app.wait(0);
  app.doevents();
  EXPECT_TRUE(inner >= 2 && app.main.ticks == 1) << "events ran, the tick did not";
  app.main.tickbusy_guard = false;
  app.doevents();  // no tick running: the timer's tick runs
  EXPECT_EQ(app.main.ticks, 2);
}

TEST(Shell, StartShowsTheMainWindowRunsTheTickAndClosingItEndsTheRunningLoopOnce) {
  App app;
  Shell shell(app);
  QEventLoop loop;
  int ends = 0;
  shell.onend = [&] { ++ends; loop.exit(7); };  // the test's own loop, not the application's
  shell.start();
  qt::FormView* view = shell.ui().view(app.win.zarn);
  ASSERT_TRUE(view && view->isVisible() && view->size() == QSize(640, 480));
  EXPECT_EQ(view->snapshot().pixelColor(320, 240), QColor(Qt::white));
  shell.tick();
  EXPECT_EQ(app.main.ticks, 1);
  key(view, Qt::Key_A, Qt::NoModifier, "a");
  EXPECT_FALSE(app.main.quit || shell.ended()) << "keys other than Escape do not end it";
  QTimer::singleShot(0, [&] { view->close(); });
  QTimer::singleShot(10000, [&] { loop.exit(1); });  // a safety net, not a timing
  EXPECT_EQ(loop.exec(), 7) << "closing the main window ends the program like Escape";
  EXPECT_TRUE(app.main.quit && !shell.timer().isActive()) << "no more ticks";
  key(view, Qt::Key_Escape, Qt::NoModifier, "\x1b");
  EXPECT_EQ(ends, 1) << "ends once";
}

TEST(Shell, KeepsTheMainWindowsOwnKeyHandlerAndWaitsShowWhatTheWindowsHold) {
  Services s;
  s.events = std::make_unique<qt::QtEventPump>();
  App app(std::move(s));
  int got = 0;
  app.win.zarn.onKeyPress = [&](int& k) { got = k; };
  Shell shell(app);
  shell.onend = [] {};
  shell.start();
  qt::FormView* view = shell.ui().view(app.win.zarn);
  key(view, Qt::Key_Escape, Qt::NoModifier, "\x1b");
  EXPECT_TRUE(got == 27 && !shell.ended()) << "the program's own handler decides";
  app.win.zarn.backcolor = ui::yellow;
  app.doevents();  // as a wait in the start-up does
  view->repaint();
  EXPECT_EQ(view->snapshot().pixelColor(5, 5), QColor(Qt::yellow));
}

std::string sentence(const std::string& body) {
  unsigned x = 0;
  for (char c : body) x ^= static_cast<unsigned char>(c);
  char hex[3];
  std::snprintf(hex, sizeof hex, "%02X", x);
  return "$" + body + "*" + hex + "\r\n";
}

// Counts the paints of one widget.
struct Paints : QObject {
  bool eventFilter(QObject*, QEvent* e) override {
    count += e->type() == QEvent::Paint;
    return false;
  }
  long count = 0;
};

TEST(Shell, ABearingFloodIsDrawnAFrameAtATimeAndTheFixBehindItIsTakenInTheSamePoll) {
  Services s;
  s.events = std::make_unique<qt::QtEventPump>();
  auto line = std::make_unique<platform::HeldLine>();
  platform::HeldLine& port = *line;
  s.serial = std::move(line);
  App app(std::move(s));
  Shell shell(app);
  shell.onend = [] {};
  shell.start();
  app.main.starting = 0;
  app.gps.gpsoncom = 1;
  qt::FormView* view = shell.ui().view(app.win.zarn);
  ASSERT_TRUE(view);
  Paints paints;
  view->installEventFilter(&paints);
  // Every bearing is shown on the message line and draws the bearing lines: a paint each, were
  // the windows drawn whenever events run.
  const int bearings = 2000;
  for (int k = 0; k < bearings; ++k) port.held += sentence("DFBRG," + std::to_string(k * 7 % 360) + ".0");
  port.held += sentence("GPRMC,120000.00,A,5321.44300,N,00218.82200,W,10.0,84.5,261020,,,");
  readcomms(app);
  EXPECT_EQ(app.nav.dfn, NavState::dfmax) << "every bearing taken";
  EXPECT_EQ(app.win.zarn.saytxt.caption, "DF Bearing " + std::to_string((bearings - 1) * 7 % 360));
  EXPECT_NEAR(app.gps.ownlat, 53.357, 0.001) << "the fix behind the flood, in the same poll";
  EXPECT_LT(paints.count, bearings / 10) << "drawn a frame at a time, not once a bearing";
  view->removeEventFilter(&paints);
}

TEST(Ending, ASignalTakenByTheEventsStaysAskedAndEndsEveryWait) {
  qt::EndSignals::holdback();  // in this thread: the test's signal is read from the descriptor
  int taken = 0;
  qt::EndSignals ends([&] { ++taken; });
  qt::QtEventPump pump;
  pump.endpending = [&ends] { return ends.pending(); };
  platform::FakeClock clock;
  long passes = 0;
  pump.onevents = [&] {
    ++passes;
    clock.advance(0.01);
  };
  ASSERT_EQ(::pthread_kill(::pthread_self(), SIGTERM), 0);
  // A wait of a minute in work the signal reaches: its events take the signal.
  EXPECT_FALSE(platform::waitfor(clock, pump, 60, [] { return false; }));
  EXPECT_EQ(taken, 1);
  EXPECT_LE(passes, 2) << "the wait ends as soon as the events have taken the end";
  EXPECT_TRUE(pump.endasked()) << "a backlog still being read stops for it";
  passes = 0;
  EXPECT_FALSE(platform::waitfor(clock, pump, 60, [] { return false; }));
  EXPECT_EQ(passes, 1) << "and so does any wait on the way out";
  pump.endpending = nullptr;
}

TEST(Ending, ASignalDuringABearingFloodStopsTheReadingOnceItsEventsHaveTakenIt) {
  qt::EndSignals::holdback();
  Services s;
  s.events = std::make_unique<qt::QtEventPump>();
  auto line = std::make_unique<platform::HeldLine>();
  platform::HeldLine& port = *line;
  s.serial = std::move(line);
  App app(std::move(s));
  Shell shell(app);
  shell.onend = [] {};
  qt::EndSignals ends([&shell] { shell.end(); });
  auto& pump = dynamic_cast<qt::QtEventPump&>(*app.sys.events);
  pump.endpending = [&ends] { return ends.pending(); };
  shell.start();
  app.main.starting = 0;
  app.gps.gpsoncom = 1;
  // The signal comes with the hundredth bearing; the events run after that line take it.
  long taken = 0;
  const auto apply = app.hooks.sentence;
  app.hooks.sentence = [&](const LineResult& r, std::string& l) {
    apply(r, l);
    if (++taken == 100) ::pthread_kill(::pthread_self(), SIGTERM);
  };
  const int bearings = 5000;
  for (int k = 0; k < bearings; ++k) port.held += sentence("DFBRG," + std::to_string(k * 7 % 360) + ".0");
  readcomms(app);
  EXPECT_TRUE(app.main.quit && shell.ended());
  EXPECT_LT(taken, 120) << "the backlog behind the signal is not read";
  pump.endpending = nullptr;
}

}  // namespace
}  // namespace zarn
