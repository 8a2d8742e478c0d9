#include "platform/placement.h"

#include <algorithm>
#include <cstdlib>
#include <limits>

namespace zarn::ui {

long long Rect::overlap(const Rect& o) const {
  const long long w = std::min(right(), o.right()) - std::max(left, o.left);
  const long long h = std::min(bottom(), o.bottom()) - std::max(top, o.top);
  return w > 0 && h > 0 ? w * h : 0;
}

Rect framed(const Form& f, int left, int top) {
  if (f.borderless) return {left, top, f.width, f.height};
  return {left, top, f.width + 2 * edgeroom, f.height + titleroom + edgeroom};
}

Rect framed(const Form& f) { return framed(f, f.left, f.top); }

std::vector<Taken> taken(const std::vector<Form*>& windows, const Form* self) {
  std::vector<Taken> out;
  for (const Form* w : windows) {
    if (!w || w == self || !w->visible || !w->topmost) continue;
    const Rect r = framed(*w);
    out.push_back({r, coverbody});
    if (!w->borderless) out.push_back({{r.left, r.top, r.width, titleroom}, covertitle});
  }
  return out;
}

namespace {

bool within(const Rect& r, const Rect& area) {
  return r.left >= area.left && r.top >= area.top && r.right() <= area.right() && r.bottom() <= area.bottom();
}

// How bad the window at r is: what it covers, weighed (it comes up above the others, so its own
// title bar stays in sight); lying off the area is worst.
long long cost(const Rect& r, const Rect& area, const std::vector<Taken>& taken) {
  if (!within(r, area)) return std::numeric_limits<long long>::max();
  long long c = 0;
  for (const Taken& t : taken) c += t.weight * r.overlap(t.r);
  return c;
}

// Lefts (or tops) against the area's edges and beside each thing taken, in order, within the area.
std::vector<int> edges(int first, int last, int size, const std::vector<Taken>& taken, bool across) {
  std::vector<int> v{first, last - size};
  for (const Taken& t : taken) {
    const int lo = across ? t.r.left : t.r.top, hi = across ? t.r.right() : t.r.bottom();
    v.push_back(hi + windowgap);
    v.push_back(lo - windowgap - size);
    if (!across) v.push_back(lo + titleroom + windowgap);  // below its title bar, should nothing be clear
  }
  std::erase_if(v, [&](int x) { return x < first || x + size > last; });
  std::sort(v.begin(), v.end());
  v.erase(std::unique(v.begin(), v.end()), v.end());
  return v;
}

}  // namespace

bool clearat(const Form& f, int left, int top, const Rect& area, const std::vector<Taken>& taken) {
  return cost(framed(f, left, top), area, taken) == 0;
}

std::pair<int, int> findplace(const Form& f, const Rect& area, const std::vector<Taken>& taken) {
  if (clearat(f, f.left, f.top, area, taken)) return {f.left, f.top};
  const Rect size = framed(f, 0, 0);
  const std::vector<int> lefts = edges(area.left, area.right(), size.width, taken, true);
  const std::vector<int> tops = edges(area.top, area.bottom(), size.height, taken, false);
  std::pair<int, int> best{f.left, f.top};
  long long least = cost(framed(f), area, taken);
  for (int left : lefts)
    for (int top : tops) {
      const long long c = cost(framed(f, left, top), area, taken);
      if (c == 0) return {left, top};
      if (c < least) least = c, best = {left, top};
    }
  // Larger than the area: its top left corner, the title bar in sight.
  if (least == std::numeric_limits<long long>::max()) return {area.left, area.top};
  return best;
}

std::optional<int> cleartop(const Form& f, int left, const Rect& area, const std::vector<Taken>& taken) {
  std::vector<int> tops = edges(area.top, area.bottom(), framed(f, 0, 0).height, taken, false);
  tops.push_back(f.top);
  std::stable_sort(tops.begin(), tops.end(), [&](int a, int b) { return std::abs(a - f.top) < std::abs(b - f.top); });
  for (int top : tops)
    if (clearat(f, left, top, area, taken)) return top;
  return std::nullopt;
}

}  // namespace zarn::ui
