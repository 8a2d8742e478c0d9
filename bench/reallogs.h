// The recorded logs the benchmarks read: every gpsd log of the test data in name order, then the
// Cheshire drive, joined into one text.
#pragma once

#include <algorithm>
#include <filesystem>
#include <fstream>
#include <iterator>
#include <string>
#include <vector>

namespace zarn::bench {

inline std::string reallogs() {
  namespace fs = std::filesystem;
  std::vector<fs::path> logs;
  for (const auto& e : fs::directory_iterator(ZARN_TEST_DATA "/nmea/gpsd"))
    if (e.path().extension() == ".log") logs.push_back(e.path());
  std::sort(logs.begin(), logs.end());
  logs.push_back(ZARN_TEST_DATA "/nmea/drive/cheshire-2020-10-26.nmea");
  std::string all;
  for (const auto& l : logs) {
    std::ifstream in(l, std::ios::binary);
    all.append(std::istreambuf_iterator<char>(in), {});
    all += "\r\n";
  }
  return all;
}

}  // namespace zarn::bench
