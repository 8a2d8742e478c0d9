#include "mainwindow/startwin.h"

#include <algorithm>
#include <cmath>

#include "geodesy/helpers.h"

namespace zarn {

namespace {

// The title texts, yellow over a black shadow.
void splashtext(ui::DrawSurface& d) {
  d.fontsize = 34;
  const auto print = [&d](double x, double y, ui::Colour c, const char* text) {
    d.forecolor = c;
    d.currentx = x;
    d.currenty = y;
    d.print(text);
  };
  print(24, 54, ui::black, "ZARN");
  print(22, 50, ui::yellow, "ZARN");
  print(162, 104, ui::black, "Moving Map");
  print(160, 100, ui::yellow, "Moving Map");
}

}  // namespace

void drawemblem(ui::DrawSurface& d, double cx, double cy, double s, ui::Colour colour, int fill, int width) {
  const double x0 = cx - s / 2, y0 = cy - s / 2, r = s / 4, c = y0 + 0.4 * s;
  d.drawwidth = width;
  d.box(x0, y0, x0 + s, y0 + s, colour);
  for (int a = 0; a <= 360; a += 45) {
    const double len = a == 45 ? 0.575 * s : a == 180 ? 0.35 * s : 0.45 * s;
    const double sn = std::sin(degtorad(a, cutdegrad)), cs = std::cos(degtorad(a, cutdegrad));
    d.line(cx + 0.3 * s * sn, c + 0.3 * s * cs, cx + len * sn, c + len * cs, colour);
  }
  d.circle(cx, c, r, colour);
  if (fill > 0)
    for (double y = c - r; y <= c + r; y += 1) {
      const double w = std::sqrt(std::max(0.0, r * r - (y - c) * (y - c)));
      d.line(cx - w, y, cx + w, y, colour);
    }
  const double base = y0 + 0.8 * s;
  d.pset(x0, base, colour);
  const long n = std::lrint(s / 2);  // halves to the even neighbour
  for (long k = 0; k <= n; ++k) {
    const double a = 360.0 * static_cast<double>(k) / static_cast<double>(n);
    d.lineto(x0 + static_cast<double>(k) * s / static_cast<double>(n), base + (s / 8) * std::sin(degtorad(a, cutdegrad)),
             colour);
  }
  d.lineto(x0 + s, base, colour);
}

namespace {

// The emblem in four passes: shadow, dark edge, yellow fill, white outline.
void drawlogo(ui::DrawSurface& d) {
  drawemblem(d, 322, 345, 140, ui::black, 0, 6);
  drawemblem(d, 320, 340, 140, 0x006464, 0, 6);  // RGB(100, 100, 0)
  drawemblem(d, 320, 340, 140, ui::yellow, 1, 4);
  drawemblem(d, 320, 340, 140, ui::white, 0, 2);
}

}  // namespace

void startsplash(StartForm& f) {
  splashtext(f.surface);
  drawlogo(f.surface);
  f.touch();
}

}  // namespace zarn
