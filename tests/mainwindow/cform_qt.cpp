// The control panel drawn offscreen over the demo data, its buttons and lists clicked through
// the views.
#include <QListWidget>

#include "app/main/shell.h"
#include "mainwindow/cform.h"
#include "mainwindow/datafiles.h"
#include "mainwindow/layout.h"
#include "mapdisplay/pictures.h"
#include "platform/qt/formview.h"
#include "platform/qt/qtservices.h"
#include "platform/qt_support.h"
#include "support/app_fixture.h"
#include "support/builders.h"

namespace zarn::test {
namespace {

using namespace qttest;

using ControlPanel = AppTest;

TEST_F(ControlPanel, DrawnWithItsListsAndAnsweringClicks) {
  make(nullptr, std::make_unique<qt::QtImageStore>());  // pictures the views can draw
  demomaps(*app);
  readloc(app->files, app->geo, app->nav, app->win.get<CForm>());
  app->map.trailcolour = ui::red;
  app->win.zarn.car.setpicture(loadpicture(app->files, *app->sys.images, "CARICON0.ICO"));  // as start-up leaves it
  Shell shell(*app);
  shell.onend = [] {}, shell.start();
  showcform(*app);
  CForm& c = app->win.get<CForm>();
  showhistint(app->map, c);
  shell.ui().refresh();
  qt::FormView* view = shell.ui().view(c);
  ASSERT_TRUE(view);

  click(view->widget(c.histcmd), {20, 10});
  click(view->widget(c.comspdcmd), {20, 10});
  shell.ui().refresh();
  EXPECT_EQ(std::tuple(c.histcmd.caption, c.comspdcmd.caption, serial->settings), std::tuple("60 sec", "COM 9600", "9600,N,8,1"));
  auto* maps = qobject_cast<QListWidget*>(view->widget(c.map));
  ASSERT_TRUE(maps);
  ASSERT_EQ(maps->count(), 6);
  EXPECT_EQ(maps->item(3)->text().toStdString(), "Cheshire");
  maps->setCurrentRow(3);  // as a touch on the row selects it
  EXPECT_EQ(app->map.mapname[app->map.curmap], "CHESH");

  shell.ui().refresh();
  const QImage img = view->snapshot();
  img.save(QString::fromStdString((std::filesystem::read_symlink("/proc/self/exe").parent_path() / "control-panel.png").string()));
  ASSERT_EQ(std::tuple(img.width(), img.height()), std::tuple(c.width, c.height));
  pixels(img, {{c.h[1].left + 4, c.h[1].top + 4, Qt::red, "the 60 sec mark in the trail colour"},
               {c.h[0].left + 4, c.h[0].top + 4, QColor(0xC0, 0xC0, 0xC0), "the 10 sec mark gone"}});
}

}  // namespace
}  // namespace zarn::test
