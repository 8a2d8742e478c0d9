// Replay throughput of the serial line assembly and the sentence parser into the own fix,
// beside a plain scan of the same bytes for line ends (the floor) and, for scale, gpsd's own
// decoder on the same file. The input is about a million real sentences: the recorded logs
// repeated into a scratch file made when the benchmark starts.
#include <benchmark/benchmark.h>
#include <fcntl.h>
#include <spawn.h>
#include <sys/wait.h>
#include <unistd.h>

#include <algorithm>
#include <cstring>
#include <filesystem>
#include <fstream>
#include <iterator>
#include <string>
#include <vector>

#include "app/app.h"
#include "bench/reallogs.h"
#include "gpsinput/serialpoll.h"
#include "platform/fakes.h"

extern char** environ;

namespace {

namespace fs = std::filesystem;

// Sentences the poll takes: "$" to a line end with a good checksum.
long countsentences(const std::string& data) {
  long n = 0;
  std::size_t p = 0;
  while ((p = data.find('$', p)) != std::string::npos) {
    const std::size_t e = data.find_first_of("\r\n$", p + 1);
    if (e == std::string::npos || data[e] == '$') {
      p = e;
      continue;
    }
    const std::size_t star = data.find('*', p);
    if (star < e && e - p < 200) {
      unsigned x = 0;
      for (std::size_t i = p + 1; i < star; ++i) x ^= static_cast<unsigned char>(data[i]);
      n += star + 3 <= e && std::strtoul(data.substr(star + 1, 2).c_str(), nullptr, 16) == x;
    }
    p = e;
  }
  return n;
}

struct Corpus {
  fs::path file;
  std::string data;
  long sentences = 0;

  Corpus() {
    const std::string once = zarn::bench::reallogs();
    const long per = countsentences(once);
    while (sentences < 1000000) {
      data += once;
      sentences += per;
    }
    file = fs::temp_directory_path() / ("zarn-nmea-bench-" + std::to_string(::getpid()) + ".nmea");
    std::ofstream(file, std::ios::binary) << data;
  }
  ~Corpus() {
    std::error_code ec;
    fs::remove(file, ec);
  }
};

const Corpus& corpus() {
  static const Corpus c;
  return c;
}

void BM_ReplayIntoOwnFix(benchmark::State& state) {
  const Corpus& c = corpus();
  for (auto _ : state) {
    state.PauseTiming();
    zarn::Services s;
    if (state.range(0) == 0) {
      s.clock = std::make_unique<zarn::platform::FakeClock>();
    } else {
      s.clock = std::make_unique<zarn::platform::SystemClock>();
    }
    auto app = std::make_unique<zarn::App>(std::move(s));
    state.ResumeTiming();
    zarn::rxchars(*app, c.data);
    benchmark::DoNotOptimize(app->gps.ownx);
  }
  state.SetItemsProcessed(state.iterations() * c.sentences);
  state.SetBytesProcessed(state.iterations() * static_cast<long>(c.data.size()));
  state.counters["sentences"] = static_cast<double>(c.sentences);
}
// Argument 0: a clock standing still; 1: the system clock, read as the program reads it.
BENCHMARK(BM_ReplayIntoOwnFix)->Arg(0)->Arg(1)->Unit(benchmark::kMillisecond)->Iterations(3);

// The floor: finding the line ends and nothing else.
void BM_LineEndScan(benchmark::State& state) {
  const Corpus& c = corpus();
  for (auto _ : state) {
    long lines = 0;
    const char* p = c.data.data();
    const char* end = p + c.data.size();
    while ((p = static_cast<const char*>(std::memchr(p, '\n', static_cast<std::size_t>(end - p))))) {
      ++lines;
      ++p;
    }
    benchmark::DoNotOptimize(lines);
  }
  state.SetItemsProcessed(state.iterations() * c.sentences);
  state.SetBytesProcessed(state.iterations() * static_cast<long>(c.data.size()));
}
BENCHMARK(BM_LineEndScan)->Unit(benchmark::kMillisecond);

// gpsd's decoder on the same file, for scale (skipped when gpsd-clients is not installed).
void BM_GpsdecodeForScale(benchmark::State& state) {
  const Corpus& c = corpus();
  for (auto _ : state) {
    posix_spawn_file_actions_t fa;
    posix_spawn_file_actions_init(&fa);
    posix_spawn_file_actions_addopen(&fa, 0, c.file.c_str(), O_RDONLY, 0);
    posix_spawn_file_actions_addopen(&fa, 1, "/dev/null", O_WRONLY, 0);
    posix_spawn_file_actions_addopen(&fa, 2, "/dev/null", O_WRONLY, 0);
    char arg0[] = "gpsdecode", arg1[] = "-j";
    char* argv[] = {arg0, arg1, nullptr};
    pid_t pid = 0;
    const int rc = posix_spawnp(&pid, "gpsdecode", &fa, nullptr, argv, environ);
    posix_spawn_file_actions_destroy(&fa);
    int status = 0;
    if (rc != 0 || waitpid(pid, &status, 0) != pid || !WIFEXITED(status) || WEXITSTATUS(status) != 0) {
      state.SkipWithError("gpsdecode (gpsd-clients) did not run");
      break;
    }
  }
  state.SetItemsProcessed(state.iterations() * c.sentences);
  state.SetBytesProcessed(state.iterations() * static_cast<long>(c.data.size()));
}
BENCHMARK(BM_GpsdecodeForScale)->Unit(benchmark::kMillisecond)->Iterations(1)->UseRealTime();

}  // namespace
