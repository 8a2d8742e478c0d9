// A text item of the queue spoken by the real synthesiser (espeak-ng) into memory.
#include <algorithm>
#include <numeric>

#include "platform/tts/espeakspeaker.h"
#include "speech/msgline.h"
#include "speech/queue.h"
#include "speechtest.h"

namespace zarn::test {
namespace {

TEST(Espeak, QueuedTextIsSpokenForAPlausibleTimeAndAHugeLineCutAndSaidInPieces) {
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
    queuewav(app.voice, line);
    speakqueue(app.voice);
  }
  ASSERT_EQ(seconds.size(), 2u);
  EXPECT_TRUE(seconds[0] > 1.2 && seconds[0] < 5.0) << seconds[0];
  EXPECT_TRUE(seconds[1] / seconds[0] > 1.4 && seconds[1] / seconds[0] < 2.6) << seconds[1];

  // A replay line of a megabyte, as SAY and as TXT: a few hundred characters ending at a word
  // are shown and said, all of them (20 to 30 s of speech) in pieces of at most 15 s.
  std::string line;
  while (line.size() < (1u << 20)) line += "turn left at the roundabout then ";
  seconds.clear();
  queuewav(app.voice, line);
  showmsg(app.voice, line);
  for (const std::string& cut : {app.speech.lastsentence.at(0), app.win.zarn.saytxt.caption})
    EXPECT_TRUE(cut.size() > 300 && cut.size() <= 400 && line.starts_with(cut) && line[cut.size()] == ' ')
        << cut.size();
  const double all = std::accumulate(seconds.begin(), seconds.end(), 0.0);
  EXPECT_TRUE(seconds.size() > 1 && all > 15 && all < 40 && *std::max_element(seconds.begin(), seconds.end()) < 15)
      << all;
}

}  // namespace
}  // namespace zarn::test
