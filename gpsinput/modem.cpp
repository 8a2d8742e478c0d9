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

}  // namespace zarn
