#include "gpsinput/rxbuffer.h"

#include <algorithm>

#include "app/app.h"
#include "gpsinput/gpseng.h"
#include "gpsinput/logs.h"

namespace zarn {

void clearrxbuf(GpsState& gps) {
  // Positions beyond the count are blank already.
  std::fill_n(gps.commline.begin(), std::clamp(gps.commlinelen, 0, GpsState::commlinemax), ' ');
  gps.commlinelen = 0;
}

std::string_view rxline(const GpsState& gps) {
  return std::string_view(gps.commline).substr(0, static_cast<std::size_t>(gps.commlinelen));
}

bool rxbegins(const GpsState& gps, std::string_view text) {
  return std::string_view(gps.commline).starts_with(text);
}

bool rxcontains(const GpsState& gps, std::string_view text) {
  return std::string_view(gps.commline).find(text) != std::string_view::npos;
}

// A split marks the line as relayed until the link handler is done with it.
bool stripcall(GpsState& g, Windows& win, std::string& line) {
  if (g.callsep.empty()) return false;
  const std::size_t p = line.find(g.callsep);
  if (p == std::string::npos || p == 0) return false;
  std::string call = line.substr(0, p);
  for (char& c : call)
    if (static_cast<unsigned char>(c) < 33) c = '#';
  g.callsign = call;
  g.callsplit = true;
  win.get<GpsEngForm>().callsgn.set("callsign=" + call);
  writetriplog(g, line);
  const std::size_t q = line.find('$');
  if (q == std::string::npos || q == 0) return false;
  line.erase(0, q);
  return true;
}

}  // namespace zarn
