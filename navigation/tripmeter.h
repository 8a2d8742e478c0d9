// The trip meter: distance travelled, time to go and arrival time, shown on the instruments
// window's labels.
#pragma once

namespace zarn {
struct App;
struct NavState;
class IForm;

// Adds the distance run since the last update (at most every 5 s; a gap over 100 s adds
// nothing) and works out the time to go and the arrival time; called on every car update.
void tripmeter(App& app);
// The trip meter, the destination's read-outs and the instruments, in that order: what each
// car update shows besides the car (the map display's updatecar asks for it).
void tripupdate(App& app);
// The three trip distances (km, statute and nautical miles) to 0, the trip start to now (the
// clock's timer), and the trip label of the instruments window cleared.
void resettrip(NavState& n, IForm& f, float now);

}  // namespace zarn
