// Link intake throughput: a mixed stream of vehicle link lines, as a base station receives
// them, through the link handler (classification, data modes and the decoders), in lines per
// second. A saturated 9600-baud link brings about 30 lines a second.
#include <benchmark/benchmark.h>

#include <string>
#include <vector>

#include "app/app.h"
#include "platform/fakes.h"
#include "vehicles/linkservices.h"

namespace {

std::string hexrec(const std::string& bytes) {
  std::string h = "HEX ";
  for (unsigned char c : bytes) h += "0123456789ABCDEF"[c >> 4], h += "0123456789ABCDEF"[c & 15];
  return h;
}

// One round of the mix; each line leaves the link in the state the next one expects.
std::vector<std::string> mix() {
  const std::string rec = std::string("\x0D\x55\x5C\x09\x2A\x40\x01\x8F\x0A\x24M12\x25\x3C\x7E\x00\x0D\x0A\xFF", 20);
  return {
      "RING",
      "U1",
      "23",
      "20",
      hexrec(rec),  // a dialled-in report as the logs hold it
      "$V1RMC,123456,A,5321.443,N,00218.822,W,10.0,84.5,261020,,*72",  // NMEA from a vehicle
      "$V2GGA,101500,5321.443,N,00218.822,W,1,08,1.0,50.7,M,48.0,M,,*14",
      "8",
      hexrec(rec.substr(0, 8)),
      "001   UNIT7   xxxx 5321.443  00218.820W 0840101230",  // Message Mode
      "002   UNIT7   12",
      "001   UNIT8   xxxx 5322.100  00219.000W 2700051231",
      "NO CARRIER",
      "OK",
  };
}

void BM_LinkIntakeMixedLines(benchmark::State& state) {
  zarn::Services s;
  s.clock = std::make_unique<zarn::platform::FakeClock>();
  zarn::App app(std::move(s));
  app.main.mvmode = 1;
  const std::vector<std::string> lines = mix();
  std::string line;
  for (auto _ : state) {
    for (const auto& l : lines) {
      line = l;
      zarn::mvlinein(app, line, static_cast<long>(line.size()));
    }
    benchmark::DoNotOptimize(app.veh.rptx);
  }
  state.SetItemsProcessed(state.iterations() * static_cast<long>(lines.size()));
}
BENCHMARK(BM_LinkIntakeMixedLines);

}  // namespace
