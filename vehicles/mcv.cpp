#include "vehicles/mcv.h"

#include <algorithm>
#include <cctype>

#include "app/app.h"
#include "mapdisplay/startform.h"
#include "geodesy/postext.h"
#include "gpsinput/modem.h"
#include "gpsinput/serialpoll.h"
#include "platform/textrules.h"
#include "speech/queue.h"
#include "vehicles/mvforms.h"

namespace zarn {

using text::trim;

void sizetable(VehicleTable& v, int size) {
  const auto n = static_cast<std::size_t>(size) + 1;
  v.mvsize = size;
  for (auto* a : {&v.mvx, &v.mvy, &v.mvtimer}) a->assign(n, 0.0f);
  for (auto* a : {&v.mvid, &v.mvlabel, &v.mvloc, &v.mvstat, &v.mvhhmm, &v.mvdial}) a->assign(n, std::string());
  v.mvspd.assign(n, -1.0f);  // not reported yet
  v.mvhdg.assign(n, VehicleTable::hdgnever);
}

namespace {

bool fail(std::string* problem, const std::string& why) {
  if (problem) *problem = why;
  return false;
}

}  // namespace

bool readmcv(App& app, std::string* problem, std::optional<std::string>* refused) {
  VehicleTable& v = app.veh;
  auto& z = app.win.zarn;
  setstatlabel(app.win.get<StartForm>(), *app.sys.events, "Checking Multiple Vehicle Configuration ...");
  delaysec(app, 1.0f);
  auto f = platform::InputFile::open(app.files, "ZARN.MCV");
  if (!f) return fail(problem, "ZARN.MCV cannot be read");
  const auto ended = [&] { return fail(problem, "ZARN.MCV ends early: the rest of its settings are missing"); };

  std::string l;
  if (f->eof()) return ended();
  f->lineinput();  // title
  if (!platform::readcfgline(*f, l)) return ended();
  setstatlabel(app.win.get<StartForm>(), *app.sys.events, "Setting baud rate to " + l + " ...");
  delaysec(app, 0.5f);
  speakqueue(app.voice);
  if (!app.sys.serial->setsettings(trim(l)) && refused) *refused = app.sys.serial->lasterror();
  if (!platform::readcfgline(*f, l)) return ended();
  const int ncmd = std::max(0, text::fixint(text::val(l)));
  app.gps.csatstate = CallState::dialling;
  for (int i = 1; i <= ncmd; ++i) {
    if (!platform::readcfgline(*f, l)) {
      app.gps.csatstate = CallState::idle;
      return ended();
    }
    setstatlabel(app.win.get<StartForm>(), *app.sys.events, "Modem Command : " + l);
    commsend(*app.sys.serial, l + "\r");
    delaysec(app, 2.0f);
  }
  app.win.get<MvForm>().teletim.set("");
  app.gps.csatstate = CallState::idle;

  std::string* texts[] = {&v.csatnumber, &v.csatuser, &v.csatpass, &v.sendnowtext, &v.acktext};
  for (std::string* t : texts) {
    if (!platform::readcfgline(*f, l)) return ended();
    *t = t == &v.csatnumber ? trim(l) : l;
  }
  if (!platform::readcfgline(*f, l)) return ended();
  app.gps.gpstimeout = static_cast<float>(text::val(l));
  setstatlabel(app.win.get<StartForm>(), *app.sys.events,
               "Setting GPS timeout to " + text::str(app.gps.gpstimeout) + " secs ...");
  delaysec(app, 0.5f);
  if (!platform::readcfgline(*f, l)) return ended();
  v.dnid = trim(l);
  setstatlabel(app.win.get<StartForm>(), *app.sys.events, "Setting DNID to " + v.dnid);
  delaysec(app, 0.5f);
  if (!platform::readcfgline(*f, l)) return ended();
  v.dialnumber = trim(l);
  if (!platform::readcfgline(*f, l)) return ended();
  const std::string countline = l;
  const double asked = text::val(l);
  v.mvtotal = static_cast<int>(std::clamp(asked, 0.0, static_cast<double>(mvmax)));
  if (asked > mvmax) {
    setstatlabel(app.win.get<StartForm>(), *app.sys.events,
                 "ZARN.MCV asks for" + text::str(static_cast<float>(asked)) + " vehicles: only" +
                     text::str(mvmax) + " are set up");
    delaysec(app, 1.0f);
  }

  if (v.mvtotal > VehicleTable::mvdefault) {
    setstatlabel(app.win.get<StartForm>(), *app.sys.events, "max number now" + text::str(v.mvtotal));
    delaysec(app, 0.5f);
  }
  sizetable(v, std::max(v.mvtotal, VehicleTable::mvdefault));

  app.gps.replayfile = "ZARN.MVD";
  if (text::ucase(app.main.cmdline).find(".MVD") != std::string::npos) app.gps.replayfile = app.main.cmdline;
  resetlink(app.gps);

  ui::PictureRef common;
  if (app.files.exists("$mv$.ico")) common = app.sys.images->load(app.files.resolve("$mv$.ico"));
  for (int i = 0; i <= v.mvsize; ++i) {
    ui::Image& im = z.mvim.load(i);
    ui::Line& ln = z.mvv.load(i);
    if (i > 0) {
      im.zorder(0);
      ln.zorder(0);
      v.mvlabel[i] = ".....";
      v.mvid[i] = ".........";
      v.mvloc[i] = "    ";
    }
    if (common) im.setpicture(common);
  }
  setstatlabel(app.win.get<StartForm>(), *app.sys.events, "Setting up " + countline + " vehicles ...");
  delaysec(app, 1.0f);

  bool whole = true;
  for (int i = 1; i <= v.mvtotal; ++i) {
    if (f->eof()) {
      whole = fail(problem, "ZARN.MCV lists " + std::to_string(v.mvtotal) + " vehicles but holds only " +
                                std::to_string(i - 1));
      break;
    }
    const std::string label = f->field(), id = f->field(), dial = f->field(), pos = f->field();
    v.mvlabel[i] = text::pad(label, 5);
    // Identities are 9 characters wide in every report and table.
    v.mvid[i] = text::pad(id.substr(0, 9), 9);
    v.mvdial[i] = dial;
    ui::Image& im = z.mvim[i];
    if (!pos.empty()) parsepos(app.geo, pos, v.mvx[i], v.mvy[i]);
    app.main.mcvlastpos = pos;
    const std::string icon = unitfile("$mv$", label, ".ICO");
    if (!icon.empty() && app.files.exists(icon)) im.setpicture(app.sys.images->load(app.files.resolve(icon)));
    if (pos.empty()) im.visible = false;
  }
  v.mvsel = 1;
  MvForm& mf = app.win.get<MvForm>();
  mf.mvdata.load(0).backcolor = ui::white;  // row k is vehicle k + 1
  mf.mtxadd.set("ALL UNITS");
  return whole;
}

int findvehicle(VehicleTable& v, const GpsState& gps, platform::WavPlayer& wav, const std::string& id) {
  std::string key = trim(id);
  // A receiver's own talker field stands for the packet-radio station that relayed it.
  if (key == "GP" && gps.callsplit && !trim(gps.callsign).empty()) key = trim(gps.callsign);
  key = trim(text::left(key, 9));
  if (key.empty()) return 0;
  // Every per-vehicle array must hold the slot, whatever size a set-up left them.
  const int slots = static_cast<int>(std::min({v.mvid.size(), v.mvlabel.size(), v.mvx.size(), v.mvy.size(),
                                               v.mvloc.size(), v.mvstat.size(), v.mvhhmm.size(), v.mvtimer.size(),
                                               v.mvdial.size(), v.mvhdg.size(), v.mvspd.size()})) - 1;
  const int cap = std::min(v.mvsize, slots);
  int found = 0;
  for (int k = 1; k <= cap; ++k)
    if (trim(v.mvid[static_cast<std::size_t>(k)]) == key) found = k;
  if (found > 0 || v.nonewmv || cap < 1) return found;
  std::size_t i = 0;
  if (v.mvtotal < cap) {
    i = static_cast<std::size_t>(++v.mvtotal);
  } else {
    // A full table: the newcomer takes over the last slot, starting afresh there, so that
    // nothing of the unit it replaces (place, times, status, dial command) passes for its own.
    wav.beep();
    i = static_cast<std::size_t>(cap);
    v.mvx[i] = v.mvy[i] = v.mvtimer[i] = 0;
    v.mvloc[i] = "    ";
    v.mvstat[i].clear();
    v.mvhhmm[i].clear();
    v.mvdial[i].clear();
    v.mvhdg[i] = VehicleTable::hdgnever;
    v.mvspd[i] = -1;
  }
  v.mvid[i] = text::pad(key, 9);
  v.mvlabel[i] = text::pad(key, 5);
  return static_cast<int>(i);
}

std::string unitfile(const std::string& prefix, const std::string& label, const std::string& ext) {
  const std::string name = trim(label);
  for (const char c : name) {
    const auto u = static_cast<unsigned char>(c);
    if (u >= 128 || !(std::isalnum(u) || c == ' ' || c == '-' || c == '_')) return {};
  }
  return text::left(prefix + name, 8) + ext;
}

}  // namespace zarn
