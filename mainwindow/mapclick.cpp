#include "mainwindow/mapclick.h"

#include "app/app.h"
#include "geodesy/transform.h"
#include "navigation/roadnet.h"

namespace zarn {

void mapclick(App& app, int button, float px, float py) {
  if (!app.win.loaded<LinkmanForm>() || !app.win.get<LinkmanForm>().visible) return;
  // The click is taken one pixel up and to the left, as every map click has always been.
  float x = 0, y = 0;
  if (!pixtoll(app.geo, app.map, px - 1, py - 1, x, y)) return;
  roadclick(app, x, y, button == ui::button_left);
}

void wiremapclick(App& app) {
  ui::Image& map = app.win.zarn.map;
  if (map.onMouseUp) return;
  map.onMouseUp = [&app, &map](const ui::MouseEvent& e) {
    mapclick(app, e.button, static_cast<float>(e.x + map.left), static_cast<float>(e.y + map.top));
  };
}

}  // namespace zarn
