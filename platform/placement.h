// Where the windows kept on top stand on a screen with room to spare: clear of one another and
// of the parts of the other windows that must stay in sight. The window manager's frame is not
// known here, so room is kept for a generous one.
#pragma once

#include <optional>
#include <utility>
#include <vector>

#include "platform/ui.h"

namespace zarn::ui {

// A rectangle of screen pixels.
struct Rect {
  int left = 0, top = 0, width = 0, height = 0;
  int right() const { return left + width; }
  int bottom() const { return top + height; }
  bool overlaps(const Rect& o) const {
    return left < o.right() && o.left < right() && top < o.bottom() && o.top < bottom();
  }
  // The area the two have in common.
  long long overlap(const Rect& o) const;
};

// Room for a window manager's title bar and border about a window's client area, and the gap
// left between two windows.
inline constexpr int titleroom = 30, edgeroom = 4, windowgap = 6;

// The screen rectangle a window takes, frame included, standing at (left, top) (the top left
// of its frame, as the model keeps it), or where it stands.
Rect framed(const Form& f, int left, int top);
Rect framed(const Form& f);

// Something a window kept on top should not cover, and how bad covering it is (per pixel).
struct Taken {
  Rect r;
  long long weight = 1;
};
inline constexpr long long coverbody = 1, covertitle = 100, coverkept = 10000;

// The frames of the shown windows kept on top other than `self`, which it should not cover:
// their title bars weigh more than the rest.
std::vector<Taken> taken(const std::vector<Form*>& windows, const Form* self);

// Whether f standing at (left, top) lies within the area and covers nothing taken.
bool clearat(const Form& f, int left, int top, const Rect& area, const std::vector<Taken>& taken);

// A place for f within the area: where it stands when that is clear; otherwise the first clear
// place, down the left edge first and then column by column to the right (so that the right of
// the map stays in sight longest), against the area's edges or beside something taken;
// otherwise the one that covers least, title bars and the parts kept clear counting most.
std::pair<int, int> findplace(const Form& f, const Rect& area, const std::vector<Taken>& taken);

// A clear place for f with its left edge at `left`, the one nearest its own top; none when every
// top there covers something.
std::optional<int> cleartop(const Form& f, int left, const Rect& area, const std::vector<Taken>& taken);

}  // namespace zarn::ui
