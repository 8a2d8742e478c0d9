// Keys from the running program's windows reach the key handler; the help overlay by its buttons.
#include "app/main/shell.h"
#include "mainwindow/cform.h"
#include "mainwindow/flags.h"
#include "mainwindow/help.h"
#include "mainwindow/layout.h"
#include "mapdisplay/owncar.h"
#include "platform/qt/formview.h"
#include "platform/qt_support.h"
#include "support/app_fixture.h"

namespace zarn::test {
namespace {

using namespace qttest;

using Running = AppTest;

TEST_F(Running, KeysReachTheHandlerFromEveryWindowAndTheHelpButtonsOpenAndCloseTheOverlay) {
  auto& z = app->win.zarn;
  std::tie(app->main.fndcount, app->main.searchlists[2], app->main.demoon) = std::tuple(2, "ZARN.WAW", 1);
  designlayout(app->win.zarn);
  z.backcolor = ui::cyan;  // no map: the window's own colour shows where it would be
  Shell shell(*app);
  shell.onend = [] {}, shell.start();
  auto view = [&](const ui::Form& f, const ui::Control* c = nullptr) -> QWidget* {
    return c ? shell.ui().view(f)->widget(*c) : shell.ui().view(f);
  };
  auto type = [](QWidget* w, const QString& keys) {
    const std::map<char16_t, Qt::Key> named{{'\b', Qt::Key_Backspace}, {'\r', Qt::Key_Return}, {27, Qt::Key_Escape}};
    for (QChar c : keys) key(w, named.count(c.unicode()) ? named.at(c.unicode()) : Qt::Key(c.toUpper().unicode()), {}, c);
  };
  type(view(z), "`Knutsforx");
  type(view(z, &z.search), "\bD");  // the box has the focus now
  auto* box = qobject_cast<QLineEdit*>(view(z, &z.search));
  ASSERT_TRUE(box);
  EXPECT_EQ(std::tuple(z.search.text, box->text().toStdString(), app->main.demoon, z.modebox.caption),
            std::tuple("KnutsforD", "KnutsforD", 0, "SIM")) << "typed, shown, and the first key ended the demo";
  type(view(z, &z.search), "\r");
  EXPECT_TRUE(app->main.typingmode == 0 && box->isHidden()) << "Enter runs it and closes the box";
  CForm& c = app->win.get<CForm>();
  c.show(), shell.ui().refresh();
  type(view(c), "+");
  type(view(c, &c.csgn), "\x1b");
  EXPECT_EQ(std::tuple(app->main.searchidx, app->main.quit), std::tuple(2, false))
      << "the control panel passes its keys on, but a box that takes typing keeps them";

  // The help overlay, opened by the help button, closed by the hide-help button.
  auto shot = [&](const char* name) {  // saved beside the test program
    QImage img = (view(z)->repaint(), shell.ui().view(z)->snapshot());
    return img.save(QString::fromStdString((std::filesystem::read_symlink("/proc/self/exe").parent_path() / name).string())), img;
  };
  std::filesystem::copy(std::filesystem::path(ZARN_SOURCE_DIR) / "data" / "demo" / "zarn.hlp", dir);
  click(view(z), {620, 465});
  EXPECT_TRUE(z.Help.visible && z.Help.text.starts_with("ZARN - the moving map \r\n")) << "one blank ends each line";
  pixels(shot("help-open.png"), {{320, 150, Qt::white, "help text"}, {200, 380, Qt::white, "strip"},
                                 {121, 380, Qt::black, "callout inside the border"}, {586, 380, Qt::black, "by the width"}});
  for (int i = 0; i < 2; ++i) click(view(z), {622, 16});  // the text first, then the notes and the button
  EXPECT_TRUE(!z.Help.visible && !z.Image2.visible && z.logotxt.visible);
  pixels(shot("help-closed.png"), {{320, 150, Qt::cyan, "text gone"}, {200, 380, Qt::cyan, "strip"}, {20, 8, Qt::cyan, "notes"}});
  std::filesystem::remove(dir / "zarn.hlp");
  hello(*app);
  EXPECT_EQ(std::tuple(app->speech.msgtext, z.Help.visible), std::tuple("hello", false))
      << "no flag: greeted all the same; a closed overlay stays closed";
  click(view(z), {620, 465});
  EXPECT_TRUE(z.Help.visible && z.Help.text.empty()) << "no help file: open and empty";
  EXPECT_FALSE((click(view(z), {622, 16}), z.Help.visible)) << "and closable";
}

// The help button lies over its face, the grey "Help" at the end of the message line, in the
// fixed and in the scaled layout: a click on it opens the help and never reaches the map.
TEST_F(Running, TheHelpButtonOpensTheHelpOnEveryLayout) {
  auto& z = app->win.zarn;
  Shell shell(*app);
  shell.onend = [] {}, shell.start();
  int onmap = 0;
  z.onMouseDown = [&onmap](const ui::MouseEvent&) { ++onmap; };
  z.onClick = [&onmap] { ++onmap; };
  put("AUTORESO.CFG", "");
  for (int width : {640, 1280}) {
    app->sys.screen = [width] { return platform::ScreenArea{0, 0, width, width * 4 / 5}; };
    measurescreen(*app);
    readlayoutflags(app->files, app->map, app->main);
    designlayout(z);
    autoreso(*app);
    z.logotxt.visible = true;
    shell.ui().refresh();
    click(shell.ui().view(z), {z.logotxt.left + z.logotxt.width / 2.0, z.logotxt.top + z.logotxt.height / 2.0});
    EXPECT_TRUE(z.Help.visible && onmap == 0) << "at " << width << ": help " << z.Help.visible << ", " << onmap
                                              << " clicks on the map";
    hidehelp(z), hidehelp(z);
  }
}

// The notes beside the hide-help button lie over the map's top edge, where its grid labels are:
// they are written on a band of their own, in the fixed and in the scaled layout.
TEST_F(Running, TheHelpNotesHideWhatLiesUnderThem) {
  auto& z = app->win.zarn;
  Shell shell(*app);
  shell.onend = [] {}, shell.start();
  put("AUTORESO.CFG", "");
  for (int width : {640, 1280}) {
    app->sys.screen = [width] { return platform::ScreenArea{0, 0, width, width * 3 / 4}; };
    measurescreen(*app);
    readlayoutflags(app->files, app->map, app->main);
    designlayout(z);
    autoreso(*app);
    z.backcolor = ui::cyan;  // no map: the window's own colour shows where it would be
    showhelp(*app);
    shell.ui().refresh();
    shell.ui().view(z)->repaint();
    const QImage img = shell.ui().view(z)->snapshot();
    for (const ui::Label* l : {&z.Label1, &z.Label3}) {
      long cyan = 0, white = 0;
      for (int y = l->top; y < l->top + l->height; ++y)
        for (int x = l->left; x < l->left + l->width; ++x) {
          cyan += img.pixel(x, y) == QColor(Qt::cyan).rgb();
          const QRgb c = img.pixel(x, y);
          white += qRed(c) > 200 && qGreen(c) > 200 && qBlue(c) > 200;
        }
      EXPECT_TRUE(cyan == 0 && white > 20) << l->caption << " at " << width << ": " << cyan << " pixels of what lies under, "
                                           << white << " of text";
    }
    hidehelp(z), hidehelp(z);
  }
}

}  // namespace
}  // namespace zarn::test
