// The committed demo map set (data/demo) holds together: every description reads as its kind
// of map says, its pictures and tiles exist at the size the program expects, MAPS.DIR lists
// them, and the nested maps all cover the recorded drive they were made around.
#include <gtest/gtest.h>

#include <QImage>

#include <algorithm>
#include <cstdint>
#include <fstream>
#include <map>
#include <optional>
#include <set>
#include <string>
#include <vector>

#include "app/app.h"
#include "geodesy/helpers.h"
#include "geodesy/postext.h"
#include "geodesy/ukgrid.h"
#include "platform/files.h"
#include "platform/textrules.h"

namespace zarn {
namespace {

const std::string demodir = std::string(ZARN_SOURCE_DIR) + "/data/demo";

struct DemoApp {
  App app;
  bool cccloaded = false;
  DemoApp() {
    app.files.setworkdir(demodir);
    cccloaded = loadccc(app);
  }
};

// The fields of one record, read with the program's own field reader.
std::vector<std::string> fields(const std::string& line, int n) {
  platform::InputFile in(line);
  std::vector<std::string> v;
  for (int i = 0; i < n; ++i) v.push_back(in.field());
  return v;
}

std::vector<std::string> mapsdir(const platform::Files& files) {
  std::vector<std::string> names;
  for (const auto& l : files.readlines("MAPS.DIR").value_or(std::vector<std::string>{})) {
    if (text::trim(l).empty()) break;  // an empty line ends the list
    names.push_back(text::ucase(text::trim(l)));
  }
  return names;
}

struct Bmp {
  int width = 0, height = 0, bits = 0;
};

std::optional<Bmp> bmpheader(const platform::Files& files, const std::string& name) {
  auto bytes = files.read(name);
  if (!bytes || bytes->size() < 54 || bytes->substr(0, 2) != "BM") return std::nullopt;
  auto le = [&](std::size_t at, int n) {
    std::uint32_t v = 0;
    for (int i = n - 1; i >= 0; --i) v = v << 8 | static_cast<unsigned char>((*bytes)[at + i]);
    return static_cast<std::int32_t>(v);
  };
  return Bmp{le(18, 4), le(22, 4), le(28, 2)};
}

bool qtloads(const platform::Files& files, const std::string& name, int w, int h) {
  QImage img(QString::fromStdString(files.resolve(name).string()));
  return !img.isNull() && img.width() == w && img.height() == h;
}

// A reference as a description holds it, read by the program's position parser.
struct Ref {
  std::string text;
  float x = 0, y = 0;
  double col = 0, row = 0;
};

Ref readref(GeoState& geo, const std::string& line) {
  auto f = fields(line, 3);
  Ref r{f[0], 0, 0, text::val(f[1]), text::val(f[2])};
  parsepos(geo, r.text, r.x, r.y);
  return r;
}

// Frame-km bounds of a single-picture grid map, worked out as the catalogue does.
struct Bounds {
  float west = 0, south = 0, east = 0, north = 0;
  bool holds(float x, float y) const { return west < x && x < east && south < y && y < north; }
};

Bounds gridbounds(const Ref& r1, const Ref& r2, const Ref& r3) {
  const double W = 639, H = 479;
  const double b1 = H - r1.row, b2 = H - r2.row;
  const double kx = (r3.x - r1.x) / (r3.col - r1.col), ky = (r2.y - r1.y) / (b2 - b1);
  return {static_cast<float>(r1.x - r1.col * kx), static_cast<float>(r1.y - b1 * ky),
          static_cast<float>((W - r3.col) * kx + r3.x), static_cast<float>((H - r2.row) * ky + r2.y)};
}

// Scheme 2 of the tiled maps: 10 km tiles named within their 100 km square.
std::string scheme2name(GeoState& geo, float x, float y) {
  std::string g;
  gridreftext(geo, x, y, g);
  if (g.size() != 14) return "missing.bmp";
  const int d = g[3] - '0', m = g[9] - '0';
  return g.substr(0, 2) + "0022446688"[d] + "9113355779"[m] + "NSNSNSNSNS"[m] + "WEWEWEWEWE"[d] +
         ".BMP";
}

// Latitude/longitude of every valid RMC fix of the recorded drive.
std::vector<std::pair<float, float>> drivefixes() {
  std::ifstream f(std::string(ZARN_SHARED_DATA) + "/nmea/drive/cheshire-2020-10-26.nmea");
  std::vector<std::pair<float, float>> v;
  std::string line;
  while (std::getline(f, line)) {
    if (line.rfind("$GPRMC,", 0) != 0) continue;
    auto p = fields(line, 7);
    if (p[2] != "A") continue;
    float lat = static_cast<float>(text::val(p[3].substr(0, 2)) + text::val(p[3].substr(2)) / 60);
    float lon = static_cast<float>(text::val(p[5].substr(0, 3)) + text::val(p[5].substr(3)) / 60);
    if (p[4] == "S") lat = -lat;
    if (p[6] == "W") lon = -lon;
    v.push_back({lat, lon});
  }
  return v;
}

TEST(DemoData, MapsDirListsEveryDescriptionUnderAShortName) {
  DemoApp d;
  const auto names = mapsdir(d.app.files);
  ASSERT_FALSE(names.empty());
  std::set<std::string> listed(names.begin(), names.end());
  EXPECT_EQ(listed.size(), names.size()) << "a map listed twice";
  for (const auto& n : names) {
    // FASTMAPS.DAT keeps 16 characters of a name; DOS-style names stay far inside that.
    EXPECT_LE(n.size(), 8u) << n;
    EXPECT_EQ(n.find(' '), std::string::npos) << n;
    EXPECT_TRUE(d.app.files.exists(n + ".DES")) << n << " listed without its description";
  }
  for (const auto& f : d.app.files.list("*.DES")) {
    const std::string n = text::ucase(f.substr(0, f.size() - 4));
    EXPECT_TRUE(listed.count(n)) << f << " not in MAPS.DIR: the program would append it";
  }
}

TEST(DemoData, DescriptionsReadAsTheirKindOfMapSays) {
  DemoApp d;
  ASSERT_TRUE(d.cccloaded) << "MAPS.CCC";
  GeoState& geo = d.app.geo;
  int grid = 0, latlon = 0, irish = 0, tiled = 0;
  for (const auto& name : mapsdir(d.app.files)) {
    SCOPED_TRACE(name);
    auto lines = d.app.files.readlines(name + ".DES");
    ASSERT_TRUE(lines && lines->size() >= 6);
    const auto& l = *lines;
    EXPECT_FALSE(text::trim(fields(l[0], 1)[0]).empty()) << "title";
    const std::string pic = text::ucase(text::trim(l[1]));
    EXPECT_TRUE(d.app.files.exists(text::trim(l[5]))) << "place file " << l[5];
    const auto f3 = fields(l[2], 3);
    if (text::ucase(f3[0]).rfind("TILE", 0) == 0) {
      ++tiled;
      const int scheme = f3[0][4] - '0';
      ASSERT_EQ(scheme, 2) << "the tile rule below is scheme 2";
      const std::string dir = f3[0].substr(5);
      const double view = text::val(f3[1]);
      EXPECT_DOUBLE_EQ(view * 1000 / 640, 10.0) << "scheme 2 tiles are 10 km at 1000 pixels";
      Ref sw = readref(geo, l[3]), ne = readref(geo, l[4]);
      ASSERT_LT(sw.x, ne.x);
      ASSERT_LT(sw.y, ne.y);
      // Wherever in its area the map is chosen, the tiles under the view's corners exist.
      const float m = static_cast<float>(view) * 10 / 640;
      std::set<std::string> needed;
      for (float x = sw.x + m; x < ne.x - m; x += 0.25f)
        for (float y = sw.y + 4 * m; y < ne.y - m; y += 0.25f)
          for (float dx : {-1.0f, 1.0f})
            for (float dy : {-1.0f, 1.0f})
              needed.insert(scheme2name(geo, x + dx * static_cast<float>(view) / 2,
                                        y + dy * static_cast<float>(view) * 3 / 8));
      for (const auto& t : needed) {
        auto b = bmpheader(d.app.files, dir + t);
        ASSERT_TRUE(b) << "tile " << dir << t;
        EXPECT_EQ(b->width, 1000) << t;
        EXPECT_EQ(b->height, 1000) << t;
        EXPECT_TRUE(qtloads(d.app.files, dir + t, 1000, 1000)) << t;
      }
      continue;
    }
    auto b = bmpheader(d.app.files, pic + ".BMP");
    ASSERT_TRUE(b) << pic << ".BMP";
    EXPECT_EQ(b->width, 640);
    EXPECT_EQ(b->height, 480);
    EXPECT_EQ(b->bits, 8) << "8-bit pictures keep the set small";
    EXPECT_TRUE(qtloads(d.app.files, pic + ".BMP", 640, 480));
    if (f3[0] == "LL") {
      ++latlon;
      EXPECT_EQ(text::val(f3[1]), b->width);
      EXPECT_EQ(text::val(f3[2]), b->height);
      for (int i : {3, 4}) {
        auto r = fields(l[i], 3);
        float lat = 0, lon = 0;
        EXPECT_EQ(r[0].size(), 15u) << r[0];
        EXPECT_TRUE(parsellstr(r[0], lat, lon)) << r[0];
      }
      continue;
    }
    Ref r1 = readref(geo, l[2]), r2 = readref(geo, l[3]), r3 = readref(geo, l[4]);
    for (const Ref* r : {&r1, &r2, &r3}) {
      EXPECT_FALSE(r->x == parsefailx && r->y == parsefaily) << r->text;
      EXPECT_TRUE(r->text.size() == 14 || r->text.size() == 13) << r->text;
    }
    (r1.text.size() == 13 ? irish : grid)++;
    // line 4 shares point 1's easting and column, line 5 its northing and row
    EXPECT_EQ(r2.x, r1.x);
    EXPECT_EQ(r2.col, r1.col);
    EXPECT_EQ(r3.y, r1.y);
    EXPECT_EQ(r3.row, r1.row);
    EXPECT_NE(r3.col, r1.col);
    EXPECT_NE(r2.row, r1.row);
    // rotated copies for heading-up: all eight, like the north-up picture
    if (pic[0] == '0')
      for (char k = '1'; k <= '7'; ++k) {
        auto rb = bmpheader(d.app.files, std::string(1, k) + pic.substr(1) + ".BMP");
        ASSERT_TRUE(rb) << k << pic.substr(1);
        EXPECT_EQ(rb->width, 640);
        EXPECT_EQ(rb->height, 480);
      }
  }
  EXPECT_GE(grid, 1);
  EXPECT_EQ(latlon, 1);
  EXPECT_EQ(irish, 1);
  EXPECT_EQ(tiled, 1);
}

TEST(DemoData, NestedMapsAllCoverTheRecordedDrive) {
  DemoApp d;
  ASSERT_TRUE(d.cccloaded);
  GeoState& geo = d.app.geo;
  const auto fixes = drivefixes();
  ASSERT_GT(fixes.size(), 1000u);
  std::map<std::string, Bounds> grids;
  for (const std::string name : {"NWENG", "CHESH", "0LOCAL"}) {
    auto l = *d.app.files.readlines(name + ".DES");
    grids[name] = gridbounds(readref(geo, l[2]), readref(geo, l[3]), readref(geo, l[4]));
  }
  auto tl = *d.app.files.readlines("DRIVE.DES");
  Ref sw = readref(geo, tl[3]), ne = readref(geo, tl[4]);
  auto ll = *d.app.files.readlines("GBIRL.DES");
  float lat1 = 0, lon1 = 0, lat2 = 0, lon2 = 0;
  parsellstr(fields(ll[3], 1)[0], lat1, lon1);
  parsellstr(fields(ll[4], 1)[0], lat2, lon2);
  // each finer map lies inside the wider one
  EXPECT_TRUE(grids["NWENG"].holds(grids["CHESH"].west, grids["CHESH"].south));
  EXPECT_TRUE(grids["NWENG"].holds(grids["CHESH"].east, grids["CHESH"].north));
  EXPECT_TRUE(grids["CHESH"].holds(grids["0LOCAL"].west, grids["0LOCAL"].south));
  EXPECT_TRUE(grids["CHESH"].holds(grids["0LOCAL"].east, grids["0LOCAL"].north));
  int outside = 0;
  for (auto [lat, lon] : fixes) {
    float x = 0, y = 0;
    lltoosgb(geo, lat, lon, x, y);
    bool in = lat1 < lat && lat < lat2 && lon1 < lon && lon < lon2;
    for (const auto& [name, b] : grids) in = in && b.holds(x, y);
    in = in && sw.x < x && x < ne.x && sw.y < y && y < ne.y;
    if (!in) ++outside;
  }
  EXPECT_EQ(outside, 0) << "fixes of the drive outside one of its maps";
}

TEST(DemoData, GridSquaresPlacesNoticesAndIconsAreThere) {
  DemoApp d;
  ASSERT_TRUE(d.cccloaded);
  GeoState& geo = d.app.geo;
  EXPECT_EQ(geo.ccccount, 7 * 13 + 25) << "UK squares and the Irish squares";
  float x = 0, y = 0;
  parsepos(geo, "SJ 75000 84000", x, y);
  EXPECT_FLOAT_EQ(x, 375.0f);
  EXPECT_FLOAT_EQ(y, 384.0f);
  // the Irish squares ("O" and a blank) read short Irish references in the Irish grid
  float ix = 0, iy = 0;
  parsepos(geo, "O 1534", x, y);
  parsepos(geo, "O 15000 34000", ix, iy);
  EXPECT_FLOAT_EQ(x, ix);
  EXPECT_FLOAT_EQ(y, iy);

  // place file: position, name, spoken text, radius; the BIGPLACE record sets the threshold
  auto places = d.app.files.readlines("ZARN.WAW");
  ASSERT_TRUE(places && places->size() > 4000);
  int bad = 0;
  bool bigplace = false;
  for (const auto& rec : *places) {
    auto f = fields(rec, 4);
    if (f[0] == "BIGPLACE") {
      bigplace = text::val(f[3]) > 0;
      continue;
    }
    parsepos(geo, f[0], x, y);
    if ((x == parsefailx && y == parsefaily) || f[1].empty() || !(text::val(f[3]) > 0)) ++bad;
  }
  EXPECT_EQ(bad, 0);
  EXPECT_TRUE(bigplace);

  for (const auto& name : mapsdir(d.app.files)) {
    auto l = *d.app.files.readlines(name + ".DES");
    auto cpr = d.app.files.readlines(text::trim(l[1]) + ".CPR");
    ASSERT_TRUE(cpr) << name << ": rights notice";
    EXPECT_TRUE(std::any_of(cpr->begin(), cpr->end(),
                            [](const std::string& s) { return s.rfind("c   ", 0) == 0; }))
        << name << ": the rights mark line";
  }

  std::vector<std::string> icons = {"CARICON0.ICO", "NULLICON.ICO", "DESTI.ICO", "HOME.ICO",
                                    "$FS.ICO", "$E.ICO", "$S.ICO", "$L.ICO", "WP.ICO",
                                    "WPNEXT.ICO"};
  for (int k = 0; k < 16; ++k) icons.push_back("VECTR" + std::to_string(k) + ".ICO");
  for (const auto& ico : icons) {
    auto bytes = d.app.files.read(ico);
    ASSERT_TRUE(bytes && bytes->size() > 22) << ico;
    // ICONDIR (reserved 0, type 1) and the first entry's size
    EXPECT_EQ(bytes->substr(0, 4), std::string("\0\0\1\0", 4)) << ico;
    EXPECT_EQ(static_cast<unsigned char>((*bytes)[6]), 32) << ico;
    EXPECT_EQ(static_cast<unsigned char>((*bytes)[7]), 32) << ico;
    EXPECT_TRUE(qtloads(d.app.files, ico, 32, 32)) << ico;
  }
}

}  // namespace
}  // namespace zarn
