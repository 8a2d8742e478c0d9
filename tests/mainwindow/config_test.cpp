// ZARN.CFG, COMPORT.CFG, ZARN.CAT and ZARN.FND as start-up reads them, and ZARN.CFG as the
// program writes it back.
#include "mainwindow/config.h"
#include "mainwindow/maintest.h"
#include "platform/files.h"

namespace zarn::test {
namespace {

// A ZARN.CFG whose lines are given; the rest of the 14 filled with plain values.
std::string cfg(std::vector<std::string> lines) {
  const std::vector<std::string> plain = {"SJ 75128 78480", "Knutsford", "destinat.wav", "SJ 79718 84625", "COM1",
                                          "COM2", "COM3", " 0", " 0", " 0", " 16", "Yes", "\\japan\\", ""};
  for (std::size_t i = lines.size(); i < plain.size(); ++i) lines.push_back(plain[i]);
  std::string s;
  for (const auto& l : lines) s += l + "\r\n";
  return s;
}

using Cfg = MainTest;

TEST_F(Cfg, ReadsEachLineByItsColumns) {
  put("ZARN.CFG", cfg({"SJ 75128 78480 xx comment", "Null Road and more text than 24 columns   ",
                       "mywav.wav     Destination sound", "SJ 1 2            Home Location", "com2xx", "COM7",
                       "COM8", "-250   GPS correction", "1500", " 2", " 16.5", "yes", "\\japan\\",
                       "  /maps/extra/and-a-long-tail  Path"}));
  ASSERT_TRUE(readcfg(*app));
  const MainState& m = app->main;
  EXPECT_EQ(m.cfgdestpos, "SJ 75128 78480 xx") << "columns 1-18";
  EXPECT_EQ(m.foundref, m.cfgdestpos);
  EXPECT_EQ(m.foundlabel, "Null Road and more text than 24 columns") << "line 2 whole, trimmed";
  EXPECT_EQ(app->nav.nodest, 0) << "a label that merely begins with NULL";
  EXPECT_EQ(m.foundwav, "mywav.wav");
  EXPECT_EQ(app->nav.destwav, "mywav.wav");
  EXPECT_EQ(m.cfghome, "SJ 1 2");
  EXPECT_EQ(m.gpsport, "com2") << "four columns, case kept";
  EXPECT_EQ(app->gps.gpsoncom, 1);
  EXPECT_EQ(m.phoneport, "COM7");
  EXPECT_FLOAT_EQ(m.gpscorre, -0.25f);
  EXPECT_FLOAT_EQ(m.cfgcorre, -0.25f);
  EXPECT_FLOAT_EQ(m.gpscorrn, 1.5f);
  EXPECT_EQ(m.platformkind, 2);
  EXPECT_FLOAT_EQ(app->gps.minhdgspd, 16) << "four columns of  16.5";
  EXPECT_EQ(app->speech.ttsavail, 1);
  EXPECT_EQ(app->map.extramaps, "/maps/extra/and-a-") << "twenty columns, trimmed";
}

TEST_F(Cfg, NoDestinationAndPortRules) {
  struct Case {
    const char* guards;
    std::string line2, line5, line8, line12, comport;
    int nodest, gpsoncom;
    std::string port;
    float corre;
    int tts;
  };
  const std::vector<Case> cases = {
      {"NULL in any case means no destination", "nUlL", "COM1", " 0", "No", "", 1, 1, "COM1", 0, 0},
      {"a port line not beginning COM is no serial GPS", "Home", "SIM ", "", "", "", 0, 0, "SIM ", 0, 0},
      {"a blank port line too", "Home", "", " 0", "y", "", 0, 0, "", 0, 1},
      {"COMPORT.CFG replaces the port, COM-ness from line 5", "Home", "COM1", " 0", "N", "COM3", 0, 1, "COM3", 0, 0},
      {"COMPORT.CFG does not make a NONE port serial", "Home", "NONE", " 0", "N", "COM3", 0, 0, "COM3", 0, 0},
      {"COMPORT.CFG's line is taken whole", "Home", "COM1", " 0", "N", " COM10 x", 0, 1, " COM10 x", 0, 0},
  };
  for (const Case& c : cases) {
    SCOPED_TRACE(c.guards);
    std::filesystem::remove(dir / "COMPORT.CFG");
    put("ZARN.CFG", cfg({"SJ 1 1", c.line2, "d.wav", "SJ 1 1", c.line5, "COM2", "COM3", c.line8, " 0", " 0", " 16", c.line12}));
    if (!c.comport.empty()) put("COMPORT.CFG", c.comport + "\r\n");
    ASSERT_TRUE(readcfg(*app));
    EXPECT_EQ(app->nav.nodest, c.nodest);
    EXPECT_EQ(app->gps.gpsoncom, c.gpsoncom);
    EXPECT_EQ(app->main.gpsport, c.port);
    EXPECT_FLOAT_EQ(app->main.gpscorre, c.corre);
    EXPECT_EQ(app->speech.ttsavail, c.tts);
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
  EXPECT_EQ(app->gps.gpsoncom, 0);

  put("ZARN.CFG", "SJ 1 1\r\nHome\r\nd.wav\r\nSJ 1 1\r\nCOM1\r\nCOM2\r\n");
  EXPECT_FALSE(readcfg(*app)) << "six lines";
  EXPECT_EQ(app->nav.nodest, 0);
  EXPECT_EQ(app->gps.gpsoncom, 1) << "the port line was read";
}

TEST_F(Cfg, WrittenSettingsReadBackThroughTheReadingWidths) {
  MainState& m = app->main;
  NavState& n = app->nav;
  n.curdest = 3;
  n.destname[3] = "SJ 75128 78480";
  n.destlabel[3] = "A label of more than twenty-four characters";
  n.destwav = "destinat.wav";
  m.homeloc = "SJ 79718 84625";
  m.gpsport = "COM2";
  m.phoneport = "COM3";
  m.trafficport = "COM4";
  m.gpscorre = -0.0254f;
  m.gpscorrn = 0.0254f;
  m.platformkind = 1;
  app->gps.minhdgspd = 16.5f;
  app->speech.ttsavail = 0;
  app->map.extramaps = "/srv/maps/";
  ASSERT_TRUE(savecfg(*app));
  const std::string text = get("ZARN.CFG");
  EXPECT_NE(text.find("SJ 75128 78480          Destination Location\r\n"), std::string::npos);
  EXPECT_NE(text.find("\r\nA label of more than twenty-four characters\r\n"), std::string::npos)
      << "a long value alone";
  EXPECT_NE(text.find("\r\n-26                     GPS correction metres East\r\n"), std::string::npos)
      << "rounded down";
  EXPECT_NE(text.find("\r\n 25                     GPS correction metres North\r\n"), std::string::npos);
  EXPECT_NE(text.find("\r\n 16.5                   Speed in kmph before new heading\r\n"), std::string::npos);
  EXPECT_NE(text.find("\r\nNo                      Text to Speech Available\r\n"), std::string::npos);
  EXPECT_NE(text.find("\r\nonly be edited with great care !\r\n"), std::string::npos);

  App back;
  back.files.setworkdir(dir);
  ASSERT_TRUE(readcfg(back));
  EXPECT_EQ(back.main.cfgdestpos, "SJ 75128 78480");
  EXPECT_EQ(back.main.foundlabel, "A label of more than twenty-four characters");
  EXPECT_FLOAT_EQ(back.main.gpscorre, -0.026f);
  EXPECT_FLOAT_EQ(back.main.gpscorrn, 0.025f);
  EXPECT_EQ(back.main.platformkind, 1);
  EXPECT_FLOAT_EQ(back.gps.minhdgspd, 16) << "16.5 read back from four columns";
  EXPECT_EQ(back.speech.ttsavail, 0);
  EXPECT_EQ(back.map.extramaps, "/srv/maps/");

  n.nodest = 1;
  ASSERT_TRUE(savecfg(*app));
  EXPECT_NE(get("ZARN.CFG").find("\r\nNULL                    \r\n"), std::string::npos) << "NULL and 20 blanks";
}

TEST_F(Cfg, CategoriesAreCodeAndNameRecordsUpTo200) {
  put("ZARN.CAT", "\"FS\",\"Filling station, fuel\"\r\n  E , Emergency\r\nS,School\r\n");
  ASSERT_TRUE(readcat(*app));
  ASSERT_EQ(app->main.catcount, 3);
  EXPECT_EQ(app->main.catcode[1], "FS");
  EXPECT_EQ(app->main.catname[1], "Filling station, fuel") << "a quoted name holds commas";
  EXPECT_EQ(app->main.catcode[2], "E") << "leading blanks skipped";
  EXPECT_EQ(app->main.catname[3], "School");

  std::string many;
  for (int i = 1; i <= 230; ++i) many += "C" + std::to_string(i) + ",Name " + std::to_string(i) + "\r\n";
  put("ZARN.CAT", many);
  ASSERT_TRUE(readcat(*app));
  EXPECT_EQ(app->main.catcount, 200);
  EXPECT_EQ(app->main.catcode[200], "C200");

  std::filesystem::remove(dir / "ZARN.CAT");
  EXPECT_FALSE(readcat(*app));
  EXPECT_EQ(app->main.catcount, 0);
}

TEST_F(Cfg, SearchListsSkipTheTitleAndEndAtEnd) {
  put("ZARN.FND", "\"$E.GTX\",\"lost\"\r\n\"zarn.waw\",\"Places\"\r\n$fs.gtx,Fuel\r\nend,x\r\nAFTER,y\r\n");
  ASSERT_TRUE(readfnd(*app));
  ASSERT_EQ(app->main.fndcount, 2) << "a first line that is a record is lost";
  EXPECT_EQ(app->main.searchlists[1], "ZARN.WAW") << "names upper-cased";
  EXPECT_EQ(app->main.searchprompts[1], "Places");
  EXPECT_EQ(app->main.searchlists[2], "$FS.GTX");

  std::string many = "title\r\n";
  for (int i = 1; i <= 120; ++i) many += "L" + std::to_string(i) + ".GTX,p\r\n";
  put("ZARN.FND", many);
  ASSERT_TRUE(readfnd(*app));
  EXPECT_EQ(app->main.fndcount, 100);

  put("ZARN.FND", "");
  EXPECT_FALSE(readfnd(*app)) << "no first line";
  std::filesystem::remove(dir / "ZARN.FND");
  EXPECT_FALSE(readfnd(*app));
  EXPECT_EQ(app->main.fndcount, 0);
}

TEST_F(Cfg, SettingLinesAreTwentyColumnsRightTrimmed) {
  platform::InputFile f("1234567890123456789012345\r\nABCDE          \r\nshort\r\n");
  std::string l;
  ASSERT_TRUE(readcfgline(f, l));
  EXPECT_EQ(l, "12345678901234567890");
  ASSERT_TRUE(readcfgline(f, l));
  EXPECT_EQ(l, "ABCDE");
  ASSERT_TRUE(readcfgline(f, l));
  EXPECT_EQ(l, "short");
  EXPECT_FALSE(readcfgline(f, l)) << "the end of the file";
  EXPECT_EQ(l, "");
}

}  // namespace
}  // namespace zarn::test
