// Position texts: every form parsepos reads, the form gridreftext picks, the latitude/longitude
// texts, and round trips for every real place and round the world.
#include <fstream>
#include <random>

#include "geodesy/geotest.h"
#include "geodesy/postext.h"
#include "geodesy/ukgrid.h"
#include "geodesy/utm.h"

namespace zarn {

using Postext = test::GridTest;

static std::string gridtext(GeoState& geo, float x, float y) {
  std::string t = "stale";
  gridreftext(geo, x, y, t);
  return t;
}

TEST_F(Postext, ParseposReadsEveryFormRefusesTheRestAndRemembersTheSquare) {
  constexpr float fx = parsefailx, fy = parsefaily;
  // a, b: latitude and longitude when latlon, else frame km.
  const std::string many(100, '7');
  const struct { const char* guards; std::string text; bool latlon; float a, b, tol; } cases[] = {
      {"1-km reference beginning with a letter", "TQ3080", false, 530, 180, 0},
      {"100-m reference", "TQ301804", false, 530.1f, 180.4f, 0},
      {"10-m reference", "TQ30128045", false, 530.12f, 180.45f, 0},
      {"Irish square letter in lower case", "o 15855 34718", false, 315.855f - 320, 234.718f + 173.5f, 0},
      {"Irish 100-m reference", "V123456", false, 12.3f - 320, 45.6f + 173.5f, 0},
      {"decimal degrees of an Irish reference's length", "51.5 -1", true, 51.5f, -1, 0},
      {"the read-out of latlongtext", "51  30.000'N 000  06.000'W", true, 51.5f, -0.1f, 0},
      {"XY sheet reference at the calibration origin", "300380", true, 1.3599590f, 103.85132f, 0},
      {"six zeros: the sheet's corner, X 0.0 Y 0.0", "000000", true, 1.3599590f - 38 * 0.0090437494f, 103.85132f - 30 * 0.0089857355f, 0.001f},
      {"compact UTM (51.5 N 0.1 W is 701277.665 5709417.125)", "30U7012775709417", true, 51.5f, -0.1f, 0.006f},
      {"short UTM in hundreds of metres", "30U701257094", true, 51.5f, -0.1f, 0.1f},
      {"MGRS (51.5 N 0.1275 W is 699369.4 5709341.1)", "30U XC 99369 09341", true, 51.5f, -0.1275f, 0.001f},
      {"square letters are case-sensitive", "tq3080", false, fx, fy, 0},
      {"no Irish square I", "I 15855 34718", false, fx, fy, 0},
      {"hemisphere letters are upper case only", "513000n0000600W", false, fx, fy, 0},
      {"no form of 9 characters", "TQ3080123", false, fx, fy, 0},
      {"a point but no blank, and no form of 4 characters", "51.5", false, fx, fy, 0},
      {"nothing", "", false, fx, fy, 0},
      {"blanks of an XY reference's length", "      ", false, fx, fy, 0},
      {"blanks of a 1-m reference's length", "              ", false, fx, fy, 0},
      {"dots and a blank", "... ...", false, fx, fy, 0},
      {"letters of an Irish reference's length", "ABCDEFG", false, fx, fy, 0},
      {"not a number", "NaN NaN", false, fx, fy, 0},
      {"an exponent beyond double", "1e309 0.5", false, fx, fy, 0},
      {"a minus sign of UTF-8", "\xE2\x88\x92" "1.0 2.0", false, fx, fy, 0},
      {"compact latitude 100", "999999N9999999E", false, fx, fy, 0},
      {"latitude 95, longitude 400", "95.0 400.0", false, fx, fy, 0},
      {"a 100-digit latitude", many + ".5 0.5", false, fx, fy, 0},
      {"100 decimals", "0." + many + " 0.5", false, fx, fy, 0},
      {"the letter O for a zero", "TQ 3O123 80456", false, fx, fy, 0},
      {"a blank inside the digits", "TQ 3 123 80456", false, fx, fy, 0},
      {"UTM zone 99", "99Z 999999 9999999", false, fx, fy, 0},
      {"UTM of a band the northing is not in (51.5 N in band C)", "30C 701277 5709417", false, fx, fy, 0},
      {"MGRS column letter of another zone's set", "30U AC 99369 09341", false, fx, fy, 0},
  };
  float x = 0, y = 0;
  for (const auto& c : cases) {
    float wx = c.a, wy = c.b;
    if (c.latlon) lltoosgb(geo, c.a, c.b, wx, wy);
    parsepos(geo, c.text, x, y);
    EXPECT_LE(std::hypot(x - wx, y - wy), c.tol) << c.guards << ": " << x << " " << y;
  }

  GeoState empty;  // fails every letter reference, the second time as the first
  for (const char* t : {"TQ3080", "TQ3080"}) {
    parsepos(empty, t, x, y);
    EXPECT_EQ(std::pair(x, y), std::pair(parsefailx, parsefaily));
  }
  // A failed search leaves the remembered square, and it answers even after the table is emptied.
  parsepos(geo, "NT2573", x, y);
  parsepos(geo, "ZZ2573", x, y);
  geo.ccccount = 0;
  parsepos(geo, "NT2573", x, y);
  EXPECT_EQ(std::pair(x, y), std::pair(325.0f, 673.0f));
}

// A run of blanks is one blank wherever a form has a blank, as people type what the read-outs
// show; leading or trailing blanks, no blank at all or other forms' rules still fail.
TEST_F(Postext, ARunOfBlanksReadsAsTheOneBlankOfAForm) {
  const auto ll = [&](float lat, float lon) {
    float x = 0, y = 0;
    lltoosgb(geo, lat, lon, x, y);
    return std::pair(x, y);
  };
  const std::pair fail(parsefailx, parsefaily);
  const std::pair tq(530.123f, 180.456f), knutsford = ll(53.375f, -2.0f - 20 / 60.0f);
  const struct { const char* guards; const char* text; std::pair<float, float> at; float tol; } cases[] = {
      {"the read-out with single blanks", "53 22.500'N 002 20.000'W", knutsford, 0.001f},
      {"and with one of its runs", "53  22.500'N 002 20.000'W", knutsford, 0.001f},
      {"and longer runs", "53    22.500'N    002   20.000'W", knutsford, 0.001f},
      {"a 1-m reference", "TQ  30123   80456", tq, 0.0005f},
      {"an Irish reference", "O  15855  34718", {315.855f - 320, 234.718f + 173.5f}, 0.0005f},
      {"UTM", "30U   701277 5709417", ll(51.5f, -0.1f), 0.002f},
      {"MGRS", "30U  XC 99369    09341", ll(51.5f, -0.1275f), 0.002f},
      {"decimal degrees", "51.5     -0.1", ll(51.5f, -0.1f), 0},
      {"a blank before", " TQ 30123 80456", fail, 0},
      {"a blank after", "TQ 30123 80456 ", fail, 0},
      {"no blank between degrees and minutes", "5322.500'N 002 20.000'W", fail, 0},
      {"minutes to fewer places", "53 22.5'N 002 20.0'W", fail, 0},
      {"two-digit longitude degrees", "53 22.500'N 02 20.000'W", fail, 0},
      {"a tab for a blank", "53\t22.500'N 002 20.000'W", fail, 0},
      {"a blank inside the digits", "TQ  30 123 80456", fail, 0},
  };
  for (const auto& c : cases) {
    float x = 0, y = 0;
    parsepos(geo, c.text, x, y);
    EXPECT_LE(std::hypot(x - c.at.first, y - c.at.second), c.tol) << c.guards << ": " << x << " " << y;
  }
}

TEST_F(Postext, GridreftextPicksTheFormByArea) {
  // Metres are rounded half up: within half a metre of the east or north edge the position is
  // metre 0 of the next square, never a six-digit 100000. Far from the frame origin the
  // single-precision x decides: 400.0005 is stored just below.
  const struct { const char* guards; float x, y; const char* text; } cases[] = {
      {"last metre of the square", 599.9994f, 180, "TQ 99999 80000"},
      {"half a metre from the east edge", 599.9996f, 180, "TR 00000 80000"},
      {"half a metre from the north edge", 530, 199.9996f, "TL 30000 00000"},
      {"the east edge belongs to the next square", 600, 180, "TR 00000 80000"},
      {"400.0005 is stored below the half metre", 400.0005f, 150, "SU 00000 50000"},
      {"400.0006 is stored above it", 400.0006f, 150, "SU 00001 50000"},
  };
  for (const auto& c : cases) EXPECT_EQ(gridtext(geo, c.x, c.y), c.text) << c.guards;

  // In the Irish area Irish references; where no square covers the position UTM when asked
  // for, else compact latitude/longitude.
  GeoState empty;
  float x = 0, y = 0;
  const struct { const char* guards; int utmmode; float lat, lon; const char* text; } far[] = {
      {"the Irish area", 0, 53.35f, -6.26f, "O 15855 34718"},
      {"UTM", 1, 51.5f, -0.1275f, "30U 699369 5709341"},
      {"no such system: the compact form, minutes cut, never a stale text", 3, 51.5f, -0.1275f, "513000N0000764W"},
      {"north of UTM's bands: compact even with UTM on", 1, 84, 10, "840000N0100000E"},
      {"south of UTM's bands", 2, -80.001f, 10, "800005S0100000E"},
  };
  for (const auto& c : far) {
    empty.utmmode = c.utmmode;
    lltoosgb(empty, c.lat, c.lon, x, y);
    EXPECT_EQ(gridtext(empty, x, y), c.text) << c.guards;
  }
}

TEST_F(Postext, LatlongTexts) {  // their compact form is checked with gridreftext
  std::string t;
  latlongtext(51.5f, -0.1f, t);
  EXPECT_EQ(t, "51  30.000'N 000  06.000'W") << "30 - 0.0005 in single precision rounds back up";
  latlongtext(static_cast<float>(52 + 12.3456 / 60), static_cast<float>(-(1 + 7.8915 / 60)), t);
  EXPECT_EQ(t, "52  12.345'N 001  07.891'W") << "minutes cut, not rounded";
  fmtlatlon(-5.25f, 103.85132f, t);
  EXPECT_EQ(t, "-05.250000 103.851318");
}

// Every place of Great Britain and Ireland: its text reads back to the same metre and is written
// again the same. Near the south edge of the series area (Hugh Town, Landewednack) the inverse's
// first estimate falls outside it, so it must still refine through the series.
TEST_F(Postext, GridReferencesRoundTripForEveryPlace) {
  std::ifstream f(std::string(ZARN_TEST_DATA) + "/places/gb-ie-places.csv");
  int uk = 0, irish = 0, south = 0;
  std::string line;
  std::getline(f, line);  // name (perhaps quoted, with commas), country, latitude, longitude, population
  while (std::getline(f, line)) {
    const auto c3 = line.rfind(','), c2 = line.rfind(',', c3 - 1), c1 = line.rfind(',', c2 - 1);
    const float lat = std::stof(line.substr(c1 + 1)), lon = std::stof(line.substr(c2 + 1));
    float x = 0, y = 0, px = 0, py = 0;
    lltoosgb(geo, lat, lon, x, y);
    const std::string t = gridtext(geo, x, y);
    parsepos(geo, t, px, py);
    ASSERT_TRUE(t.size() == 13 || t.size() == 14) << line << ": " << t;
    (t.size() == 13 ? irish : uk)++;
    south += lat < 50.05f;
    // Irish digits are cut (up to 1 m short), national-grid digits rounded (half a metre).
    const float tol = t.size() == 13 ? 0.00102f : 0.00052f;
    EXPECT_NEAR(px, x, tol + (std::fabs(x) > 512 ? 0.0001f : 0)) << line << ": " << t;
    EXPECT_NEAR(py, y, tol + (std::fabs(y) > 512 ? 0.0001f : 0)) << line << ": " << t;
    EXPECT_EQ(gridtext(geo, px, py), t) << line;
  }
  EXPECT_GT(uk, 4000);
  EXPECT_GT(irish, 300);
  EXPECT_GE(south, 2);
}

// Random points over the world and the islands: each text the program writes of a point reads
// back to it within the text's own cell (metres cut, hundredths or thousandths of a minute),
// with the frame's round trip on top (2.6 m over the islands, single-precision kilometres far
// out); UTM and MGRS of a point read to the same place; each grid's texts only on its own side.
TEST_F(Postext, EveryWrittenTextReadsBackToItsPoint) {
  geo.utmeoff = 1234.5;  // the user's offsets cancel
  geo.utmnoff = -876.25;
  std::mt19937 rng(102);
  std::uniform_real_distribution<float> wlat(-90, 90), wlon(-180, 180), ilat(49, 62), ilon(-12, 3);
  int utm = 0, irishn = 0, ukn = 0;
  for (int i = 0; i < 12000; ++i) {
    const bool islands = i % 3 == 0;
    const float lat = islands ? ilat(rng) : wlat(rng), lon = islands ? ilon(rng) : wlon(rng);
    float x = 0, y = 0, px = 0, py = 0, plat = 0, plon = 0;
    lltoosgb(geo, lat, lon, x, y);
    std::string t[5];
    for (int mode : {0, 1, 2}) geo.utmmode = mode, t[mode] = gridtext(geo, x, y);  // each sees lat, lon
    latlongtext(lat, lon, t[3]);
    fmtlatlon(lat, lon, t[4]);
    std::pair<float, float> at[5];
    for (int k = 0; k < 5; ++k) {
      const std::size_t len = t[k].size();
      if (len == 0) continue;
      const double cell = len == 15 ? 26.3 : len == 26 ? 2.62 : k == 4 ? 0.08 : len == 18 ? 0.71 : 1.42;
      parsepos(geo, t[k], px, py);
      osgbtoll(geo, px, py, plat, plon);
      EXPECT_LT(test::groundmetres(lat, lon, plat, plon), cell + 3) << t[k] << " of " << lat << " " << lon;
      at[k] = {px, py};
      if (len == 18) {  // and without the frame
        EXPECT_TRUE(utmtoll(geo, t[k], plat, plon) && test::groundmetres(lat, lon, plat, plon) < 1.5) << t[k];
      }
    }
    EXPECT_TRUE(t[2].size() != 18 || at[1] == at[2]) << t[1] << " " << t[2];
    // Irish references only on the Irish side, national ones only on the other side within the series area.
    const bool irish = t[0].size() == 13 && t[0][1] == ' ', british = t[0].size() == 14;
    EXPECT_FALSE(irish ? !irishside(lat, lon) : british && (irishside(lat, lon) || !inukbox(lat, lon))) << t[0];
    irishn += irish, ukn += british;
    utm += t[2].size() == 18;
  }
  EXPECT_GT(utm, 5000);
  EXPECT_GT(std::min(irishn, ukn), 300);
}

}  // namespace zarn
