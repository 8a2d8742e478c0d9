// User input reaches the model's handlers; widgets and the model stay in step both ways.
#include <gtest/gtest.h>

#include <QCheckBox>
#include <QCloseEvent>
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

class Panel : public ui::Form {
 public:
  Panel() : ui::Form("panel") {
    width = 400;
    height = 300;
    map.underlay = true;
    add(map, "map");
    map.move(0, 0, 300, 300);
    add(icon, "icon");
    icon.move(100, 100, 32, 32);
    add(plain, "plain");  // no handlers: clicks fall through it
    plain.move(200, 200, 50, 20);
    add(lamp, "lamp");
    lamp.move(100, 120, 20, 20);  // under the icon's lower part, drawn above it
    add(ok, "ok");
    ok.move(310, 10, 80, 25);
    add(entry, "entry");
    entry.move(310, 50, 80, 25);
    add(notes, "notes");
    notes.move(310, 80, 80, 60);
    notes.multiline = true;
    add(list, "list");
    list.move(310, 150, 80, 100);
    add(sound, "sound");
    sound.move(310, 260, 80, 25);
  }
  ui::Image map, icon;
  ui::Label plain, lamp;
  ui::Button ok;
  ui::TextBox entry, notes;
  ui::ListBox list;
  ui::CheckBox sound;
};

struct Seen {
  std::string who;
  int button, shift;
  double x, y;
};

struct InputTest : ::testing::Test {
  Panel panel;
  QtUi ui{[this] { return std::vector<ui::Form*>{&panel}; }};
  std::vector<Seen> seen;
  std::vector<std::string> events;

  std::function<void(const ui::MouseEvent&)> record(std::string who) {
    return [this, who](const ui::MouseEvent& e) { seen.push_back({who, e.button, e.shift, e.x, e.y}); };
  }
  std::function<void()> note(std::string what) {
    return [this, what] { events.push_back(what); };
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
    panel.show();
    ui.refresh();
  }
  FormView* view() { return ui.view(panel); }
};

TEST_F(InputTest, MouseGoesToTheFrontMostControlWithAHandlerInItsOwnCoordinates) {
  press(view(), {110, 105}, Qt::LeftButton);
  release(view(), {110, 105}, Qt::LeftButton);
  ASSERT_EQ(seen.size(), 2u);
  EXPECT_EQ(seen[0].who, "icon down");
  EXPECT_EQ(seen[0].x, 10);
  EXPECT_EQ(seen[0].y, 5);
  EXPECT_EQ(seen[0].button, ui::button_left);
  EXPECT_EQ(seen[1].who, "icon up");
  EXPECT_EQ(events, std::vector<std::string>{"icon click"});

  seen.clear();
  events.clear();
  press(view(), {105, 125}, Qt::LeftButton);  // the lamp lies above the icon there
  release(view(), {105, 125}, Qt::LeftButton);
  EXPECT_TRUE(seen.empty()) << "the lamp has no mouse-down handler, and it hides the icon";
  EXPECT_EQ(events, std::vector<std::string>{"lamp click"});

  seen.clear();
  press(view(), {210, 205}, Qt::RightButton, Qt::ShiftModifier | Qt::ControlModifier);
  ASSERT_EQ(seen.size(), 1u);
  EXPECT_EQ(seen[0].who, "map down") << "a label without handlers lets the map take the click";
  EXPECT_EQ(seen[0].x, 210) << "the map at 0,0: its coordinates are the form's";
  EXPECT_EQ(seen[0].button, ui::button_right);
  EXPECT_EQ(seen[0].shift, ui::shift_shift | ui::shift_ctrl);
  release(view(), {210, 205}, Qt::RightButton);

  seen.clear();
  press(view(), {305, 290}, Qt::MiddleButton);
  ASSERT_EQ(seen.size(), 1u);
  EXPECT_EQ(seen[0].who, "form down") << "outside every control: the form";
  EXPECT_EQ(seen[0].x, 305);
  EXPECT_EQ(seen[0].button, ui::button_middle);
  release(view(), {305, 290}, Qt::MiddleButton);

  seen.clear();
  panel.map.visible = false;
  press(view(), {50, 50});
  ASSERT_EQ(seen.size(), 1u);
  EXPECT_EQ(seen[0].who, "form down") << "hidden controls take no clicks";
  release(view(), {50, 50});
  panel.map.visible = true;
  panel.icon.enabled = false;
  seen.clear();
  press(view(), {110, 105});
  ASSERT_EQ(seen.size(), 1u);
  EXPECT_EQ(seen[0].who, "map down") << "nor do disabled ones";
  release(view(), {110, 105});
}

