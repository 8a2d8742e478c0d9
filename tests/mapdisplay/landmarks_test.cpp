// The landmark editor: the lines it appends and the landmarks it refuses, the boxes a map click
// and the GPS button fill, the plot of a cell file and of the cells of a whole map.
#include "mapdisplay/landmarks.h"

#include <set>

#include "geodesy/geofile.h"
#include "map_support.h"
#include "platform/textrules.h"

namespace zarn::maptest {
namespace {

class Landmarks : public MapTest {
 protected:
  void ready() override {
    MapTest::ready();
    showgform(*app);
  }
  GForm& f() { return app->win.get<GForm>(); }
  void boxes(const Landmark& l, const std::string& file) {
    std::tie(f().gcc.text, f().gg.text, f().ng.text, f().dg.text, f().fg.text) = std::tie(l.code, l.pos, l.name, l.dir, file);
  }
  // The boxes drawn on the main window: "colour x,y" of each box's centre.
  Items drawn() const {
    Items out;
    for (const ui::DrawOp& op : z().surface.ops())
      if (op.type == ui::DrawOp::Box)
        out.push_back((op.colour == ui::red ? "red " : "green ") + std::to_string(ui::pixel((op.x1 + op.x2) / 2)) + "," +
                      std::to_string(ui::pixel((op.y1 + op.y2) / 2)));
    return out;
  }
};

TEST_F(Landmarks, AppendWritesTheLineOrRefusesAndLeavesTheFileAlone) {
  const std::string old = "L,SJ 70000 80000,#Ashley#\r\n";
  const struct {
    const char* guards;
    Landmark l;
    std::string file, line, refusal;
  } cases[] = {
      {"code upper-cased, direction between $", {"r12", "512382N0003960W", "Old Mill", "270"}, "X.GEO",
       "R12,512382N0003960W,#Old Mill#$270$", ""},
      {"an empty direction has no $ part", {"L5", "SU 12345 67890", "Church", ""}, "X.GEO", "L5,SU 12345 67890,#Church#", ""},
      {"an empty name is still ##", {"L", "SU 12345 67890", "", ""}, "x.geo", "L,SU 12345 67890,##", ""},
      {"a comma in the name", {"L", "SU 12345 67890", "Mill, old", ""}, "X.GEO", "", "Not added to X.GEO: the name holds a comma or a quote"},
      {"a quote in the position", {"L", "SU 12345 \"67890", "Mill", ""}, "X.GEO", "", "Not added to X.GEO: the position holds a comma or a quote"},
      {"a comma in the code", {"L,5", "SU 12345 67890", "Mill", ""}, "X.GEO", "", "Not added to X.GEO: the code holds a comma or a quote"},
      {"a comma in the direction", {"R1", "SU 12345 67890", "Mill", "2,7"}, "X.GEO", "", "Not added to X.GEO: the direction holds a comma or a quote"},
      {"# in the name", {"L", "SU 12345 67890", "No#1", ""}, "X.GEO", "", "Not added to X.GEO: the name holds # or $"},
      {"$ in the name", {"L", "SU 12345 67890", "$Mill", ""}, "X.GEO", "", "Not added to X.GEO: the name holds # or $"},
      {"$ in the direction", {"R1", "SU 12345 67890", "Mill", "27$0"}, "X.GEO", "", "Not added to X.GEO: the direction holds $"},
      {"no file name", {"L", "SU 12345 67890", "Mill", ""}, "  ", "", "Not added: no file name is given"},
      {"a file outside the data folder", {"L", "SU 12345 67890", "Mill", ""}, "../X.GEO", "", "Not added to ../X.GEO: the file name leads out of the data folder"},
  };
  for (const auto& c : cases) {
    put("X.GEO", old);
    const int beeps = wav->beeps;
    boxes(c.l, c.file);
    f().addg.onClick();
    EXPECT_EQ(get("X.GEO"), c.line.empty() ? old : old + c.line + "\r\n") << c.guards;
    EXPECT_EQ(wav->beeps - beeps, c.refusal.empty() ? 0 : 1) << c.guards;
    if (!c.refusal.empty()) {
      EXPECT_EQ(app->speech.msgtext, c.refusal) << c.guards;
    }
  }
  EXPECT_FALSE(std::filesystem::exists(dir.parent_path() / "X.GEO"));
  boxes({"L", "SJ 70000 80000", "Ashley", ""}, "NEW.GEO");
  f().addg.onClick();
  EXPECT_EQ(get("NEW.GEO"), old) << "a missing file is made";
}

TEST_F(Landmarks, MapClicksGiveThePositionTheCellAndTheDirectionToTheClick) {
  // From SJ 70000 80000 (370, 380) to a click 500 m away on a bearing; whole-degree bearings
  // are taken upwards, so a little less than the degree asked for.
  const auto toward = [](float deg) {
    const double r = (deg - 0.3) * 3.14159265358979 / 180;
    return std::pair(370 + static_cast<float>(0.5 * std::sin(r)), 380 + static_cast<float>(0.5 * std::cos(r)));
  };
  std::string geofile;
  auto [x, y] = toward(10);
  EXPECT_FALSE(geomanclick(f(), app->geo, geofile, ui::button_right, x, y)) << "no position given yet to measure from";
  EXPECT_EQ(f().dg.text, "");
  app->geo.utmmode = 2;  // the read-outs in MGRS: the cell is named from the national grid all the same
  ASSERT_TRUE(geomanclick(f(), app->geo, geofile, ui::button_left, 370, 380));
  EXPECT_EQ(std::tie(f().gg.text, f().fg.text, geofile), std::tuple("SJ 70000 80000", "SJ7080.GEO", "SJ7080.GEO"));
  const struct { float deg; const char* code; const char* dir; } cases[] = {
      {45, "L", "N"}, {46, "L", "E"}, {135, "l", "E"}, {136, "L", "S"}, {225, "S", "S"}, {226, "", "W"},
      {315, "L", "W"}, {316, "L", "N"}, {0, "L", "N"}, {270, "r12", "270"}, {7, "R", "7"},
  };
  for (const auto& c : cases) {
    f().gcc.text = c.code;
    std::tie(x, y) = toward(c.deg);
    EXPECT_TRUE(geomanclick(f(), app->geo, geofile, ui::button_middle, x, y));
    EXPECT_EQ(f().dg.text, c.dir) << c.deg << " degrees, code " << c.code;
  }
  f().gg.text = "nowhere";
  EXPECT_FALSE(geomanclick(f(), app->geo, geofile, ui::button_right, x, y)) << "a typed position that does not read";
}

TEST_F(Landmarks, TheCodeBoxNamesItsCategoryAndTheGpsButtonFillsFromTheFix) {
  MainState& ms = app->main;
  ms.catcount = 4;
  const std::pair<const char*, const char*> cats[] = {{"L", "Landmark"}, {"R12", "Road"}, {"R12", "Main road"}, {"x", "Lower"}};
  for (std::size_t i = 0; i < 4; ++i) std::tie(ms.catcode[i + 1], ms.catname[i + 1]) = cats[i];
  for (const auto& [typed, name] : {std::pair{"l", "Landmark"}, {"R12", "Main road"}, {"x", "?"}, {"", "?"}}) {
    f().gcc.text = typed;
    f().gcc.onChange();
    EXPECT_EQ(f().gccname.text, name) << "code " << typed;
  }

  noownfix(*app);
  const int beeps = wav->beeps;
  f().gpscmd.onClick();
  EXPECT_EQ(std::tie(f().gg.text, wav->beeps), std::tuple("512382N0003960W", beeps + 1)) << "no fix: nothing to fill";
  const struct { const char* code; int hdg; const char* dir; } cases[] = {
      {"R12", -1, "keep"}, {"r1", 90, "90"}, {"", 90, "keep"}, {"L", 90, "keep"}};
  for (const auto& c : cases) {
    ownfixat(*app, "SJ 72846 81742", 30, c.hdg);
    std::tie(f().gcc.text, f().dg.text, f().fg.text) = std::tuple(c.code, "keep", "");
    f().gpscmd.onClick();
    EXPECT_EQ(std::tie(f().gg.text, f().fg.text, m().geofile, f().dg.text),
              std::tuple("SJ 72846 81742", "SJ7281.GEO", "SJ7281.GEO", c.dir))
        << c.code << " " << c.hdg;
  }
}

TEST_F(Landmarks, APlotDrawsEachReadableLandmarkOfTheFile) {
  gridview(*app, 360, 370, 380, 385);  // 20 km across 639 pixels
  put("A.GEO",
      "R12,SJ 70000 80000,#Bend#$270$\r\nL,SJ 65000 77500,#Mill#\r\nL,,#No place#\r\nL,nowhere,#Bad#\r\n"
      "\"FS\",\"SJ 61000 75000\",\"#Garage#^1^\"\r\n");
  const auto [x1, y1] = pix(370, 380);
  const auto [x2, y2] = pix(365, 377.5f);
  const auto [x3, y3] = pix(361, 375);
  EXPECT_EQ(drawgeo(z(), app->geo, m(), app->files, "a.geo"), 3);
  const auto at = [](const char* c, float x, float y) {
    return std::string(c) + " " + std::to_string(ui::pixel(x)) + "," + std::to_string(ui::pixel(y));
  };
  EXPECT_EQ(drawn(), (Items{at("red", x1, y1), at("green", x2, y2), at("green", x3, y3)}));
  EXPECT_EQ(drawgeo(z(), app->geo, m(), app->files, "MISSING.GEO"), 0);
}

// The walk over the map as it always was: every 1 km point from the south-west corner, both
// edges included, each cell file present plotted when the walk first meets it.
Items walk(GeoState& geo, const MapFrame& m, const std::set<std::string>& present) {
  Items out;
  std::set<std::string> seen;
  for (float x = m.mapxmin; x <= m.mapxmax; x += 1)
    for (float y = m.mapymin; y <= m.mapymax; y += 1)
      if (const std::string f = cellfile(geo, x, y); present.count(f) && seen.insert(f).second) out.push_back(f);
  return out;
}

TEST_F(Landmarks, TheCellsOfAMapAreThoseTheWalkOverItMeets) {
  float px = 0, py = 0, dx = 0, dy = 0;
  lltoosgb(app->geo, 48.85f, 2.35f, px, py);  // Paris: latitude/longitude cells
  parsepos(app->geo, "O 16641 32852", dx, dy);  // Dublin: the Irish grid
  const struct {
    const char* guards;
    float x0, y0, x1, y1;
  } maps[] = {
      {"3 km by 2 km, whole-km edges: 4 by 3 points", 370, 380, 373, 382},
      {"edges between the kilometres, across the SJ-SK square edge", 397.4f, 350.3f, 402.6f, 353.8f},
      {"across an Irish square edge", -23.5f, dy - 2.2f, -16.1f, dy + 2.7f},
      {"two-minute cells, several points each", px - 4.3f, py - 3.1f, px + 4.6f, py + 3.3f},
  };
  for (const auto& mp : maps) {
    gridview(*app, mp.x0, mp.y0, mp.x1, mp.y1);
    // Every cell the walk meets and every cell of a wider walk, with names of no cell at all.
    std::set<std::string> present;
    for (float x = mp.x0 - 3; x <= mp.x1 + 3; x += 0.5f)
      for (float y = mp.y0 - 3; y <= mp.y1 + 3; y += 0.5f) present.insert(cellfile(app->geo, x, y));
    present.insert({"X.GEO", "SJ.GEO", "48N002EZ.GEZ", "Q1234.GEO", "XX1234.GEO"});
    const Items want = walk(app->geo, m(), present);
    ASSERT_GE(want.size(), 4u) << mp.guards;
    ASSERT_LT(want.size(), present.size() - 5) << mp.guards << ": the wider walk met more";
    Items lower;  // as they may be on disk
    for (const std::string& p : present) lower.push_back(text::lcase(p));
    Items got = mapcells(app->geo, m(), lower);
    for (auto& g : got) g = text::ucase(g);
    EXPECT_EQ(got, want) << mp.guards;
  }
  gridview(*app, 0, 0, -1, 5);
  EXPECT_TRUE(mapcells(app->geo, m(), {"SJ7080.GEO"}).empty()) << "a map of no extent";
}

TEST_F(Landmarks, PlottingAMapDrawsTheTypedFileAndItsCellsUpToTheCap) {
  view(310, 370);  // 60 km by 45 in SJ: 2,806 walk points
  const auto two = [](int v) { return std::string(v < 10 ? "0" : "") + std::to_string(v); };
  int made = 0;
  for (int e = 10; e <= 69 && made <= static_cast<int>(plotcellmax); ++e)
    for (int n = 0; n <= 44 && made <= static_cast<int>(plotcellmax); ++n, ++made)
      put("SJ" + two(e) + two(n) + ".GEO", "L,SJ " + two(e) + "500 " + two(n) + "500,#" + std::to_string(made) + "#\r\n");
  put("MINE.TXT", "R,SJ 20000 20000,#Mine#\r\n");  // typed, though no cell file
  f().fg.text = "MINE.TXT";
  f().plotg.onClick();
  const Items boxes = drawn();
  ASSERT_EQ(boxes.size(), plotcellmax + 1);
  EXPECT_EQ(boxes.front().substr(0, 4), "red ") << "the typed file first";
  EXPECT_EQ(app->speech.msgtext, "Only the landmarks of the first 2000 cells are plotted");
}

}  // namespace
}  // namespace zarn::maptest
