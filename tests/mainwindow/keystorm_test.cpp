// Storms of random keys, seeded, over the demo with the main tick running between them: no state
// they leave swallows Return or keeps the help button from opening the help. The one state that
// holds Return back is the reports question ("O"), until it is answered or five keys that are no
// answer drop it.
#include <random>

#include "mainwindow/help.h"
#include "mainwindow/keys.h"
#include "mainwindow/startup.h"
#include "mainwindow/tick.h"
#include "support/app_fixture.h"

namespace zarn::test {
namespace {

class KeyStorm : public AppTest {
 protected:
  void ready() override {
    copydemo();
    waitstep = 0.5;
    Form_Load(*app, "");
    wirekeys(*app);
    wirehelp(*app);
  }
  // A key as the main window takes it: down, then the character.
  void key(int k) {
    int down = k, press = k;
    app->win.zarn.onKeyDown(down, 0);
    app->win.zarn.onKeyPress(press);
  }
};

TEST_F(KeyStorm, LeavesNoStateThatSwallowsReturnOrTheHelpButton) {
  constexpr int escape = 27, backspace = 8, enter = 13;
  // Storm 21 ends typing with the question pending; others with the help or the playback open.
  for (unsigned seed = 16; seed <= 27; ++seed) {
    make();
    std::mt19937 rng(seed);
    std::uniform_int_distribution<int> anykey(1, 255), tickafter(0, 3);
    for (int i = 0; i < 300; ++i) {
      const int k = anykey(rng);
      if (k == escape) continue;  // the question whether to end the program
      key(k);
      ASSERT_EQ(app->main.sentencemode, 0) << "seed " << seed << ": key " << k << " left its command running";
      if (tickafter(rng) == 0) {
        clock->advance(0.25);
        Timer1_Timer(*app);
      }
    }
    ZarnForm& z = app->win.zarn;
    // While typing, Return is the one key that reaches a pending question; otherwise Backspace.
    for (int n = 0; n < 5 && app->main.askstate != 0; ++n) key(app->main.typingmode == 1 ? enter : backspace);
    if (z.search.visible) key(enter);
    EXPECT_FALSE(z.search.visible) << "seed " << seed << ": Return closes the search box";
    if (z.Image2.visible) z.Image2.onClick();
    z.Image1.onClick();
    EXPECT_TRUE(z.Help.visible && z.Help.height > 20 && z.Help.top + z.Help.height <= z.height)
        << "seed " << seed << ": the help button opens the help";
  }
}

}  // namespace
}  // namespace zarn::test
