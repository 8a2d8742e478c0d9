// Destinations, guidance, waypoints, trip meter and warnings.
#pragma once

#include <array>
#include <string>

namespace zarn {

struct NavState {
  // Filled as navigation and guidance are built.

  // The destination table, slots 0..destmax: position text, latitude/longitude text, frame
  // position (km) and label of each named destination. The location file fills the first
  // slots; the slot after them (adhocdest, "(mouse)") takes positions picked at run time.
  static constexpr int destmax = 200;
  std::array<std::string, destmax + 1> destname{}, destll{}, destlabel{};
  std::array<float, destmax + 1> destx{}, desty{};
  int curdest = 0;                     // the current destination's slot
  int adhocdest = 0;
  std::string destwav = "destinat.wav";  // prompt naming the current destination
  // Written every tick from the own position: km to the current destination and its clock
  // position (1..12) relative to the heading.
  float destdist = 0;
  int clockbrg = 12;
  // Trip meter: the arrival time "hh:mm" and the time to go, a number followed by "s", "m" or
  // "h".
  std::string etaclock, timetogo;
};

}  // namespace zarn
