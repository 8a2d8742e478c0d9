// The map click: a mouse button released over the map picture of the main window.
#pragma once

namespace zarn {
struct App;

// A click at window pixel (px, py) with `button` (ui::button_left ...): handed, as frame km, to
// the window that takes map clicks at the moment; nothing when none does.
void mapclick(App& app, int button, float px, float py);
// Sends the map picture's mouse-up to mapclick (once).
void wiremapclick(App& app);

}  // namespace zarn
