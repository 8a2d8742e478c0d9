// The Irish grid (Airy modified ellipsoid, true origin 53.5 N 8 W) and its grid references.
#include "geodesy/irishgrid.h"

#include <cmath>

#include "platform/textrules.h"

namespace zarn {

namespace {

constexpr double a = 6377563.396;
constexpr double b = 6356256.91;
constexpr double e2 = 0.00667053976160256;
constexpr double ome2 = 0.9933294602383974;  // 1 - e2
// The Irish series divides by its own shortened degrees per radian (not 1 / degrad): kept, so
// that Irish positions do not move.
constexpr double degperrad = 57.2957795129;
constexpr double sin1s = 4.84813681107637e-06;  // sine of one second of arc
// Terms of n = (a - b) / (a + b), stored as computed once.
constexpr double n1 = 1.0016732202503251;       // 1 + n
constexpr double n2n3x5 = 1.4021752319777774e-05;  // 5n^2 + 5n^3
constexpr double nn2x3 = 0.00502805974899357;   // 3n + 3n^2
constexpr double n3x21 = 9.837361496665501e-08;  // 21n^3
constexpr double n2n3x15 = 4.2065256959333326e-05;  // 15n^2 + 15n^3
constexpr double n3x35 = 1.63956024944425e-07;  // 35n^3

// Whole metres within a square, "0"-padded to 5 digits; kept in range so that rounding at a
// square's edge can never write a sixth digit or a sign.
std::string digits5(double m) {
  double v = std::floor(m);
  if (!(v >= 0)) v = 0;
  if (v > 99999) v = 99999;
  return text::padleft(std::to_string(static_cast<long>(v)), 5, '0');
}

}  // namespace

void parseirish(const std::string& text, float& e, float& n) {
  if (text.size() != 7 && text.size() != 13) return;
  const long p = text::instr(irishletters, text::ucase(text::mid(text, 1, 1)));
  if (p == 0) {
    e = -1;
    n = -1;
    return;
  }
  const int column = static_cast<int>((p - 1) % 5);
  const int row = static_cast<int>((p - 1) / 5);
  if (text.size() == 7) {
    e = static_cast<float>(100 * column + text::val(text::mid(text, 2, 3)) / 10);
    n = static_cast<float>(100 * row + text::val(text::mid(text, 5, 3)) / 10);
  } else {
    e = static_cast<float>(100 * column + text::val(text::mid(text, 3, 5)) / 1000);
    n = static_cast<float>(100 * row + text::val(text::mid(text, 9, 5)) / 1000);
  }
}

void irishtext(double e, double n, std::string& text) {
  const double column = std::floor(e / 100);
  const double row = std::floor(n / 100);
  // Outside the 500 km square of the grid there is no letter: write a blank, which reads back
  // as an unknown square rather than as a wrong position.
  char letter = ' ';
  if (column >= 0 && column <= 4 && row >= 0 && row <= 4)
    letter = irishletters[static_cast<int>(5 * row + column)];
  text = std::string(1, letter) + " " + digits5((e - 100 * column) * 1000) + " " +
         digits5((n - 100 * row) * 1000);
}

void lltoirish(double lat, double lon, float& e, float& n) {
  const double dlat = lat - 53.5;
  // Meridional arc from the origin latitude; 107, 214 and 321 are 2, 4 and 6 times 53.5.
  const double m =
      b * ((n1 + n2n3x5 / 4) * (dlat / degperrad) -
           (nn2x3 + n3x21 / 8) * std::sin(dlat / degperrad) * std::cos((dlat + 107) / degperrad) +
           (n2n3x15 / 8) * std::sin(2 * dlat / degperrad) *
               std::cos((2 * dlat + 214) / degperrad) -
           (n3x35 / 24) * std::sin(3 * dlat / degperrad) *
               std::cos((3 * dlat + 321) / degperrad));
  const double s = std::sin(lat / degperrad);
  const double c = std::cos(lat / degperrad);
  const double t = std::tan(lat / degperrad);
  const double t2 = t * t;
  const double w = std::pow(1 - e2 * s * s, 0.5);
  const double nu = a / w;
  const double rho = nu * ome2 / (w * w);
  const double eta2 = w * w / ome2 - 1;
  const double p = (lon + 8) * 3600;  // seconds of arc from the central meridian
  const double p2 = p * p;
  const double s2 = sin1s * sin1s;
  const double c3 = c * c * c;

  const double ii = nu * s2 * s * c / 2;
  const double iii = nu * s2 * s2 * s * c3 * (5 - t2 + 9 * eta2) / 24;
  const double north = m + p2 * ii + p2 * p2 * iii + 250000;

  const double iv = nu * sin1s * c;
  const double v = nu * s2 * sin1s * c3 * (nu / rho - t2) / 6;
  const double vi = nu * s2 * s2 * sin1s * c3 * c * c *
                    (5 - 18 * t2 + t2 * t2 + 14 * eta2 - 58 * eta2 * t2 + 2 * eta2 * t2 * t2) /
                    120;
  const double east = 200000 + p * iv + p * p2 * v + p * p2 * p2 * vi;

  e = static_cast<float>(east / 1000);
  n = static_cast<float>(north / 1000);
}

bool irishtoll(float e, float n, float& lat, float& lon) {
  const float klon = static_cast<float>(1.0 / 71.549);
  const float klat = static_cast<float>(1.0 / 111.2453);
  lat = 54.0f;
  lon = -7.0f;
  for (int pass = 1; pass < 1000; ++pass) {
    float ep = 0, np = 0;
    lltoirish(lat, lon, ep, np);
    const float de = ep - e;
    const float dn = np - n;
    lon = lon - de * klon * 0.99f;
    lat = lat - dn * klat * 0.99f;
    if (std::fabs(de) < 0.001f && std::fabs(dn) < 0.001f) return true;
  }
  return false;
}

}  // namespace zarn
