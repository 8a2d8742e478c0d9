#include "gpsinput/waits.h"

#include <algorithm>
#include <cmath>
#include <optional>

#include "app/app.h"
#include "geodesy/helpers.h"
#include "gpsinput/serialpoll.h"
#include "platform/textrules.h"

namespace zarn {

namespace {

// The whole seconds left, shown only when they change (a wait passes many times a second)
// and not during the first quiet seconds.
class Countdown {
 public:
  Countdown(App& app, float secs, float quiet) : app_(app), secs_(secs), quiet_(quiet) {}
  void show(float elapsed) {
    const int left = std::max(0, text::fixint(std::floor(secs_ - elapsed)));
    if (static_cast<float>(left) >= secs_ - quiet_ || shown_ == left) return;
    shown_ = left;
    showtimeleft(app_, std::to_string(left));
  }

 private:
  App& app_;
  float secs_, quiet_;
  std::optional<int> shown_;
};

}  // namespace

bool pollwait(App& app, float secs, const std::function<bool(float elapsed)>& stop) {
  const float t0 = app.timer();
  bool stopped = false;
  const auto pass = [&] {
    readcomms(app);
    const float e = elapsed(app.timer(), t0);
    stopped = stop && stop(e);
    return stopped || e >= secs;
  };
  // The event wait's own start is no earlier than ours, so a pass ends it first.
  if (!pass()) app.waitfor(secs, pass);
  return stopped;
}

void waitcount(App& app, float secs) {
  const GpsState& g = app.gps;
  Countdown left(app, secs, 5);
  pollwait(app, secs, [&](float e) {
    left.show(e);
    return g.csatstate >= CallState::prompt || g.abortflag;
  });
}

void waitreply(App& app, float secs) {
  const GpsState& g = app.gps;
  Countdown left(app, secs, 0);
  pollwait(app, secs, [&](float e) {
    left.show(e);
    return g.modemconnect || g.abortflag;
  });
}

void showtimeleft(App& app, const std::string& text) {
  LinkShow show;
  show.timetext = text;
  callhook(app.hooks.showlink, app, show);
}

}  // namespace zarn
