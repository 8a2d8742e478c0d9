// The calibration window: a demo map whose description is deleted is calibrated again by clicks
// on its corner pixels; what cannot make a usable description writes nothing.
#include "mapdisplay/calibration.h"

#include <gtest/gtest.h>

#include <algorithm>
#include <array>
#include <cmath>
#include <filesystem>

#include "geodesy/helpers.h"
#include "map_support.h"
#include "mapdisplay/mapload.h"

namespace zarn::maptest {
namespace {

using Bounds = std::array<float, 5>;  // west, south, east, north edges and the span, km

class Calibration : public MapTest {
 protected:
  Bounds bounds(int n) const {
    const auto k = static_cast<std::size_t>(n);
    return {m().mapswx[k], m().mapswy[k], m().mapnex[k], m().mapney[k], m().mapew[k]};
  }
  // The catalogue's bounds of a map and the loader's.
  std::pair<Bounds, Bounds> readback(const std::string& name) {
    EXPECT_EQ(loadccc(app->geo, app->files), std::nullopt);
    EXPECT_TRUE(readmaplist(*app));
    const auto& v = m().mapname;
    const int n = static_cast<int>(std::find(v.begin() + 1, v.begin() + 1 + m().mapcount, name) - v.begin());
    const Bounds cat = bounds(n);
    loadmap(*app, n);
    return {cat, bounds(n)};
  }
  // A click on picture pixel (c, r): the picture lies one pixel in from the window's edge.
  static void click(MakdesForm& f, int c, int r) {
    f.onMouseDown(ui::MouseEvent{ui::button_left, 0, c + 1.0, r + 1.0});
  }
  // The window as missingdes leaves it for a picture of that size.
  MakdesForm& opened(int w, int h) {
    m().calmapname = "NEW";
    auto pic = std::make_shared<ui::Picture>();
    std::tie(pic->path, pic->width, pic->height) = std::tuple("NEW.BMP", w, h);
    startcalibration(*app, pic);
    return makdeswindow(*app);
  }
};

void expectnear(const Bounds& got, const Bounds& want, const std::string& what) {
  for (int k = 0; k < 4; ++k)  // in pixels of the original
    EXPECT_LT(std::fabs(got[k] - want[k]) / (want[4] / 639), 0.5f)
        << what << ": edge " << k << " " << got[k] << " against " << want[k];
}

// Every kind of demo map, calibrated on the pixels its own description names, in the mode that
// fits it: the catalogue and the loader read the original bounds back.
TEST_F(Calibration, CornerClicksGiveTheOriginalBoundsBack) {
  struct Row {
    const char* map;
    bool grid;
    const char *lower, *upper;
    int lc, lr, uc, ur;  // picture pixels clicked
  };
  const Row rows[] = {
      {"CHESH", true, "SJ 27000 38000", "SK 06875 97875", 0, 479, 639, 0},
      {"NWENG", true, "SH 00000 30000", "OV 19500 69500", 0, 479, 639, 0},
      {"IRELAND", true, "V 30000 20000", "E 30000 00000", 200, 436, 600, 56},
      {"GBIRL", false, "493600N0144500W", "610000N0095100E", 0, 479, 639, 0},
  };
  copydemo();
  for (const Row& r : rows) {
    make();
    const auto [cat, load] = readback(r.map);
    std::filesystem::remove(dir / (std::string(r.map) + ".DES"));
    make();
    ASSERT_EQ(loadccc(app->geo, app->files), std::nullopt);
    int opened = 0;
    events->hook = [&] {  // the user, while the window waits
      clock->advance(0.05);
      MakdesForm* f = dynamic_cast<MakdesForm*>(app->win.find("makdes"));
      if (!f || !f->visible || opened++) return;
      if (r.grid) f->typecmd.onClick();
      std::tie(f->nmakdes.text, f->makdesg1.text, f->makdesg2.text) = std::tuple(r.map, r.lower, r.upper);
      click(*f, r.lc, r.lr);
      click(*f, r.uc, r.ur);
      f->makdesok.onClick();
    };
    EXPECT_FALSE(readmaplist(*app)) << r.map << ": OK ends the program";
    EXPECT_TRUE(app->main.quit && opened == 1) << r.map;
    ASSERT_TRUE(has(std::string(r.map) + ".DES")) << r.map;
    make();
    const auto [cat2, load2] = readback(r.map);
    expectnear(cat2, cat, std::string(r.map) + " catalogue");
    expectnear(load2, load, std::string(r.map) + " loader");
  }
}

// The lines written, by mode; what could not be read back is refused and nothing is written.
TEST_F(Calibration, OkWritesAUsableDescriptionOrNothing) {
  copydemo();
  ASSERT_EQ(loadccc(app->geo, app->files), std::nullopt);
  struct Row {
    const char* guards;
    bool grid;
    const char *lower, *upper;
    int lc, lr, uc, ur;             // picture pixels of the points; -1: not clicked
    std::vector<std::string> want;  // the lines; none: refused
  };
  const char *ll1 = "532100N0022040W", *ll2 = "533000N0020000W";
  // clang-format off
  const Row rows[] = {
      {"grid mode: three corners of the national grid, the clicks as picture pixels", true, "SJ 27000 38000",
       "SJ 90000 90000", 14, 401, 600, 20,
       {"T", "NEW", "SJ 27000 38000, 14, 401", "SJ 27000 90000, 14, 20", "SJ 90000 38000, 600, 401", "ZARN.WAW"}},
      {"grid mode: a latitude/longitude text inside Britain becomes its grid reference", true, ll1, "SJ 90000 90000",
       14, 401, 600, 20,
       {"T", "NEW", "SJ 77473 83709, 14, 401", "SJ 77473 90000, 14, 20", "SJ 90000 83709, 600, 401", "ZARN.WAW"}},
      {"latitude/longitude mode: a compact text is kept, a grid reference becomes one", false, "SJ 27000 38000", ll2,
       14, 401, 600, 20,
       {"T", "NEW", "LL, 640, 480", "525607N0030526W, 14, 401", "533000N0020000W, 600, 20", "ZARN.WAW"}},
      {"no point clicked", false, ll1, ll2, -1, -1, -1, -1, {}},
      {"only the lower point", false, ll1, ll2, 14, 401, -1, -1, {}},
      {"both on one column", false, ll1, ll2, 14, 401, 14, 20, {}},
      {"both on one row (the window resized between the clicks)", false, ll1, ll2, 14, 200, 600, 200, {}},
      {"an unreadable lower position", false, "SJ 2700 nonsense", ll2, 14, 401, 600, 20, {}},
      {"grid mode outside the grid areas", true, "485425N0021998E", "490000N0023000E", 14, 401, 600, 20, {}},
  };
  // clang-format on
  for (const Row& r : rows) {
    std::filesystem::remove(dir / "NEW.DES");
    const int beeps = wav->beeps;
    const std::size_t boxes = dialogs->shown.size();
    MakdesForm& f = opened(640, 480);
    f.typecmd.caption = r.grid ? "Grid" : "Lat/Lon";
    std::tie(f.nmakdes.text, f.makdesg1.text, f.makdesg2.text) = std::tuple("T", r.lower, r.upper);
    if (r.lc >= 0) f.lower = MakdesForm::Point{r.lc + 1, r.lr + 1};
    if (r.uc >= 0) f.upper = MakdesForm::Point{r.uc + 1, r.ur + 1};
    const bool ok = makdesok_Click(*app);
    EXPECT_EQ(app->files.readlines("NEW.DES").value_or(Items{}), r.want) << r.guards;
    EXPECT_EQ(std::tuple(ok, wav->beeps - beeps, dialogs->shown.size() - boxes, f.visible, app->main.quit),
              std::tuple(!r.want.empty(), ok ? 0 : 1, ok ? 0u : 1u, !ok, ok))
        << r.guards << ": a refusal is a beep and a box, and the window stays";
    app->main.quit = false;
  }
}

// The halves are those of the picture as the window shows it: a small picture's lower half lies
// above the screen's middle, a large one's upper half runs below it.
TEST_F(Calibration, ClicksSplitAtHalfTheVisiblePicture) {
  struct Row {
    int w, h, winh;  // picture size, window height (0: the picture's)
    int row;
    bool upper;
  };
  const Row rows[] = {{640, 480, 0, 240, true},    {640, 480, 0, 241, false}, {320, 240, 0, 150, false},
                      {320, 240, 0, 120, true},    {800, 600, 0, 280, true},  {800, 600, 0, 301, false},
                      {800, 600, 402, 201, false}, {800, 600, 402, 200, true}};
  for (const Row& r : rows) {
    MakdesForm& f = opened(r.w, r.h);
    if (r.winh) f.height = r.winh;
    click(f, 10, r.row);
    EXPECT_EQ(std::tuple(f.upper.has_value(), f.lower.has_value(), f.p1h.visible, f.p2h.visible),
              std::tuple(r.upper, !r.upper, r.upper, !r.upper))
        << r.w << "x" << r.h << " in " << f.height << " rows, picture row " << r.row;
  }
}

// Both point markers show when the window opens, each in the quarter of the picture where its
// point is to be clicked, and again when it opens after an earlier calibration was clicked.
TEST_F(Calibration, BothMarkersShowWhenTheWindowOpens) {
  for (const auto& [w, h] : {std::pair(640, 480), {800, 600}}) {
    click(opened(w, h), 30, 40);
    const MakdesForm& f = opened(w, h);
    const auto centre = [](const ui::Shape& s) { return std::pair(s.left + s.width / 2, s.top + s.height / 2); };
    EXPECT_EQ(std::tuple(f.makdesp1.visible, f.makdesp2.visible, f.p1h.visible, f.upper.has_value()),
              std::tuple(true, true, false, false))
        << "markers without cross hairs or points, " << w << "x" << h;
    const auto [lx, ly] = centre(f.makdesp2);
    const auto [ux, uy] = centre(f.makdesp1);
    EXPECT_TRUE(lx < w / 2 && ly > h / 2 && ux > w / 2 && uy < h / 2 && ly < h && ux < w)
        << "lower at " << lx << "," << ly << ", upper at " << ux << "," << uy;
  }
}

}  // namespace
}  // namespace zarn::maptest
