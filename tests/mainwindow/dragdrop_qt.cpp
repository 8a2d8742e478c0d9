// Real mouse drags in the program's windows: the icon panel's picture dragged onto OK runs the
// entry as a drop does, and a press in place still runs it as a touch; the message line dragged
// over the map goes where it is dropped; with MOUSEPTR.ICO the pointer over the map is the cross.
// The offscreen platform ends every drag at once and drops nothing: the drop is given to the
// window as the window system would give it, carrying what the drag carried.
#include <QDrag>
#include <QMimeData>

#include "mainwindow/flags.h"
#include "mainwindow/iconpanel.h"
#include "mainwindow/keypad.h"
#include "mainwindow/keys.h"
#include "mainwindow/smallservices.h"
#include "platform/qt/formview.h"
#include "platform/qt/qtservices.h"
#include "platform/qt/qtui.h"
#include "platform/qt_support.h"
#include "support/app_fixture.h"

namespace zarn::test {
namespace {

using namespace qttest;

class DragDropQt : public AppTest {
 protected:
  void SetUp() override {
    AppTest::SetUp();
    make(nullptr, std::make_unique<qt::QtImageStore>());
    wirekeys(*app);
    ui = std::make_unique<qt::QtUi>([this] { return app->win.all(); });
  }
  // Presses the control in its window, moves the pointer `by` with the button held and lets go:
  // what the drag carried (nothing when there was no drag).
  std::unique_ptr<QMimeData> drag(ui::Control& c, QPointF by) {
    qt::FormView* v = ui->view(*c.form);
    QCoreApplication::sendPostedEvents(nullptr, QEvent::DeferredDelete);  // earlier drags
    const QPointF from(c.left + c.width / 2.0, c.top + c.height / 2.0);
    send(v, QEvent::MouseButtonPress, from, Qt::LeftButton, Qt::LeftButton);
    send(v, QEvent::MouseMove, from + by / 2, Qt::NoButton, Qt::LeftButton);
    send(v, QEvent::MouseMove, from + by, Qt::NoButton, Qt::LeftButton);
    auto data = std::make_unique<QMimeData>();
    for (QDrag* d : v->findChildren<QDrag*>())
      for (const QString& f : d->mimeData()->formats()) data->setData(f, d->mimeData()->data(f));
    send(v, QEvent::MouseButtonRelease, from + by, Qt::LeftButton, Qt::NoButton);
    return data;
  }
  void drop(ui::Form& on, QPointF at, const QMimeData& data) { qttest::drop(ui->view(on), at, &data); }
  bool shown(const char* form) {
    const ui::Form* f = app->win.find(form);
    return f && f->visible;
  }
  std::unique_ptr<qt::QtUi> ui;
};

TEST_F(DragDropQt, ThePanelsPictureDroppedOnOkRunsTheEntryAsADrop) {
  put("controls.cfg", "KEYS,,,Key pads\r\n");
  ControlsForm& c = controlswindow(*app);
  showcontrols(c, app->main, app->win.zarn);
  app->win.zarn.saytxt.top = 432;
  ui->refresh();
  const auto carried = drag(c.Image1, {60, 90});
  EXPECT_FALSE(shown("qkform") || shown("kform")) << "a drag is no touch of the picture";
  drop(c, {c.conok.left + 10.0, c.conok.top + 10.0}, *carried);
  EXPECT_EQ(std::tuple(shown("qkform"), shown("kform"), app->win.zarn.saytxt.top), std::tuple(true, false, 432))
      << "dropped on OK: the keyboard alone, the message line left where it is";
  app->win.get<QkForm>().hide();
  ui->refresh();
  click(ui->view(c), {c.Image1.left + 48.0, c.Image1.top + 48.0});
  EXPECT_EQ(std::tuple(shown("qkform"), shown("kform"), app->win.zarn.saytxt.top), std::tuple(true, true, 426))
      << "touched in place: the entry as OK runs it";
}

TEST_F(DragDropQt, TheMessageLineDraggedOverTheMapGoesWhereItIsDroppedUnderTheCross) {
  ZarnForm& z = app->win.zarn;
  z.saytxt.set("Knutsford 2 miles");
  z.saytxt.visible = true;
  z.saytxt.move(10, 432, 300, 16);
  z.show();
  ui->refresh();
  const auto carried = drag(z.saytxt, {40, -200});
  ASSERT_FALSE(carried->formats().isEmpty()) << "the line was dragged";
  drop(z, {120, 150}, *carried);
  EXPECT_EQ(std::pair(z.saytxt.left, z.saytxt.top), std::pair(120, 150)) << "dropped on the map picture";
  ControlsForm& c = controlswindow(*app);
  showcontrols(c, app->main, z);
  ui->refresh();
  const int left = c.Image1.left;
  drop(z, {200, 200}, *drag(c.Image1, {60, 90}));
  EXPECT_EQ(c.Image1.left, left) << "another window's control stays in its own window";

  EXPECT_EQ(ui->view(z)->cursor().shape(), Qt::ArrowCursor);
  std::filesystem::copy(std::filesystem::path(ZARN_SOURCE_DIR) / "data" / "demo" / "CARICON0.ICO", dir / "MOUSEPTR.ICO");
  readinputflags(*app);
  ui->refresh();
  EXPECT_EQ(ui->view(z)->cursor().shape(), Qt::CrossCursor);
}

}  // namespace
}  // namespace zarn::test
