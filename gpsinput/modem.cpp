#include "gpsinput/modem.h"

#include "app/app.h"
#include "gpsinput/waits.h"

namespace zarn {

void commsend(platform::SerialLine& serial, std::string_view text) { serial.output(text); }

void hangup(App& app) {
  auto& g = app.gps;
  if (g.callsteps.hangingup) return;
  StepMark mark(g.callsteps.hangingup);
  // The modem drops the call only when DTR stays low long enough, so the abort that asked for
  // the hang-up must not cut the 3 s short.
  app.sys.serial->setdtr(false);
  // Dropping the line ends an incoming call too, though the modem says nothing of a call that
  // rang and never connected: the dialled-in reader waits for a new report, as after the
  // modem's NO CARRIER (the data mode is the ring's, or the one a data call has just set). A
  // ring during the hang-up is a new call.
  if (g.incall == 1) {
    g.incall = 0;
    g.reportmode = ReportMode::line1;
    LinkShow show;
    show.incallended = true;
    callhook(app.hooks.showlink, app, show);
  }
  pollwait(app, 3, {});
  app.sys.serial->setdtr(true);
  pollwait(app, 1, {});
  g.connected = 0;
}

void delaysec(App& app, float secs) {
  const auto& g = app.gps;
  pollwait(app, secs, [&g](float) { return g.abortflag; });
}

bool modemtest(App& app, int tries) {
  auto& g = app.gps;
  if (g.callsteps.testing) return false;
  StepMark mark(g.callsteps.testing);
  g.modemok = false;
  showtimeleft(app, "OK");
  for (int k = 0; k < tries && !g.modemok && !g.abortflag; ++k) {
    commsend(*app.sys.serial, "AT" + g.cmdend);
    pollwait(app, 1, [&g](float) { return g.modemok || g.abortflag; });
  }
  showtimeleft(app, "");
  return g.modemok;
}

bool queuemsg(GpsState& g, std::string to, std::string text, std::string body) {
  if (g.msgq.size() >= GpsState::msgqmax) return false;
  g.msgq.push_back({std::move(to), std::move(text), std::move(body)});
  return true;
}

std::optional<GpsState::QueuedMsg> queuepeek(GpsState& g) {
  if (g.msgq.empty()) return std::nullopt;
  GpsState::QueuedMsg m = std::move(g.msgq.front());
  g.msgq.pop_front();
  return m;
}

}  // namespace zarn
