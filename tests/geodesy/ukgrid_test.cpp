// The national-grid frame and the Irish grid against their transverse Mercators (cs2cs) and the
// Ordnance Survey's test points; their areas, cache and inverses; the Irish references.
#include <algorithm>
#include <fstream>
#include <iterator>

#include "geodesy/geotest.h"
#include "geodesy/irishgrid.h"
#include "geodesy/ukgrid.h"

namespace zarn {

TEST(UkGrid, SeriesAndIrishAreaBounds) {
  const struct { const char* guards; float lat, lon; int in; } series[] = {
      {"first Continent cut-out", 51.9f, 1.6f, 0},   {"north of first cut-out", 52.0f, 1.6f, 1},
      {"second Continent cut-out", 50.05f, -0.5f, 0}, {"south-west corner inclusive", 49.9f, -8.0f, 1},
      {"north edge inclusive", 61.0f, 0.0f, 1},      {"just north of the box", 61.0001f, 0.0f, 0},
      {"east edge inclusive", 55.0f, 2.0f, 1},       {"west of the box", 55.0f, -8.01f, 0},
  };
  for (const auto& c : series) EXPECT_EQ(inukbox(c.lat, c.lon), c.in) << c.guards;
  const struct { const char* guards; float x, y; int in; } irish[] = {
      {"east bound strict", 180.0f, 300.0f, 0},      {"south bound strict", 0.0f, 173.5f, 0},
      {"west bound strict", -320.0f, 300.0f, 0},     {"north bound strict", 0.0f, 630.0f, 0},
      {"Scotland cut-out corner", 154.0f, 595.0f, 0}, {"just west of the Wales cut-out", 14.9f, 250.0f, 1},
      {"Wales cut-out", 15.0f, 250.0f, 0},           {"Dublin", -4.1f, 408.2f, 1},
  };
  for (const auto& c : irish) EXPECT_EQ(inirishzone(c.x, c.y), c.in) << c.guards;
}

// {longitude, latitude} as cs2cs reads them, each a float, every dlat and 0.25 degrees; with
// series, only points of the series area.
static std::vector<std::vector<double>> mesh(float lat0, float lat1, float dlat, float lon0, float lon1, bool series) {
  std::vector<std::vector<double>> pts;
  for (float lat = lat0; lat <= lat1; lat += dlat)
    for (float lon = lon0; lon <= lon1; lon += 0.25f)
      if (!series || inukbox(lat, lon)) pts.push_back({lon, lat});
  return pts;
}

TEST(UkGrid, SeriesMatchesAiryTransverseMercatorPlusFixedShift) {
  if (!testing::havetool("cs2cs")) GTEST_SKIP() << "cs2cs (proj-bin) is not installed";
  const auto pts = mesh(49.9f, 61.0f, 0.25f, -8.0f, 2.0f, true);
  const auto rows = testing::toolrows({"cs2cs", "-f", "%.4f", "+proj=latlong", "+ellps=airy", "+to", "+proj=tmerc",
                                       "+lat_0=49", "+lon_0=-2", "+k=0.9996012717", "+x_0=400000", "+y_0=-100000",
                                       "+ellps=airy"},
                                      pts);
  ASSERT_EQ(rows.size(), pts.size());
  double maxmid = 0, maxall = 0;
  int compared = 0;
  for (std::size_t i = 0; i < pts.size(); ++i) {
    const double rx = rows[i].at(0) + 104.0, ry = rows[i].at(1) - 54.15;
    bool irish = false;  // leave out series positions in (or within 100 m of) the Irish area
    for (int c = 0; c < 4; ++c)
      irish = irish || inirishzone(float((rx + c % 2 * 200 - 100) / 1000), float((ry + c / 2 * 200 - 100) / 1000));
    if (irish) continue;
    GeoState geo;
    float x = 0, y = 0;
    lltoosgb(geo, float(pts[i][1]), float(pts[i][0]), x, y);
    const double d = std::hypot(x * 1000.0 - rx, y * 1000.0 - ry);
    maxall = std::max(maxall, d);
    if (pts[i][0] >= -5 && pts[i][0] <= 1) maxmid = std::max(maxmid, d);
    ++compared;
  }
  EXPECT_GT(compared, 1500);
  // Measured 1.59 m and 23.2 m: the fixed series' own error.
  EXPECT_LT(maxmid, 1.7);
  EXPECT_LT(maxall, 24.0);
}

TEST(UkGrid, InverseReturnsForwardInput) {
  // The cache returns what was given, bit for bit; a fresh one must not claim that frame 0, 0
  // came from latitude 0, longitude 0 (it is the flat approximation's origin).
  GeoState geo, fresh;
  float x = 0, y = 0, lat = 0, lon = 0;
  lltoosgb(geo, 51.5f, -0.1f, x, y);
  osgbtoll(geo, x, y, lat, lon);
  EXPECT_EQ(std::pair(lat, lon), std::pair(51.5f, -0.1f));
  osgbtoll(fresh, 0, 0, lat, lon);
  EXPECT_LT(test::groundmetres(lat, lon, 49.7668, -7.5581), 10);

  // Away from the edges of the series area, where the frame has no gaps, with a fresh cache.
  int beeps = 0;
  for (const auto& p : mesh(50.5f, 60.5f, 0.25f, -5.0f, 1.25f, true)) {
    const float plat = float(p[1]), plon = float(p[0]);
    GeoState fwd, inv;
    lltoosgb(fwd, plat, plon, x, y);
    if (inirishzone(x, y)) continue;
    inv.beep = [&] { ++beeps; };
    osgbtoll(inv, x, y, lat, lon);
    // The inverse stops once the frame position is within 10 m; its fixed step factors fit the
    // south, so in the north the last step leaves up to about 2 m (measured 2.08 m).
    EXPECT_LT(test::groundmetres(plat, plon, lat, lon), 2.2) << plat << " " << plon;
  }
  EXPECT_EQ(beeps, 0);
  // At the east edge of the series area the frame jumps to the flat approximation, so the
  // inverse of a position there oscillates until its pass limit: one beep, still near.
  GeoState fwd, inv;
  lltoosgb(fwd, 52.4f, 2.0f, x, y);
  inv.beep = [&] { ++beeps; };
  osgbtoll(inv, x, y, lat, lon);
  EXPECT_EQ(beeps, 1);
  EXPECT_LT(test::groundmetres(52.4, 2.0, lat, lon), 100.0);
}

TEST(UkGrid, DistanceFromOrdnanceSurveyTestPoints) {
  // The series takes GPS latitude/longitude straight to the grid with one fixed shift, so it
  // lies some tens of metres from the true national grid, more in the far north.
  // After a heading, lines "name,latitude,longitude,..." in and "name,easting,northing,..." out.
  const std::string dir = ZARN_TEST_DATA "/osgb/";
  auto numbers = [&](const std::string& way) {
    std::ifstream f(dir + "OSTN15_OSGM15_Test" + way + "_ETRStoOSGB.txt");
    std::string text(std::istreambuf_iterator<char>(f), {});
    std::replace(text.begin(), text.end(), ',', ' ');
    return testing::numberlines(text);
  };
  const auto in = numbers("Input"), out = numbers("Output");
  ASSERT_EQ(in.size(), out.size());
  double worst = 0, sum = 0, worstsouth = 0, count = 0;
  for (std::size_t i = 1; i < in.size(); ++i) {
    const float lat = float(in[i].at(0)), lon = float(in[i].at(1));
    if (!inukbox(lat, lon)) continue;  // St Kilda lies west of the series area
    GeoState geo;
    float x = 0, y = 0;
    lltoosgb(geo, lat, lon, x, y);
    const double d = std::hypot(x * 1000.0 - out[i].at(0), y * 1000.0 - out[i].at(1));
    worst = std::max(worst, d);
    if (lat < 54) worstsouth = std::max(worstsouth, d);
    sum += d;
    ++count;
  }
  ASSERT_EQ(count, 39);
  // Measured: 112.8 m at most (Shetland), 50.2 m on average, 42.6 m south of 54 N.
  EXPECT_LT(worst, 115.0);
  EXPECT_LT(sum / count, 52.0);
  EXPECT_LT(worstsouth, 44.0);
}

TEST(IrishGrid, TextsAndTheirReading) {
  const struct { const char* guards; double e, n; const char* text; } texts[] = {
      {"digits cut to whole metres", 123.4567, 345.6789, "G 23456 45678"},
      {"square boundary starts the next column", 100.0, 250.0, "M 00000 50000"},
      {"south-west square", 0.5, 0.25, "V 00500 00250"},
      {"north-east square", 499.9999, 499.9999, "E 99999 99999"},
      {"outside the grid: no square letter", -5.0, 600.0, "  95000 00000"},
  };
  for (const auto& c : texts) {
    std::string t;
    irishtext(c.e, c.n, t);
    EXPECT_EQ(t, c.text) << c.guards;
  }
  const struct { const char* guards; const char* text; float e, n; } reads[] = {
      {"separators not examined", "G_23456/45678", 123.456f, 345.678f},
      {"no square letter: an unknown square, not a wrong place", "  95000 00000", -1, -1},
      {"letter I is not a square", "I 12345 12345", -1, -1},
      {"non-numeric digits count 0", "O ABCDE 34718", 300.0f, 234.718f},
      {"other lengths leave the outputs alone", "O 1585 3471", 99, 99},
      {"empty text leaves the outputs alone", "", 99, 99},
  };
  for (const auto& c : reads) {
    float e = 99, n = 99;
    parseirish(c.text, e, n);
    EXPECT_EQ(std::pair(e, n), std::pair(c.e, c.n)) << c.guards;
  }
}

TEST(IrishGrid, MatchesTransverseMercatorOfItsConstants) {
  if (!testing::havetool("cs2cs")) GTEST_SKIP() << "cs2cs (proj-bin) is not installed";
  const auto pts = mesh(51.4f, 55.4f, 0.2f, -10.5f, -5.5f, false);
  const auto rows = testing::toolrows(
      {"cs2cs", "-f", "%.4f", "+proj=latlong", "+a=6377563.396", "+b=6356256.91", "+to", "+proj=tmerc",
       "+lat_0=53.5", "+lon_0=-8", "+k=1", "+x_0=200000", "+y_0=250000", "+a=6377563.396", "+b=6356256.91"},
      pts);
  ASSERT_EQ(rows.size(), pts.size());
  for (std::size_t i = 0; i < pts.size(); ++i) {
    float e = 0, n = 0;
    lltoirish(pts[i][1], pts[i][0], e, n);
    // The km come in single precision: about 3 cm at 500 km.
    EXPECT_LT(std::hypot(e * 1e3 - rows[i].at(0), n * 1e3 - rows[i].at(1)), 0.03) << pts[i][1] << " " << pts[i][0];
  }
}

// In the Irish area the frame is the Irish grid shifted; back with a fresh cache.
TEST(IrishGrid, FrameInverseWithinTwoMetres) {
  int irish = 0;
  for (const auto& p : mesh(51.4f, 55.4f, 0.2f, -10.5f, -5.5f, false)) {
    GeoState fwd, inv;
    const float plat = static_cast<float>(p[1]), plon = static_cast<float>(p[0]);
    float x = 0, y = 0, lat = 0, lon = 0;
    lltoosgb(fwd, plat, plon, x, y);
    if (inirishzone(x, y) != 1) continue;
    ++irish;
    inv.beep = [] { ADD_FAILURE() << "the inverse did not settle"; };
    osgbtoll(inv, x, y, lat, lon);
    EXPECT_LT(test::groundmetres(plat, plon, lat, lon), 2.0) << plat << " " << plon;
  }
  EXPECT_GT(irish, 300);
}

}  // namespace zarn
