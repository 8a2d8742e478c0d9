// The spoken position read-outs of the keys L, G and W.
#pragma once

namespace zarn {
struct App;
struct GeoState;
struct GpsState;
struct Voice;

// Key L: the own latitude and longitude, spoken and shown.
void sayownlatlong(Voice& voice, GeoState& geo, const GpsState& g);
// Key G: the own grid reference in its short spoken form (L outside the grid areas).
void sayowngrid(Voice& voice, GeoState& geo, const GpsState& g);
// Key W: where we are, then altitude, arrival time, movement and destination distance; the
// regular reports count from now.
void saywherekey(App& app);

}  // namespace zarn
