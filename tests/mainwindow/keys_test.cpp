// Keys typed into the search box, search lists stepped by key, keys for the single-key commands.
#include "geodesy/helpers.h"
#include "mainwindow/help.h"
#include "mainwindow/keys.h"
#include "mainwindow/onekey.h"
#include "mainwindow/popdata.h"
#include "support/app_fixture.h"

namespace zarn::test {
namespace {

struct Keys : AppTest {
  void ready() override {
    MainState& m = app->main;
    std::tie(m.fndcount, m.searchlists[1], m.searchprompts[1], m.searchlists[2], m.searchprompts[2], m.hitcount) =
        std::tuple(2, "ZARN.WAW", "Places", "$LPOP.PCD", "Towns", 7);
    std::tie(app->speech.ttsavail, app->speech.talkon) = std::tuple(1, 0);  // letters are spoken all the same
    wavfile("$lpop.wav");
  }
};

TEST_F(Keys, EachKeyIsTypedStepsTheListsOrRunsItsCommand) {
  const struct { const char* guards; int idx; std::string keys, search, dat; Items said; int typing, wantidx; bool shown; }
      cases[] = {
      {"letters as typed, digits not, + as next", 1, "`Ab1+", "Ab1+", "", {"A.wav", "b.wav", "next.wav"}, 1, 1, true},
      {"Backspace takes one off, and nothing from an empty box", 1, "`x\b\b", "", "", {"x.wav"}, 1, 1, true},
      {"started again while typing; ~ selects the first list", 2, "`a~", "", "", {"a.wav"}, 1, 1, true},
      {"` keeps the list; population list under three characters: no match", 2, "`RE", "RE", "no match", {"R.wav", "E.wav"}, 1, 2, true},
      {"+ with the box closed: the next list, by its own sound", 1, "+", "Towns", "", {"$lpop.wav"}, 0, 2, true},
      {"+ at the last list stays and announces it again", 2, "+", "Towns", "", {"$lpop.wav"}, 0, 2, true},
      {"- to a list without a sound file: its prompt spoken", 2, "-", "Places", "", {"Places"}, 0, 1, true},
      {"- at the first list stays", 1, "-", "Places", "", {"Places"}, 0, 1, true},
      {"Escape with the box closed asks, and Yes ends the program", 1, "\x1b", "", "", {}, 0, 1, false},
      {"control keys, DEL and the C1 codes are not typed; Latin-1 letters are", 1, "`a\x01\t\x7f\x85" "b\xe9",
       "ab\xe9", "", {"a.wav", "b.wav"}, 1, 1, true},
  };
  for (const auto& c : cases) {
    make(), app->main.searchidx = c.idx;
    for (const char ch : c.keys) {
      int k = static_cast<unsigned char>(ch);
      try {
        keycmd(*app, k);
      } catch (const platform::ProgramEnded&) {
        EXPECT_EQ(dialogs->shown.back().title, "Exit ZARN ?");
      }
      EXPECT_EQ(k, 0) << "every key is used up";
    }
    const auto& [m, z, q] = std::tie(app->main, app->win.zarn, app->speech.wavqueue);
    Items said(q.begin() + 1, q.begin() + 1 + app->speech.wavcount), p = played();  // queued, played, spoken
    said.insert(said.end(), p.begin(), p.end()), said.insert(said.end(), tts->said.begin(), tts->said.end());
    EXPECT_EQ(std::tuple(said, z.search.text, z.searchdat.text, m.typingmode, m.searchidx, z.search.visible),
              std::tuple(c.said, c.search, c.dat, c.typing, c.wantidx, c.shown)) << c.guards;
    EXPECT_TRUE(m.prevmode != "TEXT" && (m.hitcount == 0 || m.quit) && app->speech.talkon == 0 && m.foundx == noposx &&
                m.quit == !c.shown) << c.guards;
  }
}

// Typing never holds the keys: after "O" a typed search drops the question and Enter runs it;
// Escape while typing (as closing the window) asks about the exit; a question asked while typing
// (from the key pad) leaves Enter to end the typing.
TEST_F(Keys, TypingAfterTheReportQuestionRunsTheSearchAndEscapeStillAsksAboutTheExit) {
  MainState& m = app->main;
  ZarnForm& z = app->win.zarn;
  const auto type = [&](const std::string& keys) {
    for (const char ch : keys) {
      int k = static_cast<unsigned char>(ch);
      keycmd(*app, k);
    }
  };
  dialogs->answers = {platform::mb::idcancel};
  type("O~Mere");
  EXPECT_TRUE(m.askstate == 0 && m.typingmode == 1 && z.search.text == "Mere") << "typing drops the question";
  type("\r");
  EXPECT_TRUE(m.typingmode == 0 && !z.search.visible && m.askstep == 0) << "Enter ran the search, and was no non-answer";
  type("~ab\x1b");
  ASSERT_EQ(dialogs->shown.size(), 1u) << "Escape while typing asks";
  EXPECT_EQ(dialogs->shown.back().title, "Exit ZARN ?");
  EXPECT_TRUE(!m.quit && m.typingmode == 1 && z.search.text == "ab") << "declined: the typing goes on";
  onekeycmd(*app, "O");
  type("\r");
  EXPECT_TRUE(m.typingmode == 0 && !z.search.visible && m.askstate == -1 && m.askstep == 0)
      << "Enter ends the typing; the question still waits";
}

// The population list's second line counts the further matches as Str writes a number.
TEST_F(Keys, FurtherPopulationMatchesAreCountedAfterABlank) {
  for (const char* f : {"$LPOP.PCD", "MAPS.CCC"})
    std::filesystem::copy_file(std::filesystem::path(ZARN_SOURCE_DIR) / "data/demo" / f, dir / f);
  ASSERT_TRUE(readpopcd(app->files, app->main, app->win));
  app->main.searchidx = 2;
  Items shown;
  for (const char ch : std::string("`NEWP")) {
    int k = ch;
    keycmd(*app, k);
    shown.push_back(app->win.zarn.searchdat.text);
  }
  EXPECT_EQ(shown, (Items{"", "no match", "no match", "New Alresford in United Kingdom + 73", "Newport in Ireland + 8"}));
}

// A help file of a megabyte: its first lines are shown, up to a bound that a window lays out at
// once, and the last line shown is whole.
TEST_F(Keys, AHugeHelpFileIsShownInPart) {
  std::string file;
  for (int i = 0; file.size() < 900'000; ++i) file += "Help line " + std::to_string(i) + std::string(40, '.') + "\r\n";
  put("zarn.hlp", file + std::string(100'000, 'y') + "\r\n");
  showhelp(*app);
  const std::string& t = app->win.zarn.Help.text;
  EXPECT_TRUE(t.starts_with("Help line 0.") && t.ends_with(". \r\n") && t.size() >= 16'000 && t.size() <= 64'000)
      << t.size();
}

}  // namespace
}  // namespace zarn::test
