// A text item of the queue spoken by the real synthesiser (espeak-ng) into memory.
#include "platform/tts/espeakspeaker.h"
#include "speech/queue.h"
#include "speechtest.h"

namespace zarn::test {
namespace {

TEST(Espeak, QueuedTextIsSpokenForAPlausibleTime) {
  std::vector<double> seconds;
  auto speaker = std::make_unique<platform::EspeakSpeaker>([&](std::vector<short> samples, int rate) {
    seconds.push_back(rate > 0 ? static_cast<double>(samples.size()) / rate : 0);
    return 1;
  });
  if (!speaker->available()) GTEST_SKIP() << "espeak-ng has no en-gb voice here";
  Services s;
  s.tts = std::move(speaker);
  App app(std::move(s));
  app.speech.ttsavail = 1;

  // About 175 words a minute: seven words take two to three seconds, fourteen twice that.
  const std::string shortline = "We are two miles north of Newbury";
  for (const std::string& line : {shortline, shortline + " and three miles west of Thatcham"}) {
    queuewav(app, line);
    speakqueue(app);
  }
  ASSERT_EQ(seconds.size(), 2u);
  EXPECT_TRUE(seconds[0] > 1.2 && seconds[0] < 5.0) << seconds[0];
  EXPECT_TRUE(seconds[1] / seconds[0] > 1.4 && seconds[1] / seconds[0] < 2.6) << seconds[1];
}

}  // namespace
}  // namespace zarn::test
