#include "gpsinput/ownfix.h"

#include <cmath>

#include "app/app.h"
#include "geodesy/helpers.h"
#include "geodesy/postext.h"
#include "platform/textrules.h"

namespace zarn {

void showposition(const OwnFix& g, ZarnForm& form) {
  showgridref(form, g.owngrid);
  std::string ll;
  latlongtext(g.ownlat, g.ownlon, ll);
  form.llbox.set(std::move(ll));
}

void showheading(const OwnFix& fix, ZarnForm& form) {
  auto& box = form.hdgbox;
  const int h = fix.ownhdg;
  const ui::Colour colour = h == -1 ? ui::yellow : ui::green;
  box.set(h == -1 ? std::string("?") : text::format(h, "000"));
  if (box.backcolor != colour) box.backcolor = colour;
}

void showgridref(ZarnForm& form, const std::string& text) {
  ui::Label& box = form.gridbox;
  if (text.size() <= 14)
    box.setfontsize(12);
  else if (text.size() == 15)
    box.setfontsize(9.75);
  else
    box.setfontsize(8.25);
  box.set(text);
}

void showspeed(const OwnFix& fix, const MainState& settings, ZarnForm& form) {
  float v = fix.ownspd;
  if (settings.metric == 0) {
    v = settings.nautical == 1 ? v / 1.61f / 1.15f : v / 1.61f;
  }
  const double w = std::floor(static_cast<double>(v));
  // A value no whole number can hold keeps the caption as it was.
  if (!std::isfinite(w) || std::fabs(w) > 2e9) return;
  form.spdbox.set(std::to_string(static_cast<long long>(w)));
}

void setfixvars(GpsState& gps, int mode, float lat, float lon, float radius, float brg1, float brg2,
                std::int32_t colour) {
  gps.dfsector = DfSector{mode, lat, lon, radius, brg1, brg2, colour};
}

void setgpscorr(GpsState& g, float east, float north) {
  g.gpscorre = east;
  g.gpscorrn = north;
}

void noheading(GpsState& g) { g.ownhdg = -1; }

bool noposition(const OwnFix& f) { return isnopos(f.ownx, f.owny) || (f.ownlat == 0 && f.ownlon == 0); }

void setownpos(GpsState& g, float x, float y) {
  g.ownx = x;
  g.owny = y;
}

}  // namespace zarn
