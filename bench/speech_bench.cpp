// Speaking a line of a megabyte, as a hostile replay file's SAY line gives it: through the
// queue to the real synthesiser, into a sink that only counts. The counters give the seconds of
// speech made and the longest piece held in memory at once.
#include <benchmark/benchmark.h>

#include <algorithm>
#include <memory>
#include <string>

#include "app/app.h"
#include "platform/tts/espeakspeaker.h"
#include "speech/queue.h"

namespace {

void BM_HugeSayLine(benchmark::State& state) {
  std::size_t total = 0, longest = 0;
  int rate = 0;
  auto tts = std::make_unique<zarn::platform::EspeakSpeaker>([&](std::vector<short> samples, int r) {
    total += samples.size();
    longest = std::max(longest, samples.size());
    rate = r;
    return 1;
  });
  if (!tts->available()) return state.SkipWithError("espeak-ng has no en-gb voice here");
  zarn::Services s;
  s.tts = std::move(tts);
  zarn::App app(std::move(s));
  app.speech.ttsavail = 1;
  std::string line;
  while (line.size() < (1u << 20)) line += "turn left at the roundabout then ";
  for (auto _ : state) {
    total = 0;
    zarn::queuesay(app.voice, line);
    zarn::speakqueue(app.voice);
  }
  state.counters["speech_s"] = rate ? static_cast<double>(total) / rate : 0;
  state.counters["longest_piece_s"] = rate ? static_cast<double>(longest) / rate : 0;
}
BENCHMARK(BM_HugeSayLine)->Unit(benchmark::kMillisecond);

}  // namespace
