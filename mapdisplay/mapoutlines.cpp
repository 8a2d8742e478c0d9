#include "mapdisplay/mapoutlines.h"

#include <algorithm>

#include "app/app.h"
#include "geodesy/postext.h"
#include "geodesy/transform.h"
#include "mapdisplay/catalogue.h"
#include "platform/textrules.h"

namespace zarn {

namespace {

// A column: the text padded with blanks to its width; a longer text as it is.
std::string pad(std::string s, std::size_t width) {
  if (s.size() < width) s.resize(width, ' ');
  return s;
}

std::string maprow(GeoState& geo, const MapView& m, const platform::Files& files, std::size_t i) {
  std::string row = pad(text::left(m.mapname[i], 15), 9);
  const std::string x640 = text::format(m.mapx640[i], "#.##");
  row += x640.size() < 5 ? pad(x640, 5) : x640.substr(0, 4) + " ";
  std::string corner;
  gridreftext(geo, m.mapswx[i], m.mapswy[i], corner);
  row += pad(corner, 16);
  gridreftext(geo, m.mapnex[i], m.mapney[i], corner);
  row += pad(corner, 16);
  const auto ew = static_cast<float>(text::vbint((m.mapew[i] + 0.05f) * 10) / 10);
  row += pad(text::trim(text::str(ew)), 9);
  return row + readdesname(files, m, static_cast<int>(i));
}

// Outlines map i on the current map when it lies within it east to west.
void outline(ZarnForm& z, GeoState& geo, const MapView& m, std::size_t i) {
  ui::DrawSurface& s = z.surface;
  float x1 = 0, y1 = 0, x2 = 0, y2 = 0;
  worldtopix(geo, m, m.mapswx[i], m.mapswy[i], x1, y1);
  worldtopix(geo, m, m.mapnex[i], m.mapney[i], x2, y2);
  const auto within = [&m](float x) { return x >= m.mapxmin && x <= m.mapxmax; };
  if (m.mapnex[i] > m.mapswx[i]) {
    if (m.mapswx[i] >= m.mapxmin && m.mapnex[i] <= m.mapxmax) s.box(x1, y1, x2, y2, ui::white);
    return;
  }
  // A map across the east-west seam: each part that shows runs off its side of the window.
  if (within(m.mapswx[i])) s.box(x1, y1, m.scrwidth + 4, y2, ui::yellow);
  if (within(m.mapnex[i])) s.box(-4, y1, x2, y2, ui::yellow);
}

}  // namespace

void showmaps(ZarnForm& z, GeoState& geo, const MapView& m, const platform::Files& files) {
  const int utmmode = geo.utmmode;
  geo.utmmode = 0;  // the list is in national-grid references whatever the read-outs show
  z.search.visible = false;
  z.searchdat.visible = false;
  auto out = platform::OutputFile::open(files, "SHOWMAPS.TXT", platform::OutputFile::Mode::Output);
  if (out) out->print("Map File x640 SW Corner       NE Corner       EW Size  Map Name");
  const int count = std::clamp(m.mapcount, 0, MapView::mapmax);
  const float curew = m.mapew[static_cast<std::size_t>(std::clamp(m.curmap, 0, MapView::mapmax))];
  for (std::size_t i = 1; i <= static_cast<std::size_t>(count); ++i) {
    if (out) out->print(maprow(geo, m, files, i));
    if (m.mapew[i] < curew) outline(z, geo, m, i);
  }
  if (out) out->close();
  z.touch();
  geo.utmmode = utmmode;
}

}  // namespace zarn
