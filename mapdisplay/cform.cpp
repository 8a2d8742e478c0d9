#include "mapdisplay/cform.h"

namespace zarn {

CForm::CForm() : ui::Form(formname) {
  caption = "Control Panel";
  width = 320;
  height = 400;
  add(map, "map");
  map.move(8, 8, 200, 200);
  add(zoomcmd, "zoomcmd");
  zoomcmd.move(8, 216, 120, 24);
  add(desti, "desti");
  desti.move(216, 8, 96, 200);
  add(csgn, "csgn");
  csgn.move(8, 248, 120, 22);
  add(histcmd, "histcmd");
  histcmd.move(8, 278, 120, 24);
  add(h, "h");
  for (int i = 0; i < 3; ++i) {
    ui::Shape& s = h.load(i);
    s.shape = ui::Shape::circle;
    s.move(136 + 12 * i, 284, 8, 8);
    s.backopaque = true;
  }
}

}  // namespace zarn
