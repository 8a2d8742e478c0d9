// Keyboard and mouse input in the codes the window model's handlers expect.
#pragma once

#include <QString>
#include <Qt>
#include <optional>

namespace zarn::qt {

// Shift mask: 1 Shift, 2 Ctrl, 4 Alt.
int shiftmask(Qt::KeyboardModifiers m);
// Mouse buttons: 1 left, 2 right, 4 middle; a combination for buttons held together.
int buttonmask(Qt::MouseButtons b);
// The character code a key press types: Enter 13, Backspace 8, Tab 9, Escape 27, Ctrl+A..Z
// 1..26, otherwise the Latin-1 character of the key's text (32..126, 160..255). nullopt for keys
// that type nothing (arrows, function keys, Shift alone, characters beyond Latin-1).
std::optional<int> keyascii(int qtkey, Qt::KeyboardModifiers m, const QString& text);
// The virtual key code of a key for key-down and key-up: letters 'A'..'Z' 65..90, digits 48..57,
// F1..F12 112..123, the keypad 96..111, the navigation keys 33..46 and so on; 0 for a key that
// has none.
int keycode(int qtkey, Qt::KeyboardModifiers m);

}  // namespace zarn::qt
