#include <gtest/gtest.h>

#include <cmath>
#include <fstream>
#include <string>
#include <vector>

#include "geodesy/geotest.h"
#include "geodesy/postext.h"
#include "geodesy/ukgrid.h"

namespace zarn {
namespace {

using Postext = test::GridTest;

struct Place {
  std::string name, country;
  float lat, lon;
};

// The populated places of Great Britain and Ireland: name (perhaps quoted), country, latitude,
// longitude, population.
std::vector<Place> places() {
  std::vector<Place> v;
  std::ifstream f(std::string(ZARN_TEST_DATA) + "/places/gb-ie-places.csv");
  std::string line;
  std::getline(f, line);
  while (std::getline(f, line)) {
    const auto c3 = line.rfind(','), c2 = line.rfind(',', c3 - 1), c1 = line.rfind(',', c2 - 1),
               c0 = line.rfind(',', c1 - 1);
    v.push_back({line.substr(0, c0), line.substr(c0 + 1, c1 - c0 - 1), std::stof(line.substr(c1 + 1)),
                 std::stof(line.substr(c2 + 1))});
  }
  return v;
}

void expectpos(GeoState& geo, const std::string& text, float wx, float wy, float tol, const char* why) {
  float x = 0, y = 0;
  parsepos(geo, text, x, y);
  EXPECT_NEAR(x, wx, tol) << why << ": " << text;
  EXPECT_NEAR(y, wy, tol) << why << ": " << text;
}

TEST_F(Postext, ParseposReadsEveryForm) {
  const struct {
    const char* guards;
    const char* text;
    bool latlon;  // a, b: latitude and longitude, else frame km
    float a, b, tol;
  } cases[] = {
      {"1-km reference beginning with a letter", "TQ3080", false, 530, 180, 0},
      {"100-m reference", "TQ301804", false, 530.1f, 180.4f, 0},
      {"10-m reference", "TQ30128045", false, 530.12f, 180.45f, 0},
      {"separators of the 1-m form are not checked", "TQ-30123-80456", false, 30.123f + 500, 80.456f + 100, 0},
      {"Irish square letter in lower case", "o 15855 34718", false, 315.855f - 320, 234.718f + 173.5f, 0},
      {"Irish 100-m reference", "V123456", false, 12.3f - 320, 45.6f + 173.5f, 0},
      {"decimal degrees of 7 characters are not an Irish reference", "51.5 -1", true, 51.5f, -1, 0},
      {"decimal degrees of 13 characters are not an Irish reference", "51.50 -0.1234", true, 51.5f, -0.1234f, 0},
      {"south and east", "-33.8688 151.2093", true, -33.8688f, 151.2093f, 0},
      {"compact form", "512999N0000600W", true, static_cast<float>(51 + (29 + 99 / 100.0) / 60), -0.1f, 0},
      {"XY sheet reference at the calibration origin", "300380", true, 1.3599590f, 103.85132f, 0},
      // UTM forms of 51.5 N 0.1 W (701277.665 5709417.125 in zone 30).
      {"UTM", "30U 701277 5709417", true, 51.5f, -0.1f, 0.006f},
      {"compact UTM", "30U7012775709417", true, 51.5f, -0.1f, 0.006f},
      {"short UTM in hundreds of metres", "30U701257094", true, 51.5f, -0.1f, 0.1f},
  };
  for (const auto& c : cases) {
    float x = c.a, y = c.b;
    if (c.latlon) lltoosgb(geo, c.a, c.b, x, y);
    expectpos(geo, c.text, x, y, c.tol, c.guards);
  }
}

TEST_F(Postext, ParseposFailsWithTheFailurePair) {
  const char* cases[] = {
      "tq3080",              // square letters are case-sensitive
      "ZZ3080",              // not in the table
      "I 15855 34718",       // no Irish square I
      "1 15855 34718",       // not a letter at all
      "513000n0000600W",     // hemisphere letters are upper case only
      "5130000000600W0",     // hemisphere letters out of place
      "30U YC 01277 09417",  // MGRS is written, never read
      "TQ3080123",           // no form of 9 characters
      "",
      "51.5",                // a point but no blank, and no form of 4 characters
  };
  for (const char* t : cases) expectpos(geo, t, parsefailx, parsefaily, 0, "unreadable");
  EXPECT_NE(parsefaily, -950.0f) << "the failure pair differs from the no-position pair";

  // An empty table fails every letter reference, the second time as the first.
  GeoState empty;
  expectpos(empty, "TQ3080", parsefailx, parsefaily, 0, "square missing");
  expectpos(empty, "TQ3080", parsefailx, parsefaily, 0, "square missing twice");

  // The last square found is remembered: a failed search leaves it, and it answers even after
  // the table is emptied.
  float x = 0, y = 0;
  parsepos(geo, "NT2573", x, y);
  parsepos(geo, "ZZ2573", x, y);
  EXPECT_EQ(geo.sqcache, "NT");
  geo.ccccount = 0;
  expectpos(geo, "NT2573", 325, 673, 0, "from the remembered square");
}

TEST_F(Postext, GridreftextPicksTheFormByArea) {
  auto grid = [](GeoState& geo, float x, float y) {
    std::string t = "stale";
    gridreftext(geo, x, y, t);
    return t;
  };
  const struct { const char* guards; float x, y; const char* text; } cases[] = {
      // Metres are rounded half up; within half a metre of the east or north edge the position
      // is metre 0 of the next square, never a six-digit 100000.
      {"last metre of the square", 599.9994f, 180, "TQ 99999 80000"},
      {"half a metre from the east edge", 599.9996f, 180, "TR 00000 80000"},
      {"half a metre from the north edge", 530, 199.9996f, "TL 30000 00000"},
      {"the east edge belongs to the next square", 600, 180, "TR 00000 80000"},
      // Far from the frame origin the single-precision x decides: 400.0005 is stored just below.
      {"400.0005 is stored below the half metre", 400.0005f, 150, "SU 00000 50000"},
      {"400.0006 is stored above it", 400.0006f, 150, "SU 00001 50000"},
  };
  for (const auto& c : cases) EXPECT_EQ(grid(geo, c.x, c.y), c.text) << c.guards;

  float x = 0, y = 0;
  lltoosgb(geo, 53.35f, -6.26f, x, y);
  EXPECT_EQ(grid(geo, x, y), "O 15855 34718") << "the Irish area writes Irish references";

  // No square covers the position: UTM when asked for, else compact latitude/longitude.
  GeoState empty;
  GeoState& e = empty;
  const struct { int utmmode; float lat, lon; const char* text; } far[] = {
      {0, 51.5f, -0.1275f, "513000N0000764W"},
      {1, 51.5f, -0.1275f, "30U 699369 5709341"},
      {2, 51.5f, -0.1275f, "30U XC 99369 09342"},
      {3, 51.5f, -0.1275f, "513000N0000764W"},  // no such system: the compact form, never a stale text
      {1, 80, 10, "800000N0100000E"},            // outside UTM's bands: compact even with UTM on
      {1, -84, 10, "840000S0100000E"},
  };
  for (const auto& c : far) {
    e.utmmode = c.utmmode;
    lltoosgb(e, c.lat, c.lon, x, y);
    EXPECT_EQ(grid(e, x, y), c.text) << c.utmmode << " " << c.lat;
  }
}

TEST_F(Postext, LatlongTexts) {
  const struct { float lat, lon; const char* text; const char* compact; const char* guards; } cases[] = {
      {51.5f, -0.1f, "51  30.000'N 000  06.000'W", "513000N0000600W",
       "30 - 0.0005 in single precision rounds back up"},
      {5.25f, 100.5f, "05  15.000'N 100  30.000'E", "051500N1003000E", "degrees padded"},
      {-0.5f, -0.5f, "00  30.000'S 000  30.000'W", "003000S0003000W", "southern, 0 degrees"},
      {static_cast<float>(10 + 59.9999 / 60), 0, "10  59.999'N 000  00.000'E", "105999N0000000E",
       "minutes never written as 60"},
      {static_cast<float>(52 + 12.3456 / 60), static_cast<float>(-(1 + 7.8915 / 60)), "52  12.345'N 001  07.891'W",
       "521234N0010789W", "minutes cut, not rounded"},
  };
  for (const auto& c : cases) {
    std::string t, k;
    latlongtext(c.lat, c.lon, t);
    llcompact(c.lat, c.lon, k);
    EXPECT_EQ(t, c.text) << c.guards;
    EXPECT_EQ(k, c.compact) << c.guards;
  }
  std::string f;
  fmtlatlon(-5.25f, 103.85132f, f);
  EXPECT_EQ(f, "-05.250000 103.851318");
}

// Every place of Great Britain and Ireland: the text written for its position reads back to
// the same metre, and writing that position again gives the same text. Near the south edge of
// the series area (Hugh Town, Landewednack) the inverse conversion's first estimate falls
// outside it, so it must still refine through the series.
TEST_F(Postext, GridReferencesRoundTripForEveryPlace) {
  int uk = 0, irish = 0, south = 0;
  for (const Place& p : places()) {
    float x = 0, y = 0, px = 0, py = 0;
    lltoosgb(geo, p.lat, p.lon, x, y);
    std::string t, t2;
    gridreftext(geo, x, y, t);
    parsepos(geo, t, px, py);
    ASSERT_TRUE(t.size() == 13 || t.size() == 14) << p.name << ": " << t;
    const bool isirish = t.size() == 13;
    (isirish ? irish : uk)++;
    south += p.country == "GB" && p.lat < 50.05f;
    // Irish digits are cut (up to 1 m short), national-grid digits rounded (half a metre).
    const float tol = isirish ? 0.00102f : 0.00052f;
    EXPECT_NEAR(px, x, tol + (std::fabs(x) > 512 ? 0.0001f : 0)) << p.name << ": " << t;
    EXPECT_NEAR(py, y, tol + (std::fabs(y) > 512 ? 0.0001f : 0)) << p.name << ": " << t;
    gridreftext(geo, px, py, t2);
    EXPECT_EQ(t2, t) << p.name;
  }
  EXPECT_GT(uk, 4000);
  EXPECT_GT(irish, 300);
  EXPECT_GE(south, 2);
}

// Positions beyond the table, all round the world: the compact form and UTM read back within
// their resolution; MGRS is refused.
TEST(PostextWorld, UtmAndCompactTextsRoundTrip) {
  GeoState geo;
  int n = 0;
  for (float lat = -79.5f; lat < 79.5f; lat += 6.7f)
    for (int zone = 1; zone <= 60; zone += 7)
      for (float off : {-2.5f, 0.0f, 1.7f}) {  // inside the zone, clear of its edges
        const float lon = static_cast<float>(6 * zone - 183) + off;
        for (int mode : {0, 1, 2}) {
          geo.utmmode = mode;
          float x = 0, y = 0, px = 0, py = 0, plat = 0, plon = 0;
          lltoosgb(geo, lat, lon, x, y);
          std::string t;
          gridreftext(geo, x, y, t);  // reads the latitude/longitude back from the cache
          if (t.size() == 13) continue;  // Ireland has its own grid
          parsepos(geo, t, px, py);
          if (mode == 2) {
            EXPECT_EQ(px, parsefailx) << t;
            EXPECT_EQ(py, parsefaily) << t;
            continue;
          }
          osgbtoll(geo, px, py, plat, plon);  // the parser's own latitude/longitude
          // Compact: hundredths of a minute cut (18.5 m); UTM: whole metres cut plus the
          // reader's 5 m tolerance, a little more where the zone's scale grows.
          const float tol = mode == 0 ? 0.0187f : 0.009f;
          EXPECT_LT(std::fabs(plat - lat) * 111.2f, tol) << t << " " << lat << "," << lon;
          EXPECT_LT(std::fabs(plon - lon) * 111.2f * std::cos(lat * 3.14159265f / 180), tol) << t;
          ++n;
        }
      }
  EXPECT_GT(n, 800);
}

}  // namespace
}  // namespace zarn
