// The running program on Qt: views of the application's windows, the 250 ms main tick and
// the end of the program. Kept apart from main() so that tests can run it offscreen.
#pragma once

#include <QCoreApplication>
#include <QElapsedTimer>
#include <QObject>
#include <QTimer>
#include <functional>

#include "app/app.h"
#include "mainwindow/help.h"
#include "mainwindow/keys.h"
#include "mainwindow/smallservices.h"
#include "mainwindow/tick.h"
#include "mapdisplay/toolroom.h"
#include "platform/qt/qtapp.h"
#include "platform/qt/qtservices.h"
#include "platform/qt/qtui.h"

namespace zarn {

class Shell {
 public:
  // Windows made since the last look pass their keys on too.
  explicit Shell(App& app) : app_(app), ui_([&app] {
    wirekeys(app);
    return app.win.all();
  }) {
    ui_.afterinput = [this] { checkquit(); };
    // A window kept on top finds its place as it comes up.
    ui_.beforeshow = [&app](ui::Form& f) { placetoolwindow(app, f); };
    // Waits that let events run show what the windows hold meanwhile. A flood on the serial
    // line lets events run after every line: the windows are then drawn a frame at a time, not
    // once for every line, and what a pass left undrawn is drawn when its frame is due.
    if (auto* pump = dynamic_cast<qt::QtEventPump*>(app.sys.events.get())) {
      pump_ = pump;
      pump->onevents = [this] { drawsoon(); };
    }
    later_.setSingleShot(true);
    QObject::connect(&later_, &QTimer::timeout, [this] { draw(); });
    wirekeys(app);
    wirehelp(app);
    // Where ending cannot end the process (tests), the end stops the event being handled.
    if ((qapp_ = dynamic_cast<qt::Application*>(QCoreApplication::instance()))) qapp_->onended = [this] { checkquit(); };
    timer_.setInterval(250);
    QObject::connect(&timer_, &QTimer::timeout, [this] { tick(); });
  }
  ~Shell() {
    if (pump_) pump_->onevents = nullptr;
    if (qapp_) qapp_->onended = nullptr;
  }
  Shell(const Shell&) = delete;
  Shell& operator=(const Shell&) = delete;

  // Shows the main window and starts the main tick.
  void start() {
    app_.win.zarn.show();
    draw();
    timer_.start();
  }
  // One pass of the main timer.
  void tick() {
    Timer1_Timer(app_);
    draw();
    checkquit();
  }
  // Ends the program as asked from outside (a signal): in order, once the event is over.
  void end() {
    endprogram(app_);
    checkquit();
  }
  // The program has ended: the tick is stopped and onend has run.
  bool ended() const { return ended_; }
  // Leaves the event loop. Not quit(): that first asks every window to close, and ours only
  // hide, which cancels it.
  std::function<void()> onend = [] { QCoreApplication::exit(0); };
  qt::QtUi& ui() { return ui_; }
  const QTimer& timer() const { return timer_; }
  // The shortest time between two drawings of the windows while events run, in ms.
  static constexpr int framegap = 20;

 private:
  void draw() {
    later_.stop();
    ui_.refresh();
    drawn_.start();
  }
  void drawsoon() {
    const qint64 since = drawn_.isValid() ? drawn_.elapsed() : framegap;
    if (since >= framegap) {
      draw();
    } else if (!later_.isActive()) {
      later_.start(static_cast<int>(framegap - since));
    }
  }

  void checkquit() {
    if (!app_.main.quit || ended_) return;
    ended_ = true;
    timer_.stop();
    if (auto h = onend) h();
  }

  App& app_;
  qt::QtUi ui_;
  QTimer timer_;
  QTimer later_;          // draws what a pass of events left undrawn
  QElapsedTimer drawn_;   // since the windows were last drawn
  qt::QtEventPump* pump_ = nullptr;
  qt::Application* qapp_ = nullptr;
  bool ended_ = false;
};

}  // namespace zarn
