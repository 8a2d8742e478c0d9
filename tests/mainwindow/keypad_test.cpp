// The touch key pad and the on-screen keyboard: commands, typing, closing, the lesson files.
#include <filesystem>

#include "mainwindow/keypad.h"
#include "mainwindow/ldriver.h"
#include "speech/rform.h"
#include "support/app_fixture.h"

namespace zarn::test {
namespace {

class KeypadTest : public AppTest {
 protected:
  void ready() override { wirekeypad(*app); }
  KForm& pad() { return app->win.get<KForm>(); }
  QkForm& kb() { return app->win.get<QkForm>(); }
  void touch(int key) {
    kform::Picture1_MouseDown(*app, key);
    kform::Picture1_MouseUp(*app, key);
  }
  void type(std::initializer_list<int> keys) {
    for (int k : keys) kb().qk[k].onClick();
  }
};

TEST_F(KeypadTest, PadKeysSendTheirCommandsAndEndTheDemo) {
  const char* const sent[] = {"F", "E", "S", "I", "\r", "D", "H", "Q", "O", "Y", "N", "Z", "", "W", "", "M", ""};
  for (int k = 0; k <= KForm::keys; ++k) EXPECT_EQ(padcommand(k), sent[k]) << "key " << k;
  touch(14);
  EXPECT_TRUE(app->speech.msgtext.empty() && tts->said.empty() && wav->played.empty()) << "the empty key";
  app->main.demoon = 1;
  kform::Picture1_MouseDown(*app, 7);
  EXPECT_TRUE(pad().press[7].visible) << "framed while held";
  EXPECT_EQ(std::tuple(app->main.demoon, app->win.zarn.modebox.caption, app->speech.msgtext), std::tuple(0, "SIM", ""));
  kform::Picture1_MouseUp(*app, 7);
  EXPECT_EQ(std::tuple(pad().press[7].visible, app->speech.msgtext), std::tuple(false, "OK I'll be quiet"));
  touch(12);
  EXPECT_TRUE(kb().visible && app->win.zarn.search.visible) << "the keyboard, with typed entry started";
  app->win.zarn.saytxt.top = 426;
  pad().Command1.onClick();
  EXPECT_EQ(std::tuple(pad().visible, app->win.zarn.saytxt.top), std::tuple(false, 432));
}

TEST_F(KeypadTest, KeyboardTypesAndOnlyTheCloseKeyCloses) {
  showqkform(*app);
  type({44, QkForm::spacebar, 55, 1});  // the letter X, the space bar, the blank key, "1"
  EXPECT_EQ(std::tuple(kb().qkt.text, kb().visible), std::tuple("X  1", true)) << "the letter X types";
  type({13, 13, 13, 13, 13, 14, 28, 41, 53, 54, 56});  // Delete past the start; keys that type nothing
  EXPECT_EQ(kb().qkt.text, "");
  type({0, 15, 16});  // "`" starts typed entry, then Q and W type
  EXPECT_EQ(std::tuple(kb().qkt.text, app->main.typingmode), std::tuple("`QW", 1));
  type({QkForm::closekey});
  EXPECT_EQ(std::tuple(kb().visible, kb().qkt.text), std::tuple(false, "`QW")) << "hidden, its text kept";
  showqkform(*app);
  type({27});  // Enter
  EXPECT_EQ(std::tuple(kb().visible, kb().qkt.text, app->main.typingmode), std::tuple(false, "", 0));
}

TEST_F(KeypadTest, LessonTouchWritesBothFilesOrSaysItCannot) {
  put("ZARN.LDR", "2\r\nA.BMP,Mirrors,x\r\nB.BMP,Late signal,y\r\n");
  RForm& r = app->win.get<RForm>();
  r.pos[5].caption = "Near Ashley";
  r.rd.caption = "on B5569";
  app->main.ldron = 1;
  clock->set({2020, 10, 26, 9, 30, 45, 0});
  touch(1);
  clock->set({2020, 10, 26, 14, 5, 7, 0});
  touch(5);  // no record: an empty label, still written
  EXPECT_EQ(get("LESSON.LOG"), "09:30:45 Late signal Near Ashley on B5569\r\n14:05:07  Near Ashley on B5569\r\n");
  EXPECT_EQ(get("LESSON.TXT"),
            "Late signal, Near Ashley on B5569, at 09:30 and  45 seconds.\r\n"
            ", Near Ashley on B5569, at 14:05 and  7 seconds.\r\n");
  EXPECT_EQ(app->speech.msgtext, "14:05:07  Near Ashley on B5569");
  EXPECT_TRUE(tts->said.empty() && !kb().visible) << "no command in lesson mode";

  std::filesystem::remove(dir / "LESSON.TXT");
  std::filesystem::create_directory(dir / "LESSON.TXT");  // cannot be appended to
  touch(0);
  EXPECT_EQ(std::tuple(app->speech.msgtext, wav->beeps), std::tuple("Lesson not saved: LESSON.TXT cannot be written", 1));
}

TEST_F(KeypadTest, LessonModeTogglesWithTheMessageLineClearOfThePad) {
  std::filesystem::copy_file(std::filesystem::path(ZARN_SOURCE_DIR) / "data" / "demo" / "LESSON03.BMP", dir / "L.BMP");
  put("ZARN.LDR", "2\r\nL.BMP,Good,x\r\nNONE.BMP,Kerb,y\r\n");
  ldriver(*app);
  EXPECT_EQ(std::tuple(app->main.ldron, pad().visible, app->win.zarn.saytxt.top), std::tuple(1, true, 426));
  EXPECT_TRUE(pad().Picture1[0].picture && !pad().Picture1[1].picture);
  ldriver(*app);
  EXPECT_EQ(std::tuple(app->main.ldron, pad().visible), std::tuple(0, true)) << "off, the pad left as it is";
  put("ZARN.LDR", "0\r\n");
  pad().hide();
  ldriver(*app);
  EXPECT_EQ(std::tuple(app->main.ldron, pad().visible), std::tuple(1, true));
}

}  // namespace
}  // namespace zarn::test
