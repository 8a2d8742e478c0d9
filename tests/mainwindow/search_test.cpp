// The search box's handler over the demo data: every typed command, position and refusal, and
// what every run starts with.
#include <algorithm>
#include <functional>

#include "geodesy/helpers.h"
#include "geodesy/postext.h"
#include "geodesy/ukgrid.h"
#include "geodesy/utm.h"
#include "platform/textrules.h"
#include "mainwindow/cform.h"
#include "mainwindow/config.h"
#include "mainwindow/datafiles.h"
#include "mainwindow/search.h"
#include "mapdisplay/catalogue.h"
#include "mapdisplay/mapload.h"
#include "support/app_fixture.h"
#include "support/builders.h"

namespace zarn::test {
namespace {

class Search : public AppTest {};

// Each text of a row is one run of the box, in order, on the same application: the state each
// leaves is the next one's start.
TEST_F(Search, EveryTypedCommandAndTheRunsStart) {
  copydemo();
  ASSERT_FALSE(loadccc(app->geo, app->files));
  GeoState& g = app->geo;  // squares that put a reference on the readers' failure values
  for (auto [code, x, y] : {std::tuple("ZZ", -1.0f, 0.0f), {"PP", parsefailx, parsefaily}, {"QQ", -321.0f, 172.5f}})
    std::tie(g.ccccode[g.ccccount + 1], g.cccx[g.ccccount + 1], g.cccy[g.ccccount + 1], g.ccccount) =
        std::tuple(code, x, y, g.ccccount + 1);
  ASSERT_TRUE(readmaplist(*app) && readcat(app->files, app->main) && readfnd(app->files, app->main) && readloc(app->files, app->geo, app->nav, app->win.get<CForm>()) == 6);
  onemap(*app, "CHESH");
  ASSERT_EQ(app->map.maptitle, "Cheshire");
  ownfixat(*app, 375.128f, 376.02f);  // 2.46 km south of Knutsford
  MainState& m = app->main;
  NavState& n = app->nav;
  const ZarnForm& z = app->win.zarn;
  const std::string mill = "SJ 75128 78480,Mill Lane,MILLLANE.WAV,2.4\r\n";
  const std::string gtx = "LPOP,,SJ 75128 78480,Mill Lane,\r\n";
  const std::string well = "SJ 75128 78480,St Mary's Well 2,STMARYSW.WAV,.1\r\n";
  std::string own;
  int mode = 1;  // typedcmd of the runs
  const auto found = [&](std::string l) { return m.foundlabel == l && (m.foundwav == "destinat.wav") != l.empty(); };
  const auto said = [&](const std::string& msg, const Items& queue) {
    const SpeechState& s = app->speech;
    return s.msgtext.find(msg) != std::string::npos && Items(&s.wavqueue[1], &s.wavqueue[1] + s.wavcount) == queue;
  };
  const auto loc = [&] { return app->files.readlines("ZARN.LOC").value_or(Items{}); };
  struct Row {
    const char* guards;
    Items typed;  // run in turn; the check follows the last
    std::function<bool()> ok;
    std::function<void()> before = [] {};
  };
  const Row rows[] = {
      {"NMEA in any case logs what follows but NMEA and \"/\" entries; \"/\" alone does nothing",
       {"nmea", "PLOTROAD", "/", "/Mill Lane", "NMEA"},
       [&] { return get("NEW.NME") == "$GPTXT,PLOTROAD\r\n" && get("NEW.WAW") == mill && get("NEW.GTX") == gtx; }},
      {"logged text keeps to one sentence: no line end, comma, star or dollar of its own",
       {"nmea", "A\r\n$GPRMC,1*00", "NMEA"},
       [&] { return get("NEW.NME") == "$GPTXT,PLOTROAD\r\n$GPTXT,A GPRMC 1 00\r\n"; }},
      {"a comma or a double quote in the name is refused, nothing written", {"/Mill, Lane", "/\"Mill\""},
       [&] { return get("NEW.WAW") == mill && get("NEW.GTX") == gtx && said("comma", {}); }},
      {"30 m gives radius .1; the WAV keeps letters and digits, 8 of them", {"/St Mary's Well 2"},
       [&] { return get("NEW.WAW") == mill + well; },
       [&] { ownmoved(*app, 375.128f, 378.45f), gridreftext(app->geo, 375.128f, 378.45f, own); }},
      {"a place's name without its control characters, a long one cut",
       {"/Mill\x1a\r\nX", "/" + std::string(100'000, 'z')},
       [&] {
         return get("NEW.WAW").ends_with(",MillX,MILLX.WAV,.1\r\nSJ 75128 78480," + std::string(255, 'z') +
                                         ",ZZZZZZZZ.WAV,.1\r\n");
       }},
      {"/waw draws the places on the map, each beeping without its WAV; /WAWX is a place", {"/waw", "/WAWX"},
       [&] { return !z.surface.ops().empty() && wav->beeps && get("NEW.WAW").ends_with(",WAWX,WAWX.WAV,.1\r\n"); }},
      {"DFBRGREL, DISPLAYXY flip; RGI- hides the trace, RGI/ dumps; OO awaits the planner",
       {"dfbrgrel", "DisplayXY", "rgi+", "RGI-", "RGI/", "OO"},
       [&] { return !n.dfrel && m.displayxy && !z.rgitrace.visible && has("RGI.TXT") && n.krvwait; }},
      {"keywords, a bearing, 45, -1 km, the failure pairs, a letter for a digit, square I: none is a found place",
       {"o", "SHOWMAPS", "linkman", "045", "45", "ZZ000000", "PP000000", "QQ000000", "SJ75178X", "I123456"},
       [&] { return found(""); }},
      {"FASTMAPS writes the cache and puts the current map back; the mode label is back", {"FASTMAPS"},
       [&] { return has("FASTMAPS.DAT") && app->map.mapname[app->map.curmap] == "CHESH" && m.refname == "OUR CAR"; }},
      {"#A34 names the road #A34#, #,, text is its class", {"#A34", "#a,,trunk"},
       [&] { return m.digmode && m.digname == "#A34#" && m.digclass == "A,,TRUNK"; }},
      {"# alone ends digitising", {"#"}, [&] { return m.digmode == 0; }},
      {"slot 3 labelled 3; the file keeps slots 1 to 6, not the ad-hoc 7", {"3"},
       [&] { return n.destlabel[3] == "3" && loc().size() == 6 && loc()[2] == own + ",3"; }},
      {"3 Office labels it Office; 0 Office is no slot", {"3 Office", "0 Office"},
       [&] { return loc().at(2) == own + ",Office" && n.destlabel[0].empty(); }},
      {"a label without its control characters and commas, a long one cut: every slot is read back",
       {"3 Of\x1a" "f,ice\nX", "4 " + std::string(2'000'000, 'y')},
       [&] {
         return loc().size() == 6 && loc()[2] == own + ",Off iceX" && n.destlabel[3] == "Off iceX" &&
                loc()[3].size() < 6000;
       }},
      {"the ad-hoc slot typed is written; one past the file is kept in memory, said unsaved", {"7 Here", "9 Far"},
       [&] { return loc().size() == 7 && loc()[6] == own + ",Here" && n.destlabel[9] == "Far" && said("saved", {}); }},
      {"two letters and six digits are found and marked, the map unchanged", {"sj751784"},
       [&] { return found("SJ751784") && z.sym.visible && app->map.mapname[app->map.curmap] == "CHESH"; }},
      {"the compact form is found", {"533000N0022000W"}, [&] { return found("533000N0022000W"); }},
      {"nearest mode: no text", {"NMEA"}, [&] { return !app->gps.nmealog && m.hitcount == 1; },
       [&] { mode = 0, m.hitcount = 0; }},
      {"$AN.NOF takes all runs", {"NMEA"}, [&] { return !app->gps.nmealog && m.hitcount == 2 && m.refname == "TEXT"; },
       [&] { m.searchlists[1] = "$AN.NOF", mode = 1; }},
      {"a missing category list is named, with its prompts, heard with sound off", {"NMEA"},
       [&] { return said("I can't find Filling station", {"icantfin.wav", "$FS.WAV"}) && !app->speech.talkon; },
       [&] { m.searchlists[1] = "$FS.NOF", app->speech.talkon = 0, app->speech.wavcount = 0; }},
      {"a missing list of no category is named by its file", {"45"},
       [&] { return said("I can't find OTHER.LST", {"icantfin.wav", "OTHER.LST"}) && m.hitcount == 2; },
       [&] { m.searchlists[1] = "OTHER.LST", app->speech.wavcount = 0; }},
  };
  for (const Row& r : rows) {
    r.before();
    for (const std::string& t : r.typed) {
      app->win.zarn.search.text = t;
      std::tie(m.typedcmd, m.prevmode, m.refname) = std::tuple(mode, "OUR CAR", "TEXT");
      findplace(*app);
    }
    EXPECT_TRUE(r.ok()) << r.guards << " said: " << app->speech.msgtext << " found: " << m.foundlabel;
  }
}

// Every position text the read-outs show, typed back as shown (or with single blanks), is found
// and marked; an earlier "I can't find" leaves the message line. Other shapes of a reference go
// to the place search.
TEST_F(Search, ThePositionTextsTheReadOutsShowAreFoundAsTheyAreShown) {
  copydemo();
  ASSERT_FALSE(loadccc(app->geo, app->files));
  ASSERT_TRUE(readmaplist(*app) && readcat(app->files, app->main) && readfnd(app->files, app->main));
  onemap(*app, "CHESH");
  ownfixat(*app, 375.128f, 376.02f);
  float x = 0, y = 0, lat = 0, lon = 0;
  parsepos(app->geo, "SJ 78000 84700", x, y);
  osgbtoll(app->geo, x, y, lat, lon);
  Items shown;
  std::string t;
  gridreftext(app->geo, x, y, t);
  shown.push_back(t);
  shown.push_back(t.substr(0, 2) + t.substr(3, 3) + t.substr(9, 3));  // as the vehicle list shows it
  latlongtext(lat, lon, t);
  shown.push_back(t);
  for (std::size_t two; (two = t.find("  ")) != std::string::npos;) t.erase(two, 1);
  shown.push_back(t);  // typed with one blank where the read-out has two
  for (int mode : {1, 2}) {
    if (utmtext(app->geo, mode, lat, lon, t)) shown.push_back(t);
  }
  ASSERT_EQ(shown.size(), 6u);
  for (const std::string& typed : shown) {
    app->speech.msgtext = "I can't find Twin";
    app->win.zarn.search.text = typed;
    std::tie(app->main.typedcmd, app->main.prevmode, app->main.refname) = std::tuple(1, "OUR CAR", "TEXT");
    findplace(*app);
    EXPECT_EQ(app->main.foundlabel, text::ucase(typed));
    EXPECT_NEAR(app->main.foundx, x, 0.1) << typed;
    EXPECT_NEAR(app->main.foundy, y, 0.1) << typed;
    EXPECT_EQ(app->speech.msgtext.find("find"), std::string::npos) << typed;
  }
  // References of other shapes, which the program never writes, are names for the place search.
  for (const std::string typed : {"SJ7884", "sj78008470"}) {
    app->win.zarn.search.text = typed;
    std::tie(app->main.typedcmd, app->main.prevmode, app->main.refname) = std::tuple(1, "OUR CAR", "TEXT");
    findplace(*app);
    EXPECT_EQ(std::tuple(app->speech.msgtext, app->main.foundlabel), std::tuple("I can't find " + typed, text::ucase(shown.back())))
        << typed;
  }
}

}  // namespace
}  // namespace zarn::test
