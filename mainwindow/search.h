// The search box's handler: typed commands, typed positions, and the searches of the current
// list.
#pragma once

namespace zarn {
struct App;

// Runs the search box: with typedcmd 1 the typed text as a command, a position or a place
// name; otherwise the next nearest place of the current list.
void findplace(App& app);

}  // namespace zarn
