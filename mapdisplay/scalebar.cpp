#include "mapdisplay/scalebar.h"

#include <cmath>

#include "app/app.h"
#include "geodesy/transform.h"

namespace zarn {

void scalebar(ZarnForm& z, GeoState& geo, const MapView& m) {
  const float W = m.mapxmax - m.mapxmin;
  static constexpr struct {
    float below, len;
    const char* caption;
  } table[] = {{2, 0.01f, "10 m"},      {10, 0.1f, "100 m"},    {100, 1, "1 km"},
               {1000, 10, "10 km"},     {10000, 100, "100 km"}};
  float len = 1000;
  const char* caption = "1000 km";
  for (const auto& row : table) {
    if (W < row.below) {
      len = row.len;
      caption = row.caption;
      break;
    }
  }
  z.scalelab.set(caption);

  const float x0 = 10, y0 = static_cast<float>(z.llbox.top - 6);
  float wx = 0, wy = 0, x1 = x0, y1 = y0;
  if (pixtoll(geo, m, x0, y0, wx, wy)) worldtopix(geo, m, wx + len, wy, x1, y1);
  const auto ix0 = static_cast<int>(x0), iy0 = static_cast<int>(y0);
  const auto ix1 = static_cast<int>(std::lround(x1)), iy1 = static_cast<int>(std::lround(y1));
  z.scalel1.set(ix0, iy0, ix1, iy1);
  z.scalel2.set(ix0, iy0, ix0, iy0 - 4);
  z.scalel3.set(ix1, iy0, ix1, iy0 - 4);
  z.scalelab.move(ix1 + 5, iy1 - 10);
  for (ui::Control* c : std::initializer_list<ui::Control*>{&z.scalelab, &z.scalel1, &z.scalel2, &z.scalel3})
    c->visible = true;
  z.touch();
}

}  // namespace zarn
