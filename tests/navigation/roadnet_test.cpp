// The road network window: digitising clicks, refused templates, the output and the drawing.
#include "navigation/roadnet.h"

#include <cmath>

#include "geodesy/distance.h"
#include "geodesy/postext.h"
#include "mainwindow/mapclick.h"
#include "platform/textrules.h"
#include "speech/rform.h"
#include "support/app_fixture.h"
#include "support/builders.h"

namespace zarn::test {
namespace {

// A at (370, 380) km, B 1 km east and 40 m north of it (1000.8 m away), and A again.
const std::string A = "SJ 70000 80000", B = "SJ 71000 80040", nodes = A + ",J\r\n" + B + ",J\r\n" + A + ",K\r\n";

class RoadNet : public AppTest {
 protected:
  void ready() override {
    squares({{"SJ", 300, 300}});
    gridview(*app, 360, 370, 380, 385);  // 639 / 20 pixels a km across, 479 / 15 down
    showlinkman(*app);
  }
  LinkmanForm& f() { return app->win.get<LinkmanForm>(); }
  void click(const std::string& near, float east, bool left) {
    float x = 0, y = 0;
    parsepos(app->geo, near, x, y);
    roadclick(*app, x + east, y, left);
  }
};

TEST_F(RoadNet, NodeClicksFromTheMapPictureAppendTheirLineWhileTheWindowIsUp) {
  wiremapclick(*app);
  const auto press = [&](double px, double py) { app->win.zarn.map.onMouseDown({ui::button_right, 0, px, py}); };
  press(320, 160);  // the pixel under the pointer: (370.016, 379.990) km
  f().Text1.text = "roundabout";
  f().hide(), press(100, 100);
  f().show(), roadclick(*app, 371, 380.04f, true);
  EXPECT_EQ(get("NODES.TXT"), "53.316193 -002.451686,J\r\n53.316700 -002.436914,roundabout\r\n");
  f().Command1.onClick(), f().Command3.onClick();
  EXPECT_EQ(std::tie(f().Command1.caption, f().Text1.text, f().Command3.caption),
            std::tuple("LINKS", ",2,R,another road", "INDEX"));
}

TEST_F(RoadNet, LinkClicksSnapWithinTheDistanceAndNeedAFirstEnd) {
  put("NODES.TXT", nodes);
  f().Command1.onClick();
  const std::string link = A + "," + B + ",2,R,another road\r\n";
  const struct {
    const char* guards;
    const std::string& near;
    float east;
    bool left;
    const char* snap;
    std::string links;
    int beeps;
  } steps[] = {{"a right click before any left one: no first end", A, 0, false, "25", "", 1},
               {"26 m from every node", A, -0.026f, true, "25", "", 2},
               {"24 m: A, the first of two equal nodes, is the first end", A, -0.024f, true, "25", "", 2},
               {"the right button ends the link", B, 0.01f, false, "25", link, 2},
               {"26 m with 30 m to snap", B, 0.026f, false, "30", link + link, 2}};
  for (const auto& s : steps) {
    f().dth.text = s.snap;
    click(s.near, s.east, s.left);
    EXPECT_EQ(std::tuple(get("LINKS.TXT"), wav->beeps), std::tuple(s.links, s.beeps)) << s.guards;
  }
}

TEST_F(RoadNet, TemplatesThatWouldShiftTheRecordsAreRefused) {
  put("NODES.TXT", A + ",J\r\n");
  f().lastnode = A;
  const struct {
    bool links;
    const char* templ;
    bool refused;
  } cases[] = {{false, "mini roundabout", false},
               {false, "J,2", true},
               {false, "the \"Bull\"", true},
               {false, "J\r\nX", true},
               {true, ",,,", false},
               {true, "2,R,x", true},
               {true, ",2,R", true},
               {true, ",2,R,x,y", true},
               {true, ",2,R,\"x\"", true}};
  for (const auto& c : cases) {
    const std::string file = c.links ? "LINKS.TXT" : "NODES.TXT", before = get(file);
    std::tie(f().Command1.caption, f().Text1.text, wav->beeps) = std::tuple(c.links ? "LINKS" : "NODES", c.templ, 0);
    roadclick(*app, 370, 380, false);
    EXPECT_EQ(std::tuple(get(file) == before, wav->beeps, app->speech.msgtext.rfind("Not added to " + file, 0) == 0),
              std::tuple(c.refused, int(c.refused), c.refused))
        << c.templ;
    app->speech.msgtext.clear();
  }
}

TEST_F(RoadNet, OutputByValueAndByIndex) {
  at(*clock, "10-26-2020 14:52:39");
  put("NODES.TXT", nodes);
  put("LINKS.TXT", A + "," + B + ",2,R,road\r\n" + B + ",SJ 70300 80400,3,B,lane\r\nnowhere," + A + ",2,R,x\r\n");
  const auto fromfail = [&](float x, float y) {  // an unreadable end stands at the parser's failure pair
    float d = 0;
    int brg = 0;
    distbearing(app->geo, parsefailx, parsefaily, x, y, d, brg);
    return text::format(std::floor(d * 1000.0) / 1000.0, "0.000");
  };
  const std::string farlen = fromfail(370, 380),
                    head = " of 14:52:39 on 10-26-2020 holds 3 nodes and  3 links.\r\n 3 \r\n 3 \r\n";
  const std::string value = "LINKNODE.TXT" + head + nodes + A + "," + B + ",2,R,1.000,road\r\n" + B +
                            ",SJ 70300 80400,3,B,0.787,lane\r\nnowhere," + A + ",2,R," + farlen + ",x\r\n";
  const std::string index = "NODELINK.TXT" + head + "1," + A + ",J\r\n2," + B + ",J\r\n3," + A +
                            ",K\r\n1,2,2,R,1.000,road\r\n2,SJ 70300 80400,3,B,0.787,lane\r\nnowhere,1,2,R," + farlen +
                            ",x\r\n";
  f().Command2.onClick(), f().Command3.onClick(), f().Command2.onClick();
  EXPECT_EQ(std::tuple(get("LINKNODE.TXT"), get("NODELINK.TXT")), std::tuple(value, index));
  // Shorter than counted: two blank node lines (one empty record), a last link cut short, and
  // the empty first end an old right click wrote, which matches no node.
  put("NODES.TXT", A + ",J\r\n" + B + ",J\r\n\r\n\r\n");
  put("LINKS.TXT", "," + B + ",2,R,x\r\n" + B + "," + A + ",2\r\n");
  f().Command2.onClick();
  EXPECT_EQ(get("NODELINK.TXT"),
            "NODELINK.TXT of 14:52:39 on 10-26-2020 holds 4 nodes and  2 links.\r\n 4 \r\n 2 \r\n1," + A + ",J\r\n2," +
                B + ",J\r\n3,\r\n4,\r\n,2,2,R," + fromfail(371, 380.04f) + ",x\r\n2,1,2,,1.000,\r\n");
}

TEST_F(RoadNet, TheNetworkIsDrawnAsGreenLinksAndWhiteNodeBoxes) {
  put("NODES.TXT", nodes + "nowhere,J\r\n");
  put("LINKS.TXT", A + "," + B + ",2,R,x\r\nnowhere," + A + ",2,R,x\r\n");
  plotroad(app->win.zarn, app->geo, app->map, app->files);
  using O = ui::DrawOp;
  const struct {
    O::Type type;
    double x1, y1, x2, y2;
    ui::Colour colour;
  } want[] = {{O::Line, 319.5, 159.667, 351.45, 158.389, ui::green},
              {O::Box, 318.5, 158.667, 320.5, 160.667, ui::white},
              {O::Box, 350.45, 157.389, 352.45, 159.389, ui::white},
              {O::Box, 318.5, 158.667, 320.5, 160.667, ui::white}};
  const auto& ops = app->win.zarn.surface.ops();
  ASSERT_EQ(ops.size(), std::size(want));
  for (std::size_t k = 0; k < ops.size(); ++k) {
    EXPECT_EQ(std::tie(ops[k].type, ops[k].colour), std::tie(want[k].type, want[k].colour)) << k;
    for (auto [g, w] :
         {std::pair(ops[k].x1, want[k].x1), {ops[k].y1, want[k].y1}, {ops[k].x2, want[k].x2}, {ops[k].y2, want[k].y2}})
      EXPECT_NEAR(g, w, 0.01) << k;
  }
}

TEST_F(RoadNet, TheRoadDetailsCloseButtonHidesThatWindow) {
  RForm& r = app->win.get<RForm>();
  r.show(), r.rformoff.onClick();
  EXPECT_FALSE(r.visible);
}

TEST_F(RoadNet, TheDemoNetworkIsWhatItsOutputWrites) {
  copydemo();
  const std::string made = get("LINKNODE.TXT");
  ASSERT_EQ(writenetwork(app->geo, app->files, false, clock->now()), "");
  EXPECT_EQ(get("LINKNODE.TXT").substr(get("LINKNODE.TXT").find('\n')), made.substr(made.find('\n')));
}

}  // namespace
}  // namespace zarn::test
