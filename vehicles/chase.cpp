#include "vehicles/chase.h"

#include "app/app.h"
#include "gpsinput/fixsteps.h"
#include "mapdisplay/pictures.h"
#include "platform/textrules.h"
#include "vehicles/vehicledraw.h"

namespace zarn {

namespace {

// The caption of a button (or label) of another window: the control panel and the keyboard
// show the chase state when they have been made.
void setcaption(Windows& win, std::string_view form, std::string_view control, const std::string& caption) {
  ui::Form* f = win.find(form);
  if (!f) return;
  ui::Control* c = f->find(control);
  if (auto* b = dynamic_cast<ui::Button*>(c)) b->caption = caption;
  if (auto* l = dynamic_cast<ui::Label*>(c)) l->set(caption);
  f->touch();
}

// The destination marker's picture; a missing file leaves the one shown.
void destpicture(App& app, const std::string& file) {
  if (!app.sys.images) return;
  if (auto p = loadpicture(app.files, *app.sys.images, file)) app.win.zarn.dest.setpicture(std::move(p));
}

}  // namespace

void chasetoggle(App& app) {
  MainState& m = app.main;
  if (m.chaseon == 0) {
    m.chaseon = 1;
    m.chasesent = "$GPRMC";
    setcaption(app.win, "cform", "chasecmd", "CHASE is ON");
    setcaption(app.win, "qkform", "ownremotecmd", "Remote Car");
    m.chaseicon = "LCIRCLE.ICO";
    destpicture(app, m.chaseicon);
    m.refdest = 1;
    m.refname = "DESTINATION";
  } else {
    m.chaseon = 0;
    // Nothing is the chased unit any more: an RMC-only receiver's own sentences must not be
    // taken for it.
    m.chasesent.clear();
    setcaption(app.win, "cform", "chasecmd", "CHASE is OFF");
    setcaption(app.win, "qkform", "ownremotecmd", "Own Car");
    m.refdest = 0;
    destpicture(app, "DESTI.ICO");
    m.refname = "OUR CAR";
  }
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
