#include "geodesy/distwords.h"

#include <cmath>

#include "app/app.h"
#include "geodesy/distance.h"
#include "platform/textrules.h"

namespace zarn {

namespace {
constexpr double kmpermile = 1.61;
constexpr double milespernm = 1.15;
constexpr float yardsx10permile = 176;  // tens of yards in a mile
}  // namespace

void distext(int metric, int nautical, float km, std::string& t, std::string& label) {
  if (metric != 0) {
    const float d = km;
    std::string v;
    if (d > 5) {
      v = text::str(std::floor(d + 0.5f));
    } else if (d >= 1) {
      v = text::str(std::floor(d * 10) / 10);
    } else {
      v = text::str(std::floor(d * 100) * 10);
      t = v + " metres";
      label = v + "m";
      return;
    }
    t = v + " km";
    label = v + "k";
    return;
  }
  auto d = static_cast<float>(km / kmpermile);
  if (nautical == 1) d = static_cast<float>(d / milespernm);
  if (d < 0.6) {
    const std::string v = text::str(std::floor(d * yardsx10permile) * 10);
    t = v + " yards";
    label = v + "y";
    return;
  }
  const std::string v =
      d > 5 ? text::str(std::floor(d + 0.5f)) : text::str(std::floor(d * 10) / 10);
  t = v + (nautical == 1 ? " nm" : " miles");
  label = v + "m";
}

void distext(const App& app, float km, std::string& t, std::string& label) {
  distext(app.main.metric, app.main.nautical, km, t, label);
}

void showdestdist(App& app) {
  NavState& nav = app.nav;
  if (nav.curdest < 0 || nav.curdest > NavState::destmax) return;
  int b = 0;
  distbearing(app.geo, app.gps.ownx, app.gps.owny, nav.destx[nav.curdest],
              nav.desty[nav.curdest], nav.destdist, b);

  std::string t, label;
  distext(app, nav.destdist, t, label);
  ZarnForm& z = app.win.zarn;
  z.disbox.set(label);

  // Clock position of the bearing relative to the heading; with no heading (-1) relative to
  // grid north plus one degree.
  int c = static_cast<int>(std::floor((b - app.gps.ownhdg + 15) / 30.0));
  while (c < 1) c += 12;
  nav.clockbrg = c;
  z.dirbox.set(text::str(c) + "oc");

  // The stand-by window shows both while the map window is hidden.
  if (ui::Form* bgd = app.win.find("zarnbgd")) bgd->caption = z.disbox.caption + "@" + z.dirbox.caption;
}

}  // namespace zarn
