// Layout and colours of the main window's read-outs and message line, the trail-interval
// display and the topmost secondary windows.
#pragma once

namespace zarn {
struct App;
class CForm;
struct MapView;
class ZarnForm;

// The main window's bottom strip as designed for a 640 x 480 screen: read-outs, message line,
// search boxes and icons.
void designlayout(ZarnForm& z);
// Measures the screen area the windows may take (the platform's; 640 x 480 without a display).
void measurescreen(App& app);
// Places the bottom strip for the screen: fixed 640 x 480 positions, or scaled when
// scalelayout is 1 (AUTORESO.CFG on a screen not 640 wide also scales, and stretches maps).
// Scaled, the main window takes the whole screen without a frame, and with stretched maps the
// map area is the screen; fixed, both are 640 x 480.
void autoreso(App& app);
// The main window resized from outside: the scaled layout is laid out again for the new size;
// the fixed one keeps its size.
void relayout(App& app, int width, int height);
// Shows the trail interval on the control panel's trail button and its three marks.
void showhistint(const MapView& map, CForm& c);
// Keeps every secondary window above the map window.
void alltopmost(App& app);
// The windows kept on top (instruments, vehicles, alarms, the vehicles' engineering window and
// the message window) go beside the map window where the screen has room for them there, one
// under the other; where it has none they keep their places.
void besidemap(App& app);

}  // namespace zarn
