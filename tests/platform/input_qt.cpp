// User input reaches the model's handlers; widgets and the model stay in step both ways.
#include <gtest/gtest.h>

#include <QCheckBox>
#include <QLineEdit>
#include <QListWidget>
#include <QPlainTextEdit>
#include <QPushButton>

#include "platform/qt/formview.h"
#include "platform/qt/qtui.h"
#include "platform/qt_support.h"
#include "platform/ui.h"

namespace zarn::qt {
namespace {

using namespace qttest;
using strings = std::vector<std::string>;

class Panel : public ui::Form {
 public:
  Panel() : ui::Form("panel") {
    width = 400;
    height = 300;
    map.underlay = true;
    put(map, "map", 0, 0, 300, 300);
    put(icon, "icon", 100, 100, 32, 32);
    put(plain, "plain", 200, 200, 50, 20);  // no handlers: clicks fall through it
    put(lamp, "lamp", 100, 120, 20, 20);    // under the icon's lower part, drawn above it
    put(ok, "ok", 310, 10, 80, 25);
    put(entry, "entry", 310, 50, 80, 25);
    put(notes, "notes", 310, 80, 80, 60);
    notes.multiline = true;
    put(list, "list", 310, 150, 80, 100);
    put(sound, "sound", 310, 260, 80, 25);
    add(marks, "marks");
  }
  template <class C>
  void put(C& c, const char* name, int l, int t, int w, int h) {
    add(c, name);
    c.move(l, t, w, h);
  }
  ui::Image map, icon;
  ui::Label plain, lamp;
  ui::Button ok;
  ui::TextBox entry, notes;
  ui::ListBox list;
  ui::CheckBox sound;
  ui::ControlArray<ui::Image> marks;
};

struct InputTest : ::testing::Test {
  Panel panel;
  QtUi ui{[this] { return std::vector<ui::Form*>{&panel}; }};
  strings log;  // "who x,y buttons/shift" for mouse handlers, "who click" for clicks

