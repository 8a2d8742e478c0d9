// The spoken position read-outs of the keys L, G and W.
#include <algorithm>
#include <functional>

#include "geodesy/postext.h"
#include "geodesy/ukgrid.h"
#include "mainwindow/posreadouts.h"
#include "support/app_fixture.h"
#include "support/builders.h"

namespace zarn::test {
namespace {

class PosReadouts : public AppTest {
 protected:
  const Items& said() const { return app->speech.lastsentence; }
};

// 51 05.375 N, 2 20.375 W: minutes cut to hundredths, so 05.37 and 20.37.
const Items latlong = {"latitude.wav", "50.wav", "1.wav", "degrees.wav", "5.wav", "point.wav", "3.wav",
                       "7.wav", "minutes.wav", "north.wav", "longitud.wav", "2.wav", "degrees.wav", "20.wav",
                       "point.wav", "3.wav", "7.wav", "minutes.wav", "west.wav"};

const auto latlongkey = [](App& a) { sayownlatlong(a.voice, a.geo, a.gps); };
const auto gridkey = [](App& a) { sayowngrid(a.voice, a.geo, a.gps); };

TEST_F(PosReadouts, LAndGForEachGridForm) {
  struct Row {
    const char* guards;
    std::function<void()> where;
    std::function<void(App&)> key;
    const char* msg;
    Items spoken;
  };
  const Row rows[] = {
      {"L: degrees, whole minutes without their leading zero, each decimal; longitude 2 without a stray and",
       [&] { ownfix(*app, 51 + 5.375f / 60, -(2 + 20.375f / 60)); }, latlongkey, "510537N0022037W", latlong},
      {"G outside every grid and UTM off: the same as L", [&] { ownfix(*app, 51 + 5.375f / 60, -(2 + 20.375f / 60)); },
       gridkey, "510537N0022037W", latlong},
      {"G national grid (14): two letters and six digits",
       [&] { squares({{"SJ", 300, 300}}), ownfixat(*app, "SJ 75128 78480"); }, gridkey, "grid reference SJ751784",
       {"gridrefe.wav", "S.wav", "J.wav", "7.wav", "5.wav", "1.wav", "7.wav", "8.wav", "4.wav"}},
      {"G Irish grid (13): the letter (its blank shown, not said) and six digits",
       [&] { ownfixat(*app, "O 15855 34718"); },
       gridkey, "grid reference O 158347",
       {"gridrefe.wav", "O.wav", "1.wav", "5.wav", "8.wav", "3.wav", "4.wav", "7.wav"}},
      {"G UTM (18): zone and band, four easting and five northing digits",
       [&] { app->geo.utmmode = 1, ownfix(*app, 51.5f, -0.1f); }, gridkey, "grid reference 30U701257094",
       {"gridrefe.wav", "3.wav", "0.wav", "U.wav", "7.wav", "0.wav", "1.wav", "2.wav", "5.wav", "7.wav", "0.wav",
        "9.wav", "4.wav"}},
      {"G MGRS (18, blank at 7): square letters and three digits each way",
       [&] { app->geo.utmmode = 2, ownfix(*app, 51.5f, -0.1f); }, gridkey, "grid reference 30UYC012094",
       {"gridrefe.wav", "3.wav", "0.wav", "U.wav", "Y.wav", "C.wav", "0.wav", "1.wav", "2.wav", "0.wav", "9.wav",
        "4.wav"}},
  };
  for (const Row& r : rows) {
    make();
    app->speech.talkon = 0;
    r.where();
    r.key(*app);
    EXPECT_EQ(std::tuple(app->speech.msgtext, said(), app->speech.talkon), std::tuple(r.msg, r.spoken, 0)) << r.guards;
  }
}

TEST_F(PosReadouts, WhereAreWeAndItsReports) {
  for (const char* w : {"altisnot.wav", "moveast.wav", "destinat.wav"}) wavfile(w);
  const auto heard = [&](const char* w) {
    const Items p = played();
    return std::count(p.begin(), p.end(), w) > 0;
  };
  struct Row {
    const char* guards;
    int platform, nodest, nosound;
    bool altitude, moving, dest;
  };
  const Row rows[] = {
      {"not a car, a destination: altitude, movement and destination distance", 1, 0, 0, true, true, true},
      {"a car without a destination: movement only", 0, 1, 0, false, true, false},
      {"prompts suppressed: only the position report", 1, 0, -1, false, false, false},
  };
  for (const Row& r : rows) {
    make();
    ownfix(*app, 53.3f, -2.4f);
    app->main.platformkind = r.platform;
    app->nav.nodest = r.nodest;
    app->speech.nosound = static_cast<std::int16_t>(r.nosound);
    ownheading(*app, 90);
    std::tie(app->win.zarn.spdbox.caption, app->win.zarn.disbox.caption) = std::tuple("30", "2m");
    clock->advance(100);
    saywherekey(*app);
    EXPECT_EQ(std::tuple(heard("altisnot.wav"), heard("moveast.wav"), heard("destinat.wav")),
              std::tuple(r.altitude, r.moving, r.dest))
        << r.guards;
    EXPECT_EQ(std::tuple(app->main.herereptime, app->main.destreptime), std::tuple(app->timer(), app->timer()))
        << r.guards << ": the regular reports count from now";
  }
}

TEST_F(PosReadouts, NoPositionYetIsSaidNotConverted) {
  const std::function<void(App&)> keys[] = {latlongkey, gridkey, saywherekey};
  for (const auto& key : keys) {
    for (bool receiving : {false, true}) {
      make();
      app->speech.ttsavail = 1;
      // Sentences without a fix: the tick has made the zero latitude and longitude a position.
      if (receiving) ownfix(*app, 0, 0);
      key(*app);
      EXPECT_EQ(std::tuple(app->speech.msgtext, tts->said, app->main.herereptime),
                std::tuple("No position yet", Items{"No position yet"}, 0.0f))
          << (receiving ? "receiving" : "at start");
    }
  }
}

}  // namespace
}  // namespace zarn::test
