// Helpers for the tests of the Qt views: a scratch directory, pictures written with Qt, and
// synthetic input events.
#pragma once

#include <QCoreApplication>
#include <QImage>
#include <QKeyEvent>
#include <QMouseEvent>
#include <QWidget>
#include <filesystem>
#include <ostream>
#include <random>
#include <string>

// Colours in failure messages.
inline void PrintTo(const QColor& c, std::ostream* os) { *os << c.name().toStdString(); }

namespace zarn::qttest {

class ScratchDir {
 public:
  ScratchDir() {
    std::random_device rd;
    dir_ = std::filesystem::temp_directory_path() / ("zarn-qt-" + std::to_string(rd()) + std::to_string(rd()));
    std::filesystem::create_directories(dir_);
  }
  ~ScratchDir() {
    std::error_code ec;
    std::filesystem::remove_all(dir_, ec);
  }
  ScratchDir(const ScratchDir&) = delete;
  ScratchDir& operator=(const ScratchDir&) = delete;
  std::filesystem::path operator/(const std::string& name) const { return dir_ / name; }
  const std::filesystem::path& path() const { return dir_; }

 private:
  std::filesystem::path dir_;
};

inline QString qpath(const std::filesystem::path& p) { return QString::fromStdString(p.string()); }

inline void send(QWidget* w, QEvent::Type type, QPointF at, Qt::MouseButton button, Qt::MouseButtons held,
                 Qt::KeyboardModifiers mods = Qt::NoModifier) {
  QMouseEvent e(type, at, w->mapToGlobal(at), button, held, mods);
  QCoreApplication::sendEvent(w, &e);
}
inline void press(QWidget* w, QPointF at, Qt::MouseButton b = Qt::LeftButton, Qt::KeyboardModifiers m = Qt::NoModifier) {
  send(w, QEvent::MouseButtonPress, at, b, b, m);
}
inline void release(QWidget* w, QPointF at, Qt::MouseButton b = Qt::LeftButton, Qt::KeyboardModifiers m = Qt::NoModifier) {
  send(w, QEvent::MouseButtonRelease, at, b, Qt::NoButton, m);
}
inline void dblclick(QWidget* w, QPointF at, Qt::MouseButton b = Qt::LeftButton) {
  send(w, QEvent::MouseButtonDblClick, at, b, b);
}
inline void moveto(QWidget* w, QPointF at, Qt::MouseButtons held = Qt::NoButton) {
  send(w, QEvent::MouseMove, at, Qt::NoButton, held);
}
inline void key(QWidget* w, int k, Qt::KeyboardModifiers m, const QString& text) {
  QKeyEvent down(QEvent::KeyPress, k, m, text);
  QCoreApplication::sendEvent(w, &down);
  QKeyEvent up(QEvent::KeyRelease, k, m, text);
  QCoreApplication::sendEvent(w, &up);
}

}  // namespace zarn::qttest
