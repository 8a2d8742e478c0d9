#include "gpsinput/modem.h"

#include "app/app.h"
#include "gpsinput/serialpoll.h"

namespace zarn {

void commsend(platform::SerialLine& serial, std::string_view text) { serial.output(text); }

void hangup(App& app) {
  app.sys.serial->setdtr(false);
  delaysec(app, 3);
  app.sys.serial->setdtr(true);
  delaysec(app, 1);
}

void delaysec(App& app, float secs) {
  readcomms(app);
  app.doevents();
  if (app.gps.abortflag) return;
  app.waitfor(secs, [&app] {
    readcomms(app);
    return app.gps.abortflag;
  });
}

bool modemtest(App& app, int tries) {
  // TODO
  (void)tries;
  return app.gps.modemok;
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
