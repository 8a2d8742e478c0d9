// The hand-off to the pager program: PAGERDAT.TXT and the request file PAGERREQ.TXT.
#pragma once

#include <string>

namespace zarn {
namespace platform {
class Clock;
class Files;
}  // namespace platform
struct VehicleTable;

// The pager line: "PAGE ", the identity in 5 (its first 4 and a blank when longer), the compact
// latitude/longitude, the heading as 000 (" ? " when negative), the speed as 0000 and the text.
std::string pagerline(const std::string& id, float lat, float lon, int hdg, float speed, const std::string& text);

// When pager output is on and the pager program has taken the last request (no PAGERREQ.TXT),
// writes the pager line to PAGERDAT.TXT and then PAGERREQ.TXT (time and date). The speed goes
// as its sender keeps it: the own fix's in km/h, a vehicle's in mph as its row shows it.
void pagerreq(const VehicleTable& v, const platform::Files& files, const platform::Clock& clock, const std::string& id,
              float lat, float lon, int hdg, float speed, const std::string& text);

}  // namespace zarn
