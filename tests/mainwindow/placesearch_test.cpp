// The searches of the demo's town lists: typed names in the text list (the binary list has no
// typed search), the walk outward from the car, the same over the text list and the binary
// list, and binary lists whose tables lie.
#include <sys/wait.h>
#include <unistd.h>

#include <algorithm>
#include <cstdio>
#include <cstring>
#include <set>

#include "geodesy/helpers.h"
#include "geodesy/postext.h"
#include "mainwindow/placesearch.h"
#include "mainwindow/search.h"
#include "mainwindow/startup.h"
#include "mainwindow/placekeys.h"
#include "mapdisplay/catalogue.h"
#include "navigation/rgifiles.h"
#include "support/app_fixture.h"
#include "support/builders.h"

namespace zarn::test {
namespace {

class PlaceSearch : public AppTest {
 protected:
  void ready() override {
    if (!has("TOWNS.GED")) copydemo();
    waitstep = 0.5;
    Form_Load(*app, "");
    ASSERT_EQ(app->main.searchlists[1] + app->main.searchlists[2], "TOWNS.GTXTOWNS.GED");
    ownfixat(*app, "SJ 79718 84625", 0, 90);  // the start of the drive
  }
  // One run as the search box makes it: the count raised first for a typed text.
  void typed(const std::string& text) {
    MainState& m = app->main;
    m.hitcount = std::min(m.hitcount + 1, 100);
    m.typedcmd = 1;
    app->win.zarn.search.text = text;
    typedsearch(*app);
  }
  // The found place is on the map shown.
  void expectshown() const {
    EXPECT_TRUE(app->map.curmap >= 1 && mapcovers(app->map, app->main.foundx, app->main.foundy, app->map.curmap))
        << app->main.foundlabel << " on " << app->map.maptitle;
  }
  float dist2() const {
    const float dx = app->main.foundx - app->gps.ownx, dy = app->main.foundy - app->gps.owny;
    return dx * dx + dy * dy;
  }
};

TEST_F(PlaceSearch, TypedNamesFindTownsInTheTextListAndNoneInTheBinaryList) {
  struct Case {
    const char* text;
    std::vector<std::string> found;  // each Enter in turn
    bool last;                       // then there are no more
    const char* guards;
  };
  // Nearest first from the start of the drive, as a brute force over the list's file gives them.
  const Case cases[] = {
      {"Knutsford", {"Knutsford"}, true, "a whole name"},
      {"hale", {"Hale", "Hale", "Halesowen", "Hale", "Halesworth"}, true, "a beginning in any case; three Hales"},
      {"mill", {"Millom", "Millport", "Millisle", "Milltown", "Milltimber", "Millstreet"}, true, "only beginnings"},
      {"*MILL",
       {"New Mills", "Meltham Mills", "Millom", "Lydiard Millicent", "Millport", "Millisle", "Milltown", "Milltimber",
        "Bushmills", "Sion Mills", "Millstreet"},
       true, "an asterisk finds the text anywhere"},
      {"ESBURY", {}, true, "nothing begins so"},
      {"", {"Hale", "Altrincham", "Bowdon"}, false, "an empty text matches every town"},
  };
  for (int list : {1, 2})
    for (const Case& c : cases) {
      MainState& m = app->main;
      std::tie(m.searchidx, m.hitcount) = std::tuple(list, 0);
      float last = 0;
      // A name typed for the binary list finds nothing there, at once.
      for (const std::string& name : list == 1 ? c.found : std::vector<std::string>{}) {
        typed(c.text);
        EXPECT_EQ(m.foundlabel, name) << c.guards << ", list " << list;
        EXPECT_GE(dist2(), last) << c.guards;
        last = dist2();
        expectshown();
      }
      if (!c.last && list == 1) continue;
      const auto before = std::tuple(m.foundx, m.foundy, app->map.curmap, 0, 0);
      typed(c.text);
      // Run out or never found: said alike, the symbol hidden, the search to start afresh.
      EXPECT_EQ(app->speech.msgtext, "I can't find " + std::string(c.text)) << c.guards;
      EXPECT_EQ(std::tuple(m.foundx, m.foundy, app->map.curmap, m.hitcount, m.typedcmd), before)
          << c.guards << ": the found place and the map stay";
      EXPECT_FALSE(app->win.zarn.sym.visible) << c.guards;
    }
  std::tie(app->main.searchidx, app->main.hitcount) = std::tuple(3, 0);  // the population centres
  typed("knuts");
  EXPECT_EQ(std::tuple(app->main.foundlabel, app->nav.foundfile), std::tuple("Knutsford in United Kingdom", "LPOP"));
  expectshown();
}

// A name typed and found in a text list has no prompt of its own: its report opens with its
// label, and no prompt stands for it (start-up's destination prompt before the change).
TEST_F(PlaceSearch, ATypedNameFoundIsToldUnderItsLabelWithNoPromptOfItsOwn) {
  MainState& m = app->main;
  ASSERT_EQ(m.foundwav, "destinat.wav") << "as start-up leaves it";
  std::tie(m.searchidx, m.hitcount, m.typedcmd, app->win.zarn.search.text) = std::tuple(1, 0, 1, "Knutsford");
  wav->played.clear();
  findplace(*app);
  const Items heard = played();
  EXPECT_EQ(std::tuple(m.foundlabel, m.foundwav), std::tuple("Knutsford", ""));
  EXPECT_TRUE(std::find(heard.begin(), heard.end(), "destinat.wav") == heard.end()) << heard.front();
  EXPECT_EQ(app->speech.lastsaid.rfind("Knutsford ", 0), 0u) << app->speech.lastsaid;
}

TEST_F(PlaceSearch, NearestWalksOutwardEachTownOnceThenSaysThereAreNoMore) {
  MainState& m = app->main;
  std::vector<std::string> walks[2], heads;
  // The name report is shown while window events run, before the distance.
  events->hook = [&] {
    const std::string& t = app->speech.msgtext;
    if (t.starts_with("The ") && (heads.empty() || heads.back() != t)) heads.push_back(t);
  };
  for (int list : {1, 2}) {
    std::tie(m.searchidx, m.hitcount) = std::tuple(list, 0);
    m.hitlist.fill("stale");  // each entry is cleared as the count reaches it
    std::set<std::string> seen;
    float last = 0;
    for (int k = 1; k <= 100; ++k) {
      nearestsearch(*app);
      walks[list - 1].push_back(m.foundlabel);
      EXPECT_TRUE(seen.insert(m.foundref).second) << m.foundlabel << " again";
      EXPECT_GE(dist2(), last) << m.foundlabel;
      last = dist2();
      expectshown();
    }
    const float x = m.foundx, y = m.foundy;
    const int map = app->map.curmap;
    nearestsearch(*app);  // the hit list is full
    EXPECT_EQ(std::tuple(app->speech.msgtext, m.foundx, m.foundy, app->map.curmap, m.hitcount),
              std::tuple(std::string("There are no more ") + m.searchprompts[static_cast<std::size_t>(list)], x, y,
                         map, 0));
    nearestsearch(*app);
    EXPECT_EQ(m.foundlabel, walks[list - 1][0]) << "then the list starts again";
  }
  EXPECT_EQ(walks[0], walks[1]);
  EXPECT_EQ(std::tuple(walks[0][0], walks[0][1], walks[0][99]), std::tuple("Hale", "Altrincham", "Bolton"));
  EXPECT_EQ(std::tuple(heads[0], heads[1]), std::tuple("The nearest Town is a town or village called Hale",
                                                       "The next nearest is a town or village called Altrincham"));

  // The reference point follows the mode; a list with nothing left leaves everything alone.
  app->nav.destx[app->nav.curdest] = -3.359f, app->nav.desty[app->nav.curdest] = 406.352f;  // Dublin
  const char* const ringway = "Ringway in United Kingdom";
  for (const auto& [mode, list, label, msg] :
       {std::tuple{"DESTINATION", 1, "Dublin", " 0 yards "}, {"TEXT", 1, "Hale", " 1.7 miles "},
        {"OUR CAR", 3, ringway, " 1.1 miles ahead of us at your 1 o'clock"},
        {"", 3, ringway, "There are no more Population centre"}}) {
    std::tie(m.refname, m.searchidx, m.hitcount) = std::tuple(mode, list, 0);
    if (!*mode) m.pcdn1 = 0;  // no population centres
    nearestsearch(*app);
    EXPECT_EQ(std::tuple(m.foundlabel, app->speech.msgtext.substr(0, std::strlen(msg))), std::tuple(label, msg))
        << mode << " list " << list;
  }
}

// A text-list place written as a position text is known by that text in the walk outward: the
// found place's reference and the hit list hold it as written, so two texts of one position are
// two places.
TEST_F(PlaceSearch, TheWalkOutwardKnowsAPlaceByThePositionTextItIsWrittenAs) {
  put("PLACES.GTX", "Places\r\ntype,east,north,name,more\r\nL,,SJ797846,Short,x\r\nL,,SJ 79700 84600,Long,x\r\n"
                    "L,379.9,384.9,Far,x\r\n");
  MainState& m = app->main;
  std::tie(m.searchlists[1], m.searchidx, m.hitcount, m.typedcmd) = std::tuple("PLACES.GTX", 1, 0, 0);
  Items found;
  for (int k = 0; k < 3; ++k) {
    nearestsearch(*app);
    found.push_back(m.foundlabel + " " + m.foundref);
  }
  EXPECT_EQ(found, (Items{"Short SJ797846", "Long SJ 79700 84600", "Far SJ 79900 84900"}));
}

// The demo's binary list with one 32-bit or 16-bit field overwritten.
TEST_F(PlaceSearch, ABinaryListIsReadOnlyWithinItsBytes) {
  const std::string ged = get("TOWNS.GED");
  const int n = GedList(ged).count();
  ASSERT_EQ(n, 3992);
  const std::size_t offsets = 4 + 8 * static_cast<std::size_t>(n), texts = offsets + 4 * static_cast<std::size_t>(n);
  std::int32_t lastoff = 0;  // where the last town's text lies
  std::memcpy(&lastoff, ged.data() + texts - 4, 4);
  const std::size_t last = texts + static_cast<std::size_t>(lastoff);
  struct Case {
    const char* guards;
    std::size_t at;
    long value;
    int size;  // bytes written: 4, or 2 for a text length
    int count, entry;
    const char* name;  // of the entry; null: not looked at
  };
  const Case cases[] = {
      {"the demo list as it is", 0, n, 4, n, n - 1, "Westcliff-on-Sea"},
      {"a huge count reads nothing", 0, 0x7fffffff, 4, 0, 0, ""},
      {"a count one past the tables", 0, static_cast<long>(ged.size() - 4) / 12 + 1, 4, 0, 0, ""},
      {"a negative count", 0, -5, 4, 0, 0, ""},
      {"a smaller count: its own entries", 0, 3, 4, 3, 0, nullptr},
      {"an offset before the text area", offsets, -1, 4, n, 0, ""},
      {"an offset past the end", offsets, static_cast<long>(ged.size()), 4, n, 0, ""},
      {"an offset on the last byte", offsets, static_cast<long>(ged.size() - texts - 1), 4, n, 0, ""},
      {"a length one past the end", last, static_cast<long>(ged.size() - last - 1), 2, n, n - 1, ""},
      {"a negative length", texts, -2, 2, n, 0, ""},
  };
  for (const Case& c : cases) {
    std::string bytes = ged;
    const auto v = static_cast<std::uint32_t>(c.value);
    std::memcpy(bytes.data() + c.at, &v, static_cast<std::size_t>(c.size));
    const GedList g(bytes);
    std::string code, name;
    g.entry(c.entry, code, name);
    EXPECT_EQ(std::tuple(g.count(), c.name ? name : ""), std::tuple(c.count, c.name ? c.name : "")) << c.guards;
  }
  EXPECT_EQ(GedList(ged.substr(0, 3)).count(), 0) << "shorter than its count";
  put("TOWNS.GED", std::string("\xff\xff\xff\x7f", 4) + ged.substr(4, 100));
  app->main.searchidx = 2;
  nearestsearch(*app);
  EXPECT_EQ(std::tuple(app->speech.msgtext, app->main.foundx),
            std::tuple("There are no more Town (binary list)", noposx));
}

TEST_F(PlaceSearch, AListGuidanceOrTableThatCannotBeReadIsNamedWithTheSystemsReason) {
  MainState& m = app->main;
  const std::string why = ": unreadable: Permission denied";
  // Each is named with the reason, but for the name typed for the binary list: that list is
  // not searched by name, so it is not read.
  const std::tuple<const char*, std::function<std::string()>, const char*> cases[] = {
      {"TOWNS.GTX", [&] { return m.searchidx = 1, typed("Knutsford"), app->speech.msgtext; }, nullptr},
      {"TOWNS.GED", [&] { return m.searchidx = 2, typed("Knutsford"), app->speech.msgtext; }, "I can't find Knutsford"},
      {"TOWNS.GED", [&] { return std::tie(m.searchidx, m.hitcount) = std::tuple(2, 0), nearestsearch(*app), app->speech.msgtext; }, nullptr},
      {"ASHLEY.RGI", [&] {  // the guidance ZARN.MOR names for the demo's destination
         app->nav.rgifile = "ASHLEY.RGI";
         readrgb(app->nav, app->voice, app->geo, app->gps, app->win.zarn.rgitrace);
         const std::string& trace = app->win.zarn.rgitrace.caption;
         return trace == app->speech.msgtext ? trace : "the trace: " + trace;
       }, nullptr},
      {"ZARN.MOR", [&] { return m.foundlabel = "End of the drive", morekey(*app), app->speech.msgtext; }, nullptr},
  };
  for (const auto& [name, run, other] : cases) {
    const std::string want = other ? other : name + why;
    std::filesystem::permissions(dir / name, std::filesystem::perms::none);
    // In a child that may not read it: root reads anything.
    int status = -1;
    if (const pid_t pid = ::fork(); pid == 0) {
      ::alarm(20);
      const bool asked = ::geteuid() != 0 || ::setuid(65534) == 0;
      const std::string shown = run();
      if (shown != want) std::fprintf(stderr, "%s: shown \"%s\"\n", name, shown.c_str());
      ::_exit(asked && shown == want ? 0 : 1);
    } else {
      ::waitpid(pid, &status, 0);
    }
    EXPECT_EQ(status, 0) << name;
    std::filesystem::permissions(dir / name, std::filesystem::perms(0644));
  }
}

}  // namespace
}  // namespace zarn::test
