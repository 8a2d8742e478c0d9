// Where the windows kept on top come up over and beside the map window: clear of one another
// and of the parts of the map window that must stay in sight.
#pragma once

#include <optional>
#include <vector>

#include "platform/placement.h"

namespace zarn {
struct App;

// The screen area the windows kept on top share; none on a screen no larger than the 640 x 480
// the windows were designed for, where each keeps its own place.
std::optional<ui::Rect> toolarea(const App& app);

// What a window kept on top (self) should not cover: the frames of the others on show and,
// while the map window shows, the parts of it kept in sight: the help's close cross and the
// strip of search box, message line, read-outs and help button along its bottom when it fills
// the screen; the whole window, frame and all, in the fixed layout, so that the others stand
// beside it where the screen has room.
std::vector<ui::Taken> toolroom(App& app, const ui::Form* self);

// A window kept on top coming up keeps its place (given it before, or by the user) while that
// is clear; otherwise it goes where it covers nothing, or failing that the least. Windows not
// kept on top, and every window on a 640 x 480 screen, keep their places.
void placetoolwindow(App& app, ui::Form& f);

}  // namespace zarn
