#include "vehicles/pager.h"

#include "app/app.h"
#include "geodesy/postext.h"
#include "platform/textrules.h"

namespace zarn {

std::string pagerline(const std::string& id, float lat, float lon, int hdg, float speed, const std::string& text) {
  // Identities are stored padded; the pager shows the identity itself.
  std::string who = text::trim(id);
  who = who.size() > 4 ? who.substr(0, 4) + " " : who + std::string(5 - who.size(), ' ');
  std::string place;
  llcompact(lat, lon, place);
  const std::string heading = hdg < 0 ? " ? " : text::format(hdg, "000");
  return "PAGE " + who + place + " " + heading + " " + text::format(speed, "0000") + " " + text;
}

void pagerreq(const VehicleTable& v, const platform::Files& files, const platform::Clock& clock, const std::string& id,
              float lat, float lon, int hdg, float speed, const std::string& text) {
  if (!v.pageron || files.exists("PAGERREQ.TXT")) return;
  // The data first: the pager program may act as soon as the request appears. Each file is
  // replaced whole, so the program never reads a cut line.
  files.writelines("PAGERDAT.TXT", {pagerline(id, lat, lon, hdg, speed, text)});
  const auto t = clock.now();
  files.writelines("PAGERREQ.TXT", {text::timetext(t) + " " + text::datetext(t)});
}

}  // namespace zarn
