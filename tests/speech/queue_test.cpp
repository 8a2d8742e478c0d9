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
  for (const char* w : {"FR_1.wav", "1.wav", "2.wav"}) wavfile(w);
  for (const char* item : {"1.wav", "2.wav", "missing.wav", "hello there"}) queuewav(*app, item);
  speakqueue(*app);
  EXPECT_TRUE(tts->said.empty()) << "text items need the speech library";
  app->speech.ttsavail = 1;
  for (const char* item : {"1.wav", "2.wav", "missing.wav", "hello there", "SU4767.A6$"}) queuewav(*app, item);
  wav->played.clear();
  speakqueue(*app);
  EXPECT_EQ(played(), (Items{"FR_1.wav", "2.wav"}));
  EXPECT_TRUE(wav->played[0].sync);
  EXPECT_EQ(tts->said, (Items{"hello there"})) << "a $ makes a sound item";
  EXPECT_EQ(said(), (Items{"1.wav", "2.wav", "missing.wav", "hello there", "SU4767.A6$"}));
  EXPECT_FALSE(issounditem("wav"));
  EXPECT_TRUE(issounditem("Mixed.WaV"));
}

TEST_F(Queue, LimitsSoundOffAndNosound) {
  for (int i = 0; i < 201; ++i) queuewav(*app, "x" + std::to_string(i) + ".wav");
  EXPECT_EQ(app->speech.wavcount, 200) << "two hundred accepted, the rest dropped";
  EXPECT_EQ(queued().back(), "x199.wav");
  app->speech.wavcount = 0;
  app->speech.talkon = 0;
  queuewav(*app, "a.wav");
  app->speech.talkon = 1;
  app->speech.nosound = 1;
  queuewav(*app, "a.wav");
  EXPECT_EQ(app->speech.wavcount, 0);
  wavfile("DE_$$$INTRO.WAV");
  app->speech.nosound = -1;  // queued prompts stay audible, the introduction does not
  queuewav(*app, "$$$INTRO.WAV");
  EXPECT_EQ(app->speech.wavcount, 1);
  app->speech.langprefix = "DE_";
  playwav(*app, "$$$INTRO.WAV");
  EXPECT_TRUE(wav->played.empty());
  app->speech.nosound = 0;
  app->speech.talkon = 0;  // not consulted
  playwav(*app, "$$$INTRO.WAV");
  EXPECT_EQ(played(), (Items{"DE_$$$INTRO.WAV"}));
  EXPECT_FALSE(wav->played[0].sync);
  app->speech.talkstop = 1;  // saynow speaks with sound off and clears talkstop
  saynow(*app, "Look out", "$$$INTRO.WAV");
  EXPECT_EQ(played().size(), 2u);
  EXPECT_EQ(msg(), "Look out");
  EXPECT_EQ(app->speech.talkstop, 0);
}

TEST_F(Queue, SayagainRepeatsTheLastCompleteSentenceWithItsMessage) {
  for (const char* w : {"a1.wav", "a2.wav", "b1.wav"}) wavfile(w);
  queuewav(*app, "a1.wav");
  queuewav(*app, "a2.wav");
  showmsg(*app, "two things");
  clearmsg(*app);
  endsentence(*app);  // an empty sentence keeps the last one
  queuewav(*app, "b1.wav");
  app->speech.talkstop = 1;  // abandoned
  wav->played.clear();
  speakqueue(*app);
  EXPECT_TRUE(wav->played.empty());
  EXPECT_EQ(app->speech.wavcount, 0);
  app->speech.talkstop = 0;
  sayagain(*app);
  EXPECT_EQ(played(), (Items{"a1.wav", "a2.wav"}));
  EXPECT_EQ(msg(), "two things");

  app->win.get<QkForm>().show();  // the on-screen keyboard discards the queue
  queuewav(*app, "a1.wav");
  wav->played.clear();
  speakqueue(*app);
  EXPECT_TRUE(wav->played.empty());
  EXPECT_EQ(app->speech.wavcount, 0);
  EXPECT_EQ(app->speech.lastsentlen, 2) << "nor the sentence to repeat";
}

// The outside talker.
class Talker : public SpeechTest {
 protected:
  void SetUp() override {
    SpeechTest::SetUp();
    app->speech.talkext = 1;
    put("ZARNTALK.CFG", "\"talker -q\",ignored\r\n");
    for (const char* w : {"1.wav", "2.wav", "Turn left"}) queuewav(*app, w);
    app->speech.msgtext = "Turn left ahead";
  }
};

TEST_F(Talker, GetsTheMessageAndTheItemsAndEndsWhenTheFileGoes) {
  std::string wave, textline;
  events->hook = [&] {
    if (wave.empty() && has("ZARNWAVE.TXT")) {
      wave = get("ZARNWAVE.TXT");
      textline = get("ZARNTEXT.TXT");
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
  EXPECT_TRUE(wav->played.empty());
}

TEST_F(Talker, ThatCannotStartLeavesTheQueueAndTheLanguageLeadsTheList) {
  app->speech.langprefix = "FR_";
  programs->succeed = false;  // keeps the files for us to read
  speakqueue(*app);
  EXPECT_EQ(get("ZARNWAVE.TXT").substr(0, 9), "FR_\r\n 3\r\n");
  EXPECT_EQ(app->speech.wavcount, 3);
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
  EXPECT_EQ(said(), (Items{"late.wav"}));
}

}  // namespace
}  // namespace zarn::test
