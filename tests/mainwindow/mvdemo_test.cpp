// The multi-vehicle demo: a base station made on demand, replaying the demo's recorded fleet.
#include <cmath>
#include <filesystem>

#include "geodesy/transform.h"
#include "mainwindow/cform.h"
#include "mainwindow/demo.h"
#include "mainwindow/mvdemo.h"
#include "mainwindow/replay.h"
#include "support/app_fixture.h"
#include "support/builders.h"
#include "vehicles/mvforms.h"

namespace zarn::test {
namespace {

using MvDemoTest = AppTest;

TEST_F(MvDemoTest, SetUpLeavesAnEmptyTableReplayingTheFleet) {
  demomaps(*app);  // the demo set: its maps, the recorded fleet, the fleet's icon
  std::filesystem::copy_file(dir / "CARICON1.ICO", dir / "$mv$05.ICO");
  ASSERT_TRUE(onemap(*app, "CHESH"));
  // A base station with a bigger fleet and alarms waiting, its control panel open.
  std::tie(app->veh.mvsize, app->veh.mvtotal, app->veh.alarmcount, app->veh.nonewmv) = std::tuple(40, 3, 2, true);
  for (auto* a : {&app->veh.mvlabel, &app->veh.mvid}) a->assign(41, "OLD");
  app->win.get<CForm>().show();
  mvdemo(*app);

  const VehicleTable& v = app->veh;
  const MainState& m = app->main;
  const auto& z = app->win.zarn;
  EXPECT_EQ(std::tuple(v.mvsize, v.mvtotal, v.mvsel, v.alarmcount, v.mvautosel, v.nonewmv),
            std::tuple(27, 0, 1, 0, true, false));
  for (const auto* a : {&v.mvlabel, &v.mvid, &v.mvloc, &v.mvstat, &v.mvhhmm, &v.mvdial})
    EXPECT_EQ(*a, std::vector<std::string>(28));
  EXPECT_EQ(v.mvx, std::vector<float>(28));
  EXPECT_EQ(std::tuple(m.mvmode, m.demoon, m.demoreopen, m.stepsecs, z.modebox.caption),
            std::tuple(1, 1, 1, 1.0f, "DEM"));
  const GpsState& g = app->gps;
  EXPECT_EQ(std::tuple(g.mvdatamode, g.reportmode, g.protocode, g.rawlog, g.chksumoff, g.replayfile),
            std::tuple(DataMode::position, ReportMode::line1, 8, true, 1, "ZARN.MVD"));
  const MvForm& mv = app->win.get<MvForm>();
  EXPECT_TRUE(mv.visible && mv.topmost && mv.autoselab.backcolor == ui::green);
  EXPECT_TRUE(mv.sendnow.onClick && mv.onKeyPress && z.mvim[27].onClick) << "the new windows and icons wired";
  EXPECT_TRUE(!app->win.get<MvEngForm>().visible && app->win.get<MvEngForm>().topmost &&
              app->win.get<MvAlarmForm>().topmost && !app->win.get<CForm>().visible);
  EXPECT_EQ(z.car.picture->path.substr(z.car.picture->path.size() - 12), "CARICON3.ICO");
  for (int i = 1; i <= 27; ++i) {
    ASSERT_TRUE(z.mvim.exists(i) && z.mvv.exists(i)) << i;
    EXPECT_FALSE(z.mvim[i].visible) << "shown once the slot reports";
    EXPECT_TRUE(z.mvim[i].picture) << i;
  }
  EXPECT_NE(z.mvim[5].picture, z.mvim[4].picture) << "a slot's own picture before the fleet's";

  // The replay: one link line a step; the vehicles appear and move.
  std::vector<std::pair<float, float>> first;
  for (int step = 0; step < 400; ++step) {
    clock->advance(1.0);
    ASSERT_TRUE(replaystep(*app));
    if (step == 60) {
      for (int i = 1; i <= v.mvtotal; ++i) first.emplace_back(v.mvx[i], v.mvy[i]);
    }
  }
  ASSERT_GE(first.size(), 6U);
  EXPECT_EQ(v.mvtotal, 7) << "the seven vehicles of the recording";
  for (std::size_t i = 1; i <= first.size(); ++i) {
    EXPECT_TRUE(z.mvim[static_cast<int>(i)].visible) << i;
    EXPECT_GT(std::hypot(v.mvx[i] - first[i - 1].first, v.mvy[i] - first[i - 1].second), 0.2f)
        << v.mvlabel[i] << " moved";
    // Drawn where the vehicle is on the map shown (an alarm may have moved the map to its sender).
    float px = 0, py = 0;
    ASSERT_TRUE(worldtopix(app->geo, app->map, v.mvx[i], v.mvy[i], px, py));
    EXPECT_EQ(std::pair(z.mvim[static_cast<int>(i)].left, z.mvim[static_cast<int>(i)].top),
              std::pair(ui::pixel(px) - 16, ui::pixel(py) - 16)) << v.mvlabel[i];
  }

  stopdemo(*app);
  for (int i = 1; i <= 27; ++i) EXPECT_FALSE(z.mvim[i].visible || z.mvv[i].visible) << i;
  EXPECT_EQ(std::tuple(m.mvmode, m.demoon, g.chksumoff, g.replayfile, mv.visible),
            std::tuple(0, 0, 0, "ZARN.NME", false));
}

// A slot's own $mv$NN.ICO replaces its picture; a slot without one keeps what it had: on a base
// station the picture its label gave it at start-up, on a single car the vehicles' picture.
TEST_F(MvDemoTest, ASlotWithoutItsOwnPictureKeepsTheOneItHad) {
  copydemo();
  std::filesystem::copy_file(dir / "CARICON1.ICO", dir / "$mv$05.ICO");
  const auto name = [&](int i) {
    const auto& p = app->win.zarn.mvim[i].picture;
    return p ? std::filesystem::path(p->path).filename().string() : "none";
  };
  mvdemo(*app);
  EXPECT_EQ(name(1) + " " + name(5) + " " + name(27), "$MV$.ICO $mv$05.ICO $MV$.ICO") << "a single car's start";
  EXPECT_FALSE(app->win.zarn.mvim[0].visible || app->win.zarn.mvv[0].visible) << "the template is no vehicle";
  // A base station's slots as start-up left them: the vehicles' picture, slot 1 its label's.
  make();
  auto& icons = app->win.zarn.mvim;
  for (int i = 0; i <= 27; ++i) icons.load(i).setpicture(app->sys.images->load(app->files.resolve("$MV$.ICO")));
  icons[1].setpicture(app->sys.images->load(app->files.resolve("CARICON2.ICO")));
  mvdemo(*app);
  EXPECT_EQ(name(1) + " " + name(5) + " " + name(2), "CARICON2.ICO $mv$05.ICO $MV$.ICO") << "a base station's";
}

TEST_F(MvDemoTest, WithoutTheRecordingTheReplayFileIsLeftAsTheStopSetIt) {
  app->gps.replayfile = "OTHER.NME";
  mvdemo(*app);
  EXPECT_EQ(std::tuple(app->gps.replayfile, app->main.mvmode, app->veh.mvtotal), std::tuple("ZARN.NME", 1, 0));
}

}  // namespace
}  // namespace zarn::test
