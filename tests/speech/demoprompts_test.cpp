// The demo's recorded prompt set (tools/make_prompts.sh) covers what the phrases say.
#include "speech/phrases.h"
#include "speech/queue.h"
#include "speech/reports.h"
#include "speechtest.h"

namespace zarn::test {
namespace {

TEST(DemoPrompts, EveryFragmentOfTheDefaultOrderIsRecorded) {
  const std::filesystem::path demo = ZARN_SOURCE_DIR "/data/demo";
  if (!std::filesystem::exists(demo / "thousand.wav")) GTEST_SKIP() << "run tools/make_prompts.sh";
  App app;
  auto& wav = dynamic_cast<platform::RecordingWavPlayer&>(*app.sys.wav);
  app.files.setworkdir(demo);
  app.gps.ownhdg = 90;

  for (int n : {0, 7, 13, 20, 45, 99, 100, 345, 1005, 12000, 54321, 99999}) saynumber(app, std::to_string(n));
  for (const char* d : {"1m", "1.5m", "250y", " 12m"}) saydistance(app, d);
  app.main.metric = 1;
  for (const char* d : {"1k", "3.25k", "500m"}) saydistance(app, d);
  for (int b = 0; b < 360; b += 45) {
    std::string item, text;
    compassphrase(b, item, text);
    queuewav(app, item);
  }
  for (int h = 1; h <= 12; ++h) saydirection(app, h);
  for (const char* r : {"A34", "B3022", "M1", "H1"}) {
    std::string roadnum, digits, street;
    int nd = 0;
    splitaddress(r, roadnum, digits, street, nd);
    sayroadname(app, roadnum, digits, nd);
  }
  for (const char* item :
       {"movnorth.wav", "movneast.wav", "moveast.wav", "movseast.wav", "movsouth.wav", "movswest.wav",
        "movwest.wav", "movnwest.wav", "notmove.wav", "at.wav", "mph.WAV", "kmph.WAV", "knots.WAV", "on.wav",
        "in.wav", "over.wav", "AND.WAV", "weare.wav", "wearenea.wav", "weareon.wav", "called.wav",
        "destinat.wav", "ETAIS.WAV", "THETIMEI.WAV", "seconds.wav", "minutes.wav", "hours.wav", "altisnot.wav",
        "altisnea.wav", "altisabo.wav", "00.wav", "ftaboves.wav", "climbing.wav", "sinking.wav", "ftpermin.wav",
        "chamap.wav", "$$$start.wav", "point.wav"})
    queuewav(app, item);
  const int queued = app.speech.wavcount;
  ASSERT_LT(queued, SpeechState::queuemax);
  speakqueue(app);
  ASSERT_EQ(static_cast<int>(wav.played.size()), queued);
  for (const auto& p : wav.played) {
    EXPECT_GT(p.seconds, 0.1) << p.file;  // a real recording, not a header
    EXPECT_LT(p.seconds, 3.0) << p.file;
  }
}

}  // namespace
}  // namespace zarn::test
