#include "vehicles/alarmwindow.h"

#include <algorithm>

#include "app/app.h"
#include "gpsinput/modem.h"
#include "platform/textrules.h"
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

// The Send box holds the operator's own draft: text that is not the code going out.
bool holdsdraft(const MvForm& mv, const std::string& code) {
  return !text::trim(mv.mtx.text).empty() && mv.mtx.text != code;
}

// An acknowledgement's call shows its unit and code in the vehicle window's Send box; a draft
// the operator had there, with its addressee, is given back when the call is over, unless the
// box was typed over meanwhile.
class DraftKept {
 public:
  DraftKept(MvForm& mv, const std::string& code)
      : mv_(mv), code_(code), kept_(holdsdraft(mv, code)), text_(mv.mtx.text), to_(mv.mtxadd.caption),
        colour_(mv.mtx.backcolor) {}
  ~DraftKept() {
    if (!kept_ || mv_.mtx.text != code_) return;
    mv_.mtx.text = text_;
    mv_.mtx.backcolor = colour_;
    mv_.mtxadd.set(to_);
  }
  DraftKept(const DraftKept&) = delete;
  DraftKept& operator=(const DraftKept&) = delete;

 private:
  MvForm& mv_;
  const std::string code_;
  const bool kept_;
  const std::string text_, to_;
  const ui::Colour colour_;
};

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
  if (v.dialbusy) {  // the alert stays, to be acknowledged once the line is free
    w.telstat.set(refusedindatacall(app, "Ack"));
    return;
  }
  if (v.callbusy) {
    // The operator's draft keeps its addressee.
    if (!holdsdraft(mv, e.code)) mv.mtxadd.set(unit);
    mv.telstat.set("ACK to " + e.code);
    if (!queueforcall(app, unit, v.acktext, *body, "Ack")) return;
    w.telstat.set("Ack Queued ..");
    dismiss(v, w, e.seq);
    return;
  }
  if (app.gps.incall == 1) {
    if (v.ackwait) return;  // already saying so
    v.ackwait = true;
    // The refusal stays on the window: the alert is still there to be acknowledged.
    sorryincoming(app, 1, "Ack NOT sent : Incoming Call");
    v.ackwait = false;
    return;
  }
  MessageCall call(app);
  DraftKept draft(mv, e.code);
  mv.mtxadd.set(unit);
  mv.mtx.text = e.code;
  if (!getmodem(app)) return;
  dialsend(app, unit, v.acktext, *body);
  dismiss(v, w, e.seq);
}

}  // namespace mvalarm

}  // namespace zarn
