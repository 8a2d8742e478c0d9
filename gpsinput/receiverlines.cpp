#include "gpsinput/receiverlines.h"

#include <cmath>

#include "app/app.h"
#include "geodesy/helpers.h"
#include "geodesy/ukgrid.h"
#include "gpsinput/fform.h"
#include "gpsinput/fixsteps.h"
#include "gpsinput/ownfix.h"
#include "platform/textrules.h"
#include "speech/msgline.h"

namespace zarn {

using text::mid;
using text::val;

namespace {
// Shared by the fixed-column position lines.
void commonfix(GpsState& g, GeoState& geo, float lat, float lon) {
  storeposition(g, geo, lat, lon);
  g.ownspd = g.fixspeed;
  if (g.ownspd > g.minhdgspd) store16(std::nearbyint(static_cast<double>(g.owncourse)), g.ownhdg);
  velocityrule(g, shortpi / 180);
}

float degmin(const std::string& deg, const std::string& min) {
  return static_cast<float>(val(deg) + val(min) / 60);
}
}  // namespace

void secsentence(GpsState& g, GeoState& geo, const std::string& line) {
  long pos = 8;
  nextfield(line, pos);
  nextfield(line, pos);
  const std::string la = nextfield(line, pos);
  float lat = degmin(mid(la, 1, 2), mid(la, 3));
  if (nextfield(line, pos) == "S") lat = -lat;
  const std::string lo = nextfield(line, pos);
  float lon = degmin(mid(lo, 1, 3), mid(lo, 4));
  if (nextfield(line, pos) == "W") lon = -lon;
  const float radius = static_cast<float>(val(nextfield(line, pos)));
  const float brg1 = static_cast<float>(val(nextfield(line, pos)));
  const float brg2 = static_cast<float>(val(nextfield(line, pos)));
  if (radius > 0) {
    setfixvars(g, 1, lat, lon, radius, brg1, brg2, 0xFFFFFF);
    lltoosgb(geo, lat, lon, g.ownx, g.owny);
    g.ownhdg = -1;
    g.ownspd = 0;
  } else {
    g.dfsector.dfsecmode = 0;
  }
}

void sonyfix(GpsState& g, GeoState& geo, const std::string& line) {
  float lat = degmin(mid(line, 21, 2), mid(line, 23, 2) + "." + mid(line, 25, 3));
  if (mid(line, 20, 1) == "S") lat = -lat;
  float lon = degmin(mid(line, 29, 3), mid(line, 32, 2) + "." + mid(line, 34, 3));
  if (mid(line, 28, 1) == "W") lon = -lon;
  g.fixspeed = static_cast<float>(val(mid(line, 42, 3)));
  g.owncourse = static_cast<float>(val(mid(line, 45, 3)));
  commonfix(g, geo, lat, lon);
}

void taiprpv(GpsState& g, GeoState& geo, const std::string& line) {
  const float lat = static_cast<float>(val(mid(line, 10, 8)) / 100000);
  const float lon = static_cast<float>(val(mid(line, 18, 9)) / 100000);
  g.fixspeed = static_cast<float>(val(mid(line, 27, 3)) * 1.61);
  g.owncourse = static_cast<float>(val(mid(line, 30, 3)));
  commonfix(g, geo, lat, lon);
}

void gpstaswitch(GpsState& g, Voice& voice, Windows& win, const std::string& line) {
  const std::string s = mid(line, 10, 8);
  for (int i = 8; i >= 1; --i) {
    const std::string now = mid(s, i, 1);
    if (now == mid(g.switchstates, i, 1)) continue;
    auto f = platform::InputFile::open(voice.files, "SWITCHES.CFG");
    if (!f) continue;
    const double n = f->number();
    for (long r = 0; r < n && !f->eof(); ++r) {
      const std::string mask = f->field();
      const std::string ontext = f->field(), onwav = f->field();
      const std::string offtext = f->field(), offwav = f->field();
      if (mid(mask, i, 1) != "1") continue;
      auto& label = win.get<FForm>().switches.load(i - 1);
      if (now == "1") {
        label.set(ontext);
        showmsgwav(voice, ontext, onwav);
      } else {
        label.set(offtext);
        showmsgwav(voice, offtext, offwav);
      }
    }
  }
  g.switchstates = s;
}

}  // namespace zarn
