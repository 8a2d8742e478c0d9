// Destinations named, marked and announced, and the guidance step's choice of instruction.
#include "geodesy/postext.h"
#include "mapdisplay/mapchoice.h"
#include "navigation/destinations.h"
#include "navigation/guidance.h"
#include "navigation/iform.h"
#include "support/app_fixture.h"
#include "support/builders.h"

namespace zarn::test {
namespace {

class Destinations : public AppTest {
 protected:
  void ready() override {
    squares({{"SJ", 300, 300}});
    NavState& n = app->nav;
    std::tie(n.destname[1], n.destlabel[1], n.adhocdest, n.curdest) = std::tuple("SJ 70000 80000", "Stored", 2, 1);
    app->main.homeloc = "SJ 71000 80000";
    app->main.homename = "Home";
    put("ZARN.WAW", "SJ 72000 81000,First,first.wav,5\r\nSJ 72000 79000,Second,second.wav,5\r\n"
                    "SJ 72300 80000,Too small,small.wav,0.1\r\n");
    put("ZARN.MOR", ",NULL,Home,NULL,HOME.RGI\r\n,NULL,First,FIRST.MOR,NULL\r\n");
    put("HOME.RGI", "SJ 71000 80000,100,90,30,RGI$S.WAV,RGI$S\r\nHome ahead\r\n");
    put("ZARNSIGN.TXT", "RGI$S,Straight on,L,50,0,50,100,END,FINISH\r\n");
    for (const char* w : {"SJ7080.WAV", "destinat.wav", "attentio.wav", "RGI$S.WAV"}) wavfile(w);
  }
  const std::string& label() const { return app->nav.destlabel[app->nav.curdest]; }
};

TEST_F(Destinations, ANewDestinationIsNamedByHomeAStoredOneOrTheNearestPlace) {
  NavState& n = app->nav;
  const struct { const char* guards; float x, y; int slot; std::string label, wav; } cases[] = {
      {"home by its position text", 371, 380, 2, "Home", "home.wav"},
      {"a stored destination becomes current, with its square's prompt", 370, 380, 1, "Stored", "SJ7080.WAV"},
      {"equally near places: the first in the file", 372, 380, 2, "First", "first.wav"},
      {"a place beyond its own reach is never taken", 380, 380, 2, "clicked", "destinat.wav"}};
  for (const auto& c : cases) {
    n.destwav = "destinat.wav";
    setdest(*app, 1, c.x, c.y, "clicked");
    EXPECT_EQ(std::tuple(n.curdest, label(), n.destwav), std::tuple(c.slot, c.label, c.wav)) << c.guards;
    EXPECT_EQ(std::tuple(n.destx[2], n.desty[2]), std::tuple(c.x, c.y)) << "the ad-hoc slot holds the click";
  }
  n.destwav = "chosen.wav";
  setdest(*app, 1, 371, 380, "clicked");
  EXPECT_EQ(std::tuple(label(), n.destwav), std::tuple("clicked", "chosen.wav")) << "a prompt chosen by the caller";
}

TEST_F(Destinations, OnlyAFullSettingTakesUpGuidanceAndSayingItKeepsIt) {
  NavState& n = app->nav;
  n.rgifile = "OLD.RGI";
  setdest(*app, 1, 371, 380, "");
  EXPECT_EQ(n.rgifile, "OLD.RGI") << "marking only";
  app->speech.talkon = 0;
  desthome(app->nav, app->main.homeloc, app->main.homename);
  saydest(*app);
  EXPECT_EQ(std::tuple(n.rgifile, n.rgiexists, label(), app->speech.talkon), std::tuple("HOME.RGI", 1, "Home", 0))
      << "the guidance set for home stays on after the announcement; speech as it was";
  EXPECT_EQ(played(), Items{"destinat.wav"}) << "announced with speech forced on";
  const float said = app->main.destreptime;
  clock->advance(10);
  n.nodest = 1;
  saydest(*app);
  EXPECT_EQ(app->main.destreptime, said) << "no destination: nothing at all";
  std::tie(app->main.foundref, app->main.foundlabel, app->main.foundwav) = std::tuple("SJ 72000 81000", "First", "");
  destfound(*app);
  EXPECT_EQ(std::tuple(n.nodest, label(), n.rgiexists, app->speech.msgtext),
            std::tuple(0, "First", 0, "more information is available"));
  togglecardest(app->voice, app->main.refname, app->main.refdest, false);
  EXPECT_EQ(std::tuple(app->main.refname, app->main.refdest), std::tuple("DESTINATION", 1));
  togglecardest(app->voice, app->main.refname, app->main.refdest, false);
  EXPECT_EQ(std::tuple(app->main.refname, app->main.refdest, tts->said.size()), std::tuple("OUR CAR", 0, 0u));
  // A base station's map stays on the selected vehicle: the word and the speech say so, from
  // either choice.
  for (const char* from : {"OUR CAR", "DESTINATION"}) {
    std::tie(app->main.refname, app->main.refdest, app->main.mvmode) = std::tuple(from, 0, 1);
    togglecardest(app->voice, app->main.refname, app->main.refdest, true);
    EXPECT_EQ(std::tuple(app->main.refname, app->main.refdest, app->speech.msgtext, followsdest(*app)),
              std::tuple("OUR CAR", 0, "Our car", false)) << from;
  }
}

class Guidance : public Destinations {
 protected:
  // Instructions at frame positions (km) with their direction and tolerance; the car at (x, y).
  void load(const std::vector<std::tuple<float, float, int, int>>& recs) {
    NavState& n = app->nav;
    n.rgicount = 0;
    for (const auto& [x, y, dir, tol] : recs) {
      RgiRecord& r = n.rgirec[++n.rgicount];
      gridreftext(app->geo, x, y, r.pos);
      r.at = framepoint(app->geo, x, y);
      std::tie(r.radius, r.dir, r.tol, r.wav, r.sign, r.msg) = std::tuple(100, dir, tol, "RGI$S.WAV", "RGI$S", r.pos);
    }
    std::tie(n.rgiexists, n.rgilasttext, n.rgilastidx) = std::tuple(1, "", -2);
  }
  // Drives through the points with the heading given; the instructions given, in order.
  Items drive(const std::vector<std::tuple<float, float, int>>& route) {
    Items given;
    for (const auto& [x, y, hdg] : route) {
      ownfixat(*app, x, y, 0, hdg);
      std::tie(app->nav.rgiloadx, app->nav.rgiloady) = std::pair(x, y);
      const std::string before = app->nav.rgilasttext;
      rgistep(*app);
      if (app->nav.rgilasttext != before) given.push_back(app->nav.rgilasttext);
    }
    return given;
  }
};

TEST_F(Guidance, EachInstructionOnceInItsDirectionNoneWithoutAHeadingAndHeardAndSeen) {
  app->main.repint[4] = 1;
  load({{370, 380, 90, 30}, {370.3f, 380, 90, 30}, {371, 380, 270, 30}});
  const Items straight = {"SJ 70000 80000", "SJ 70300 80000"};
  EXPECT_EQ(drive({{369.95f, 380, 100}, {369.98f, 380, 80}, {370.25f, 380, 90}, {370.31f, 380, 91}}), straight)
      << "the same direction twice in a row: each given, each once";
  load({{370, 380, 90, 30}, {370.3f, 380, 90, 30}, {371, 380, 270, 30}});
  EXPECT_EQ(drive({{370.95f, 380, 90}, {370.95f, 380, 120}, {370.95f, 380, 301}}), Items{})
      << "the other way, or outside the tolerance";
  EXPECT_EQ(drive({{370, 380, -1}}), Items{}) << "no heading";
  // Given with speech forced on, the instruments stepping aside for the sign and coming back.
  load({{370, 380, 90, 181}});
  wav->played.clear();
  app->speech.talkon = 0;
  app->win.get<IForm>().show();
  EXPECT_EQ(drive({{370, 380, -1}}), Items{"SJ 70000 80000"}) << "an instruction for any direction";
  EXPECT_EQ(std::tuple(played(), app->speech.talkon, app->win.zarn.saytxt.backcolor, app->speech.msgtext),
            std::tuple(Items{"attentio.wav", "RGI$S.WAV"}, 0, ui::white, "SJ 70000 80000"));
  EXPECT_EQ(std::tuple(app->win.find("rgi")->visible, app->win.get<IForm>().visible, app->nav.rgishown),
            std::tuple(true, true, app->timer()));
  app->main.repint[4] = 0;
  load({{370, 380, 90, 30}});
  EXPECT_EQ(drive({{370, 380, 90}}), Items{}) << "guidance turned off";
}

}  // namespace
}  // namespace zarn::test
