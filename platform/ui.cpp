#include "platform/ui.h"

#include <algorithm>
#include <cmath>

namespace zarn::ui {

void Control::zorder(int position) {
  if (!form) return;
  z = position == 0 ? form->nextz() : form->backz();
  form->touch();
}

int textwidth(const TextMetrics* m, std::string_view text, const Font& f) {
  if (m && m->width) return m->width(text, f);
  // Estimate for a proportional sans-serif face at 96 dots per inch.
  return pixel(static_cast<double>(text.size()) * f.size * 96.0 / 72.0 * 0.55);
}

int textheight(const TextMetrics* m, const Font& f) {
  if (m && m->height) return m->height(f);
  return pixel(f.size * 96.0 / 72.0 * 1.25);
}

std::string cutatword(std::string_view text, std::size_t max) {
  if (text.size() <= max) return std::string(text);
  std::size_t end = max;
  // A blank just past the limit ends the last word as well as one inside it.
  if (const auto blank = text.find_last_of(' ', max); blank != std::string_view::npos && blank >= max / 2)
    end = blank;
  while (end > 0 && text[end - 1] == ' ') --end;
  return std::string(text.substr(0, end));
}

void Label::set(std::string text) {
  caption = text.size() > captionmax ? cutatword(text, captionmax) : std::move(text);
  if (autosize) {
    const TextMetrics* m = form ? form->metrics : nullptr;
    width = textwidth(m, caption, font);
    height = textheight(m, font);
  }
}

void Label::setfontsize(double pt) {
  font.size = pt;
  if (autosize) set(std::move(caption));
}

void Image::setpicture(PictureRef pic) {
  picture = std::move(pic);
  if (!stretch && picture) {
    width = picture->width;
    height = picture->height;
  }
}

// --- drawing surface ---

double DrawSurface::px(double x) const {
  return scaled_ ? (x - sl_) * pixelwidth / sw_ : x;
}
double DrawSurface::py(double y) const {
  return scaled_ ? (y - st_) * pixelheight / sh_ : y;
}

void DrawSurface::add(DrawOp op) {
  ops_.push_back(std::move(op));
  ++generation_;
}

void DrawSurface::cls() {
  ops_.clear();
  ops_.push_back(DrawOp{DrawOp::Clear, 0, 0, 0, 0, backcolor, 1, {}, fontsize});
  currentx = scaled_ ? sl_ : 0;
  currenty = scaled_ ? st_ : 0;
  ++generation_;
}

void DrawSurface::line(double x1, double y1, double x2, double y2, std::optional<Colour> c) {
  add({DrawOp::Line, px(x1), py(y1), px(x2), py(y2), c.value_or(forecolor), drawwidth, {}, fontsize});
  currentx = x2;
  currenty = y2;
}

void DrawSurface::lineto(double x, double y, std::optional<Colour> c) { line(currentx, currenty, x, y, c); }

void DrawSurface::box(double x1, double y1, double x2, double y2, std::optional<Colour> c) {
  add({DrawOp::Box, px(x1), py(y1), px(x2), py(y2), c.value_or(forecolor), drawwidth, {}, fontsize});
  currentx = x2;
  currenty = y2;
}

void DrawSurface::filledbox(double x1, double y1, double x2, double y2, std::optional<Colour> c) {
  add({DrawOp::FilledBox, px(x1), py(y1), px(x2), py(y2), c.value_or(forecolor), drawwidth, {}, fontsize});
  currentx = x2;
  currenty = y2;
}

void DrawSurface::circle(double x, double y, double r, std::optional<Colour> c) {
  const double rp = scaled_ ? std::abs(r * pixelwidth / sw_) : r;
  add({DrawOp::Circle, px(x), py(y), rp, rp, c.value_or(forecolor), drawwidth, {}, fontsize});
  currentx = x;
  currenty = y;
}

void DrawSurface::ellipse(double x, double y, double rx, double ry, std::optional<Colour> c) {
  const double rpx = scaled_ ? std::abs(rx * pixelwidth / sw_) : rx;
  const double rpy = scaled_ ? std::abs(ry * pixelheight / sh_) : ry;
  add({DrawOp::Circle, px(x), py(y), rpx, rpy, c.value_or(forecolor), drawwidth, {}, fontsize});
  currentx = x;
  currenty = y;
}

void DrawSurface::pset(double x, double y, std::optional<Colour> c) {
  add({DrawOp::Point, px(x), py(y), 0, 0, c.value_or(forecolor), drawwidth, {}, fontsize});
  currentx = x;
  currenty = y;
}

void DrawSurface::print(std::string_view text) {
  add({DrawOp::Text, px(currentx), py(currenty), 0, 0, forecolor, drawwidth, std::string(text), fontsize});
  // Next line: back to the left edge, one text height down.
  const double lh = textheight(nullptr, Font{fontsize, false});
  currentx = scaled_ ? sl_ : 0;
  currenty += scaled_ && pixelheight ? lh * sh_ / pixelheight : lh;
}

void DrawSurface::scale(double left, double top, double right, double bottom) {
  scaled_ = right != left && bottom != top;
  sl_ = left;
  st_ = top;
  sw_ = right - left;
  sh_ = bottom - top;
}

void DrawSurface::noscale() { scaled_ = false; }

// --- forms ---

Form::Form(std::string name) : name_(std::move(name)) {}

void Form::movetwips(double l, double t, double w, double h) {
  left = twipstopix(l);
  top = twipstopix(t);
  width = twipstopix(w);
  height = twipstopix(h);
}

void Form::add(Control& c, std::string name) {
  c.name = std::move(name);
  attach(c);
}

void Form::attach(Control& c) {
  c.form = this;
  if (c.z == 0) c.z = nextz();
  controls_.push_back(&c);
  touch();
}

void Form::detach(Control& c) {
  std::erase(controls_, &c);
  touch();
}

std::vector<Control*> Form::controls() const {
  std::vector<Control*> out = controls_;
  std::stable_sort(out.begin(), out.end(), [](const Control* a, const Control* b) { return a->z < b->z; });
  return out;
}

Control* Form::find(std::string_view name, int index) const {
  for (Control* c : controls_)
    if (c->name == name && c->index == index) return c;
  return nullptr;
}

Control* Form::hit(int x, int y) const {
  auto all = controls();
  for (auto it = all.rbegin(); it != all.rend(); ++it) {
    Control* c = *it;
    if (!c->visible || !c->enabled) continue;
    if (c->kind == Kind::Line) continue;  // lines take no clicks
    if (c->contains(x, y)) return c;
  }
  return nullptr;
}

}  // namespace zarn::ui
