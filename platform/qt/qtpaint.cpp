#include "platform/qt/qtpaint.h"

#include <QFontMetrics>
#include <QTextLayout>
#include <algorithm>
#include <string_view>
#include <type_traits>

#include "platform/qt/qtconvert.h"
#include "platform/qt/qtservices.h"

namespace zarn::qt {

// --- drawing surfaces ---

const QImage& SurfaceLayer::update(const ui::DrawSurface& s, int width, int height) {
  width = std::max(1, width);
  height = std::max(1, height);
  const auto& ops = s.ops();
  // The surface only grew when exactly one generation passed per new operation; a clear in
  // between empties the list and breaks that count.
  const bool grown = valid_ && img_.width() == width && img_.height() == height && s.generation() >= gen_ &&
                     ops.size() >= applied_ && s.generation() - gen_ == ops.size() - applied_;
  std::size_t from = applied_;
  if (!grown) {
    if (img_.width() != width || img_.height() != height)
      img_ = QImage(width, height, QImage::Format_ARGB32_Premultiplied);
    img_.fill(Qt::transparent);
    from = 0;
    empty_ = true;
    ++replays_;
  }
  if (from < ops.size()) {
    QPainter p(&img_);
    drawops(p, ops, from, ops.size(), opaqueclear_);
    for (std::size_t i = from; i < ops.size(); ++i)
      empty_ = ops[i].type == ui::DrawOp::Clear ? !opaqueclear_ : false;
  }
  gen_ = s.generation();
  applied_ = ops.size();
  valid_ = true;
  return img_;
}

namespace {
QPen pen(ui::Colour c, int width, Qt::PenStyle style = Qt::SolidLine) {
  QPen p(qcolour(c));
  p.setWidth(std::max(1, width));
  p.setStyle(style);
  p.setCapStyle(width > 1 ? Qt::RoundCap : Qt::SquareCap);
  p.setJoinStyle(Qt::MiterJoin);
  return p;
}

Qt::PenStyle penstyle(int borderstyle) {
  switch (borderstyle) {
    case 0: return Qt::NoPen;
    case 2: return Qt::DashLine;
    case 3: return Qt::DotLine;
    case 4: return Qt::DashDotLine;
    case 5: return Qt::DashDotDotLine;
    default: return Qt::SolidLine;  // 1 solid, 6 inside solid
  }
}
}  // namespace

void drawops(QPainter& p, const std::vector<ui::DrawOp>& ops, std::size_t from, std::size_t to, bool opaqueclear) {
  p.setRenderHint(QPainter::Antialiasing, false);
  p.setBrush(Qt::NoBrush);
  for (std::size_t i = from; i < to && i < ops.size(); ++i) {
    const ui::DrawOp& o = ops[i];
    switch (o.type) {
      case ui::DrawOp::Clear: {
        const auto mode = p.compositionMode();
        p.setCompositionMode(QPainter::CompositionMode_Source);
        p.fillRect(QRect(0, 0, p.device()->width(), p.device()->height()),
                   opaqueclear ? qcolour(o.colour) : QColor(Qt::transparent));
        p.setCompositionMode(mode);
        break;
      }
      case ui::DrawOp::Line:
        p.setPen(pen(o.colour, o.width));
        p.drawLine(QPointF(o.x1, o.y1), QPointF(o.x2, o.y2));
        break;
      case ui::DrawOp::Box:
        p.setPen(pen(o.colour, o.width));
        p.drawRect(QRectF(QPointF(o.x1, o.y1), QPointF(o.x2, o.y2)).normalized());
        break;
      case ui::DrawOp::FilledBox: {
        // Both corners belong to the box.
        const QPointF a(std::min(o.x1, o.x2), std::min(o.y1, o.y2));
        const QPointF b(std::max(o.x1, o.x2) + 1, std::max(o.y1, o.y2) + 1);
        p.fillRect(QRectF(a, b), qcolour(o.colour));
        break;
      }
      case ui::DrawOp::Circle:
        p.setPen(pen(o.colour, o.width));
        p.drawEllipse(QPointF(o.x1, o.y1), o.x2, o.y2);
        break;
      case ui::DrawOp::Point:
        p.setPen(pen(o.colour, o.width));
        p.drawPoint(QPointF(o.x1, o.y1));
        break;
      case ui::DrawOp::Text: {
        const QFont f = qfont(ui::Font{o.fontsize, false});
        p.setFont(f);
        p.setPen(qcolour(o.colour));
        // The current point is the text's top left.
        p.drawText(QPointF(o.x1, o.y1 + QFontMetrics(f).ascent()), qstr(o.text));
        break;
      }
    }
  }
}

// --- controls ---

bool painted(ui::Kind k) {
  switch (k) {
    case ui::Kind::Button:
    case ui::Kind::TextBox:
    case ui::Kind::ListBox:
    case ui::Kind::CheckBox: return false;
    default: return true;
  }
}

namespace {
// A label sized to its caption is one line as wide as the caption: measured in whole pixels,
// its width may fall a fraction short of the text's, which must not wrap or cut it.
bool oneline(const ui::Label& c) { return c.autosize && !c.wordwrap; }
}  // namespace

QString fittedcaption(const ui::Label& c, const QRect& r) {
  const QString text = qstr(c.caption);
  if (oneline(c)) return text;
  const QFont f = qfont(c.font);
  const QFontMetrics fm(f);
  if (fm.boundingRect(r, Qt::TextWordWrap, text).height() <= r.height()) return text;
  // The lines that fit, wrapped as drawText wraps them, the last cut short with an ellipsis.
  const int lines = std::max(1, r.height() / fm.lineSpacing());
  QTextLayout layout(text, f);
  QTextOption wrap;
  wrap.setWrapMode(QTextOption::WordWrap);
  layout.setTextOption(wrap);
  layout.beginLayout();
  QStringList shown;
  for (int i = 0; i < lines; ++i) {
    QTextLine line = layout.createLine();
    if (!line.isValid()) break;
    line.setLineWidth(r.width());
    const bool last = i + 1 == lines;
    const QString part = text.mid(line.textStart(), last ? -1 : line.textLength());
    shown << (last ? fm.elidedText(part.trimmed(), Qt::ElideRight, r.width()) : part.trimmed());
  }
  layout.endLayout();
  return shown.join(QChar::LineSeparator);
}

void paintlabel(QPainter& p, const ui::Label& c) {
  QRect r(c.left, c.top, c.width, c.height);
  if (r.isEmpty()) return;
  if (oneline(c)) {
    // The text's ink may stand out of its advance by a pixel: the rectangle grows to hold it.
    const int ink = QFontMetrics(qfont(c.font)).boundingRect(qstr(c.caption)).width() + 2;
    if (const int more = (ink - r.width() + 1) / 2 * 2; more > 0)  // even: a centred text keeps its place
      r.adjust(c.alignment == 2 ? -more / 2 : c.alignment == 1 ? -more : 0, 0,
               c.alignment == 2 ? more / 2 : c.alignment == 1 ? 0 : more, 0);
  }
  p.save();
  p.setClipRect(r);
  if (!c.transparent) p.fillRect(r, qcolour(c.backcolor));
  if (c.border) {
    p.setPen(QPen(Qt::black, 1));
    p.setBrush(Qt::NoBrush);
    p.drawRect(r.adjusted(0, 0, -1, -1));
    r.adjust(1, 1, -1, -1);
  }
  p.setFont(qfont(c.font));
  p.setPen(qcolour(c.forecolor));
  int flags = Qt::AlignTop | (oneline(c) ? Qt::TextSingleLine : Qt::TextWordWrap);
  flags |= c.alignment == 1 ? Qt::AlignRight : c.alignment == 2 ? Qt::AlignHCenter : Qt::AlignLeft;
  p.drawText(r, flags, fittedcaption(c, r));
  p.restore();
}

void paintimage(QPainter& p, const ui::Image& c, const QImage* stretched) {
  const auto* pic = dynamic_cast<const QtPicture*>(c.picture.get());
  if (!pic || pic->image.isNull()) return;  // no picture, or one decoded without Qt
  const QRect r(c.left, c.top, c.width, c.height);
  if (r.isEmpty()) return;
  if (c.stretch) {
    if (stretched && stretched->size() == r.size())
      p.drawImage(r.topLeft(), *stretched);
    else
      p.drawImage(r, pic->image);
  } else {
    p.save();
    p.setClipRect(r);
    p.drawImage(r.topLeft(), pic->image);
    p.restore();
  }
}

void paintline(QPainter& p, const ui::Line& c) {
  if (c.borderstyle == 0) return;
  p.setRenderHint(QPainter::Antialiasing, false);
  p.setPen(pen(c.bordercolor, c.borderwidth, penstyle(c.borderstyle)));
  p.drawLine(QPoint(c.x1, c.y1), QPoint(c.x2, c.y2));
}

void paintshape(QPainter& p, const ui::Shape& c) {
  int l = c.left, t = c.top, w = c.width, h = c.height;
  const bool equal = c.shape == ui::Shape::square || c.shape == ui::Shape::circle ||
                     c.shape == ui::Shape::rounded_square;
  if (equal) {  // centred in the control's area
    const int side = std::min(w, h);
    l += (w - side) / 2;
    t += (h - side) / 2;
    w = h = side;
  }
  if (w <= 0 || h <= 0) return;
  const bool round = c.shape == ui::Shape::oval || c.shape == ui::Shape::circle;
  const bool rounded = c.shape == ui::Shape::rounded_rectangle || c.shape == ui::Shape::rounded_square;
  const double radius = std::min(w, h) / 6.0;
  auto draw = [&](const QRect& r) {
    if (round)
      p.drawEllipse(r);
    else if (rounded)
      p.drawRoundedRect(r, radius, radius);
    else
      p.drawRect(r);
  };
  p.save();
  p.setRenderHint(QPainter::Antialiasing, false);
  const QRect area(l, t, w, h);
  p.setPen(Qt::NoPen);
  if (c.backopaque) {
    p.setBrush(qcolour(c.backcolor));
    draw(area);
  }
  if (c.fillstyle != 1) {
    static constexpr Qt::BrushStyle fills[] = {Qt::SolidPattern,    Qt::NoBrush,        Qt::HorPattern,
                                               Qt::VerPattern,      Qt::BDiagPattern,   Qt::FDiagPattern,
                                               Qt::CrossPattern,    Qt::DiagCrossPattern};
    const Qt::BrushStyle style = c.fillstyle >= 0 && c.fillstyle < 8 ? fills[c.fillstyle] : Qt::SolidPattern;
    p.setBrush(QBrush(qcolour(c.fillcolor), style));
    draw(area);
  }
  if (c.borderstyle != 0) {
    // The whole border lies inside the control's area, however wide.
    const int bw = std::max(1, c.borderwidth);
    p.setBrush(Qt::NoBrush);
    p.setPen(pen(c.bordercolor, bw, penstyle(c.borderstyle)));
    draw(QRect(l + bw / 2, t + bw / 2, w - bw, h - bw));
  }
  p.restore();
}

QRect pictureboxclient(const ui::PictureBox& c) {
  const QRect r(c.left, c.top, c.width, c.height);
  return c.border ? r.adjusted(1, 1, -1, -1) : r;
}

void paintpicturebox(QPainter& p, const ui::PictureBox& c, const QImage* layer) {
  const QRect r(c.left, c.top, c.width, c.height);
  if (r.isEmpty()) return;
  p.save();
  p.setClipRect(r);
  p.fillRect(r, qcolour(c.backcolor));
  const QRect inner = pictureboxclient(c);
  if (const auto* pic = dynamic_cast<const QtPicture*>(c.picture.get())) {
    p.setClipRect(inner);
    p.drawImage(inner.topLeft(), pic->image);
    p.setClipRect(r);
  } else if (layer) {
    p.setClipRect(inner);
    p.drawImage(inner.topLeft(), *layer);
    p.setClipRect(r);
  }
  if (c.border) {
    p.setPen(QPen(Qt::black, 1));
    p.setBrush(Qt::NoBrush);
    p.drawRect(r.adjusted(0, 0, -1, -1));
  }
  p.restore();
}

// --- fingerprint ---

namespace {
struct Hasher {
  std::uint64_t h = 1469598103934665603ull;  // FNV-1a
  void bytes(const void* data, std::size_t n) {
    const auto* b = static_cast<const unsigned char*>(data);
    for (std::size_t i = 0; i < n; ++i) {
      h ^= b[i];
      h *= 1099511628211ull;
    }
  }
  template <class T> void add(T v) requires std::is_arithmetic_v<T> || std::is_enum_v<T> { bytes(&v, sizeof v); }
  void add(const void* p) { add(reinterpret_cast<std::uintptr_t>(p)); }
  void add(std::string_view s) {
    add(s.size());
    bytes(s.data(), s.size());
  }
  void add(const ui::Font& f) {
    add(f.size);
    add(f.bold);
    add(f.fixedpitch);
  }
};
}  // namespace

std::uint64_t fingerprint(const ui::Form& f) {
  Hasher h;
  h.add(f.width);
  h.add(f.height);
  h.add(f.backcolor);
  h.add(f.picture.get());
  h.add(f.surface.generation());
  h.add(f.generation());
  for (const ui::Control* c : f.controls()) {
    if (!painted(c->kind)) continue;  // widgets show themselves
    h.add(static_cast<const void*>(c));
    h.add(c->visible);
    if (!c->visible) continue;
    h.add(c->kind);
    h.add(c->left);
    h.add(c->top);
    h.add(c->width);
    h.add(c->height);
    h.add(c->z);
    switch (c->kind) {
      case ui::Kind::Label: {
        const auto& l = static_cast<const ui::Label&>(*c);
        h.add(std::string_view(l.caption));
        h.add(l.forecolor);
        h.add(l.backcolor);
        h.add(l.transparent);
        h.add(l.alignment);
        h.add(l.border);
        h.add(l.font);
        break;
      }
      case ui::Kind::Image: {
        const auto& i = static_cast<const ui::Image&>(*c);
        h.add(i.picture.get());
        h.add(i.stretch);
        h.add(i.underlay);
        break;
      }
      case ui::Kind::Line: {
        const auto& l = static_cast<const ui::Line&>(*c);
        for (int v : {l.x1, l.y1, l.x2, l.y2, l.borderwidth, l.borderstyle}) h.add(v);
        h.add(l.bordercolor);
        break;
      }
      case ui::Kind::Shape: {
        const auto& s = static_cast<const ui::Shape&>(*c);
        for (int v : {s.shape, s.borderwidth, s.borderstyle, s.fillstyle}) h.add(v);
        for (ui::Colour v : {s.bordercolor, s.fillcolor, s.backcolor}) h.add(v);
        h.add(s.backopaque);
        break;
      }
      case ui::Kind::PictureBox: {
        const auto& b = static_cast<const ui::PictureBox&>(*c);
        h.add(b.backcolor);
        h.add(b.border);
        h.add(b.surface.generation());
        h.add(b.picture.get());
        break;
      }
      default: break;
    }
  }
  return h.h;
}

}  // namespace zarn::qt
