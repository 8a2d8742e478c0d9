#include "platform/qt/qtconvert.h"

#include <QStringList>
#include <algorithm>
#include <cmath>

namespace zarn::qt {

std::string latin1(const QString& s) {
  std::string out;
  out.reserve(static_cast<std::size_t>(s.size()));
  for (const QChar c : s) out.push_back(c.unicode() <= 255 ? static_cast<char>(c.unicode()) : '?');
  return out;
}

int pixelsize(double points) { return std::max(1, ui::pixel(points * 96.0 / 72.0)); }

QFont qfont(const ui::Font& f) {
  QFont q;
  q.setFamilies({QStringLiteral("MS Sans Serif"), QStringLiteral("Microsoft Sans Serif"),
                 QStringLiteral("Liberation Sans"), QStringLiteral("Arial"), QStringLiteral("Helvetica"),
                 QStringLiteral("DejaVu Sans")});
  q.setStyleHint(QFont::SansSerif);
  if (f.fixedpitch) {
    q.setFamilies({QStringLiteral("Courier New"), QStringLiteral("Liberation Mono"), QStringLiteral("DejaVu Sans Mono")});
    q.setStyleHint(QFont::Monospace);
    q.setFixedPitch(true);
  }
  q.setPixelSize(pixelsize(f.size));
  q.setBold(f.bold);
  return q;
}

}  // namespace zarn::qt
