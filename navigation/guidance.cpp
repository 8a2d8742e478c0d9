#include "navigation/guidance.h"

#include <cstdlib>
#include <optional>

#include "app/app.h"
#include "geodesy/distance.h"
#include "navigation/iform.h"
#include "navigation/rgifiles.h"
#include "navigation/rgiform.h"
#include "navigation/signs.h"
#include "platform/textrules.h"
#include "speech/msgline.h"
#include "speech/queue.h"

namespace zarn {

namespace {

// The loaded instruction the car is inside the trigger radius of and heading the right way
// for, the nearest of them (the first loaded of equally near ones); 0 when there is none.
// While the heading is unknown only instructions for any direction (a tolerance over 180)
// can apply.
int nearestinstruction(App& app) {
  const NavState& n = app.nav;
  const GpsState& g = app.gps;
  int best = 0;
  float bestdist = 1e10f;
  std::optional<FramePoint> car;  // worked out for the first instruction in the car's direction
  for (int i = 1; i <= n.rgicount && i <= NavState::rgimax; ++i) {
    const RgiRecord& r = n.rgirec[static_cast<std::size_t>(i)];
    if (g.ownhdg < 0 && r.tol <= 180) continue;
    int d = std::abs(r.dir - g.ownhdg);
    if (d > 180) d = std::abs(d - 360);
    if (d >= r.tol) continue;
    if (!car) car = framepoint(app.geo, g.ownx, g.owny);
    float dist = 0;
    int b = 0;
    distbearing(*car, r.at, dist, b);
    if (dist < r.radius / 1000 && dist < bestdist) {
      bestdist = dist;
      best = i;
    }
  }
  return best;
}

// Lays the guidance window over the main window with the instruction's sign and message line,
// and says it.
void giveinstruction(App& app, const RgiRecord& r) {
  ZarnForm& z = app.win.zarn;
  RgiForm& rgi = app.win.get<RgiForm>();
  rgi.left = z.left;
  rgi.top = z.top;
  rgi.width = z.width;
  rgi.height = z.height;
  rgi.bmp.left = (z.width - rgi.bmp.width) / 2;
  rgi.rgitxt.width = z.width;  // the message centred under the sign

  ui::Form* iform = app.win.find(IForm::formname);
  const bool instrshown = iform != nullptr && iform->visible;
  if (instrshown) iform->hide();

  drawsign(rgi, app.files, *app.sys.images, text::lcase(r.sign));
  rgi.rgitxt.setfontsize(r.msg.size() > 36 ? 18 : 24);
  rgi.rgitxt.set(r.msg);
  rgi.rgitxt.visible = true;
  rgi.touch();

  {
    TalkGuard talk(app.speech);
    app.speech.talkstop = 0;
    talk.on();
    z.saytxt.backcolor = ui::cyan;
    showmsg(app.voice, r.msg);
    queuesay(app.voice, "attentio.wav");
    queuesay(app.voice, text::lcase(r.wav));
    speakqueue(app.voice);
  }
  app.nav.rgishown = app.timer();
  z.saytxt.backcolor = ui::white;

  if (instrshown) {
    iform->show();
    loadinstrpic(instruments(app), app.voice);
  }
}

}  // namespace

void rgistep(App& app) {
  NavState& n = app.nav;
  if (app.main.repint[4] <= 0 || n.rgiexists != 1) return;
  loadrgi(n, app.voice, app.geo, app.gps, app.win.zarn.rgitrace);
  const int best = nearestinstruction(app);
  if (best <= 0) return;
  const RgiRecord r = n.rgirec[static_cast<std::size_t>(best)];
  // Given once: the same instruction stays quiet while it is still the last one given, but
  // the next instruction along a straight road (same direction, another place) is given.
  if (r.pos == n.rgilasttext && r.dir == n.rgilastidx) return;
  n.rgilasttext = r.pos;
  n.rgilastidx = r.dir;
  giveinstruction(app, r);
}

}  // namespace zarn
