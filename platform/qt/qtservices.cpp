#include "platform/qt/qtservices.h"

#include <QApplication>
#include <QFile>
#include <QFontMetrics>
#include <QImageReader>
#include <QMessageBox>
#include <QPushButton>
#include <QScreen>
#include <chrono>
#include <map>
#include <thread>
#include <utility>
#include <vector>

#include "platform/files.h"
#include "platform/qt/qtconvert.h"
#include "platform/qt/x11window.h"

namespace zarn::qt {

namespace {
QString qpath(const std::filesystem::path& file) { return QFile::decodeName(QByteArray::fromStdString(file.native())); }
}  // namespace

std::optional<std::pair<int, int>> QtImageStore::measure(const std::filesystem::path& file) {
  QImageReader reader(qpath(file));
  reader.setDecideFormatFromContent(true);
  if (!reader.canRead()) return std::nullopt;
  const QSize s = reader.size();  // from the header; invalid when the format cannot tell
  if (!s.isValid()) return std::pair{0, 0};
  return std::pair{s.width(), s.height()};
}

ui::PictureRef QtImageStore::decode(const std::filesystem::path& file) {
  QImageReader reader(qpath(file));
  reader.setDecideFormatFromContent(true);
  QImage best;
  if (reader.format() == "ico" && reader.imageCount() > 1) {
    const int n = reader.imageCount();
    for (int i = 0; i < n && reader.jumpToImage(i); ++i) {
      QImage im = reader.read();
      if (im.isNull()) continue;
      if (best.isNull()) best = im;
      if (im.size() == QSize(32, 32) && (best.size() != QSize(32, 32) || im.depth() > best.depth())) best = im;
    }
  } else {
    best = reader.read();
  }
  if (best.isNull() || best.width() <= 0 || best.height() <= 0) return nullptr;
  auto pic = std::make_shared<QtPicture>();
  pic->path = file.string();
  pic->width = best.width();
  pic->height = best.height();
  // One format the painter blits without converting on every repaint.
  pic->image = best.convertToFormat(best.hasAlphaChannel() ? QImage::Format_ARGB32_Premultiplied
                                                           : QImage::Format_RGB32);
  return pic;
}

namespace {
QString plaintext(const std::string& s) {
  QString q = qstr(s);
  q.replace(QStringLiteral("\r\n"), QStringLiteral("\n"));
  q.replace(QLatin1Char('\r'), QLatin1Char('\n'));
  return q;
}
}  // namespace

int QtDialogs::msgbox(const std::string& prompt, int buttons, const std::string& title) {
  using SB = QMessageBox::StandardButton;
  QMessageBox box(QApplication::activeWindow());
  box.setTextFormat(Qt::PlainText);
  box.setText(plaintext(prompt));
  box.setWindowTitle(title.empty() ? QGuiApplication::applicationDisplayName() : qstr(title));
  switch (buttons & 0x70) {
    case platform::mb::critical: box.setIcon(QMessageBox::Critical); break;
    case platform::mb::question: box.setIcon(QMessageBox::Question); break;
    case platform::mb::exclamation: box.setIcon(QMessageBox::Warning); break;
    case platform::mb::information: box.setIcon(QMessageBox::Information); break;
    default: break;
  }
  // The button sets in their old order, with the code each answers.
  std::vector<std::pair<SB, int>> set;
  switch (buttons & 0x0F) {
    case 1: set = {{SB::Ok, 1}, {SB::Cancel, 2}}; break;
    case 2: set = {{SB::Abort, 3}, {SB::Retry, 4}, {SB::Ignore, 5}}; break;
    case 3: set = {{SB::Yes, 6}, {SB::No, 7}, {SB::Cancel, 2}}; break;
    case 4: set = {{SB::Yes, 6}, {SB::No, 7}}; break;
    case 5: set = {{SB::Retry, 4}, {SB::Cancel, 2}}; break;
    default: set = {{SB::Ok, 1}}; break;
  }
  for (auto [b, code] : set) box.addButton(b);
  const std::size_t def = std::min<std::size_t>(static_cast<std::size_t>((buttons >> 8) & 0x0F), set.size() - 1);
  box.setDefaultButton(set[def].first);
  // A question stands above the windows kept on top as well: none of them may hide it.
  box.setWindowFlag(Qt::WindowStaysOnTopHint, true);
  usedefaultcolormap(box.winId());  // as the program's own windows, for captures of the screen
  box.exec();
  const SB chosen = box.standardButton(box.clickedButton());
  for (auto [b, code] : set)
    if (b == chosen) return code;
  // Closed without a button (window manager): the answer a Cancel or the only button gives.
  for (auto [b, code] : set)
    if (b == SB::Cancel) return code;
  return set.size() == 1 ? set[0].second : platform::mb::idcancel;
}

void QtEventPump::doevents() {
  if (onevents) onevents();
  QCoreApplication::processEvents(QEventLoop::AllEvents);
}

void QtEventPump::idle() { std::this_thread::sleep_for(std::chrono::milliseconds(5)); }

platform::ScreenArea qtscreen() {
  const QScreen* screen = QGuiApplication::primaryScreen();
  if (!screen) return {};
  const QRect r = screen->availableGeometry();
  return {r.left(), r.top(), r.width(), r.height()};
}

ui::TextMetrics qtmetrics() {
  // Measuring is asked for often with few distinct fonts: keep one QFontMetrics per font.
  auto cache = std::make_shared<std::map<std::pair<int, bool>, QFontMetrics>>();
  auto metrics = [cache](const ui::Font& f) -> const QFontMetrics& {
    const std::pair<int, bool> key{pixelsize(f.size), f.bold};
    auto it = cache->find(key);
    if (it == cache->end()) it = cache->try_emplace(key, qfont(f)).first;
    return it->second;
  };
  ui::TextMetrics m;
  m.width = [metrics](std::string_view text, const ui::Font& f) { return metrics(f).horizontalAdvance(qstr(text)); };
  m.height = [metrics](const ui::Font& f) { return metrics(f).height(); };
  return m;
}

}  // namespace zarn::qt
