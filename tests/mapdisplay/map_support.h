// The map display tests' application: grid squares, pictures (headers only), the demo maps, the drive.
#pragma once

#include <cmath>
#include <cstdio>
#include <fstream>

#include "geodesy/helpers.h"
#include "geodesy/transform.h"
#include "geodesy/ukgrid.h"
#include "mapdisplay/catalogue.h"
#include "mapdisplay/tiles.h"
#include "support/app_fixture.h"
#include "support/builders.h"

namespace zarn::maptest {

using test::Items;
using namespace test;  // the builders

struct Fix {
  float lat, lon;
  int course;  // whole degrees; -1 when the sentence gives none
};

// The valid RMC fixes of the recorded drive.
inline std::vector<Fix> drivefixes() {
  std::ifstream in(std::string(ZARN_TEST_DATA) + "/nmea/drive/cheshire-2020-10-26.nmea");
  std::vector<Fix> fixes;
  for (std::string l; std::getline(in, l);) {
    char status = 0, ns = 0, ew = 0;
    float latd = 0, latm = 0, lond = 0, lonm = 0, speed = 0, course = 0;
    const int n = std::sscanf(l.c_str(), "$GPRMC,%*[^,],%c,%2f%f,%c,%3f%f,%c,%f,%f", &status, &latd, &latm, &ns, &lond,
                              &lonm, &ew, &speed, &course);
    if (n >= 7 && status == 'A')
      fixes.push_back({(latd + latm / 60) * (ns == 'S' ? -1 : 1), (lond + lonm / 60) * (ew == 'W' ? -1 : 1),
                       n < 9 ? -1 : static_cast<int>(course)});
  }
  return fixes;
}

// An image store that counts what it reads.
struct Counting final : platform::ImageStore {
  platform::HeaderImageStore inner;
  Items reads;
  using ImageStore::load;
  ui::PictureRef load(const std::filesystem::path& f, platform::PictureUse use, std::string* why) override {
    reads.push_back(f.filename().string());
    return inner.load(f, use, why);
  }

 protected:
  std::optional<std::pair<int, int>> measure(const std::filesystem::path&) override { return std::nullopt; }
  ui::PictureRef decode(const std::filesystem::path&) override { return nullptr; }
};

class MapTest : public test::AppTest {
 protected:
  void ready() override {
    squares({{"SJ", 300, 300}, {"SK", 400, 300}, {"SD", 300, 400}, {"SU", 400, 100},
             {"TQ", 500, 100}, {"NZ", 400, 500}, {"SH", 200, 300}, {"TF", 500, 300}});
  }
  // The catalogue of the maps listed (MAPS.DIR as it is when null), ready to load.
  void catalogue(const std::optional<std::string>& maps = {}) {
    if (maps) put("MAPS.DIR", *maps);
    ASSERT_TRUE(readmaplist(*app));
    tileinit(app->win.zarn);
  }
  // The demo map set in the working directory, its grid squares and its catalogue.
  void demo() const { demomaps(*app); }
  // Counts the pictures read from here on.
  Items& counting() {
    auto c = std::make_unique<Counting>();
    Items& reads = c->reads;
    app->sys.images = std::move(c);
    return reads;
  }
  // A 24-bit BMP header of the given size: the headless image store reads no further.
  void bmp(const std::string& name, int w = 640, int h = 480) const {
    std::string s = std::string("BM", 2) + std::string(52, '\0');
    for (const auto& [at, v] : {std::pair{2u, 54u}, {10u, 54u}, {14u, 40u}, {18u, static_cast<unsigned>(w)},
                                {22u, static_cast<unsigned>(h)}, {26u, 1u | 24u << 16}})  // one plane of 24 bits
      for (unsigned i = 0; i < 4; ++i) s[at + i] = static_cast<char>((v >> (8 * i)) & 0xFF);
    put(name, s);
  }
  void ico(const std::string& name) const { put(name, std::string("\0\0\1\0\1\0\x20\x20", 8) + std::string(32, '\0')); }
  // A grid map, reference points south-west, north-west, south-east on a 640 x 480 picture's corners.
  void gridmap(const std::string& name, const std::string& sw, const std::string& nw, const std::string& se) const {
    put(name + ".DES", name + "\r\n" + name + "\r\n" + sw + ", 0, 479\r\n" + nw + ", 0, 0\r\n" + se + ", 639, 479\r\n");
    bmp(name + ".BMP");
  }
  // A north-up grid view of the given east span (km) over a 640 x 480 picture, 4:3.
  void view(float x0, float x1) const { gridview(*app, x0, 300, x1, 300 + (x1 - x0) * 3 / 4); }
  // Turned as the map rotation turns, by the short pi in single precision.
  void turn(float deg) const {
    const float r = deg * static_cast<float>(shortpi) / 180, s = std::sin(r), c = std::cos(r);
    std::tie(m().rotangle, m().rotsin, m().rotcos, m().rotsinneg, m().rotcosneg) = std::tuple(deg, s, c, -s, c);
  }
  // The window pixel of a world position.
  std::pair<float, float> pix(float x, float y) const {
    float px = 0, py = 0;
    worldtopix(app->geo, app->map, x, y, px, py);
    return {px, py};
  }
  // The file name of a shown picture; empty when hidden or without one.
  static std::string shown(const ui::Image& i) {
    return i.visible && i.picture ? std::filesystem::path(i.picture->path).filename().string() : "";
  }
  std::string current() const { return m().mapname[static_cast<std::size_t>(m().curmap)]; }
  MapView& m() const { return app->map; }
  ZarnForm& z() const { return app->win.zarn; }
};

}  // namespace zarn::maptest
