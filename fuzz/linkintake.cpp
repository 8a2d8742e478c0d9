// The vehicle link's intake: received bytes through the serial poll's line assembly in
// multi-vehicle mode, and each line straight into the link handler in every data mode.
// The first byte chooses the link state: data mode (bits 0-2, taken modulo 5), the reader's
// step (bits 3-4), Datatrak configured (bit 5), a terminal identity "TRM" (bit 6) and coded
// messages with a call-sign separator (bit 7). Whatever a vehicle sends, the own fix stays
// as it was, on both paths; the one line that moves it is the own unit's "P:" report, which
// the byte-stream path leaves out of the check. The table of 3 slots is soon full, and new
// units take over its last slot: it never holds more units than slots, nor one twice.
#include <cstddef>
#include <cstdint>
#include <string>
#include <string_view>
#include <tuple>

#include "fuzzapp.h"
#include "gpsinput/serialpoll.h"
#include "vehicles/linkservices.h"

namespace {

void setlink(zarn::App& app, std::uint8_t f, int mode) {
  auto& g = app.gps;
  app.main.mvmode = 1;
  g.mvdatamode = static_cast<zarn::DataMode>(mode);
  g.reportmode = static_cast<zarn::ReportMode>((f >> 3) & 3);
  g.datatrakon = (f >> 5) & 1;
  g.datatrakseen = mode == 4 ? g.datatrakon : 0;
  g.protocode = mode == 4 && ((f >> 4) & 1) ? 11 : 8;
  if ((f >> 6) & 1) app.veh.dnid = "TRM";
  app.main.cmsgon = f >> 7;
  g.callsep = f >> 7 ? ">" : "";
  app.veh.mvsize = 3;
}

auto ownfix(const zarn::GpsState& g) {
  return std::tuple(g.ownx, g.owny, g.ownlat, g.ownlon, g.ownspd, g.ownhdg, g.fixhhmm, g.dfsector.dfsecmode);
}

void tablewhole(const zarn::VehicleTable& v) {
  if (v.mvtotal < 0 || v.mvtotal > v.mvsize) __builtin_trap();
  for (int i = 1; i <= v.mvtotal; ++i)
    for (int k = i + 1; k <= v.mvtotal; ++k)
      if (v.mvid[static_cast<std::size_t>(i)] == v.mvid[static_cast<std::size_t>(k)]) __builtin_trap();
}

}  // namespace

extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t* data, std::size_t size) {
  if (size == 0) return 0;
  const std::uint8_t f = data[0];
  const std::string_view in(reinterpret_cast<const char*>(data + 1), size - 1);

  // The line assembly, in chunks whose sizes the data decides.
  auto app = zarn::fuzz::makeapp();
  setlink(*app, f, (f & 7) % 5);
  app->gps.taipon = (f >> 6) & 1;
  app->hooks.linkline = [link = app->hooks.linkline](zarn::App& a, std::string& l, zarn::LinkFrame frame) {
    if (frame != zarn::LinkFrame::own) zarn::callhook(link, a, l, frame);
  };
  const auto start = ownfix(app->gps);
  for (std::size_t p = 0; p < in.size();) {
    const std::size_t n = 1 + static_cast<unsigned char>(in[p]) % 64;
    zarn::rxchars(*app, in.substr(p, n));
    if (ownfix(app->gps) != start) __builtin_trap();
    tablewhole(app->veh);
    p += n;
  }

  // Every line in every data mode, the state carried from line to line.
  for (int mode = 0; mode < 5; ++mode) {
    app = zarn::fuzz::makeapp();
    setlink(*app, f, mode);
    const auto before = ownfix(app->gps);
    std::size_t start = 0;
    for (std::size_t i = 0; i <= in.size(); ++i) {
      if (i < in.size() && in[i] != '\n') continue;
      std::string line(in.substr(start, i - start));
      zarn::mvlinein(*app, line, static_cast<long>(line.size()));
      if (ownfix(app->gps) != before) __builtin_trap();
      tablewhole(app->veh);
      start = i + 1;
    }
  }
  return 0;
}
