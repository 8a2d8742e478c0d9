// The keys that work on places: stored locations by number, the nearest objects of a kind, and
// the more-information key with its window.
#include <optional>
#include <tuple>

#include "mainwindow/moreform.h"
#include "mainwindow/placekeys.h"
#include "mainwindow/secondary.h"
#include "mainwindow/smallservices.h"
#include "support/app_fixture.h"
#include "support/builders.h"

namespace zarn::test {
namespace {

class PlaceKeys : public AppTest {
 protected:
  void ready() override { squares({{"SJ", 300, 300}}); }
  const Items& said() const { return app->speech.lastsentence; }
  // A BMP header of the given size: the headless image store reads no further.
  void bmp(const std::string& name, int w, int h) const {
    std::string s = std::string("BM", 2) + std::string(52, '\0');
    for (const auto& [at, v] : {std::pair{14u, 40u}, {18u, static_cast<unsigned>(w)}, {22u, static_cast<unsigned>(h)}})
      for (unsigned i = 0; i < 4; ++i) s[at + i] = static_cast<char>((v >> (8 * i)) & 0xFF);
    put(name, s);
  }
};

TEST_F(PlaceKeys, DigitsSelectStoredLocations) {
  std::string loc;
  for (int i = 1; i <= 12; ++i) loc += "SJ 75128 7848" + std::to_string(i % 10) + ",Place " + std::to_string(i) + "\r\n";
  loc += "SJ 76929 87885,Knutsford, Cheshire\r\nSJ 70000 80000,Mill Lanes\r\n";
  put("ZARN.LOC", loc);
  wavfile("MILLLANE.WAV");
  MainState& m = app->main;
  struct Row {
    const char* guards;
    int locnum;  // before the key
    int digit;
    int after;   // locnum after
    std::string label;
    int beeps;
  };
  const Row rows[] = {
      {"1 selects entry 1", 0, 1, 1, "Place 1", 0},
      {"then 2 extends it to entry 12", 1, 2, 12, "Place 12", 0},
      {"0 alone is entry 10", 0, 0, 10, "Place 10", 0},
      {"past the end: a beep, the found place kept", 12, 3, 0, "Place 10", 1},
      {"a label holding a comma keeps its number", 1, 3, 13, "Knutsford, Cheshire", 1},
      {"the label's letters, 8 of them, name its recording", 1, 4, 14, "Mill Lanes", 1},
  };
  for (const Row& r : rows) {
    m.locnum = r.locnum;
    app->nav.morefile = "SJ 1 1";
    lockey(*app, r.digit);
    EXPECT_EQ(std::tuple(m.locnum, m.foundlabel, wav->beeps), std::tuple(r.after, r.label, r.beeps)) << r.guards;
  }
  EXPECT_EQ(std::tuple(m.foundref, m.foundwav, app->nav.morefile), std::tuple("SJ 70000 80000", "MillLane.WAV", ""))
      << "a selection clears the information key of the search before";
  EXPECT_EQ(std::tuple(m.foundx, m.foundy), std::tuple(370.0f, 380.0f));
  lockey(*app, 0);  // 140: past the end
  EXPECT_EQ(std::tuple(m.foundlabel, m.foundref, m.foundwav), std::tuple("Mill Lanes", "SJ 70000 80000", "destinat.wav"))
      << "a digit past the list leaves the place, with the destination's prompt";
  lockey(*app, 2);
  EXPECT_EQ(app->speech.msgtext, "OK   2 Place 2");
  EXPECT_EQ(said(), (Items{"ok.wav", "2.wav", "destinat.wav"}));
  EXPECT_TRUE(app->win.zarn.sym.visible && app->win.zarn.symlab.caption == "Place 2");
}

TEST_F(PlaceKeys, LocationNumbersEndAt32767) {
  std::string loc;
  for (int i = 1; i <= 32768; ++i) loc += "SJ 1 1,L" + std::to_string(i) + "\r\n";
  put("ZARN.LOC", loc);
  for (int digit : {7, 8}) {
    app->main.locnum = 3276;
    lockey(*app, digit);
  }
  EXPECT_EQ(std::tuple(app->main.foundlabel, app->main.locnum, wav->beeps), std::tuple("L32767", 0, 1));
}

TEST_F(PlaceKeys, FindNearestKeys) {
  MainState& m = app->main;
  ZarnForm& z = app->win.zarn;
  m.fndcount = 2;
  m.searchlists[1] = "TOWNS.GED";
  m.searchlists[2] = "$FS.GTX";
  put("$FS.GTX", "header\r\nheader\r\nFS,,SJ 75128 78480,Filling,\r\n");
  gridview(*app, 370, 370, 380, 380);
  app->map.mapnex[0] = 380;
  z.sym.visible = true;
  clock->advance(1000);
  const float now = app->timer();
  app->speech.talkon = 0;
  findnearestkey(*app, "F");
  EXPECT_EQ(std::tuple(m.searchidx, z.search.text, z.search.visible, z.sym.visible, said()),
            std::tuple(2, "Petrol Filling station ", true, false, Items{"$FS.wav"}));
  EXPECT_FALSE(z.surface.ops().empty()) << "the list's overlay drawn";
  EXPECT_GE(m.searchtime, now) << "the list chosen is not reset by the tick at once";

  findnearestkey(*app, "P");
  EXPECT_EQ(std::tuple(app->speech.msgtext, said(), m.searchidx),
            std::tuple("I can't find Population Centre ", Items{"icantfin.wav", "$LPOP.wav"}, 2));

  m.searchlists[1] = "$AN.NOF";
  app->map.nofcache = 1;
  put("ZARN.NOF", "\"C\",\"SJ 79010 79994\",\"1\",\"Mobberley no fly zone\"\r\n");
  wavfile("ok.wav");
  findnearestkey(*app, "]");
  EXPECT_EQ(std::tuple(m.searchidx, played().front(), m.foundlabel), std::tuple(1, "ok.wav", "Mobberley no fly zone"))
      << "] says OK and the nearest no-fly zone";
  EXPECT_EQ(app->speech.talkon, 0);
}

TEST_F(PlaceKeys, MoreInformation) {
  MainState& m = app->main;
  put("ZARN.MOR", ",SJ 75128 78480,NULL,MILL.INF,NULL\r\n,NULL,Tower,TOWER.INF,NULL\r\n");
  put("MILL.INF", "Mill\r\nmill.bmp\r\nMILL.WAV\r\nMILL.TXT\r\n");
  put("MILL.TXT", "The old mill\r\n, built 1820\r\n");
  put("TOWER.INF", "Tower\r\nNOPIC.BMP\r\n\r\nMILL.TXT\r\n");
  put("FILM.INF", "Film\r\nFILM.AVI\r\n\r\n\r\n");
  bmp("MILL.BMP", 200, 100);
  wavfile("MILL.WAV");
  ControlsForm& controls = app->win.get<ControlsForm>();
  // The windows as they stand once the sound has played, before the key ends.
  std::optional<std::tuple<bool, int, int, bool>> during;
  events->hook = [&] {
    if (played().empty() || during) return;
    const MoreForm& f = app->win.get<MoreForm>();
    during = std::tuple(f.visible, f.bmp.left, f.bmp.top, controls.visible);
  };

  morekey(*app);
  EXPECT_EQ(std::tuple(app->speech.msgtext, said()),
            std::tuple("more information is not available", Items{"morenota.wav"}));
  EXPECT_FALSE(app->win.find("more") && app->win.find("more")->visible);

  controls.visible = true;
  app->nav.morefile = "SJ 75128 78480";
  morekey(*app);
  EXPECT_EQ(during, std::tuple(true, 220, 190, false)) << "shown while the sound plays, the picture centred";
  MoreForm& more = app->win.get<MoreForm>();
  EXPECT_EQ(std::tuple(more.visible, controls.visible, more.moretext.caption, app->speech.msgtext, more.caption),
            std::tuple(false, true, "The old mill, built 1820", "The old mill", "More Information"))
      << "hidden after, the panel back, the text file's first line shown";

  // Told of by name by a search that knew no reference.
  std::tie(app->nav.morefile, m.foundlabel) = std::tuple("", "TOWER");
  morekey(*app);
  EXPECT_EQ(std::tuple(more.moretext.caption, more.visible),
            std::tuple("The old mill, built 1820 I can't find file NOPIC.BMP", false));

  put("ZARN.MOR", ",SJ 75128 78480,NULL,FILM.INF,NULL\r\n");
  app->nav.morefile = "SJ 75128 78480";
  morekey(*app);
  ASSERT_EQ(programs->started.size(), 1u);
  EXPECT_EQ(get("PICVIEWR.CFG").substr(0, 8), "FILM.AVI");
}

}  // namespace
}  // namespace zarn::test
