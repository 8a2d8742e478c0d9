// ZARN.CFG, COMPORT.CFG, ZARN.CAT and ZARN.FND as start-up reads them, and ZARN.CFG as the
// program writes it back.
#include "mainwindow/config.h"
#include "support/app_fixture.h"

namespace zarn::test {
namespace {

// A ZARN.CFG whose lines are given; the rest of the 14 filled with plain values.
std::string cfg(std::vector<std::string> lines) {
  const Items plain = {"SJ 75128 78480", "Knutsford", "destinat.wav", "SJ 79718 84625", "COM1", "COM2", "COM3",
                       " 0",             " 0",        " 0",           " 16",            "Yes",  "\\japan\\", ""};
  for (std::size_t i = lines.size(); i < plain.size(); ++i) lines.push_back(plain[i]);
  std::string s;
  for (const auto& l : lines) s += l + "\r\n";
  return s;
}

using Cfg = AppTest;

TEST_F(Cfg, ReadsEachLineByItsColumns) {
  put("ZARN.CFG", cfg({"SJ 75128 78480 xx comment", "Null Road and more text than 24 columns   ",
                       "mywav.wav     Destination sound", "SJ 1 2            Home Location", "com2xx", "COM7",
                       "COM8", "-250   GPS correction", "1500", " 2", " 16.5", "yes", "\\japan\\",
                       "  /maps/extra/and-a-long-tail  Path"}));
  ASSERT_TRUE(readcfg(*app));
  const MainState& m = app->main;
  EXPECT_EQ(m.cfgdestpos, "SJ 75128 78480 xx") << "columns 1-18";
  EXPECT_EQ(m.foundlabel, "Null Road and more text than 24 columns") << "line 2 whole, trimmed";
  EXPECT_EQ(app->nav.nodest, 0) << "a label that merely begins with NULL";
  EXPECT_EQ(app->nav.destwav, "mywav.wav");
  EXPECT_EQ(m.gpsport, "com2") << "four columns, case kept";
  EXPECT_EQ(app->gps.gpsoncom, 1);
  EXPECT_FLOAT_EQ(app->gps.gpscorre, -0.25f);
  EXPECT_FLOAT_EQ(app->gps.minhdgspd, 16) << "four columns of  16.5";
  EXPECT_EQ(app->map.extramaps, "/maps/extra/and-a-") << "twenty columns, trimmed";
}

TEST_F(Cfg, NoDestinationAndPortRules) {
  struct Case {
    const char* guards;
    std::string line2, line5, comport;
    int nodest, gpsoncom;
    std::string port;
  };
  const std::vector<Case> cases = {
      {"NULL in any case means no destination", "nUlL", "COM1", "", 1, 1, "COM1"},
      {"a port line not beginning COM is no serial GPS", "Home", "SIM ", "", 0, 0, "SIM "},
      {"a blank port line too", "Home", "", "", 0, 0, ""},
      {"COMPORT.CFG replaces the port, COM-ness from line 5", "Home", "COM1", "COM3", 0, 1, "COM3"},
      {"COMPORT.CFG does not make a NONE port serial", "Home", "NONE", "COM3", 0, 0, "COM3"},
      {"COMPORT.CFG's line is taken whole", "Home", "COM1", " COM10 x", 0, 1, " COM10 x"},
  };
  for (const Case& c : cases) {
    SCOPED_TRACE(c.guards);
    std::filesystem::remove(dir / "COMPORT.CFG");
    put("ZARN.CFG", cfg({"SJ 1 1", c.line2, "d.wav", "SJ 1 1", c.line5}));
    if (!c.comport.empty()) put("COMPORT.CFG", c.comport + "\r\n");
    ASSERT_TRUE(readcfg(*app));
    EXPECT_EQ(app->nav.nodest, c.nodest);
    EXPECT_EQ(app->gps.gpsoncom, c.gpsoncom);
    EXPECT_EQ(app->main.gpsport, c.port);
  }
}

TEST_F(Cfg, AMissingOrShortFileMeansNoDestinationAndNoSerialGps) {
  EXPECT_FALSE(readcfg(*app)) << "missing";
  EXPECT_EQ(app->nav.nodest, 1);
  EXPECT_EQ(app->gps.gpsoncom, 0);
  put("ZARN.CFG", "SJ 75128 78480\r\n");
  EXPECT_FALSE(readcfg(*app)) << "one line";
  EXPECT_EQ(app->main.cfgdestpos, "SJ 75128 78480") << "what was read stays";
  EXPECT_EQ(app->nav.nodest, 1);
  put("ZARN.CFG", "SJ 1 1\r\nHome\r\nd.wav\r\nSJ 1 1\r\nCOM1\r\nCOM2\r\n");
  EXPECT_FALSE(readcfg(*app)) << "six lines";
  EXPECT_EQ(app->nav.nodest, 0);
  EXPECT_EQ(app->gps.gpsoncom, 1) << "the port line was read";
}

TEST_F(Cfg, WrittenSettingsReadBackThroughTheReadingWidths) {
  NavState& n = app->nav;
  n.curdest = 3;
  n.destname[3] = "SJ 75128 78480";
  n.destlabel[3] = "A label of more than twenty-four characters";
  app->gps.gpscorre = -0.0254f;
  app->gps.gpscorrn = 0.0254f;
  app->gps.minhdgspd = 16.5f;
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
  EXPECT_EQ(back.main.foundlabel, "A label of more than twenty-four characters");
  EXPECT_FLOAT_EQ(back.gps.gpscorre, -0.026f);
  EXPECT_FLOAT_EQ(back.gps.gpscorrn, 0.025f);
  EXPECT_FLOAT_EQ(back.gps.minhdgspd, 16) << "16.5 read back from four columns";
  EXPECT_EQ(back.map.extramaps, "/srv/maps/");

  n.nodest = 1;
  ASSERT_TRUE(savecfg(*app));
  EXPECT_NE(get("ZARN.CFG").find("\r\nNULL                    \r\n"), std::string::npos) << "NULL and 20 blanks";
}

TEST_F(Cfg, CategoriesAndSearchListsUpToTheirLimits) {
  put("ZARN.CAT", "\"FS\",\"Filling station, fuel\"\r\n  E , Emergency\r\nS,School\r\n");
  ASSERT_TRUE(readcat(*app));
  ASSERT_EQ(app->main.catcount, 3);
  EXPECT_EQ(app->main.catname[1], "Filling station, fuel") << "a quoted name holds commas";
  EXPECT_EQ(app->main.catcode[2], "E") << "leading blanks skipped";

  put("ZARN.FND", "\"$E.GTX\",\"lost\"\r\n\"zarn.waw\",\"Places\"\r\n$fs.gtx,Fuel\r\nend,x\r\nAFTER,y\r\n");
  ASSERT_TRUE(readfnd(*app));
  ASSERT_EQ(app->main.fndcount, 2) << "a first line that is a record is lost; end ends";
  EXPECT_EQ(app->main.searchlists[1], "ZARN.WAW") << "names upper-cased";

  std::string cats, lists = "title\r\n";
  for (int i = 1; i <= 230; ++i) {
    cats += "C" + std::to_string(i) + ",Name\r\n";
    lists += "L" + std::to_string(i) + ".GTX,p\r\n";
  }
  put("ZARN.CAT", cats);
  put("ZARN.FND", lists);
  ASSERT_TRUE(readcat(*app));
  ASSERT_TRUE(readfnd(*app));
  EXPECT_EQ(app->main.catcount, 200);
  EXPECT_EQ(app->main.fndcount, 100);

  put("ZARN.FND", "");
  EXPECT_FALSE(readfnd(*app)) << "no first line";
  std::filesystem::remove(dir / "ZARN.CAT");
  std::filesystem::remove(dir / "ZARN.FND");
  EXPECT_FALSE(readcat(*app));
  EXPECT_FALSE(readfnd(*app));
  EXPECT_EQ(app->main.catcount, 0);
  EXPECT_EQ(app->main.fndcount, 0);
}

}  // namespace
}  // namespace zarn::test
