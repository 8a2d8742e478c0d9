// Line assembly and the sentence parser: received bytes in, whatever they are.
// The first byte chooses the settings (multi-vehicle mode, TAIP, Datatrak, ONLYRMC, the
// engineering window, a call-sign separator, coded messages); the rest goes through the serial
// poll's line assembly in chunks, and each line of it straight to the parser with checksums
// switched off, so that sentences with wrong checksums reach every handler too; a position taken
// from a "$" line must lie on the earth.
#include <cmath>
#include <cstddef>
#include <cstdint>
#include <string>
#include <string_view>

#include "fuzzapp.h"
#include "gpsinput/gpseng.h"
#include "gpsinput/nmea.h"
#include "gpsinput/serialpoll.h"
#include "mainwindow/takefix.h"

extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t* data, std::size_t size) {
  if (size == 0) return 0;
  auto app = zarn::fuzz::makeapp();
  const std::uint8_t f = data[0];
  app->main.mvmode = f & 1;
  app->gps.taipon = (f >> 1) & 1;
  app->gps.datatrakon = (f >> 2) & 1;
  app->gps.onlyrmc = (f >> 3) & 1;
  if ((f >> 4) & 1) app->win.get<zarn::GpsEngForm>().visible = true;
  if ((f >> 5) & 1) app->gps.callsep = ">";
  app->gps.minhdgspd = (f >> 6) & 1 ? 5 : 0;
  app->main.chaseon = f >> 7;
  app->main.chasesent = "$GPRMC";
  const std::string_view in(reinterpret_cast<const char*>(data + 1), size - 1);

  // Line assembly, in chunks whose sizes the data itself decides.
  for (std::size_t p = 0; p < in.size();) {
    const std::size_t n = 1 + static_cast<unsigned char>(in[p]) % 64;
    zarn::rxchars(*app, in.substr(p, n));
    p += n;
  }

  // The parser on every line, checksums or not.
  app->gps.chksumoff = 1;
  std::size_t start = 0;
  for (std::size_t i = 0; i <= in.size(); ++i) {
    if (i == in.size() || in[i] == '\n' || in[i] == '\r') {
      std::string line(in.substr(start, i - start));
      const auto& g = app->gps;
      const float lat = g.ownlat, lon = g.ownlon;
      zarn::applysentence(*app, line);
      // Whatever position a sentence gives lies on the earth.
      if (line.starts_with('$') && (g.ownlat != lat || g.ownlon != lon) &&
          !(std::fabs(g.ownlat) <= 90 && std::fabs(g.ownlon) <= 180))
        __builtin_trap();
      start = i + 1;
    }
  }
  return 0;
}