TEST_F(InputTest, ThePressedControlKeepsThePointerAndClicksNeedTheReleaseOverIt) {
  press(view(), {110, 105});
  moveto(view(), {50, 40}, Qt::LeftButton);
  release(view(), {50, 40});
  ASSERT_EQ(seen.size(), 3u);
  EXPECT_EQ(seen[1].who, "icon move");
  EXPECT_EQ(seen[1].x, -50) << "outside the icon, still relative to it";
  EXPECT_EQ(seen[1].button, ui::button_left) << "moves report the buttons held";
  EXPECT_EQ(seen[2].who, "icon up");
  EXPECT_TRUE(events.empty()) << "released away from the icon: no click";

  seen.clear();
  moveto(view(), {50, 40});
  ASSERT_EQ(seen.size(), 1u);
  EXPECT_EQ(seen[0].who, "map move") << "without buttons, moves go to what is under the pointer";
  EXPECT_EQ(seen[0].button, 0);
}

TEST_F(InputTest, DoubleClickComesAfterTheFirstClick) {
  press(view(), {110, 105});
  release(view(), {110, 105});
  dblclick(view(), {110, 105});
  release(view(), {110, 105});
  EXPECT_EQ(events, (std::vector<std::string>{"icon click", "icon dblclick"}));
  ASSERT_EQ(seen.size(), 3u);
  EXPECT_EQ(seen[0].who, "icon down");
  EXPECT_EQ(seen[1].who, "icon up");
  EXPECT_EQ(seen[2].who, "icon up") << "the second release still goes up";

  events.clear();
  press(view(), {305, 10});
  release(view(), {305, 10});
  EXPECT_EQ(events, std::vector<std::string>{"form click"});
}

TEST_F(InputTest, AControlUnloadedWhileHoldingThePointerGetsNothingMore) {
  class Arr : public ui::Form {
   public:
    Arr() : ui::Form("arr") { add(icons, "icons"); }
    ui::ControlArray<ui::Image> icons;
  } form;
  QtUi ui2([&] { return std::vector<ui::Form*>{&form}; });
  int downs = 0, ups = 0;
  form.icons[0].move(0, 0, 10, 10);
  form.icons[0].onMouseDown = [&](const ui::MouseEvent&) { ++downs; };
  form.icons[0].onMouseUp = [&](const ui::MouseEvent&) { ++ups; };
  auto& e = form.icons.load(1);
  e.move(20, 20, 10, 10);
  e.visible = true;
  e.onMouseDown = [&](const ui::MouseEvent&) {
    ++downs;
    form.icons.unload(1);  // a handler may remove its own control
  };
  form.show();
  ui2.refresh();
  press(ui2.view(form), {25, 25});
  release(ui2.view(form), {25, 25});
  EXPECT_EQ(downs, 1);
  EXPECT_EQ(ups, 0);
}

TEST_F(InputTest, KeysReachTheFormAsKeyDownKeyPressAndKeyUp) {
  std::vector<std::string> keys;
  panel.onKeyDown = [&](int& k, int shift) { keys.push_back("down " + std::to_string(k) + "/" + std::to_string(shift)); };
  panel.onKeyPress = [&](int& k) { keys.push_back("press " + std::to_string(k)); };
  panel.onKeyUp = [&](int& k, int shift) { keys.push_back("up " + std::to_string(k) + "/" + std::to_string(shift)); };
  key(view(), Qt::Key_Escape, Qt::NoModifier, "\x1b");
  key(view(), Qt::Key_Q, Qt::ShiftModifier, "Q");
  key(view(), Qt::Key_F2, Qt::NoModifier, "");
  key(view(), Qt::Key_notsign, Qt::NoModifier, QString(QChar(0xAC)));
  EXPECT_EQ(keys, (std::vector<std::string>{"down 27/0", "press 27", "up 27/0", "down 81/1", "press 81", "up 81/1",
                                            "down 113/0", "up 113/0", "down 192/0", "press 172", "up 192/0"}));
}

TEST_F(InputTest, ClosingAWindowHidesItAndClosingTheMainWindowIsEscape) {
  ui::Form second("second");
  second.show();
  std::vector<int> pressed;
  panel.onKeyPress = [&](int& k) { pressed.push_back(k); };
  QtUi both([&] { return std::vector<ui::Form*>{&panel, &second}; });
  both.refresh();
  ASSERT_NE(both.view(second), nullptr);
  both.view(second)->close();
  EXPECT_FALSE(second.visible) << "the model follows the window manager's close";
  EXPECT_FALSE(both.view(second)->isVisible());
  EXPECT_NE(both.view(second), nullptr) << "the window is kept for showing again";
  second.show();
  both.refresh();
  EXPECT_TRUE(both.view(second)->isVisible());

  both.view(panel)->close();
  EXPECT_EQ(pressed, std::vector<int>{27});
  EXPECT_TRUE(panel.visible) << "the main window's close is its Escape key, nothing more";
}

