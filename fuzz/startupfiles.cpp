// The files start-up reads, whatever they hold: the first byte chooses the file, the rest is
// its contents, and the reader runs on it in a scratch directory.
#include <cstddef>
#include <cstdint>
#include <fstream>
#include <string>

#include "fuzzapp.h"
#include "mainwindow/cform.h"
#include "mainwindow/config.h"
#include "mainwindow/datafiles.h"
#include "mainwindow/popdata.h"
#include "vehicles/mcv.h"

namespace {
const char* const files[] = {"ZARN.CFG",   "ZARN.MCV",     "$LPOP.PCD",    "ZARN.LOC", "SOUNDS.CFG",
                             "HISTORY.CFG", "ZARNKEYS.CFG", "ZARNDIAL.CFG", "DFCOLOUR.CFG", "ZARN.CAT",
                             "ZARN.FND",   "ZARN.COM",     "CHASE.CFG",    "UTM.CFG"};
constexpr std::size_t nfiles = sizeof files / sizeof files[0];
}  // namespace

extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t* data, std::size_t size) {
  if (size == 0) return 0;
  auto app = zarn::fuzz::makeapp();
  // Waits end: every pass of events moves the clock on.
  auto* clock = static_cast<zarn::platform::FakeClock*>(app->sys.clock.get());
  static_cast<zarn::platform::NoEvents&>(*app->sys.events).hook = [clock] { clock->advance(0.5); };
  const std::size_t which = data[0] % nfiles;
  const std::string name = files[which];
  std::ofstream(zarn::fuzz::scratch() / name, std::ios::binary)
      .write(reinterpret_cast<const char*>(data + 1), static_cast<std::streamsize>(size - 1));
  switch (which) {
    case 0: zarn::readcfg(*app); break;
    case 1: zarn::readmcv(*app); break;
    case 2: zarn::readpopcd(app->files, app->main, app->win); break;
    case 3: zarn::readloc(app->files, app->geo, app->nav, app->win.get<zarn::CForm>()); break;
    case 4: zarn::readsounds(app->files, app->main, app->speech); break;
    case 5: zarn::readhistory(app->files, app->map, app->main.mvmode); break;
    case 6: zarn::readzarnkeys(*app); break;
    case 7: zarn::readzarndial(app->files, app->win); break;
    case 8: zarn::readdfcolour(app->files, app->win.zarn); break;
    case 9: zarn::readcat(app->files, app->main); break;
    case 10: zarn::readfnd(app->files, app->main); break;
    case 11: zarn::readzarncom(app->files, data[0] & 0x80); break;
    case 12: zarn::readchase(app->files, app->main); break;
    default: zarn::readutmcfg(app->files, app->geo); break;
  }
  std::filesystem::remove(zarn::fuzz::scratch() / name);
  return 0;
}
