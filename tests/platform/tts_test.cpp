// Speech synthesis with espeak-ng, to memory, compared with what the espeak-ng program makes.
#include <gtest/gtest.h>

#include <string>
#include <vector>

#include "platform/tts/espeakspeaker.h"
#include "platform/wav.h"
#include "wav_testfiles.h"

namespace zarn::platform {
namespace {

const std::string sentence = "Turn left in two hundred yards, then take the second exit.";
constexpr int sentencewords = 11;

TEST(TtsEspeak, SentenceBecomesPlausibleSpeech) {
  EspeakSpeaker tts;
  ASSERT_TRUE(tts.available()) << "espeak-ng with its en-gb voice is needed";
  int rate = 0;
  const auto s = tts.synthesize(sentence, &rate);
  ASSERT_GT(rate, 8000);
  const double secs = static_cast<double>(s.size()) / rate;
  EXPECT_GE(secs, 0.3 * sentencewords);
  EXPECT_LE(secs, 1.5 * sentencewords);
  EXPECT_GT(zarn::testing::rms(s), 500);  // speech, not silence

  // The same engine and voice as the espeak-ng program: the same length of speech.
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
  // Accented place names are read as letters, not as noise.
  EXPECT_GT(tts.synthesize("Caf\xE9 Ni\xF1o, G\xF6ttingen").size(), 0u);
}

TEST(TtsSpeechText, EightBitTextBecomesUtf8) {
  struct Case {
    const char* name;
    std::string in, out;
  };
  const Case cases[] = {
      {"plain ASCII unchanged", "Turn left, 200 yards.", "Turn left, 200 yards."},
      {"Latin-1 letter", "Caf\xE9", "Caf\xC3\xA9"},
      {"non-breaking space and y-diaeresis", "\xA0\xFF", "\xC2\xA0\xC3\xBF"},
      {"pound sign",
       "\xA3"
       "5",
       "\xC2\xA3"
       "5"},
      {"curly apostrophe typed on Windows", "King\x92s Lynn", "King\xE2\x80\x99s Lynn"},
      {"euro and dash", "\x80 \x96", "\xE2\x82\xAC \xE2\x80\x93"},
      {"unassigned code becomes a blank",
       "a\x81"
       "b\x9D"
       "c",
       "a b c"},
      {"control characters become blanks", "a\rb\nc\td\x7F", "a b c d "},
  };
  for (const auto& c : cases) EXPECT_EQ(speechtext(c.in), c.out) << c.name;

  // Every byte gives valid UTF-8 of one to three bytes.
  for (int b = 0; b < 256; ++b) {
    const std::string u = speechtext(std::string(1, static_cast<char>(b)));
    ASSERT_GE(u.size(), 1u);
    ASSERT_LE(u.size(), 3u);
    const auto lead = static_cast<unsigned char>(u[0]);
    const std::size_t len = lead < 0x80 ? 1 : lead >= 0xE0 ? 3 : lead >= 0xC0 ? 2 : 0;
    EXPECT_EQ(u.size(), len) << "byte " << b;
    for (std::size_t i = 1; i < u.size(); ++i) EXPECT_EQ(static_cast<unsigned char>(u[i]) & 0xC0, 0x80) << b;
  }
}

TEST(TtsEspeak, SayHandsTheSpeechToTheSink) {
  struct Heard {
    std::size_t samples = 0;
    int rate = 0, calls = 0;
  } heard;
  EspeakSpeaker tts([&](std::vector<short> s, int rate) {
    heard.samples = s.size();
    heard.rate = rate;
    ++heard.calls;
    return 1;
  });
  ASSERT_TRUE(tts.available());
  EXPECT_EQ(tts.say("Destination reached"), 1);
  EXPECT_EQ(heard.calls, 1);
  // espeak-ng varies the length of a phrase by a little from one call to the next.
  EXPECT_NEAR(static_cast<double>(heard.samples),
              static_cast<double>(tts.synthesize("Destination reached").size()),
              0.05 * static_cast<double>(heard.samples));
  EXPECT_GT(heard.rate, 0);

  EspeakSpeaker failing([](std::vector<short>, int) { return 0; });
  EXPECT_EQ(failing.say("Destination reached"), 0);  // the sink could not play it

  EspeakSpeaker mute;  // nowhere to play
  EXPECT_EQ(mute.say("Destination reached"), 0);

  // The old library's settings are kept as given and leave the voice as it is.
  tts.setsayglobals(0, 0, 6, 7, 5);
  EXPECT_EQ(tts.sayglobals(), (std::array<int, 5>{0, 0, 6, 7, 5}));
  const auto a = static_cast<double>(tts.synthesize("North").size());
  EXPECT_NEAR(a, static_cast<double>(mute.synthesize("North").size()), 0.05 * a);
}

}  // namespace
}  // namespace zarn::platform
