#include "platform/qt/qtkeys.h"

namespace zarn::qt {

int shiftmask(Qt::KeyboardModifiers m) {
  int s = 0;
  if (m & Qt::ShiftModifier) s |= 1;
  if (m & Qt::ControlModifier) s |= 2;
  if (m & Qt::AltModifier) s |= 4;
  return s;
}

int buttonmask(Qt::MouseButtons b) {
  int m = 0;
  if (b & Qt::LeftButton) m |= 1;
  if (b & Qt::RightButton) m |= 2;
  if (b & Qt::MiddleButton) m |= 4;
  return m;
}

std::optional<int> keyascii(int qtkey, Qt::KeyboardModifiers m, const QString& text) {
  switch (qtkey) {
    case Qt::Key_Return:
    case Qt::Key_Enter: return 13;
    case Qt::Key_Backspace: return 8;
    case Qt::Key_Tab: return 9;
    case Qt::Key_Escape: return 27;
    default: break;
  }
  const bool ctrl = (m & Qt::ControlModifier) != 0;
  const bool alt = (m & Qt::AltModifier) != 0;
  if (ctrl && !alt) {
    if (qtkey >= Qt::Key_A && qtkey <= Qt::Key_Z) return qtkey - Qt::Key_A + 1;
    return std::nullopt;  // Ctrl with anything else types nothing
  }
  if (alt && !ctrl) return std::nullopt;  // Alt+key is a menu key, not typing
  // Ctrl+Alt is how some keyboards reach their third-level characters: the text decides.
  if (text.size() != 1) return std::nullopt;
  const char16_t c = text.at(0).unicode();
  if (c < 32 || (c >= 127 && c < 160) || c > 255) return std::nullopt;
  return static_cast<int>(c);
}

namespace {
// Punctuation keys by the character they carry, as on a US keyboard: the shifted symbols
// of the digit row give the digit's code, the others the OEM key codes.
int punctuation(int qtkey) {
  switch (qtkey) {
    case Qt::Key_Exclam: return '1';
    case Qt::Key_At: return '2';
    case Qt::Key_NumberSign: return '3';
    case Qt::Key_Dollar: return '4';
    case Qt::Key_Percent: return '5';
    case Qt::Key_AsciiCircum: return '6';
    case Qt::Key_Ampersand: return '7';
    case Qt::Key_Asterisk: return '8';
    case Qt::Key_ParenLeft: return '9';
    case Qt::Key_ParenRight: return '0';
    case Qt::Key_Semicolon:
    case Qt::Key_Colon: return 186;
    case Qt::Key_Equal:
    case Qt::Key_Plus: return 187;
    case Qt::Key_Comma:
    case Qt::Key_Less: return 188;
    case Qt::Key_Minus:
    case Qt::Key_Underscore: return 189;
    case Qt::Key_Period:
    case Qt::Key_Greater: return 190;
    case Qt::Key_Slash:
    case Qt::Key_Question: return 191;
    case Qt::Key_QuoteLeft:
    case Qt::Key_AsciiTilde:
    case Qt::Key_notsign: return 192;
    case Qt::Key_BracketLeft:
    case Qt::Key_BraceLeft: return 219;
    case Qt::Key_Backslash:
    case Qt::Key_Bar: return 220;
    case Qt::Key_BracketRight:
    case Qt::Key_BraceRight: return 221;
    case Qt::Key_Apostrophe:
    case Qt::Key_QuoteDbl:
    case Qt::Key_sterling: return 222;
    default: return 0;
  }
}
}  // namespace

int keycode(int qtkey, Qt::KeyboardModifiers m) {
  if (m & Qt::KeypadModifier) {
    if (qtkey >= Qt::Key_0 && qtkey <= Qt::Key_9) return 96 + (qtkey - Qt::Key_0);
    switch (qtkey) {
      case Qt::Key_Asterisk: return 106;
      case Qt::Key_Plus: return 107;
      case Qt::Key_Minus: return 109;
      case Qt::Key_Period:
      case Qt::Key_Comma: return 110;
      case Qt::Key_Slash: return 111;
      default: break;  // keypad navigation keys (Num Lock off) are the plain ones
    }
  }
  if (qtkey >= Qt::Key_A && qtkey <= Qt::Key_Z) return qtkey;  // 'A'..'Z'
  if (qtkey >= Qt::Key_0 && qtkey <= Qt::Key_9) return qtkey;  // '0'..'9'
  if (qtkey >= Qt::Key_F1 && qtkey <= Qt::Key_F24) return 112 + (qtkey - Qt::Key_F1);
  switch (qtkey) {
    case Qt::Key_Backspace: return 8;
    case Qt::Key_Tab:
    case Qt::Key_Backtab: return 9;
    case Qt::Key_Clear: return 12;
    case Qt::Key_Return:
    case Qt::Key_Enter: return 13;
    case Qt::Key_Shift: return 16;
    case Qt::Key_Control: return 17;
    case Qt::Key_Alt:
    case Qt::Key_AltGr: return 18;
    case Qt::Key_Pause: return 19;
    case Qt::Key_CapsLock: return 20;
    case Qt::Key_Escape: return 27;
    case Qt::Key_Space: return 32;
    case Qt::Key_PageUp: return 33;
    case Qt::Key_PageDown: return 34;
    case Qt::Key_End: return 35;
    case Qt::Key_Home: return 36;
    case Qt::Key_Left: return 37;
    case Qt::Key_Up: return 38;
    case Qt::Key_Right: return 39;
    case Qt::Key_Down: return 40;
    case Qt::Key_Print: return 44;
    case Qt::Key_Insert: return 45;
    case Qt::Key_Delete: return 46;
    case Qt::Key_Meta: return 91;
    case Qt::Key_Menu: return 93;
    case Qt::Key_NumLock: return 144;
    case Qt::Key_ScrollLock: return 145;
    default: return punctuation(qtkey);
  }
}

}  // namespace zarn::qt
