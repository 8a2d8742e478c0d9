// The status message line and the word translation.
#include "mainwindow/tick.h"
#include "speech/msgline.h"
#include "speech/queue.h"
#include "speechtest.h"

namespace zarn::test {
namespace {

using MsgLine = SpeechTest;

TEST_F(MsgLine, ShowsStampsSpeaksAndLeavesAllAloneWithSoundOff) {
  wavfile("a.wav");
  clock->settimer(86395);
  queuewav(*app, "a.wav");
  showmsg(*app, "Hello");
  EXPECT_EQ(app->win.zarn.saytxt.caption, "Hello");
  EXPECT_EQ(played(), (Items{"a.wav"}));
  app->speech.talkon = 0;
  queuewav(*app, "a.wav");
  showmsg(*app, "second");
  EXPECT_EQ(msg(), "Hello") << "sound off: nothing shown or spoken";
  showmsgwav(*app, "quiet", "a.wav");
  EXPECT_EQ(played(), (Items{"a.wav", "a.wav"})) << "showmsgwav always plays its item";
  EXPECT_EQ(msg(), "Hello");
  app->main.playback = 1;  // the playback window shows messages even so; the tick's services rest
  showmsg(*app, std::string(68, 'x'));
  EXPECT_EQ(app->win.zarn.saytxt.font.size, 12);
  showmsg(*app, std::string(69, 'x'));
  EXPECT_EQ(app->win.zarn.saytxt.font.size, 9.75) << "long messages are set smaller";

  clock->advance(10);  // cleared eleven seconds later, across midnight
  Timer1_Timer(*app);
  EXPECT_TRUE(app->win.zarn.saytxt.visible);
  clock->advance(1);
  Timer1_Timer(*app);
  EXPECT_FALSE(app->win.zarn.saytxt.visible);
  EXPECT_EQ(msg(), "");
}

TEST_F(MsgLine, TranslationRules) {
  const struct {
    const char *guards, *rules, *in, *out;
  } cases[] = {
      {"a whole word is replaced, a word inside a longer one is not", "Road=Rd\r\n", "Road Roadworks", "Rd Roadworks"},
      {"up to two characters may follow at the end", "Road=Rd\r\n", "Park Roads", "Park Rds"},
      {"a full stop may follow; case matters", "Road=Rd\r\n", "road Road.", "road Rd."},
      {"a whole-text rule wins over earlier rules", "Good=Gut\r\nGood morning=Guten Morgen\r\n", "Good morning",
       "Guten Morgen"},
      {"rules apply in order to the result", "A=B\r\nB=C\r\n", "go A", "go C"},
      {"a blank line ends the table, a line without = is skipped", "x\r\nA=B\r\n  \r\nC=D\r\n", "A C", "B C"},
      {"a to-text ending in its from-text does not loop", "Road=Big Road\r\n", "Road Road", "Big Road Big Road"},
      {"an empty from-text is ignored, blanks in a to-text kept", "=X\r\nA= B \r\n", "A", " B "},
  };
  for (const auto& c : cases) {
    put("translat.txt", c.rules);
    EXPECT_EQ(translate(*app, c.in), c.out) << c.guards;
  }
  EXPECT_EQ(translate(*app, ""), "");
  put("translat.txt", "Road=Strasse\r\n");  // each language its own table
  put("FR_translat.txt", "Road=Rue\r\n");
  app->speech.langprefix = "FR_";
  EXPECT_EQ(translate(*app, "Park Road"), "Park Rue");
  app->speech.langprefix = "DE_";
  EXPECT_EQ(translate(*app, "Park Road"), "Park Road");
  app->speech.langprefix.clear();
  showmsg(*app, "Park Road");
  EXPECT_EQ(msg(), "Park Strasse");
}

}  // namespace
}  // namespace zarn::test
