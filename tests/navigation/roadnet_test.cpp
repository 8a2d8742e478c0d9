// The road network window: digitising clicks, refused templates, the drawing and the output.
#include <cmath>

#include "geodesy/distance.h"
#include "geodesy/helpers.h"
#include "geodesy/postext.h"
#include "mainwindow/mapclick.h"
#include "navigation/roadnet.h"
#include "platform/textrules.h"
#include "support/app_fixture.h"
#include "support/builders.h"

namespace zarn::test {
namespace {

// Three nodes in SJ: A at (370, 380) km, B 1 km east and 40 m north of it, and A again.
const std::string A = "SJ 70000 80000", B = "SJ 71000 80040";
const std::string nodes = A + ",J\r\n" + B + ",J\r\n" + A + ",K\r\n";

class RoadNet : public AppTest {
 protected:
  void ready() override {
    squares({{"SJ", 300, 300}});
    gridview(*app, 360, 370, 380, 385);  // 639 / 20 pixels a kilometre across, 479 / 15 down
    showlinkman(*app);
  }
  LinkmanForm& f() { return app->win.get<LinkmanForm>(); }
  void linkmode() {
    f().Command1.onClick();
    ASSERT_EQ(std::tie(f().Command1.caption, f().Text1.text), std::tuple("LINKS", ",2,R,another road"));
  }
  int beeps() const { return wav->beeps; }
};

TEST_F(RoadNet, NodeClicksAppendTheirLineFromTheMapPictureWhileTheWindowIsUp) {
  wiremapclick(*app);
  const auto release = [&](int button, double px, double py) {
    app->win.zarn.map.onMouseUp(ui::MouseEvent{button, 0, px, py});
  };
  release(ui::button_left, 321, 161);  // a click is taken a pixel up and left: (370, 380) km
  f().Text1.text = "roundabout";
  roadclick(*app, 371, 380.04f, false);
  f().hide();
  release(ui::button_left, 100, 100);
  // Pixel (320, 160) is (370.016, 379.990) km; the second line reads back within a metre.
  EXPECT_EQ(get("NODES.TXT"), "53.316193 -002.451686,J\r\n53.316700 -002.436914,roundabout\r\n");
  float x = 0, y = 0;
  parsepos(app->geo, "53.316700 -002.436914", x, y);
  EXPECT_LT(std::hypot(x - 371, y - 380.04f), 0.001f);
  EXPECT_EQ(beeps(), 0);
  // The three buttons cycle their captions and the template.
  f().Command3.onClick();
  EXPECT_EQ(f().Command3.caption, "INDEX");
  f().Command3.onClick();
  f().Command1.onClick(), f().Command1.onClick();
  EXPECT_EQ(std::tie(f().Command1.caption, f().Text1.text, f().Command3.caption), std::tuple("NODES", "J", "VALUE"));
}

TEST_F(RoadNet, LinkClicksSnapToTheNearestNodeWithinTheDistanceAndNeedAFirstEnd) {
  put("NODES.TXT", nodes);
  linkmode();
  // Clicks in order, east (km) of A or of B; what LINKS.TXT then holds and the beeps so far.
  const struct {
    const char* guards;
    const std::string* node;
    float east;
    bool left;
    const char* snap;
    std::string links;
    int beeps;
  } steps[] = {
      {"a right click before any left one has no first end", &A, 0.0f, false, "25", "", 1},
      {"26 m from every node", &A, -0.026f, true, "25", "", 2},
      {"24 m away: the first end is A (the first of the equal nodes)", &A, -0.024f, true, "25", "", 2},
      {"the second end, right button", &B, 0.01f, false, "25", A + "," + B + ",2,R,another road\r\n", 2},
      {"26 m snaps with a wider distance", &B, 0.026f, false, "30", A + "," + B + ",2,R,another road\r\n" + A + "," + B + ",2,R,another road\r\n", 2},
  };
  for (const auto& s : steps) {
    float x = 0, y = 0;
    parsepos(app->geo, *s.node, x, y);
    f().dth.text = s.snap;
    roadclick(*app, x + s.east, y, s.left);
    EXPECT_EQ(std::tuple(get("LINKS.TXT"), beeps()), std::tuple(s.links, s.beeps)) << s.guards;
  }
  EXPECT_EQ(get("NODES.TXT"), nodes);
}

TEST_F(RoadNet, TemplatesThatWouldShiftTheRecordsAreRefusedAndNothingIsWritten) {
  put("NODES.TXT", A + ",J\r\n");
  f().lastnode = A;
  const struct {
    bool links;
    const char* templ;
    bool refused;
  } cases[] = {
      {false, "J", false},          {false, "mini roundabout", false}, {false, "J,2", true},
      {false, "the \"Bull\"", true}, {false, "J\r\nX", true},            {true, ",2,R,another road", false},
      {true, ",,,", false},          {true, "2,R,another road", true},  {true, ",2,R", true},
      {true, ",2,R,x,y", true},      {true, ",2,R,\"x\"", true},
  };
  for (const auto& c : cases) {
    f().Command1.caption = c.links ? "LINKS" : "NODES";
    f().Text1.text = c.templ;
    const std::string file = c.links ? "LINKS.TXT" : "NODES.TXT", before = get(file);
    const int beeped = beeps();
    app->speech.msgtext.clear();
    roadclick(*app, 370, 380, false);
    EXPECT_EQ(std::tuple(get(file) == before, beeps() - beeped, app->speech.msgtext.rfind("Not added to " + file, 0) == 0),
              std::tuple(c.refused, c.refused ? 1 : 0, c.refused))
        << c.templ;
  }
}

TEST_F(RoadNet, OutputByValueAndByIndexReadsBack) {
  at(*clock, "10-26-2020 14:52:39");
  put("NODES.TXT", nodes);
  // Lengths cut to whole metres: 1000.80 m; 787.15 m to a position that is no node; from an
  // end the parser cannot read, at its failure pair.
  put("LINKS.TXT", A + "," + B + ",2,R,another road\r\n" + B + ",SJ 70300 80400,3,B,lane\r\nnowhere," + A + ",2,R,x\r\n");
  float far = 0;
  int brg = 0;
  distbearing(app->geo, parsefailx, parsefaily, 370, 380, far, brg);
  const std::string farlen = text::format(std::floor(far * 1000.0) / 1000.0, "0.000");
  ASSERT_NE(farlen, "0.000");
  const std::string head = " of 14:52:39 on 10-26-2020 holds 3 nodes and 3 links.\r\n 3 \r\n 3 \r\n";
  const struct {
    bool index;
    const char* file;
    std::string want;
  } cases[] = {
      {false, "LINKNODE.TXT",
       "LINKNODE.TXT" + head + nodes + A + "," + B + ",2,R,1.000,another road\r\n" + B +
           ",SJ 70300 80400,3,B,0.787,lane\r\nnowhere," + A + ",2,R," + farlen + ",x\r\n"},
      {true, "NODELINK.TXT",
       "NODELINK.TXT" + head + "1," + A + ",J\r\n2," + B + ",J\r\n3," + A + ",K\r\n1,2,2,R,1.000,another road\r\n"
       "2,SJ 70300 80400,3,B,0.787,lane\r\nnowhere,1,2,R," + farlen + ",x\r\n"},
  };
  for (const auto& c : cases) {
    f().Command3.caption = c.index ? "INDEX" : "VALUE";
    f().Command2.onClick();
    EXPECT_EQ(get(c.file), c.want);
  }
}

TEST_F(RoadNet, OutputOfFilesShorterThanTheirLineCountsStopsAtTheirEnd) {
  // Two blank lines after the nodes (counted, one empty record); a last link cut short, and one
  // with the empty first end an old right click wrote.
  put("NODES.TXT", A + ",J\r\n" + B + ",J\r\n\r\n\r\n");
  put("LINKS.TXT", "," + B + ",2,R,x\r\n" + B + "," + A + ",2\r\n");
  f().Command3.caption = "INDEX";
  ASSERT_EQ(writenetwork(app->geo, app->files, true, clock->now()), "");
  const auto lines = app->files.readlines("NODELINK.TXT").value_or(Items{});
  ASSERT_EQ(lines.size(), 9u);
  EXPECT_EQ(Items(lines.begin() + 1, lines.end()),
            (Items{" 4 ", " 2 ", "1," + A + ",J", "2," + B + ",J", "3,", "4,", lines[7], "2,1,2,,1.000,"}));
  EXPECT_EQ(lines[7].substr(0, 6), ",2,2,R") << "the empty end matches no node";
  std::filesystem::remove(dir / "NODES.TXT"), std::filesystem::remove(dir / "LINKS.TXT");
  ASSERT_EQ(writenetwork(app->geo, app->files, false, clock->now()), "");
  EXPECT_EQ(get("LINKNODE.TXT"), "LINKNODE.TXT of 12:00:00 on 10-26-2020 holds 0 nodes and 0 links.\r\n 0 \r\n 0 \r\n");
}

TEST_F(RoadNet, TheNetworkIsDrawnAsGreenLinksAndWhiteNodeBoxes) {
  put("NODES.TXT", nodes + "nowhere,J\r\n");
  put("LINKS.TXT", A + "," + B + ",2,R,x\r\nnowhere," + A + ",2,R,x\r\n");
  plotroad(app->win.zarn, app->geo, app->map, app->files);
  const auto& ops = app->win.zarn.surface.ops();
  ASSERT_EQ(ops.size(), 4u);
  const struct {
    ui::DrawOp::Type type;
    double x1, y1, x2, y2;
    ui::Colour colour;
  } want[] = {{ui::DrawOp::Line, 319.5, 159.667, 351.45, 158.389, ui::green},  // A to B, at 31.95 x 31.933 px a km
              {ui::DrawOp::Box, 318.5, 158.667, 320.5, 160.667, ui::white},
              {ui::DrawOp::Box, 350.45, 157.389, 352.45, 159.389, ui::white},
              {ui::DrawOp::Box, 318.5, 158.667, 320.5, 160.667, ui::white}};
  for (std::size_t k = 0; k < 4; ++k) {
    const ui::DrawOp& o = ops[k];
    EXPECT_EQ(std::tie(o.type, o.colour), std::tie(want[k].type, want[k].colour)) << k;
    for (auto [got, w] : {std::pair(o.x1, want[k].x1), {o.y1, want[k].y1}, {o.x2, want[k].x2}, {o.y2, want[k].y2}})
      EXPECT_NEAR(got, w, 0.01) << k;
  }
}

TEST_F(RoadNet, TheDemoNetworkIsWhatItsOutputWrites) {
  copydemo();
  const std::string made = get("LINKNODE.TXT");
  ASSERT_EQ(writenetwork(app->geo, app->files, false, clock->now()), "");
  EXPECT_EQ(get("LINKNODE.TXT").substr(get("LINKNODE.TXT").find('\n')), made.substr(made.find('\n')));
}

}  // namespace
}  // namespace zarn::test
