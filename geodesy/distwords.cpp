#include "geodesy/distwords.h"

#include <cmath>

#include "platform/textrules.h"

namespace zarn {

namespace {
constexpr double kmpermile = 1.61;
constexpr double milespernm = 1.15;
constexpr float yardsx10permile = 176;  // tens of yards in a mile
}  // namespace

void distext(int metric, int nautical, float km, std::string& t, std::string& label) {
  if (metric != 0) {
    const float d = km;
    std::string v;
    if (d > 5) {
      v = text::str(std::floor(d + 0.5f));
    } else if (d >= 1) {
      v = text::str(std::floor(d * 10) / 10);
    } else {
      v = text::str(std::floor(d * 100) * 10);
      t = v + " metres";
      label = v + "m";
      return;
    }
    t = v + " km";
    label = v + "k";
    return;
  }
  auto d = static_cast<float>(km / kmpermile);
  if (nautical == 1) d = static_cast<float>(d / milespernm);
  if (d < 0.6) {
    const std::string v = text::str(std::floor(d * yardsx10permile) * 10);
    t = v + " yards";
    label = v + "y";
    return;
  }
  const std::string v =
      d > 5 ? text::str(std::floor(d + 0.5f)) : text::str(std::floor(d * 10) / 10);
  t = v + (nautical == 1 ? " nm" : " miles");
  label = v + "m";
}

}  // namespace zarn
