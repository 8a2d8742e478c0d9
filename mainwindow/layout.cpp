#include "mainwindow/layout.h"

#include "app/app.h"
#include "gpsinput/fform.h"
#include "mainwindow/cform.h"
#include "mainwindow/secondary.h"
#include "mapdisplay/mapload.h"
#include "navigation/iform.h"
#include "speech/msgline.h"
#include "speech/rform.h"
#include "vehicles/dialforms.h"

namespace zarn {

namespace {
constexpr int rowtop = 458, rowheight = 22;

void readout(ui::Label& l, int left, int width, double size) {
  l.move(left, rowtop, width, rowheight);
  l.border = true;
  l.alignment = 2;
  l.backcolor = ui::white;
  l.forecolor = ui::black;
  l.font.size = size;
  l.visible = true;
}
}  // namespace

void designlayout(ZarnForm& z) {
  readout(z.showcmd, 0, 16, 10);
  z.showcmd.caption = "+";
  z.showcmd.backcolor = ui::lightgrey;
  readout(z.llbox, 18, 190, 9.75);
  readout(z.gridbox, 210, 150, 12);
  readout(z.hdgbox, 362, 36, 10);
  readout(z.spdbox, 400, 46, 10);
  readout(z.dirbox, 448, 44, 10);
  readout(z.disbox, 494, 77, 10);
  readout(z.modebox, 573, 32, 10);
  z.modebox.backcolor = ui::yellow;
  // The fix lamps: two small marks at the top right of the position read-outs.
  for (int i = 0; i <= 1; ++i) {
    ui::Label& o = z.o.load(i);
    o.move(i == 0 ? 203 : 355, rowtop, 4, 4);
    o.caption.clear();
    o.backcolor = ui::green;
  }
  z.saytxt.move(0, 432, 641, 26);
  z.saytxt.alignment = 2;
  z.saytxt.backcolor = ui::yellow;
  z.saytxt.border = true;
  z.search.move(0, 400, 193, 24);
  z.searchdat.move(192, 400, 449, 24);
  z.logotxt.move(607, rowtop, 33, rowheight);
  z.languageico.move(576, 448, 32, 32);
  z.Image1.move(608, 448, 32, 32);
  z.Image2.move(606, 0, 32, 32);
  z.Help.move(0, 0, 640, 300);
  z.ghelp.move(0, 322, 640, 110);
  z.ghelpi.move(0, 322, 640, 110);
}

void measurescreen(App& app) {
  const platform::ScreenArea a = platform::screenarea(app.sys);
  MainState& m = app.main;
  m.screenleft = a.left;
  m.screentop = a.top;
  // A screen too small to measure is taken for the one the window was designed for.
  m.screenwidth = static_cast<float>(a.width > 0 ? a.width : ZarnForm::mapwidth);
  m.screenheight = static_cast<float>(a.height > 0 ? a.height : ZarnForm::mapheight);
}

void autoreso(App& app) {
  MainState& m = app.main;
  MapView& mv = app.map;
  auto& z = app.win.zarn;
  const float w = m.screenwidth, h = m.screenheight;
  if (app.files.exists("AUTORESO.CFG") && w != 640) {
    m.scalelayout = 1;
    mv.mapzoom = 1;
  }
  const auto px = [](float v) { return static_cast<int>(v); };
  // The scaled layout takes the whole screen, without a frame; stretched maps then fill it.
  // The fixed one is the 640 x 480 window as designed.
  const bool scaled = m.scalelayout == 1;
  if (scaled) {
    z.left = m.screenleft;
    z.top = m.screentop;
    z.width = px(w);
    z.height = px(h);
  } else {
    z.width = ZarnForm::mapwidth;
    z.height = ZarnForm::mapheight;
  }
  z.borderless = scaled;
  const float areaw = scaled && mv.mapzoom == 1 ? w : ZarnForm::mapwidth;
  const float areah = scaled && mv.mapzoom == 1 ? h : ZarnForm::mapheight;
  if (areaw != mv.scrwidth || areah != mv.scrheight) {
    mv.scrwidth = areaw;
    mv.scrheight = areah;
    // A map already shown is stretched to the new area.
    if (mv.curmap >= 1 && mv.curmap <= mv.mapcount) loadmap(app, mv.curmap);
  }
  ui::Label* row[] = {&z.llbox, &z.gridbox, &z.hdgbox, &z.spdbox, &z.showcmd, &z.dirbox, &z.disbox};
  if (!scaled) {
    for (ui::Label* l : row) l->top = rowtop;
    z.key.top = rowtop;
    for (int i = 0; i <= 1; ++i) z.o.load(i).top = rowtop;
    z.modebox.move(573, rowtop);
    z.logotxt.move(607, rowtop);
    z.languageico.move(576, 448);
    z.Image1.move(608, 448, 32, 32);
    z.saytxt.top = 432;
    z.saytxt.width = 641;
    z.search.move(0, 400, 193, z.search.height);
    z.searchdat.move(192, 400, 449, z.searchdat.height);
  } else {
    // A screen exactly 480 high puts the row below the visible screen, as it always has.
    const float r = h == 480 ? 500 : h * 458 / 480;
    const float msg = h == 480 ? 500 : h * 432 / 480;
    const float icon = h == 480 ? 500 : h * 448 / 480 + 3;
    for (ui::Label* l : row) l->top = px(r);
    z.modebox.top = px(r);
    z.key.top = px(r);
    for (int i = 0; i <= 1; ++i) z.o.load(i).top = px(r);
    z.search.top = px(r);
    z.saytxt.top = px(msg);
    z.saytxt.width = px(w + 1);
    z.search.width = px(w * 192 / 800);
    z.search.left = px(w * 576 / 800);
    z.searchdat.move(0, px(msg), px(w), z.searchdat.height);
    z.languageico.move(px(w - 64), px(icon));
    z.logotxt.move(px(w - 33), px(h * 434 / 480));
    // The help button lies over the logo, its face, wherever the logo goes: a click on it never
    // reaches the map beneath.
    z.Image1.move(z.logotxt.left, z.logotxt.top, z.logotxt.width, z.logotxt.height);
    z.modebox.left = px(w * 573 / 640 + 17);
    z.ghelp.top = px(msg - 110);
    z.ghelpi.top = px(msg - 110);
    z.Help.width = px(w);
    z.Help.height = z.ghelp.top - z.Help.top;
    z.Image2.left = px(w - static_cast<float>(z.Image2.width) - 2);
  }
  if (ui::Form* rgi = app.win.find("rgi")) {
    if (ui::Control* t = rgi->find("rgitxt")) t->width = m.scalelayout == 1 ? px(w) : 641;
  }
  z.ghelp.width = px(w);
  z.ghelpi.width = px(w);
  z.touch();
}

void showhistint(const MapView& map, CForm& c) {
  const int hi = map.histint;
  for (int i = 0; i < 3; ++i) c.h[i].backcolor = map.trailcolour;
  static const char* const captions[] = {"NONE", "ALL", "10 sec", "60 sec", "5 min", "15 min", "1 hour"};
  if (hi >= -1 && hi <= 5) c.histcmd.caption = captions[hi + 1];
  c.h[0].visible = hi == 0 || hi == 1;
  c.h[1].visible = hi >= 0;
  c.h[2].visible = hi == 0;
  c.touch();
}

void alltopmost(App& app) {
  // Touching a window creates it, hidden.
  app.win.get<RForm>();
  app.win.get<FForm>();
  controlswindow(app);
  cformwindow(app);
  app.win.get<KForm>();
  app.win.get<QkForm>();
  app.win.get<DialForm>();
  app.win.get<ZarnBgdForm>();
  instruments(app);
  app.win.get<CarbugForm>();
  // The windows made later, on first use, are kept on top as they are made.
  app.win.keepontop({"linkman", "rform", "gform", "fform", "wpform", "controls", "rgimanform", "more", "zmform",
                     "cform", "kform", "qkform", "dialform", "zarnbgd", "iform", "carbug"});
}

void besidemap(App& app) {
  const MainState& m = app.main;
  const ui::Form& z = app.win.zarn;
  constexpr int gap = 8, frame = 32;  // between windows; room for a title bar
  const int right = static_cast<int>(m.screenleft + m.screenwidth);
  const int bottom = static_cast<int>(m.screentop + m.screenheight);
  int top = z.top;
  for (const char* name : {"iform", "mvform", "mvalarm", "mveng", "rform"}) {
    ui::Form* f = app.win.find(name);
    if (!f) continue;
    // The screen's room right of the map window, as far down as it goes; otherwise the window
    // keeps its own place.
    const int left = z.left + z.width + gap;
    if (left + f->width > right || top + f->height > bottom) continue;
    f->left = left;
    f->top = top;
    top += f->height + frame + gap;
  }
}

void relayout(App& app, int width, int height) {
  MainState& m = app.main;
  // Below the size the layout was made for the read-outs no longer fit (and 480 high puts them
  // under the window): such a size is refused and the window keeps its own.
  if (m.scalelayout != 1 || width < ZarnForm::mapwidth || height <= ZarnForm::mapheight) return;
  m.screenwidth = static_cast<float>(width);
  m.screenheight = static_cast<float>(height);
  autoreso(app);
}

}  // namespace zarn
