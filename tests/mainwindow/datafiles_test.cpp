// The presence-flag files and the small data files start-up reads itself.
#include "mainwindow/cform.h"
#include "mainwindow/datafiles.h"
#include "mainwindow/flags.h"
#include "mainwindow/secondary.h"
#include "support/app_fixture.h"
#include "vehicles/dialforms.h"
#include "vehicles/mvforms.h"

namespace zarn::test {
namespace {

using Flags = AppTest;
using DataFiles = AppTest;

TEST_F(Flags, AFileSwitchesItsFeatureByBeingThere) {
  const auto readall = [this] {
    readlinkflags(*app);
    readmapflags(*app);
    readinputflags(*app);
    readparserflags(*app);
    readlayoutflags(*app);
    readfeatureflags(*app);
    return std::vector<int>{app->speech.talkext, app->main.poweroff, app->veh.pageron,  app->gps.ringstop,
                            app->gps.taipon,     app->gps.datatrakon, app->main.metric,  app->main.nautical,
                            app->main.mapmatch,  app->gps.onlyrmc,   app->main.cmsgon,  app->gps.chksumoff,
                            app->main.kcfon,     app->map.mapzoom,   app->main.scalelayout, app->nav.speedwarnon};
  };
  EXPECT_EQ(readall(), std::vector<int>(16, 0));
  EXPECT_FLOAT_EQ(app->map.recentredist, 40) << "ZARNTILE.CFG absent";
  EXPECT_EQ(app->gps.callsep, ">ZARN") << "CALLSIGN.CFG absent";
  EXPECT_EQ(app->win.get<CForm>().csgn.text, ">ZARN");
  for (const char* f : {"ZARNTALK.CFG", "POWEROFF.CFG", "PAGERON.CFG", "RINGSTOP.CFG", "TAIP.CFG", "DATATRAK.CFG",
                        "metric.cfg", "NAUTICAL.CFG", "MAPMATCH.CFG", "ONLYRMC.CFG", "CMESSAGE.CFG", "NOCHKSUM.CFG",
                        "ZARN.KCF", "MAPZOOM.CFG", "800600.CFG", "SPEEDWAR.CFG"})
    put(f, "");  // empty files count, whatever the letter case
  put("ZARNTILE.CFG", "64\r\n");
  put("CALLSIGN.CFG", ">BASE\r\n");
  put("ZARNLOG.CFG", "$GPRMC\r\n");
  put("DIALTIME.CFG", "90\r\n");
  put("MVNONEW.CFG", "");
  put("SENDACKC.CFG", "");
  EXPECT_EQ(readall(), std::vector<int>(16, 1));
  EXPECT_FLOAT_EQ(app->map.recentredist, 64);
  EXPECT_EQ(app->gps.callsep, ">BASE");
  EXPECT_EQ(app->gps.logprefix, "$GPRMC");
  EXPECT_EQ(app->gps.autohangup, 90);
  EXPECT_EQ(app->win.get<MvForm>().nonewl.caption, "ignore new vehicles");
  const MvAlarmForm& a = app->win.get<MvAlarmForm>();
  EXPECT_EQ(a.cancel.left, a.ack.left);
  EXPECT_FALSE(a.ack.visible);

  for (const auto& [romshelf, dist, on] : {std::tuple{"absent", 5.0f, 0}, {"0\r\n", 5.0f, 0}, {"2.5\r\n", 2.5f, 1}}) {
    if (std::string(romshelf) != "absent") put("ROMSHELF.CFG", romshelf);
    readautomapflag(*app);
    EXPECT_FLOAT_EQ(app->map.automapdist, dist) << romshelf;
    EXPECT_EQ(app->map.automapon, on) << romshelf;
  }
}

TEST_F(DataFiles, SoundsFileGivesSoundAndIntervals) {
  EXPECT_FALSE(readsounds(*app));
  put("NOSOUND.CFG", "");
  readfeatureflags(*app);
  EXPECT_EQ(app->speech.nosound, 1);
  put("SOUNDS.CFG", "0\r\n30,15,45\r\n1,0,1,1,1,90\r\n");
  EXPECT_TRUE(readsounds(*app));
  EXPECT_EQ(app->speech.nosound, 0) << "SOUNDS.CFG's first value wins over NOSOUND.CFG";
  EXPECT_EQ(std::vector<int>(app->main.repint.begin() + 1, app->main.repint.begin() + 11),
            (std::vector<int>{30, 15, 45, 1, 0, 1, 1, 1, 90, 0}))
      << "kind 10 off with the file";

  put("SOUNDS.CFG", "1,forty,20\r\n");
  EXPECT_TRUE(readsounds(*app));
  EXPECT_EQ(app->speech.nosound, 1);
  EXPECT_EQ(app->main.repint[1], 60) << "a text where a number is wanted keeps the default";
  EXPECT_EQ(app->main.repint[2], 20);
  EXPECT_EQ(app->main.repint[3], 60) << "a short file keeps the defaults";
}

TEST_F(DataFiles, LocationFileFillsTheDestinationsAndTheMouseSlot) {
  put("ZARN.LOC", "SJ 75128 78480,Knutsford, Cheshire\r\nSJ 76929 87885,Altrincham\r\n\r\nSJ 1 1,After the gap\r\n");
  squares({{"SJ", 300, 300}});
  EXPECT_EQ(readloc(*app), 2) << "an empty line ends the list";
  const NavState& n = app->nav;
  EXPECT_EQ(n.destname[1], "SJ 75128 78480");
  EXPECT_EQ(n.destlabel[1], "Knutsford, Cheshire") << "the label may hold commas";
  EXPECT_NEAR(n.destx[1], 375.128, 0.001);
  EXPECT_EQ(n.adhocdest, 3);
  EXPECT_EQ(n.destlabel[3], "SJ 76929 87885") << "the mouse slot's label is the last position text";
  EXPECT_EQ(app->win.get<CForm>().desti.items, (Items{"Knutsford, Cheshire", "Altrincham", "(mouse)"}));

  std::string many;
  for (int i = 1; i <= 250; ++i) many += "SJ 1 1,Place " + std::to_string(i) + "\r\n";
  put("ZARN.LOC", many);
  make();
  EXPECT_EQ(readloc(*app), 199);
  EXPECT_EQ(app->nav.adhocdest, 200);
  put("ZARN.LOC", "no comma here\r\n");
  make();
  EXPECT_EQ(readloc(*app), 1);
  EXPECT_EQ(app->nav.destname[1], "");
  EXPECT_EQ(app->nav.destlabel[1], "no comma here");
}

TEST_F(DataFiles, GpsLineAndTrailSettings) {
  EXPECT_FALSE(readzarncom(*app, false));
  put("ZARN.COM", " 4800,N,8,1  \r\n15\r\n2,250\r\n20\r\n");
  auto c = readzarncom(*app, false);
  ASSERT_TRUE(c);
  EXPECT_FLOAT_EQ(*c->fixminmove, 250) << "metres; the caller keeps km";
  EXPECT_FLOAT_EQ(*c->minhdgspd, 20);
  c = readzarncom(*app, true);
  ASSERT_TRUE(c && c->gpstimeout);
  EXPECT_FALSE(c->fixmint) << "with the file link only the time-out";
  put("ZARN.COM", "4800,N,8,1\r\nten\r\n");
  c = readzarncom(*app, false);
  ASSERT_TRUE(c);
  EXPECT_TRUE(c->bad);
  EXPECT_FALSE(c->gpstimeout);

  EXPECT_TRUE(readhistory(*app));
  EXPECT_EQ(app->map.histint, 1);
  app->main.mvmode = 1;
  EXPECT_TRUE(readhistory(*app));
  EXPECT_EQ(app->map.histint, 0) << "every fix in multi-vehicle mode";
  put("HISTORY.CFG", "2\r\n255,0,0\r\n50,5,100\r\n");
  EXPECT_TRUE(readhistory(*app));
  EXPECT_EQ(app->map.histint, 2);
  EXPECT_EQ(app->map.trailmaxpix, 100);
  put("HISTORY.CFG", "2\r\nred,0,0\r\n");
  EXPECT_FALSE(readhistory(*app)) << "a bad value stops start-up";
}

TEST_F(DataFiles, DirectionFinderSkipsItsFourthValueAndChaseReadsQuotedFields) {
  put("ZARNDF.CFG", "0.3,0,1,99,30,4,400,45,8\r\n");
  readzarndf(*app);
  EXPECT_FLOAT_EQ(app->nav.dfcfg5, 30);
  EXPECT_FLOAT_EQ(app->nav.dflinemax, 8);
  EXPECT_FALSE(readchase(*app));
  put("CHASE.CFG", "\"$PCHS\",\"Red car\",red.wav,\r\n");
  EXPECT_TRUE(readchase(*app));
  EXPECT_EQ(app->main.chasename, "Red car");
  EXPECT_EQ(app->main.chaseicon, "");
}

TEST_F(DataFiles, KeysDialButtonsAndBearingColours) {
  put("K1.BMP", bmpbytes(1, 1));
  put("ZARNKEYS.CFG", "4\r\n1,K1.BMP,x\r\n20,K1.BMP,x\r\n2,MISSING.BMP,x\r\n");  // a count beyond the file
  readzarnkeys(*app);
  EXPECT_NE(app->win.get<KForm>().Picture1[1].picture, nullptr);
  EXPECT_EQ(app->win.get<KForm>().Picture1[2].picture, nullptr);

  put("ZARNDIAL.CFG", "2\r\nBase,ATD123\r\nDepot,ATD456\r\n");
  int n = 0;
  EXPECT_TRUE(readzarndial(*app, &n));
  EXPECT_EQ(n, 2);
  const DialForm& d = app->win.get<DialForm>();
  EXPECT_EQ(d.height, 96) << "1440 twips for two entries";
  put("ZARNDIAL.CFG", "two\r\n");
  EXPECT_FALSE(readzarndial(*app));
  put("ZARNDIAL.CFG", "40\r\nA,1\r\n");
  EXPECT_TRUE(readzarndial(*app)) << "a count beyond the file ends at its end";

  put("DFCOLOUR.CFG", "255\r\n65280\r\n");
  EXPECT_TRUE(readdfcolour(*app));
  EXPECT_EQ(app->win.zarn.brg[1].bordercolor, ui::green);
  put("DFCOLOUR.CFG", "255,blue\r\n");
  EXPECT_FALSE(readdfcolour(*app));

  for (const char* s : {"", " 12", "-3", "+.5", "&HFF", "1e3", "12abc"}) EXPECT_TRUE(isnumber(s)) << s;
  for (const char* s : {"abc", "-", "&", "&X1", "N"}) EXPECT_FALSE(isnumber(s)) << s;
}

}  // namespace
}  // namespace zarn::test
