// The spoken position read-outs of the keys L, G and W.
#pragma once

namespace zarn {
struct App;

// Key L: the own latitude and longitude, spoken and shown.
void sayownlatlong(App& app);
// Key G: the own grid reference in its short spoken form (L outside the grid areas).
void sayowngrid(App& app);
// Key W: where we are, then altitude, arrival time, movement and destination distance; the
// regular reports count from now.
void saywherekey(App& app);

}  // namespace zarn
