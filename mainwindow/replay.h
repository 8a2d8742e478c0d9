// The replay and demo script player: one due step of the replay file, run by the main tick
// while no GPS and no link data arrive.
#pragma once

namespace zarn {
struct App;

// Reads lines of the replay file until one step's worth of position data has been taken in,
// feeding each to the parser of the file's kind and obeying the script commands. True when the
// step is complete (the position may have changed); false when the playback window appeared.
// A step reads a bounded number of lines and rewinds the file at most once, so a file without
// position lines cannot hold the tick.
bool replaystep(App& app);

}  // namespace zarn
