// A base station for the vehicle windows' tests: the vehicle, message and dial windows wired,
// and a modem on the scripted line that answers "AT" with "OK" while `answers` holds. Each
// pass of a wait moves the clock on and runs `onpass`, where a test clicks or receives in the
// middle of a call.
#pragma once

#include <functional>
#include <string>

#include "support/app_fixture.h"
#include "support/builders.h"
#include "vehicles/alarmwindow.h"
#include "vehicles/dialforms.h"
#include "vehicles/dialpanel.h"
#include "vehicles/mvforms.h"
#include "vehicles/mvwindow.h"

namespace zarn::test {

class Calls : public AppTest {
 protected:
  void ready() override {
    app->main.mvmode = 1;
    app->veh.sendnowtext = "CALL BASE";
    app->veh.acktext = "ACK";
    app->win.get<MvForm>();
    app->win.get<MvAlarmForm>();
    app->win.get<DialForm>();
    app->win.get<CarbugForm>();
    wirevehiclewindows(*app);
    answers = true;
    ats = 0;
    events->hook = [this] {
      clock->advance(waitstep);
      modem();
      if (onpass) onpass();
    };
  }
  // The modem answers each "AT" sent; the modem test's stand-in reads modemok as it stands.
  void modem() {
    app->gps.modemok = app->gps.modemok || answers;
    std::size_t n = 0;
    for (std::size_t p = serial->sent.find("AT\r"); p != std::string::npos; p = serial->sent.find("AT\r", p + 1)) ++n;
    for (; ats < n; ++ats)
      if (answers) serial->chunks.push_back("OK\r\n");
  }
  MvForm& mv() { return app->win.get<MvForm>(); }
  MvAlarmForm& alarm() { return app->win.get<MvAlarmForm>(); }
  // How many outgoing messages wait, and the last one as "to|text|body".
  std::string lastqueued() const {
    const auto& q = app->gps.msgq;
    return q.empty() ? "" : q.back().to + "|" + q.back().text + "|" + q.back().body;
  }
  void fillqueue() {
    while (app->gps.msgq.size() < GpsState::msgqmax) app->gps.msgq.push_back({"X", "Y", "Z"});
  }

  bool answers = true;
  std::size_t ats = 0;
  std::function<void()> onpass;
};

}  // namespace zarn::test
