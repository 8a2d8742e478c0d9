// The spoken report-interval dialogue: O asks, Y and N answer, any other key is a non-answer.
#include <array>

#include "mainwindow/askdialog.h"
#include "mainwindow/datafiles.h"
#include "support/app_fixture.h"

namespace zarn::test {
namespace {

class AskDialog : public AppTest {
 protected:
  void ready() override { readsounds(app->files, app->main, app->speech); }  // the questions and the default intervals
  // Each key in turn; the result of the last non-answer.
  bool press(const std::string& keys) {
    bool taken = false;
    for (char k : keys) {
      if (k == 'O') askopen(app->voice, app->main);
      else if (k == 'Y' || k == 'N') askanswer(app->voice, app->main, k == 'Y');
      else taken = asknonanswer(app->voice, app->main);
    }
    return taken;
  }
  std::array<int, 9> intervals() const {
    std::array<int, 9> v{};
    for (int k = 1; k <= 9; ++k) v[static_cast<std::size_t>(k - 1)] = app->main.repint[static_cast<std::size_t>(k)];
    return v;
  }
  const std::vector<std::string>& said() const { return app->speech.lastsentence; }
};

TEST_F(AskDialog, AnswersSetTheIntervals) {
  using Ints = std::array<int, 9>;
  const Ints defaults{60, 20, 60, 1, 1, 1, 1, 1, 60};
  struct Row {
    const char* guards;
    const char* keys;
    Ints after;
    const char* msg;
    Items spoken;
  };
  const Row rows[] = {
      {"O then Y: the same things as before, OK", "OY", defaults, "OK", {"OK.wav"}},
      {"O, N: everything off and question 1 asked at once", "ON", {}, "Shall I say where we are regularly ?",
       {"shallisa.wav", "OPCQ1.WAV"}},
      {"the ninth question is ETA; the tenth kind is never asked", "ONNNNNNNNN", {}, "Shall I say ETA ?",
       {"shallisa.wav", "OPCQ9.WAV"}},
      {"O, N and nine Y: each kind its yes value, O K after the ninth", "ONYYYYYYYYY", {60, 30, 60, 1, 1, 1, 1, 1, 60},
       "O K", {"ok.wav"}},
      {"O, N and nine N: all off", "ONNNNNNNNNN", {}, "O K", {"ok.wav"}},
      {"Y and N with no question waiting do nothing", "YN", defaults, "", {}},
  };
  for (const Row& r : rows) {
    make();
    app->speech.talkon = 0;  // O turns speech on for good
    press(r.keys);
    const bool open = std::string(r.keys).starts_with('O');
    EXPECT_EQ(std::tuple(intervals(), app->speech.msgtext, said(), app->speech.talkon == 1),
              std::tuple(r.after, r.msg, r.spoken, open))
        << r.guards;
    EXPECT_EQ(app->main.repint[10], 1) << r.guards << ": traffic delays untouched";
  }
  EXPECT_EQ(app->main.askstate, 0);
}

TEST_F(AskDialog, OtherKeysAreNonAnswers) {
  EXPECT_FALSE(press("U")) << "no question waiting: the key is a command";
  EXPECT_EQ(app->speech.msgtext, "");
  EXPECT_TRUE(press("ONYU"));
  EXPECT_EQ(std::tuple(app->speech.msgtext, said()), std::tuple("Pardon ?", Items{"pardon.wav"}));
  EXPECT_TRUE(press("U"));
  EXPECT_EQ(std::tuple(app->speech.msgtext, said()), std::tuple("Please answer Yes or No", Items{"yesorno.wav"}));
  EXPECT_TRUE(press("UU"));
  EXPECT_EQ(app->speech.msgtext, "Please answer Yes or No") << "the third and fourth say nothing";
  EXPECT_NE(app->main.askstate, 0);
  EXPECT_TRUE(press("U")) << "the fifth is still not carried out";
  EXPECT_EQ(app->main.askstate, 0) << "but drops the dialogue";
  EXPECT_EQ(intervals(), (std::array<int, 9>{60, 0, 0, 0, 0, 0, 0, 0, 0})) << "the answers given stand";
  EXPECT_FALSE(press("U"));
  press("OU");
  EXPECT_EQ(app->speech.msgtext, "Pardon ?") << "O counts afresh";
}

}  // namespace
}  // namespace zarn::test