TEST_F(InputTest, WidgetsShowTheModelAndUserEditsGoBackIntoIt) {
  panel.ok.caption = "ON";
  panel.entry.text = "M6";
  panel.notes.text = "line 1\r\nline 2";
  panel.list.additem("Chester");
  panel.list.additem("Crewe");
  panel.list.additem("Nantwich");
  panel.list.listindex = 1;
  panel.sound.caption = "Sound";
  panel.sound.value = 1;
  std::vector<std::string> got;
  panel.ok.onClick = [&] { got.push_back("ok " + panel.ok.caption); };
  panel.entry.onChange = [&] { got.push_back("entry " + panel.entry.text); };
  panel.notes.onChange = [&] { got.push_back("notes changed"); };
  panel.list.onClick = [&] { got.push_back("list " + std::to_string(panel.list.listindex)); };
  panel.sound.onClick = [&] { got.push_back("sound " + std::to_string(panel.sound.value)); };
  ui.refresh();

  auto* ok = qobject_cast<QPushButton*>(view()->widget(panel.ok));
  auto* entry = qobject_cast<QLineEdit*>(view()->widget(panel.entry));
  auto* notes = qobject_cast<QPlainTextEdit*>(view()->widget(panel.notes));
  auto* list = qobject_cast<QListWidget*>(view()->widget(panel.list));
  auto* sound = qobject_cast<QCheckBox*>(view()->widget(panel.sound));
  ASSERT_TRUE(ok && entry && notes && list && sound);
  EXPECT_EQ(ok->text(), "ON");
  EXPECT_EQ(ok->geometry(), QRect(310, 10, 80, 25));
  EXPECT_EQ(entry->text(), "M6");
  EXPECT_EQ(notes->toPlainText(), "line 1\nline 2");
  EXPECT_EQ(list->count(), 3);
  EXPECT_EQ(list->currentRow(), 1);
  EXPECT_TRUE(sound->isChecked());
  EXPECT_TRUE(got.empty()) << "showing the model fires no handlers";

  ok->click();
  key(entry, Qt::Key_1, Qt::NoModifier, "1");
  list->setCurrentRow(2);
  sound->click();
  EXPECT_EQ(panel.entry.text, "M61");
  EXPECT_EQ(panel.list.listindex, 2);
  EXPECT_EQ(panel.sound.value, 0);
  EXPECT_EQ(got, (std::vector<std::string>{"ok ON", "entry M61", "list 2", "sound 0"}));

  notes->appendPlainText("line 3");
  EXPECT_EQ(panel.notes.text, "line 1\r\nline 2\r\nline 3") << "line ends go back as CR LF";

  // And the model's later changes come through again.
  got.clear();
  panel.ok.caption = "OFF";
  panel.entry.text = "A55 \xE9";
  panel.list.clear();
  panel.list.additem("Wrexham");
  panel.sound.visible = false;
  panel.entry.locked = true;
  ui.refresh();
  EXPECT_EQ(ok->text(), "OFF");
  EXPECT_EQ(entry->text(), QString::fromUtf8("A55 \u00E9"));
  EXPECT_TRUE(entry->isReadOnly());
  EXPECT_EQ(list->count(), 1);
  EXPECT_EQ(list->currentRow(), -1);
  EXPECT_TRUE(sound->isHidden());
  EXPECT_TRUE(got.empty());
}

TEST_F(InputTest, KeysAWidgetDoesNotUseReachTheForm) {
  std::vector<int> pressed;
  panel.onKeyPress = [&](int& k) { pressed.push_back(k); };
  panel.entry.locked = true;
  panel.notes.locked = true;
  ui.refresh();
  auto* entry = view()->widget(panel.entry);
  auto* notes = view()->widget(panel.notes);
  key(entry, Qt::Key_Return, Qt::NoModifier, "\r");
  key(notes, Qt::Key_A, Qt::NoModifier, "a");
  key(notes, Qt::Key_Escape, Qt::NoModifier, "\x1b");
  EXPECT_EQ(pressed, (std::vector<int>{13, 'a', 27}));
}

}  // namespace
}  // namespace zarn::qt
