// Keys and mouse buttons in the codes the window model's handlers take.
#include <gtest/gtest.h>

#include "platform/qt/qtkeys.h"
#include "platform/ui.h"

namespace zarn::qt {
namespace {

struct AsciiCase {
  const char* guards;
  int key;
  Qt::KeyboardModifiers mods;
  QString text;
  std::optional<int> ascii;
};

TEST(QtKeys, KeyPressCharacterCodes) {
  const QString none;
  const AsciiCase cases[] = {
      {"Enter is 13", Qt::Key_Return, Qt::NoModifier, "\r", 13},
      {"keypad Enter is 13 too", Qt::Key_Enter, Qt::KeypadModifier, "\r", 13},
      {"Backspace is 8", Qt::Key_Backspace, Qt::NoModifier, "\b", 8},
      {"Escape is 27", Qt::Key_Escape, Qt::NoModifier, "\x1b", 27},
      {"Tab is 9", Qt::Key_Tab, Qt::NoModifier, "\t", 9},
      {"Ctrl+A is 1", Qt::Key_A, Qt::ControlModifier, "\x01", 1},
      {"Ctrl+Z is 26", Qt::Key_Z, Qt::ControlModifier, "\x1a", 26},
      {"Ctrl+Shift+C is still 3", Qt::Key_C, Qt::ControlModifier | Qt::ShiftModifier, "\x03", 3},
      {"Ctrl with a digit types nothing", Qt::Key_5, Qt::ControlModifier, "5", std::nullopt},
      {"lower-case letter keeps its case", Qt::Key_A, Qt::NoModifier, "a", 'a'},
      {"shifted letter", Qt::Key_A, Qt::ShiftModifier, "A", 'A'},
      {"grave accent starts typing: 96", Qt::Key_QuoteLeft, Qt::NoModifier, "`", 96},
      {"tilde", Qt::Key_AsciiTilde, Qt::ShiftModifier, "~", '~'},
      {"space", Qt::Key_Space, Qt::NoModifier, " ", 32},
      {"Latin-1 not sign is 172", Qt::Key_notsign, Qt::NoModifier, QString(QChar(0xAC)), 172},
      {"pound sign is 163", Qt::Key_sterling, Qt::ShiftModifier, QString(QChar(0xA3)), 163},
      {"e acute is 233", Qt::Key_Eacute, Qt::NoModifier, QString(QChar(0xE9)), 233},
      {"AltGr (Ctrl+Alt) characters come from the text", Qt::Key_E, Qt::ControlModifier | Qt::AltModifier,
       QString(QChar(0xE9)), 233},
      {"Alt+letter is a menu key, not typing", Qt::Key_X, Qt::AltModifier, "x", std::nullopt},
      {"euro sign is beyond Latin-1", Qt::Key_unknown, Qt::NoModifier, QString(QChar(0x20AC)), std::nullopt},
      {"Delete types nothing", Qt::Key_Delete, Qt::NoModifier, "\x7f", std::nullopt},
      {"arrow keys type nothing", Qt::Key_Left, Qt::NoModifier, none, std::nullopt},
      {"F1 types nothing", Qt::Key_F1, Qt::NoModifier, none, std::nullopt},
      {"Shift alone types nothing", Qt::Key_Shift, Qt::ShiftModifier, none, std::nullopt},
      {"composed text of two characters is not one key", Qt::Key_unknown, Qt::NoModifier, "ab", std::nullopt},
  };
  for (const auto& c : cases) EXPECT_EQ(keyascii(c.key, c.mods, c.text), c.ascii) << c.guards;
}

TEST(QtKeys, KeyDownVirtualCodes) {
  struct Case {
    const char* guards;
    int key;
    Qt::KeyboardModifiers mods;
    int code;
  } cases[] = {
      {"letters are 'A'..'Z'", Qt::Key_A, Qt::NoModifier, 65},
      {"letters are upper case whatever Shift", Qt::Key_Z, Qt::ShiftModifier, 90},
      {"digit 0", Qt::Key_0, Qt::NoModifier, 48},
      {"digit 9", Qt::Key_9, Qt::NoModifier, 57},
      {"shifted digit keeps the digit's code", Qt::Key_Exclam, Qt::ShiftModifier, 49},
      {"F1", Qt::Key_F1, Qt::NoModifier, ui::key::f1},
      {"F12", Qt::Key_F12, Qt::NoModifier, 123},
      {"Enter", Qt::Key_Return, Qt::NoModifier, ui::key::enter},
      {"Escape", Qt::Key_Escape, Qt::NoModifier, ui::key::escape},
      {"Backspace", Qt::Key_Backspace, Qt::NoModifier, ui::key::back},
      {"Shift", Qt::Key_Shift, Qt::ShiftModifier, ui::key::shift},
      {"Control", Qt::Key_Control, Qt::ControlModifier, ui::key::control},
      {"Page Up", Qt::Key_PageUp, Qt::NoModifier, ui::key::pageup},
      {"Home", Qt::Key_Home, Qt::NoModifier, ui::key::home},
      {"Left", Qt::Key_Left, Qt::NoModifier, ui::key::left},
      {"Down", Qt::Key_Down, Qt::NoModifier, ui::key::down},
      {"Insert", Qt::Key_Insert, Qt::NoModifier, ui::key::insert},
      {"Delete", Qt::Key_Delete, Qt::NoModifier, ui::key::del},
      {"keypad 5", Qt::Key_5, Qt::KeypadModifier, 101},
      {"keypad plus", Qt::Key_Plus, Qt::KeypadModifier, 107},
      {"keypad Home (Num Lock off) is Home", Qt::Key_Home, Qt::KeypadModifier, ui::key::home},
      {"minus", Qt::Key_Minus, Qt::NoModifier, 189},
      {"plus on the main keyboard", Qt::Key_Plus, Qt::ShiftModifier, 187},
      {"unknown key has no code", Qt::Key_unknown, Qt::NoModifier, 0},
  };
  for (const auto& c : cases) EXPECT_EQ(keycode(c.key, c.mods), c.code) << c.guards;
}

TEST(QtKeys, ShiftMaskAndButtons) {
  EXPECT_EQ(shiftmask(Qt::NoModifier), 0);
  EXPECT_EQ(shiftmask(Qt::ShiftModifier), ui::shift_shift);
  EXPECT_EQ(shiftmask(Qt::ControlModifier), ui::shift_ctrl);
  EXPECT_EQ(shiftmask(Qt::AltModifier), ui::shift_alt);
  EXPECT_EQ(shiftmask(Qt::ShiftModifier | Qt::ControlModifier | Qt::AltModifier), 7);
  EXPECT_EQ(shiftmask(Qt::KeypadModifier | Qt::MetaModifier), 0) << "only Shift, Ctrl and Alt count";

  EXPECT_EQ(buttonmask(Qt::LeftButton), ui::button_left);
  EXPECT_EQ(buttonmask(Qt::RightButton), ui::button_right);
  EXPECT_EQ(buttonmask(Qt::MiddleButton), ui::button_middle);
  EXPECT_EQ(buttonmask(Qt::LeftButton | Qt::RightButton), 3) << "buttons held together on a move";
  EXPECT_EQ(buttonmask(Qt::NoButton), 0);
  EXPECT_EQ(buttonmask(Qt::BackButton), 0) << "extra buttons are not reported";
}

}  // namespace
}  // namespace zarn::qt
