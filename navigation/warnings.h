// Speed, zone and place-of-interest warnings, called by the main tick.
#pragma once

namespace zarn {
struct App;
struct GpsState;
struct NavState;
struct Voice;

// Announces each record of SPEEDWAR.CFG whose speed threshold the own speed has reached, at
// most once per its repeat interval and only while the car is not slowing down.
void speedwarn(NavState& n, const GpsState& g, Voice& v);
// Announces entering and leaving each zone of the zone table.
void zonecheck(App& app);
// With ZARN.LOG present, reports, logs and speaks coming within the radius of a place of the
// loaded landmark list ("Near ...") and leaving it again ("Leaving ...").
void zoicheck(App& app);
// Shows the zone window, where zones are made, removed, shown, saved and read.
void showzones(App& app);

}  // namespace zarn
