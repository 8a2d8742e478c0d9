#include "vehicles/mvwindow.h"

#include "app/app.h"
#include "gpsinput/logs.h"
#include "gpsinput/modem.h"
#include "gpsinput/serialpoll.h"
#include "gpsinput/waits.h"
#include "mapdisplay/mapchoice.h"
#include "mapdisplay/overlays.h"
#include "platform/files.h"
#include "platform/textrules.h"
#include "speech/msgline.h"
#include "speech/queue.h"
#include "vehicles/alarmwindow.h"
#include "vehicles/chase.h"
#include "vehicles/dialforms.h"
#include "vehicles/dialout.h"
#include "vehicles/dialpanel.h"
#include "vehicles/mcv.h"
#include "vehicles/mvforms.h"
#include "vehicles/vehicledraw.h"

namespace zarn {

namespace {

// A state label: the on state on green, the off state on light grey.
void showstate(ui::Label& l, bool on, const std::string& ontext, const std::string& offtext) {
  l.set(on ? ontext : offtext);
  l.backcolor = on ? ui::green : ui::lightgrey;
}

bool hasslot(const VehicleTable& v, int i) {
  return i >= 1 && i <= v.mvsize && static_cast<std::size_t>(i) < v.mvlabel.size() &&
         static_cast<std::size_t>(i) < v.mvx.size() && static_cast<std::size_t>(i) < v.mvy.size();
}

// Marks a dial-up data call running; every way out ends it, the service's dialogue back to
// idle (so that vehicle lines are read again) and the abort cleared.
class DataCall {
 public:
  explicit DataCall(App& app) : app_(app) { app.veh.dialbusy = true; }
  ~DataCall() {
    app_.veh.dialbusy = false;
    app_.gps.csatstate = CallState::idle;
    app_.gps.abortflag = false;
  }
  DataCall(const DataCall&) = delete;
  DataCall& operator=(const DataCall&) = delete;

