// The map display tests' application: the grid squares of the test maps, picture headers
// written on the spot, the demo map set when a test needs real maps, and the recorded drive.
#pragma once

#include <cmath>
#include <fstream>

#include "geodesy/helpers.h"
#include "geodesy/ukgrid.h"
#include "support/app_fixture.h"

namespace zarn::maptest {

using test::bmpbytes;
using test::Items;

inline bool demopresent() {
  const auto demo = std::filesystem::path(ZARN_SOURCE_DIR) / "data" / "demo";
  return std::filesystem::exists(demo / "MAPS.DIR") && std::filesystem::exists(demo / "MAPS.CCC");
}

struct Fix {
  float lat, lon;
  int course;  // whole degrees; -1 when the sentence gives none
};

// The valid RMC fixes of the recorded drive.
inline std::vector<Fix> drivefixes() {
  std::ifstream in(std::string(ZARN_TEST_DATA) + "/nmea/drive/cheshire-2020-10-26.nmea");
  std::vector<Fix> fixes;
  for (std::string line; std::getline(in, line);) {
    if (!line.starts_with("$GPRMC,")) continue;
    std::vector<std::string> f;
    std::size_t a = 0;
    for (std::size_t b; (b = line.find_first_of(",*", a)) != std::string::npos; a = b + 1) f.push_back(line.substr(a, b - a));
    if (f.size() < 9 || f[2] != "A" || f[3].size() < 4 || f[5].size() < 5) continue;
    float lat = std::stof(f[3].substr(0, 2)) + std::stof(f[3].substr(2)) / 60;
    float lon = std::stof(f[5].substr(0, 3)) + std::stof(f[5].substr(3)) / 60;
    fixes.push_back({f[4] == "S" ? -lat : lat, f[6] == "W" ? -lon : lon,
                     f[8].empty() ? -1 : static_cast<int>(std::floor(std::stod(f[8])))});
  }
  return fixes;
}

// An image store that counts what it reads.
struct Counting final : platform::ImageStore {
  platform::HeaderImageStore inner;
  std::vector<std::string> reads;
  ui::PictureRef load(const std::filesystem::path& f) override {
    reads.push_back(f.filename().string());
    return inner.load(f);
  }
};

class MapTest : public test::AppTest {
 protected:
  void ready() override {
    squares({{"SJ", 300, 300}, {"SK", 400, 300}, {"SD", 300, 400}, {"SU", 400, 100},
             {"TQ", 500, 100}, {"NZ", 400, 500}, {"SH", 200, 300}, {"TF", 500, 300}});
  }
  // Copies the demo map set into the working directory and reads its grid squares.
  void copydemo() {
    AppTest::copydemo();
    ASSERT_EQ(loadccc(app->geo, app->files), std::nullopt);
  }
  void bmp(const std::string& name, int w = 640, int h = 480) const { put(name, bmpbytes(w, h)); }
  // An icon header: one 32 x 32 image.
  void ico(const std::string& name) const {
    std::string s(40, '\0');
    s[2] = s[4] = 1;
    s[6] = s[7] = 32;
    put(name, s);
  }
  // A grid map description with its reference points on the corner pixels of a 640 x 480
  // picture (south-west, north-west, south-east), and its picture.
  void gridmap(const std::string& name, const std::string& sw, const std::string& nw, const std::string& se,
               const std::string& title = "") const {
    put(name + ".DES", (title.empty() ? name : title) + "\r\n" + name + "\r\n" + sw + ", 0, 479\r\n" + nw +
                           ", 0, 0\r\n" + se + ", 639, 479\r\n");
  }
  // A north-up grid view of the given east span (km) over a 640 x 480 picture, 4:3.
  void view(float x0, float x1) const {
    MapView& m = app->map;
    m.curlatlon = 0;
    m.mapxmin = x0;
    m.mapxmax = x1;
    m.mapymin = 300;
    m.mapymax = 300 + (x1 - x0) * 3 / 4;
  }
  void turn(float deg) const {
    MapView& m = app->map;
    const float r = deg * 3.14159f / 180;
    m.rotangle = deg;
    m.rotsin = std::sin(r);
    m.rotcos = std::cos(r);
    m.rotsinneg = -m.rotsin;
    m.rotcosneg = m.rotcos;
  }
  ZarnForm& z() const { return app->win.zarn; }
};

}  // namespace zarn::maptest
