// The map click: a mouse button going down anywhere over the map of the main window - the map
// picture, a tile, an icon, a label or the window itself - and the pointer moving over it.
#pragma once

namespace zarn {
struct App;

// A click with `button` (ui::button_left ...) at main-window pixel (X, Y): shows where it is, then
// hands it to whatever takes map clicks at the moment, first of: the road network window, NMEA
// recording (a simulated drive), the waypoint window (left button), the landmark editor, the
// guidance editor, road digitising; else the left button sets the destination there and the
// right button moves the car there, shifting the GPS correction by the same move.
void mapclick(App& app, int button, int shift, float X, float Y);
// Sends the mouse-down and mouse-move of every control over the map, and of the window itself,
// to mapclick and the pointer read-out as the main-window pixel under the pointer. Controls
// already wired are left alone, so it may run again for controls made since (waypoint icons).
void wiremapclick(App& app);

}  // namespace zarn
