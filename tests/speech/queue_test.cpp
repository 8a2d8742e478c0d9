// The prompt queue (playing, limits, repeats, abandoning, the outside talker) and the status
// message line with its word translation.
#include "mainwindow/secondary.h"
#include "mainwindow/tick.h"
#include "speech/msgline.h"
#include "speech/queue.h"
#include "platform/wav.h"
#include "speechtest.h"

namespace zarn::test {
namespace {

using Queue = SpeechTest;

TEST_F(Queue, PlaysInOrderPreferringTheLanguagesRecording) {
  app->speech.langprefix = "FR_";
  for (const char* w : {"FR_1.wav", "1.wav", "2.wav"}) wavfile(w);
  for (std::int16_t ttsavail : {0, 1}) {  // text items need the speech library
    app->speech.ttsavail = ttsavail;
    for (const char* i : {"1.wav", "2.wav", "missing.wav", "hello there", "SU4767.A6$"}) queuewav(app->voice, i);
    speakqueue(app->voice);
  }
  // Each sound is started and then waited for with the port read, not played in one blocking call.
  EXPECT_EQ(std::tuple(heard(), wav->played.at(0).sync, tts->said, said()),
            std::tuple("FR_1.wav 2.wav FR_1.wav 2.wav", false, Items{"hello there"},  // a $ makes a sound item
                       "1.wav 2.wav missing.wav hello there SU4767.A6$"));
  EXPECT_EQ(std::tuple(issounditem("wav"), issounditem("Mixed.WaV")), std::tuple(false, true));
}

TEST_F(Queue, LimitsSoundOffAndNosound) {
  auto& s = app->speech;
  for (int i = 0; i < 201; ++i) queuewav(app->voice, "x" + std::to_string(i) + ".wav");
  EXPECT_EQ(std::tuple(s.wavcount, s.wavqueue[200]), std::tuple(200, "x199.wav")) << "the rest dropped";
  std::tie(s.wavcount, s.talkon) = std::pair(0, 0);
  queuewav(app->voice, "a.wav");
  std::tie(s.talkon, s.nosound) = std::pair(1, 1);
  queuewav(app->voice, "a.wav");
  EXPECT_EQ(s.wavcount, 0) << "sound off, or no sound";
  wavfile("DE_$$$INTRO.WAV");
  std::tie(s.langprefix, s.nosound) = std::pair("DE_", -1);  // queued prompts stay audible, the introduction does not
  queuewav(app->voice, "$$$INTRO.WAV");
  playwav(app->voice, "$$$INTRO.WAV");
  EXPECT_EQ(std::tuple(s.wavcount, heard()), std::tuple(1, ""));
  std::tie(s.nosound, s.talkon) = std::pair(0, 0);  // talkon is not consulted
  playwav(app->voice, "$$$INTRO.WAV");
  EXPECT_EQ(std::tuple(heard(), wav->played[0].sync), std::tuple("DE_$$$INTRO.WAV", false));
  s.talkstop = 1;  // saynow speaks with sound off and clears talkstop
  saynow(app->voice, "Look out", "$$$INTRO.WAV");
  EXPECT_EQ(std::tuple(played().size(), msg(), s.talkstop), std::tuple(2u, "Look out", 0));
}

TEST_F(Queue, SayagainRepeatsTheLastCompleteSentenceWithItsMessage) {
  for (const char* w : {"a1.wav", "a2.wav", "b1.wav"}) wavfile(w);
  for (const char* w : {"a1.wav", "a2.wav"}) queuewav(app->voice, w);
  showmsg(app->voice, "two things");
  clearmsg(app->voice);
  endsentence(app->voice);  // an empty sentence keeps the last one
  queuewav(app->voice, "b1.wav");
  app->speech.talkstop = 1;  // abandoned
  wav->played.clear();
  speakqueue(app->voice);
  EXPECT_EQ(std::tuple(heard(), app->speech.wavcount), std::tuple("", 0));
  app->speech.talkstop = 0;
  sayagain(app->voice);
  EXPECT_EQ(std::tuple(heard(), msg()), std::tuple("a1.wav a2.wav", "two things"));
  app->win.get<QkForm>().show();  // the on-screen keyboard discards the queue, not the sentence
  queuewav(app->voice, "a1.wav");
  speakqueue(app->voice);
  EXPECT_EQ(std::tuple(heard(), app->speech.wavcount, app->speech.lastsentlen), std::tuple("a1.wav a2.wav", 0, 2));
}

// The outside talker gets the message and the items in files and deletes ZARNWAVE.TXT when it
// has said them; we wait for that at most 10 s.
TEST_F(Queue, TheOutsideTalker) {
  put("ZARNTALK.CFG", "\"talker -q\",ignored\r\n");
  std::tie(app->speech.talkext, app->speech.msgtext) = std::pair(1, "Turn left ahead");
  auto sentence = [&] { for (const char* w : {"1.wav", "2.wav", "Turn left"}) queuewav(app->voice, w); };
  sentence();
  // One that cannot start leaves the queue, and the files for us to read; a language leads the list.
  std::tie(programs->succeed, app->speech.langprefix) = std::pair(false, "FR_");
  speakqueue(app->voice);
  EXPECT_EQ(std::tuple(get("ZARNWAVE.TXT"), get("ZARNTEXT.TXT"), app->speech.wavcount),
            std::tuple("FR_\r\n 3\r\n1.wav\r\n2.wav\r\nTurn left\r\n", "Turn left ahead\r\n", 3));
  std::tie(programs->succeed, app->speech.langprefix) = std::pair(true, "");
  events->hook = [&] { clock->advance(0.25); };  // one that never finishes holds us ten seconds
  const float t0 = app->timer();
  speakqueue(app->voice);
  EXPECT_NEAR(app->timer() - t0, 10.25f, 0.25f);
  EXPECT_EQ(std::tuple(app->speech.wavcount, app->speech.lastsentlen, heard()), std::tuple(0, 3, ""));
  std::string wave;
  events->hook = [&] {  // one that finishes; what is queued meanwhile waits for the next time
    if (!has("ZARNWAVE.TXT")) return;
    if (wave.empty()) {
      wave = get("ZARNWAVE.TXT");
      queuewav(app->voice, "late.wav");
      speakqueue(app->voice);  // as the tick would, running inside the wait
    }
    std::filesystem::remove(dir / "ZARNWAVE.TXT");
  };
  sentence();
  speakqueue(app->voice);
  EXPECT_EQ(std::tuple(wave, queued()),
            std::tuple(dir.string() + "/\r\n 3\r\n1.wav\r\n2.wav\r\nTurn left\r\n", "late.wav"));
  speakqueue(app->voice);
  ASSERT_EQ(programs->started.size(), 4u);
  const auto& p = programs->started[3];
  EXPECT_EQ(std::tuple(said(), p.program, p.args, p.wait), std::tuple("late.wav", "talker", Items{"-q"}, false));
}

// Announcements that come many a second (bearings) go to the outside talker without a wait for
// it; while it has not taken the last one another is left out, but a talker that never takes one
// silences them only for the wait a sentence would give it.
TEST_F(Queue, AnnouncementsInABurstGoToTheTalkerWithoutAWait) {
  put("ZARNTALK.CFG", "\"talker -q\",ignored\r\n");
  app->speech.talkext = 1;
  events->hook = [&] { clock->advance(0.01); };
  const auto bearing = [&](int k) { saystart(app->voice, "DF Bearing " + std::to_string(k), "GOTDFBRG.WAV"); };
  const float t0 = app->timer();
  for (int k = 0; k < 20; ++k) bearing(k);
  EXPECT_LT(app->timer() - t0, 1) << "waited for the talker";
  EXPECT_EQ(std::tuple(programs->started.size(), get("ZARNWAVE.TXT"), app->speech.msgtext, app->speech.wavcount),
            std::tuple(1u, dir.string() + "/\r\n 1\r\nGOTDFBRG.WAV\r\n", "DF Bearing 19", 0));
  std::filesystem::remove(dir / "ZARNWAVE.TXT");  // taken
  bearing(20);
  EXPECT_EQ(std::tuple(programs->started.size(), get("ZARNTEXT.TXT")), std::tuple(2u, "DF Bearing 20\r\n"));
  clock->advance(10.5);  // never taken
  bearing(21);
  EXPECT_EQ(programs->started.size(), 3u);
}

// Each sound is waited for with the port polled and events running; a sentence that these
// start meanwhile is spoken after the one playing, not into it, and the one playing is the one
// kept for "say again".
TEST_F(Queue, WhatIsSaidDuringASoundWaitsItsTurn) {
  for (const char* w : {"1.wav", "2.wav", "late.wav"}) wavfile(w);
  int polls = 0;
  app->voice.poll = [&] {
    if (++polls == 1) {  // a report read while 1.wav plays raises its alarm
      queuewav(app->voice, "late.wav");
      speakqueue(app->voice);
    }
  };
  for (const char* w : {"1.wav", "2.wav"}) queuewav(app->voice, w);
  speakqueue(app->voice);
  EXPECT_EQ(std::tuple(heard(), queued(), said(), polls > 1), std::tuple("1.wav 2.wav", "late.wav", "1.wav 2.wav", true));
  speakqueue(app->voice);
  EXPECT_EQ(std::tuple(heard(), queued()), std::tuple("1.wav 2.wav late.wav", ""));
}

// Without a sound server a recording takes as long as if it were heard, so that the message it
// goes with can be read before the next one; a missing or broken file is skipped at once.
TEST_F(Queue, ARecordingThatCannotBePlayedTakesItsOwnLength) {
  struct NoServer final : platform::WavPlayer {
    int play(const std::filesystem::path&, bool) override { return 0; }
    void beep() override {}
  };
  app->sys.wav = std::make_unique<NoServer>();
  std::filesystem::copy(std::filesystem::path(ZARN_SOURCE_DIR) / "data" / "demo" / "wenearwp.wav", dir);
  wavfile("header-only.wav");
  put("broken.wav", "RIFF....WAVEfmt ");
  const double length = platform::readwav(dir / "wenearwp.wav")->seconds();
  ASSERT_GT(length, 0.3);
  waitstep = 0.01;
  int polls = 0;
  app->voice.poll = [&] { ++polls; };
  const auto took = [&](const char* item) {
    const float t0 = app->timer();
    queuewav(app->voice, item);
    speakqueue(app->voice);
    return app->timer() - t0;
  };
  showmsg(app->voice, "We are near Waypoint 3");
  EXPECT_NEAR(took("wenearwp.wav"), length, 0.03) << "the port is read meanwhile: " << polls;
  EXPECT_GT(polls, 10);
  EXPECT_EQ(msg(), "We are near Waypoint 3");
  for (const char* skipped : {"missing.wav", "header-only.wav", "broken.wav"}) EXPECT_LT(took(skipped), 0.02) << skipped;
}

using MsgLine = SpeechTest;

TEST_F(MsgLine, ShowsStampsSpeaksAndLeavesAllAloneWithSoundOff) {
  auto& line = app->win.zarn.saytxt;
  wavfile("a.wav");
  at(*clock, "23:59:55");
  queuewav(app->voice, "a.wav");
  showmsg(app->voice, "Hello");
  EXPECT_EQ(std::tuple(line.caption, heard()), std::tuple("Hello", "a.wav"));
  app->speech.talkon = 0;
  queuewav(app->voice, "a.wav");
  showmsg(app->voice, "second");
  showmsgwav(app->voice, "quiet", "a.wav");
  EXPECT_EQ(std::tuple(msg(), heard()), std::tuple("Hello", "a.wav a.wav")) << "sound off: only showmsgwav's item";
  app->main.playback = 1;  // the playback window shows messages even so; the tick's services rest
  showmsg(app->voice, std::string(69, 'x'));  // long messages are set smaller
  EXPECT_EQ(std::tuple(line.font.size, msgfontsize(std::string(68, 'x'))), std::tuple(9.75, 12.0));
  std::vector<bool> shown;  // cleared eleven seconds later, across midnight
  for (double s : {10.0, 1.0}) { clock->advance(s); Timer1_Timer(*app); shown.push_back(line.visible); }
  EXPECT_EQ(std::tuple(shown, msg()), std::tuple(std::vector{true, false}, ""));
}

TEST_F(MsgLine, TranslationRules) {
  const struct { const char *guards, *rules, *in, *out; } cases[] = {
      {"a whole word is replaced, a word inside a longer one is not", "Road=Rd\r\n", "Road Roadworks", "Rd Roadworks"},
      {"up to two characters may follow at the end", "Road=Rd\r\n", "Park Roads.", "Park Rds."},
      {"a full stop may follow; case matters", "Road=Rd\r\n", "road Road.", "road Rd."},
      {"a whole-text rule wins over earlier rules", "Good=Gut\r\nGood morning=Guten Morgen\r\n", "Good morning",
       "Guten Morgen"},
      {"rules apply in order to the result", "A=B\r\nB=C\r\n", "go A", "go C"},
      {"a blank line ends the table, a line without = is skipped", "x\r\nA=B\r\n  \r\nC=D\r\n", "A C", "B C"},
      {"a to-text ending in its from-text does not loop", "Road=Big Road\r\n", "Road Road", "Big Road Big Road"},
      {"the scan resumes the from-text's length on: a shorter to-text skips the next word", "Road=Rd\r\n",
       "Road Road", "Rd Road"},
      {"an empty from-text is ignored, blanks in a to-text kept", "=X\r\nA= B \r\n", "A", " B "},
      {"an empty text", "A=B\r\n", "", ""},
  };
  for (const auto& c : cases) {
    put("translat.txt", c.rules);
    EXPECT_EQ(translate(app->voice, c.in), c.out) << c.guards;
  }
  put("translat.txt", "Road=Strasse\r\n");  // each language its own table
  put("FR_translat.txt", "Road=Rue\r\n");
  for (const auto& [prefix, out] : {std::pair{"FR_", "Park Rue"}, {"DE_", "Park Road"}, {"", "Park Strasse"}}) {
    app->speech.langprefix = prefix;
    showmsg(app->voice, "Park Road");
    EXPECT_EQ(msg(), out) << prefix;
  }
}

}  // namespace
}  // namespace zarn::test
