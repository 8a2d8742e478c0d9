#include <chrono>
#include <fstream>
#include <iostream>
#include "gpstest.h"
#include "gpsinput/serialpoll.h"
namespace zarn::test {
TEST_F(GpsTest, Smoke) {
  std::ifstream in(ZARN_SHARED_DATA "/nmea/drive/cheshire-2020-10-26.nmea", std::ios::binary);
  std::string data((std::istreambuf_iterator<char>(in)), {});
  app->gps.logopen = 1;
  app->gps.triplog = platform::OutputFile::open(app->files, "T.NME", platform::OutputFile::Mode::Output);
  auto t0 = std::chrono::steady_clock::now();
  rxchars(*app, data);
  auto t1 = std::chrono::steady_clock::now();
  app->gps.triplog.reset();
  std::cout << "secs " << std::chrono::duration<double>(t1 - t0).count() << " lat " << app->gps.ownlat << " " << app->gps.ownlon << " grid " << app->gps.owngrid << " spd " << app->gps.ownspd << " hdg " << app->gps.ownhdg << " alt " << app->gps.ownalt << "\n";
  std::cout << "llbox " << app->win.zarn.llbox.caption << " spdbox " << app->win.zarn.spdbox.caption << " hdg " << app->win.zarn.hdgbox.caption << " grid " << app->win.zarn.gridbox.caption << "\n";
  std::cout << readfile("T.NME").size() << " logged bytes; data " << data.size() << "\n";
}
}
