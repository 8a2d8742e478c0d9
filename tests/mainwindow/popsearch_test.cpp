// The population-centre searches over the demo's $LPOP.PCD, against a plain reading of its records.
#include <algorithm>
#include <cstdint>
#include <numeric>
#include <random>

#include "geodesy/helpers.h"
#include "mainwindow/popdata.h"
#include "mainwindow/popsearch.h"
#include "support/app_fixture.h"

namespace zarn::test {
namespace {

using Result = std::tuple<std::string, std::string, float, float, int>;  // name, area, x, y, more

class PopSearch : public AppTest {
 protected:
  void ready() override {
    for (const char* f : {"$LPOP.PCD", "MAPS.CCC"})
      std::filesystem::copy_file(std::filesystem::path(ZARN_SOURCE_DIR) / "data/demo" / f, dir / f);
    ASSERT_TRUE(readpopcd(app->files, app->main, app->win));
    ASSERT_FALSE(loadccc(app->geo, app->files));  // grid references with square letters
    const std::string d = get("$LPOP.PCD");       // every record in file order, decoded
    const auto u16 = [&d](std::size_t at) { return std::size_t{std::uint8_t(d[at])} | std::uint8_t(d[at + 1]) << 8; };
    std::size_t at = 4 + 8 * u16(0) + 2704 + 32 * u16(2);
    for (std::size_t end; (end = d.find("\r\n", at)) != d.npos; at = end + 2) {
      const std::size_t comma = d.find(',', at);
      std::string name = d.substr(at, comma - at);
      for (char& c : name) c = static_cast<char>(250 - static_cast<unsigned char>(c));
      records.emplace_back(name, std::stoi(d.substr(comma + 1, end - comma - 1)));
    }
  }
  Result search(const std::string& code) {
    Result r{"", "", -1, -1, 0};
    pcsearch(app->files, app->main, code, std::get<0>(r), std::get<1>(r), std::get<2>(r), std::get<3>(r), std::get<4>(r));
    return r;
  }
  // The same search over the whole file: the centres beginning with the code, "+" signs
  // passing over that many.
  Result brute(std::string code) const {
    std::transform(code.begin(), code.end(), code.begin(), [](unsigned char c) { return char(std::toupper(c)); });
    const auto plus = static_cast<std::size_t>(std::count(code.begin(), code.end(), '+'));
    code.resize(code.size() - plus);
    std::vector<std::size_t> hits;
    for (std::size_t i = 0; i < records.size(); ++i)
      if (code.size() >= 3 && records[i].first.starts_with(code)) hits.push_back(i + 1);
    if (hits.size() <= plus) return {"-", "", -1, -1, 0};
    return centre(hits[plus], static_cast<int>(hits.size() - plus - 1));
  }
  Result centre(std::size_t i, int more = 0) const {
    std::string name = records[i - 1].first;
    propercase(name);
    const MainState& m = app->main;
    return {name, m.pcdtab3.at(static_cast<std::size_t>(records[i - 1].second)), m.pcdtab1[i], m.pcdtab2[i], more};
  }
  std::vector<std::pair<std::string, int>> records;
};

TEST_F(PopSearch, AgreesWithTheWholeFileForRandomCodesAndTyping) {
  std::mt19937 rng(15);
  const auto pick = [&rng](std::size_t n) { return static_cast<std::size_t>(rng() % n); };
  int found = 0;
  for (int round = 0; round < 400; ++round) {
    std::string code = records[pick(records.size())].first;
    if (code[0] < 'A' || code[0] > 'Z' || code[1] < 'A' || code[1] > 'Z') continue;  // the index holds letters only
    code.resize(std::min(code.size(), 3 + pick(6)));
    if (pick(4) == 0) code.back() = static_cast<char>('A' + pick(26));  // often a miss
    if (pick(4) == 0) code += std::string(1 + pick(3), '+');
    if (pick(4) == 0 && code[2] >= 'A' && code[2] <= 'Z') code[2] += 'a' - 'A';  // typed in lower case
    // Sometimes typed key by key, each search going on from the last.
    for (std::size_t k = pick(5) == 0 ? 1 : code.size(); k <= code.size(); ++k) {
      EXPECT_EQ(search(code.substr(0, k)), brute(code.substr(0, k))) << code.substr(0, k);
      found += std::get<0>(brute(code.substr(0, k))) != "-";
    }
  }
  EXPECT_GT(found, 250) << "most codes find a centre";
  for (const auto& [guards, before, code, name, more] :
       {std::tuple{"a code under 3 characters after a find finds nothing", Items{"KNUT"}, "KN", "-", 0},
        {"a shorter code starts at its block, not at the longer code's match", Items{"WHITC"}, "WHITB", "Whitburn", 2},
        {"a plus returns the next match with its own position", Items{"WHITCHURCH"}, "WHITCHURCH+", "Whitchurch", 1},
        {"more counts the further matches", Items{"NEW"}, "NEWP", "Newport", 8}}) {
    for (const std::string& b : before) search(b);
    const Result got = search(code);
    EXPECT_EQ(std::tuple(std::get<0>(got), std::get<4>(got)), std::tuple(name, more)) << guards;
    EXPECT_EQ(got, brute(code)) << guards;
  }
}

TEST_F(PopSearch, NearestWalksOutwardEachCentreOnceThenNone) {
  MainState& m = app->main;
  m.pcdn1 = 40;  // the first forty loaded, so that the walk can use them all up
  std::vector<std::size_t> order(40);
  std::iota(order.begin(), order.end(), 1);
  const auto dist = [&m](std::size_t i) { return std::hypot(m.pcdtab1[i] - 375, m.pcdtab2[i] - 384); };
  std::stable_sort(order.begin(), order.end(), [&](std::size_t a, std::size_t b) { return dist(a) < dist(b); });
  for (int n = 1; n <= 41; ++n) {
    Result got{"", "", -7, -7, 0};
    pcrecord(app->files, app->geo, app->main, 375, 384, std::get<2>(got), std::get<3>(got), std::get<0>(got), std::get<1>(got), n);
    const Result want = n <= 40 ? centre(order[static_cast<std::size_t>(n - 1)]) : Result{"-", "", -7, -7, 0};
    EXPECT_EQ(std::tuple(got, m.hitlist[static_cast<std::size_t>(n)].empty()), std::tuple(want, n > 40))
        << n << ": each nearest once, its grid reference noted; then none and the found place kept";
  }
}

}  // namespace
}  // namespace zarn::test
