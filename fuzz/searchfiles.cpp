// The search lists and the map's drawing files, whatever they hold: the first byte chooses the
// typed text, the rest is the file. It is searched as a binary list (typed, then nearest), then
// as a text list, and read as an overlay list, as ROAD.DAT and as ZARN.PIC. A found place must
// be a finite position, the hit list within its bounds, and a binary list's tables inside its
// bytes.
#include <cmath>
#include <cstddef>
#include <cstdint>
#include <cstdlib>
#include <fstream>
#include <string>

#include "fuzzapp.h"
#include "mainwindow/placesearch.h"
#include "mapdisplay/overlays.h"

namespace {

const char* const texts[] = {"", "LON", "*ON", "*", "b", "Hale"};

void check(const zarn::App& app) {
  const zarn::MainState& m = app.main;
  if (!std::isfinite(m.foundx) || !std::isfinite(m.foundy) || m.hitcount < 0 || m.hitcount > zarn::MainState::hitmax)
    std::abort();
}

}  // namespace

extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t* data, std::size_t size) {
  if (size == 0) return 0;
  auto app = zarn::fuzz::makeapp();
  const std::string file(reinterpret_cast<const char*>(data + 1), size - 1);
  const zarn::GedList ged(file);
  if (ged.count() > 0 && 4 + 12 * static_cast<std::uint64_t>(ged.count()) > file.size()) std::abort();
  for (const char* name : {"LIST.GED", "LIST.GTX", "ROAD.DAT", "ZARN.PIC"})
    std::ofstream(zarn::fuzz::scratch() / name, std::ios::binary)
        .write(file.data(), static_cast<std::streamsize>(file.size()));

  zarn::MainState& m = app->main;
  m.fndcount = 2;
  m.searchlists[1] = "LIST.GED";
  m.searchlists[2] = "LIST.GTX";
  m.searchprompts[1] = m.searchprompts[2] = "Place";
  app->gps.ownx = 380, app->gps.owny = 385;
  app->win.zarn.search.text = texts[data[0] % (sizeof texts / sizeof texts[0])];
  for (int list : {1, 2}) {
    m.searchidx = list;
    m.hitcount = 1;
    zarn::typedsearch(*app);
    check(*app);
    m.hitcount = 0;
    for (int k = 0; k < 3; ++k) {
      zarn::nearestsearch(*app);
      check(*app);
    }
  }
  zarn::readoverlay(app->win.zarn, app->geo, app->map, app->files, "LIST.GTX");
  zarn::drawroads(app->win.zarn, app->geo, app->map, app->files);
  zarn::readpicfile(*app);
  return 0;
}
