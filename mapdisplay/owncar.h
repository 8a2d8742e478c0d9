// The own car on the map: icon, heading vector and the trail of history dots.
#pragma once

namespace zarn {
struct App;

// The per-fix update: car icon at the own position, heading vector, trail dot, trip meter,
// destination read-outs and instruments.
void updatecar(App& app);
// Adds a trail dot at a frame position (km), reusing the oldest of the ring.
void addtrail(App& app, float x, float y);
// Hides every trail dot and starts the count again.
void cleartrail(App& app);

}  // namespace zarn
