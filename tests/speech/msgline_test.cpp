// The status message line and the word translation.
#include "mainwindow/tick.h"
#include "speech/msgline.h"
#include "speech/queue.h"
#include "speechtest.h"

namespace zarn::test {
namespace {

using MsgLine = SpeechTest;

TEST_F(MsgLine, SoundOffLeavesEverythingAlone) {
  showmsg(*app, "first");
  queuewav(*app, "a.wav");
  app->speech.talkon = 0;
  showmsg(*app, "second");
  EXPECT_EQ(msg(), "first");
  EXPECT_EQ(app->win.zarn.saytxt.caption, "first");
  EXPECT_EQ(queued(), (Items{"a.wav"}));
  app->main.playback = 1;  // the playback window shows messages even so
  showmsg(*app, "third");
  EXPECT_EQ(app->win.zarn.saytxt.caption, "third");
}

TEST_F(MsgLine, ShowsStampsAndSpeaksWhatWasQueued) {
  wavfile("a.wav");
  clock->settimer(3600);
  queuewav(*app, "a.wav");
  showmsg(*app, "Hello");
  const auto& line = app->win.zarn.saytxt;
  EXPECT_TRUE(line.visible);
  EXPECT_EQ(line.caption, "Hello");
  EXPECT_FLOAT_EQ(app->speech.msgtime, 3600);
  EXPECT_EQ(played(), (Items{"a.wav"}));
  EXPECT_EQ(app->speech.lastsaid, "Hello");
  EXPECT_EQ(app->speech.wavcount, 0);
}

TEST_F(MsgLine, LongMessagesAreSetSmaller) {
  showmsg(*app, std::string(68, 'x'));
  EXPECT_EQ(app->win.zarn.saytxt.font.size, 12);
  showmsg(*app, std::string(69, 'x'));
  EXPECT_EQ(app->win.zarn.saytxt.font.size, 9.75);
}

TEST_F(MsgLine, ShowmsgwavAlwaysPlaysItsItem) {
  wavfile("beep.wav");
  app->speech.talkon = 0;
  showmsgwav(*app, "quiet", "beep.wav");
  EXPECT_EQ(played(), (Items{"beep.wav"}));
  EXPECT_FALSE(app->win.zarn.saytxt.visible);
  showmsgsay(*app, "loud");
  EXPECT_EQ(msg(), "loud");
  EXPECT_EQ(app->speech.talkon, 0);
}

TEST_F(MsgLine, ClearedElevenSecondsLaterAcrossMidnight) {
  clock->settimer(86395);
  app->main.playback = 1;  // the tick's services (and their messages) rest meanwhile
  showmsg(*app, "Hello");
  clock->advance(10);
  Timer1_Timer(*app);
  EXPECT_TRUE(app->win.zarn.saytxt.visible);
  clock->advance(1);
  Timer1_Timer(*app);
  EXPECT_FALSE(app->win.zarn.saytxt.visible);
  EXPECT_EQ(msg(), "");
}

TEST_F(MsgLine, TranslationRules) {
  const struct {
    const char* guards;
    const char* rules;
    const char* in;
    const char* out;
  } cases[] = {
      {"a whole word is replaced", "Road=Strasse\r\n", "Park Road", "Park Strasse"},
      {"a word inside a longer word is not", "Road=Strasse\r\n", "Roadworks ahead", "Roadworks ahead"},
      {"up to two characters may follow at the end", "Road=Strasse\r\n", "Park Roads", "Park Strasses"},
      {"a full stop may follow", "Road=Strasse\r\n", "Park Road.", "Park Strasse."},
      {"rules are case-sensitive", "road=strasse\r\n", "Park Road", "Park Road"},
      {"a from-text of several words", "turn left=links abbiegen\r\n", "Please turn left now",
       "Please links abbiegen now"},
      {"a whole-text rule wins over earlier rules", "Good=Gut\r\nGood morning=Guten Morgen\r\n",
       "Good morning", "Guten Morgen"},
      {"rules apply in order to the result", "A=B\r\nB=C\r\n", "go A", "go C"},
      {"a blank line ends the table", "A=B\r\n  \r\nC=D\r\n", "A C", "B C"},
      {"a line without = is skipped", "nonsense\r\nA=B\r\n", "A", "B"},
      {"a repeated word is replaced each time", "Road=Rd\r\n", "Road Road", "Rd Rd"},
      {"a to-text ending in its from-text does not loop", "Road=Big Road\r\n", "Road Road",
       "Big Road Big Road"},
      {"an empty from-text is ignored", "=X\r\nA=B\r\n", "A", "B"},
      {"an empty message stays empty", "=X\r\n", "", ""},
      {"blanks in the to-text are kept", "Road= Strasse \r\n", "Park Road", "Park  Strasse "},
  };
  for (const auto& c : cases) {
    textfile("translat.txt", c.rules);
    EXPECT_EQ(translate(*app, c.in), c.out) << c.guards;
  }
}

TEST_F(MsgLine, TranslationTableComesWithTheLanguage) {
  textfile("translat.txt", "Road=Strasse\r\n");
  textfile("FR_translat.txt", "Road=Rue\r\n");
  app->speech.langprefix = "FR_";
  EXPECT_EQ(translate(*app, "Park Road"), "Park Rue");
  app->speech.langprefix = "DE_";  // no table of its own: untranslated
  EXPECT_EQ(translate(*app, "Park Road"), "Park Road");
  app->speech.langprefix.clear();
  showmsg(*app, "Park Road");
  EXPECT_EQ(msg(), "Park Strasse");
}

}  // namespace
}  // namespace zarn::test
