#include "mapdisplay/mapmaker.h"

#include <string>
#include <vector>

#include "app/app.h"
#include "geodesy/helpers.h"
#include "geodesy/postext.h"
#include "gpsinput/waits.h"
#include "mapdisplay/catalogue.h"
#include "mapdisplay/mapchoice.h"
#include "platform/textrules.h"
#include "speech/msgline.h"

namespace zarn {

namespace {

constexpr const char* requestfile = "ROMSHELF.DAT";
constexpr const char* flagfile = "ROMSHELF.FLG";

// Drops the pending mark however the request ends.
struct Pending {
  explicit Pending(bool& f) : flag(f) { flag = true; }
  ~Pending() { flag = false; }
  Pending(const Pending&) = delete;
  Pending& operator=(const Pending&) = delete;
  bool& flag;
};

// The windows kept on top step back while the maker works, so that its window can come to the
// front, and return afterwards.
class StepBack {
 public:
  explicit StepBack(Windows& win) {
    for (ui::Form* f : win.all())
      if (f->topmost) {
        f->topmost = false;
        back_.push_back(f);
      }
  }
  ~StepBack() {
    for (ui::Form* f : back_) f->topmost = true;
  }
  StepBack(const StepBack&) = delete;
  StepBack& operator=(const StepBack&) = delete;

 private:
  std::vector<ui::Form*> back_;
};

}  // namespace

MapMade makecdmap(App& app) {
  MapView& m = app.map;
  // Asked again from inside the wait (the key, the automatic map move): the first request stands.
  if (m.makingmap) return MapMade::pending;
  float x = 0, y = 0;
  followedpoint(app, x, y);
  if (isnopos(x, y)) {
    showmsg(app.voice, "No position for the map maker");
    app.sys.wav->beep();
    return MapMade::noposition;
  }
  // The national grids' text whatever the read-outs show; outside them it is the compact
  // latitude/longitude form the maker reads.
  std::string centre;
  const int utmmode = app.geo.utmmode;
  app.geo.utmmode = 0;
  gridreftext(app.geo, x, y, centre);
  app.geo.utmmode = utmmode;
  if (centre.size() != 15) {
    showmsg(app.voice, "Not in CD-ROM Area");
    app.sys.wav->beep();
    return MapMade::notarea;
  }
  const std::string scale = text::str(m.automapon);
  showmsg(app.voice, "Making a Map centred at " + centre + " scale " + scale + " ..");
  const auto now = app.sys.clock->now();
  std::string error;
  // The flag goes last: the maker takes it as the sign of a whole request.
  if (!app.files.writelines(requestfile, {centre + "," + scale}, &error) ||
      !app.files.writelines(flagfile, {text::datetext(now) + " " + text::timetext(now)}, &error)) {
    app.sys.wav->beep();
    showmsg(app.voice, "No map asked for: " + error);
    return MapMade::failed;
  }

  Pending pending(m.makingmap);
  bool answered = false;
  {
    StepBack back(app.win);
    answered = pollwait(app, makertime, [&](float) { return app.main.quit || !app.files.exists(flagfile); });
  }
  if (app.main.quit) return MapMade::ended;
  if (!answered || app.files.exists(flagfile)) {
    app.files.remove(flagfile);  // ours: a maker that comes late finds no request
    app.sys.wav->beep();
    showmsg(app.voice, "The map maker did not answer in " + std::to_string(static_cast<int>(makertime)) + " s");
    return MapMade::timedout;
  }
  showmsgsay(app.voice, "Adding Maps ..");
  initmaps(app);
  return MapMade::made;
}

}  // namespace zarn
