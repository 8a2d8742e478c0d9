#include "navigation/navservices.h"

#include "app/app.h"
#include "geodesy/postext.h"
#include "mapdisplay/symbols.h"

namespace zarn {

bool putdest(App& app, const std::string& name, float x, float y, const std::string& label,
             const std::optional<std::string>& wav) {
  NavState& n = app.nav;
  if (n.adhocdest < 0 || n.adhocdest > NavState::destmax) return false;
  n.curdest = n.adhocdest;
  const auto slot = static_cast<std::size_t>(n.curdest);
  n.destname[slot] = name;
  n.destx[slot] = x;
  n.desty[slot] = y;
  n.destlabel[slot] = label;
  if (wav) n.destwav = *wav;
  return true;
}

void setdest(App& app, int flag, float x, float y, const std::string& area) {
  std::string ref;
  gridreftext(app.geo, x, y, ref);
  if (!putdest(app, ref, x, y, area)) return;
  showdest(app, x, y, app.nav.curdest);
  // TODO: with flag 0, the route work: route guidance and the hand-off to the route planner.
  (void)flag;
}

void tripmeter(App& app) {
  // TODO: distance, time to go and arrival time on the instruments window.
  (void)app;
}

void updateinstr(App& app) {
  // TODO: the instruments window's needles and read-outs.
  (void)app;
}

void drawdflines(App& app) {
  // TODO: the last ten direction-finding bearing lines on the current map.
  (void)app;
}

}  // namespace zarn
