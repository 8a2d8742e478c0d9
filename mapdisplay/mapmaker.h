// The hand-off to the outside CD-ROM map maker, which runs beside the program and meets it
// through two files in the working folder: the request ROMSHELF.DAT and the flag ROMSHELF.FLG.
#pragma once

namespace zarn {
struct App;

// How a request to the map maker ended.
enum class MapMade {
  made,        // the maker took the flag away: the catalogue was built again
  noposition,  // no position to centre on (said)
  notarea,     // the point lies in the national grids, which the maker has no maps of (said)
  pending,     // our earlier request is still awaited: nothing asked again
  timedout,    // no answer in time: our flag deleted, the catalogue left as it was (said)
  failed,      // the request could not be written (said)
  ended,       // the program ended while it waited
};

// How long the maker is given, in seconds.
inline constexpr float makertime = 120;

// Asks the outside map maker for a map centred on the followed point: the request (its
// compact latitude/longitude text and the scale automapon) and the dated flag are written, and
// the program waits, the serial port polled and events running, until the maker deletes the
// flag (then "Adding Maps ..", and the catalogue is built again from MAPS.DIR) or makertime has
// passed. Only outside the national grids; never a second request while one is pending.
MapMade makecdmap(App& app);

}  // namespace zarn
