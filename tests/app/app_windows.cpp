// The application object's windows, the running program's main tick and its end.
#include <gtest/gtest.h>

#include <QCloseEvent>
#include <QEventLoop>
#include <QTimer>

#include "app/app.h"
#include "app/main/shell.h"
#include "mainwindow/tick.h"
#include "platform/fakes.h"
#include "platform/qt/formview.h"
#include "platform/qt/qtservices.h"
#include "platform/qt_support.h"

namespace zarn {
namespace {

TEST(AppWindows, TheMainWindowIsAWhite640By480MapReadyToShow) {
  App app;
  ui::Form& zarn = app.win.zarn;
  EXPECT_EQ(zarn.name(), "zarn");
  EXPECT_EQ(zarn.width, 640);
  EXPECT_EQ(zarn.height, 480);
  EXPECT_EQ(zarn.backcolor, ui::white);
  EXPECT_FALSE(zarn.visible) << "start-up shows it";
  EXPECT_EQ(app.win.zarn.map.width, 640);
  EXPECT_TRUE(app.win.zarn.map.visible);
  EXPECT_TRUE(app.win.zarn.map.underlay) << "the map lies under the drawing layer";
  EXPECT_EQ(app.win.find("zarn"), &zarn);
  EXPECT_EQ(app.win.find("cform"), nullptr) << "other windows exist only once used";
  ASSERT_FALSE(app.win.all().empty());
  EXPECT_EQ(app.win.all().front(), &zarn) << "the main window comes first";
  EXPECT_EQ(zarn.find("map"), &app.win.zarn.map);
  EXPECT_EQ(zarn.find("o", 0), &app.win.zarn.o[0]) << "array elements by name and index";
}

TEST(AppWindows, MessageBoxesAreAnsweredFromAScript) {
  App app;
  auto& d = dynamic_cast<platform::ScriptedDialogs&>(*app.sys.dialogs);
  d.answers = {platform::mb::idno, platform::mb::idcancel};
  EXPECT_EQ(app.msgbox("Exit ZARN ?", platform::mb::yesno | platform::mb::question, "ZARN"), platform::mb::idno);
  EXPECT_EQ(app.msgbox("Again ?", platform::mb::yesnocancel, "ZARN"), platform::mb::idcancel);
  EXPECT_EQ(app.msgbox("And again ?", platform::mb::yesno, "ZARN"), platform::mb::idyes) << "script used up: Yes";
  EXPECT_EQ(app.msgbox("Printer error", platform::mb::information, "ZARN"), platform::mb::idok);
  ASSERT_EQ(d.shown.size(), 4u);
  EXPECT_EQ(d.shown[0].prompt, "Exit ZARN ?");
  EXPECT_EQ(d.shown[0].buttons, platform::mb::yesno | platform::mb::question);
  EXPECT_EQ(d.shown[3].title, "ZARN");
}

TEST(MainTick, NeverReentersAndRunsAgainOnceOver) {
  App app;
  auto& events = dynamic_cast<platform::NoEvents&>(*app.sys.events);
  long inner = 0, reentered = 0;
  // Events let run while a tick waits may fire the timer again.
  events.hook = [&] {
    const long before = app.main.ticks;
    const bool busy = app.main.tickbusy_guard;
    Timer1_Timer(app);
    ++inner;
    if (busy && app.main.ticks != before) ++reentered;
  };
  Timer1_Timer(app);
  EXPECT_EQ(app.main.ticks, 1);
  EXPECT_FALSE(app.main.tickbusy_guard) << "the guard is dropped when the tick ends";

  // A tick in progress (as while it waits in one of its steps) lets events run.
  app.main.tickbusy_guard = true;
  app.wait(0);
  app.doevents();
  EXPECT_GE(inner, 2);
  EXPECT_EQ(reentered, 0);
  EXPECT_EQ(app.main.ticks, 1);
  app.main.tickbusy_guard = false;

  app.doevents();  // no tick running: the timer's tick runs
  EXPECT_EQ(app.main.ticks, 2);
}

struct ShellTest : ::testing::Test {
  App app;
  Shell shell{app};
  int ends = 0;
  void SetUp() override {
    shell.onend = [this] { ++ends; };  // the test's own loop, not the application's
  }
  qt::FormView* mainview() { return shell.ui().view(app.win.zarn); }
};

TEST_F(ShellTest, StartShowsTheMainWindowAndRunsTheTick) {
  shell.start();
  EXPECT_TRUE(app.win.zarn.visible);
  ASSERT_NE(mainview(), nullptr);
  EXPECT_TRUE(mainview()->isVisible());
  EXPECT_EQ(mainview()->size(), QSize(640, 480));
  EXPECT_EQ(mainview()->snapshot().pixelColor(320, 240), QColor(Qt::white));
  EXPECT_TRUE(shell.timer().isActive());
  EXPECT_EQ(shell.timer().interval(), 250);
  shell.tick();
  shell.tick();
  EXPECT_EQ(app.main.ticks, 2);
  EXPECT_FALSE(shell.ended());
}

TEST_F(ShellTest, EscapeEndsTheProgram) {
  shell.start();
  qttest::key(mainview(), Qt::Key_A, Qt::NoModifier, "a");
  EXPECT_FALSE(app.main.quit) << "other keys do not";
  qttest::key(mainview(), Qt::Key_Escape, Qt::NoModifier, "\x1b");
  EXPECT_TRUE(app.main.quit);
  EXPECT_TRUE(shell.ended());
  EXPECT_EQ(ends, 1);
  EXPECT_FALSE(shell.timer().isActive()) << "no more ticks";
  qttest::key(mainview(), Qt::Key_Escape, Qt::NoModifier, "\x1b");
  EXPECT_EQ(ends, 1) << "ends once";
}

TEST_F(ShellTest, EndingLeavesTheRunningEventLoop) {
  QEventLoop loop;
  shell.onend = [&] { loop.exit(7); };
  shell.start();
  QTimer::singleShot(0, [&] { qttest::key(mainview(), Qt::Key_Escape, Qt::NoModifier, "\x1b"); });
  QTimer::singleShot(10000, [&] { loop.exit(1); });  // a safety net, not a timing
  EXPECT_EQ(loop.exec(), 7);
}

TEST_F(ShellTest, ClosingTheMainWindowEndsTheProgramLikeEscape) {
  shell.start();
  mainview()->close();
  EXPECT_TRUE(app.main.quit);
  EXPECT_TRUE(shell.ended());
  EXPECT_EQ(ends, 1);
}

TEST(Shell, KeepsAKeyHandlerTheMainWindowAlreadyHas) {
  App app;
  int got = 0;
  app.win.zarn.onKeyPress = [&](int& k) { got = k; };
  Shell shell(app);
  shell.onend = [] {};
  shell.start();
  qttest::key(shell.ui().view(app.win.zarn), Qt::Key_Escape, Qt::NoModifier, "\x1b");
  EXPECT_EQ(got, 27);
  EXPECT_FALSE(shell.ended()) << "the program's own handler decides";
}

TEST(Shell, WaitsShowWhatTheWindowsHold) {
  Services s;
  s.events = std::make_unique<qt::QtEventPump>();
  App app(std::move(s));
  Shell shell(app);
  shell.onend = [] {};
  shell.start();
  app.win.zarn.backcolor = ui::yellow;
  app.doevents();  // as a wait in the start-up does
  shell.ui().view(app.win.zarn)->repaint();
  EXPECT_EQ(shell.ui().view(app.win.zarn)->snapshot().pixelColor(5, 5), QColor(Qt::yellow));
}

}  // namespace
}  // namespace zarn
