#include "mainwindow/plotmap.h"

#include <algorithm>

#include "app/app.h"
#include "geodesy/transform.h"
#include "gpsinput/filter.h"
#include "mainwindow/readouts.h"
#include "mainwindow/takefix.h"
#include "mapdisplay/mapchoice.h"
#include "mapdisplay/owncar.h"
#include "mapdisplay/symbols.h"
#include "navigation/destinations.h"
#include "navigation/iform.h"
#include "navigation/warnings.h"

namespace zarn {

void plotmap(App& app, const PlotStep& s) {
  GpsState& g = app.gps;
  using K = PlotStep::Kind;
  switch (s.kind) {
    case K::reload:
      choosemap(app, g.ownx, g.owny);
      loadmap(app, app.map.curmap);
      break;
    case K::follow:
      choosemap(app, g.ownx, g.owny);
      showdestdist(app);
      updateinstr(app);
      zonecheck(app);
      automapmove(app);
      break;
    case K::cleartrail: cleartrail(app.map, app.win.zarn); break;
    case K::dot: addtrail(app.map, app.win.zarn, app.geo, g, s.x, s.y); break;
    case K::car: updatecar(app); break;
    case K::sentence:
      if (s.parsed) applyrecord(app, *s.parsed, s.label);
      break;
    case K::found: {
      float px = 0, py = 0;
      worldtopix(app.geo, app.map, s.x, s.y, px, py);
      if (s.first) placesymbol(app, "L", px, py, px, py);
      showsymbol(app.win.zarn, px, py, s.label, true);
      break;
    }
    case K::loadmap: loadmap(app, app.map.curmap); break;
    case K::setdest: {
      const auto slot = static_cast<std::size_t>(std::clamp(app.nav.curdest, 0, NavState::destmax));
      setdest(app, 0, app.nav.destx.at(slot), app.nav.desty.at(slot), app.nav.destlabel.at(slot));
      break;
    }
    case K::statcol: setstatcol(app.win.zarn, s.colour); break;
  }
}

}  // namespace zarn
