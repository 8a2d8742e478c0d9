// The prompt queue: playing, limits, repeats, abandoning and the outside talker.
#include "speech/msgline.h"
#include "speech/queue.h"
#include "speechtest.h"

namespace zarn::test {
namespace {

// The on-screen keyboard window, as far as the queue cares.
struct QkForm : ui::Form {
  static constexpr const char* formname = "qkform";
  QkForm() : ui::Form(formname) {}
};

using Queue = SpeechTest;

TEST_F(Queue, PlaysInOrderPreferringTheLanguagesRecording) {
  app->speech.langprefix = "FR_";
  app->speech.ttsavail = 1;
  wavfile("FR_1.wav");
  wavfile("1.wav");
  wavfile("2.wav");
  for (const char* item : {"1.wav", "2.wav", "missing.wav", "hello there"}) queuewav(*app, item);
  speakqueue(*app);
  EXPECT_EQ(played(), (Items{"FR_1.wav", "2.wav"}));
  EXPECT_TRUE(wav->played[0].sync);
  EXPECT_EQ(tts->said, (Items{"hello there"}));
  EXPECT_EQ(app->speech.wavcount, 0);
  EXPECT_EQ(said(), (Items{"1.wav", "2.wav", "missing.wav", "hello there"}));
}

TEST_F(Queue, TextItemsNeedTheSpeechLibrary) {
  queuewav(*app, "hello");
  speakqueue(*app);
  EXPECT_TRUE(tts->said.empty());
}

TEST_F(Queue, ItemKindIsDecidedByItsText) {
  const struct {
    const char* item;
    bool sound;
  } cases[] = {{"0.wav", true},    {"THOUSAND.WAV", true}, {"Mixed.WaV", true}, {"$$$start.wav", true},
               {"#A34.$AV", true}, {"SU4767.A6$", true},   {"hello", false},    {"wav", false},
               {"$", true},        {"", false}};
  for (const auto& c : cases) EXPECT_EQ(issounditem(c.item), c.sound) << c.item;
}

TEST_F(Queue, AcceptsTwoHundredItemsAndDropsTheRest) {
  for (int i = 0; i < 201; ++i) queuewav(*app, "x" + std::to_string(i) + ".wav");
  ASSERT_EQ(app->speech.wavcount, 200);
  EXPECT_EQ(queued().back(), "x199.wav");
}

TEST_F(Queue, SoundOffOrNosoundAcceptsNothing) {
  app->speech.talkon = 0;
  queuewav(*app, "a.wav");
  app->speech.talkon = 1;
  app->speech.nosound = 1;
  queuewav(*app, "a.wav");
  EXPECT_EQ(app->speech.wavcount, 0);
}

TEST_F(Queue, PlaywavFollowsNosoundExactly) {
  wavfile("$$$INTRO.WAV");
  wavfile("DE_$$$INTRO.WAV");
  app->speech.nosound = -1;  // queued prompts stay audible, the introduction does not
  queuewav(*app, "$$$INTRO.WAV");
  EXPECT_EQ(app->speech.wavcount, 1);
  playwav(*app, "$$$INTRO.WAV");
  EXPECT_TRUE(wav->played.empty());
  app->speech.nosound = 0;
  app->speech.talkon = 0;  // not consulted
  playwav(*app, "$$$INTRO.WAV");
  app->speech.langprefix = "DE_";
  playwav(*app, "$$$INTRO.WAV");
  EXPECT_EQ(played(), (Items{"$$$INTRO.WAV", "DE_$$$INTRO.WAV"}));
  EXPECT_FALSE(wav->played[0].sync);
}

TEST_F(Queue, SayagainRepeatsTheLastSentenceWithItsMessage) {
  for (const char* w : {"a.wav", "b.wav", "c.wav", "d.wav", "e.wav"}) wavfile(w);
  for (const char* w : {"a.wav", "b.wav", "c.wav", "d.wav", "e.wav"}) queuewav(*app, w);
  showmsg(*app, "five things");
  clearmsg(*app);
  endsentence(*app);  // an empty sentence keeps the last one
  wav->played.clear();
  sayagain(*app);
  EXPECT_EQ(played(), (Items{"a.wav", "b.wav", "c.wav", "d.wav", "e.wav"}));
  EXPECT_EQ(msg(), "five things");
}

TEST_F(Queue, SayagainAfterAnAbandonedSentenceRepeatsTheLastCompleteOne) {
  for (const char* w : {"a1.wav", "a2.wav", "b1.wav", "b2.wav", "b3.wav"}) wavfile(w);
  queuewav(*app, "a1.wav");
  queuewav(*app, "a2.wav");
  speakqueue(*app);
  for (const char* w : {"b1.wav", "b2.wav", "b3.wav"}) queuewav(*app, w);
  app->speech.talkstop = 1;
  wav->played.clear();
  speakqueue(*app);
  EXPECT_TRUE(wav->played.empty());
  EXPECT_EQ(app->speech.wavcount, 0);
  EXPECT_EQ(app->speech.lastsentlen, 2);
  app->speech.talkstop = 0;
  sayagain(*app);
  EXPECT_EQ(played(), (Items{"a1.wav", "a2.wav"}));
}

TEST_F(Queue, SaynowSpeaksWithSoundOffAndClearsTalkstop) {
  wavfile("a.wav");
  app->speech.talkon = 0;
  app->speech.talkstop = 1;
  saynow(*app, "Look out", "a.wav");
  EXPECT_EQ(played(), (Items{"a.wav"}));
  EXPECT_EQ(msg(), "Look out");
  EXPECT_EQ(app->speech.talkon, 0);
  EXPECT_EQ(app->speech.talkstop, 0);
  app->speech.ttsavail = 1;
  saytext(*app, "Hello world");
  EXPECT_EQ(tts->said, (Items{"Hello world"}));
  EXPECT_EQ(msg(), "Hello world");
}

TEST_F(Queue, OnScreenKeyboardDiscardsTheQueue) {
  wavfile("a.wav");
  app->win.get<QkForm>().show();
  queuewav(*app, "a.wav");
  speakqueue(*app);
  EXPECT_TRUE(wav->played.empty());
  EXPECT_EQ(app->speech.wavcount, 0);
  EXPECT_EQ(app->speech.lastsentlen, 0);
}

// The outside talker.
class Talker : public SpeechTest {
 protected:
  void SetUp() override {
    SpeechTest::SetUp();
    app->speech.talkext = 1;
    textfile("ZARNTALK.CFG", "\"talker -q\",ignored\r\n");
    for (const char* w : {"1.wav", "2.wav", "Turn left"}) queuewav(*app, w);
    app->speech.msgtext = "Turn left ahead";
  }
};

TEST_F(Talker, GetsTheMessageAndTheItemsAndEndsWhenTheFileGoes) {
  std::string wave, textline;
  events->hook = [&] {
    if (wave.empty() && exists("ZARNWAVE.TXT")) {
      wave = readfile("ZARNWAVE.TXT");
      textline = readfile("ZARNTEXT.TXT");
      std::filesystem::remove(dir / "ZARNWAVE.TXT");
    }
  };
  speakqueue(*app);
  EXPECT_EQ(wave, dir.string() + "/\r\n 3\r\n1.wav\r\n2.wav\r\nTurn left\r\n");
  EXPECT_EQ(textline, "Turn left ahead\r\n");
  ASSERT_EQ(programs->started.size(), 1u);
  EXPECT_EQ(programs->started[0].program, "talker");
  EXPECT_EQ(programs->started[0].args, (Items{"-q"}));
  EXPECT_FALSE(programs->started[0].wait);
  EXPECT_EQ(app->speech.wavcount, 0);
  EXPECT_EQ(app->speech.lastsentlen, 3);
  EXPECT_EQ(app->speech.lastsaid, "Turn left ahead");
  EXPECT_TRUE(wav->played.empty());
}

TEST_F(Talker, LanguagePrefixLeadsTheItemList) {
  app->speech.langprefix = "FR_";
  programs->succeed = false;  // keeps the files for us to read
  speakqueue(*app);
  EXPECT_EQ(readfile("ZARNWAVE.TXT").substr(0, 9), "FR_\r\n 3\r\n");
}

TEST_F(Talker, ThatNeverFinishesHoldsUsTenSeconds) {
  events->hook = [&] { clock->advance(0.25); };
  const float t0 = app->timer();
  speakqueue(*app);
  const float waited = app->timer() - t0;
  EXPECT_GE(waited, 10.0f);
  EXPECT_LT(waited, 10.5f);
  EXPECT_EQ(app->speech.wavcount, 0);
}

TEST_F(Talker, ItemsQueuedDuringTheWaitAreKeptForNextTime) {
  int passes = 0;
  events->hook = [&] {
    if (++passes == 1) {
      queuewav(*app, "late.wav");
      speakqueue(*app);  // as the tick would, running inside the wait
      std::filesystem::remove(dir / "ZARNWAVE.TXT");
    }
  };
  speakqueue(*app);
  EXPECT_EQ(programs->started.size(), 1u);
  EXPECT_EQ(queued(), (Items{"late.wav"}));
  events->hook = [&] { std::filesystem::remove(dir / "ZARNWAVE.TXT"); };
  speakqueue(*app);
  EXPECT_EQ(programs->started.size(), 2u);
  EXPECT_EQ(app->speech.wavcount, 0);
  EXPECT_EQ(said(), (Items{"late.wav"}));
}

TEST_F(Talker, ThatCannotStartLeavesTheQueue) {
  programs->succeed = false;
  speakqueue(*app);
  EXPECT_EQ(app->speech.wavcount, 3);
}

}  // namespace
}  // namespace zarn::test
