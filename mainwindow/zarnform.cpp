#include "mainwindow/zarnform.h"

namespace zarn {

ZarnForm::ZarnForm() : ui::Form(formname) {
  caption = "ZARN";
  width = mapwidth;
  height = mapheight;
  backcolor = ui::white;
  // Map pictures lie under everything, including the drawing layer.
  for (auto [img, nm] : {std::pair{&map, "map"}, {&tilenw, "tilenw"}, {&tilene, "tilene"},
                         {&tilesw, "tilesw"}, {&tilese, "tilese"}}) {
    img->underlay = true;
    add(*img, nm);
    img->z = backz();
  }
  map.move(0, 0, mapwidth, mapheight);
  for (ui::Image* t : {&tilenw, &tilene, &tilesw, &tilese}) t->visible = false;
  // The further tiles are copies of a hidden template; they take no clicks of their own, so the
  // window's handler reads the position under the pointer.
  add(tilex, "tilex");
  tilex[0].underlay = true;
  tilex[0].visible = false;
  tilex[0].z = backz();

  add(p, "p");
  add(leg, "leg");
  add(zonec, "zonec");
  add(brg, "brg");
  add(dfsec, "dfsec");
  add(circle1, "circle1");
  circle1.shape = ui::Shape::oval;
  circle1.visible = false;
  add(mvv, "mvv");
  add(mvim, "mvim");
  // Element 0 of the vehicles' icons and heading lines is the template of the others, no vehicle.
  mvv[0].visible = mvim[0].visible = false;
  add(wp, "wp");
  add(vecto, "vecto");
  add(v, "v");
  add(vshad1, "vshad1");
  add(vshad2, "vshad2");
  add(vshad3, "vshad3");
  add(vshad4, "vshad4");
  add(scalel1, "scalel1");
  add(scalel2, "scalel2");
  add(scalel3, "scalel3");
  add(scalelab, "scalelab");
  // The bar's distance, over the map just above the read-outs; room for "1000 km" with some to
  // spare, so that no face draws it cut short.
  scalelab.move(0, 0, 64, 16);
  scalelab.transparent = true;
  add(home, "home");
  add(dest, "dest");
  add(destlabshad, "destlabshad");
  add(destlab, "destlab");
  add(sym, "sym");
  add(symlabshad, "symlabshad");
  add(symlab, "symlab");
  add(vecticon, "vecticon");
  add(car, "car");
  add(iconmouse, "iconmouse");
  add(mapcopy, "mapcopy");
  add(cpyring, "cpyring");
  add(cpytext, "cpytext");
  for (auto [l, nm] : {std::pair{&modebox, "modebox"}, {&llbox, "llbox"}, {&gridbox, "gridbox"},
                       {&hdgbox, "hdgbox"}, {&spdbox, "spdbox"}, {&dirbox, "dirbox"},
                       {&disbox, "disbox"}, {&saytxt, "saytxt"}, {&showcmd, "showcmd"},
                       {&rgitrace, "rgitrace"}, {&logotxt, "logotxt"}})
    add(*l, nm);
  add(o, "o");
  add(search, "search");
  add(searchdat, "searchdat");
  add(Help, "Help");
  add(ghelp, "ghelp");
  add(ghelpi, "ghelpi");
  add(Image1, "Image1");
  add(Image2, "Image2");
  add(key, "key");
  add(languageico, "languageico");
  for (auto [l, nm] : {std::pair{&Label1, "Label1"}, {&Label2, "Label2"}, {&Label3, "Label3"},
                       {&Label4, "Label4"}, {&Label5, "Label5"}, {&Label6, "Label6"}})
    add(*l, nm);
  // Markers and overlays start hidden; the map code shows them when it places them.
  for (ui::Control* c : controls())
    if (c != &map) c->visible = false;
}

}  // namespace zarn
