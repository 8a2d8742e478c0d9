// Drawing the window model with a QPainter: the retained drawing surfaces and the painted
// controls (labels, images, lines, shapes, picture boxes).
#pragma once

#include <QImage>
#include <QPainter>
#include <cstdint>
#include <vector>

#include "platform/ui.h"

namespace zarn::qt {

// A drawing surface flattened into an image and brought up to date incrementally: when the
// surface has only grown since the last update, just the new operations are drawn, so a
// persistent picture that keeps growing is not replayed on every paint.
class SurfaceLayer {
 public:
  // opaqueclear: a clear fills with its colour (picture boxes); otherwise it makes the layer
  // transparent again (a form's drawing layer over its map pictures).
  explicit SurfaceLayer(bool opaqueclear) : opaqueclear_(opaqueclear) {}
  const QImage& update(const ui::DrawSurface& s, int width, int height);
  // True when the layer holds nothing to draw (a form layer with no operation since a clear).
  bool empty() const { return empty_; }
  long replays() const { return replays_; }  // full replays so far

 private:
  QImage img_;
  bool opaqueclear_;
  bool valid_ = false;
  bool empty_ = true;
  std::uint64_t gen_ = 0;
  std::size_t applied_ = 0;
  long replays_ = 0;
};

// Draws operations [from, to) of a surface.
void drawops(QPainter& p, const std::vector<ui::DrawOp>& ops, std::size_t from, std::size_t to, bool opaqueclear);

// Painted controls. The interactive kinds (buttons, text and list boxes, check boxes) are
// real widgets and are not drawn here.
bool painted(ui::Kind k);
void paintlabel(QPainter& p, const ui::Label& c);
// What a label shows of its caption in the rectangle r: all of it when it fits, wrapped at
// words; else the lines that fit, the last ending in an ellipsis. A label sized to its caption
// shows all of it on one line.
QString fittedcaption(const ui::Label& c, const QRect& r);
// stretched: the picture already scaled to the control's size, when the caller keeps one.
void paintimage(QPainter& p, const ui::Image& c, const QImage* stretched = nullptr);
void paintline(QPainter& p, const ui::Line& c);
void paintshape(QPainter& p, const ui::Shape& c);
// layer: the box's surface as brought up to date (null when it has none); a loaded picture is
// shown instead.
void paintpicturebox(QPainter& p, const ui::PictureBox& c, const QImage* layer);
// The inner area of a picture box, where its surface is drawn.
QRect pictureboxclient(const ui::PictureBox& c);

// A cheap fingerprint of everything the painted part of a form shows; when it has not
// changed the form needs no repaint.
std::uint64_t fingerprint(const ui::Form& f);

}  // namespace zarn::qt
