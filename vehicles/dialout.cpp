#include "vehicles/dialout.h"

#include <algorithm>
#include <cmath>
#include <optional>
#include <vector>

#include "app/app.h"
#include "geodesy/helpers.h"
#include "geodesy/transform.h"
#include "gpsinput/logs.h"
#include "gpsinput/modem.h"
#include "gpsinput/waits.h"
#include "platform/textrules.h"
#include "speech/msgline.h"
#include "speech/queue.h"
#include "vehicles/dialforms.h"
#include "vehicles/mvforms.h"

namespace zarn {

namespace {

using Msg = GpsState::QueuedMsg;

constexpr float recentsecs = 1800;  // "ALL UNITS" reaches the units heard from in the last 30 minutes

// Whichever way a call ends, the dialogue is idle again, so that the serial poll hands vehicle
// lines on once more, and no abort is left pending for the next call or wait.
class CallScope {
 public:
  explicit CallScope(GpsState& g) : g_(g), mark_(g.callsteps.sending) {}
  ~CallScope() {
    g_.csatstate = CallState::idle;
    g_.abortflag = false;
  }
  CallScope(const CallScope&) = delete;
  CallScope& operator=(const CallScope&) = delete;

 private:
  GpsState& g_;
  StepMark mark_;
};

// One call to the satellite text service, with the messages queued while it runs.
class Call {
 public:
  explicit Call(App& app)
      : app_(app), g_(app.gps), mv_(app.win.get<MvForm>()), alarm_(app.win.get<MvAlarmForm>()) {}
  void run(Msg m);

 private:
  // Pauses, polling; false when the user aborted meanwhile.
  bool pause(float secs) {
    delaysec(app_, secs);
    return !g_.abortflag;
  }
  // Every command restarts the automatic hang-up's count, so a long call is not cut.
  void send(const std::string& command) {
    commsend(*app_.sys.serial, command + g_.cmdend);
    app_.main.lastsent = app_.timer();
  }
  void status(const std::string& t) { mv_.telstat.set(t); }
  void both(const std::string& t) {
    mv_.telstat.set(t);
    alarm_.telstat.set(t);
  }
  std::vector<int> recipients(const std::string& to) const;
  bool sendone(const Msg& m);
  void report(const Msg& m, const std::string& result, bool confirmed = false);
  void log(const std::vector<std::string>& lines);
  std::string logstamp() const {
    const platform::DateTime t = app_.sys.clock->now();
    return "LOG: " + text::timetext(t) + " " + text::datetext(t);
  }
  void abortending();

