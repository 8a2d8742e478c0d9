// Shared by the geodesy tests: a scratch working directory and a MAPS.CCC of the national
// grid's 100-km squares, lettered by the grid's own rule.
#pragma once

#include <cstdlib>
#include <filesystem>
#include <fstream>
#include <string>
#include <utility>
#include <vector>

#include "app/app.h"
#include "geodesy/helpers.h"

namespace zarn::testing {

class TempDir {
 public:
  TempDir() {
    char tmpl[] = "/tmp/zarn-geo-XXXXXX";
    path_ = mkdtemp(tmpl);
  }
  ~TempDir() {
    std::error_code ec;
    std::filesystem::remove_all(path_, ec);
  }
  TempDir(const TempDir&) = delete;
  TempDir& operator=(const TempDir&) = delete;
  const std::filesystem::path& path() const { return path_; }
  void write(const std::string& name, const std::string& bytes) const {
    std::ofstream(path_ / name, std::ios::binary) << bytes;
  }

 private:
  std::filesystem::path path_;
};

// The two letters of the national grid's 100-km square at east and north index (100 km units,
// false origin SV): 500-km squares S, T, N, O, H, J lettered from the grid's letter block
// (25 letters, no I) starting 1000 km west and 500 km south of SV, then 100-km squares
// within each.
inline std::string ukletters(int e100, int n100) {
  int l1 = (19 - n100) - (19 - n100) % 5 + (e100 + 10) / 5;
  int l2 = (19 - n100) * 5 % 25 + e100 % 5;
  if (l1 > 7) ++l1;
  if (l2 > 7) ++l2;
  return std::string{static_cast<char>('A' + l1), static_cast<char>('A' + l2)};
}

// Every square of the national grid, 0..700 km east and 0..1300 km north.
inline std::vector<std::pair<std::string, std::pair<int, int>>> uksquares() {
  std::vector<std::pair<std::string, std::pair<int, int>>> v;
  for (int n = 0; n < 13; ++n)
    for (int e = 0; e < 7; ++e) v.push_back({ukletters(e, n), {e, n}});
  return v;
}

inline std::string maketable() {
  const auto sq = uksquares();
  std::string s = std::to_string(sq.size()) + "\r\n";
  for (const auto& [code, en] : sq)
    s += "\"" + code + "\"," + std::to_string(en.first) + "," + std::to_string(en.second) + "\r\n";
  return s;
}

// An application working in a scratch directory holding MAPS.CCC, with the table loaded.
struct GridApp {
  TempDir dir;
  App app;
  GridApp() {
    dir.write("MAPS.CCC", maketable());
    app.files.setworkdir(dir.path());
    loaded = loadccc(app);
  }
  bool loaded = false;
};

}  // namespace zarn::testing
