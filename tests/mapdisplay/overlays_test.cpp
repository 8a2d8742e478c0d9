// What the user's files put on the map: the nearest no-fly areas said in turn, map outlines,
// overlay markers, roads and the map drawing file, from the demo set made from the real drive.
#include <algorithm>

#include "geodesy/postext.h"
#include "map_support.h"
#include "mapdisplay/mapload.h"
#include "mapdisplay/mapoutlines.h"
#include "mapdisplay/nearest.h"
#include "mapdisplay/overlays.h"
#include "mapdisplay/owncar.h"
#include "mapdisplay/redraw.h"

namespace zarn {
namespace {

using maptest::Items;
using namespace test;
using Op = ui::DrawOp;

class Overlays : public maptest::MapTest {
 protected:
  // The demo set on the local map (Ashley and Mobberley), the car at the drive's first fix.
  void local() {
    demo();
    loadmap(*app, 5);
    const auto f = maptest::drivefixes().front();
    ownfix(*app, f.lat, f.lon, 0, 90);
    m().nofcache = 1;
  }
  const std::vector<Op>& ops() const { return z().surface.ops(); }
  long count(Op::Type t, ui::Colour c, std::size_t from = 0) const {
    return std::count_if(ops().begin() + static_cast<long>(from), ops().end(),
                         [&](const Op& o) { return o.type == t && o.colour == c; });
  }
  // The drawing since `from`, a word an operation: kind and colour (hex), and a circle's radius.
  std::string drawn(std::size_t from) const {
    static const char* kinds[] = {"cls", "line", "box", "fill", "circle", "dot", "text"};
    std::string s;
    char w[64];
    for (auto o = ops().begin() + static_cast<long>(from); o != ops().end(); s += w, ++o)
      std::snprintf(w, sizeof w, o->type == Op::Circle ? " %s:%x/%.0f" : " %s:%x", kinds[o->type], o->colour, o->x2);
    return s;
  }
  std::string ref(float x, float y) const {
    std::string t;
    gridreftext(app->geo, x, y, t);
    return t;
  }
};

// From the start of the drive: each no-fly area once, nearest first, then none; the found place
// and the map stay with the last one, and the cache near its centre is read, not written.
TEST_F(Overlays, NearestWalksOutwardEachAreaOnceThenSaysThereAreNoMore) {
  local();
  const std::string cache = get("ZARNNEAR.NOF");
  saynearest(*app, 0);
  EXPECT_EQ(app->speech.msgtext, "the nearest is Ringway airfield 1 miles ahead of us at your 1 o'clock");
  EXPECT_EQ(std::tuple(app->main.foundwav, app->main.foundref, app->nav.clockbrg, shown(z().sym), z().symlab.caption),
            std::tuple("$AN.WAV", "SJ 81245 83693", 1, "$L.ICO", "Ringway airfield"));
  EXPECT_EQ(std::tuple(count(Op::Circle, ui::red), count(Op::Circle, ui::black), count(Op::Line, ui::red)),
            std::tuple(5, 10, 4 + 1))
      << "every area on the map, shadowed; the polygon's four edges and the line to the car";
  Items order{app->main.foundlabel};
  for (int i = 0; i < 6; ++i) {
    ++app->main.hitcount;  // as the search box asks for the next one
    saynearest(*app, 1);
    const std::string& said = app->speech.msgtext;
    order.push_back(said.starts_with("the next nearest is ") ? app->main.foundlabel : said);
  }
  EXPECT_EQ(order, (Items{"Ringway airfield", "Ashley no fly zone", "Bowdon no fly zone", "Mobberley no fly zone",
                          "Mere no fly zone", "Knutsford no fly zone", "there are no more"}));
  EXPECT_EQ(std::tuple(app->main.foundlabel, m().maptitle, get("ZARNNEAR.NOF")),
            std::tuple("Knutsford no fly zone", "Ashley and Mobberley", cache));
}

// Beyond half the cache radius the cache is written again round the car with the areas within
// the radius; without the object file the user's cache is searched as it stands. A polygon's
// point line gives at most the points it holds; "END" ends the file there.
TEST_F(Overlays, CacheFollowsTheCarAndIsKeptWhenTheObjectFileIsMissingPointLinesBounded) {
  local();
  const std::string cache = get("ZARNNEAR.NOF");
  ownmoved(*app, app->gps.ownx + 20, app->gps.owny);  // 13 to 27 km from the areas; the cache radius is 25 km
  std::filesystem::rename(dir / "ZARN.NOF", dir / "NOF.OLD");
  saynearest(*app, 0);
  EXPECT_EQ(std::tuple(get("ZARNNEAR.NOF"), app->main.foundlabel), std::tuple(cache, "Ringway airfield"));
  std::filesystem::rename(dir / "NOF.OLD", dir / "ZARN.NOF");
  saynearest(*app, 0);
  EXPECT_EQ(platform::splitlines(get("ZARNNEAR.NOF")),
            (Items{ref(app->gps.ownx, app->gps.owny) + ", 25 ", R"("C","SJ 79010 79994","1","Mobberley no fly zone")",
                   R"("C","SJ 77917 83707","0.8","Ashley no fly zone")", R"("C","SJ 75803 86659","1.2","Bowdon no fly zone")",
                   R"("P","SJ 81245 83693","1.6","Ringway airfield")",
                   R"("4 SJ79618318 SJ80358223 SJ82878420 SJ82138515")", "END,,,,"}));
  std::filesystem::remove(dir / "ZARNNEAR.NOF");  // the object file alone
  ownmoved(*app, app->gps.ownx - 20, app->gps.owny);
  for (const auto& [guards, line, edges] :
       {std::tuple{"count above the points held", "9 SJ78008400 SJ79008400", 2},
        {"count below them", "2 SJ78008400 SJ79008400 SJ79008500", 2}, {"one point", "1 SJ78008400", 1},
        {"count 0", "0 SJ78008400 SJ79008400", 0}, {"negative count", "-3 SJ78008400", 0}, {"no count", "", 0},
        {"end of the file", "END", 0}}) {
    put("ZARN.NOF", std::string("P,SJ 78500 84500,1,Shape\r\n\"") + line + "\"\r\nC,SJ 79700 84600,1,Next\r\n");
    const auto from = ops().size();
    saynearest(*app, 0);
    EXPECT_EQ(std::tuple(count(Op::Line, ui::red, from), count(Op::Line, ui::black, from), app->main.foundlabel),
              std::tuple(edges + 1, 2 * edges, std::string(line) == "END" ? "Shape" : "Next"))
        << guards;
  }
}

// The outline list: fixed columns of the demo catalogue, with the map file, scale and width
// columns at their edges; only narrower maps lying within the current one are outlined.
TEST_F(Overlays, MapListColumnsAndOutlines) {
  demo();
  loadmap(*app, 4);  // Cheshire
  app->geo.utmmode = 1;
  for (const auto& [i, name, x640, ew] : {std::tuple{1, "ABCD", 1.0f, 12.96f}, {2, "ABCDEFGHIJKL", 1.234f, 3.25f},
                                          {3, "ABCDEFGHIJKLMNOPQRST", 12.345f, 0.5f}, {6, "DRIVE", 0.5f, 1000.0f}})
    std::tie(m().mapname[i], m().mapx640[i], m().mapew[i]) = std::tuple(name, x640, ew);
  m().mapswx[3] = 330;  // narrower than Cheshire, from inside it past its east edge
  showmaps(app->win.zarn, app->geo, app->map, app->files);
  EXPECT_EQ(platform::splitlines(get("SHOWMAPS.TXT")),
            (Items{"Map File x640 SW Corner       NE Corner       EW Size  Map Name",
                   "ABCD     1.   493599N0144500W 610000N0095099E 13       ",
                   "ABCDEFGHIJKL1.23 505635N0131566W NR 49000 29500  3.3      ",
                   "ABCDEFGHIJKLMNO12.3 SJ 30000 30000  OV 19500 69500  .5       ",
                   "CHESH    1.   SJ 27000 38000  SK 06875 97875  79.9     Cheshire",
                   "0LOCAL   1.   SJ 69570 78550  SJ 82350 88130  12.8     Ashley and Mobberley",
                   "DRIVE    .5   SJ 71800 81000  SJ 80100 86000  1000     Ashley drive (tiles)"}));
  EXPECT_EQ(std::tuple(count(Op::Box, ui::white), count(Op::Box, ui::yellow), app->geo.utmmode, z().search.visible),
            std::tuple(1, 0, 1, false))
      << "the local map only; national-grid references; the setting given back";
}

// Overlay markers by type code, on the map's edges and off them, and the demo overlay. Road lines
// start at each MOVE and the first point starts one of its own; points off the map are passed
// over. The demo road lies wholly on the local map.
TEST_F(Overlays, MarkersRoadsAndTheDrawingFile) {
  local();
  const float x = 375.3f, y = 383.3f;
  for (const auto& [guards, ex, ey, code, want] :
       {std::tuple{"airfield codes: two circles", x, y, "AFX", " circle:ffff00/1 circle:0/3"},
        {"EFFLC", x, y, "EFFLC", " box:0 fill:ff dot:ffffff"}, {"EFFHE", x, y, "EFFHE", " box:0 fill:ffff dot:ff"},
        {"LNT", x, y, "LNT", " box:0 fill:ffff dot:ff00"}, {"LEH", x, y, "LEH", " box:0 fill:ffffff dot:ff"},
        {"other codes: green", x, y, "LNTEH", " box:0 fill:ff00"},
        {"whole kilometres: a 2 km circle", 375.0f, 383.0f, "E", " circle:ff/100 box:0 fill:ff00"},
        {"on the east edge", m().mapxmax, y, "E", " box:0 fill:ff00"}, {"past it", m().mapxmax + 0.01f, y, "E", ""},
        {"below the south edge", x, m().mapymin - 0.01f, "E", ""}}) {
    const auto from = ops().size();
    drawoverlay(app->win.zarn, app->geo, app->map, ex, ey, code);
    EXPECT_EQ(drawn(from), want) << guards;
  }
  const auto from = ops().size();
  readoverlay(app->win.zarn, app->geo, app->map, app->files, "$af.gtx");
  readoverlay(app->win.zarn, app->geo, app->map, app->files, "NONE.GTX");
  EXPECT_EQ(std::tuple(count(Op::Circle, ui::cyan, from), count(Op::Box, ui::black, from),
                       count(Op::Circle, ui::red, from)),
            std::tuple(1, 10, 1))
      << "Ringway; the places, drive points and kilometre point on the local map; the kilometre point's circle";
  const std::string p1 = "SJ 75000 84000", p2 = "SJ 76000 84000", off = "SJ 99000 84000";
  const std::string dot = " dot:ffff00", line = " line:ffff00";
  for (const auto& [guards, file, want] :
       {std::tuple{"no road file", std::string(), std::string()},
        {"two lines", "MOVE\r\n" + p1 + "\r\n" + p2 + "\r\nMOVE\r\n" + p2 + "\r\n" + p1, dot + line + dot + line},
        {"no MOVE first", p1 + "," + p2 + "\r\n", dot + line},
        {"MOVE inside an item", "XMOVEX," + p1 + ",NEWMOVE," + p2, dot + dot},
        {"a point off the map", "MOVE\r\n" + p1 + "\r\n" + off + "\r\n" + p2, dot + line}}) {
    if (file.empty()) std::filesystem::remove(dir / "ROAD.DAT");
    else put("ROAD.DAT", file);
    z().surface.line(0, 0, 10, 10, ui::black);  // drawn before: no line may start there
    const auto from = ops().size();
    drawroads(app->win.zarn, app->geo, app->map, app->files);
    EXPECT_EQ(drawn(from), want) << guards;
  }
  copydemo();
  const auto road = ops().size();
  drawroads(app->win.zarn, app->geo, app->map, app->files);
  EXPECT_EQ(std::tuple(count(Op::Point, ui::cyan, road), count(Op::Line, ui::cyan, road), z().surface.forecolor),
            std::tuple(11, 392, ui::cyan));
  // The map drawing file: a line takes the colour in force at its end point (the demo's seventh
  // turns green); a waypoint whose icon cannot be read is left out, and the rest of the file read.
  readpicfile(*app);
  const NavState& n = app->nav;
  auto icon = [&](int i) { return std::filesystem::path(z().wp[i].picture->path).filename().string(); };
  EXPECT_EQ(std::tuple(n.legcount, n.wpcount, z().leg[1].bordercolor, z().leg[7].bordercolor, z().leg[19].bordercolor,
                       ref(n.wpx[2], n.wpy[2]), icon(1) + icon(2) + icon(3)),
            std::tuple(19, 3, ui::red, ui::green, ui::yellow, "SJ 72183 82278", "WP.ICO$L.ICOWPNEXT.ICO"));
  put("BAD.ICO", "not a picture");
  for (const auto& [guards, file, legs, wps, first] :
       {std::tuple{"a bad icon", "I,bad.ico\r\nP,SJ 75000 84000\r\nI,WP.ICO\r\nP,SJ 76000 84000\r\nEND,\r\nP,x\r\n",
                   0, 1, "SJ 76000 84000"},
        {"a missing icon", "I,NONE.ICO\r\nP,SJ 75000 84000\r\nL,SJ 75000 84000\r\n", 0, 1, "SJ 75000 84000"},
        {"no file", "", 0, 0, ""}}) {
    if (*file) put("ZARN.PIC", file);
    else std::filesystem::remove(dir / "ZARN.PIC");
    readpicfile(*app);
    EXPECT_EQ(std::tuple(n.legcount, n.wpcount, wps ? ref(n.wpx[1], n.wpy[1]) : ""), std::tuple(legs, wps, first))
        << guards;
  }
}

// On 1280 x 1024 a 640 x 480 picture of 12.8 x 9.6 km is shown at 100 pixels a km across and
// 106.6 down: a zone, the finder's range circle and sector, an accuracy ring and a rough
// position's circle each reach, across and down, the pixel of the point that far off.
TEST_F(Overlays, LengthsDrawnOnAnUnevenlyStretchedMapReachTheTrueEdgeEachWay) {
  gridview(*app, 370, 380, 382.8f, 389.6f);
  std::tie(m().mapzoom, m().scrwidth, m().scrheight) = std::tuple(1, 1280.0f, 1024.0f);
  const float x = 376, y = 385;
  // Half-widths across and down that the drawing should have for a radius (km).
  auto want = [&](float r) {
    float px = 0, py = 0, ex = 0, ey = 0, sx = 0, sy = 0;
    worldtopix(app->geo, m(), x, y, px, py);
    worldtopix(app->geo, m(), x + r, y, ex, ey);
    worldtopix(app->geo, m(), x, y - r, sx, sy);
    return std::tuple(px, py, ex - px, sy - py);
  };
  auto expectshape = [&](const ui::Shape& s, float r, const char* what) {
    const auto [px, py, across, down] = want(r);
    EXPECT_NEAR(s.left + s.width / 2.0, px, 1) << what;
    EXPECT_NEAR(s.top + s.height / 2.0, py, 1) << what;
    EXPECT_NEAR(s.width / 2.0, across, 1) << what;
    EXPECT_NEAR(s.height / 2.0, down, 1) << what;
  };
  NavState& n = app->nav;
  std::tie(n.zonedispon, n.zonecount, n.zonex[1], n.zoney[1], n.zonerad[1]) = std::tuple(1, 1, x, y, 1.8f);
  drawzones(*app);
  expectshape(z().zonec[0], 1.8f, "zone");
  float lat = 0, lon = 0;
  osgbtoll(app->geo, x, y, lat, lon);
  drawdfsector(z(), app->geo, m(), DfSector{1, lat, lon, 2.5f, 90, 90, 255});
  expectshape(z().circle1, 2.5f, "range circle");
  drawdfsector(z(), app->geo, m(), DfSector{1, lat, lon, 2.5f, 90, 270, 255});
  const auto [px, py, across, down] = want(2.5f);
  EXPECT_NEAR(z().dfsec[50].y2, py + down, 2) << "the sector's southern tip";
  m().trailsize = 1200;  // metres
  addtrail(m(), z(), app->geo, app->gps, x, y);
  expectshape(z().p[m().trailidx], 1.2f, "accuracy ring");
  drawoverlay(z(), app->geo, m(), x, y, "AF");
  const auto& o = ops().front();
  ASSERT_EQ(o.type, Op::Circle);
  EXPECT_NEAR(o.x2, std::get<2>(want(2)), 1) << "rough position across";
  EXPECT_NEAR(o.y2, std::get<3>(want(2)), 1) << "rough position down";
  // The nearest no-fly areas' circles on the demo's local map stretched the same way.
  local();
  std::tie(m().mapzoom, m().scrwidth, m().scrheight) = std::tuple(1, 1280.0f, 1024.0f);
  z().surface.cls();
  saynearest(*app, 0);
  const double stretch = kmtopixdown(m(), 1) / kmtopix(m(), 1);
  ASSERT_GT(stretch, 1.05);
  long circles = 0;
  for (const Op& c : ops()) {
    if (c.type != Op::Circle || c.colour != ui::red) continue;
    EXPECT_NEAR(c.y2 / c.x2, stretch, 0.01);
    ++circles;
  }
  EXPECT_EQ(circles, 5);
}

}  // namespace
}  // namespace zarn
