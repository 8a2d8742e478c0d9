// Small conversions between the window model's values and Qt's.
#pragma once

#include <QColor>
#include <QFont>
#include <QString>
#include <string>
#include <string_view>

#include "platform/ui.h"

namespace zarn::qt {

// The model keeps colours as 0x00BBGGRR: red in the low byte.
inline QColor qcolour(ui::Colour c) {
  return QColor(static_cast<int>(c & 0xFF), static_cast<int>((c >> 8) & 0xFF), static_cast<int>((c >> 16) & 0xFF));
}
inline ui::Colour colour(const QColor& q) {
  return static_cast<ui::Colour>(q.red()) | static_cast<ui::Colour>(q.green()) << 8 |
         static_cast<ui::Colour>(q.blue()) << 16;
}

// Text is Latin-1 bytes everywhere but at a widget.
inline QString qstr(std::string_view s) { return QString::fromLatin1(s.data(), static_cast<qsizetype>(s.size())); }
// Characters beyond Latin-1 cannot be kept in the program's 8-bit text: they become "?".
std::string latin1(const QString& s);

// Forms are laid out in pixels of a 96 dpi screen, so point sizes become pixel sizes at that
// resolution whatever the real screen says: 8.25 pt is 11 pixels, 9.75 pt 13, 12 pt 16.
int pixelsize(double points);
// The program's face: a plain sans serif in the manner of "MS Sans Serif".
QFont qfont(const ui::Font& f);

}  // namespace zarn::qt