  App& app_;
  GpsState& g_;
  MvForm& mv_;
  MvAlarmForm& alarm_;
  bool confirmed_ = false;  // the service gave its reference for the last message reported
};

void Call::run(Msg m) {
  both("Dialing out ...");
  g_.csatstate = CallState::dialling;
  g_.modemconnect = false;
  send("ATDT" + app_.veh.csatnumber);
  waitreply(app_, 30);
  if (g_.abortflag || !g_.modemconnect) return abortending();
  // A service that answers with the CONNECT may already be logging in: its prompt is waited for too.
  if (g_.csatstate == CallState::dialling || g_.csatstate == CallState::online) {
    waitcount(app_, 60);
    if (g_.abortflag) return abortending();
  }

  bool sendit = true;     // the service is at its prompt
  bool deadline = false;  // no service on the line: what is queued waits for the next call
  switch (g_.csatstate) {
    case CallState::prompt: break;
    case CallState::busy:
      mv_.telstat.backcolor = ui::red;
      status("ENGAGED");
      if (!pause(2)) return abortending();
      report(m, " to " + m.to + " NOT SENT (ENGAGED)");
      sendit = false, deadline = true;
      break;
    case CallState::sent:  // a reference before any message of ours: nothing to confirm
      report(m, "");
      sendit = false;
      break;
    default:  // no prompt in time
      mv_.telstat.backcolor = ui::red;
      status("Break...");
      if (!pause(1)) return abortending();
      send("QUIT");
      if (!pause(1)) return abortending();
      status("Hanging up...");
      hangup(app_);
      if (!pause(2)) return abortending();
      report(m, " to " + m.to + " NOT SENT (TIME OUT)");
      sendit = false, deadline = true;
  }

  for (;;) {
    if (sendit && !sendone(m)) return abortending();
    if (deadline || g_.msgq.empty()) break;
    m = *queuepeek(g_);
    mv_.mtxadd.set(m.to);
    status("SEND " + m.body);
    sendit = true;
  }

  both("Quit ...");
  if (!pause(1)) return abortending();
  send("QUIT");
  both("");
  if (deadline && !g_.msgq.empty()) {
    const std::string waiting = std::to_string(g_.msgq.size()) + " QUEUED FOR NEXT CALL";
    status(waiting);
    log({logstamp() + "  " + waiting});
  }
  // The box turns green when the service confirmed the call's last message.
  if (confirmed_) mv_.mtx.backcolor = ui::green;
  // The line stays up: the dial monitor hangs it up once it has been quiet long enough.
}

// The table slots a message goes to: the units heard from lately for "ALL UNITS", in table
// order; otherwise the last unit of that label. A unit without a service address is none.
std::vector<int> Call::recipients(const std::string& to) const {
  const VehicleTable& v = app_.veh;
  const int last = std::min(v.mvtotal, static_cast<int>(std::min(v.mvdial.size(), v.mvtimer.size())) - 1);
  const std::string want = text::rtrim(to);
  std::vector<int> r;
  if (want == "ALL UNITS") {
    const float now = app_.timer();
    for (int i = 1; i <= last; ++i)
      if (!v.mvdial[std::size_t(i)].empty() && elapsed(now, v.mvtimer[std::size_t(i)]) < recentsecs) r.push_back(i);
    return r;
  }
  if (want.empty()) return r;
  for (int i = std::min(last, static_cast<int>(v.mvlabel.size()) - 1); i >= 1; --i) {
    if (text::rtrim(v.mvlabel[std::size_t(i)]) != want) continue;
    if (!v.mvdial[std::size_t(i)].empty()) r.push_back(i);
    break;
  }
  return r;
}

// One message through the service's prompts and its reference, its outcome reported; false on
// abort.
bool Call::sendone(const Msg& m) {
  const std::vector<int> units = recipients(m.to);
  // "ALL UNITS" with none heard from lately still waits for the service's reference.
  if (units.empty() && text::rtrim(m.to) != "ALL UNITS") {
    report(m, " to " + m.to + " NOT SENT (NO SUCH UNIT)");
    return true;
  }
  if (!pause(2)) return false;
  const std::string block = m.body + g_.cmdend + ".S" + g_.cmdend;
  for (const int i : units) {
    // The prompts are not waited for, and the serial poll passes over them.
    g_.csatstate = CallState::prompt;
    status("BT CSAT >SEND");
    if (!pause(1)) return false;
    send("SEND");
    status("BT CSAT >TO");
    if (!pause(1)) return false;
    send(app_.veh.mvdial[std::size_t(i)]);
    status("BT CSAT >TEXT");
    if (!pause(1)) return false;
    send(m.text + block);
  }
  g_.csatstate = CallState::dialling;
  status("(waiting for ref)");
  waitcount(app_, 60);
  if (g_.abortflag) return false;
  // Only the service's reference line confirms a message: without one the log says it is still
  // awaited, whatever else the status line shows by now.
  const bool ref = g_.csatstate == CallState::sent;
  std::string result = "Ref" + (ref ? mv_.telstat.caption : std::string("(waiting for ref)")) + " to " + m.to;
  if (g_.csatstate == CallState::unreachable) {
    both("Vehicle off ?");
    mv_.telstat.backcolor = ui::red;
    app_.sys.wav->beep();
    if (!pause(2)) return false;
    result = " to " + m.to + " NOT SENT (Vehicle off?)";
  }
  report(m, result, ref);
  return true;
}

// The outcome of one message, on the printer and in the trip log; confirmed when the service's
// reference for it came.
void Call::report(const Msg& m, const std::string& result, bool confirmed) {
  confirmed_ = confirmed;
  mv_.telstat.backcolor = ui::lightgrey;
  mv_.teletim.set("");
  g_.csatstate = CallState::idle;
  if (m.body.size() <= 2)
    log({logstamp() + " " + result + "  " + m.text + m.body});
  else
    log({logstamp() + "  " + result, m.text + m.body});
}

void Call::log(const std::vector<std::string>& lines) {
  const bool print = g_.printon;  // a failing printer is reported for each line
  for (const std::string& l : lines) {
    if (print) callhook(app_.hooks.printline, app_, l);
    writetriplog(g_, l);
  }
}

// No log line: nothing was sent. The queue stays for the next call. The status is shown again
// after the hang-up: a modem that drops the call on DTR answers NO CARRIER meanwhile, which
// empties the status labels.
void Call::abortending() {
  both("Call Aborted ...");
  g_.abortflag = false;
  g_.csatstate = CallState::idle;
  hangup(app_);
  both("Call Aborted ...");
  mv_.teletim.set("");
}

// The dial panel is moved to the far side of the screen when the own car lies under it.
void keepcarvisible(App& app, DialForm& d) {
  float px = 0, py = 0;
  if (!worldtopix(app.geo, app.map, app.gps.ownx, app.gps.owny, px, py)) return;
  const auto left = static_cast<float>(d.left), top = static_cast<float>(d.top);
  const float right = left + static_cast<float>(d.width), bottom = top + static_cast<float>(d.height);
  if (!(px > left && px < right && py > top && py < bottom)) return;
  const float scr = app.map.scrwidth;
  d.left = px < scr / 2 ? static_cast<int>(scr) - (d.width + 10) : 10;
}

}  // namespace

void dialsend(App& app, const std::string& to, const std::string& text, const std::string& body) {
  auto& g = app.gps;
  if (app.veh.csatnumber.size() <= 1 || g.callsteps.sending) return;
  CallScope scope(g);
  g.abortflag = false;  // an abort pressed while no call ran is not this call's
  Call(app).run({to, text, body});
}

void dialmon(App& app) {
  auto& g = app.gps;
  MainState& m = app.main;
  // The hang-up below waits with events running; a tick inside it must not start another.
  if (g.callsteps.monitoring) return;
  StepMark mark(g.callsteps.monitoring);

  if (app.win.loaded<DialForm>() && app.win.get<DialForm>().visible) keepcarvisible(app, app.win.get<DialForm>());

  if (g.connected > 0) {
    DialForm& d = app.win.get<DialForm>();
    const auto s = static_cast<long long>(std::floor(elapsed(app.timer(), m.lastsent)));
    if (s > 5) d.caption = text::str(s);
    if (s > 40) d.caption = "no reply... ";
    if (g.modemconnect) {
      d.caption = "Connected !";
      // A message call dialled meanwhile waits for this CONNECT too: it is left for the call.
      if (!g.callsteps.sending) g.modemconnect = false;
      g.connected = 0;
    }
    if (g.modembusy) {
      d.caption = "Line Busy";
      g.modembusy = false;
      g.connected = 0;
    }
    if (g.modemnodial) {
      d.caption = "No Dialtone";
      {
        TalkGuard talk(app.speech);
        talk.on();
        showmsg(app.voice, "Are you sure modem is connected to telephone line ?");
      }
      g.modemnodial = false;
      g.connected = 0;
    }
  }

  if (g.autohangup > 0 && elapsed(app.timer(), m.lastsent) > static_cast<float>(g.autohangup)) {
    m.lastsent = 1e10f;  // first: no call in progress, whatever runs inside the hang-up's wait
    {
      TalkGuard talk(app.speech);
      talk.on();
      showmsg(app.voice, "time to hangup ...");
    }
    hangup(app);
  }
}

}  // namespace zarn
