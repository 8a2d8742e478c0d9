// Chase mode: the chased unit's fixes become the destination.
#pragma once

namespace zarn {
struct App;

// Toggles chase mode: on, the map follows the chased unit ($GPRMC sentences) shown as the
// destination; off, the own car again, and no sentence is taken for a chased unit.
void chasetoggle(App& app);
// Makes vehicle i the position the main window shows: its place, speed and heading become the
// own fix.
void selvehicle(App& app, int i);

}  // namespace zarn
