// The application object's windows, the running program's main tick and its end.
#include <gtest/gtest.h>

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

using qttest::key;

TEST(AppWindows, OtherWindowsExistOnlyOnceUsedAndMessageBoxesAreAnsweredFromAScript) {
  App app;
  EXPECT_EQ(app.win.find("cform"), nullptr);
  ASSERT_FALSE(app.win.all().empty());
  EXPECT_EQ(app.win.all().front(), &app.win.zarn) << "the main window comes first";
  EXPECT_EQ(app.win.zarn.find("o", 0), &app.win.zarn.o[0]) << "array elements by name and index";

  auto& d = dynamic_cast<platform::ScriptedDialogs&>(*app.sys.dialogs);
  d.answers = {platform::mb::idno, platform::mb::idcancel};
  EXPECT_EQ(app.msgbox("Exit ZARN ?", platform::mb::yesno | platform::mb::question, "ZARN"), platform::mb::idno);
  EXPECT_EQ(app.msgbox("Again ?", platform::mb::yesnocancel, "ZARN"), platform::mb::idcancel);
  EXPECT_EQ(app.msgbox("And again ?", platform::mb::yesno, "ZARN"), platform::mb::idyes) << "script used up: Yes";
  EXPECT_EQ(app.msgbox("Printer error", platform::mb::information, "ZARN"), platform::mb::idok);
  ASSERT_EQ(d.shown.size(), 4u);
  EXPECT_EQ(d.shown[0].prompt, "Exit ZARN ?");
  EXPECT_EQ(d.shown[0].buttons, platform::mb::yesno | platform::mb::question);
}

TEST(MainTick, NeverReentersAndRunsAgainOnceOver) {
  App app;
  auto& events = dynamic_cast<platform::NoEvents&>(*app.sys.events);
  long inner = 0;
  // Events let run while a tick waits may fire the timer again: a re-entered tick would count.
  events.hook = [&] {
    Timer1_Timer(app);
    ++inner;
  };
  Timer1_Timer(app);
  EXPECT_EQ(app.main.ticks, 1);
  EXPECT_FALSE(app.main.tickbusy_guard) << "the guard is dropped when the tick ends";

  // A tick in progress (as while it waits in one of its steps) lets events run.
  app.main.tickbusy_guard = true;
  app.wait(0);
  app.doevents();
  EXPECT_GE(inner, 2);
  EXPECT_EQ(app.main.ticks, 1);
  app.main.tickbusy_guard = false;

  app.doevents();  // no tick running: the timer's tick runs
  EXPECT_EQ(app.main.ticks, 2);
}

TEST(Shell, StartShowsTheMainWindowRunsTheTickAndClosingItEndsTheRunningLoop) {
  App app;
  Shell shell(app);
  QEventLoop loop;
  int ends = 0;
  shell.onend = [&] {  // the test's own loop, not the application's
    ++ends;
    loop.exit(7);
  };
  shell.start();
  qt::FormView* view = shell.ui().view(app.win.zarn);
  ASSERT_NE(view, nullptr);
  EXPECT_TRUE(view->isVisible());
  EXPECT_EQ(view->size(), QSize(640, 480));
  EXPECT_EQ(view->snapshot().pixelColor(320, 240), QColor(Qt::white));
  shell.tick();
  shell.tick();
  EXPECT_EQ(app.main.ticks, 2);

  key(view, Qt::Key_A, Qt::NoModifier, "a");
  EXPECT_FALSE(app.main.quit || shell.ended()) << "keys other than Escape do not end it";
  QTimer::singleShot(0, [&] { view->close(); });
  QTimer::singleShot(10000, [&] { loop.exit(1); });  // a safety net, not a timing
  EXPECT_EQ(loop.exec(), 7) << "closing the main window ends the program like Escape";
  EXPECT_TRUE(app.main.quit);
  EXPECT_FALSE(shell.timer().isActive()) << "no more ticks";
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
  EXPECT_EQ(got, 27);
  EXPECT_FALSE(shell.ended()) << "the program's own handler decides";

  app.win.zarn.backcolor = ui::yellow;
  app.doevents();  // as a wait in the start-up does
  view->repaint();
  EXPECT_EQ(view->snapshot().pixelColor(5, 5), QColor(Qt::yellow));
}

}  // namespace
}  // namespace zarn
