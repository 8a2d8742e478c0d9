// Speech synthesis with espeak-ng, compared with what the espeak-ng program makes; and the
// PulseAudio WAV player, quiet without a sound server and really playing through a private
// PulseAudio daemon with a null sink when the daemon is installed.
#include <gtest/gtest.h>
#include <signal.h>
#include <unistd.h>

#include <algorithm>
#include <chrono>

#include "platform/audio/pulsewav.h"
#include "platform/programs.h"
#include "platform/tts/espeakspeaker.h"
#include "platform/wav.h"
#include "pulse_daemon.h"
#include "wav_testfiles.h"

namespace zarn::platform {
namespace {

TEST(TtsEspeak, SpeechIsWhatTheEspeakProgramMakesAndGoesToTheSink) {
  const std::string sentence = "Turn left in two hundred yards, then take the second exit.";  // 11 words
  double played = 0;
  EspeakSpeaker tts([&](std::vector<short> s, int rate) { played += s.size(); return rate > 0 ? 1 : 0; });
  ASSERT_TRUE(tts.available()) << "espeak-ng with its en-gb voice is needed";
  int rate = 0;
  const auto s = tts.synthesize(sentence, &rate);
  const double n = static_cast<double>(s.size()), secs = n / std::max(rate, 1);
  EXPECT_TRUE(rate > 8000 && secs > 0.3 * 11 && secs < 1.5 * 11) << rate << " " << secs;
  EXPECT_GT(*std::max_element(s.begin(), s.end()), 3000) << "speech, not silence";
  zarn::testing::TempDir dir;
  ASSERT_TRUE(zarn::testing::espeakwav(dir / "ref.wav", sentence));
  const WavSound ref = readwav(dir / "ref.wav").value();
  EXPECT_EQ(ref.rate, rate);
  EXPECT_NEAR(secs, ref.seconds(), 0.05 * ref.seconds());

  // espeak-ng varies the length of a phrase by a little from one call to the next.
  EXPECT_EQ(tts.say(sentence), 1);
  EXPECT_NEAR(played, n, 0.05 * n);
  EXPECT_EQ(EspeakSpeaker([](std::vector<short>, int) { return 0; }).say("Destination reached"), 0) << "not played";
  EXPECT_EQ(EspeakSpeaker().say("Destination reached"), 0) << "nowhere to play";
}

TEST(TtsEspeak, EightBitTextIsReadAsTheWindowsCodePageHasIt) {
  const struct { const char* guards; std::string in, out; } cases[] = {
      {"Latin-1 letter", "Caf\xE9", "Caf\xC3\xA9"}, {"NBSP and y-diaeresis", "\xA0\xFF", "\xC2\xA0\xC3\xBF"},
      {"curly apostrophe typed on Windows", "King\x92s Lynn", "King\xE2\x80\x99s Lynn"},
      {"euro and dash", "\x80 \x96", "\xE2\x82\xAC \xE2\x80\x93"},
      {"unassigned code becomes a blank", "a\x81" "b\x9D" "c", "a b c"},
      {"control characters become blanks", "a\rb\nc\td\x7F", "a b c d "},
  };
  for (const auto& c : cases) EXPECT_EQ(speechtext(c.in), c.out) << c.guards;
  std::string all;
  for (int b = 1; b < 256; ++b) all += static_cast<char>(b);
  EXPECT_FALSE(EspeakSpeaker().synthesize(all).empty()) << "every byte is spoken as something; no crash, no hang";
}

TEST(WavNoServer, EveryPlayReturnsZeroQuietly) {
  zarn::testing::TempDir dir;
  ASSERT_TRUE(zarn::testing::espeakwav(dir / "prompt.wav", "Two hundred yards"));
  const WavSound prompt = readwav(dir / "prompt.wav").value();
  WavSound three = prompt, norate = prompt;
  three.channels = 3;
  norate.rate = 0;
  ::setenv("PULSE_SERVER", "unix:/nonexistent/zarn-no-sound-server", 1);
  ::testing::internal::CaptureStderr();
  {
    PulseWavPlayer player;
    EXPECT_EQ(player.play(dir / "missing.wav", true) + player.play(dir.put("junk.wav", "not a sound"), false) +
                  player.playsound(three, true) + player.playsound(norate, false), 0);
    EXPECT_EQ(player.connectattempts(), 0) << "a sound that cannot play never reaches the server";
    EXPECT_EQ(player.play(dir / "prompt.wav", true) + player.play(dir / "prompt.wav", false) +
                  player.playsound(prompt, true), 0);
    player.beep();
    EXPECT_EQ(player.connectattempts(), 1) << "a missing server is not asked again at once";
    const auto why = player.unavailable();
    ASSERT_TRUE(why.has_value()) << "the reason is told";
    EXPECT_FALSE(why->empty());
  }
  EXPECT_EQ(::testing::internal::GetCapturedStderr(), "");
  ::unsetenv("PULSE_SERVER");
}

using zarn::testing::Daemon;

struct WavWithServer : ::testing::Test {
  void SetUp() override {
    if (!zarn::testing::havetool("pulseaudio")) GTEST_SKIP() << "pulseaudio is not installed";
    daemon = std::make_unique<Daemon>(dir.path());
    ASSERT_TRUE(daemon->running()) << "pulseaudio did not start";
    ::setenv("PULSE_SERVER", ("unix:" + daemon->socket.string()).c_str(), 1);
    ASSERT_TRUE(zarn::testing::espeakwav(first, "Left") && zarn::testing::espeakwav(second, "Right"));
    // The same words at another rate and in stereo: the player must change its stream format.
    ASSERT_TRUE(zarn::testing::soxconvert(second, {"-b", "8", "-c", "2", "-r", "11025"}, other));
  }
  void TearDown() override { ::unsetenv("PULSE_SERVER"); }
  zarn::testing::TempDir dir;
  std::unique_ptr<Daemon> daemon;
  std::filesystem::path first = dir / "first.wav", second = dir / "second.wav", other = dir / "other.wav";
};

TEST_F(WavWithServer, NothingIsCutOffAndClosingOrLosingTheServerIsQuiet) {
  EXPECT_EQ(PulseWavPlayer().unavailable(), std::nullopt) << "a server that answers";
  {
    PulseWavPlayer player;
    const auto start = std::chrono::steady_clock::now();
    EXPECT_EQ((std::tuple{player.play(first, false), player.play(other, false), player.play(second, true)}),
              std::tuple(1, 1, 1));
    const double took = std::chrono::duration<double>(std::chrono::steady_clock::now() - start).count();
    // The waiting play ends only after all three were heard: nothing can play faster than its length.
    EXPECT_GE(took, 0.95 * (readwav(first)->seconds() + readwav(other)->seconds() + readwav(second)->seconds()));
    EXPECT_EQ(player.play(dir / "missing.wav", true), 0);
    EXPECT_EQ(player.connectattempts(), 3) << "one stream for each change of format";
    EXPECT_EQ(player.play(first, false), 1);
    player.beep();
  }  // must stop and join without waiting for the sound to end or hanging
  PulseWavPlayer player;
  EXPECT_EQ(player.play(first, true), 1);
  daemon.reset();
  ::testing::internal::CaptureStderr();
  EXPECT_EQ(player.play(second, true) + player.play(second, false), 0);
  EXPECT_EQ(::testing::internal::GetCapturedStderr(), "");
}

}  // namespace
}  // namespace zarn::platform
