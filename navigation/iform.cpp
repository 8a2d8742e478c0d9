#include "navigation/iform.h"

#include <algorithm>
#include <cmath>
#include <optional>

#include "app/app.h"
#include "geodesy/helpers.h"
#include "geodesy/distance.h"
#include "geodesy/distwords.h"
#include "geodesy/transform.h"
#include "mapdisplay/pictures.h"
#include "mapdisplay/toolroom.h"
#include "navigation/tripmeter.h"
#include "platform/textrules.h"

namespace zarn {

namespace {

constexpr double pi = fullpi;
constexpr ui::Colour panel = 0x302820;  // the picture's background, behind the read-outs

int px(double twips) {
  const double p = std::clamp(twips / ui::twips_per_pixel, -32768.0, 32767.0);
  return static_cast<int>(std::lround(p));
}

// A needle from its centre (twips) pointing at angle a, clockwise from straight up.
void needle(ui::Line& l, double x, double y, double a) {
  l.set(px(x), px(y), px(x + IForm::needlelen * std::sin(a)), px(y - IForm::needlelen * std::cos(a)));
}

// A needle with nothing to point at: no longer than its centre.
void collapse(ui::Line& l, double x, double y) { l.set(px(x), px(y), px(x), px(y)); }

// The destination circle at a scale (1 at the destination), centred on the destination dial.
void placecircle(ui::Shape& c, double f) {
  const double w = 2185 * f, h = 2045 * f;
  c.move(px(IForm::destx - w / 2), px(IForm::desty - h / 2), px(w), px(h));
}

void readout(ui::Label& l, int left, int top, int width, int height, int align, std::string caption) {
  l.move(left, top, width, height);
  l.caption = std::move(caption);
  l.transparent = true;
  l.forecolor = ui::white;
  l.backcolor = panel;
  l.alignment = align;
  l.font.bold = true;
}

// The whole part of a value as a caption number, with its leading blank (" 47").
std::string whole(double v) { return text::str(static_cast<float>(std::floor(v))); }

// The side mode's move to the left or right edge of the map window. On the screen the window
// was designed for it goes there; on a larger one, where the windows kept on top share the
// screen, it goes there only at a top where it covers none of them nor the parts of the map
// window kept clear (the help's close cross), the top nearest its own; otherwise it stays.
void sidestep(App& app, IForm& f, bool right) {
  const ui::Form& z = app.win.zarn;
  const std::optional<ui::Rect> area = toolarea(app);
  if (!area) {
    f.left = right ? z.width - f.width : 0;
    return;
  }
  const int width = ui::framed(f, 0, 0).width;
  const int left =
      std::clamp(right ? z.left + z.width - width : z.left, area->left, std::max(area->left, area->right() - width));
  if (left == f.left) return;
  if (const std::optional<int> top = ui::cleartop(f, left, *area, toolroom(app, &f))) {
    f.left = left;
    f.top = *top;
  }
}

}  // namespace

IForm::IForm() : ui::Form(formname) {
  caption = "Instruments";
  width = 320;
  height = 240;
  backcolor = panel;
  // The dials of the picture: the destination dial top left, the speed dial top right, the
  // compass below between them; the read-outs fill the corners beside the compass. Until the
  // first position they read nothing: the speed needle rests at 0, the others have nothing to
  // point at.
  add(iside, "iside");
  iside.caption = "<>";
  iside.move(132, 2, 26, 18);
  iside.onClick = [this] { iside.caption = iside.caption == "<>" ? ">>" : "<>"; };
  add(hideinst, "hideinst");
  hideinst.caption = "X";
  hideinst.move(162, 2, 26, 18);
  hideinst.onClick = [this] { hide(); };
  add(gpslight, "gpslight");
  gpslight.shape = ui::Shape::circle;
  gpslight.fillstyle = 0;
  gpslight.move(150, 26, 20, 20);
  add(etalab, "etalab");
  readout(etalab, 2, 222, 96, 16, 0, "");
  add(timetil, "timetil");
  readout(timetil, 2, 204, 96, 16, 0, "");
  add(instspd, "instspd");
  instspd.bordercolor = ui::red;
  instspd.borderwidth = 3;
  needle(instspd, spdx, spdy, pi);
  add(instalt, "instalt");
  readout(instalt, 222, 200, 96, 36, 1, "");
  instalt.wordwrap = true;
  add(instspdn, "instspdn");
  readout(instspdn, 222, 182, 96, 16, 1, "");
  add(instspdk, "instspdk");
  readout(instspdk, 222, 150, 96, 16, 1, "");
  add(instspdm, "instspdm");
  readout(instspdm, 222, 166, 96, 16, 1, "");
  add(insthdgt, "insthdgt");
  readout(insthdgt, 144, 94, 32, 16, 2, "");
  add(insthdg, "insthdg");
  insthdg.bordercolor = ui::yellow;
  insthdg.borderwidth = 3;
  collapse(insthdg, hdgx, hdgy);
  add(instdest, "instdest");
  instdest.bordercolor = ui::green;
  instdest.borderwidth = 3;
  collapse(instdest, destx, desty);
  add(miletacho, "miletacho");
  readout(miletacho, 2, 186, 96, 16, 0, "");
  add(dbrglab, "dbrglab");
  readout(dbrglab, 2, 168, 96, 16, 0, "");
  add(instdd, "instdd");
  readout(instdd, 2, 150, 96, 16, 0, "");
  add(dcirc, "dcirc");
  dcirc.shape = ui::Shape::circle;
  dcirc.bordercolor = ui::cyan;
  dcirc.borderwidth = 2;
  placecircle(dcirc, 1);
  dcirc.visible = false;
  add(Image1, "Image1");
  Image1.move(0, 0, 320, 240);
  Image1.zorder(1);  // the panel picture is the background of everything else
}

IForm& instruments(App& app) {
  IForm& f = app.win.get<IForm>();
  if (!f.onKeyPress) {
    // Single-key commands work while this window has the focus.
    f.onKeyPress = [&app](int& key) {
      app.main.lastclick = app.timer();
      callhook(app.hooks.keycmd, key);
    };
    f.miletacho.onClick = [&app, &f] { resettrip(app.nav, f, app.timer()); };
  }
  return f;
}

void updateinstr(App& app) {
  IForm& f = instruments(app);
  if (!f.visible) return;
  NavState& n = app.nav;
  const MainState& m = app.main;
  const auto& g = app.gps;
  const bool placed = !isnopos(g.ownx, g.owny);  // before the first position: nothing to read

  // Side mode: over the map the window keeps to the half of the screen the car is not in; a
  // window beside the map stays where it is.
  const float s = app.map.scrwidth / 640;
  const bool overmap = f.left < app.win.zarn.left + app.win.zarn.width;
  if (float x = 0, y = 0; f.iside.caption == "<>" && overmap && worldtopix(app.geo, app.map, g.ownx, g.owny, x, y)) {
    if (x > 460 * s)
      sidestep(app, f, false);
    else if (x < 200 * s)
      sidestep(app, f, true);
  }

  const int hdg = g.ownhdg;
  if (n.curdest >= 0 && n.curdest <= NavState::destmax) {
    int d = 0;
    const auto k = static_cast<std::size_t>(n.curdest);
    distbearing(app.geo, g.ownx, g.owny, n.destx[k], n.desty[k], n.destdist, d);
    std::string words, label;
    distext(m.metric, m.nautical, n.destdist, words, label);
    f.instdd.set(placed ? words : "");
    int r = hdg == -1 ? d : d - hdg;
    if (r < 0) r += 360;
    f.dbrglab.set(placed ? text::format(r, "000") : "");
    if (placed) {
      needle(f.instdest, IForm::destx, IForm::desty, pi * (d - hdg) / 180);
      if (const double near = 1.0 / (static_cast<double>(n.destdist) + 1); std::isfinite(near)) {
        placecircle(f.dcirc, near);
        f.dcirc.visible = true;
      }
    } else {
      collapse(f.instdest, IForm::destx, IForm::desty);
      f.dcirc.visible = false;
    }
  }

  if (hdg < 0) {
    f.insthdgt.set("?");
    collapse(f.insthdg, IForm::hdgx, IForm::hdgy);
  } else {
    needle(f.insthdg, IForm::hdgx, IForm::hdgy, pi * hdg / 180);
    f.insthdgt.set(text::format(hdg, "000"));
  }

  // The speed dial reads 0..120 in the unit shown; here metric wins over nautical. Before the
  // first position there is no speed to show: the needle rests at 0 and the labels are empty.
  const float spd = g.ownspd;
  if (!placed) {
    needle(f.instspd, IForm::spdx, IForm::spdy, pi);
    for (ui::Label* l : {&f.instspdk, &f.instspdm, &f.instspdn}) l->set("");
  } else if (std::isfinite(spd)) {
    float v = 120;
    if (m.metric != 0)
      v = std::min(spd, 120.0f);
    else if (m.nautical != 0)
      v = spd < static_cast<float>(120 * 1.61 * 1.15) ? static_cast<float>(spd / (1.61 * 1.15)) : 120;
    else
      v = spd < static_cast<float>(120 * 1.61) ? static_cast<float>(spd / 1.61) : 120;
    needle(f.instspd, IForm::spdx, IForm::spdy, 2 * pi * v / 120 + pi);  // 0 straight down, clockwise
    f.instspdk.set(whole(spd) + " kmph");
    f.instspdm.set(whole(spd / 1.61) + " mph");
    f.instspdn.set(whole(spd / 1.852) + " knots");
  }

  if (g.altseen == 0)
    f.instalt.set(" ");
  else
    f.instalt.set(text::trim(whole(g.ownaltft)) + " FT " + text::trim(whole(g.climbrate)) + " FPM");
}

void loadinstrpic(IForm& f, Voice& v) {
  std::string name = v.speech.langprefix + "INSTRUPA.BMP";
  if (!v.files.exists(name)) name = "INSTRUPA.BMP";
  if (!f.visible || !v.files.exists(name)) return;
  // A picture that does not load leaves the one shown.
  if (auto pic = loadpicture(v.files, *v.sys.images, name)) f.Image1.setpicture(std::move(pic));
}

}  // namespace zarn
