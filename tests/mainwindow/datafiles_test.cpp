// The presence-flag files and the small data files start-up reads itself.
#include "mainwindow/cform.h"
#include "mainwindow/datafiles.h"
#include "mainwindow/flags.h"
#include "mainwindow/maintest.h"
#include "mainwindow/secondary.h"
#include "vehicles/dialforms.h"
#include "vehicles/mvforms.h"

namespace zarn::test {
namespace {

// A 1 x 1 24-bit BMP.
std::string bmp1x1() {
  std::string b = "BM";
  const auto le32 = [&b](unsigned v) {
    for (int i = 0; i < 4; ++i) b += static_cast<char>((v >> (8 * i)) & 0xFF);
  };
  const auto le16 = [&b](unsigned v) {
    b += static_cast<char>(v & 0xFF);
    b += static_cast<char>(v >> 8);
  };
  le32(58);
  le32(0);
  le32(54);
  le32(40);
  le32(1);
  le32(1);
  le16(1);
  le16(24);
  for (int i = 0; i < 6; ++i) le32(0);
  b += std::string(4, '\0');
  return b;
}

using Flags = MainTest;
using DataFiles = MainTest;

TEST_F(Flags, AFileSwitchesItsFeatureByBeingThere) {
  readlinkflags(*app);
  readmapflags(*app);
  readinputflags(*app);
  EXPECT_EQ(app->main.metric, 0);
  EXPECT_EQ(app->gps.taipon, 0);

  for (const char* f : {"ZARNTALK.CFG", "POWEROFF.CFG", "PAGERON.CFG", "RINGSTOP.CFG", "TAIP.CFG", "DATATRAK.CFG",
                        "metric.cfg", "NAUTICAL.CFG", "MAPMATCH.CFG", "ONLYRMC.CFG", "CMESSAGE.CFG", "NOCHKSUM.CFG",
                        "ZARN.KCF", "MAPZOOM.CFG", "800600.CFG", "SPEEDWAR.CFG"})
    put(f, "");  // empty files count
  readlinkflags(*app);
  readmapflags(*app);
  readinputflags(*app);
  readparserflags(*app);
  readlayoutflags(*app);
  readfeatureflags(*app);
  EXPECT_EQ(app->speech.talkext, 1);
  EXPECT_EQ(app->main.poweroff, 1);
  EXPECT_EQ(app->veh.pageron, 1);
  EXPECT_EQ(app->gps.ringstop, 1);
  EXPECT_EQ(app->gps.taipon, 1);
  EXPECT_EQ(app->gps.datatrakon, 1);
  EXPECT_EQ(app->main.metric, 1) << "found whatever the letter case";
  EXPECT_EQ(app->main.nautical, 1);
  EXPECT_EQ(app->main.mapmatch, 1);
  EXPECT_EQ(app->gps.onlyrmc, 1);
  EXPECT_EQ(app->main.cmsgon, 1);
  EXPECT_EQ(app->gps.chksumoff, 1);
  EXPECT_EQ(app->main.kcfon, 1);
  EXPECT_EQ(app->map.mapzoom, 1);
  EXPECT_EQ(app->main.scalelayout, 1);
  EXPECT_EQ(app->nav.speedwarnon, 1);
}

TEST_F(Flags, OneValueFiles) {
  struct Case {
    const char* guards;
    const char* romshelf;  // nullptr: absent
    float dist;
    int on;
  };
  for (const Case& c : {Case{"absent: off at 5 km", nullptr, 5.0f, 0}, Case{"0 is as absent", "0\r\n", 5.0f, 0},
                        Case{"2.5: on at 2.5 km", "2.5\r\n", 2.5f, 1}}) {
    SCOPED_TRACE(c.guards);
    std::filesystem::remove(dir / "ROMSHELF.CFG");
    if (c.romshelf) put("ROMSHELF.CFG", c.romshelf);
    readautomapflag(*app);
    EXPECT_FLOAT_EQ(app->map.automapdist, c.dist);
    EXPECT_EQ(app->map.automapon, c.on);
  }
  readmapflags(*app);
  EXPECT_FLOAT_EQ(app->map.recentredist, 40) << "ZARNTILE.CFG absent";
  put("ZARNTILE.CFG", "64\r\n");
  readmapflags(*app);
  EXPECT_FLOAT_EQ(app->map.recentredist, 64);

  readparserflags(*app);
  EXPECT_EQ(app->gps.callsep, ">ZARN") << "CALLSIGN.CFG absent";
  EXPECT_EQ(app->win.get<CForm>().csgn.text, ">ZARN");
  put("CALLSIGN.CFG", ">BASE\r\n");
  put("ZARNLOG.CFG", "$GPRMC\r\n");
  readparserflags(*app);
  EXPECT_EQ(app->gps.callsep, ">BASE");
  EXPECT_EQ(app->gps.logprefix, "$GPRMC");

  put("DIALTIME.CFG", "90\r\n");
  put("MVNONEW.CFG", "");
  put("SENDACKC.CFG", "");
  readfeatureflags(*app);
  EXPECT_EQ(app->gps.autohangup, 90);
  EXPECT_EQ(app->win.get<MvForm>().nonewl.caption, "ignore new vehicles");
  const MvAlarmForm& a = app->win.get<MvAlarmForm>();
  EXPECT_EQ(a.cancel.left, a.ack.left);
  EXPECT_FALSE(a.ack.visible);
}

TEST_F(DataFiles, SoundsFileGivesSoundAndIntervals) {
  EXPECT_FALSE(readsounds(*app));
  const std::vector<int> defaults = {60, 20, 60, 1, 1, 1, 1, 1, 60, 1};
  for (int k = 1; k <= 10; ++k) EXPECT_EQ(app->main.repint[k], defaults[k - 1]) << k;
  EXPECT_EQ(app->main.repquest[2], "where our Destination is regularly ?");
  EXPECT_EQ(app->main.repquest[10], "traffic delay warnings ?");

  put("NOSOUND.CFG", "");
  readfeatureflags(*app);
  EXPECT_EQ(app->speech.nosound, 1);
  put("SOUNDS.CFG", "0\r\n30,15,45\r\n1,0,1,1,1,90\r\n");
  EXPECT_TRUE(readsounds(*app));
  EXPECT_EQ(app->speech.nosound, 0) << "SOUNDS.CFG's first value wins over NOSOUND.CFG";
  const std::vector<int> read = {30, 15, 45, 1, 0, 1, 1, 1, 90, 0};
  for (int k = 1; k <= 10; ++k) EXPECT_EQ(app->main.repint[k], read[k - 1]) << k << ": kind 10 off with the file";

  put("SOUNDS.CFG", "1,forty,20\r\n");
  EXPECT_TRUE(readsounds(*app));
  EXPECT_EQ(app->speech.nosound, 1);
  EXPECT_EQ(app->main.repint[1], 60) << "a text where a number is wanted keeps the default";
  EXPECT_EQ(app->main.repint[2], 20);
  EXPECT_EQ(app->main.repint[3], 60) << "a short file keeps the defaults";
}

TEST_F(DataFiles, LocationFileFillsTheDestinationsAndTheMouseSlot) {
  put("ZARN.LOC", "SJ 75128 78480,Knutsford, Cheshire\r\nSJ 76929 87885,Altrincham\r\n\r\nSJ 1 1,After the gap\r\n");
  app->geo.ccccount = 1;
  app->geo.ccccode[1] = "SJ";
  app->geo.cccx[1] = 300;
  app->geo.cccy[1] = 300;
  EXPECT_EQ(readloc(*app), 2) << "an empty line ends the list";
  const NavState& n = app->nav;
  EXPECT_EQ(n.destname[1], "SJ 75128 78480");
  EXPECT_EQ(n.destlabel[1], "Knutsford, Cheshire") << "the label may hold commas";
  EXPECT_NEAR(n.destx[1], 375.128, 0.001);
  EXPECT_NEAR(n.desty[1], 378.480, 0.001);
  EXPECT_EQ(n.adhocdest, 3);
  EXPECT_EQ(n.destname[3], "SJ 76929 87885");
  EXPECT_EQ(n.destlabel[3], "SJ 76929 87885") << "the mouse slot's label is the last position text";
  EXPECT_EQ(n.curdest, 1);
  const auto& list = app->win.get<CForm>().desti.items;
  EXPECT_EQ(list, (std::vector<std::string>{"Knutsford, Cheshire", "Altrincham", "(mouse)"}));

  std::string many;
  for (int i = 1; i <= 250; ++i) many += "SJ 1 1,Place " + std::to_string(i) + "\r\n";
  put("ZARN.LOC", many);
  App other;
  other.files.setworkdir(dir);
  EXPECT_EQ(readloc(other), 199);
  EXPECT_EQ(other.nav.adhocdest, 200);

  put("ZARN.LOC", "no comma here\r\n");
  App third;
  third.files.setworkdir(dir);
  EXPECT_EQ(readloc(third), 1);
  EXPECT_EQ(third.nav.destname[1], "");
  EXPECT_EQ(third.nav.destlabel[1], "no comma here");
}

TEST_F(DataFiles, GpsLineSettings) {
  EXPECT_FALSE(readzarncom(*app, false));
  put("ZARN.COM", " 4800,N,8,1  \r\n15\r\n2,250\r\n20\r\n");
  auto c = readzarncom(*app, false);
  ASSERT_TRUE(c);
  EXPECT_EQ(c->settings, " 4800,N,8,1  ") << "trimmed by the caller";
  EXPECT_FLOAT_EQ(*c->gpstimeout, 15);
  EXPECT_FLOAT_EQ(*c->fixmint, 2);
  EXPECT_FLOAT_EQ(*c->fixminmove, 250) << "metres; the caller keeps km";
  EXPECT_FLOAT_EQ(*c->minhdgspd, 20);
  EXPECT_FALSE(c->bad);

  c = readzarncom(*app, true);
  ASSERT_TRUE(c);
  EXPECT_TRUE(c->gpstimeout);
  EXPECT_FALSE(c->fixmint) << "with the file link only the time-out";

  put("ZARN.COM", "4800,N,8,1\r\nten\r\n");
  c = readzarncom(*app, false);
  ASSERT_TRUE(c);
  EXPECT_TRUE(c->bad);
  EXPECT_FALSE(c->gpstimeout);
}

TEST_F(DataFiles, TrailSettings) {
  EXPECT_TRUE(readhistory(*app));
  EXPECT_EQ(app->map.histint, 1);
  EXPECT_EQ(app->map.trailcolour, ui::white);
  EXPECT_FLOAT_EQ(app->map.trailsize, 50);
  app->main.mvmode = 1;
  EXPECT_TRUE(readhistory(*app));
  EXPECT_EQ(app->map.histint, 0) << "every fix in multi-vehicle mode";

  put("HISTORY.CFG", "2\r\n255,0,0\r\n50,5,100\r\n");
  EXPECT_TRUE(readhistory(*app));
  EXPECT_EQ(app->map.histint, 2);
  EXPECT_EQ(app->map.trailcolour, ui::red);
  EXPECT_EQ(app->map.trailmaxpix, 100);

  put("HISTORY.CFG", "2\r\nred,0,0\r\n");
  EXPECT_FALSE(readhistory(*app)) << "a bad value stops start-up";
}

TEST_F(DataFiles, FrameDirectionFinderUtmAndChase) {
  readxyll(*app);
  EXPECT_FLOAT_EQ(app->geo.xylat0, 1.3599590f);
  EXPECT_FLOAT_EQ(app->geo.xylonstep, 0.0089857355f);
  put("ZARNXYLL.CFG", "51.5,10,0.01\r\n-0.1,20,0.02\r\n");
  readxyll(*app);
  EXPECT_FLOAT_EQ(app->geo.xylat0, 51.5f);
  EXPECT_FLOAT_EQ(app->geo.xyx0, 20);
  EXPECT_FLOAT_EQ(app->geo.xylonstep, 0.02f);

  put("ZARNDF.CFG", "0.3,0,1,99,30,4,400,45,8\r\n");
  readzarndf(*app);
  EXPECT_FLOAT_EQ(app->nav.dfmove, 0.3f);
  EXPECT_EQ(app->nav.dfrel, 0);
  EXPECT_FLOAT_EQ(app->nav.dfcfg5, 30) << "the fourth value is skipped";
  EXPECT_FLOAT_EQ(app->nav.dflinemax, 8);

  put("UTM.CFG", "2,100.5,-200\r\n");
  readutmcfg(*app);
  EXPECT_EQ(app->geo.utmmode, 2);
  EXPECT_DOUBLE_EQ(app->geo.utmeoff, 100.5);
  EXPECT_DOUBLE_EQ(app->geo.utmnoff, -200);

  EXPECT_FALSE(readchase(*app));
  put("CHASE.CFG", "\"$PCHS\",\"Red car\",red.wav,\r\n");
  EXPECT_TRUE(readchase(*app));
  EXPECT_EQ(app->main.chasesent, "$PCHS");
  EXPECT_EQ(app->main.chasename, "Red car");
  EXPECT_EQ(app->main.chasewav, "red.wav");
  EXPECT_EQ(app->main.chaseicon, "");
}

TEST_F(DataFiles, KeysDialButtonsAndBearingColours) {
  put("K1.BMP", bmp1x1());
  put("ZARNKEYS.CFG", "4\r\n1,K1.BMP,x\r\n20,K1.BMP,x\r\n2,MISSING.BMP,x\r\n");  // a count beyond the file
  readzarnkeys(*app);
  ASSERT_TRUE(app->win.loaded<KForm>());
  EXPECT_NE(app->win.get<KForm>().Picture1[1].picture, nullptr);
  EXPECT_EQ(app->win.get<KForm>().Picture1[2].picture, nullptr);

  put("ZARNDIAL.CFG", "2\r\nBase,ATD123\r\nDepot,ATD456\r\n");
  int n = 0;
  EXPECT_TRUE(readzarndial(*app, &n));
  EXPECT_EQ(n, 2);
  const DialForm& d = app->win.get<DialForm>();
  EXPECT_EQ(d.dialcmd[0].caption, "Base");
  EXPECT_EQ(d.dialcmd[1].caption, "Depot");
  EXPECT_EQ(d.height, 96) << "1440 twips for two entries";
  put("ZARNDIAL.CFG", "two\r\n");
  EXPECT_FALSE(readzarndial(*app));
  put("ZARNDIAL.CFG", "40\r\nA,1\r\n");
  EXPECT_TRUE(readzarndial(*app)) << "a count beyond the file ends at its end";

  put("DFCOLOUR.CFG", "255\r\n65280\r\n");
  EXPECT_TRUE(readdfcolour(*app));
  EXPECT_EQ(app->win.zarn.brg[0].bordercolor, ui::red);
  EXPECT_EQ(app->win.zarn.brg[1].bordercolor, ui::green);
  put("DFCOLOUR.CFG", "255,blue\r\n");
  EXPECT_FALSE(readdfcolour(*app));
}

TEST_F(DataFiles, NumbersReadAsTheyStart) {
  for (const char* s : {"", " 12", "-3", "+.5", ".5", "&HFF", "1e3", "12abc"}) EXPECT_TRUE(isnumber(s)) << s;
  for (const char* s : {"abc", "-", "&", "&X1", "N"}) EXPECT_FALSE(isnumber(s)) << s;
}

}  // namespace
}  // namespace zarn::test
