// Speech synthesis with espeak-ng, to memory, compared with what the espeak-ng program makes.
#include <gtest/gtest.h>

#include <string>
#include <vector>

#include "platform/tts/espeakspeaker.h"
#include "platform/wav.h"
#include "wav_testfiles.h"

namespace zarn::platform {
namespace {

TEST(TtsEspeak, SentenceBecomesTheSameSpeechAsTheEspeakProgramMakes) {
  const std::string sentence = "Turn left in two hundred yards, then take the second exit.";  // 11 words
  EspeakSpeaker tts;
  ASSERT_TRUE(tts.available()) << "espeak-ng with its en-gb voice is needed";
  int rate = 0;
  const auto s = tts.synthesize(sentence, &rate);
  ASSERT_GT(rate, 8000);
  const double secs = static_cast<double>(s.size()) / rate;
  EXPECT_GE(secs, 0.3 * 11);
  EXPECT_LE(secs, 1.5 * 11);
  EXPECT_GT(zarn::testing::rms(s), 500);  // speech, not silence

  zarn::testing::TempDir dir;
  ASSERT_TRUE(zarn::testing::espeakwav(dir / "ref.wav", sentence));
  const auto ref = readwav(dir / "ref.wav");
  ASSERT_TRUE(ref);
  EXPECT_EQ(ref->rate, rate);
  EXPECT_NEAR(secs, ref->seconds(), 0.05 * ref->seconds());
}

TEST(TtsEspeak, EveryEightBitCharacterIsSafe) {
  EspeakSpeaker tts;
  ASSERT_TRUE(tts.available());
  std::string all;
  for (int c = 1; c < 256; ++c) all += static_cast<char>(c);
  int rate = 0;
  tts.synthesize(all, &rate);  // must neither crash nor hang
  EXPECT_GT(rate, 0);
  EXPECT_GT(tts.synthesize("Caf\xE9 Ni\xF1o, G\xF6ttingen").size(), 0u) << "accented place names are read";

  // Every byte becomes valid UTF-8 of one to three bytes.
  for (int b = 0; b < 256; ++b) {
    const std::string u = speechtext(std::string(1, static_cast<char>(b)));
    const auto lead = static_cast<unsigned char>(u.empty() ? 0xFF : u[0]);
    EXPECT_EQ(u.size(), lead < 0x80 ? 1u : lead >= 0xE0 ? 3u : lead >= 0xC0 ? 2u : 0u) << "byte " << b;
    for (std::size_t i = 1; i < u.size(); ++i) EXPECT_EQ(static_cast<unsigned char>(u[i]) & 0xC0, 0x80) << b;
  }
}

TEST(TtsSpeechText, EightBitTextBecomesUtf8) {
  const struct { const char* guards; std::string in, out; } cases[] = {
      {"Latin-1 letter", "Caf\xE9", "Caf\xC3\xA9"},
      {"non-breaking space and y-diaeresis", "\xA0\xFF", "\xC2\xA0\xC3\xBF"},
      {"curly apostrophe typed on Windows", "King\x92s Lynn", "King\xE2\x80\x99s Lynn"},
      {"euro and dash", "\x80 \x96", "\xE2\x82\xAC \xE2\x80\x93"},
      {"unassigned code becomes a blank", "a\x81" "b\x9D" "c", "a b c"},
      {"control characters become blanks", "a\rb\nc\td\x7F", "a b c d "},
  };
  for (const auto& c : cases) EXPECT_EQ(speechtext(c.in), c.out) << c.guards;
}

TEST(TtsEspeak, SayHandsTheSpeechToTheSink) {
  std::size_t samples = 0;
  EspeakSpeaker tts([&](std::vector<short> s, int rate) {
    samples += s.size();
    return rate > 0 ? 1 : 0;
  });
  ASSERT_TRUE(tts.available());
  EXPECT_EQ(tts.say("Destination reached"), 1);
  // espeak-ng varies the length of a phrase by a little from one call to the next.
  const auto alone = static_cast<double>(tts.synthesize("Destination reached").size());
  EXPECT_NEAR(static_cast<double>(samples), alone, 0.05 * alone);

  EXPECT_EQ(EspeakSpeaker([](std::vector<short>, int) { return 0; }).say("Destination reached"), 0)
      << "the sink could not play it";
  EspeakSpeaker mute;  // nowhere to play
  EXPECT_EQ(mute.say("Destination reached"), 0);

  // The old library's settings leave the voice as it is.
  tts.setsayglobals(0, 0, 6, 7, 5);
  const auto a = static_cast<double>(tts.synthesize("North").size());
  EXPECT_NEAR(a, static_cast<double>(mute.synthesize("North").size()), 0.05 * a);
}

}  // namespace
}  // namespace zarn::platform
