#include "vehicles/dialpanel.h"

#include <algorithm>

#include "app/app.h"
#include "gpsinput/modem.h"
#include "mapdisplay/pictures.h"
#include "platform/files.h"
#include "platform/serial.h"
#include "platform/textrules.h"
#include "speech/msgline.h"
#include "speech/queue.h"
#include "vehicles/dialforms.h"
#include "vehicles/mvwindow.h"

namespace zarn {

namespace {

constexpr const char* dialfile = "ZARNDIAL.CFG";

// The dial file's fields end at a comma: "_" stands for one.
std::string unescape(std::string s) {
  std::replace(s.begin(), s.end(), '_', ',');
  return s;
}
std::string escape(std::string s) {
  std::replace(s.begin(), s.end(), ',', '_');
  return s;
}

// A dial panel button's hang-up or modem test is running; its end clears the abort.
class PanelBusy {
 public:
  explicit PanelBusy(App& app) : app_(app) { app.veh.dialcmdbusy = true; }
  ~PanelBusy() {
    app_.veh.dialcmdbusy = false;
    app_.gps.abortflag = false;
  }
  PanelBusy(const PanelBusy&) = delete;
  PanelBusy& operator=(const PanelBusy&) = delete;

 private:
  App& app_;
};

void clearreplies(GpsState& g, bool hungup) {
  g.modemok = g.modemconnect = g.modembusy = g.modemnodial = false;
  g.connected = hungup ? 0 : 1;
}

}  // namespace

namespace dialform {

void dialcmd_Click(App& app, int index) {
  MainState& m = app.main;
  GpsState& g = app.gps;
  VehicleTable& v = app.veh;
  m.lastsent = app.timer();
  if (v.dialcmdbusy) {  // another button is still hanging up or testing the modem
    app.sys.wav->beep();
    return;
  }
  auto f = platform::InputFile::open(app.files, dialfile);
  if (!f) return;
  TalkGuard talk(app.speech);
  talk.on();
  const double n = f->number();
  if (index < 0 || n < index + 1) return;
  std::string label, cmd;
  for (int k = 0; k <= index; ++k) {
    if (f->eof()) return;
    label = f->field();
    cmd = f->field();
  }
  DialForm& d = app.win.get<DialForm>();
  if (cmd == "+++") {
    PanelBusy busy(app);
    d.caption = "hanging up... ";
    showmsg(app.voice, "Hanging Up Phone ..");
    hangup(app);
    m.lastsent = 1e10f;
    clearreplies(g, true);
    return;
  }
  cmd = unescape(cmd);
  std::string note;
  if (const auto at = cmd.find('@'); at != std::string::npos) {
    const std::string suffix = text::trim(cmd.substr(at + 1));
    cmd.erase(at);
    if (suffix.size() < 4) {
      m.pollint = static_cast<int>(text::val(suffix));
      m.pollcmd = cmd;
      m.pollmsg = label;
    } else {
      const std::string settings = suffix + ",N,8,1";
      std::string why;
      if (!platform::parsesettings(settings, &why) || !app.sys.serial->setsettings(settings)) {
        if (why.empty()) why = app.sys.serial->lasterror();
        showmsg(app.voice, "Line speed " + suffix + " refused" + (why.empty() ? "" : ": " + why));
        app.sys.wav->beep();
        return;
      }
      m.pollint = 0;
      PanelBusy busy(app);
      modemtest(app, 2);
      note = " at " + suffix;
    }
  }
  const bool dial = text::ucase(cmd.substr(0, 4)) == "ATDT" && cmd.size() >= 5;
  if (dial) {
    std::string name;
    const int last = std::min(v.mvsize, static_cast<int>(std::min(v.mvdial.size(), v.mvid.size())) - 1);
    for (int i = 1; i <= last; ++i) {
      const auto k = static_cast<std::size_t>(i);
      if (v.mvdial[k].empty() || unescape(v.mvdial[k]) != cmd) continue;
      markselected(app, i);
      g.callsign = v.mvid[k];
      name = " on " + v.mvlabel[k];
      break;
    }
    showmsg(app.voice, "Dial " + name + label + note + " ..");
    d.caption = "dialing... ";
  } else {
    showmsg(app.voice, "Control " + label + " ..");
    d.caption = "sending... ";
  }
  commsend(*app.sys.serial, cmd);
  commsend(*app.sys.serial, "\r");
  m.lastsent = app.timer();
  clearreplies(g, false);
}

void cancel_Click(App& app) { app.win.get<DialForm>().hide(); }

}  // namespace dialform

namespace carbug {

void Form_Load(App& app) {
  CarbugForm& c = app.win.get<CarbugForm>();
  if (app.map.scrwidth == 640) {
    c.left = 20;
    c.top = 20;
  }
  if (app.sys.images)
    if (auto p = loadpicture(app.files, *app.sys.images, "ZARNCARB.BMP")) c.Image1.setpicture(std::move(p));
}

std::optional<std::string> dialnumber(std::string_view typed, std::string* why) {
  const auto refuse = [why](const char* reason) -> std::optional<std::string> {
    if (why) *why = reason;
    return std::nullopt;
  };
  const std::string n = text::trim(typed);
  if (n.empty()) return refuse("Please type the telephone number");
  for (const char c : n) {
    const auto u = static_cast<unsigned char>(c);
    if (u < 32 || (u >= 127 && u < 160)) return refuse("The telephone number holds a control character");
    if (c == '"' || c == '@') return refuse("The telephone number cannot hold \" or @");
  }
  return escape(n);
}

void ok_Click(App& app) {
  CarbugForm& c = app.win.get<CarbugForm>();
  std::string why;
  const auto number = dialnumber(c.telno.text, &why);
  if (!number) {
    c.Label4.set(why);
    showmsgsay(app.voice, why);
    app.sys.wav->beep();
    return;
  }
  std::vector<std::string> add = app.files.readlines("ADD2DIAL.CFG").value_or(std::vector<std::string>{});
  add.resize(2);
  app.files.writelines(dialfile, {"2", "Dial," + escape(add[0]) + *number + escape(add[1]), "Hangup,+++"});
  if (const std::string t = text::trim(c.timeout.text); !t.empty())
    app.files.writelines("DIALTIME.CFG", {t});
  else
    app.files.remove("DIALTIME.CFG");
  app.files.writelines("COMPORT.CFG", {c.comprt.text});
  c.Label4.set("");
  c.hide();
}

void cancel_Click(App& app) { app.win.get<CarbugForm>().hide(); }

}  // namespace carbug

}  // namespace zarn
