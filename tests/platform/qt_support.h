// Helpers for the tests of the Qt views: picture paths and synthetic input events.
#pragma once

#include <QCoreApplication>
#include <QKeyEvent>
#include <QMouseEvent>
#include <QWidget>
#include <filesystem>
#include <ostream>

// Colours in failure messages.
inline void PrintTo(const QColor& c, std::ostream* os) { *os << c.name().toStdString(); }

namespace zarn::qttest {

inline QString qpath(const std::filesystem::path& p) { return QString::fromStdString(p.string()); }

inline void send(QWidget* w, QEvent::Type type, QPointF at, Qt::MouseButton button, Qt::MouseButtons held,
                 Qt::KeyboardModifiers mods = Qt::NoModifier) {
  QMouseEvent e(type, at, w->mapToGlobal(at), button, held, mods);
  QCoreApplication::sendEvent(w, &e);
}
// A press and release at one point: a click.
inline void click(QWidget* w, QPointF at, Qt::MouseButton b = Qt::LeftButton,
                  Qt::KeyboardModifiers m = Qt::NoModifier) {
  send(w, QEvent::MouseButtonPress, at, b, b, m);
  send(w, QEvent::MouseButtonRelease, at, b, Qt::NoButton, m);
}
inline void key(QWidget* w, int k, Qt::KeyboardModifiers m, const QString& text) {
  QKeyEvent down(QEvent::KeyPress, k, m, text);
  QCoreApplication::sendEvent(w, &down);
  QKeyEvent up(QEvent::KeyRelease, k, m, text);
  QCoreApplication::sendEvent(w, &up);
}

}  // namespace zarn::qttest
