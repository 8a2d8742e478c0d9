#include "mainwindow/tick.h"

#include "app/app.h"

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
  // TODO: the tick's services (serial poll, GPS watch, speech queue, read-outs, map choice,
  // own car, replay and the periodic reports) are called here as they are built.
}

}  // namespace zarn