  std::function<void(const ui::MouseEvent&)> record(std::string who) {
    return [this, who](const ui::MouseEvent& e) {
      log.push_back(who + " " + std::to_string(int(e.x)) + "," + std::to_string(int(e.y)) + " " +
                    std::to_string(e.button) + "/" + std::to_string(e.shift));
    };
  }
  std::function<void()> note(std::string what) {
    return [this, what] { log.push_back(what); };
  }
  void SetUp() override {
    panel.map.onMouseDown = record("map down");
    panel.map.onMouseMove = record("map move");
    panel.icon.onMouseDown = record("icon down");
    panel.icon.onMouseUp = record("icon up");
    panel.icon.onMouseMove = record("icon move");
    panel.icon.onClick = note("icon click");
    panel.icon.onDblClick = note("icon dblclick");
    panel.lamp.onClick = note("lamp click");
    panel.onMouseDown = record("form down");
    panel.onClick = note("form click");
    panel.onKeyPress = [this](int& k) { log.push_back("press " + std::to_string(k)); };
    panel.show();
    ui.refresh();
  }
  FormView* view() { return ui.view(panel); }
  strings taken() { return std::exchange(log, {}); }
};

TEST_F(InputTest, MouseGoesToTheFrontMostControlWithAHandlerInItsOwnCoordinates) {
  const struct { const char* guards; QPointF at; Qt::MouseButton button; Qt::KeyboardModifiers mods; strings want; }
      cases[] = {
      {"the icon, in its own coordinates", {110, 105}, Qt::LeftButton, Qt::NoModifier,
       {"icon down 10,5 1/0", "icon up 10,5 1/0", "icon click"}},
      {"the lamp lies above the icon and has no mouse-down handler", {105, 125}, Qt::LeftButton, Qt::NoModifier,
       {"lamp click"}},
      {"a label without handlers lets the map at 0,0 take the click", {210, 205}, Qt::RightButton,
       Qt::ShiftModifier | Qt::ControlModifier, {"map down 210,205 2/3"}},
      {"outside every control: the form", {305, 290}, Qt::MiddleButton, Qt::NoModifier,
       {"form down 305,290 4/0", "form click"}},
  };
  for (const auto& c : cases) {
    click(view(), c.at, c.button, c.mods);
    EXPECT_EQ(taken(), c.want) << c.guards;
  }
  panel.map.visible = false;
  click(view(), {50, 50});
  EXPECT_EQ(taken(), (strings{"form down 50,50 1/0", "form click"})) << "hidden controls take no clicks";
  panel.map.visible = true;
  panel.icon.enabled = false;
  click(view(), {110, 105});
  EXPECT_EQ(taken(), strings{"map down 110,105 1/0"}) << "nor do disabled ones";
}

TEST_F(InputTest, ThePressedControlKeepsThePointerAndClicksNeedTheReleaseOverIt) {
  send(view(), QEvent::MouseButtonPress, {110, 105}, Qt::LeftButton, Qt::LeftButton);
  send(view(), QEvent::MouseMove, {50, 40}, Qt::NoButton, Qt::LeftButton);
  send(view(), QEvent::MouseButtonRelease, {50, 40}, Qt::LeftButton, Qt::NoButton);
  EXPECT_EQ(taken(), (strings{"icon down 10,5 1/0", "icon move -50,-60 1/0", "icon up -50,-60 1/0"}))
      << "outside the icon, still relative to it, moves report the buttons held, no click";
  send(view(), QEvent::MouseMove, {50, 40}, Qt::NoButton, Qt::NoButton);
  EXPECT_EQ(taken(), strings{"map move 50,40 0/0"}) << "without buttons, moves go to what is under the pointer";

  click(view(), {110, 105});
  send(view(), QEvent::MouseButtonDblClick, {110, 105}, Qt::LeftButton, Qt::LeftButton);
  send(view(), QEvent::MouseButtonRelease, {110, 105}, Qt::LeftButton, Qt::NoButton);
  EXPECT_EQ(taken(), (strings{"icon down 10,5 1/0", "icon up 10,5 1/0", "icon click", "icon dblclick",
                              "icon up 10,5 1/0"}))
      << "a double click comes after the first click";
}

TEST_F(InputTest, AControlUnloadedWhileHoldingThePointerGetsNothingMore) {
  auto& m = panel.marks.load(1);
  m.move(20, 20, 10, 10);
  m.visible = true;
  m.onMouseDown = [&](const ui::MouseEvent&) {
    log.push_back("mark down");
    panel.marks.unload(1);  // a handler may remove its own control
  };
  m.onMouseUp = record("mark up");
  ui.refresh();
  click(view(), {25, 25});
  EXPECT_EQ(taken(), strings{"mark down"});
}

TEST_F(InputTest, KeysReachTheFormEvenThroughWidgetsThatDoNotUseThem) {
  auto keys = [this](std::string what) {
    return [this, what](int& k, int shift) { log.push_back(what + std::to_string(k) + "/" + std::to_string(shift)); };
  };
  panel.onKeyDown = keys("down ");
  panel.onKeyUp = keys("up ");
  key(view(), Qt::Key_Escape, Qt::NoModifier, "\x1b");
  key(view(), Qt::Key_Q, Qt::ShiftModifier, "Q");
  key(view(), Qt::Key_F2, Qt::NoModifier, "");
  key(view(), Qt::Key_notsign, Qt::NoModifier, QString(QChar(0xAC)));
  EXPECT_EQ(taken(), (strings{"down 27/0", "press 27", "up 27/0", "down 81/1", "press 81", "up 81/1", "down 113/0",
                              "up 113/0", "down 192/0", "press 172", "up 192/0"}));

  panel.onKeyDown = panel.onKeyUp = nullptr;
  panel.entry.locked = panel.notes.locked = true;
  ui.refresh();
  key(view()->widget(panel.entry), Qt::Key_Return, Qt::NoModifier, "\r");
  key(view()->widget(panel.notes), Qt::Key_A, Qt::NoModifier, "a");
  key(view()->widget(panel.notes), Qt::Key_Escape, Qt::NoModifier, "\x1b");
  EXPECT_EQ(taken(), (strings{"press 13", "press 97", "press 27"}));
}

TEST_F(InputTest, ClosingAWindowHidesItAndClosingTheMainWindowIsEscape) {
  ui::Form second("second");
  second.show();
  QtUi both([&] { return std::vector<ui::Form*>{&panel, &second}; });
  both.refresh();
  both.view(second)->close();
  EXPECT_FALSE(second.visible) << "the model follows the window manager's close";
  second.show();
  both.refresh();
  EXPECT_TRUE(both.view(second)->isVisible()) << "the window is kept for showing again";
  both.view(panel)->close();
  EXPECT_EQ(taken(), strings{"press 27"});
  EXPECT_TRUE(panel.visible) << "the main window's close is its Escape key, nothing more";
}

TEST_F(InputTest, WidgetsShowTheModelAndUserEditsGoBackIntoIt) {
  panel.ok.caption = "ON";
  panel.entry.text = "M6";
  panel.notes.text = "line 1\r\nline 2";
  for (const char* town : {"Chester", "Crewe", "Nantwich"}) panel.list.additem(town);
  panel.list.listindex = 1;
  panel.sound.value = 1;
  panel.ok.onClick = [&] { log.push_back("ok " + panel.ok.caption); };
  panel.entry.onChange = [&] { log.push_back("entry " + panel.entry.text); };
  panel.list.onClick = [&] { log.push_back("list " + std::to_string(panel.list.listindex)); };
  panel.sound.onClick = [&] { log.push_back("sound " + std::to_string(panel.sound.value)); };
  ui.refresh();
  auto* ok = qobject_cast<QPushButton*>(view()->widget(panel.ok));
  auto* entry = qobject_cast<QLineEdit*>(view()->widget(panel.entry));
  auto* notes = qobject_cast<QPlainTextEdit*>(view()->widget(panel.notes));
  auto* list = qobject_cast<QListWidget*>(view()->widget(panel.list));
  auto* sound = qobject_cast<QCheckBox*>(view()->widget(panel.sound));
  ASSERT_TRUE(ok && entry && notes && list && sound);
  EXPECT_EQ(notes->toPlainText(), "line 1\nline 2");
  EXPECT_TRUE(list->currentRow() == 1 && sound->isChecked());
  EXPECT_TRUE(log.empty()) << "showing the model fires no handlers";

  ok->click();
  key(entry, Qt::Key_1, Qt::NoModifier, "1");
  list->setCurrentRow(2);
  sound->click();
  EXPECT_EQ(taken(), (strings{"ok ON", "entry M61", "list 2", "sound 0"}));
  notes->appendPlainText("line 3");
  EXPECT_EQ(panel.notes.text, "line 1\r\nline 2\r\nline 3") << "line ends go back as CR LF";

  // The model's later changes come through again, without firing handlers.
  panel.entry.text = "A55 \xE9";
  panel.entry.locked = true;
  panel.list.clear();
  panel.sound.visible = false;
  ui.refresh();
  EXPECT_EQ(entry->text(), QString::fromUtf8("A55 \u00E9")) << "Latin-1 text shown";
  EXPECT_TRUE(entry->isReadOnly() && list->count() == 0 && sound->isHidden());
  EXPECT_TRUE(log.empty());
}

}  // namespace
}  // namespace zarn::qt
