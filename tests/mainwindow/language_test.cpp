// The language choice: stepping through LANGUAGE.CFG, the start language, the language's files
// (word order, flag, page icons) and the icon panel's entry reader; and the demo's German.
#include "mainwindow/language.h"

#include "mainwindow/help.h"
#include "mainwindow/onekey.h"
#include "mainwindow/secondary.h"
#include "mainwindow/startup.h"
#include "platform/textrules.h"
#include "support/app_fixture.h"

namespace zarn::test {
namespace {

class Language : public AppTest {
 protected:
  // A picture file the image store reads (an icon header of 32 x 32).
  void icon(const std::string& name) const {
    put(name, std::string("\0\0\1\0\1\0\x20\x20", 8) + std::string(18, '\0'));
  }
  // The file the picture shown in `image` came from, without its folder; empty when none.
  static std::string shown(const ui::Image& image) {
    return image.picture ? std::filesystem::path(image.picture->path).filename().string() : "";
  }
  std::tuple<int, std::string, int> language() const {
    const SpeechState& s = app->speech;
    return {s.langindex, s.langprefix, s.syntaxmode};
  }
  // Two languages after the default, each with its flag; only the first has its own word order.
  void twolanguages(const std::string& start) const {
    put("LANGUAGE.CFG", start + "\r\n\"Deutsch\",1,\" DE \"\r\n\"Francais\",2,FR\r\nEND\r\n");
    put("DESYNTAX.CFG", "1\r\n");
    put("SYNTAX.CFG", "5\r\n");
    for (const char* f : {"FLAG.ICO", "DEFLAG.ICO", "FRFLAG.ICO"}) icon(f);
  }
};

TEST_F(Language, JStepsThroughTheListedLanguagesAndBackToTheDefault) {
  twolanguages("0");
  const std::tuple<int, std::string, int, std::string> steps[] = {
      {1, "DE", 1, "DEFLAG.ICO"},  // the prefix trimmed, its own word order
      {2, "FR", 0, "FRFLAG.ICO"},  // no word-order file of its own
      {0, "", 5, "FLAG.ICO"},      // past the last: the plain word-order file and flag
      {1, "DE", 1, "DEFLAG.ICO"},
  };
  for (const auto& [index, prefix, syntax, flag] : steps) {
    nextlanguage(*app);
    EXPECT_EQ(std::tuple_cat(language(), std::tuple(shown(app->win.zarn.languageico))),
              std::tuple(index, prefix, syntax, flag));
  }
  std::filesystem::remove(dir / "FRFLAG.ICO");
  nextlanguage(*app);
  EXPECT_EQ(shown(app->win.zarn.languageico), "DEFLAG.ICO") << "a language without a flag keeps the one shown";
  std::filesystem::remove(dir / "LANGUAGE.CFG");
  nextlanguage(*app);
  EXPECT_EQ(language(), std::tuple(3, "FR", 0)) << "without the list the number counts on, the rest stays";
  put("LANGUAGE.CFG", "0,\"Away\",1,\"../\"\r\n");
  app->speech.langindex = 0;
  nextlanguage(*app);
  EXPECT_EQ(std::pair(language(), app->win.zarn.saytxt.caption),
            std::pair(std::tuple(0, std::string(), 5),
                      std::string("LANGUAGE.CFG: language prefix ../ leads outside the working folder")));
}

// The flag of the language is shown in the main window once one is loaded: "J" shows the next
// language's, "B" the default's.
TEST_F(Language, JAndBShowTheFlagOfTheLanguage) {
  const ui::Image& flag = app->win.zarn.languageico;
  EXPECT_FALSE(flag.visible) << "no flag loaded yet";
  twolanguages("0");
  for (const auto& [key, shows] : {std::pair{"J", "DEFLAG.ICO"}, {"J", "FRFLAG.ICO"}, {"B", "FLAG.ICO"}}) {
    onekeycmd(*app, key);
    EXPECT_EQ(std::pair(shown(flag), flag.visible), std::pair(std::string(shows), true)) << key;
  }
}

TEST_F(Language, StartUpStartsInTheLanguageTheFirstItemNames) {
  const std::tuple<const char*, const char*, int, std::string> cases[] = {
      {"language 2 named", "2", 2, "FR"},
      {"language 1 named", "1", 1, "DE"},
      {"an unlisted number starts in the default", "7", 0, ""},
      {"so does 0", "0", 0, ""},
      {"no list: the default", nullptr, 0, ""},
  };
  for (const auto& [guards, start, index, prefix] : cases) {
    std::filesystem::remove_all(dir);
    make();
    if (start) twolanguages(start);
    Form_Load(*app, "");  // no maps: it ends early, after the language is chosen
    EXPECT_EQ(std::pair(int(app->speech.langindex), app->speech.langprefix), std::pair(index, prefix)) << guards;
  }
}

TEST_F(Language, PageIconsOfTheLanguageFileOrTheDefaults) {
  readcontrolcfg(*app);
  const MainState& m = app->main;
  EXPECT_EQ(Items(m.conticoncmd.begin() + 1, m.conticoncmd.begin() + 10),
            Items({"HIDE", "Z", "S", "#013", "M", "D", "~", "Q", "^"}))
      << "no icon file";
  app->speech.langprefix = "DE";
  put("DEcontroli.cfg", "M**,map.ico\r\nHIDE,hide.ico\r\n\"#013\",ok.ico\r\nS*,s.ico\r\n");
  icon("DEmap.ico");
  icon("hide.ico");  // only the plain picture: not the language's
  readcontrolcfg(*app);
  EXPECT_EQ(std::tuple(m.conticoncmd[1], m.conticonrun[1], m.conticoncmd[3], m.conticoncmd[4], m.conticonrun[4]),
            std::tuple("M", 1, "#013", "S*", 0))
      << "two asterisks at the end: run at once";
  const ControlsForm& c = app->win.get<ControlsForm>();
  EXPECT_EQ(std::tuple(shown(c.conticon[0]), shown(c.conticon[1]), m.conticonpic[1]),
            std::tuple("DEmap.ico", "", "map.ico"))
      << "pictures under the prefix only";
  EXPECT_EQ(std::tuple(m.conticoncmd[5], m.conticoncmd[9]), std::tuple("M", "^")) << "a short file: the rest kept";
}

TEST_F(Language, TheIconPanelFileReadEntryByEntryOrThrough) {
  std::string key, icon, wav, text;
  readcontrol(app->files, app->speech, app->win, 1, key, icon, wav, text);
  EXPECT_EQ(std::tuple(key, icon, wav, text), std::tuple("W", "WAW.ICO", "ok.wav", "File CONTROLS.CFG Needed"));
  put("controls.cfg",
      "TITLE,x,x,Maps\r\nZ,z.ico,z.wav,Zoom in\r\n#027,esc.ico,e.wav,Exit\r\n"
      "title,x,x,Search\r\n#27,s.ico,s.wav,\"Search, typed\"\r\nEND,e,e,End\r\nAFTER,a,a,After\r\n");
  const ui::Form& panel = app->win.get<ControlsForm>();
  const std::tuple<const char*, int, const char*, const char*, const char*> cases[] = {
      {"the first entry after its title", 1, "Z", "Zoom in", "Maps"},
      {"#027 is Escape", 2, "\x1b", "Exit", "Maps"},
      {"#27 is not converted; a quoted text keeps its comma", 3, "#27", "Search, typed", "Search"},
      {"past the last entry: the END record", 9, "END", "End", "Search"},
      {"-1 reads through, leaving the last title", -1, "END", "End", "Search"},
  };
  for (const auto& [guards, entry, k, t, caption] : cases) {
    key.clear();
    readcontrol(app->files, app->speech, app->win, entry, key, icon, wav, text);
    EXPECT_EQ(std::tuple(key, text, panel.caption), std::tuple(k, t, caption)) << guards;
  }
  app->speech.langprefix = "DE";
  put("DEcontrols.cfg", "TITLE,x,x,Karten\r\nZ,z.ico,z.wav,Vergrößern\r\n");
  key.clear();
  readcontrol(app->files, app->speech, app->win, -1, key, icon, wav, text);
  EXPECT_EQ(std::tuple(key, panel.caption), std::tuple("Z", "Karten")) << "the language's file first, to its end";
}

TEST_F(Language, TheDemoStepsToGermanAndBackWithEveryPromptInGerman) {
  copydemo();
  nextlanguage(*app);
  EXPECT_EQ(std::tuple_cat(language(), std::tuple(shown(app->win.zarn.languageico))),
            std::tuple(1, "DE", 1, "DEFLAG.ICO"));
  hello(*app);
  ASSERT_FALSE(played().empty());
  EXPECT_EQ(played().back(), "DEhello.wav");
  // Every English prompt has its German one (but the chime and the numbers that are never said
  // whole in this word order), and so has every prompt that only the verb-last order asks for.
  Items missing;
  for (const auto& e : std::filesystem::directory_iterator(dir)) {
    const std::string name = e.path().filename().string();
    if (name.starts_with("DE") || text::ucase(e.path().extension().string()) != ".WAV") continue;
    const double n = text::val(name);
    if (name == "attentio.wav" || (n > 20 && n < 100 && static_cast<int>(n) % 10 != 0)) continue;
    if (!has("DE" + name)) missing.push_back(name);
  }
  for (const char* name :
       {"ourposit.wav", "fromhere.wav", "ahead.wav", "behind.wav", "onourrig.wav", "onourlef.wav", "1P.WAV", "8P.WAV",
        "10P.WAV", "gozen.wav", "gogo.wav", "ji.wav", "fun.wav", "pun.wav", "han.wav"})
    if (!has(std::string("DE") + name)) missing.push_back(name);
  EXPECT_EQ(missing, Items{});
  nextlanguage(*app);
  EXPECT_EQ(std::tuple_cat(language(), std::tuple(shown(app->win.zarn.languageico))), std::tuple(0, "", 0, "FLAG.ICO"));
}

}  // namespace
}  // namespace zarn::test
