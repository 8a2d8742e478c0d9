#include "mapdisplay/symbols.h"

#include <cmath>

#include "app/app.h"
#include "geodesy/helpers.h"
#include "geodesy/transform.h"
#include "mapdisplay/mapchoice.h"
#include "mapdisplay/pictures.h"
#include "platform/textrules.h"

namespace zarn {

namespace {

int px(float v) { return static_cast<int>(std::lround(v)); }

bool nofound(const App& app) { return isnopos(app.main.foundx, app.main.foundy); }

// A shadowed name: white text over a black copy 2 pixels right and down.
void namestyle(ui::Label& l, ui::Colour colour, bool autosize) {
  l.forecolor = colour;
  l.transparent = true;
  l.alignment = 2;
  l.autosize = autosize;
}

}  // namespace

void placesymbol(App& app, const std::string& code, float x, float y, float x2, float y2) {
  ZarnForm& z = app.win.zarn;
  z.sym.visible = false;
  z.sym.move(px(x) - 16, px(y) - 16);
  const std::string own = "$" + code + ".ICO";
  ui::PictureRef pic = loadicon(app.map, app.files, *app.sys.images, own);
  if (!pic) {
    const std::string family = text::left(own, 3) == "$FS"  ? "$FS.ICO"
                               : text::left(own, 2) == "$E" ? "$E.ICO"
                               : text::left(own, 2) == "$S" ? "$S.ICO"
                                                            : "$L.ICO";
    pic = loadicon(app.map, app.files, *app.sys.images, family);
  }
  // Without any icon the symbol stays hidden and its line where it was.
  if (!pic) return;
  z.sym.setpicture(std::move(pic));
  z.vecto.visible = false;
  z.vecto.borderwidth = 2;
  z.vecto.set(px(x), px(y), px(x2), px(y2));
  if (!nofound(app)) {
    z.sym.visible = true;
    z.vecto.visible = true;
    app.map.vectotime = app.timer();  // the tick hides the line 3 s later
  }
}

void showsymbol(ZarnForm& z, float x, float y, const std::string& name, bool shown) {
  z.sym.move(px(x) - 16, px(y) - 16);
  namestyle(z.symlab, ui::white, true);
  namestyle(z.symlabshad, ui::black, true);
  const std::string t = text::trim(name);
  z.symlab.set(t);
  z.symlabshad.set(t);
  // The name stays 5 pixels inside the window, whichever layout it has.
  const float hw = static_cast<float>(z.symlab.width) / 2;
  const float right = static_cast<float>(z.width > 0 ? z.width : ZarnForm::mapwidth) - 5;
  if (x - hw < 5) x = hw + 5;
  if (x + hw > right) x = right - hw;
  z.symlab.move(px(x - hw), px(y + 15));
  z.symlabshad.move(px(x - hw + 2), px(y + 17));
  z.sym.visible = shown;
  z.symlab.visible = shown;
  z.symlabshad.visible = shown;
}

void showdest(App& app, float x, float y, int slot) {
  ZarnForm& z = app.win.zarn;
  NavState& n = app.nav;
  z.dest.visible = false;
  z.destlab.visible = false;
  z.destlabshad.visible = false;
  if (slot < 0 || slot > NavState::destmax) return;
  const auto s = static_cast<std::size_t>(slot);
  if (followsdest(app)) choosemap(app, n.destx[s], n.desty[s]);
  if (n.nodest != 0) return;
  float dx = -9999, dy = -9999;
  worldtopix(app.geo, app.map, x, y, dx, dy);
  for (ui::Label* l : {&z.destlab, &z.destlabshad}) {
    namestyle(*l, l == &z.destlab ? ui::white : ui::black, false);
    if (l->width == 0) l->move(l->left, l->top, 160, 16);  // a fixed width, as designed
    l->set(n.destlabel[s]);
  }
  z.dest.move(px(dx) - 16, px(dy) - 16);
  const float w = static_cast<float>(z.destlab.width);
  z.destlab.move(px(dx - w / 2), px(dy + 15));
  z.destlabshad.move(px(dx - w / 2 + 2), px(dy + 17));
  z.dest.visible = true;
  z.destlab.visible = true;
  z.destlabshad.visible = true;
}

}  // namespace zarn
