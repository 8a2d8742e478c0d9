// The searches of the current search list (a text list, a binary ".GED" list or the
// population centres): the typed name, and the next nearest place.
#pragma once

namespace zarn {
struct App;

// The place whose name begins with (or, after "*", holds) the search box's text, nearest the
// car and not yet reported: found, marked, shown on its map and spoken.
void typedsearch(App& app);
// The next nearest place of the list around the car (or the destination) not yet reported.
void nearestsearch(App& app);

}  // namespace zarn
