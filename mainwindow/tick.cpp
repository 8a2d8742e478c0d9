#include "mainwindow/tick.h"

#include "app/app.h"
#include "geodesy/helpers.h"
#include "speech/msgline.h"
#include "speech/queue.h"

namespace zarn {

namespace {
struct TickGuard {
  explicit TickGuard(bool& f) : flag(f) { flag = true; }
  ~TickGuard() { flag = false; }
  bool& flag;
};
}  // namespace

void Timer1_Timer(App& app) {
  if (app.main.tickbusy_guard) return;
  TickGuard guard(app.main.tickbusy_guard);
  ++app.main.ticks;
  // The status message goes 10 s after it was last shown.
  if (elapsed(app, app.speech.msgtime) > 10) clearmsg(app);
  // Speak what the reports and handlers queued (after the serial poll and the GPS watch).
  speakqueue(app);
  // TODO: the tick's services (serial poll, GPS watch, speech queue, read-outs, map choice,
  // own car, replay and the periodic reports) are called here as they are built.
}

}  // namespace zarn
