// Guidance files, their index and the sign file, whatever they hold. The first two bytes give
// the length of the guidance file, the next two that of its index (little-endian, cut to what
// there is); the rest is ZARNSIGN.TXT. The car stands at the first record, then at the first
// entries of the index and a little way off each, and loads what is near it, with and without
// the index; the loaded instructions are plotted, dumped and their signs drawn.
#include <cmath>
#include <cstddef>
#include <cstdint>
#include <fstream>
#include <string>
#include <string_view>

#include "fuzzapp.h"
#include "geodesy/postext.h"
#include "geodesy/ukgrid.h"
#include "navigation/rgifiles.h"
#include "navigation/rgiform.h"
#include "navigation/rgishow.h"
#include "navigation/signs.h"

namespace {

void put(const char* name, std::string_view bytes) {
  std::ofstream(zarn::fuzz::scratch() / name, std::ios::binary)
      .write(bytes.data(), static_cast<std::streamsize>(bytes.size()));
}

// The car at a place, and the map around it so that the plot draws.
void carat(zarn::App& app, float x, float y) {
  app.gps.ownx = x;
  app.gps.owny = y;
  app.map.mapxmin = x - 1;
  app.map.mapxmax = x + 1;
  app.map.mapymin = y - 0.75f;
  app.map.mapymax = y + 0.75f;
}

}  // namespace

extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t* data, std::size_t size) {
  if (size < 4) return 0;
  std::string_view in(reinterpret_cast<const char*>(data) + 4, size - 4);
  const auto take = [&in](std::size_t n) {
    const std::string_view part = in.substr(0, n);
    in.remove_prefix(part.size());
    return part;
  };
  const std::string_view rgi = take(data[0] | data[1] << 8), rgb = take(data[2] | data[3] << 8);
  put("G.RGI", rgi);
  put("G.RGB", rgb);
  put("ZARNSIGN.TXT", in);

  auto app = zarn::fuzz::makeapp();
  zarn::NavState& n = app->nav;
  zarn::platform::InputFile first{std::string(rgi)};
  zarn::RgiRecord rec;
  const bool any = zarn::readrgirecord(first, rec);
  float x = 400, y = 300;
  if (any) zarn::parsepos(app->geo, rec.pos, x, y);
  carat(*app, x, y);
  n.rgifile = "g.rgi";
  zarn::readrgb(app->nav, app->voice, app->geo, app->gps, app->win.zarn.rgitrace);
  for (std::size_t i = 0; i < n.rgicell.size() && i < 4; ++i) {
    const zarn::RgiCell c = n.rgicell[i];
    if (!(std::fabs(c.lat) <= 90 && std::fabs(c.lon) <= 180)) continue;
    zarn::lltoosgb(app->geo, c.lat, c.lon, x, y);
    carat(*app, x, y);
    zarn::loadrgi(app->nav, app->voice, app->geo, app->gps, app->win.zarn.rgitrace);
    carat(*app, x + 0.2f, y + 0.25f);
    zarn::loadrgi(app->nav, app->voice, app->geo, app->gps, app->win.zarn.rgitrace);
  }
  zarn::rgiword(*app, "rgi+");
  zarn::rgiword(*app, "RGI/");
  for (int i = 1; i <= n.rgicount && i <= 3; ++i) zarn::drawsign(app->win.get<zarn::RgiForm>(), app->files, *app->sys.images, n.rgirec[static_cast<std::size_t>(i)].sign);
  if (any) zarn::drawsign(app->win.get<zarn::RgiForm>(), app->files, *app->sys.images, rec.sign);

  std::filesystem::remove(zarn::fuzz::scratch() / "G.RGB");
  zarn::readrgb(app->nav, app->voice, app->geo, app->gps, app->win.zarn.rgitrace);
  zarn::savergi(app->nav, app->files);
  for (const char* f : {"G.RGI", "ZARNSIGN.TXT", "RGI.TXT"}) std::filesystem::remove(zarn::fuzz::scratch() / f);
  return 0;
}
