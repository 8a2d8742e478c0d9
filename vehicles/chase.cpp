#include "vehicles/chase.h"

#include "app/app.h"
#include "gpsinput/fixsteps.h"
#include "platform/textrules.h"
#include "vehicles/vehicledraw.h"

namespace zarn {

void chasetoggle(App& app) {
  // TODO: flip chaseon with its captions ("CHASE is ON" / "CHASE is OFF", "Remote Car" /
  // "Own Car"), the destination icon (LCIRCLE.ICO / DESTI.ICO) and refdest.
  (void)app;
}

void selvehicle(App& app, int i) {
  const VehicleTable& v = app.veh;
  if (i < 1 || i >= static_cast<int>(v.mvx.size()) || v.mvsel < 1 || v.mvsel >= static_cast<int>(v.mvhdg.size()))
    return;
  const auto sel = static_cast<std::size_t>(v.mvsel);
  app.win.zarn.hdgbox.set(text::trim(vehhdgtext(v.mvhdg[sel])));
  // The vehicles report mph; the own fix holds km/h.
  takeunitfix(app.gps, app.geo, app.main, app.win.zarn, v.mvx[static_cast<std::size_t>(i)],
              v.mvy[static_cast<std::size_t>(i)], v.mvspd[sel] < 0 ? 0.0f : v.mvspd[sel] * 1.61f, v.mvhdg[sel]);
}

}  // namespace zarn
