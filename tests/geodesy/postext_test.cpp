#include <gtest/gtest.h>

#include <cmath>
#include <fstream>
#include <string>
#include <vector>

#include "geodesy/geostate.h"
#include "geodesy/helpers_testdata.h"
#include "geodesy/postext.h"
#include "geodesy/ukgrid.h"
#include "geodesy/utm.h"

namespace zarn {
namespace {

using testing::GridApp;

struct Place {
  std::string name, country;
  float lat, lon;
};

// The populated places of Great Britain and Ireland (name, country, latitude, longitude).
std::vector<Place> places() {
  std::vector<Place> v;
  std::ifstream f(std::string(ZARN_SHARED_DATA) + "/places/gb-ie-places.csv");
  std::string line;
  std::getline(f, line);
  while (std::getline(f, line)) {
    std::size_t p = 0;
    Place pl;
    if (line[0] == '"') {
      p = line.find('"', 1);
      pl.name = line.substr(1, p - 1);
      p += 2;
    } else {
      p = line.find(',');
      pl.name = line.substr(0, p++);
    }
    const std::size_t c1 = line.find(',', p), c2 = line.find(',', c1 + 1), c3 = line.find(',', c2 + 1);
    pl.country = line.substr(p, c1 - p);
    pl.lat = std::stof(line.substr(c1 + 1, c2 - c1 - 1));
    pl.lon = std::stof(line.substr(c2 + 1, c3 - c2 - 1));
    v.push_back(pl);
  }
  return v;
}

float frame(GeoState& geo, float lat, float lon, bool wanty) {
  float x = 0, y = 0;
  lltoosgb(geo, lat, lon, x, y);
  return wanty ? y : x;
}

void expectpos(GeoState& geo, const std::string& text, float wx, float wy, float tol,
               const char* why) {
  float x = 0, y = 0;
  parsepos(geo, text, x, y);
  if (tol == 0) {
    EXPECT_EQ(x, wx) << why << ": " << text;
    EXPECT_EQ(y, wy) << why << ": " << text;
  } else {
    EXPECT_NEAR(x, wx, tol) << why << ": " << text;
    EXPECT_NEAR(y, wy, tol) << why << ": " << text;
  }
}

TEST(Postext, ParseposReadsEveryForm) {
  GridApp g;
  GeoState& geo = g.app.geo;
  auto fx = [&](float la, float lo) { return frame(geo, la, lo, false); };
  auto fy = [&](float la, float lo) { return frame(geo, la, lo, true); };

  expectpos(geo, "TQ3080", 530, 180, 0, "1-km reference beginning with a letter");
  expectpos(geo, "TQ301804", 530.1f, 180.4f, 0, "100-m reference");
  expectpos(geo, "TQ30128045", 530.12f, 180.45f, 0, "10-m reference");
  expectpos(geo, "TQ 30123 80456", static_cast<float>(30.123) + 500, static_cast<float>(80.456) + 100,
            0, "1-m reference");
  expectpos(geo, "TQ-30123-80456", static_cast<float>(30.123) + 500,
            static_cast<float>(80.456) + 100, 0, "separators of the 1-m form are not checked");
  expectpos(geo, "O 15855 34718", static_cast<float>(315.855) - 320, static_cast<float>(234.718) + 173.5f,
            0, "Irish 1-m reference");
  expectpos(geo, "o 15855 34718", static_cast<float>(315.855) - 320, static_cast<float>(234.718) + 173.5f,
            0, "Irish square letter in lower case");
  expectpos(geo, "V000000", -320, 173.5f, 0, "Irish 100-m reference at the false origin");
  expectpos(geo, "V123456", static_cast<float>(12.3) - 320, static_cast<float>(45.6) + 173.5f, 0,
            "Irish 100-m reference");
  expectpos(geo, "51.5 -0.1", fx(51.5f, -0.1f), fy(51.5f, -0.1f), 0, "decimal degrees");
  expectpos(geo, "51.5 -1", fx(51.5f, -1), fy(51.5f, -1), 0,
            "decimal degrees of 7 characters are not an Irish reference");
  expectpos(geo, "51.50 -0.1234", fx(51.5f, -0.1234f), fy(51.5f, -0.1234f), 0,
            "decimal degrees of 13 characters are not an Irish reference");
  expectpos(geo, "-33.8688 151.2093", fx(-33.8688f, 151.2093f), fy(-33.8688f, 151.2093f), 0,
            "south and east");
  const auto clat = static_cast<float>(51 + (29 + 99 / 100.0) / 60);
  const auto clon = static_cast<float>(-(0 + 6.0 / 60));
  expectpos(geo, "512999N0000600W", fx(clat, clon), fy(clat, clon), 0, "compact form");
  expectpos(geo, "300380", fx(1.3599590f, 103.85132f), fy(1.3599590f, 103.85132f), 0,
            "XY sheet reference at the calibration origin");
  // UTM forms of 51.5 N 0.1 W (701277.665 5709417.125 in zone 30).
  const float ux = fx(51.5f, -0.1f), uy = fy(51.5f, -0.1f);
  expectpos(geo, "30U 701277 5709417", ux, uy, 0.006f, "UTM");
  expectpos(geo, "30U7012775709417", ux, uy, 0.006f, "compact UTM");
  expectpos(geo, "30U701257094", ux, uy, 0.1f, "short UTM in hundreds of metres");
}

TEST(Postext, ParseposFailsWithTheFailurePair) {
  GridApp g;
  GeoState& geo = g.app.geo;
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
  App empty;
  expectpos(empty.geo, "TQ3080", parsefailx, parsefaily, 0, "square missing");
  expectpos(empty.geo, "TQ3080", parsefailx, parsefaily, 0, "square missing twice");
}

TEST(Postext, ParseposRemembersTheLastSquare) {
  GridApp g;
  GeoState& geo = g.app.geo;
  float x = 0, y = 0;
  parsepos(geo, "NT2573", x, y);
  EXPECT_EQ(geo.sqcache, "NT");
  parsepos(geo, "ZZ2573", x, y);
  EXPECT_EQ(geo.sqcache, "NT") << "a failed search leaves the last square";
  // The cache answers even after the table is emptied: it is never cleared.
  geo.ccccount = 0;
  parsepos(geo, "NT2573", x, y);
  EXPECT_EQ(x, 325.0f);
  EXPECT_EQ(y, 673.0f);
}

TEST(Postext, ParsellstrAndParsexy) {
  float lat = 1, lon = 1;
  EXPECT_TRUE(parsellstr("512999N0000600W", lat, lon));
  EXPECT_EQ(lat, static_cast<float>(51 + (29 + 0.99) / 60));
  EXPECT_EQ(lon, static_cast<float>(-0.1));
  EXPECT_TRUE(parsellstr("335212S1511234E", lat, lon));
  EXPECT_LT(lat, 0);
  EXPECT_GT(lon, 0);
  EXPECT_FALSE(parsellstr("512999n0000600W", lat, lon));
  EXPECT_EQ(lat, 0.0f);
  EXPECT_EQ(lon, 0.0f);

  GeoState geo;
  parsexy(geo, "300380", lat, lon);
  EXPECT_EQ(lat, 1.3599590f);
  EXPECT_EQ(lon, 103.85132f);
  parsexy(geo, "310390", lat, lon);
  EXPECT_EQ(lat, (39.0f - 38.0f) * 0.0090437494f + 1.3599590f);
  EXPECT_EQ(lon, (31.0f - 30.0f) * 0.0089857355f + 103.85132f);
}

TEST(Postext, GridreftextPicksTheFormByArea) {
  GridApp g;
  GeoState& geo = g.app.geo;
  auto grid = [&](float x, float y) {
    std::string t = "stale";
    gridreftext(geo, x, y, t);
    return t;
  };
  EXPECT_EQ(grid(static_cast<float>(530.123), static_cast<float>(180.456)), "TQ 30123 80456");
  EXPECT_EQ(grid(325, 673), "NT 25000 73000");
  // Metres are rounded half up; within half a metre of the east or north edge the position
  // is metre 0 of the next square, never a six-digit 100000.
  EXPECT_EQ(grid(599.9994f, 180), "TQ 99999 80000");
  EXPECT_EQ(grid(599.9996f, 180), "TR 00000 80000");
  EXPECT_EQ(grid(530, 199.9996f), "TL 30000 00000");
  EXPECT_EQ(grid(600, 180), "TR 00000 80000") << "the east edge belongs to the next square";
  // Far from the frame origin the single-precision x decides: 400.0005 is stored just below.
  EXPECT_EQ(grid(400.0005f, 150), "SU 00000 50000");
  EXPECT_EQ(grid(400.0006f, 150), "SU 00001 50000");

  // The Irish area writes Irish references.
  float x = 0, y = 0;
  lltoosgb(geo, 53.35f, -6.26f, x, y);
  EXPECT_EQ(grid(x, y), "O 15855 34718");

  // No square covers the position: UTM when asked for, else compact latitude/longitude.
  App empty;
  GeoState& e = empty.geo;
  lltoosgb(e, 51.5f, -0.1275f, x, y);
  std::string t;
  gridreftext(e, x, y, t);
  EXPECT_EQ(t, "513000N0000764W");
  e.utmmode = 1;
  gridreftext(e, x, y, t);
  EXPECT_EQ(t.substr(0, 4), "30U ");
  EXPECT_EQ(t.size(), 18u);
  e.utmmode = 2;
  gridreftext(e, x, y, t);
  EXPECT_EQ(t.substr(0, 7), "30U XC ");
  e.utmmode = 3;  // no such system: the compact form, never a stale text
  t = "stale";
  gridreftext(e, x, y, t);
  EXPECT_EQ(t, "513000N0000764W");

  // Latitudes -84 and 80 lie outside UTM's bands: compact even with UTM on.
  e.utmmode = 1;
  lltoosgb(e, 80, 10, x, y);
  gridreftext(e, x, y, t);
  EXPECT_EQ(t, "800000N0100000E");
  lltoosgb(e, -84, 10, x, y);
  gridreftext(e, x, y, t);
  EXPECT_EQ(t, "840000S0100000E");
}

TEST(Postext, LatlongTexts) {
  struct Case {
    float lat, lon;
    const char* text;
    const char* compact;
    const char* why;
  };
  const Case cases[] = {
      {51.5f, -0.1f, "51  30.000'N 000  06.000'W", "513000N0000600W",
       "30 - 0.0005 in single precision rounds back up"},
      {5.25f, 100.5f, "05  15.000'N 100  30.000'E", "051500N1003000E", "degrees padded"},
      {-0.5f, -0.5f, "00  30.000'S 000  30.000'W", "003000S0003000W", "southern, 0 degrees"},
      {static_cast<float>(10 + 59.9999 / 60), 0, "10  59.999'N 000  00.000'E", "105999N0000000E",
       "minutes never written as 60"},
      {static_cast<float>(52 + 12.3456 / 60), static_cast<float>(-(1 + 7.8915 / 60)),
       "52  12.345'N 001  07.891'W", "521234N0010789W", "minutes cut, not rounded"},
  };
  for (const auto& c : cases) {
    std::string t, k;
    latlongtext(c.lat, c.lon, t);
    llcompact(c.lat, c.lon, k);
    EXPECT_EQ(t, c.text) << c.why;
    EXPECT_EQ(t.size(), 26u) << c.why;
    EXPECT_EQ(k, c.compact) << c.why;
  }
  std::string f;
  fmtlatlon(51.5f, -0.1f, f);
  EXPECT_EQ(f, "51.500000 -000.100000");
  fmtlatlon(-5.25f, 103.85132f, f);
  EXPECT_EQ(f, "-05.250000 103.851318");
}

// Every place of Great Britain and Ireland: the text written for its position reads back to
// the same metre, and writing that position again gives the same text.
void roundtrip(bool southedge) {
  GridApp g;
  GeoState& geo = g.app.geo;
  int uk = 0, irish = 0;
  for (const Place& p : places()) {
    // Near the south edge of the national grid's series area the inverse conversion's first
    // estimate lies outside it; those places are checked on their own.
    if ((p.country == "GB" && p.lat < 50.05f) != southedge) continue;
    float x = 0, y = 0;
    lltoosgb(geo, p.lat, p.lon, x, y);
    std::string t, t2;
    gridreftext(geo, x, y, t);
    float px = 0, py = 0;
    parsepos(geo, t, px, py);
    const bool isirish = t.size() == 13;
    if (isirish) ++irish;
    else if (t.size() == 14) ++uk;
    ASSERT_TRUE(t.size() == 13 || t.size() == 14) << p.name << ": " << t;
    // Irish digits are cut (up to 1 m short), national-grid digits rounded (half a metre).
    const float tol = isirish ? 0.00102f : 0.00052f;
    EXPECT_NEAR(px, x, tol + 0.0001f * (std::fabs(x) > 512 ? 1 : 0)) << p.name << ": " << t;
    EXPECT_NEAR(py, y, tol + 0.0001f * (std::fabs(y) > 512 ? 1 : 0)) << p.name << ": " << t;
    gridreftext(geo, px, py, t2);
    EXPECT_EQ(t2, t) << p.name;
  }
  if (!southedge) {
    EXPECT_GT(uk, 4000);
    EXPECT_GT(irish, 300);
  }
}

TEST(Postext, GridReferencesRoundTripForEveryPlace) { roundtrip(false); }
// Hugh Town and Landewednack: the inverse conversion's first estimate falls south of the series
// area, so it must still refine through the series.
TEST(Postext, GridReferencesRoundTripAtTheSouthEdge) { roundtrip(true); }

// Positions beyond the table, all round the world: the compact form and UTM read back within
// their resolution; MGRS is refused.
TEST(Postext, UtmAndCompactTextsRoundTrip) {
  App app;
  GeoState& geo = app.geo;
  int n = 0;
  for (float lat = -79.5f; lat < 79.5f; lat += 6.7f)
    for (int zone = 1; zone <= 60; zone += 7)
      for (float off : {-2.5f, 0.0f, 1.7f}) {  // inside the zone, clear of its edges
        const float lon = static_cast<float>(6 * zone - 183) + off;
        const float coslat = std::cos(lat * 3.14159265f / 180);
        for (int mode : {0, 1, 2}) {
          geo.utmmode = mode;
          float x = 0, y = 0;
          lltoosgb(geo, lat, lon, x, y);
          std::string t;
          gridreftext(geo, x, y, t);  // reads the latitude/longitude back from the cache
          if (t.size() == 13) continue;  // Ireland has its own grid
          float px = 0, py = 0;
          parsepos(geo, t, px, py);
          if (mode == 2) {
            EXPECT_EQ(t.size(), 18u);
            EXPECT_EQ(px, parsefailx) << t;
            EXPECT_EQ(py, parsefaily) << t;
            continue;
          }
          float plat = 0, plon = 0;
          osgbtoll(geo, px, py, plat, plon);  // the parser's own latitude/longitude
          const float north = std::fabs(plat - lat) * 111.2f;
          const float east = std::fabs(plon - lon) * 111.2f * coslat;
          // Compact: hundredths of a minute cut (18.5 m); UTM: whole metres cut plus the
          // reader's 5 m tolerance, a little more where the zone's scale grows.
          const float tol = mode == 0 ? 0.0187f : 0.009f;
          EXPECT_LT(north, tol) << t << " " << lat << "," << lon;
          EXPECT_LT(east, tol) << t << " " << lat << "," << lon;
          ++n;
        }
      }
  EXPECT_GT(n, 800);
}

}  // namespace
}  // namespace zarn
