#include "navigation/destinations.h"

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

void setdest(App& app, int markonly, float x, float y, const std::string& area) {
  std::string ref;
  gridreftext(app.geo, x, y, ref);
  if (!putdest(app, ref, x, y, area)) return;
  showdest(app, x, y, app.nav.curdest);
  (void)markonly;
}

void destfound(App& app) { (void)app; }
void desthome(App& app) { (void)app; }
void togglecardest(App& app) { (void)app; }
void saydest(App& app) { (void)app; }

}  // namespace zarn
