// Screenshots: the playback filter window over the demo map with the recorded drive plotted
// and drawn, and the engineering window with the satellites of a replayed log's GSV sentences.
#include <QImage>
#include <QPainter>
#include <fstream>

#include "gpsinput/fform.h"
#include "gpsinput/gpseng.h"
#include "gpsinput/logs.h"
#include "gpsinput/nmea.h"
#include "mainwindow/takefix.h"
#include "platform/qt/formview.h"
#include "platform/qt/qtconvert.h"
#include "platform/qt/qtservices.h"
#include "platform/qt/qtui.h"
#include "support/app_fixture.h"
#include "support/builders.h"

namespace zarn::test {
namespace {

namespace fs = std::filesystem;

std::string slurp(const fs::path& p) {
  std::ifstream in(p, std::ios::binary);
  return {std::istreambuf_iterator<char>(in), {}};
}
fs::path shotpath(const char* name) { return fs::read_symlink("/proc/self/exe").parent_path() / name; }

using FilterQt = AppTest;

TEST_F(FilterQt, TheFilterWindowWithTheDrivePlottedAndDrawnOnTheMap) {
  make(nullptr, std::make_unique<qt::QtImageStore>());
  demomaps(*app);
  app->main.playback = 1;
  put("cheshire.nme", slurp(ZARN_TEST_DATA "/nmea/drive/cheshire-2020-10-26.nmea"));
  setreplayfile(app->gps, "cheshire.nme");
  auto& z = app->win.zarn;
  z.show();
  showfform(*app);
  FForm& f = app->win.get<FForm>();
  f.left = f.top = 0;
  ui::Colour drawn = drawcolour(2);  // red
  f.drawcolidx = 1;
  f.drawcolcmd.onClick();
  ASSERT_EQ(f.drawcol.bordercolor, drawn);
  // The fast part of the drive as trail dots, then the whole drive as a track with times.
  f.sfilter.text = "90";
  f.plotcmd.onClick();
  const auto all = z.controls();
  const auto dots = std::count_if(all.begin(), all.end(), [](ui::Control* c) { return c->name == "p" && c->visible; });
  f.sfilter.text.clear();
  f.labelon.value = 1;
  f.drawcmd.onClick();
  f.show();
  EXPECT_EQ(f.caption, "Plotting cheshire.nme ..");
  EXPECT_FALSE(f.grid.caption.empty());

  qt::QtUi ui([this] { return app->win.all(); });
  ui.refresh();
  const QImage map = ui.view(z)->snapshot();
  const QImage win = ui.view(f)->snapshot();
  QImage shot(map.width() + win.width(), std::max(map.height(), win.height()), QImage::Format_RGB32);
  shot.fill(Qt::darkGray);
  {
    QPainter p(&shot);
    p.drawImage(0, 0, map);
    p.drawImage(map.width(), 0, win);
  }
  const auto png = shotpath("filter_window_with_the_drive_plotted.png");
  EXPECT_TRUE(shot.save(QString::fromStdString(png.string())));
  RecordProperty("screenshot_filter", png.string());

  long red = 0;
  for (int y = 0; y < map.height(); ++y)
    for (int x = 0; x < map.width(); ++x) red += map.pixelColor(x, y) == qt::qcolour(drawn);
  EXPECT_GT(red, 300) << "the drawn track";
  EXPECT_GT(dots, 0) << "the plotted dots";
  // The switches' labels, empty until a unit reports its switches, are no blank boxes to fill.
  for (int i = 0; i < 8; ++i) {
    const ui::Label& s = f.switches[i];
    EXPECT_EQ(win.pixelColor(s.left + s.width / 2, s.top + s.height / 2), qt::qcolour(f.backcolor)) << i;
  }
}

TEST_F(FilterQt, TheEngineeringWindowWithTheSatellitesOfAReplayedLog) {
  make(nullptr, std::make_unique<qt::QtImageStore>());
  squares({{"SJ", 300, 300}});
  GpsEngForm& e = app->win.get<GpsEngForm>();
  e.show();
  // The drive's first second: its fix, then its four GSV sentences.
  int gsv = 0;
  for (const auto& l : platform::splitlines(slurp(ZARN_TEST_DATA "/nmea/drive/cheshire-2020-10-26.nmea"))) {
    std::string line = l + "\r";
    const LineResult r = gpsparse(*app, line);
    applyline(*app, r, line);
    gsv += l.starts_with("$GPGSV");
    if (gsv >= 4 && !l.starts_with("$GPGSV")) break;
  }
  EXPECT_GT(app->gps.satidx, 4);
  EXPECT_TRUE(e.s[0].visible && e.tit.visible);
  EXPECT_TRUE(e.sat.caption.ends_with(" satellites being tracked.")) << e.sat.caption;

  qt::QtUi ui([this] { return app->win.all(); });
  ui.refresh();
  const QImage shot = ui.view(e)->snapshot();
  const auto png = shotpath("engineering_window_with_satellites.png");
  EXPECT_TRUE(shot.save(QString::fromStdString(png.string())));
  RecordProperty("screenshot_engineering", png.string());
}

}  // namespace
}  // namespace zarn::test
