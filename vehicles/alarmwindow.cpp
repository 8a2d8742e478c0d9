#include "vehicles/alarmwindow.h"

#include <algorithm>

#include "app/app.h"
#include "gpsinput/modem.h"
#include "vehicles/alerts.h"
#include "vehicles/dialout.h"
#include "vehicles/mvforms.h"
#include "vehicles/mvwindow.h"

namespace zarn {

namespace {

void showcount(VehicleTable& v, MvAlarmForm& w) {
  w.q.set("Q" + std::to_string(v.alarmcount));
  w.q.visible = v.alarmcount >= 1;
}

// Dismisses the entry an acknowledgement was for. Alerts keep coming during the call: when the
// window has moved on, the entry is taken out of the waiting list instead, and one already
// dismissed is left alone.
void dismiss(VehicleTable& v, MvAlarmForm& w, long seq) {
  if (v.alarmshown.seq == seq) {
    mvalarm::dispmsg(v, w);
    return;
  }
  const auto first = v.alarmlist.begin() + 1, end = first + v.alarmcount;
  const auto it = std::find_if(first, end, [seq](const VehicleTable::AlarmEntry& e) { return e.seq == seq; });
  if (it == end) return;
  std::move(it + 1, end, it);
  *(end - 1) = {};
  --v.alarmcount;
  showcount(v, w);
}

}  // namespace

namespace mvalarm {

void dispmsg(VehicleTable& v, MvAlarmForm& w) {
  if (v.alarmcount <= 0) {
    v.alarmcount = 0;
    v.alarmshown = {};
    w.q.visible = false;
    w.hide();
    return;
  }
  v.alarmshown = std::move(v.alarmlist[static_cast<std::size_t>(v.alarmcount)]);
  v.alarmlist[static_cast<std::size_t>(v.alarmcount)] = {};
  --v.alarmcount;
  w.txt.set(v.alarmshown.text);
  showcount(v, w);
  alarmcolours(w, !v.alarmshown.text.empty() && v.alarmshown.text[0] == '0');
  w.touch();
}

void cancel_Click(App& app) { dispmsg(app.veh, app.win.get<MvAlarmForm>()); }

void ack_Click(App& app) {
  VehicleTable& v = app.veh;
  MvAlarmForm& w = app.win.get<MvAlarmForm>();
  const VehicleTable::AlarmEntry e = v.alarmshown;  // the window may move on during the call
  const auto body = sendablebody(e.code);
  if (e.unit <= 0 || static_cast<std::size_t>(e.unit) >= v.mvlabel.size() || !body) {
    w.telstat.set("No unit to acknowledge");
    app.sys.wav->beep();
    return;
  }
  const std::string unit = v.mvlabel[static_cast<std::size_t>(e.unit)];
  MvForm& mv = app.win.get<MvForm>();
  if (v.callbusy || v.dialbusy) {
    mv.mtxadd.set(unit);
    mv.telstat.set("ACK to " + e.code);
    if (!queueforcall(app, unit, v.acktext, *body, "Ack")) return;
    w.telstat.set("Ack Queued ..");
    dismiss(v, w, e.seq);
    return;
  }
  if (app.gps.incall == 1) {
    if (v.ackwait) return;  // already saying so
    v.ackwait = true;
    sorryincoming(app, 1);
    v.ackwait = false;
    return;
  }
  MessageCall call(app);
  mv.mtxadd.set(unit);
  mv.mtx.text = e.code;
  if (!getmodem(app)) return;
  dialsend(app, unit, v.acktext, *body);
  dismiss(v, w, e.seq);
}

}  // namespace mvalarm

}  // namespace zarn