 private:
  App& app_;
};

}  // namespace

void callstatus(Windows& win, const std::string& text) {
  win.get<MvForm>().telstat.set(text);
  win.get<MvAlarmForm>().telstat.set(text);
}

std::optional<std::string> sendablebody(std::string_view typed) {
  std::string body;
  for (const char c : typed) {
    const auto u = static_cast<unsigned char>(c);
    if (u >= 32 && !(u >= 127 && u < 160)) body += c;
  }
  if (text::ucase(text::trim(body)) == ".S") return std::nullopt;
  return body;
}

MessageCall::MessageCall(App& app) : app_(app) { app.veh.callbusy = true; }
MessageCall::~MessageCall() {
  app_.veh.callbusy = false;
  app_.gps.abortflag = false;
}

bool getmodem(App& app) {
  GpsState& g = app.gps;
  g.abortflag = false;
  app.win.get<MvForm>().telstat.backcolor = ui::white;
  callstatus(app.win, "Hangup ...");
  hangup(app);
  if (g.abortflag) {
    callstatus(app.win, "Call Aborted");
    return false;
  }
  callstatus(app.win, "Get Modem ...");
  g.abortflag = false;
  if (modemtest(app, 3)) return true;
  // Both windows keep the verdict: given back its text before, the message window's label
  // would go on saying "Get Modem ..." for a call that has ended.
  callstatus(app.win, "no modem OK");
  app.sys.wav->beep();
  return false;
}

bool queueforcall(App& app, const std::string& to, const std::string& text, const std::string& body,
                  const std::string& what) {
  if (queuemsg(app.gps, to, text, body)) return true;
  const std::string said = what + " NOT Queued : queue full";
  app.win.get<MvAlarmForm>().telstat.set(said);
  app.sys.wav->beep();
  showmsgsay(app.voice, said);
  return false;
}

void sorryincoming(App& app, float secs, const std::string& after) {
  ui::Label& t = app.win.get<MvAlarmForm>().telstat;
  const std::string before = t.caption;
  t.transparent = false;
  t.set("Sorry : Incoming Call");
  app.sys.wav->beep();
  if (secs > 0) delaysec(app, secs);
  t.set(after.empty() ? before : after);
  t.transparent = true;
}

std::string refusedindatacall(App& app, const std::string& what) {
  const std::string said = what + " NOT sent : data call running";
  app.sys.wav->beep();
  showmsgsay(app.voice, said);
  return said;
}

void markselected(App& app, int i) {
  VehicleTable& v = app.veh;
  if (app.win.loaded<MvForm>()) {
    auto& rows = app.win.get<MvForm>().mvdata;
    if (rows.exists(v.mvsel - 1)) rows[v.mvsel - 1].backcolor = ui::lightgrey;
    if (rows.exists(i - 1)) rows[i - 1].backcolor = ui::white;
    app.win.get<MvForm>().touch();
  }
  v.mvsel = i;
}

void mvim_Click(App& app, int i) {
  VehicleTable& v = app.veh;
  if (!hasslot(v, i)) return;
  markselected(app, i);
  app.win.get<MvForm>().mtxadd.set(v.mvlabel[static_cast<std::size_t>(i)]);
  drawvehicle(app.win.zarn, v, app.geo, app.map, i);
  selvehicle(app, i);
}

namespace mvform {

void mvdata_Click(App& app, int index) {
  VehicleTable& v = app.veh;
  const int i = index + 1;
  if (!hasslot(v, i)) return;
  const auto k = static_cast<std::size_t>(i);
  markselected(app, i);
  app.win.get<MvForm>().mtxadd.set(v.mvlabel[k]);
  drawvehicles(app);
  // A unit that has never reported has no place to show.
  if (v.mvx[k] != 0 || v.mvy[k] != 0) {
    selvehicle(app, v.mvsel);
    choosemap(app, v.mvx[k], v.mvy[k]);
  }
  const std::string txt = unitfile("$MV$", v.mvlabel[k], ".TXT");
  if (!txt.empty() && app.files.exists(txt)) {
    TalkGuard talk(app.speech);
    talk.on();
    showmsg(app.voice, app.files.readfirstline(txt));
  }
  const std::string wav = unitfile("$MV$", v.mvlabel[k], ".WAV");
  if (!wav.empty() && app.files.exists(wav)) {
    {
      TalkGuard talk(app.speech);
      talk.on();
      speakqueue(app.voice);
      queuewav(app.voice, wav);
    }
    speakqueue(app.voice);
  }
}

void all_Click(App& app) { app.win.get<MvForm>().mtxadd.set("ALL UNITS"); }

void clrmsg_Click(App& app) { app.win.get<MvForm>().mtx.text.clear(); }

void sendnow_Click(App& app) {
  VehicleTable& v = app.veh;
  MvForm& mv = app.win.get<MvForm>();
  auto body = sendablebody(mv.mtx.text);
  if (!body) {
    mv.telstat.set("Not sent : .S ends a message");
    app.sys.wav->beep();
    return;
  }
  if (body->size() == 1) body->insert(0, "0");
  const std::string to = mv.mtxadd.caption;
  if (v.dialbusy) {
    mv.telstat.set(refusedindatacall(app, "Message"));
    return;
  }
  // A message call is running: it sends what is queued once its own message is through.
  if (v.callbusy) {
    if (queueforcall(app, to, v.sendnowtext, *body, "Message"))
      app.win.get<MvAlarmForm>().telstat.set("Message Queued ..");
    return;
  }
  if (app.gps.incall == 1) {
    sorryincoming(app, 0);
    return;
  }
  MessageCall call(app);
  if (getmodem(app)) dialsend(app, to, v.sendnowtext, *body);
}

void abort_Click(App& app) {
  VehicleTable& v = app.veh;
  app.gps.abortflag = true;
  if (v.aborting) return;  // the first ABORT is still waiting and hangs up
  v.aborting = true;
  app.waitfor(2, [&app] {
    readcomms(app);
    return false;
  });
  hangup(app);
  v.aborting = false;
  // A call the ABORT ended clears the flag as it ends; with none running nothing else would.
  if (!v.callbusy && !v.dialbusy && !v.dialcmdbusy) app.gps.abortflag = false;
}

void dialupdata_Click(App& app) {
  VehicleTable& v = app.veh;
  GpsState& g = app.gps;
  if (v.dialnumber.empty() || v.dialbusy || v.callbusy) {
    app.sys.wav->beep();
    return;
  }
  g.abortflag = false;
  DataCall call(app);
  g.mvdatamode = DataMode::message;
  g.reportmode = ReportMode::line1;
  MvForm& mv = app.win.get<MvForm>();
  v.mvautosel = false;
  showstate(mv.autoselab, false, "Auto Selection ON", "Auto Selection OFF");
  g.csatstate = CallState::dialling;
  mv.telstat.backcolor = ui::white;
  callstatus(app.win, "Hangup ...");
  hangup(app);
  callstatus(app.win, "Get Modem ...");
  modemtest(app, 3);
  if (!g.abortflag) {
    callstatus(app.win, "Dialing out ...");
    g.modemconnect = false;
    commsend(*app.sys.serial, "ATDT" + v.dialnumber + g.cmdend);
    app.main.lastsent = app.timer();
    waitreply(app, 30);
    if (!g.abortflag && g.modemconnect) {
      g.csatstate = CallState::idle;
      delaysec(app, 600);
    }
  }
  callstatus(app.win, "Hanging up ...");
  g.abortflag = false;
  hangup(app);
}

void asoundsc_Click(App& app) {
  static constexpr const char* states[] = {"No alarm sounds", "Alarm sounds only", "Alarm speech only",
                                           "Alarm sound+speech"};
  int& s = app.veh.alarmsound;
  s = s >= 3 || s < 0 ? 0 : s + 1;
  app.win.get<MvForm>().asoundst.set(states[s]);
}

void autoselon_Click(App& app) {
  VehicleTable& v = app.veh;
  v.mvautosel = !v.mvautosel;
  showstate(app.win.get<MvForm>().autoselab, v.mvautosel, "Auto Selection ON", "Auto Selection OFF");
}

void nonewc_Click(App& app) {
  VehicleTable& v = app.veh;
  v.nonewmv = !v.nonewmv;
  app.win.get<MvForm>().nonewl.set(v.nonewmv ? "ignore new vehicles" : "add new vehicles");
}

void whatlog_Click(App& app) {
  GpsState& g = app.gps;
  g.logall = !g.logall;
  app.win.get<MvForm>().whatlab.set(g.logall ? "All data logged" : "Minimum data logged");
}

void pic_Click(App& app) {
  int& shown = app.nav.routeshown;
  shown = 1 - shown;
  showstate(app.win.get<MvForm>().pictxt, shown == 1, "Overlay ON", "Overlay OFF");
  drawwproute(app);
}

void loglabon_Click(App& app) {
  GpsState& g = app.gps;
  ui::Label& lab = app.win.get<MvForm>().loglab;
  if (g.logopen) {
    closetriplog(g);
    showstate(lab, false, "Logging ON", "Logging OFF");
    return;
  }
  closetriplog(g);
  std::string why;
  g.triplog = platform::OutputFile::open(app.files, "NEWTRIP.MVD", platform::OutputFile::Mode::Append, &why);
  if (!g.triplog) {
    showmsgsay(app.voice, "Cannot log to NEWTRIP.MVD: " + why);
    showstate(lab, false, "Logging ON", "Logging OFF");
    return;
  }
  g.logopen = true;
  showstate(lab, true, "Logging ON", "Logging OFF");
}

void printlabon_Click(App& app) {
  GpsState& g = app.gps;
  g.printon = !g.printon;
  showstate(app.win.get<MvForm>().printlab, g.printon, "Printing ON", "Printing OFF");
  const platform::DateTime t = app.sys.clock->now();
  callhook(app.hooks.printline, app,
           std::string(g.printon ? "Printing on at " : "Printing OFF at ") + text::timetext(t) + " on " +
               text::datetext(t));
}

void eng_Click(App& app) {
  MvEngForm& e = app.win.get<MvEngForm>();
  e.visible ? e.hide() : e.show();
}

}  // namespace mvform

void wirevehiclewindows(App& app) {
  Windows& win = app.win;
  // The vehicles' icons on the map, made as the table is.
  auto& icons = win.zarn.mvim;
  for (int i = 1; i <= icons.ubound(); ++i)
    if (ui::Image* icon = icons.find(i); icon && !icon->onClick) icon->onClick = [&app, i] { mvim_Click(app, i); };
  if (win.loaded<MvForm>()) {
    MvForm& f = win.get<MvForm>();
    if (!f.sendnow.onClick) {
      using namespace mvform;
      const std::pair<ui::Button*, void (*)(App&)> buttons[] = {
          {&f.nonewc, nonewc_Click},       {&f.asoundsc, asoundsc_Click}, {&f.eng, eng_Click},
          {&f.dialupdata, dialupdata_Click}, {&f.pic, pic_Click},       {&f.whatlog, whatlog_Click},
          {&f.abort, abort_Click},         {&f.sendnow, sendnow_Click}, {&f.autoselon, autoselon_Click},
          {&f.printlabon, printlabon_Click}, {&f.loglabon, loglabon_Click}, {&f.clrmsg, clrmsg_Click},
          {&f.all, all_Click}};
      for (const auto& button : buttons) {
        void (*handler)(App&) = button.second;  // clang 14 cannot capture a structured binding
        button.first->onClick = [&app, handler] { handler(app); };
      }
      f.mtx.onChange = [&app] {
        app.main.lastkey = 0;
        app.main.lastclick = app.timer();
      };
      // A key left for the main tick by another window is dropped once the code is typed.
      f.mtx.onKeyDown = [&app](int&, int) { app.main.lastkey = 0; };
      f.onMouseMove = [&app](const ui::MouseEvent&) { app.main.lastclick = app.timer(); };
      // The base station's panel lasts as long as multi-vehicle mode: nothing would bring it back
      // once closed, so its close box leaves it up.
      f.onClose = [&app, &f] {
        if (app.main.mvmode == 1) f.show();
      };
    }
    // Rows may be added as the table grows.
    for (int k = 0; k <= f.mvdata.ubound(); ++k)
      if (f.mvdata.exists(k) && !f.mvdata[k].onClick) f.mvdata[k].onClick = [&app, k] { mvform::mvdata_Click(app, k); };
  }
  if (win.loaded<MvAlarmForm>()) {
    MvAlarmForm& f = win.get<MvAlarmForm>();
    if (!f.cancel.onClick) {
      f.cancel.onClick = [&app] { mvalarm::cancel_Click(app); };
      f.ack.onClick = [&app] { mvalarm::ack_Click(app); };
      // The main tick runs the key.
      f.onKeyPress = [&app](int& k) { app.main.lastkey = k; };
    }
  }
  if (win.loaded<DialForm>()) {
    DialForm& f = win.get<DialForm>();
    if (!f.cancel.onClick) {
      f.cancel.onClick = [&app] { dialform::cancel_Click(app); };
      for (int k = 0; k < DialForm::buttons; ++k)
        if (f.dialcmd.exists(k)) f.dialcmd[k].onClick = [&app, k] { dialform::dialcmd_Click(app, k); };
    }
  }
  if (win.loaded<CarbugForm>()) {
    CarbugForm& f = win.get<CarbugForm>();
    if (!f.ok.onClick) {
      f.ok.onClick = [&app] { carbug::ok_Click(app); };
      f.cancel.onClick = [&app] { carbug::cancel_Click(app); };
    }
  }
}

}  // namespace zarn
