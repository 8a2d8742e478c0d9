// User input reaches the model's handlers in the old codes; widgets and the model stay in step
// both ways; message boxes answer in the old codes; the event pump runs what is pending.
#include <gtest/gtest.h>

#include <QDrag>
#include <QMimeData>
#include <QResizeEvent>

#include "platform/qt/formview.h"
#include "platform/qt/qtapp.h"
#include "platform/qt/qtkeys.h"
#include "platform/qt/qtservices.h"
#include "platform/qt/qtui.h"
#include "platform/qt_support.h"

namespace zarn::qt {
namespace {

using namespace qttest;
using strings = std::vector<std::string>;
constexpr auto none = Qt::NoModifier, shift = Qt::ShiftModifier, ctrl = Qt::ControlModifier, pad = Qt::KeypadModifier;

TEST(QtKeys, CharacterAndKeyCodes) {
  const QString pound(QChar(0xA3)), eacute(QChar(0xE9)), euro(QChar(0x20AC));
  const struct { const char* guards; int key; Qt::KeyboardModifiers mods; QString text; std::optional<int> ascii; }
      press[] = {
      {"keypad Enter is 13", Qt::Key_Enter, pad, "\r", 13}, {"Ctrl+Shift+C is 3", Qt::Key_C, ctrl | shift, "\x03", 3},
      {"Ctrl+digit types nothing", Qt::Key_5, ctrl, "5", {}}, {"Latin-1 pound", Qt::Key_sterling, shift, pound, 163},
      {"AltGr (Ctrl+Alt) characters come from the text", Qt::Key_E, ctrl | Qt::AltModifier, eacute, 233},
      {"Alt+letter is a menu key", Qt::Key_X, Qt::AltModifier, "x", {}}, {"euro", Qt::Key_unknown, none, euro, {}},
      {"Delete types nothing", Qt::Key_Delete, none, "\x7f", {}}, {"two characters", Qt::Key_unknown, none, "ab", {}},
  };
  for (const auto& c : press) EXPECT_EQ(keyascii(c.key, c.mods, c.text), c.ascii) << c.guards;
  const struct { const char* guards; int key; Qt::KeyboardModifiers mods; int code; } down[] = {
      {"letters are upper case whatever Shift", Qt::Key_Z, shift, 90}, {"Page Up", Qt::Key_PageUp, none, 33},
      {"shifted digit keeps the digit's code", Qt::Key_Exclam, shift, 49}, {"keypad 5", Qt::Key_5, pad, 101},
      {"keypad Home (Num Lock off) is Home", Qt::Key_Home, pad, 36}, {"keypad plus", Qt::Key_Plus, pad, 107},
      {"plus on the main keyboard", Qt::Key_Plus, shift, 187}, {"unknown key has no code", Qt::Key_unknown, none, 0},
  };
  for (const auto& c : down) EXPECT_EQ(keycode(c.key, c.mods), c.code) << c.guards;
}

// A map at 0,0 under an icon, a label without handlers, a label with one partly over the icon
// (drawn above it), the usual widgets, and a control array.
struct Panel : ui::Form {
  Panel() : ui::Form("panel") {
    map.underlay = notes.multiline = true;
    const std::pair<ui::Control*, QRect> at[] = {
        {&map, {0, 0, 300, 300}},    {&icon, {100, 100, 32, 32}}, {&plain, {200, 200, 50, 20}},
        {&lamp, {100, 120, 20, 20}}, {&ok, {310, 10, 80, 25}},    {&entry, {310, 50, 80, 25}},
        {&notes, {310, 80, 80, 60}}, {&list, {310, 150, 80, 100}}, {&sound, {310, 260, 80, 25}}};
    for (auto [c, r] : at) {
      add(*c, "c" + std::to_string(controls().size()));
      c->move(r.x(), r.y(), r.width(), r.height());
    }
    add(marks, "marks");
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
  ui::Form second{"second"};  // never shown in SetUp
  QtUi ui{[this] { return std::vector<ui::Form*>{&panel, &second}; }};
  strings log;  // "who x,y buttons/shift" for mouse handlers, "who click" for clicks

  std::function<void(const ui::MouseEvent&)> record(std::string who) {
    return [this, who](const ui::MouseEvent& e) {
      log.push_back(who + " " + std::to_string(int(e.x)) + "," + std::to_string(int(e.y)) + " " +
                    std::to_string(e.button) + "/" + std::to_string(e.shift));
    };
  }
  void SetUp() override {
    for (auto [h, who] : {std::pair{&panel.map.onMouseDown, "map down"}, {&panel.map.onMouseMove, "map move"},
                          {&panel.icon.onMouseDown, "icon down"}, {&panel.icon.onMouseUp, "icon up"},
                          {&panel.icon.onMouseMove, "icon move"}, {&panel.onMouseDown, "form down"}})
      *h = record(who);
    for (auto [h, what] : {std::pair{&panel.icon.onClick, "icon click"}, {&panel.icon.onDblClick, "icon dblclick"},
                           {&panel.lamp.onClick, "lamp click"}, {&panel.onClick, "form click"}})
      *h = [this, what = std::string(what)] { log.push_back(what); };
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
      {"the icon, in its own coordinates", {110, 105}, Qt::LeftButton, none,
       {"icon down 10,5 1/0", "icon up 10,5 1/0", "icon click"}},
      {"the lamp lies above the icon and has no mouse-down handler", {105, 125}, Qt::LeftButton, none, {"lamp click"}},
      {"a label without handlers lets the map at 0,0 take the click", {210, 205}, Qt::RightButton, shift | ctrl,
       {"map down 210,205 2/3"}},
      {"outside every control: the form", {305, 290}, Qt::MiddleButton, none, {"form down 305,290 4/0", "form click"}},
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

TEST_F(InputTest, ThePressedControlKeepsThePointerUntilReleasedOrUnloaded) {
  send(view(), QEvent::MouseButtonPress, {110, 105}, Qt::LeftButton, Qt::LeftButton);
  send(view(), QEvent::MouseMove, {50, 40}, Qt::NoButton, Qt::LeftButton);
  send(view(), QEvent::MouseButtonRelease, {50, 40}, Qt::LeftButton, Qt::NoButton);
  send(view(), QEvent::MouseMove, {50, 40}, Qt::NoButton, Qt::NoButton);
  EXPECT_EQ(taken(), (strings{"icon down 10,5 1/0", "icon move -50,-60 1/0", "icon up -50,-60 1/0",
                              "map move 50,40 0/0"}))
      << "outside the icon, relative to it, with the buttons held and no click; then to what is under the pointer";
  click(view(), {110, 105});
  send(view(), QEvent::MouseButtonDblClick, {110, 105}, Qt::LeftButton, Qt::LeftButton);
  send(view(), QEvent::MouseButtonRelease, {110, 105}, Qt::LeftButton, Qt::NoButton);
  EXPECT_EQ(taken(), (strings{"icon down 10,5 1/0", "icon up 10,5 1/0", "icon click", "icon dblclick",
                              "icon up 10,5 1/0"})) << "a double click comes after the first click";
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
  EXPECT_EQ(taken(), strings{"mark down"}) << "an unloaded control gets nothing more";
}

TEST_F(InputTest, KeysReachTheFormThroughWidgetsAndClosingAWindowHidesIt) {
  panel.onKeyDown = [this](int& k, int s) { log.push_back("down " + std::to_string(k) + "/" + std::to_string(s)); };
  panel.onKeyUp = [this](int& k, int s) { log.push_back("up " + std::to_string(k) + "/" + std::to_string(s)); };
  for (auto [k, m, text] : {std::tuple{Qt::Key_Escape, none, QString("\x1b")}, {Qt::Key_Q, shift, "Q"},
                            {Qt::Key_F2, none, ""}, {Qt::Key_notsign, none, QString(QChar(0xAC))}})
    key(view(), k, m, text);
  EXPECT_EQ(taken(), (strings{"down 27/0", "press 27", "up 27/0", "down 81/1", "press 81", "up 81/1", "down 113/0",
                              "up 113/0", "down 192/0", "press 172", "up 192/0"}));
  panel.onKeyDown = panel.onKeyUp = nullptr;
  panel.entry.locked = panel.notes.locked = true;
  ui.refresh();
  key(view()->widget(panel.entry), Qt::Key_Return, none, "\r");
  key(view()->widget(panel.notes), Qt::Key_A, none, "a");
  key(view()->widget(panel.notes), Qt::Key_Escape, none, "\x1b");
  EXPECT_EQ(taken(), (strings{"press 13", "press 97", "press 27"})) << "even through widgets that do not use them";

  EXPECT_EQ(ui.view(second), nullptr) << "no window until the form is first shown";
  second.show();
  ui.refresh();
  ui.view(second)->close();
  EXPECT_FALSE(second.visible) << "the model follows the window manager's close";
  second.show();
  ui.refresh();
  EXPECT_TRUE(ui.view(second)->isVisible()) << "the window is kept for showing again";
}

TEST_F(InputTest, SpaceOnAButtonOfAKeyWindowIsAKeyAndAWindowTakesTheKeysBackWhenAsked) {
  int clicks = 0;
  panel.ok.onClick = [&] { ++clicks; };
  key(view()->widget(panel.ok), Qt::Key_Space, none, " ");
  key(view()->widget(panel.ok), Qt::Key_Return, none, "\r");
  EXPECT_EQ(std::tuple(taken(), clicks), std::tuple(strings{"press 32", "press 13"}, 0)) << "typed, not pressed";

  // Another of our windows has the keys; the panel asks and gets them back.
  second.show();
  ui.refresh();
  ui.view(second)->activateWindow();
  QApplication::processEvents();
  if (QApplication::activeWindow() != ui.view(second)) GTEST_SKIP() << "this platform does not hand out activation";
  panel.takefocus();
  ui.refresh();
  QApplication::processEvents();
  EXPECT_EQ(QApplication::activeWindow(), view());
  EXPECT_TRUE(view()->hasFocus() || view()->isAncestorOf(QApplication::focusWidget()));
}

// The window's pointer shape; keys kept by an entry box still tell the window and the box; a
// control in drag mode pressed and moved is dragged, not clicked, and whatever takes drops under
// the drop point gets the control; the window taking the keys is told.
TEST_F(InputTest, PointerDragAndDropAndKeysKeptByABoxReachTheModel) {
  EXPECT_EQ(view()->cursor().shape(), Qt::ArrowCursor);
  panel.mousepointer = ui::Form::Pointer::cross;
  ui.refresh();
  EXPECT_EQ(view()->cursor().shape(), Qt::CrossCursor);

  panel.entry.onKeyDown = [this](int& k, int s) { log.push_back("entry down " + std::to_string(k) + "/" + std::to_string(s)); };
  panel.onBoxKey = [this] { log.push_back("box key"); };
  QWidget* entry = view()->widget(panel.entry);
  key(entry, Qt::Key_A, shift, "A");
  key(entry, Qt::Key_Left, none, "");
  EXPECT_EQ(taken(), (strings{"entry down 65/1", "box key", "entry down 37/0", "box key"}))
      << "typed into the box, which keeps them";
  panel.entry.locked = true;
  ui.refresh();
  key(entry, Qt::Key_A, none, "a");
  key(entry, Qt::Key_Left, none, "");
  EXPECT_EQ(taken(), (strings{"entry down 65/0", "press 97", "entry down 37/0", "box key"}))
      << "a locked box passes on what types and keeps the keys that move in it";

  const auto dropped = [this](std::string on) {
    return [this, on](ui::Control& source, double x, double y) {
      log.push_back(on + " drop " + source.name + " " + std::to_string(int(x)) + "," + std::to_string(int(y)));
    };
  };
  panel.ok.onDragDrop = dropped("ok");
  panel.onDragDrop = dropped("form");
  panel.icon.dragmode = true;
  send(view(), QEvent::MouseButtonPress, {110, 105}, Qt::LeftButton, Qt::LeftButton);
  send(view(), QEvent::MouseMove, {112, 106}, Qt::NoButton, Qt::LeftButton);
  EXPECT_TRUE(view()->findChildren<QDrag*>().isEmpty()) << "a tremble is no drag";
  send(view(), QEvent::MouseMove, {160, 150}, Qt::NoButton, Qt::LeftButton);
  const auto drags = view()->findChildren<QDrag*>();
  ASSERT_EQ(drags.size(), 1) << "the toolkit's drag";
  // The platform here drops nothing itself: the drop is given as the window system would give it.
  QMimeData carried;
  for (const QString& f : drags[0]->mimeData()->formats()) carried.setData(f, drags[0]->mimeData()->data(f));
  send(view(), QEvent::MouseButtonRelease, {160, 150}, Qt::LeftButton, Qt::NoButton);
  EXPECT_EQ(taken(), (strings{"icon down 10,5 1/0", "icon move 12,6 1/0"})) << "no click, no release after the drag";
  QMimeData text;
  text.setText("c1");
  for (auto [at, data] : {std::pair{QPointF(320, 20), &carried}, {QPointF(50, 40), &carried},
                          {QPointF(305, 290), &carried}, {QPointF(320, 20), &text}})
    drop(view(), at, data);
  EXPECT_EQ(taken(), (strings{"ok drop c1 10,10", "form drop c1 50,40", "form drop c1 305,290"}))
      << "on the button, in its own coordinates; on the map, which takes no drops, and the bare window: the "
         "window; anything but a control of ours is refused";
  click(view(), {110, 105});
  EXPECT_EQ(taken(), (strings{"icon down 10,5 1/0", "icon up 10,5 1/0", "icon click"})) << "pressed in place: a click";

  panel.onGotFocus = [this] { log.push_back("got focus"); };
  second.show();
  ui.refresh();
  ui.view(second)->activateWindow();
  QApplication::processEvents();
  if (QApplication::activeWindow() != ui.view(second)) GTEST_SKIP() << "this platform does not hand out activation";
  taken();
  view()->activateWindow();
  QApplication::processEvents();
  EXPECT_EQ(taken(), strings{"got focus"});
}

TEST_F(InputTest, AResizeFromOutsideKeepsTheLayoutSizeUnlessTheWindowLaysItselfOut) {
  const QSize own(panel.width, panel.height);
  const auto resized = [&](QSize to) {
    QResizeEvent e(to, view()->size());
    QApplication::sendEvent(view(), &e);
    ui.refresh();
    return view()->size();
  };
  EXPECT_EQ(resized(QSize(1200, 900)), own) << "no handler: back to the layout's size";
  std::vector<std::pair<int, int>> asked;
  panel.onResize = [&](int w, int h) {
    asked.emplace_back(w, h);
    std::tie(panel.width, panel.height) = std::pair(w, h);
  };
  EXPECT_EQ(resized(QSize(1000, 700)), QSize(1000, 700)) << "laid out again for the new size";
  EXPECT_EQ(asked, (std::vector<std::pair<int, int>>{{1000, 700}}));
}

TEST_F(InputTest, AnExceptionFromAHandlerIsReportedAndTheEventLoopGoesOn) {
  auto& qapp = dynamic_cast<Application&>(*QCoreApplication::instance());
  strings reported;
  qapp.onexception = [&](const std::string& what) { reported.push_back(what); };
  panel.onKeyPress = [](int&) { throw std::runtime_error("no such map"); };
  key(view(), Qt::Key_A, none, "a");
  QEventLoop loop;
  QTimer::singleShot(0, [] { throw 42; });  // as from the main tick
  QTimer::singleShot(20, &loop, &QEventLoop::quit);
  loop.exec();
  qapp.onexception = nullptr;
  EXPECT_EQ(reported, (strings{"no such map", "unknown exception"}));
}

TEST_F(InputTest, WidgetsShowTheModelAndUserEditsGoBackIntoIt) {
  panel.ok.caption = "ON";
  panel.entry.text = "M6";
  panel.notes.text = "line 1\r\nline 2";
  panel.list.items = {"Chester", "Crewe", "Nantwich"};
  panel.list.listindex = panel.sound.value = 1;
  panel.ok.onClick = [&] { log.push_back("ok " + panel.ok.caption); };
  panel.entry.onChange = [&] { log.push_back("entry " + panel.entry.text); };
  panel.list.onClick = [&] { log.push_back("list " + std::to_string(panel.list.listindex)); };
  panel.sound.onClick = [&] { log.push_back("sound " + std::to_string(panel.sound.value)); };
  ui.refresh();  // showing the model fires no handlers
  auto* ok = qobject_cast<QPushButton*>(view()->widget(panel.ok));
  auto* entry = qobject_cast<QLineEdit*>(view()->widget(panel.entry));
  auto* notes = qobject_cast<QPlainTextEdit*>(view()->widget(panel.notes));
  auto* list = qobject_cast<QListWidget*>(view()->widget(panel.list));
  auto* sound = qobject_cast<QCheckBox*>(view()->widget(panel.sound));
  ASSERT_TRUE(ok && entry && notes && list && sound);
  EXPECT_TRUE(notes->toPlainText() == "line 1\nline 2" && list->currentRow() == 1 && sound->isChecked() && log.empty());
  ok->click();
  key(entry, Qt::Key_1, none, "1");
  list->setCurrentRow(2);
  sound->click();
  EXPECT_EQ(taken(), (strings{"ok ON", "entry M61", "list 2", "sound 0"}));
  notes->appendPlainText("line 3");
  EXPECT_EQ(panel.notes.text, "line 1\r\nline 2\r\nline 3") << "line ends go back as CR LF";
  panel.entry.text = "A55 \xE9";
  panel.entry.locked = true;
  panel.list.clear();
  panel.sound.visible = false;
  ui.refresh();
  EXPECT_EQ(entry->text(), QString::fromUtf8("A55 \u00E9")) << "Latin-1 text shown";
  EXPECT_TRUE(entry->isReadOnly() && list->count() == 0 && sound->isHidden());
  EXPECT_TRUE(log.empty()) << "the model's later changes come through without firing handlers";
}

// Presses one button of the next message box and describes what it showed: title|text|icon|
// buttons in hex, * the default.
void answer(QMessageBox::StandardButton press, QString* seen, int tries = 200) {
  QTimer::singleShot(10, [=] {
    auto* box = qobject_cast<QMessageBox*>(QApplication::activeModalWidget());
    if (!box) return tries > 0 ? answer(press, seen, tries - 1) : void();
    *seen = box->windowTitle() + "|" + box->text() + (box->textFormat() == Qt::PlainText ? "|" : "|markup ") +
            QString::number(box->icon()) + "|";
    for (auto b : {QMessageBox::Ok, QMessageBox::Yes, QMessageBox::No, QMessageBox::Cancel})
      if (auto* x = box->button(b)) *seen += QString::number(b, 16) + (box->defaultButton() == x ? "* " : " ");
    box->button(press) ? box->button(press)->click() : box->reject();
  });
}

TEST(QtDialogs, MessageBoxesAnswerWithTheOldCodesAndTheEventPumpRunsTimers) {
  namespace mb = platform::mb;
  const struct { const char* guards; std::string prompt, title; int buttons, press, answer; QString seen; } cases[] = {
      {"question with three buttons, the first the default", "Exit ZARN ?", "ZARN", mb::yesnocancel | mb::question,
       QMessageBox::No, mb::idno, "ZARN|Exit ZARN ?|4|4000* 10000 400000 "},
      {"256: the second button is the default", "Go on?", "ZARN", mb::yesno | 256, QMessageBox::Yes, mb::idyes,
       "ZARN|Go on?|0|4000 10000* "},
      {"cancel", "x", "ZARN", mb::yesnocancel, QMessageBox::Cancel, mb::idcancel, "ZARN|x|0|4000* 10000 400000 "},
      {"CR LF shown as one line break", "Map file missing\r\nZARN01.BMP", "ZARN", mb::information, QMessageBox::Ok,
       mb::idok, "ZARN|Map file missing\nZARN01.BMP|1|400* "},
      {"closed without a button is OK; text is not markup; no title", "<b>not markup</b>", "", mb::ok | mb::exclamation,
       QMessageBox::NoButton, mb::idok, QApplication::applicationDisplayName() + "|<b>not markup</b>|2|400* "},
  };
  QtDialogs d;
  for (const auto& c : cases) {
    QString seen;
    answer(static_cast<QMessageBox::StandardButton>(c.press), &seen);
    EXPECT_EQ((std::pair{d.msgbox(c.prompt, c.buttons, c.title), seen}), std::pair(c.answer, c.seen)) << c.guards;
  }
  QtEventPump pump;
  int hooks = 0, ran = 0;
  pump.onevents = [&] { ++hooks; };
  QTimer::singleShot(0, [&] { ran = 1; });
  for (int i = 0; i < 50 && !ran; ++i) pump.doevents();
  EXPECT_TRUE(ran && hooks >= 1) << "a zero timer fires while the pump runs, and the hook with it";
}

}  // namespace
}  // namespace zarn::qt
