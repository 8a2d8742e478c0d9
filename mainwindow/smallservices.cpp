#include "mainwindow/smallservices.h"

#include <algorithm>
#include <cmath>

#include "app/app.h"
#include "gpsinput/logs.h"
#include "mainwindow/demo.h"
#include "mainwindow/secondary.h"
#include "mainwindow/startwin.h"
#include "navigation/iform.h"
#include "speech/msgline.h"
#include "speech/queue.h"
#include "vehicles/mvforms.h"

namespace zarn {

namespace {

// The system's reason, when it gave one, follows the message.
void printerfailed(Voice& voice, GpsState& g, Windows& win) {
  const std::string& why = voice.sys.printer->lasterror();
  const std::string reason = why.empty() ? "" : " (" + why + ")";
  showmsgwav(voice, "Please check the Printer. It may have run out of paper." + reason, "$mv$perr.wav");
  g.printon = 0;
  auto& mv = win.get<MvForm>();
  mv.printlab.set("Printing OFF");
  mv.printlab.backcolor = ui::lightgrey;
  voice.sys.dialogs->msgbox(
      "Please check the printer. It may be switched off or have run out of paper. I am switching off "
      "printing, so you will have to switch it back on." + reason,
      platform::mb::ok, "Printer Error");
}

}  // namespace

void printline(Voice& voice, GpsState& g, Windows& win, const std::string& line) {
  if (!voice.sys.printer->printline(line)) printerfailed(voice, g, win);
}

void settleprinter(Voice& voice, GpsState& g, Windows& win) {
  if (!voice.sys.printer->settle(voice.sys.clock->timer())) printerfailed(voice, g, win);
}

void setfillcol(MainState& m, Windows& win, ui::Colour colour) {
  if (colour == m.fillcol) return;
  m.fillcol = colour;
  IForm& i = win.get<IForm>();
  i.gpslight.fillcolor = colour;
  i.touch();
  ZarnBgdForm& b = win.get<ZarnBgdForm>();
  b.gps.fillcolor = colour;
  b.touch();
}

void hidecontrols(ControlsForm& c) { c.hide(); }

void showcontrols(ControlsForm& c, MainState& m, ZarnForm& z) {
  c.show();
  if (m.demoon == 1) {
    demooff(m);
    z.modebox.set("SIM");
  }
}

bool controlsvis(const ControlsForm& c) { return c.visible; }

void runpicviewr(Voice& voice, const std::string& name) {
  std::string error;
  if (!name.empty() && !voice.files.writelines("PICVIEWR.CFG", {name}, &error)) {
    // The viewer would show whatever the old file names.
    showmsg(voice, "PICVIEWR.CFG not written: " + error);
    return;
  }
  // The viewer reads its file itself: it gets no arguments, so nothing in the name can reach a
  // command line.
  if (!voice.sys.programs->start("PICVIEWR.EXE", {}, false, &error)) showmsg(voice, "PICVIEWR.EXE: " + error);
  voice.doevents();
}

std::string greetingname(float secs) {
  const float h = secs / 3600.0f;
  std::string g = "hello";
  if (h > 5) g = "goodmorn";
  if (h > 12) g = "goodafte";
  if (h > 18) g = "goodeven";
  if (h > 22) g = "hello";
  return g;
}

void greeting(Voice& voice) {
  queuesay(voice, greetingname(voice.timer()) + ".wav");
  speakqueue(voice);
}

void startbar(StartForm& f, float fraction) {
  const int x1 = ui::pixel(320 - 320 * fraction);
  const int x2 = ui::pixel(320 + 320 * fraction);
  if (f.startline.x1 == x1 && f.startline.x2 == x2) return;
  f.startline.x1 = x1;
  f.startline.x2 = x2;
  f.touch();
}

void endprogram(App& app) {
  // The trip log is closed now: whatever the events still pending do, they log nothing more.
  closetriplog(app.gps);
  app.main.quit = true;
}

}  // namespace zarn
