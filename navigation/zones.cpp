#include <algorithm>

#include "app/app.h"
#include "geodesy/distance.h"
#include "navigation/warnings.h"
#include "navigation/zmform.h"
#include "speech/queue.h"

namespace zarn {

void zonecheck(App& app) {
  NavState& n = app.nav;
  if (n.zonemonon != 1) return;
  const int count = std::clamp(n.zonecount, 0, NavState::zonemax);
  for (int i = 1; i <= count; ++i) {
    const auto k = static_cast<std::size_t>(i);
    float d = 0;
    int brg = 0;
    distbearing(app.geo, app.gps.ownx, app.gps.owny, n.zonex[k], n.zoney[k], d, brg);
    if (d > n.zonerad[k]) {
      if (n.zonein[k] == 1) {
        n.zonein[k] = 0;
        saynow(app.voice, "Leaving Zone", "ZONELEAV.WAV");
      }
    } else if (n.zonein[k] == 0) {  // the edge counts as inside
      n.zonein[k] = 1;
      saynow(app.voice, "Entering Zone", "ZONENTER.WAV");
    }
  }
}

void showzones(App& app) {
  zmwindow(app).show();
  zmupdate(app);
}

}  // namespace zarn
