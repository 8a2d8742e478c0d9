// The files start-up reads itself: ZARN.CFG (also as written), the flag files, the data files.
#include <signal.h>
#include <sys/resource.h>
#include <sys/stat.h>
#include <sys/wait.h>

#include "mainwindow/cform.h"
#include "mainwindow/config.h"
#include "mainwindow/datafiles.h"
#include "mainwindow/flags.h"
#include "mainwindow/popdata.h"
#include "mainwindow/secondary.h"
#include "mainwindow/smallservices.h"
#include "mainwindow/startup.h"
#include "mainwindow/startwin.h"
#include "gpsinput/logs.h"
#include "gpsinput/rxinit.h"
#include "mapdisplay/catalogue.h"
#include "mapdisplay/mapoutlines.h"
#include "navigation/rgifiles.h"
#include "speech/msgline.h"
#include "speech/queue.h"
#include "support/app_fixture.h"
#include "vehicles/dialforms.h"
#include "vehicles/mvforms.h"

namespace zarn::test {
namespace {

// A ZARN.CFG whose lines are given; the rest of the 14 filled with plain values.
std::string cfg(Items lines) {
  const Items plain = {"SJ 75128 78480", "Knutsford", "destinat.wav", "SJ 79718 84625", "COM1", "COM2", "COM3",
                       " 0",             " 0",        " 0",           " 16",            "Yes",  "\\japan\\", ""};
  std::string s;
  for (std::size_t i = 0; i < plain.size(); ++i) s += (i < lines.size() ? lines[i] : plain[i]) + "\r\n";
  return s;
}

using Files = AppTest;

TEST_F(Files, ZarnCfgIsReadLineByLineByItsColumns) {
  put("ZARN.CFG", cfg({"SJ 75128 78480 xx comment", "Null Road and more text than 24 columns   ",
                       "mywav.wav     Destination sound", "SJ 1 2            Home Location", "com2xx  GPS port", "COM7",
                       "COM8", "-250   GPS correction", "1500", " 2", " 16.5", "yes", "\\japan\\",
                       "  /maps/extra/and-a-long-tail  Path"}));
  ASSERT_TRUE(readcfg(*app));
  const MainState& m = app->main;
  EXPECT_EQ(std::tuple(m.cfgdestpos, m.foundlabel, app->nav.nodest, app->nav.destwav, m.gpsport, app->gps.gpsoncom),
            std::tuple("SJ 75128 78480 xx", "Null Road and more text than 24 columns", 0, "mywav.wav", "com2xx", 1))
      << "columns 1-18; line 2 whole, trimmed, merely beginning with NULL; the port up to its first blank, case kept";
  EXPECT_EQ(std::tuple(app->gps.gpscorre, app->gps.minhdgspd, app->map.extramaps),
            std::tuple(-0.25f, 16.0f, "/maps/extra/and-a-"))
      << "four columns of  16.5; twenty columns, trimmed";
  for (const auto& [guards, line2, line5, comport, nodest, gpsoncom, port] :
       {std::tuple{"NULL in any case means no destination", "nUlL", "COM1", "", 1, 1, "COM1"},
        {"a port line not beginning COM is no serial GPS", "Home", "SIM ", "", 0, 0, "SIM"},
        {"a blank port line too", "Home", "", "", 0, 0, ""},
        {"COMPORT.CFG replaces the port, COM-ness from line 5", "Home", "COM1", "COM3", 0, 1, "COM3"},
        {"COMPORT.CFG does not make a NONE port serial", "Home", "NONE", "COM3", 0, 0, "COM3"},
        {"COMPORT.CFG's line is taken whole", "Home", "COM1", " COM10 x", 0, 1, " COM10 x"}}) {
    std::filesystem::remove(dir / "COMPORT.CFG");
    put("ZARN.CFG", cfg({"SJ 1 1", line2, "d.wav", "SJ 1 1", line5}));
    if (*comport) put("COMPORT.CFG", std::string(comport) + "\r\n");
    ASSERT_TRUE(readcfg(*app));
    EXPECT_EQ(std::tuple(app->nav.nodest, app->gps.gpsoncom, app->main.gpsport), std::tuple(nodest, gpsoncom, port))
        << guards;
  }
}

TEST_F(Files, WrittenSettingsReadBackThroughTheReadingWidths) {
  NavState& n = app->nav;
  std::tie(n.curdest, n.destname[3], n.destlabel[3]) =
      std::tuple(3, "SJ 75128 78480", "A label of more than twenty-four characters");
  std::tie(app->gps.gpscorre, app->gps.gpscorrn, app->gps.minhdgspd) = std::tuple(-0.0254f, 0.0254f, 16.5f);
  app->map.extramaps = "/srv/maps/";
  ASSERT_TRUE(savecfg(*app));
  const std::string text = get("ZARN.CFG");
  for (const char* line : {"SJ 75128 78480          Destination Location\r\n",
                           "\r\nA label of more than twenty-four characters\r\n",  // a long value alone
                           "\r\n-26                     GPS correction metres East\r\n",  // rounded down
                           "\r\n 16.5                   Speed in kmph before new heading\r\n",
                           "\r\nNo                      Text to Speech Available\r\n",
                           "\r\nonly be edited with great care !\r\n"})
    EXPECT_NE(text.find(line), std::string::npos) << line;
  App back;
  back.files.setworkdir(dir);
  ASSERT_TRUE(readcfg(back));
  EXPECT_EQ(std::tuple(back.main.foundlabel, back.gps.gpscorre, back.gps.gpscorrn, back.gps.minhdgspd),
            std::tuple("A label of more than twenty-four characters", -0.026f, 0.025f, 16.0f))
      << "16.5 read back from four columns";
  EXPECT_EQ(back.map.extramaps, "/srv/maps/");
  n.nodest = 1;
  ASSERT_TRUE(savecfg(*app));
  EXPECT_NE(get("ZARN.CFG").find("\r\nNULL                    \r\n"), std::string::npos) << "NULL and 20 blanks";
}

TEST_F(Files, CategoriesAndSearchListsUpToTheirLimits) {
  put("ZARN.CAT", "\"FS\",\"Filling station, fuel\"\r\n  E , Emergency\r\nS,School\r\n");
  put("ZARN.FND", "\"$E.GTX\",\"lost\"\r\n\"zarn.waw\",\"Places\"\r\n../../etc/passwd,Out\r\n/etc/passwd,Out\r\n"
                  "$fs.gtx,Fuel\r\nend,x\r\nAFTER,y\r\n");
  ASSERT_TRUE(readcat(app->files, app->main) && readfnd(app->files, app->main));
  const MainState& m = app->main;
  EXPECT_EQ(std::tuple(m.catcount, m.catname[1], m.catcode[2]), std::tuple(3, "Filling station, fuel", "E"))
      << "a quoted name holds commas; leading blanks skipped";
  EXPECT_EQ(std::tuple(m.fndcount, m.searchlists[1], m.searchlists[2]), std::tuple(2, "ZARN.WAW", "$FS.GTX"))
      << "a first line that is a record is lost; lists beyond the data folder left out; end ends; upper-cased";
  std::string cats, lists = "title\r\n";
  for (int i = 1; i <= 230; ++i) {
    cats += "C" + std::to_string(i) + ",Name\r\n";
    lists += "L" + std::to_string(i) + ".GTX,p\r\n";
  }
  put("ZARN.CAT", cats);
  put("ZARN.FND", lists);
  ASSERT_TRUE(readcat(app->files, app->main) && readfnd(app->files, app->main));
  EXPECT_EQ(std::tuple(m.catcount, m.fndcount), std::tuple(200, 100));
  put("ZARN.FND", "");
  EXPECT_FALSE(readfnd(app->files, app->main)) << "no first line";
}

TEST_F(Files, AFlagFileSwitchesItsFeatureByBeingThere) {
  const auto readall = [this] {
    readlinkflags(*app);
    readmapflags(app->files, app->map, app->main);
    readinputflags(*app);
    readparserflags(app->files, app->gps, app->main, app->win.get<CForm>());
    readlayoutflags(app->files, app->map, app->main);
    readfeatureflags(*app);
    return std::vector<int>{app->speech.talkext, app->main.poweroff, app->veh.pageron,  app->gps.ringstop,
                            app->gps.taipon,     app->gps.datatrakon, app->main.metric,  app->main.nautical,
                            app->main.mapmatch,  app->gps.onlyrmc,   app->main.cmsgon,  app->gps.chksumoff,
                            app->main.kcfon,     app->map.mapzoom,   app->main.scalelayout, app->nav.speedwarnon};
  };
  EXPECT_EQ(readall(), std::vector<int>(16, 0));
  EXPECT_EQ(std::tuple(app->win.zarn.mousepointer, app->win.zarn.iconmouse.visible),
            std::tuple(ui::Form::Pointer::arrow, false));
  EXPECT_EQ(std::tuple(app->map.recentredist, app->gps.callsep, app->win.get<CForm>().csgn.text),
            std::tuple(40.0f, ">ZARN", ">ZARN"))
      << "ZARNTILE.CFG and CALLSIGN.CFG absent";
  for (const char* f : {"ZARNTALK.CFG", "POWEROFF.CFG", "PAGERON.CFG", "RINGSTOP.CFG", "TAIP.CFG", "DATATRAK.CFG",
                        "metric.cfg", "NAUTICAL.CFG", "MAPMATCH.CFG", "ONLYRMC.CFG", "CMESSAGE.CFG", "NOCHKSUM.CFG",
                        "ZARN.KCF", "MAPZOOM.CFG", "800600.CFG", "SPEEDWAR.CFG", "MVNONEW.CFG", "SENDACKC.CFG"})
    put(f, "");  // empty files count, whatever the letter case
  for (const auto& [f, text] : {std::pair{"ZARNTILE.CFG", "64"}, {"CALLSIGN.CFG", ">BASE"}, {"ZARNLOG.CFG", "$GPRMC"},
                                {"DIALTIME.CFG", "90"}})
    put(f, std::string(text) + "\r\n");
  std::filesystem::copy(std::filesystem::path(ZARN_SOURCE_DIR) / "data" / "demo" / "CARICON0.ICO", dir / "MOUSEPTR.ICO");
  EXPECT_EQ(readall(), std::vector<int>(16, 1));
  EXPECT_EQ(std::tuple(app->win.zarn.mousepointer, app->win.zarn.iconmouse.visible),
            std::tuple(ui::Form::Pointer::cross, true))
      << "MOUSEPTR.ICO: the cross over the map, and the icon with it";
  EXPECT_EQ(std::tuple(app->map.recentredist, app->gps.callsep, app->gps.logprefix, app->gps.autohangup),
            std::tuple(64.0f, ">BASE", "$GPRMC", 90));
  EXPECT_EQ(app->win.get<MvForm>().nonewl.caption, "ignore new vehicles");
  for (const auto& [romshelf, dist, on] : {std::tuple{"absent", 5.0f, 0}, {"0\r\n", 5.0f, 0}, {"2.5\r\n", 2.5f, 1}}) {
    if (std::string(romshelf) != "absent") put("ROMSHELF.CFG", romshelf);
    readautomapflag(app->files, app->map);
    EXPECT_EQ(std::tuple(app->map.automapdist, app->map.automapon), std::tuple(dist, on)) << romshelf;
  }
}

TEST_F(Files, SoundsFileGivesSoundAndIntervals) {
  EXPECT_FALSE(readsounds(app->files, app->main, app->speech));
  put("NOSOUND.CFG", "");
  readfeatureflags(*app);
  put("SOUNDS.CFG", "0\r\n30,15,45\r\n1,0,1,1,1,90\r\n");
  EXPECT_TRUE(readsounds(app->files, app->main, app->speech));
  const auto& r = app->main.repint;
  EXPECT_EQ(std::tuple(app->speech.nosound, std::vector<int>(r.begin() + 1, r.end())),
            std::tuple(0, std::vector<int>{30, 15, 45, 1, 0, 1, 1, 1, 90, 0}))
      << "SOUNDS.CFG's first value wins over NOSOUND.CFG; kind 10 off with the file";
  put("SOUNDS.CFG", "1,forty,20\r\n");
  EXPECT_TRUE(readsounds(app->files, app->main, app->speech));
  EXPECT_EQ(std::tuple(app->speech.nosound, std::vector<int>(r.begin() + 1, r.begin() + 4)),
            std::tuple(1, std::vector<int>{60, 20, 60}))
      << "a text where a number is wanted and a short file keep the defaults";
}

TEST_F(Files, LocationFileFillsTheDestinationsAndTheMouseSlot) {
  put("ZARN.LOC", "SJ 75128 78480,Knutsford, Cheshire\r\nSJ 76929 87885,Altrincham\r\n\r\nSJ 1 1,After the gap\r\n");
  squares({{"SJ", 300, 300}});
  EXPECT_EQ(readloc(app->files, app->geo, app->nav, app->win.get<CForm>()), 2) << "an empty line ends the list";
  const NavState& n = app->nav;
  EXPECT_EQ(std::tuple(n.destname[1], n.destlabel[1]), std::tuple("SJ 75128 78480", "Knutsford, Cheshire"))
      << "the label may hold commas";
  EXPECT_NEAR(n.destx[1], 375.128, 0.001);
  EXPECT_EQ(std::tuple(n.adhocdest, n.destlabel[3], n.destx[3], n.desty[3]),
            std::tuple(3, "SJ 76929 87885", n.destx[2], n.desty[2]))
      << "the mouse slot at the last position, its label the last position text";
  EXPECT_EQ(app->win.get<CForm>().desti.items, (Items{"Knutsford, Cheshire", "Altrincham", "(mouse)"}));
  std::string many;
  for (int i = 1; i <= 250; ++i) many += "SJ 1 1,Place " + std::to_string(i) + "\r\n";
  put("ZARN.LOC", many);
  make();
  EXPECT_EQ(std::tuple(readloc(app->files, app->geo, app->nav, app->win.get<CForm>()), app->nav.adhocdest), std::tuple(199, 200));
  put("ZARN.LOC", "no comma here\r\n");
  EXPECT_EQ(std::tuple(readloc(app->files, app->geo, app->nav, app->win.get<CForm>()), app->nav.destname[1], app->nav.destlabel[1]), std::tuple(1, "", "no comma here"));
}

TEST_F(Files, GpsLineAndTrailSettings) {
  put("ZARN.COM", " 4800,N,8,1  \r\n15\r\n2,250\r\n20\r\n");
  auto c = readzarncom(app->files, false);
  ASSERT_TRUE(c);
  EXPECT_EQ(std::tuple(c->fixminmove, c->minhdgspd), std::tuple(250.0f, 20.0f)) << "metres; the caller keeps km";
  c = readzarncom(app->files, true);
  EXPECT_TRUE(c && c->gpstimeout && !c->fixmint) << "with the file link only the time-out";
  app->main.mvmode = 1;
  EXPECT_EQ(readhistory(app->files, app->map, app->main.mvmode), "");
  EXPECT_EQ(app->map.histint, 0) << "every fix in multi-vehicle mode";
  put("HISTORY.CFG", "2\r\n255,0,0\r\n50,5,100\r\n");
  EXPECT_EQ(readhistory(app->files, app->map, app->main.mvmode), "");
  EXPECT_EQ(std::tuple(app->map.histint, app->map.trailmaxpix), std::tuple(2, 100));
  for (const auto& [text, why] :
       {std::pair{"1\r\n255,0,0\r\n50,x5,100\r\n", "HISTORY.CFG Error: damaged at line 3, \"x5\" is not a number"},
        {"2\r\n255,0,0\r\n50,5\r\n", "HISTORY.CFG Error: it ends after 6 of its 7 values"}}) {
    put("HISTORY.CFG", text);
    EXPECT_EQ(readhistory(app->files, app->map, app->main.mvmode), why);
  }
  std::filesystem::remove(dir / "HISTORY.CFG");
  std::filesystem::create_directory(dir / "HISTORY.CFG");
  EXPECT_EQ(readhistory(app->files, app->map, app->main.mvmode), "HISTORY.CFG Error: it cannot be read");
}

TEST_F(Files, OnAFullDiskLogsKeepWholeLinesSaySoOnceAndGoOnWhenSpaceReturns) {
  // The largest file the process may write, as a full disk stops it: EFBIG instead of SIGXFSZ.
  rlimit old{};
  ::getrlimit(RLIMIT_FSIZE, &old);
  const auto oldsig = ::signal(SIGXFSZ, SIG_IGN);
  const auto room = [&old](rlim_t bytes) {
    const rlimit lim{bytes, old.rlim_max};
    ::setrlimit(RLIMIT_FSIZE, &lim);
  };
  const std::string line(38, 'x');  // 40 bytes in the log
  std::vector<std::string> shown;
  newtrip(*app);
  room(100);
  for (int i = 0; i < 5; ++i) {
    if (i == 4) room(RLIM_INFINITY);
    app->speech.msgtext.clear();
    writetriplog(app->gps, line.substr(1) + char('0' + i));
    shown.push_back(app->speech.msgtext);
  }
  const std::string log = get("NEWTRIP.NME");  // the last line is there before the log is closed
  room(100);
  put("NEW.NME", std::string(90, 'o'));
  writenmepos(app->files, *app->sys.clock, "53 18.06N 002 22.03W", "090");
  shown.push_back(app->speech.msgtext);
  room(0);
  savergi(app->nav, app->files);
  shown.push_back(app->speech.msgtext);
  showmaps(app->win.zarn, app->geo, app->map, app->files);
  shown.push_back(app->speech.msgtext);
  ::setrlimit(RLIMIT_FSIZE, &old);
  ::signal(SIGXFSZ, oldsig);
  const std::string full = " not written: File too large";
  EXPECT_EQ(shown, (Items{"", "", "NEWTRIP.NME" + full, "", "", "NEW.NME" + full, "RGI.TXT" + full, "SHOWMAPS.TXT" + full}));
  EXPECT_EQ(log, line.substr(1) + "0\r\n" + line.substr(1) + "1\r\n" + line.substr(1) + "4\r\n") << "no cut line";
  EXPECT_EQ(get("NEW.NME"), std::string(90, 'o')) << "the record whole or not at all";
  EXPECT_FALSE(has("RGI.TXT") || has("SHOWMAPS.TXT"));
}

TEST_F(Files, DirectionFinderChaseKeysDialButtonsAndBearingColours) {
  put("ZARNDF.CFG", "0.3,0,1,99,30,4,400,45,8\r\n");
  readzarndf(app->files, app->nav);
  EXPECT_EQ(std::tuple(app->nav.dfcfg5, app->nav.dflinemax), std::tuple(30.0f, 8.0f)) << "the fourth value skipped";
  EXPECT_FALSE(readchase(app->files, app->main));
  put("CHASE.CFG", "\"$PCHS\",\"Red car\",red.wav,\r\n");
  EXPECT_EQ(std::tuple(readchase(app->files, app->main), app->main.chasename, app->main.chaseicon), std::tuple(true, "Red car", ""));
  std::filesystem::copy(std::filesystem::path(ZARN_SOURCE_DIR) / "data" / "demo" / "GBIRL.BMP", dir / "K1.BMP");
  put("ZARNKEYS.CFG", "4\r\n1,K1.BMP,x\r\n20,K1.BMP,x\r\n2,MISSING.BMP,x\r\n");  // a count beyond the file
  readzarnkeys(*app);
  const KForm& k = app->win.get<KForm>();
  EXPECT_TRUE(k.Picture1[1].picture && !k.Picture1[2].picture);
  put("ZARNDIAL.CFG", "2\r\nBase,ATD123\r\nDepot,ATD456\r\n");
  int n = 0;
  EXPECT_TRUE(readzarndial(app->files, app->win, &n));
  EXPECT_EQ(std::tuple(n, app->win.get<DialForm>().height), std::tuple(2, 96)) << "1440 twips for two entries";
  put("ZARNDIAL.CFG", "40\r\nA,1\r\n");
  EXPECT_FALSE(readzarndial(app->files, app->win)) << "a count beyond the records is a bad value";
  put("ZARNDIAL.CFG", "3\r\nA,1\r\nB,+++\r\n");
  EXPECT_FALSE(readzarndial(app->files, app->win)) << "one record short";
  put("DFCOLOUR.CFG", "255\r\n65280\r\n");
  EXPECT_TRUE(readdfcolour(app->files, app->win.zarn));
  EXPECT_EQ(app->win.zarn.brg[1].bordercolor, ui::green);
  for (const char* s : {"", " 12", "-3", "+.5", "&HFF", "1e3", "12abc"}) EXPECT_TRUE(isnumber(s)) << s;
  for (const char* s : {"abc", "-", "&", "&X1", "N"}) EXPECT_FALSE(isnumber(s)) << s;
}

// A $LPOP.PCD of centres (east, north in file units) and areas (substituted, blank-filled to 32).
std::string pcd(const std::vector<std::pair<int, int>>& centres, const Items& areas) {
  std::string b;
  const auto le16 = [&b](std::size_t v) { b += {static_cast<char>(v & 0xFF), static_cast<char>((v >> 8) & 0xFF)}; };
  le16(centres.size());
  le16(areas.size());
  for (auto [e, n] : centres) {
    le16(static_cast<std::size_t>(e));
    le16(static_cast<std::size_t>(n));
  }
  b += std::string(4 * centres.size(), '\x01') + std::string(2704, '\x02');  // name offsets, letter table
  for (std::string a : areas) {
    a.resize(32, ' ');
    for (char& c : a) b += static_cast<char>(250 - static_cast<unsigned char>(c));
  }
  return b + "names";
}

TEST_F(Files, PopulationCentresPositionsAndAreaNames) {
  EXPECT_TRUE(readpopcd(app->files, app->main, app->win)) << "no file: no centres";
  EXPECT_EQ(std::tuple(app->main.pcdn1 + app->main.pcdn2, app->win.loaded<StartForm>()), std::tuple(0, false))
      << "no progress line drawn";
  put("$LPOP.PCD", pcd({{28000, 26000}, {-40, 20}},
                       {"LINCOLN", "LINCOLN CITY", "ST. ALBANS-ON-SEA", "", "oxford", "BEDFORDSHIRE"}));
  ASSERT_TRUE(readpopcd(app->files, app->main, app->win));
  const MainState& m = app->main;
  ASSERT_EQ(m.pcdn1, 2);
  EXPECT_EQ(std::tuple(m.pcdtab1[1], m.pcdtab2[1], m.pcdtab1[2]), std::tuple(700.0f, 1300.0f, -1.0f));
  EXPECT_EQ(Items(m.pcdtab3.begin() + 1, m.pcdtab3.end()),
            (Items{"Lincolnshire", "Lincoln City", "St. Albans-On-Sea", "", "Oxfordshire", "Bedfordshire"}))
      << "only the exact stem is joined, compared upper-cased";
  put("$LPOP.PCD", pcd({}, {"CHESHIRE"}));
  ASSERT_TRUE(readpopcd(app->files, app->main, app->win));
  EXPECT_EQ(std::tuple(m.pcdn1, Items(m.pcdtab3.begin() + 1, m.pcdtab3.end())), std::tuple(0, Items{"Cheshire"}))
      << "the names follow the table";
}

TEST_F(Files, ADamagedPopulationFileKeepsWhatItHolds) {
  const std::string whole = pcd({{400, 200}, {800, 400}, {1200, 600}}, {"KENT", "ESSEX"});
  std::string bigcounts = whole, negative = whole;
  bigcounts[0] = '\x10';  // 16 centres: their records fit, the names would lie past the end
  negative[1] = '\x80';
  for (const auto& [guards, bytes, n1, n2] :
       {std::tuple{"cut inside the area names", whole.substr(0, whole.size() - 5 - 20), 3, 1},
        {"cut inside the positions", whole.substr(0, 4 + 4 * 2 + 1), 2, 0},
        {"counts larger than the file leave no room for the names", bigcounts, 16, 0},
        {"too short for its counts", std::string("\x01", 1), 0, 0}, {"a negative count", negative, 0, 0}}) {
    put("$LPOP.PCD", bytes);
    std::string why;
    EXPECT_FALSE(readpopcd(app->files, app->main, app->win, &why)) << guards;
    EXPECT_NE(why.find("$LPOP.PCD"), std::string::npos) << why;
    const MainState& m = app->main;
    EXPECT_EQ(std::tuple(m.pcdn1, m.pcdn2, m.pcdtab1.size(), m.pcdtab3.size()),
              std::tuple(n1, n2, static_cast<std::size_t>(n1) + 1, static_cast<std::size_t>(n2) + 1))
        << guards;
    EXPECT_TRUE(n2 == 0 || m.pcdtab3[1] == "Kent") << "the whole names before the cut";
  }
}

// The exit status of `body` run in a child process under one more resource limit and 20 s (0: it held).
template <class Body>
int inchild(decltype(RLIMIT_AS) resource, rlim_t limit, Body body) {
  int status = -1;
  if (const pid_t pid = ::fork(); pid != 0) return ::waitpid(pid, &status, 0) == pid ? status : -1;
  ::signal(SIGXFSZ, SIG_IGN);  // EFBIG instead
  ::alarm(20);
  const rlimit lim{limit, limit};
  ::_exit(::setrlimit(resource, &lim) == 0 && body() ? 0 : 1);
}

TEST_F(Files, AFailedSaveIsShownNamingTheFileAndTheOldFileStays) {
  // Each of the program's saves on a full disk, or in a folder it may not write to.
  const std::tuple<const char*, void (*)(App&), bool> saves[] = {
      {"ZARN.CFG", [](App& a) { savecfg(a); }, false},
      {"FASTMAPS.DAT", [](App& a) { savefastmaps(a.map, a.voice); }, false},
      {"PULFIX.DAT", [](App& a) { writepulfix(a.voice, "SJ 1 2"); }, true},
      {"PICVIEWR.CFG", [](App& a) { runpicviewr(a.voice, "clip.avi"); }, false},
      {"INITROCK.OUT", [](App& a) { initrockwell(a.gps, a.voice); }, false},
      {"ZARNTEXT.TXT", [](App& a) { a.speech.talkext = 1, queuewav(a.voice, "x.wav"), showmsg(a.voice, "hi"); }, true},
  };
  for (const auto& [name, save, unwritable] : saves) {
    put(name, "old\r\n");
    std::filesystem::permissions(dir, std::filesystem::perms(unwritable ? 0555 : 0755));
    const std::string shown = std::string(name) + " not written: " + (unwritable ? "Permission denied" : "File too large");
    EXPECT_EQ(inchild(RLIMIT_FSIZE, unwritable ? RLIM_INFINITY : 0, [&] {  // a full disk, else no rights
      if (unwritable && ::geteuid() == 0 && ::setuid(65534) != 0) return false;  // root writes anywhere
      save(*app);
      return app->win.zarn.saytxt.caption == shown && programs->started.empty();  // no viewer of the old name
    }), 0) << shown;
    std::filesystem::permissions(dir, std::filesystem::perms(0755));
    EXPECT_EQ(get(name) + std::to_string(std::distance(std::filesystem::directory_iterator(dir), {})), "old\r\n1")
        << name << ": the old file, and no other left behind";
    std::filesystem::remove(dir / name);
  }
}

TEST_F(Files, NumbersNoIntegerCanHoldAreHeldAtItsLimits) {
  put("DFCOLOUR.CFG", "2.5e72\r\n-2.5e72\r\n1e308\r\n");
  EXPECT_TRUE(readdfcolour(app->files, app->win.zarn));
  EXPECT_EQ(std::tuple(app->win.zarn.brg[0].bordercolor, app->win.zarn.brg[1].bordercolor), std::tuple(0xFFFFFFu, 0u));
  // Every start-up file of numbers holding numbers far beyond any integer, then a save of the
  // settings: start-up goes on (the sanitized build stops at the first unchecked conversion).
  const std::string huge = "2.5e72,-2.5e72,1e308,-1e308\r\n";
  const std::vector<std::pair<std::string, std::string>> files = {
      {"ZARN.CFG", cfg({"SJ 75128 78480", "Knutsford", "destinat.wav", "SJ 79718 84625", "COM1", "COM2", "COM3",
                        "2.5e72", "-2.5e72", "1e308", "-1e308"})},
      {"ZARN.MCV", "title\r\n4800,N,8,1\r\n2.5e72\r\n"},
      {"DIALTIME.CFG", huge}, {"ROMSHELF.CFG", huge}, {"SOUNDS.CFG", huge}, {"HISTORY.CFG", huge},
      {"ZARNKEYS.CFG", huge}, {"ZARNDIAL.CFG", huge}, {"DFCOLOUR.CFG", huge}, {"ZARN.COM", "4800,N,8,1\r\n" + huge},
      {"UTM.CFG", huge}, {"ZARNDF.CFG", huge}, {"ZARNXYLL.CFG", huge}, {"LANGUAGE.CFG", huge}, {"SPEEDWAR.CFG", huge}};
  for (const auto& [name, text] : files) {
    for (const auto& e : std::filesystem::directory_iterator(dir)) std::filesystem::remove_all(e.path());
    for (const char* f : {"GBIRL.DES", "GBIRL.BMP", "MAPS.CCC"})
      std::filesystem::copy(std::filesystem::path(ZARN_SOURCE_DIR) / "data" / "demo" / f, dir / f);
    put("MAPS.DIR", "GBIRL\r\n");
    put("ZARN.CFG", cfg({}));
    put(name, text);
    make();
    EXPECT_EQ(inchild(RLIMIT_CORE, 0, [&] {
      [&]() noexcept {
        Form_Load(*app, "");
        savecfg(*app);
      }();
      return true;
    }), 0) << name;
  }
}

// The start window comes up in the middle of the screen the program starts on (of the part of it
// that windows may take), however large the map area is laid out afterwards.
TEST_F(Files, TheStartWindowIsCentredOnTheScreen) {
  for (const auto& [area, left, top] :
       {std::tuple{platform::ScreenArea{0, 0, 1280, 1024}, 320, 272}, {platform::ScreenArea{0, 0, 640, 480}, 0, 0},
        {platform::ScreenArea{0, 0, 800, 600}, 80, 60}, {platform::ScreenArea{64, 30, 1024, 738}, 256, 159},
        {platform::ScreenArea{0, 0, 320, 240}, 0, 0}}) {
    make();
    app->sys.screen = [a = area] { return a; };
    std::optional<std::pair<int, int>> shown;
    auto& events = static_cast<platform::NoEvents&>(*app->sys.events);
    events.hook = [&, step = events.hook] {
      step();
      const StartForm& s = app->win.get<StartForm>();
      if (!shown && s.visible) shown = std::pair(s.left, s.top);
    };
    Form_Load(*app, "");  // no maps: it ends early, the start window shown
    EXPECT_EQ(shown, std::pair(left, top)) << area.width << "x" << area.height << " from " << area.left << ","
                                           << area.top;
  }
}

TEST_F(Files, HostileStartUpFilesAreNamedAndStartUpGoesOn) {
  const auto demo = std::filesystem::path(ZARN_SOURCE_DIR) / "data" / "demo";
  using Case = std::tuple<std::string, std::string, std::string>;  // file, what it holds, what start-up shows
  std::vector<Case> cases = {{"MAPS.DIR", "..\\GBIRL\r\n", "MAPS.DIR: ..\\GBIRL is outside the working folder"},
                             {"GBIRL.DES", "G\nGBIRL\nLL, 640, 480\n493600N0144500W, 0, 479\n610000N0095100E, 639, 0\n/dev/zero\n",
                               "GBIRL.DES: /dev/zero is outside"},
                             {"NEWTRIP.CFG", "..\\x\r\n", "NEWTRIP.CFG: ..\\X is outside the working folder"},
                             {"CHASE.CFG", "P,Red,r.wav,/dev/zero\r\n", "CHASE.CFG: /dev/zero is outside"},
                             {"ZARNKEYS.CFG", "1\r\n1,../K.BMP,x\r\n", "ZARNKEYS.CFG: ../K.BMP is outside"},
                             // STARTLOG.CFG starts the trip log: a FIFO there is never waited on
                             {"NEWTRIP.NME", "fifo", "Cannot create NEWTRIP.NME: a FIFO, not a regular file"}};
  for (std::string picture : {"GBIRL.BMP", "CARICON0.ICO", "$$$$LOGO.BMP"})  // no wait on a picture either
    for (std::string kind : {"/dev/zero", "fifo"}) cases.emplace_back(picture, kind, "");
  for (std::string slot : {"ZARN.CFG", "ZARN.MCV", "$LPOP.PCD", "ZARN.LOC", "SOUNDS.CFG", "HISTORY.CFG", "ZARNKEYS.CFG",
                           "ZARNDIAL.CFG", "DFCOLOUR.CFG", "ZARN.CAT", "ZARN.FND", "ZARN.COM", "CHASE.CFG", "UTM.CFG",
                           "MAPS.DIR", "MAPS.CCC", "GBIRL.DES"})
    for (std::string kind : {"/dev/zero", "fifo", "1 GB"})
      cases.emplace_back(slot, kind, slot + (kind == "1 GB" ? ": too large (1073741824 bytes" : ": not a regular"));
  for (const auto& [file, text, shown] : cases) {
    for (const auto& e : std::filesystem::directory_iterator(dir)) std::filesystem::remove(e.path());
    for (const char* f : {"GBIRL.DES", "GBIRL.BMP", "MAPS.CCC"}) std::filesystem::copy(demo / f, dir / f);
    put("MAPS.DIR", "GBIRL\r\n");
    put("ZARN.CFG", cfg({}));
    put("STARTLOG.CFG", "");
    std::filesystem::remove(dir / file);
    if (text == "/dev/zero")
      std::filesystem::create_symlink(text, dir / file);
    else if (text == "fifo")
      ::mkfifo((dir / file).c_str(), 0644);
    else
      put(file, text);
    if (text == "1 GB") std::filesystem::resize_file(dir / file, std::uintmax_t{1} << 30);  // sparse
    make();
    long pages = 0;  // start-up allowed 1 GB more memory; the start window and message line as shown
    std::ifstream("/proc/self/statm") >> pages;
    EXPECT_EQ(inchild(RLIMIT_AS, static_cast<rlim_t>(pages * ::sysconf(_SC_PAGESIZE)) + (rlim_t{1} << 30), [&] {
      std::ofstream out(dir / "shown.txt", std::ios::binary);
      auto& events = static_cast<platform::NoEvents&>(*app->sys.events);
      events.hook = [&, step = events.hook] {
        step();
        out << app->win.get<StartForm>().trace.caption << "\n" << app->win.zarn.saytxt.caption << std::endl;
      };
      [&]() noexcept { Form_Load(*app, ""); }();  // an exception ends the child, never back into the test runner
      return true;
    }), 0) << file << " as " << text;
    EXPECT_NE(get("shown.txt").find(shown), std::string::npos) << shown << ": " << get("shown.txt").substr(0, 200);
  }
  EXPECT_FALSE(has("../X1.NME")) << "no trip log made outside the folder";
  std::filesystem::remove(dir / "../X1.NME");
}

}  // namespace
}  // namespace zarn::test
