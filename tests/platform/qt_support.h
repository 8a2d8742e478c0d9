// Helpers for the tests of the Qt views: picture paths, pixel checks and synthetic input events.
#pragma once

#include <gtest/gtest.h>

#include <QtWidgets>
#include <ostream>

// Colours in failure messages.
inline void PrintTo(const QColor& c, std::ostream* os) { *os << c.name().toStdString(); }

namespace zarn::qttest {

// Each pixel: where, the colour it must have, and what that guards.
struct Pixel { int x, y; QColor want; const char* guards; };
inline void pixels(const QImage& img, std::initializer_list<Pixel> px) {
  for (const auto& p : px) EXPECT_EQ(img.pixelColor(p.x, p.y), p.want) << p.guards << " (" << p.x << "," << p.y << ")";
}

inline void send(QWidget* w, QEvent::Type type, QPointF at, Qt::MouseButton button, Qt::MouseButtons held,
                 Qt::KeyboardModifiers mods = Qt::NoModifier) {
  QMouseEvent e(type, at, w->mapToGlobal(at), button, held, mods);
  QCoreApplication::sendEvent(w, &e);
}
// A press and release at one point: a click.
inline void click(QWidget* w, QPointF at, Qt::MouseButton b = Qt::LeftButton, Qt::KeyboardModifiers m = {}) {
  send(w, QEvent::MouseButtonPress, at, b, b, m);
  send(w, QEvent::MouseButtonRelease, at, b, Qt::NoButton, m);
}
inline void key(QWidget* w, int k, Qt::KeyboardModifiers m, const QString& text) {
  for (auto type : {QEvent::KeyPress, QEvent::KeyRelease}) {
    QKeyEvent e(type, k, m, text);
    QCoreApplication::sendEvent(w, &e);
  }
}

// A drop as the window system gives it: the drag entering the window at the point, then the
// drop there (the toolkit hands a drop only to the window that took the drag in).
inline void drop(QWidget* w, QPointF at, const QMimeData* data) {
  QDragEnterEvent enter(at.toPoint(), Qt::MoveAction, data, Qt::LeftButton, Qt::NoModifier);
  QCoreApplication::sendEvent(w, &enter);
  QDropEvent e(at, Qt::MoveAction, data, Qt::LeftButton, Qt::NoModifier);
  QCoreApplication::sendEvent(w, &e);
}

}  // namespace zarn::qttest
