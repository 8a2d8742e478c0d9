// The where-am-I report: the places around a position in the Road Details window, nearest
// northern places above a summary line ("between Thatcham and Newbury", "near Newbury") and
// southern places below it.
#pragma once

namespace zarn {
struct App;

// Fills pos(0)..pos(8) of the Road Details window for (x, y): up to n places to the north
// (3 to 5), up to three to the south, read from the landmark files of the position's square and
// of `rings` rings of squares around it (rounded half to even).
void whereami(App& app, float x, float y, int n, double rings);

}  // namespace zarn
