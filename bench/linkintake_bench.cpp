// Link intake throughput: a mixed stream of vehicle link lines, as a base station receives
// them, through the link handler (classification, data modes and the decoders), in lines per
// second. A saturated 9600-baud link brings about 30 lines a second.
#include <benchmark/benchmark.h>

#include <unistd.h>

#include <filesystem>
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

// One round of the mix; each line leaves the link in the state the next one expects. With
// `alert`, a message from a unit among the reports (its alert is spoken and listed).
std::vector<std::string> mix(bool alert) {
  const std::string rec = std::string("\x0D\x55\x5C\x09\x2A\x40\x01\x8F\x0A\x24M12\x25\x3C\x7E\x00\x0D\x0A\xFF", 20);
  std::string plain = rec.substr(0, 8);
  plain[5] = '\x01';  // a status that raises nothing
  return {
      "RING",
      "U1",
      "23",
      alert ? "20" : "8",
      hexrec(alert ? rec : plain),  // a dialled-in report as the logs hold it (an alarm, or a position)
      "$V1RMC,123456,A,5321.443,N,00218.822,W,10.0,84.5,261020,,*72",  // NMEA from a vehicle
      "$V2GGA,101500,5321.443,N,00218.822,W,1,08,1.0,50.7,M,48.0,M,,*14",
      "8",
      hexrec(plain),
      "001   UNIT7   xxxx 5321.443  00218.820W 0840101230",  // Message Mode
      alert ? "002   UNIT7   12" : "001   UNIT7   xxxx 5321.443  00218.820W 0840101230",
      "001   UNIT8   xxxx 5322.100  00219.000W 2700051231",
      "NO CARRIER",
      "OK",
  };
}

// A base station's working folder: the look-ups of sound and code files find nothing there.
const std::filesystem::path& basefolder() {
  static const std::filesystem::path dir = [] {
    const auto d = std::filesystem::temp_directory_path() / ("zarn-linkbench-" + std::to_string(::getpid()));
    std::filesystem::create_directories(d);
    return d;
  }();
  return dir;
}

void intake(benchmark::State& state, bool alert) {
  zarn::Services s;
  s.clock = std::make_unique<zarn::platform::FakeClock>();
  zarn::App app(std::move(s));
  app.files.setworkdir(basefolder());
  app.main.mvmode = 1;
  const std::vector<std::string> lines = mix(alert);
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

// Reports of every form: classified, decoded, tabled, drawn and handed on.
void BM_LinkIntakeMixedLines(benchmark::State& state) { intake(state, false); }
BENCHMARK(BM_LinkIntakeMixedLines);
// The same with a unit's alarm, its ignition and a message among each round of fourteen lines.
void BM_LinkIntakeMixedLinesWithAlert(benchmark::State& state) { intake(state, true); }
BENCHMARK(BM_LinkIntakeMixedLinesWithAlert);

}  // namespace
