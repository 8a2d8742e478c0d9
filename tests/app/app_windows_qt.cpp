// The application object's windows, the running program's main tick and its end.
#include <gtest/gtest.h>

#include "app/app.h"
#include "app/main/shell.h"
#include "mainwindow/tick.h"
#include "platform/fakes.h"
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

}  // namespace
}  // namespace zarn
