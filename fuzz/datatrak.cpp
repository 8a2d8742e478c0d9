// The Datatrak report decoders, whatever the bytes.
// The first byte chooses the settings: bit 0 all data logged, bit 1 printing, bit 2 raw logging,
// bit 3 a trip log open, bit 4 new units refused, bits 5-7 a table of that many slots (0: the
// default). The rest is cut into lines as the link frames them: a grave accent starts a binary
// line of 12 bytes taken whatever they are, anything else runs to a line feed. Each line goes to
// both decoders and both report handlers. What is decoded must lie within the positions its
// form can carry, and the position the handlers take must be a place on earth. A decoded report
// always has its log line; its unit holds a slot (a full table gives up its last one) unless
// new units are refused, and the table never grows beyond its slots.
#include <algorithm>
#include <cmath>
#include <cstddef>
#include <cstdint>
#include <optional>
#include <string>
#include <string_view>

#include "fuzzapp.h"
#include "geodesy/ukgrid.h"
#include "gpsinput/logs.h"
#include "vehicles/datatrak.h"
#include "vehicles/mvforms.h"

namespace {

void within(const std::optional<zarn::DatatrakReport>& r, long eastmax, long northmax) {
  if (r && !(r->east >= 0 && r->east <= eastmax && r->north >= 0 && r->north <= northmax && r->heading >= 0 &&
             r->heading <= 405 && r->heading % 45 == 0 && r->speed >= 0 && r->speed <= 495 && !r->id.empty()))
    __builtin_trap();
}

}  // namespace

extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t* data, std::size_t size) {
  if (size == 0) return 0;
  auto app = zarn::fuzz::makeapp();
  const std::uint8_t f = data[0];
  auto& g = app->gps;
  g.logall = f & 1;
  g.printon = (f >> 1) & 1;
  g.rawlog = (f >> 2) & 1;
  if ((f >> 3) & 1) {
    app->main.mvmode = 1;
    zarn::newtrip(*app);
  }
  app->veh.nonewmv = (f >> 4) & 1;
  if (f >> 5) app->veh.mvsize = f >> 5;
  const std::string_view in(reinterpret_cast<const char*>(data + 1), size - 1);
  for (std::size_t p = 0; p < in.size();) {
    const std::size_t lf = in.find('\n', p);
    const std::size_t end = in[p] == '`' ? std::min(in.size(), p + 12) : lf == in.npos ? in.size() : lf + 1;
    const std::string line(in.substr(p, end - p));
    p = end;
    const auto text = zarn::datatraktext(line), bin = zarn::datatrakbin(line);
    within(text, zarn::datatraktextmax, zarn::datatraktextmax);
    within(bin, zarn::datatrakeastmax, zarn::datatraknorthmax);
    for (const bool binary : {false, true}) {
      auto& v = app->veh;
      auto& logline = app->win.get<zarn::MvEngForm>().logline.caption;
      v.mvcur = -1;
      logline.clear();
      zarn::applyreport(*app, binary ? zarn::mvdecodebin(app->veh, app->gps, app->geo, *app->sys.wav, line)
                                     : zarn::mvdecode(app->veh, app->gps, app->geo, *app->sys.wav, line));
      const bool decoded = binary ? bin.has_value() : text.has_value();
      // Every line sets the current vehicle: a report's row, and 0 for anything else, or for a
      // new unit while new units are refused. A decoded report is logged, a refused one too.
      const bool refused = decoded && v.mvcur == 0 && v.nonewmv;
      if (v.mvcur < 0 || ((v.mvcur > 0) != decoded && !refused) || v.mvtotal > v.mvsize ||
          decoded != logline.starts_with("LOG: "))
        __builtin_trap();
      if (!decoded || refused) continue;
      const float east = (binary ? zarn::datatrakeastmax : zarn::datatraktextmax) / zarn::datatrakstep;
      const float north = (binary ? zarn::datatraknorthmax : zarn::datatraktextmax) / zarn::datatrakstep;
      float lat = 0, lon = 0;
      zarn::osgbtoll(app->geo, v.rptx, v.rpty, lat, lon);
      if (!(v.rptx >= 0 && v.rptx <= east && v.rpty >= 0 && v.rpty <= north && std::fabs(lat) <= 90 &&
            std::fabs(lon) <= 180))
        __builtin_trap();
    }
  }
  return 0;
}
