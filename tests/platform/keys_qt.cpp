// Keys and mouse buttons in the codes the window model's handlers take.
#include <gtest/gtest.h>

#include "platform/qt/qtkeys.h"
#include "platform/ui.h"

namespace zarn::qt {
namespace {

constexpr auto none = Qt::NoModifier, shift = Qt::ShiftModifier, ctrl = Qt::ControlModifier, pad = Qt::KeypadModifier;

TEST(QtKeys, KeyPressCharacterCodes) {
  const struct { const char* guards; int key; Qt::KeyboardModifiers mods; QString text; std::optional<int> ascii; }
      cases[] = {
      {"keypad Enter is 13", Qt::Key_Enter, pad, "\r", 13},
      {"Backspace is 8", Qt::Key_Backspace, none, "\b", 8},
      {"Ctrl+Shift+C is 3", Qt::Key_C, ctrl | shift, "\x03", 3},
      {"Ctrl with a digit types nothing", Qt::Key_5, ctrl, "5", std::nullopt},
      {"a letter keeps its case", Qt::Key_A, none, "a", 'a'},
      {"grave accent: 96", Qt::Key_QuoteLeft, none, "`", 96},
      {"Latin-1 pound sign is 163", Qt::Key_sterling, shift, QString(QChar(0xA3)), 163},
      {"AltGr (Ctrl+Alt) characters come from the text", Qt::Key_E, ctrl | Qt::AltModifier, QString(QChar(0xE9)), 233},
      {"Alt+letter is a menu key, not typing", Qt::Key_X, Qt::AltModifier, "x", std::nullopt},
      {"euro sign is beyond Latin-1", Qt::Key_unknown, none, QString(QChar(0x20AC)), std::nullopt},
      {"Delete types nothing", Qt::Key_Delete, none, "\x7f", std::nullopt},
      {"F1 types nothing", Qt::Key_F1, none, QString(), std::nullopt},
      {"composed text of two characters is not one key", Qt::Key_unknown, none, "ab", std::nullopt},
  };
  for (const auto& c : cases) EXPECT_EQ(keyascii(c.key, c.mods, c.text), c.ascii) << c.guards;
}

TEST(QtKeys, KeyDownVirtualCodes) {
  const struct { const char* guards; int key; Qt::KeyboardModifiers mods; int code; } cases[] = {
      {"letters are upper case whatever Shift", Qt::Key_Z, shift, 90},
      {"shifted digit keeps the digit's code", Qt::Key_Exclam, shift, 49},
      {"Page Up", Qt::Key_PageUp, none, ui::key::pageup},
      {"keypad 5", Qt::Key_5, pad, 101},
      {"keypad plus", Qt::Key_Plus, pad, 107},
      {"keypad Home (Num Lock off) is Home", Qt::Key_Home, pad, ui::key::home},
      {"plus on the main keyboard", Qt::Key_Plus, shift, 187},
      {"unknown key has no code", Qt::Key_unknown, none, 0},
  };
  for (const auto& c : cases) EXPECT_EQ(keycode(c.key, c.mods), c.code) << c.guards;
}

}  // namespace
}  // namespace zarn::qt
