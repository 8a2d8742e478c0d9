// Frame positions to pixels of the map picture as shown on the screen and back, and the
// pointer read-out of the main window.
#pragma once

namespace zarn {
struct App;

// The screen pixel of a frame position (km) on the current map: linear over a grid map's
// edges, through latitude/longitude on a latitude/longitude map, turned for heading-up about
// (320, 240), stretched to the screen when asked, and held within -9999..9999. A map view of
// zero extent (or a picture one pixel wide or high) leaves px, py as they were and gives false.
bool worldtopix(App& app, float x, float y, float& px, float& py);
// The frame position (km) under a screen pixel; false, with x, y unchanged, when the map view
// has zero extent or the picture or screen is too small to divide by.
bool pixtoll(App& app, float px, float py, float& x, float& y);
// A length in km as pixels at the current map's scale; 0 for a map of zero width.
float kmtopix(const App& app, float d);

// Pointer move over the map (main-window pixels X, Y): shows the grid reference (or the pixel
// position when displayxy is on) and latitude/longitude under the pointer, marks the mode label
// "<-", turns the status colour white and moves the pointer icon. Moves that change only the
// fraction of Y are ignored.
void mousereadout(App& app, int button, int shift, float X, float Y);

}  // namespace zarn
