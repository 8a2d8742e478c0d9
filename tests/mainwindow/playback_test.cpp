// The playback window's filter runs on the real map: each record read moves the car and the
// read-outs as a received one would, whatever the run does with the record.
#include <cstdio>
#include <fstream>
#include <set>

#include "gpsinput/filter.h"
#include "gpsinput/fform.h"
#include "gpsinput/logs.h"
#include "mapdisplay/owncar.h"
#include "platform/textrules.h"
#include "support/app_fixture.h"
#include "support/builders.h"

namespace zarn::test {
namespace {

class Playback : public AppTest {
 protected:
  void ready() override { demomaps(*app); }
  FForm& form() { return app->win.get<FForm>(); }
  ZarnForm& z() { return app->win.zarn; }
  // Runs the command of the button as the window does, watching the car and the latitude/longitude
  // read-out between records; each record takes 0.6 s, so that no fix is too soon for the car.
  void run(ui::Button& b) {
    cars.clear();
    readouts.clear();
    events->hook = [this] {
      clock->advance(0.6);
      if (z().car.visible) cars.emplace(z().car.left, z().car.top);
      readouts.insert(z().llbox.caption);
    };
    b.onClick();
    events->hook = nullptr;
  }
  // A track due north along the drive's first road, a point a second from 14:53:00.
  static std::string track() {
    std::string trk;
    for (int i = 0; i < 6; ++i) {
      char line[96];
      std::snprintf(line, sizeof line, "T  N53%08.5f W00218.36000 26-OCT-20 14:53:%02d\r\n", 21.48 + 0.012 * i, i);
      trk += line;
    }
    return trk;
  }
  std::set<std::pair<int, int>> cars;
  std::set<std::string> readouts;
};

TEST_F(Playback, EveryRunMovesTheCarAndTheReadOutsWithTheRecords) {
  // The first 48 s of the recorded drive (600 sentences), as an NMEA log.
  std::ifstream in(ZARN_TEST_DATA "/nmea/drive/cheshire-2020-10-26.nmea", std::ios::binary);
  std::string log, l;
  for (int n = 0; n < 600 && std::getline(in, l); ++n) log += l + "\n";
  put("DRIVE.NME", log);
  // A short .AGD log and a track, due north along the drive's first road, a point a second.
  std::string agd;
  for (int i = 0; i < 6; ++i) {
    char line[96];
    std::snprintf(line, sizeof line, "26/10/2020 14:53:%02d     2 %.6f -2.306000 A 0.0 20.0 50.0\r\n", i,
                  53.358 + 0.0002 * i);
    agd += line;
  }
  put("DRIVE.AGD", agd);
  put("DRIVE.TRK", track());

  FForm& f = form();
  wirefform(*app, f);
  const struct {
    const char* log;
    ui::Button* b;
    std::size_t cars;  // at least this many places of the car during the run
  } runs[] = {{"DRIVE.NME", &f.plotcmd, 40}, {"DRIVE.NME", &f.filecmd, 40}, {"DRIVE.NME", &f.printcmd, 40},
              {"DRIVE.NME", &f.findcmd, 40}, {"DRIVE.AGD", &f.plotcmd, 6},   {"DRIVE.TRK", &f.plotcmd, 6}};
  for (const auto& r : runs) {
    const std::string what = std::string(r.log) + " " + r.b->caption;
    setreplayfile(app->gps, r.log);
    std::tie(z().llbox.caption, z().hdgbox.caption, z().spdbox.caption) = std::tuple("", "", "");
    run(*r.b);
    EXPECT_GE(cars.size(), r.cars) << what << ": the car follows the records";
    EXPECT_GE(readouts.size(), r.cars) << what << ": so does the latitude/longitude read-out";
    if (r.b == &f.findcmd) continue;  // the car ends on the nearest record, the read-outs on the last
    std::string ll;
    latlongtext(app->gps.ownlat, app->gps.ownlon, ll);
    EXPECT_EQ(std::tuple(z().llbox.caption, z().gridbox.caption, z().hdgbox.caption),
              std::tuple(ll, app->gps.owngrid, text::format(app->gps.ownhdg, "000")))
        << what << ": the last record's position and heading";
    EXPECT_FALSE(z().spdbox.caption.empty()) << what;
  }
}

// The "v" scan of a track moves the car to each point, so that it ends on the last one; a
// track's points are not counted, so the "from" boxes stay empty.
TEST_F(Playback, TheScanOfATrackLeavesTheCarOnItsLastPointAndTheFromBoxesEmpty) {
  put("DRIVE.TRK", track());
  FForm& f = form();
  wirefform(*app, f);
  setreplayfile(app->gps, "DRIVE.TRK");
  run(f.plotcmd);  // the map of the track
  z().car.visible = false;
  z().car.move(0, 0);
  run(f.dtcmd);
  EXPECT_GE(cars.size(), 5u) << "the car follows the points (each seen as the next line is read)";
  EXPECT_EQ(std::tuple(f.dfrom.text, f.tfrom.text, f.dto.text, f.tto.text), std::tuple("", "", "261020", "14:53:05"));
  const std::pair last(z().car.left, z().car.top);
  z().car.move(0, 0);
  updatecar(*app);
  EXPECT_EQ(std::pair(z().car.left, z().car.top), last) << "the car stands on the last point";
}

}  // namespace
}  // namespace zarn::test
