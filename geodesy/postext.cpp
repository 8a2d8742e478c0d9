#include "geodesy/postext.h"

#include <cmath>

#include "geodesy/geostate.h"
#include "geodesy/irishgrid.h"
#include "geodesy/ukgrid.h"
#include "geodesy/utm.h"
#include "platform/textrules.h"

namespace zarn {

namespace {

// The leading decimal number of characters from..from+len-1 (1-based), 0 when there is none.
double number(const std::string& t, long from, long len) { return text::val(text::mid(t, from, len)); }

bool isletter(char c) { return (c >= 'A' && c <= 'Z') || (c >= 'a' && c <= 'z'); }

// Whole metres 0..99999 as exactly five digits.
std::string fivedigits(long m) {
  std::string s = std::to_string(m);
  if (s.size() < 5) s.insert(0, 5 - s.size(), '0');
  return s;
}

// Irish digits are whole metres cut, while a frame position read from an Irish reference
// carries the single-precision error of the shift (up to 5 cm there). Lift it by a tenth of a
// metre so that a reference read and written again keeps its digits; not past the grid's
// 500-km edge, where no square letter exists.
double liftirish(double km) {
  constexpr double lift = 0.0001;
  return km + lift < 500 ? km + lift : km;
}

}  // namespace

void parsepos(GeoState& geo, const std::string& t, float& x, float& y) {
  x = parsefailx;
  y = parsefaily;
  const long n = static_cast<long>(t.size());

  // Decimal latitude/longitude first: "51.5 -1" is 7 characters long but no Irish reference
  // holds a decimal point.
  if (text::instr(t, ".") > 0) {
    const long b = text::instr(t, " ");
    if (b > 0) {
      const auto lat = static_cast<float>(number(t, 1, b - 1));
      const auto lon = static_cast<float>(number(t, b + 1, n - b));
      lltoosgb(geo, lat, lon, x, y);
      return;
    }
  }

  if (n == 13 || n == 7) {
    if (text::instr(irishletters, text::ucase(text::left(t, 1))) == 0) return;  // no such square
    float e = 0, no = 0;
    parseirish(t, e, no);
    x = e - irishdx;
    y = no + irishdy;
    return;
  }

  if (n == 6 && text::asc(t) <= text::asc("9")) {
    float lat = 0, lon = 0;
    parsexy(geo, t, lat, lon);
    lltoosgb(geo, lat, lon, x, y);
    return;
  }

  if (n == 15) {
    float lat = 0, lon = 0;
    if (!parsellstr(t, lat, lon)) return;
    lltoosgb(geo, lat, lon, x, y);
    return;
  }

  if (n == 18 || n == 16 || n == 12) {
    // MGRS ("30U YC 01277 09417") has square letters where UTM has easting digits; the UTM
    // reader would make a position up from it.
    if (n == 18 && (isletter(t[4]) || isletter(t[5]))) return;
    float lat = 0, lon = 0;
    utmtoll(geo, t, lat, lon);
    lltoosgb(geo, lat, lon, x, y);
    return;
  }

  float e = 0, no = 0;
  switch (n) {
    case 14:
      e = static_cast<float>(number(t, 4, 5) / 1000);
      no = static_cast<float>(number(t, 10, 5) / 1000);
      break;
    case 6:
      e = static_cast<float>(number(t, 3, 2));
      no = static_cast<float>(number(t, 5, 2));
      break;
    case 8:
      e = static_cast<float>(number(t, 3, 3) / 10);
      no = static_cast<float>(number(t, 6, 3) / 10);
      break;
    case 10:
      e = static_cast<float>(number(t, 3, 4) / 100);
      no = static_cast<float>(number(t, 7, 4) / 100);
      break;
    default:
      return;
  }

  const std::string sq = t.substr(0, 2);
  if (sq != geo.sqcache) {
    int found = 0;
    for (int i = 1; i <= geo.ccccount && found == 0; ++i)
      if (geo.ccccode[i] == sq) found = i;
    if (found == 0) return;
    geo.sqcache = sq;
    geo.sqcachex = geo.cccx[found];
    geo.sqcachey = geo.cccy[found];
  }
  x = e + geo.sqcachex;
  y = no + geo.sqcachey;
}

bool parsellstr(const std::string& t, float& lat, float& lon) {
  lat = 0;
  lon = 0;
  if (t.size() != 15) return false;
  const char ns = t[6], ew = t[14];
  if ((ns != 'N' && ns != 'S') || (ew != 'E' && ew != 'W')) return false;
  double la = number(t, 1, 2) + (number(t, 3, 2) + number(t, 5, 2) / 100) / 60;
  double lo = number(t, 8, 3) + (number(t, 11, 2) + number(t, 13, 2) / 100) / 60;
  if (ns == 'S') la = -la;
  if (ew == 'W') lo = -lo;
  lat = static_cast<float>(la);
  lon = static_cast<float>(lo);
  return true;
}

void parsexy(const GeoState& geo, const std::string& t, float& lat, float& lon) {
  const auto xx = static_cast<float>(number(t, 1, 3) / 10);
  const auto yy = static_cast<float>(number(t, 4, 3) / 10);
  lat = (yy - geo.xyy0) * geo.xylatstep + geo.xylat0;
  lon = (xx - geo.xyx0) * geo.xylonstep + geo.xylon0;
}

void gridreftext(GeoState& geo, float x, float y, std::string& t) {
  // Each side of the seam writes its own grid where that grid has squares.
  const bool irish = inirishzone(x, y) == 1;
  if (irish) {
    const double e = static_cast<double>(x) + irishdx, n = static_cast<double>(y) - irishdy;
    if (e >= 0 && e < 500 && n >= 0 && n < 500) {
      irishtext(liftirish(e), liftirish(n), t);
      return;
    }
  }
  float lat = 0, lon = 0;
  osgbtoll(geo, x, y, lat, lon);

  if (!irish && inukbox(lat, lon) == 1) {
    // Round to whole metres before choosing the square: a position within half a metre of a
    // square's east or north edge is written as metre 0 of the next square, never as a
    // six-digit 100000 of this one.
    const double xm = std::floor(static_cast<double>(x) * 1000 + 0.5);
    const double ym = std::floor(static_cast<double>(y) * 1000 + 0.5);
    for (int i = 1; i <= geo.ccccount; ++i) {
      const double ox = static_cast<double>(geo.cccx[i]) * 1000;
      const double oy = static_cast<double>(geo.cccy[i]) * 1000;
      if (ox <= xm && xm < ox + 100000 && oy <= ym && ym < oy + 100000) {
        t = geo.ccccode[i] + " " + fivedigits(static_cast<long>(xm - ox)) + " " +
            fivedigits(static_cast<long>(ym - oy));
        return;
      }
    }
  }

  // Only the two UTM modes write UTM text; any other mode value has no text of its own.
  if ((geo.utmmode == 1 || geo.utmmode == 2) && lat > -84 && lat < 80) {
    utmtext(geo, geo.utmmode, lat, lon, t);
    return;
  }
  llcompact(lat, lon, t);
}

void latlongtext(float lat, float lon, std::string& t) {
  const char* ns = lat < 0 ? "S" : "N";
  const char* ew = lon < 0 ? "W" : "E";
  const float alat = std::fabs(lat);
  const float alon = std::fabs(lon);
  const float dlat = std::floor(alat);
  const float dlon = std::floor(alon);
  // Minutes are cut to thousandths: half a thousandth off before the rounding format, and
  // capped so that 60.000 never appears. They are worked out in double precision and only
  // stored in single (51.5 gives 30 - 0.0005 just above 29.9995, -0.1 gives 6.000).
  auto minutes = [](float a, float d) {
    float m = static_cast<float>((static_cast<double>(a) - d) * 60 - 0.0005);
    if (m < 0) m = 0;
    if (m > 59.999) m = static_cast<float>(59.999);
    return text::format(m, "00.000");
  };
  t = text::format(dlat, "00") + "  " + minutes(alat, dlat) + "'" + ns + " " +
      text::format(dlon, "000") + "  " + minutes(alon, dlon) + "'" + ew;
}

void llcompact(float lat, float lon, std::string& t) {
  std::string l;
  latlongtext(lat, lon, l);
  t = text::mid(l, 1, 2) + text::mid(l, 5, 2) + text::mid(l, 8, 2) + text::mid(l, 12, 1) +
      text::mid(l, 14, 3) + text::mid(l, 19, 2) + text::mid(l, 22, 2) + text::mid(l, 26, 1);
}

void fmtlatlon(float lat, float lon, std::string& t) {
  t = text::format(lat, "#00.000000") + " " + text::format(lon, "#000.000000");
}

}  // namespace zarn
