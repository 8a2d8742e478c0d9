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

void printline(App& app, const std::string& line) {
  if (app.sys.printer->printline(line)) return;
  showmsgwav(app.voice, "Please check the Printer. It may have run out of paper.", "$mv$perr.wav");
  app.gps.printon = 0;
  app.win.get<MvForm>().printlabon.set("Printing OFF");
  app.msgbox(
      "Please check the printer. It may be switched off or have run out of paper. I am switching off "
      "printing, so you will have to switch it back on.",
      platform::mb::ok, "Printer Error");
}

void setfillcol(App& app, ui::Colour colour) {
  if (colour == app.main.fillcol) return;
  app.main.fillcol = colour;
  IForm& i = app.win.get<IForm>();
  i.gpslight.fillcolor = colour;
  i.touch();
  ZarnBgdForm& b = app.win.get<ZarnBgdForm>();
  b.gps.fillcolor = colour;
  b.touch();
}

void hidecontrols(App& app) { app.win.get<ControlsForm>().hide(); }

void showcontrols(App& app) {
  app.win.get<ControlsForm>().show();
  if (app.main.demoon == 1) {
    demooff(app);
    app.win.zarn.modebox.set("SIM");
  }
}

bool controlsvis(App& app) { return app.win.get<ControlsForm>().visible; }

void runpicviewr(App& app, const std::string& name) {
  std::string error;
  if (!name.empty() && !app.files.writelines("PICVIEWR.CFG", {name}, &error)) {
    // The viewer would show whatever the old file names.
    showmsg(app.voice, "PICVIEWR.CFG not written: " + error);
    return;
  }
  // The viewer reads its file itself: it gets no arguments, so nothing in the name can reach a
  // command line.
  if (!app.sys.programs->start("PICVIEWR.EXE", {}, false, &error)) showmsg(app.voice, "PICVIEWR.EXE: " + error);
  app.doevents();
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

void greeting(App& app) {
  queuesay(app.voice, greetingname(app.timer()) + ".wav");
  speakqueue(app.voice);
}

void startbar(App& app, float fraction) {
  StartForm& f = app.win.get<StartForm>();
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
