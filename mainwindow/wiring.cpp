#include "mainwindow/wiring.h"

#include "app/app.h"
#include "gpsinput/ownfix.h"
#include "mainwindow/keys.h"
#include "mainwindow/plotmap.h"
#include "mainwindow/smallservices.h"
#include "mainwindow/takefix.h"
#include "mainwindow/tick.h"
#include "navigation/destinations.h"
#include "navigation/tripmeter.h"
#include "vehicles/linkservices.h"
#include "vehicles/vehicledraw.h"

namespace zarn {

void wirehooks(App& app) {
  // --- The GPS road ---
  app.hooks.sentence = [&app](const LineResult& r, std::string& line) { applyline(app, r, line); };
  app.hooks.filelink = [&app](std::string& line) { applyfilelink(app, line); };

  // --- Speech, map display and navigation reaching up ---
  app.hooks.restartreport = [&app](int kind) { restartreport(app.main, app.timer(), kind); };
  app.hooks.setgpscorr = [&app](float east, float north) { setgpscorr(app.gps, east, north); };
  app.hooks.endprogram = [&app] { endprogram(app); };
  app.hooks.tripupdate = [&app] { tripupdate(app); };
  app.hooks.redrawdest = [&app] { redrawdest(app); };
  app.hooks.drawvehicles = [&app] { drawvehicles(app); };
  app.hooks.keycmd = [&app](int& key) { keycmd(app, key); };
  app.hooks.plotmap = plotmap;

  // The vehicle link: the serial poll's lines and call state, the trip log's name, printing,
  // and the vehicle configuration's progress at start-up.
  app.hooks.linkline = linkline;
  app.hooks.showlink = [](App& a, const LinkShow& show) { showlink(a.win, show); };
  app.hooks.printline = [](App& a, const std::string& line) { printline(a.voice, a.gps, a.win, line); };
}

}  // namespace zarn
