// The icon panel: stepping through CONTROLS.CFG, the page icons, and what OK runs.
#include "mainwindow/iconpanel.h"
#include "mainwindow/keypad.h"
#include "mainwindow/smallservices.h"
#include "support/app_fixture.h"

namespace zarn::test {

namespace {

class IconPanel : public AppTest {
 protected:
  void ready() override {
    for (const char* w : {"nav.wav", "map.wav", "hide.wav", "end.wav"}) wavfile(w);
    put("controls.cfg",
        "TITLE,,,Navigation\r\n"
        "~,nav.ico,nav.wav,Type a place\r\n"
        "#001,map.ico,map.wav,Playback\r\n"
        "TITLE,,,Panel\r\n"
        "HIDE,nav.ico,hide.wav,Hide me\r\n"
        "END,,end.wav,The end\r\n");
    std::filesystem::copy(std::filesystem::path(ZARN_SOURCE_DIR) / "data" / "demo" / "CARICON0.ICO", dir / "nav.ico",
                          std::filesystem::copy_options::overwrite_existing);
    showcontrols(controlswindow(*app), app->main, app->win.zarn);
  }
  ControlsForm& c() { return app->win.get<ControlsForm>(); }
  std::string shown() { return std::to_string(app->main.ctlindex) + " " + c().Label1.caption + " / " + c().caption; }
};

TEST_F(IconPanel, StepsThroughTheEntriesAndStopsAtTheLast) {
  EXPECT_EQ(shown(), "1 Type a place / Navigation") << "the title record is no entry";
  using Step = void (*)(App&);
  const std::pair<Step, const char*> steps[] = {
      {controls::connext_Click, "2 Playback / Navigation"},
      {controls::connext_Click, "3 Hide me / Panel"},
      {controls::connext_Click, "4 The end / Panel"},
      {controls::connext_Click, "4 The end / Panel"},  // the count stops at the last record
      {controls::conback_Click, "3 Hide me / Panel"},
      {controls::constart_Click, "1 Type a place / Navigation"},
      {controls::conback_Click, "1 Type a place / Navigation"},
  };
  for (auto [step, want] : steps) {
    step(*app);
    EXPECT_EQ(shown(), want);
  }
  EXPECT_EQ(played(), (Items{"map.wav", "hide.wav", "end.wav", "end.wav", "hide.wav", "nav.wav", "nav.wav"}))
      << "each entry's prompt, with sound off too";
  EXPECT_TRUE(c().Image1.picture) << "nav.ico";
  controls::connext_Click(*app);
  EXPECT_FALSE(c().Image1.picture) << "map.ico is missing: no picture";
  put("controls.cfg", "A,,,one\r\nB,,,two\r\n");
  for (int i = 0; i < 3; ++i) controls::connext_Click(*app);
  EXPECT_EQ(shown(), "2 two / Navigation") << "no END record: the last entry";
}

TEST_F(IconPanel, OkRunsTheEntryAndTheDropItsNarrowerVariant) {
  struct Row {
    const char* key;
    bool dropped;
    int scalelayout;
    std::function<bool()> ok;
  };
  auto vis = [&](const char* w) { const ui::Form* f = app->win.find(w); return f && f->visible; };
  const Row rows[] = {
      {"HIDE", false, 0, [&] { return !c().visible; }},
      {"KEYS", false, 0, [&] { return vis("qkform") && vis("kform") && app->win.zarn.saytxt.top == 426; }},
      {"KEYS", false, 1, [&] { return vis("kform") && app->win.zarn.saytxt.top == 432; }},
      {"KEYS", true, 0, [&] { return vis("qkform") && !vis("kform") && app->win.zarn.saytxt.top == 432; }},
      {"~", false, 0, [&] { return vis("qkform") && app->main.typingmode == 1; }},
      {"`", true, 0, [&] { return app->main.typingmode == 0 && !vis("qkform"); }},  // a key command like any other
      {"#001", false, 0, [&] { return vis("fform"); }},                              // Ctrl+A as its code
      {"#01", false, 0, [&] { return !vis("fform") && c().visible; }},              // two digits: not a code
  };
  for (const Row& r : rows) {
    make();
    app->win.zarn.saytxt.top = 432;
    app->main.scalelayout = r.scalelayout;
    put("controls.cfg", std::string(r.key) + ",,,x\r\n");
    r.dropped ? controls::conok_DragDrop(*app) : controls::conok_Click(*app);
    EXPECT_TRUE(r.ok()) << r.key << (r.dropped ? " dropped" : "") << " scalelayout " << r.scalelayout;
  }
}

TEST_F(IconPanel, OkTestsTheFileTheEntriesCameFrom) {
  std::filesystem::rename(dir / "controls.cfg", dir / "DEcontrols.cfg");
  app->speech.langprefix = "DE";
  controls::connext_Click(*app);
  controls::conok_Click(*app);
  EXPECT_EQ(std::tuple(app->win.find("fform") && app->win.find("fform")->visible, c().visible), std::tuple(true, true))
      << "the language's file is the one read: its entry runs";
  app->speech.langprefix.clear();
  controls::conok_Click(*app);
  EXPECT_EQ(std::tuple(c().Label1.caption, c().visible), std::tuple("Playback", false)) << "no file at all: OK hides";
}

TEST_F(IconPanel, PageIconsJumpAndRunWhenTheyAsk) {
  MainState& m = app->main;
  std::tie(m.conticoncmd[1], m.conticoncmd[2], m.conticonrun[2], m.conticoncmd[3]) = std::tuple("hide", "HIDE", 1, "NONE");
  controls::conticon_Click(*app, 0);
  EXPECT_EQ(std::tuple(shown(), c().visible), std::tuple("3 Hide me / Panel", true)) << "found in any case, not run";
  controls::conticon_Click(*app, 2);
  EXPECT_EQ(shown(), "1 Type a place / Navigation") << "no such key: entry 1";
  controls::conticon_Click(*app, 1);
  EXPECT_EQ(std::tuple(m.ctlindex, c().visible), std::tuple(3, false)) << "run at once";
}

}  // namespace
}  // namespace zarn::test
