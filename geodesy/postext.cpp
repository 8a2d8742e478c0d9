#include "geodesy/postext.h"

#include <cmath>
#include <optional>
#include <string_view>

#include "geodesy/geostate.h"
#include "geodesy/irishgrid.h"
#include "geodesy/ukgrid.h"
#include "geodesy/utm.h"
#include "platform/textrules.h"

namespace zarn {

namespace {

using text::isdigit;

bool isletter(char c) { return (c >= 'A' && c <= 'Z') || (c >= 'a' && c <= 'z'); }
bool isseparator(char c) { return !isdigit(c) && !isletter(c); }

// The number of the digits from..from+len-1 (1-based); nothing unless each one is a digit.
std::optional<long> digits(const std::string& t, long from, long len) {
  if (from < 1 || from + len - 1 > static_cast<long>(t.size())) return std::nullopt;
  long v = 0;
  for (long i = from - 1; i < from - 1 + len; ++i) {
    if (!isdigit(t[i])) return std::nullopt;
    v = v * 10 + (t[i] - '0');
  }
  return v;
}

// A signed decimal number of degrees: at most 3 whole digits and 15 decimals, a point among
// them and nothing else (no exponent, no blank inside).
std::optional<double> degrees(std::string_view num) {
  std::string_view s = num;
  if (!s.empty() && (s[0] == '-' || s[0] == '+')) s.remove_prefix(1);
  const auto point = s.find('.');
  const std::string_view whole = s.substr(0, point);
  const std::string_view frac = point == s.npos ? std::string_view() : s.substr(point + 1);
  if (whole.size() + frac.size() == 0 || whole.size() > 3 || frac.size() > 15 || !text::alldigits(whole) ||
      !text::alldigits(frac))
    return std::nullopt;
  return text::val(num);
}

bool onearth(double lat, double lon) { return std::fabs(lat) <= 90 && std::fabs(lon) <= 180; }

// A latitude and longitude that both were read and lie on earth, into lat and lon.
bool onearth(std::optional<double> la, std::optional<double> lo, float& lat, float& lon) {
  if (!la || !lo || !onearth(*la, *lo)) return false;
  lat = static_cast<float>(*la);
  lon = static_cast<float>(*lo);
  return true;
}

// Decimal degrees, latitude and longitude with blanks between: "51.5 -0.1".
bool parsedecimal(const std::string& t, float& lat, float& lon) {
  const std::string s = text::trim(t);
  const auto b = s.find(' ');
  if (b == std::string::npos) return false;
  return onearth(degrees(std::string_view(s).substr(0, b)), degrees(text::ltrim(s.substr(b))), lat, lon);
}

// An angle written as degrees (dn digits at d), minutes (2 digits at m) and a fraction of a
// minute (fn digits at f), then its hemisphere letter: negative for `neg`, positive for `pos`.
std::optional<double> angle(const std::string& t, long d, long dn, long m, long f, long fn, char hemi, char neg,
                            char pos) {
  const auto dd = digits(t, d, dn), mm = digits(t, m, 2), ff = digits(t, f, fn);
  if (!dd || !mm || !ff || *mm >= 60 || (hemi != neg && hemi != pos)) return std::nullopt;
  const double v = *dd + (*mm + *ff / std::pow(10.0, static_cast<double>(fn))) / 60;
  return hemi == neg ? -v : v;
}

// The read-out text of latlongtext, degrees and minutes to thousandths, with its blank runs
// made single: "51 30.000'N 000 06.000'W" (written "51  30.000'N 000  06.000'W").
bool parsereadout(const std::string& t, float& lat, float& lon) {
  if (t.size() != 24 || t[2] != ' ' || t[5] != '.' || t[9] != '\'' || t[11] != ' ' || t[15] != ' ' ||
      t[18] != '.' || t[22] != '\'')
    return false;
  return onearth(angle(t, 1, 2, 4, 7, 3, t[10], 'S', 'N'), angle(t, 13, 3, 17, 20, 3, t[23], 'W', 'E'), lat, lon);
}

// The text with each run of blanks made one blank: where a position text has a blank, any run
// of them reads as that one, so "TQ  30123 80456" is "TQ 30123 80456".
std::string oneblank(const std::string& t) {
  std::string s;
  s.reserve(t.size());
  for (std::size_t i = 0; i < t.size(); ++i)
    if (t[i] != ' ' || i == 0 || t[i - 1] != ' ') s += t[i];
  return s;
}

// The layout of an Irish reference: a letter and 3 + 3 digits, or a letter, 5 digits and 5
// digits each after one separator.
bool irishlayout(const std::string& t) {
  if (t.size() == 7) return digits(t, 2, 6).has_value();
  return t.size() == 13 && isseparator(t[1]) && isseparator(t[7]) && digits(t, 3, 5) && digits(t, 9, 5);
}

// Whole metres 0..99999 as exactly five digits.
std::string fivedigits(long m) { return text::padleft(std::to_string(m), 5, '0'); }

// Irish digits are whole metres cut, while a frame position read from an Irish reference
// carries the single-precision error of the shift (up to 5 cm there). Lift it by a tenth of a
// metre so that a reference read and written again keeps its digits; not past the grid's
// 500-km edge, where no square letter exists.
double liftirish(double km) {
  constexpr double lift = 0.0001;
  return km + lift < 500 ? km + lift : km;
}

}  // namespace

void parsepos(GeoState& geo, const std::string& written, float& x, float& y) {
  x = parsefailx;
  y = parsefaily;
  // A text without a run of blanks is read as it stands (the common case: no copy).
  const std::string single = written.find("  ") == std::string::npos ? std::string() : oneblank(written);
  const std::string& t = single.empty() ? written : single;
  const long n = static_cast<long>(t.size());
  float lat = 0, lon = 0;

  // Latitude/longitude first: the read-out text and "51.5 -1", 7 characters long as an Irish
  // reference is, hold a point and a blank, which no reference does. A text with both that is
  // neither may still be another form.
  if (parsereadout(t, lat, lon) ||
      (text::instr(t, ".") > 0 && text::instr(t, " ") > 0 && parsedecimal(t, lat, lon))) {
    lltoosgb(geo, lat, lon, x, y);
    return;
  }

  if (n == 13 || n == 7) {
    if (!irishlayout(t) || text::instr(irishletters, text::ucase(text::left(t, 1))) == 0) return;
    float e = 0, no = 0;
    parseirish(t, e, no);
    // Each grid's references stay in its own chart, even across the seam: a map drawn on one
    // grid is calibrated by references in it.
    x = e - irishdx;
    y = no + irishdy;
    return;
  }

  if (n == 6 && text::asc(t) <= text::asc("9")) {
    if (!digits(t, 1, 6)) return;
    parsexy(geo, t, lat, lon);
    if (onearth(lat, lon)) lltoosgb(geo, lat, lon, x, y);
    return;
  }

  if (n == 15) {
    if (parsellstr(t, lat, lon)) lltoosgb(geo, lat, lon, x, y);
    return;
  }

  if (n == 18 || n == 16 || n == 12) {
    if (utmtoll(geo, t, lat, lon)) lltoosgb(geo, lat, lon, x, y);
    return;
  }

  // Grid references: square letters, then easting and northing digits of equal count.
  std::optional<long> e, no;
  double unit = 1;  // digits per km
  switch (n) {
    case 14:
      if (isseparator(t[2]) && isseparator(t[8])) e = digits(t, 4, 5), no = digits(t, 10, 5);
      unit = 1000;
      break;
    case 6:
      e = digits(t, 3, 2), no = digits(t, 5, 2);
      break;
    case 8:
      e = digits(t, 3, 3), no = digits(t, 6, 3), unit = 10;
      break;
    case 10:
      e = digits(t, 3, 4), no = digits(t, 7, 4), unit = 100;
      break;
    default:
      return;
  }
  if (!e || !no) return;

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
  x = static_cast<float>(*e / unit) + geo.sqcachex;
  y = static_cast<float>(*no / unit) + geo.sqcachey;
}

bool parsellstr(const std::string& t, float& lat, float& lon) {
  lat = 0;
  lon = 0;
  return t.size() == 15 &&
         onearth(angle(t, 1, 2, 3, 5, 2, t[6], 'S', 'N'), angle(t, 8, 3, 11, 13, 2, t[14], 'W', 'E'), lat, lon);
}

void parsexy(const GeoState& geo, const std::string& t, float& lat, float& lon) {
  const auto xx = static_cast<float>(text::val(text::mid(t, 1, 3)) / 10);
  const auto yy = static_cast<float>(text::val(text::mid(t, 4, 3)) / 10);
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

  // UTM text in the two UTM modes where UTM reaches (80 S to 84 N), else the compact form.
  if (utmtext(geo, geo.utmmode, lat, lon, t)) return;
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
